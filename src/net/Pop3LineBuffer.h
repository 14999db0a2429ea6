// The POP3 client's receive buffer: cuts the reply stream into lines.
//
// A line ends at the first CR immediately followed by LF; LF or CR alone do
// not end a line. A zero byte ends the text of the line it is in (the rest of
// that line is dropped).
//
// The buffer reads up to 64 KB at a time: a message of tens of kilobytes
// comes in a few reads instead of one per 4 KB, and under some systems each
// read costs more than handling all the lines it brings. The lines are cut
// the same whatever the reads: at most 4093 bytes of a line are delivered at
// once. When that much is held without a line end, those bytes are delivered
// as one line and the rest of the long line follows as further lines, each
// marked as a continuation. A
// continuation is not the start of a line on the wire, so the client must
// not take it for a reply status, the "." that ends a body, a dot-stuffed
// line or a header line: otherwise a message with a long line could end its
// own body early and have its remaining text read as the server's replies.
// The cut never falls between a CR and its LF, and the empty rest of a line
// of exactly 4093 bytes is not delivered.
//
// Use from a data-available handler:
//     buffer.ReadFrom([&](char* dest, int size) { return socket.Receive(dest, size); });
//     TPop3Line line;
//     while (buffer.ExtractLine(line)) { ...handle line.Text, line.Continuation... }
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct TPop3Line {
    std::string Text;           // without its CR LF
    bool Continuation = false;  // the rest of a line longer than the buffer
};

class TPop3LineBuffer {
public:
    // Bytes held at most.
    static constexpr std::size_t Capacity = 64 * 1024;
    // Longest piece of a line delivered at once (a 4 KB line less room for a
    // line end and a terminating zero, as the client always cut its lines).
    static constexpr std::size_t MaxLineLength = 4093;

    // Bytes that may still be read into the buffer (0 when it is full).
    std::size_t FreeSpace() const { return Capacity - Size(); }
    // Bytes held and not yet delivered.
    std::size_t Size() const { return Fill - Start; }
    bool Empty() const { return Size() == 0; }
    // Drops the bytes held, for a new connection.
    void Clear();

    // One data notification: calls receive(dest, size) with size =
    // FreeSpace() and keeps what it returns (a result above size counts as
    // size). Returns false when receive returned 0 or less, or when the
    // buffer was full (receive is then not called; take the lines out first).
    bool ReadFrom(const std::function<int(char* dest, int size)>& receive);

    // Copies as many bytes as fit (at most FreeSpace()) and returns how many.
    std::size_t Append(const char* data, std::size_t length);

    // Takes the next line out of the buffer: the first one ended by CR LF,
    // or its first 4093 bytes when that much is held without a line end.
    // Returns false, leaving line unchanged, when no line can be delivered.
    bool ExtractLine(TPop3Line& line);

private:
    bool ExtractNextPiece(TPop3Line& line);
    void Deliver(std::size_t textEnd, std::size_t consumed, TPop3Line& line);
    // Moves the bytes held to the front, so that the free space is at the end.
    void Compact();

    // The bytes held are Data[Start, Fill); lines are taken from the front
    // without moving the rest until more data is read.
    std::vector<char> Data = std::vector<char>(Capacity);
    std::size_t Start = 0;
    std::size_t Fill = 0;
    std::size_t Searched = 0;  // bytes from Start known to hold no CR LF (less than a line's limit)
    bool CutPending = false;  // the next line is the rest of a line that was cut
};

// Feeds a stream the way the socket offers it, one notification after
// another while bytes remain, and adds every line cut from it to `lines`.
// A partial line stays in the buffer for the next call.
void Pop3FeedLines(TPop3LineBuffer& buffer, const std::string& data, std::vector<TPop3Line>& lines);
