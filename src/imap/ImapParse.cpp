// The syntax of one framed IMAP response (the formal syntax of RFC 9051 and
// RFC 3501): the tag or "*" or "+", a status with its response code and
// text, or untagged data as a sequence of values. The values are read the
// way servers send them rather than to the letter: spaces between values
// may be doubled or missing before a list, a backslash in a quoted string
// keeps whatever byte follows it, and a response code that is not a list of
// values keeps its arguments as one atom of text.
#include "ImapReader.h"

#include <cstdint>

#include "../text/CaseFold.h"

namespace {

bool AllDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The value of a run of digits, false when it is above `limit`.
bool DigitsValue(const std::string& digits, std::uint64_t limit, std::uint64_t& value)
{
    value = 0;
    for (char c : digits) {
        const std::uint64_t digit = std::uint64_t(c - '0');
        if (value > (limit - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

TImapStatus StatusNamed(const std::string& name)
{
    static const struct {
        const char* name;
        TImapStatus status;
    } statuses[] = {{"OK", TImapStatus::Ok},   {"NO", TImapStatus::No},   {"BAD", TImapStatus::Bad},
                    {"BYE", TImapStatus::Bye}, {"PREAUTH", TImapStatus::Preauth}};
    for (const auto& entry : statuses)
        if (name == entry.name)
            return entry.status;
    return TImapStatus::None;
}

// A section's values written back as text, for the name of the item it
// belongs to: BODY[HEADER.FIELDS (FROM SUBJECT)] whatever the server quoted.
std::string Render(const std::vector<TImapValue>& values)
{
    std::string text;
    for (const TImapValue& value : values) {
        if (!text.empty())
            text += ' ';
        if (value.IsList())
            text += "(" + Render(value.Items) + ")";
        else if (value.IsNil())
            text += "NIL";
        else
            text += value.Text;
    }
    return text;
}

class TParser {
public:
    explicit TParser(const TImapRawResponse& raw) : Raw(raw) {}

    bool Parse(TImapResponse& response);

    TImapReadError Error = TImapReadError::None;
    std::string ErrorText;

private:
    const std::string& CurrentLine() const { return Raw.Lines[LineIndex]; }
    bool AtLineEnd() const { return Pos >= CurrentLine().size(); }
    char Peek() const { return AtLineEnd() ? '\0' : CurrentLine()[Pos]; }
    void SkipSpaces()
    {
        while (Peek() == ' ')
            ++Pos;
    }
    std::string Word();
    std::string RestOfLine();
    bool Fail(const std::string& text, TImapReadError error = TImapReadError::Malformed);

    bool Value(TImapValue& value, int depth, char closer);
    bool Values(std::vector<TImapValue>& values, int depth, char closer);
    bool Quoted(TImapValue& value);
    bool Literal(TImapValue& value);
    bool Atom(TImapValue& value, int depth, char closer);
    bool ResponseText(TImapResponse& response);

    const TImapRawResponse& Raw;
    std::size_t LineIndex = 0;
    std::size_t Pos = 0;
    std::size_t ValueCount = 0;
};

bool TParser::Fail(const std::string& text, TImapReadError error)
{
    if (Error == TImapReadError::None) {
        Error = error;
        const std::string& first = Raw.Lines.front();
        ErrorText = text + " in \"" + first.substr(0, 60) + (first.size() > 60 ? "...\"" : "\"");
    }
    return false;
}

std::string TParser::Word()
{
    const std::size_t start = Pos;
    while (!AtLineEnd() && Peek() != ' ')
        ++Pos;
    return CurrentLine().substr(start, Pos - start);
}

std::string TParser::RestOfLine()
{
    const std::string rest = Pos < CurrentLine().size() ? CurrentLine().substr(Pos) : std::string();
    Pos = CurrentLine().size();
    return rest;
}

bool TParser::Values(std::vector<TImapValue>& values, int depth, char closer)
{
    for (;;) {
        SkipSpaces();
        if (closer != '\0' && Peek() == closer) {
            ++Pos;
            return true;
        }
        if (AtLineEnd()) {
            if (closer == '\0' && LineIndex + 1 == Raw.Lines.size())
                return true;
            return Fail(closer == ')' ? "an unbalanced parenthesis" : closer == ']' ? "an unclosed bracket"
                                                                                    : "a stray literal");
        }
        values.emplace_back();
        if (!Value(values.back(), depth, closer))
            return false;
    }
}

bool TParser::Value(TImapValue& value, int depth, char closer)
{
    if (++ValueCount > TImapReader::MaxValues)
        return Fail("more than " + std::to_string(TImapReader::MaxValues) + " values", TImapReadError::TooLarge);
    const char c = Peek();
    if (c == '(') {
        if (depth >= TImapReader::MaxDepth)
            return Fail("lists nested too deep");
        ++Pos;
        value.Kind = TImapValueKind::List;
        return Values(value.Items, depth + 1, ')');
    }
    if (c == '"')
        return Quoted(value);
    if (c == '{')
        return Literal(value);
    if (c == '~' && Pos + 1 < CurrentLine().size() && CurrentLine()[Pos + 1] == '{') {
        ++Pos;
        return Literal(value);
    }
    return Atom(value, depth, closer);
}

bool TParser::Quoted(TImapValue& value)
{
    value.Kind = TImapValueKind::String;
    ++Pos;
    for (;;) {
        if (AtLineEnd())
            return Fail("an unterminated quoted string");
        char c = CurrentLine()[Pos++];
        if (c == '"')
            return true;
        if (c == '\\') {
            if (AtLineEnd())
                return Fail("an unterminated quoted string");
            c = CurrentLine()[Pos++];
        }
        value.Text += c;
    }
}

bool TParser::Literal(TImapValue& value)
{
    // The framing found the announcement at the end of the line and read
    // the literal; here it must be exactly there.
    const std::size_t close = CurrentLine().find('}', Pos);
    if (close + 1 != CurrentLine().size() || LineIndex + 1 >= Raw.Lines.size())
        return Fail("a literal announced in the middle of a line");
    value.Kind = TImapValueKind::String;
    value.Literal = true;
    value.Text = Raw.Literals[LineIndex];
    ++LineIndex;
    Pos = 0;
    return true;
}

bool TParser::Atom(TImapValue& value, int depth, char closer)
{
    value.Kind = TImapValueKind::Atom;
    for (;;) {
        const char c = Peek();
        if (AtLineEnd() || c == ' ' || c == '(' || c == ')' || c == '"' || c == '{' ||
            (c == ']' && closer == ']'))
            break;
        if (c == '[') {
            // A section (BODY[HEADER.FIELDS (FROM)]) belongs to its atom,
            // spaces, lists and all; so does an origin after it (<0>).
            if (depth >= TImapReader::MaxDepth)
                return Fail("sections nested too deep");
            ++Pos;
            std::vector<TImapValue> section;
            if (!Values(section, depth + 1, ']'))
                return false;
            value.Text += "[" + Render(section) + "]";
            continue;
        }
        value.Text += c;
        ++Pos;
    }
    if (value.Text.empty())
        return Fail(AtLineEnd() ? "a value missing at the end" : std::string("an unexpected '") + Peek() + "'");
    if (AllDigits(value.Text)) {
        // Beyond 63 bits it is no number; it stays an atom, which every
        // place that needs a number refuses.
        if (DigitsValue(value.Text, INT64_MAX, value.Number))
            value.Kind = TImapValueKind::Number;
    } else if (UpperAsciiCase(value.Text) == "NIL") {
        value.Kind = TImapValueKind::Nil;
    }
    return true;
}

bool TParser::ResponseText(TImapResponse& response)
{
    SkipSpaces();
    if (Peek() == '[') {
        ++Pos;
        const std::size_t start = Pos;
        while (!AtLineEnd() && Peek() != ' ' && Peek() != ']')
            ++Pos;
        response.Code = UpperAsciiCase(CurrentLine().substr(start, Pos - start));
        if (response.Code.empty())
            return Fail("an empty response code");
        if (Peek() == ' ') {
            // Codes this client does not know may carry any text up to the
            // bracket (a URL, a sentence); such text is kept as one atom.
            const std::size_t line = LineIndex, pos = Pos, count = ValueCount;
            if (!Values(response.CodeArguments, 0, ']')) {
                if (Error == TImapReadError::TooLarge)
                    return false;
                Error = TImapReadError::None;
                ErrorText.clear();
                LineIndex = line;
                Pos = pos;
                ValueCount = count;
                response.CodeArguments.clear();
                SkipSpaces();
                const std::size_t end = CurrentLine().find(']', Pos);
                if (end == std::string::npos)
                    return Fail("an unclosed response code");
                TImapValue text;
                text.Text = CurrentLine().substr(Pos, end - Pos);
                response.CodeArguments.push_back(text);
                Pos = end + 1;
            }
        } else if (Peek() == ']') {
            ++Pos;
        } else {
            return Fail("an unclosed response code");
        }
        SkipSpaces();
    }
    // The text is the rest of its line; a literal a server announced there
    // (text has none) is read and dropped.
    response.Text = RestOfLine();
    return true;
}

bool TParser::Parse(TImapResponse& response)
{
    const std::string& first = CurrentLine();
    if (!first.empty() && first[0] == '+') {
        response.Kind = TImapResponseKind::Continuation;
        Pos = first.size() > 1 && first[1] == ' ' ? 2 : 1;
        response.Text = RestOfLine();
        return true;
    }
    if (!first.empty() && first[0] == '*') {
        response.Kind = TImapResponseKind::Untagged;
        Pos = 1;
        if (Peek() != ' ')
            return Fail("no space after '*'");
        SkipSpaces();
        std::string word = Word();
        if (AllDigits(word)) {
            std::uint64_t number = 0;
            if (!DigitsValue(word, UINT32_MAX, number))
                return Fail("a message number too large");
            response.HasNumber = true;
            response.Number = std::uint32_t(number);
            SkipSpaces();
            word = Word();
        }
        if (word.empty())
            return Fail("untagged data without its name");
        response.Name = UpperAsciiCase(word);
        const TImapStatus status = StatusNamed(response.Name);
        if (status != TImapStatus::None && !response.HasNumber) {
            response.Status = status;
            return ResponseText(response);
        }
        return Values(response.Data, 0, '\0');
    }
    response.Kind = TImapResponseKind::Tagged;
    response.Tag = Word();
    if (response.Tag.empty())
        return Fail("a response without a tag");
    SkipSpaces();
    response.Name = UpperAsciiCase(Word());
    response.Status = StatusNamed(response.Name);
    if (response.Status != TImapStatus::Ok && response.Status != TImapStatus::No &&
        response.Status != TImapStatus::Bad)
        return Fail("a tagged response without OK, NO or BAD");
    return ResponseText(response);
}

}  // namespace

bool ImapParseResponse(const TImapRawResponse& raw, TImapResponse& response, TImapReadError& error,
                       std::string& text)
{
    response = TImapResponse();
    if (raw.Lines.empty() || raw.Lines.size() != raw.Literals.size() + 1) {
        error = TImapReadError::Malformed;
        text = "an incomplete response";
        return false;
    }
    TParser parser(raw);
    if (parser.Parse(response))
        return true;
    error = parser.Error;
    text = parser.ErrorText;
    return false;
}
