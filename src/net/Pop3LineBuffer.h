// The POP3 client's receive buffer: cuts the reply stream into lines.
//
// The buffer holds 4096 bytes. A line ends at the first CR immediately
// followed by LF; LF or CR alone do not end a line. Up to 4093 bytes of a
// line are kept: when that much is buffered without a line end, a CR LF is
// appended instead of reading more, so an over-long line is delivered as
// lines of 4093 bytes and then the rest. A zero byte ends the text of the
// line it is in (the rest of that line is dropped).
//
// Use from a data-available handler:
//     buffer.ReadFrom([&](char* dest, int size) { return socket.Receive(dest, size); });
//     std::string line;
//     while (buffer.ExtractLine(line)) { ...handle line... }
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class TPop3LineBuffer {
public:
    static constexpr std::size_t BufferSize = 4096;
    // Room kept for the CR LF forced after an over-long line and a final zero.
    static constexpr std::size_t MaxLineLength = BufferSize - 3;

    // Bytes that may still be read into the buffer (0 when it is full).
    std::size_t FreeSpace() const { return Fill < MaxLineLength ? MaxLineLength - Fill : 0; }
    // Bytes held, complete lines and a partial line.
    std::size_t Size() const { return Fill; }
    bool Empty() const { return Fill == 0; }
    void Clear() { Fill = 0; }

    // One data notification: when there is room, calls receive(dest, size)
    // with size = FreeSpace() and keeps what it returns (values above size are
    // taken as size); a result of 0 or less means nothing was read and
    // ReadFrom returns false. When the buffer is full, receive is not called:
    // the line end is forced and ReadFrom returns true.
    bool ReadFrom(const std::function<int(char* dest, int size)>& receive);

    // Copies as many bytes as fit (at most FreeSpace()) and returns how many.
    std::size_t Append(const char* data, std::size_t length);

    // Appends CR LF after the buffered data when the buffer is full, so that
    // the 4093 bytes held come out as one line. Does nothing otherwise.
    void ForceLineEnd();

    // Takes the first complete line out of the buffer, without its CR LF.
    // Returns false, leaving line unchanged, when no complete line is held.
    bool ExtractLine(std::string& line);

private:
    char Data[BufferSize];
    std::size_t Fill = 0;
};

// Feeds a stream the way the socket offers it, as one notification after
// another while bytes remain, and returns every line cut from it. Lines are
// added to `lines`; the partial line stays in the buffer.
void Pop3FeedLines(TPop3LineBuffer& buffer, const std::string& data, std::vector<std::string>& lines);
