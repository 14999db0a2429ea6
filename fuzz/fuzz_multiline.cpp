// Multi-line bodies through the line buffer: lines taken from the input are
// dot-stuffed and sent as a body the way a server does, in chunks picked by
// the input; reading them back must give the same lines, end exactly at the
// final ".", and leave what follows for the next reply.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/Pop3LineBuffer.h"
#include "net/Pop3Parse.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Lines of the input: split at LF, without CR or zero bytes (which the line
// buffer does not give back unchanged), up to three buffers long.
std::vector<std::string> BodyLinesOf(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r' && c != '\0' && lines.back().size() < 3 * TPop3LineBuffer::MaxLineLength)
            lines.back() += c;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t chunk = 1 + data[0];
    const bool longLines = data[1] & 1;
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    if (longLines) {
        // A first line whose end lies around the buffer's limit, so that the
        // input's next bytes fall where the line is cut.
        text = std::string(TPop3LineBuffer::MaxLineLength - 64 + (data[1] >> 1), 'L') + text;
    }

    const std::vector<std::string> original = BodyLinesOf(text);
    std::string wire = "+OK message follows\r\n";
    for (const std::string& line : original)
        wire += (!line.empty() && line[0] == '.' ? "." : "") + line + "\r\n";
    wire += ".\r\n+OK next reply\r\n";

    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    for (std::size_t at = 0; at < wire.size(); at += chunk)
        Pop3FeedLines(buffer, wire.substr(at, chunk), lines);
    Check(buffer.Empty());

    Check(!lines.empty() && Pop3IsPositiveReply(lines[0].Text));
    std::vector<std::string> body;
    std::size_t i = 1;
    bool ended = false;
    std::string pending;
    for (; i < lines.size(); ++i) {
        if (Pop3IsBodyEnd(lines[i])) {
            ended = true;
            break;
        }
        Check(lines[i].Text.size() <= TPop3LineBuffer::MaxLineLength);
        // Pieces of a cut line are joined again to compare with the original.
        const std::string piece = Pop3UnstuffLine(lines[i]);
        if (lines[i].Continuation)
            body.back() += piece;
        else
            body.push_back(piece);
    }
    Check(ended);
    Check(body == original);
    Check(i + 2 == lines.size());
    Check(lines[i + 1].Text == "+OK next reply" && !lines[i + 1].Continuation);
    return 0;
}
