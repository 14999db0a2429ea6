#include "Pop3Header.h"

namespace {

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::string Pop3LowerCase(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return lower;
}

std::string Pop3Trim(const std::string& text)
{
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && IsBlankOrControl(text[start]))
        ++start;
    while (end > start && IsBlankOrControl(text[end - 1]))
        --end;
    return text.substr(start, end - start);
}

void TPop3Header::Start()
{
    InHeaderPart = true;
    fieldOpen_ = false;
    HeaderKeyword.clear();
    HeaderData.clear();
    MsgFrom.clear();
    MsgTo.clear();
    MsgSubject.clear();
    MsgReplyTo.clear();
    MsgMessageId.clear();
    MsgDate.clear();
    MsgReturnPath.clear();
}

std::string* TPop3Header::Field()
{
    static const struct {
        const char* keyword;
        std::string TPop3Header::*field;
    } fields[] = {
        {"from", &TPop3Header::MsgFrom},           {"to", &TPop3Header::MsgTo},
        {"subject", &TPop3Header::MsgSubject},     {"date", &TPop3Header::MsgDate},
        {"message-id", &TPop3Header::MsgMessageId}, {"reply-to", &TPop3Header::MsgReplyTo},
        {"return-path", &TPop3Header::MsgReturnPath},
    };
    for (const auto& entry : fields)
        if (HeaderKeyword == entry.keyword)
            return &(this->*entry.field);
    return nullptr;
}

bool TPop3Header::ProcessLine(const std::string& line, bool continuation)
{
    if (!InHeaderPart || continuation)
        return false;
    if (line.empty()) {
        InHeaderPart = false;
        return true;
    }
    // A folded line with no field before it is read as a field line of its own.
    if (fieldOpen_ && (line[0] == ' ' || line[0] == '\t')) {
        HeaderData.append(line, 0, MaxHeaderData - HeaderData.size());
    } else {
        const std::size_t colon = line.find(':');
        fieldOpen_ = colon != std::string::npos;
        if (!fieldOpen_)
            return false;
        HeaderKeyword = Pop3LowerCase(Pop3Trim(line.substr(0, colon)));
        HeaderData = line.substr(colon + 1, MaxHeaderData);
    }
    if (std::string* field = Field())
        *field = HeaderData;
    return false;
}
