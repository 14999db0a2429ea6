#include "Pop3LineBuffer.h"

#include <algorithm>
#include <cstring>

void TPop3LineBuffer::Clear()
{
    Start = 0;
    Fill = 0;
    Searched = 0;
    CutPending = false;
}

void TPop3LineBuffer::Compact()
{
    if (Start == 0)
        return;
    std::memmove(Data.data(), Data.data() + Start, Fill - Start);
    Fill -= Start;
    Start = 0;
}

bool TPop3LineBuffer::ReadFrom(const std::function<int(char* dest, int size)>& receive)
{
    const std::size_t room = FreeSpace();
    if (room == 0)
        return false;
    Compact();
    const int got = receive(Data.data() + Fill, int(room));
    if (got <= 0)
        return false;
    // A reader that claims more than it was allowed to write cannot make the
    // fill count run past the buffer.
    Fill += std::min(std::size_t(got), room);
    return true;
}

std::size_t TPop3LineBuffer::Append(const char* data, std::size_t length)
{
    const std::size_t take = std::min(length, FreeSpace());
    if (take == 0)
        return 0;
    Compact();
    std::memcpy(Data.data() + Fill, data, take);
    Fill += take;
    return take;
}

void TPop3LineBuffer::Deliver(std::size_t textEnd, std::size_t consumed, TPop3Line& line)
{
    const char* text = Data.data() + Start;
    const std::size_t length = textEnd - Start;
    const void* zero = std::memchr(text, '\0', length);
    line.Text.assign(text, zero ? std::size_t(static_cast<const char*>(zero) - text) : length);
    Start += consumed;
    Searched = 0;
    if (Start == Fill)
        Start = Fill = 0;
}

bool TPop3LineBuffer::ExtractNextPiece(TPop3Line& line)
{
    // A line is looked for in its first 4093 bytes only, as if no more were
    // held: the cut falls where it would if the bytes came one by one.
    const std::size_t limit = std::min(Fill, Start + MaxLineLength);
    // Bytes already searched need no second look when data arrives in small
    // pieces; only the last of them may be a CR whose LF has just come.
    std::size_t end = Start + (Searched > 0 ? Searched - 1 : 0);
    while (end + 1 < limit && !(Data[end] == '\r' && Data[end + 1] == '\n'))
        ++end;
    if (end + 1 < limit) {
        line.Continuation = CutPending;
        CutPending = false;
        Deliver(end, end - Start + 2, line);
        return true;
    }
    if (Size() < MaxLineLength) {
        Searched = Size();
        return false;
    }

    // A line's limit held without a line end: deliver it. A final CR stays
    // behind, since the LF that completes its line end may be the next byte.
    std::size_t cut = limit;
    if (Data[cut - 1] == '\r')
        --cut;
    line.Continuation = CutPending;
    CutPending = true;
    Deliver(cut, cut - Start, line);
    return true;
}

bool TPop3LineBuffer::ExtractLine(TPop3Line& line)
{
    TPop3Line next;
    while (ExtractNextPiece(next)) {
        // The line end right after a cut leaves an empty rest that carries
        // nothing; it is not a line of its own.
        if (next.Continuation && next.Text.empty() && !CutPending)
            continue;
        line = std::move(next);
        return true;
    }
    return false;
}

void Pop3FeedLines(TPop3LineBuffer& buffer, const std::string& data, std::vector<TPop3Line>& lines)
{
    std::size_t offset = 0;
    TPop3Line line;
    for (;;) {
        while (buffer.ExtractLine(line))
            lines.push_back(line);
        if (offset == data.size())
            break;
        buffer.ReadFrom([&](char* dest, int size) {
            const std::size_t take = std::min(std::size_t(size), data.size() - offset);
            std::memcpy(dest, data.data() + offset, take);
            offset += take;
            return int(take);
        });
    }
}
