#include "MimeBody.h"

#include "../text/Utf8Text.h"
#include "../text/Base64Digits.h"
#include "../text/HexDigits.h"
#include "MimeHeader.h"
#include "Pop3Header.h"
#include "Pop3HeaderWords.h"

namespace {
// Parts within parts deeper than this are listed, not opened: a hostile
// message cannot make the walk deep.
constexpr int MaxDepth = 8;

struct TPart {
    std::string Header;
    std::string Content;
};

// The header and the content of one entity, split at its first empty line.
TPart SplitEntity(const std::string& entity)
{
    if (entity.compare(0, 2, "\r\n") == 0)
        return {std::string(), entity.substr(2)};
    const std::size_t end = entity.find("\r\n\r\n");
    if (end == std::string::npos)
        return {entity, std::string()};
    return {entity.substr(0, end + 2), entity.substr(end + 4)};
}

// The parts between the delimiter lines "--boundary"; `closed` when the
// line "--boundary--" was reached. The CR LF before a delimiter is its own.
std::vector<TPart> SplitMultipart(const std::string& body, const std::string& boundary, bool& closed)
{
    const std::string delimiter = "--" + boundary;
    std::vector<TPart> parts;
    std::string current;
    bool inPart = false;
    closed = false;
    for (std::size_t start = 0; start < body.size() && !closed;) {
        std::size_t end = body.find("\r\n", start);
        if (end == std::string::npos)
            end = body.size();
        const std::string line = body.substr(start, end - start);
        start = end + 2;
        if (line.compare(0, delimiter.size(), delimiter) == 0) {
            const std::string rest = Pop3Trim(line.substr(delimiter.size()));
            if (rest.empty() || rest == "--") {
                if (inPart) {
                    if (current.size() >= 2)
                        current.erase(current.size() - 2);
                    parts.push_back(SplitEntity(current));
                }
                current.clear();
                inPart = true;
                closed = rest == "--";
                continue;
            }
        }
        if (inPart)
            current += line + "\r\n";
    }
    if (inPart && !closed && !current.empty())
        parts.push_back(SplitEntity(current));
    return parts;
}

// Line ends as the text area takes them: CR LF, whatever the part used.
std::string WithCrLf(const std::string& text)
{
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (text[i] == '\0') {
            AppendUtf8(lines, ReplacementCharacter);
        } else {
            lines += text[i];
        }
    }
    return lines;
}

std::string DecodeText(const std::string& header, const std::string& content, const TMimeContent& type,
                       const TCodePageConverter& convert)
{
    const std::string encoding = Pop3LowerCase(MimeHeaderField(header, "Content-Transfer-Encoding"));
    std::string bytes = content;
    if (encoding == "quoted-printable")
        bytes = DecodeQuotedPrintable(content);
    else if (encoding == "base64")
        bytes = DecodeBase64Text(content);
    const unsigned codePage = Pop3CharsetCodePage(type.Param("charset"));
    std::string utf8;
    if (!codePage || !DecodeCodePage(codePage, bytes, convert, utf8))
        utf8 = RawTextToUtf8(bytes);
    return WithCrLf(utf8);
}

std::string PartName(const std::string& header, const TMimeContent& type, const TCodePageConverter& convert)
{
    const TMimeContent disposition = ParseMimeContent(MimeHeaderField(header, "Content-Disposition"), convert);
    std::string name = disposition.Param("filename");
    if (name.empty())
        name = type.Param("name");
    // Names are often written as encoded words, which no standard allows there.
    name = Pop3DecodeHeaderText(name, convert);
    // The type is the part's raw bytes: a hostile one need not be UTF-8.
    return name.empty() ? RawTextToUtf8(type.Type) : name;
}

void Walk(const std::string& header, const std::string& content, int depth, bool topLevel,
          const TCodePageConverter& convert, bool& textFound, TMimeBodyText& result)
{
    TMimeContent type = ParseMimeContent(MimeHeaderField(header, "Content-Type"), convert);
    if (type.Type.empty())
        type.Type = "text/plain";
    const std::string boundary = type.Param("boundary");
    if (type.Type.compare(0, 10, "multipart/") == 0 && !boundary.empty() && depth < MaxDepth) {
        bool closed = false;
        for (const TPart& part : SplitMultipart(content, boundary, closed))
            Walk(part.Header, part.Content, depth + 1, false, convert, textFound, result);
        result.Cut = result.Cut || !closed;
        return;
    }
    const bool attached = Pop3LowerCase(MimeHeaderField(header, "Content-Disposition")).compare(0, 10, "attachment") == 0;
    const bool shown = topLevel ? type.Type.compare(0, 5, "text/") == 0 : type.Type == "text/plain" && !attached;
    if (shown && !textFound) {
        textFound = true;
        result.Text = DecodeText(header, content, type, convert);
    } else {
        result.OtherParts.push_back(PartName(header, type, convert));
    }
}
}  // namespace

std::string DecodeQuotedPrintable(const std::string& text)
{
    std::string bytes;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        const bool lastLine = end == std::string::npos;
        if (lastLine)
            end = text.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r')
            --lineEnd;
        while (lineEnd > start && (text[lineEnd - 1] == ' ' || text[lineEnd - 1] == '\t'))
            --lineEnd;
        bool soft = false;
        for (std::size_t i = start; i < lineEnd; ++i) {
            if (text[i] != '=') {
                bytes += text[i];
                continue;
            }
            if (i + 1 == lineEnd) {
                soft = true;
                break;
            }
            const int high = i + 2 < lineEnd ? HexDigitValue(text[i + 1]) : -1;
            const int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
            if (low < 0) {
                bytes += '=';
                continue;
            }
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (!soft && !lastLine)
            bytes += "\r\n";
        start = end + 1;
    }
    return bytes;
}

std::string DecodeBase64Text(const std::string& text)
{
    std::string bytes;
    unsigned bits = 0;
    int pending = 0;
    for (char c : text) {
        if (c == '=')
            break;
        const int value = Base64Value(c);
        if (value < 0)
            continue;
        bits = ((bits << 6) | static_cast<unsigned>(value)) & 0xFFFFu;
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            bytes += static_cast<char>((bits >> pending) & 0xFFu);
        }
    }
    return bytes;
}

TMimeBodyText DecodeMimeBody(const std::string& header, const std::string& body, const TCodePageConverter& convert)
{
    TMimeBodyText result;
    bool textFound = false;
    Walk(header, body, 0, true, convert, textFound, result);
    return result;
}
