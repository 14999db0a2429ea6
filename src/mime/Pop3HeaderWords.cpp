#include "Pop3HeaderWords.h"

#include "../text/Utf8Text.h"
#include "../text/Base64Digits.h"
#include "MimeBody.h"
#include "../text/HexDigits.h"

namespace {
struct TEncodedWord {
    std::size_t end = 0;  // just after its "?="
    unsigned codePage = 0;
    std::string bytes;  // the decoded encoded-text
};

// What charset names and encoded text may hold: printable ASCII but '?'.
bool IsWordChar(char c) { return c > ' ' && c < 127 && c != '?'; }

bool IsLinearWhiteSpace(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

bool DecodeQ(const std::string& text, std::string& bytes)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            bytes += ' ';
        } else if (text[i] != '=') {
            bytes += text[i];
        } else {
            const int high = i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
            const int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
            if (low < 0)
                return false;
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return true;
}

// Padding may be missing, as some senders leave it out; a length no encoder
// makes, or a character outside the alphabet, makes the word malformed.
bool DecodeB(const std::string& text, std::string& bytes)
{
    std::size_t length = text.size();
    while (length > 0 && text.size() - length < 2 && text[length - 1] == '=')
        --length;
    if ((length < text.size() && text.size() % 4 != 0) || length % 4 == 1)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (Base64Value(text[i]) < 0)
            return false;
    bytes += DecodeBase64Text(text.substr(0, length));
    return true;
}

// The encoded word that starts at `at` ("=?"), when it is well formed and in
// a charset that is decoded.
bool ParseEncodedWord(const std::string& text, std::size_t at, TEncodedWord& word)
{
    std::size_t p = at + 2;
    while (p < text.size() && IsWordChar(text[p]))
        ++p;
    if (p == at + 2 || p + 2 >= text.size() || text[p] != '?' || text[p + 2] != '?')
        return false;
    const std::string charset = text.substr(at + 2, p - at - 2);
    const char encoding = text[p + 1];
    const std::size_t start = p + 3;
    std::size_t end = start;
    while (end < text.size() && IsWordChar(text[end]))
        ++end;
    if (end + 1 >= text.size() || text[end] != '?' || text[end + 1] != '=')
        return false;
    word.codePage = Pop3CharsetCodePage(charset);
    if (word.codePage == 0)
        return false;
    const std::string encoded = text.substr(start, end - start);
    word.end = end + 2;
    word.bytes.clear();
    if (encoding == 'Q' || encoding == 'q')
        return DecodeQ(encoded, word.bytes);
    if (encoding == 'B' || encoding == 'b')
        return DecodeB(encoded, word.bytes);
    return false;
}

// Adjacent encoded words of one charset, waiting to be converted together.
struct TWordRun {
    bool open = false;
    unsigned codePage = 0;
    std::string bytes;
    std::string written;     // the words as they stand in the header
    std::string spaceBefore;  // white space dropped between it and the run before
};

void MakeVisible(std::string& text)
{
    for (char& c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == '\t')
            c = ' ';
        else if (byte < ' ' || byte == 127)
            c = '?';
    }
}
}  // namespace

std::string Pop3DecodeHeaderText(const std::string& value, const TCodePageConverter& convert)
{
    // Encoded words are ASCII: whether the rest is UTF-8 is a matter of the whole value.
    const bool rawUtf8 = IsValidUtf8(value);
    const auto raw = [rawUtf8](const std::string& bytes) { return rawUtf8 ? bytes : Windows1252ToUtf8(bytes); };
    std::string text;
    TWordRun run;
    bool lastRunWritten = false;  // the run before could not be converted
    // A run that cannot be converted is written as it stands, with the white
    // space around it: nothing is dropped.
    const auto flush = [&] {
        if (!run.open)
            return;
        std::string utf8;
        const bool converted = DecodeCodePage(run.codePage, run.bytes, convert, utf8);
        if (!converted || lastRunWritten)
            text += run.spaceBefore;
        text += converted ? utf8 : run.written;
        lastRunWritten = !converted;
        run = TWordRun();
    };

    std::size_t plain = 0;  // start of the text not written yet
    TEncodedWord word;
    for (std::size_t at = value.find("=?"); at != std::string::npos; at = value.find("=?", at)) {
        if (!ParseEncodedWord(value, at, word)) {
            ++at;
            continue;
        }
        const std::string between = value.substr(plain, at - plain);
        const std::string written = value.substr(at, word.end - at);
        const bool adjacent = run.open && IsLinearWhiteSpace(between);
        if (adjacent && word.codePage == run.codePage) {
            run.bytes += word.bytes;
            run.written += between + written;
        } else {
            flush();
            if (adjacent) {
                run.spaceBefore = between;
            } else {
                text += raw(between);
                lastRunWritten = false;
            }
            run.open = true;
            run.codePage = word.codePage;
            run.bytes = word.bytes;
            run.written = written;
        }
        plain = at = word.end;
    }
    flush();
    text += raw(value.substr(plain));
    MakeVisible(text);
    return text;
}
