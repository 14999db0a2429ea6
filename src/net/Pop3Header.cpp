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

bool TPop3Header::ProcessLine(const std::string& line, bool continuation)
{
    if (!InHeaderPart || continuation)
        return false;
    if (line.empty()) {
        InHeaderPart = false;
        return true;
    }
    if (line[0] == '\t')
        return false;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos)
        return false;

    HeaderKeyword = Pop3LowerCase(Pop3Trim(line.substr(0, colon)));
    HeaderData = line.substr(colon + 1, MaxHeaderData);

    std::string* field = nullptr;
    if (HeaderKeyword == "from")
        field = &MsgFrom;
    else if (HeaderKeyword == "to")
        field = &MsgTo;
    else if (HeaderKeyword == "subject")
        field = &MsgSubject;
    else if (HeaderKeyword == "date")
        field = &MsgDate;
    else if (HeaderKeyword == "message-id")
        field = &MsgMessageId;
    else if (HeaderKeyword == "reply-to")
        field = &MsgReplyTo;
    else if (HeaderKeyword == "return-path")
        field = &MsgReturnPath;
    if (field)
        *field = HeaderData;
    return false;
}
