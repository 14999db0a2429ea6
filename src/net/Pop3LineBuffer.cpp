#include "Pop3LineBuffer.h"

#include <algorithm>
#include <cstring>

bool TPop3LineBuffer::ReadFrom(const std::function<int(char* dest, int size)>& receive)
{
    const std::size_t room = FreeSpace();
    if (room == 0) {
        ForceLineEnd();
        return true;
    }
    const int got = receive(Data + Fill, int(room));
    if (got <= 0)
        return false;
    // A reader that claims more than it was allowed to write cannot make the
    // fill count run past the buffer.
    Fill += std::size_t(got) < room ? std::size_t(got) : room;
    return true;
}

std::size_t TPop3LineBuffer::Append(const char* data, std::size_t length)
{
    const std::size_t room = FreeSpace();
    const std::size_t take = length < room ? length : room;
    std::memcpy(Data + Fill, data, take);
    Fill += take;
    return take;
}

void TPop3LineBuffer::ForceLineEnd()
{
    // Only a full buffer without line end gets one; anything else (a second
    // call before the line was taken out) would write past the buffer.
    if (Fill != MaxLineLength)
        return;
    Data[Fill++] = '\r';
    Data[Fill++] = '\n';
}

bool TPop3LineBuffer::ExtractLine(std::string& line)
{
    std::size_t end = 0;
    while (end + 1 < Fill && !(Data[end] == '\r' && Data[end + 1] == '\n'))
        ++end;
    if (end + 1 >= Fill)
        return false;

    const void* zero = std::memchr(Data, '\0', end);
    const std::size_t textLength = zero ? std::size_t(static_cast<const char*>(zero) - Data) : end;
    line.assign(Data, textLength);

    const std::size_t consumed = end + 2;
    std::memmove(Data, Data + consumed, Fill - consumed);
    Fill -= consumed;
    return true;
}

void Pop3FeedLines(TPop3LineBuffer& buffer, const std::string& data, std::vector<std::string>& lines)
{
    std::size_t offset = 0;
    std::string line;
    while (offset < data.size()) {
        buffer.ReadFrom([&](char* dest, int size) {
            const std::size_t take = std::min(std::size_t(size), data.size() - offset);
            std::memcpy(dest, data.data() + offset, take);
            offset += take;
            return int(take);
        });
        while (buffer.ExtractLine(line))
            lines.push_back(line);
    }
}
