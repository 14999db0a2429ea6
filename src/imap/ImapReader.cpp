#include "ImapReader.h"

#include <algorithm>
#include <cstring>

namespace {

// The size announced by a literal at the end of a line ("{n}", "{n+}"),
// or false when the line does not end in one. A size beyond the limit, or
// one too long to be a number at all, is reported as `tooLarge`.
bool LiteralAnnounced(const std::string& line, std::size_t& size, bool& tooLarge)
{
    tooLarge = false;
    if (line.empty() || line.back() != '}')
        return false;
    std::size_t end = line.size() - 1;
    if (end > 0 && line[end - 1] == '+')
        --end;
    std::size_t start = end;
    while (start > 0 && line[start - 1] >= '0' && line[start - 1] <= '9')
        --start;
    if (start == end || start == 0 || line[start - 1] != '{')
        return false;
    size = 0;
    for (std::size_t i = start; i < end; ++i) {
        size = size * 10 + std::size_t(line[i] - '0');
        if (size > TImapReader::MaxLiteralSize) {
            tooLarge = true;
            return true;
        }
    }
    return true;
}

bool IsStatusWord(std::string word)
{
    for (char& c : word)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return word == "OK" || word == "NO" || word == "BAD" || word == "BYE" || word == "PREAUTH";
}

}  // namespace

void TImapReader::NoteTextLine(const std::string& line)
{
    std::size_t at = 0;
    if (Current.Lines.empty()) {
        // "tag OK ..." or "* BYE ...": the word after the tag says.
        at = line.find(' ');
        if (at == std::string::npos)
            return;
        at = line.find_first_not_of(' ', at);
        const std::size_t end = at == std::string::npos ? std::string::npos : line.find(' ', at);
        InStatus = at != std::string::npos && IsStatusWord(line.substr(at, end - at));
        if (!InStatus || end == std::string::npos)
            return;
        at = line.find_first_not_of(' ', end);
        CodeOpen = at != std::string::npos && line[at] == '[';
    }
    if (CodeOpen && line.find(']', at) != std::string::npos)
        CodeOpen = false;
}

void TImapReader::Clear()
{
    Current = TImapRawResponse();
    Line.clear();
    LiteralLeft = 0;
    InLiteral = false;
    InStatus = CodeOpen = false;
    HeldBytes = 0;
    Ready.clear();
    Fault = TImapReadError::None;
    FaultText.clear();
}

void TImapReader::Fail(TImapReadError error, const std::string& text)
{
    Fault = error;
    FaultText = text;
    Current = TImapRawResponse();
    Line.clear();
    Line.shrink_to_fit();
    HeldBytes = 0;
}

bool TImapReader::Feed(const char* data, std::size_t size)
{
    std::size_t at = 0;
    while (at < size && !Failed()) {
        if (InLiteral) {
            const std::size_t take = std::min(LiteralLeft, size - at);
            Current.Literals.back().append(data + at, take);
            at += take;
            LiteralLeft -= take;
            if (LiteralLeft == 0)
                InLiteral = false;
            continue;
        }
        const void* lf = std::memchr(data + at, '\n', size - at);
        const std::size_t end = lf ? std::size_t(static_cast<const char*>(lf) - data) : size;
        // The limit is checked before the bytes are kept; a CR that ends the
        // line may be the one byte over it.
        const std::size_t length = Line.size() + (end - at);
        const char last = end > at ? data[end - 1] : Line.empty() ? '\0' : Line.back();
        if (length > MaxLineLength + 1 || (length == MaxLineLength + 1 && last != '\r')) {
            Fail(TImapReadError::TooLarge,
                 "a response line longer than " + std::to_string(MaxLineLength) + " bytes");
            break;
        }
        if (HeldBytes + (end - at) > MaxResponseSize) {
            Fail(TImapReadError::TooLarge,
                 "a response larger than " + std::to_string(MaxResponseSize) + " bytes");
            break;
        }
        Line.append(data + at, end - at);
        HeldBytes += end - at;
        at = end;
        if (lf) {
            ++at;
            EndLine();
        }
    }
    return !Failed();
}

bool TImapReader::EndLine()
{
    if (!Line.empty() && Line.back() == '\r') {
        Line.pop_back();
        --HeldBytes;
    }
    if (Line.find('\0') != std::string::npos) {
        Fail(TImapReadError::Malformed, "a zero byte in a response line");
        return false;
    }
    // A continuation request ends with its line: what follows "+ " is text
    // or base64, never a literal. So does the text of a status response,
    // which may end in "{3}" as text: only an open response code (BADCHARSET
    // with its strings) can announce a literal there.
    const bool continuation = Current.Lines.empty() && !Line.empty() && Line[0] == '+';
    NoteTextLine(Line);
    std::size_t size = 0;
    bool tooLarge = false;
    const bool literal = !continuation && (!InStatus || CodeOpen) && LiteralAnnounced(Line, size, tooLarge);
    Current.Lines.push_back(std::move(Line));
    Line.clear();
    if (literal) {
        if (tooLarge) {
            Fail(TImapReadError::TooLarge,
                 "a literal larger than " + std::to_string(MaxLiteralSize) + " bytes");
            return false;
        }
        if (HeldBytes + size > MaxResponseSize) {
            Fail(TImapReadError::TooLarge,
                 "a response larger than " + std::to_string(MaxResponseSize) + " bytes");
            return false;
        }
        HeldBytes += size;
        Current.Literals.emplace_back();
        LiteralLeft = size;
        InLiteral = size > 0;
        return true;
    }

    TImapResponse response;
    TImapReadError error = TImapReadError::None;
    std::string text;
    const bool parsed = ImapParseResponse(Current, response, error, text);
    Current = TImapRawResponse();
    InStatus = CodeOpen = false;
    HeldBytes = 0;
    if (!parsed) {
        Fail(error, text);
        return false;
    }
    Ready.push_back(std::move(response));
    return true;
}

bool TImapReader::Next(TImapResponse& response)
{
    if (Ready.empty())
        return false;
    response = std::move(Ready.front());
    Ready.pop_front();
    return true;
}
