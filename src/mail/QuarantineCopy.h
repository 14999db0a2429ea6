// The copy of a message kept before its deletion: the bytes the server sent
// for RETR, as a mail program opens them (.eml), and whether they are the
// whole message. A copy that is not whole must stop the deletion, since it
// would be the only trace of the message.
#pragma once

#include <cstddef>
#include <string>

#include "../net/Pop3LineBuffer.h"

// Copies written and waiting for their flush, which goes faster for many
// files at once; bounded so that a large mailbox does not hold a file open
// for each of its messages.
constexpr std::size_t QuarantineMaxUnflushed = 64;

enum class TQuarantineCopyState {
    Whole,
    Cut,           // the body never reached its final "." line
    SizeMismatch,  // ended, but not as long as LIST said
};

class TQuarantineCopy {
public:
    // A line of the RETR body as it came off the wire: dot-stuffed, or the
    // rest of a line longer than the line buffer.
    void AddWireLine(const TPop3Line& line);
    // A line already unstuffed (what the POP3 client hands to OnMessageLine).
    void AddLine(const std::string& unstuffed, bool continuation = false);
    // The final "." line arrived.
    void End();

    bool Ended() const { return ended_; }
    // The message: its lines, each ended by CR LF.
    const std::string& Bytes() const { return bytes_; }
    // Whole when ended and as long as the LIST size (RFC 1939 counts CR LF
    // line ends and not the stuffed dots, as Bytes() does). A message whose
    // last line has no line end on the server gets one on the wire, so a
    // copy two bytes longer that ends with CR LF is whole too.
    TQuarantineCopyState Check(long long listOctets) const;

private:
    std::string bytes_;
    bool lineOpen_ = false;
    bool ended_ = false;
};
