// Cuts arbitrary bytes into POP3 lines in several chunkings and checks that
// every chunking gives the same lines and that no line breaks the buffer's
// rules.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/Pop3LineBuffer.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<TPop3Line> Feed(const std::string& stream, std::size_t chunk)
{
    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        Pop3FeedLines(buffer, stream.substr(at, chunk), lines);
        Check(buffer.Size() <= TPop3LineBuffer::MaxLineLength);
    }
    return lines;
}

// One byte at a time, taking the lines out after each byte.
std::vector<TPop3Line> FeedBytes(const std::string& stream)
{
    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    TPop3Line line;
    for (char c : stream) {
        Check(buffer.Append(&c, 1) == 1);
        while (buffer.ExtractLine(line))
            lines.push_back(line);
        Check(buffer.FreeSpace() > 0);
    }
    return lines;
}

bool SameLines(const std::vector<TPop3Line>& a, const std::vector<TPop3Line>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].Text != b[i].Text || a[i].Continuation != b[i].Continuation)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks a chunk size; the rest is the stream. Long lines
    // are made cheaply by repeating the stream up to a length around one or
    // two buffers.
    const std::size_t chunk = 1 + data[0] % 97;
    std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 0x80) {
        const std::size_t length = (data[0] & 0x40 ? 8170 : 4080) + 2 * (data[0] & 0x1f);
        const std::string unit = stream;
        while (!unit.empty() && stream.size() < length)
            stream += unit;
        stream.resize(std::min(stream.size(), length));
    }

    const std::vector<TPop3Line> whole = Feed(stream, stream.size() + 1);
    for (const TPop3Line& line : whole) {
        Check(line.Text.size() <= TPop3LineBuffer::MaxLineLength);
        Check(line.Text.find('\0') == std::string::npos);
        Check(line.Text.find("\r\n") == std::string::npos);
    }
    Check(SameLines(whole, FeedBytes(stream)));
    Check(SameLines(whole, Feed(stream, chunk)));

    // Without zero bytes nothing is lost or invented: the lines, joined by
    // CR LF except where a piece continues a cut line, are the start of the
    // stream, and what follows them is at most one buffer and its CR LF.
    if (!whole.empty() && stream.find('\0') == std::string::npos) {
        std::string rebuilt;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            rebuilt += whole[i].Text;
            if (i + 1 < whole.size() && !whole[i + 1].Continuation)
                rebuilt += "\r\n";
        }
        Check(stream.compare(0, rebuilt.size(), rebuilt) == 0);
        Check(stream.size() - rebuilt.size() <= TPop3LineBuffer::MaxLineLength + 2);
    }
    return 0;
}
