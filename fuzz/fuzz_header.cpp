// Header lines of a message as a server sends them. The input is split at
// LF into lines and read as a header part.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mime/Pop3Header.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    // A byte 0x01 stands for a run of 11000 letters, to reach the value limit.
    std::string expanded;
    for (char c : text)
        expanded += c == '\x01' ? std::string(11000, 'v') : std::string(1, c);

    TPop3Header header;
    header.Start();
    bool ended = false;
    bool fieldOpen = false;  // a field line came last, which a folded line continues
    std::string lastFrom, lastSubject;
    std::size_t index = 0;
    for (const std::string& line : SplitLines(expanded)) {
        const bool continuation = (index++ % 7) == 6 && (data[0] & 1);
        const TPop3Header before = header;
        const bool headerEnd = header.ProcessLine(line, continuation);

        if (ended || continuation) {
            // After the header part, and for the rest of a cut line, nothing changes.
            Check(!headerEnd);
            Check(header.HeaderKeyword == before.HeaderKeyword && header.HeaderData == before.HeaderData);
            Check(header.MsgFrom == before.MsgFrom && header.MsgSubject == before.MsgSubject);
            Check(header.InHeaderPart == before.InHeaderPart);
            continue;
        }
        if (line.empty()) {
            Check(headerEnd && !header.InHeaderPart);
            ended = true;
            continue;
        }
        Check(!headerEnd && header.InHeaderPart);

        const bool folded = (line[0] == ' ' || line[0] == '\t') && fieldOpen;
        const std::size_t colon = line.find(':');
        if (folded) {
            // A folded line is joined onto the field in hand, up to the limit.
            const std::size_t room = TPop3Header::MaxHeaderData - before.HeaderData.size();
            Check(header.HeaderKeyword == before.HeaderKeyword);
            Check(header.HeaderData == before.HeaderData + line.substr(0, room));
            if (header.HeaderKeyword == "from")
                lastFrom = header.HeaderData;
            if (header.HeaderKeyword == "subject")
                lastSubject = header.HeaderData;
            Check(header.MsgFrom == lastFrom && header.MsgSubject == lastSubject);
            continue;
        }
        fieldOpen = colon != std::string::npos;
        if (!fieldOpen) {
            Check(header.HeaderKeyword == before.HeaderKeyword && header.HeaderData == before.HeaderData);
            continue;
        }
        // The keyword is the name before the first colon, trimmed and lower-cased.
        Check(header.HeaderKeyword.find(':') == std::string::npos);
        for (char c : header.HeaderKeyword)
            Check(!(c >= 'A' && c <= 'Z'));
        if (!header.HeaderKeyword.empty()) {
            Check(static_cast<unsigned char>(header.HeaderKeyword.front()) > ' ');
            Check(static_cast<unsigned char>(header.HeaderKeyword.back()) > ' ');
        }
        Check(header.HeaderKeyword.size() <= colon);
        // The value is what follows the colon, cut at the limit.
        Check(header.HeaderData.size() <= TPop3Header::MaxHeaderData);
        Check(line.compare(colon + 1, header.HeaderData.size(), header.HeaderData) == 0);
        Check(header.HeaderData.size() == std::min(line.size() - colon - 1, TPop3Header::MaxHeaderData));
        if (header.HeaderKeyword == "from")
            lastFrom = header.HeaderData;
        if (header.HeaderKeyword == "subject")
            lastSubject = header.HeaderData;
        Check(header.MsgFrom == lastFrom);
        Check(header.MsgSubject == lastSubject);
    }
    for (const std::string* field : {&header.MsgFrom, &header.MsgTo, &header.MsgSubject, &header.MsgDate,
                                     &header.MsgReplyTo, &header.MsgMessageId, &header.MsgReturnPath})
        Check(field->size() <= TPop3Header::MaxHeaderData);
    return 0;
}
