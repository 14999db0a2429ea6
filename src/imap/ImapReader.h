// The IMAP client's receive side: takes the bytes of the server's stream as
// they arrive, in pieces of any size, and hands over whole responses.
//
// A response is a line, or a line ending in a literal's announcement ({n},
// {n+}, ~{n}) followed by n bytes of literal and the rest of the response,
// which may announce further literals. Only a whole response is parsed. The
// text of a status response and of a continuation request is no place for
// a literal: there "{3}" at the end of the line is text.
//
// What the reader holds is bounded, so that a hostile or broken server
// cannot make it allocate without end:
// - a line of a response (between two literals) of at most MaxLineLength
//   bytes: the client never asks for anything that comes back as a long
//   line (it fetches UIDs, one short response per message, rather than
//   searching a whole mailbox), and a server's capabilities or flags are a
//   few hundred bytes;
// - a literal of at most MaxLiteralSize bytes: the header fields the client
//   fetches are a few kilobytes, a header of several megabytes is an attack;
// - a response of at most MaxResponseSize bytes in all, of at most
//   MaxValues values, its lists nested at most MaxDepth deep.
// Beyond any of these, and on a response it cannot read (an unbalanced
// parenthesis, an unterminated quoted string, a number too large for its
// place, a zero byte in a line), the reader stops for good: Error() says
// which, ErrorText() says where, and the session reports it and drops the
// connection, since the stream can no longer be trusted. The responses
// completed before the fault are still handed over.
//
// A line ends at LF; a CR before it is not part of the line, and a bare LF
// is taken as a line end too, as servers with broken line ends send it.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "ImapValue.h"

enum class TImapReadError {
    None,
    TooLarge,   // a line, a literal or a response beyond the limits
    Malformed,  // bytes that are no IMAP response
};

// A response's bytes as framed: its lines without their line ends, and the
// literal announced at the end of each line but the last.
struct TImapRawResponse {
    std::vector<std::string> Lines;
    std::vector<std::string> Literals;
};

class TImapReader {
public:
    static constexpr std::size_t MaxLineLength = 64 * 1024;
    static constexpr std::size_t MaxLiteralSize = 4 * 1024 * 1024;
    static constexpr std::size_t MaxResponseSize = 8 * 1024 * 1024;
    static constexpr std::size_t MaxValues = 100000;
    static constexpr int MaxDepth = 64;

    // Takes the next bytes of the stream. Returns false once the reader has
    // stopped on an error (the bytes are then ignored).
    bool Feed(const char* data, std::size_t size);
    bool Feed(const std::string& data) { return Feed(data.data(), data.size()); }

    // Takes the next whole response out; false when none is waiting.
    bool Next(TImapResponse& response);

    bool Failed() const { return Fault != TImapReadError::None; }
    TImapReadError Error() const { return Fault; }
    // What went wrong and where, in English, for the trace and the log.
    const std::string& ErrorText() const { return FaultText; }

    // Bytes of an unfinished response held.
    std::size_t Held() const { return HeldBytes; }
    // Anything received and not yet taken: a whole response or part of one.
    bool Holds() const { return !Ready.empty() || HeldBytes > 0 || InLiteral; }
    // Back to the start, for a new connection.
    void Clear();

private:
    bool EndLine();
    void NoteTextLine(const std::string& line);
    void Fail(TImapReadError error, const std::string& text);

    TImapRawResponse Current;
    std::string Line;                 // the line being read
    std::size_t LiteralLeft = 0;      // bytes of the current literal still to come
    bool InLiteral = false;
    bool InStatus = false;            // the response is a status response (OK, NO, BAD, BYE, PREAUTH)
    bool CodeOpen = false;            // its response code's bracket is not closed yet
    std::size_t HeldBytes = 0;        // bytes of Current, Line included
    std::deque<TImapResponse> Ready;  // whole responses not yet taken
    TImapReadError Fault = TImapReadError::None;
    std::string FaultText;
};

// Parses one framed response. On failure returns false with error set to
// TooLarge or Malformed and a description in text.
bool ImapParseResponse(const TImapRawResponse& raw, TImapResponse& response, TImapReadError& error,
                       std::string& text);
