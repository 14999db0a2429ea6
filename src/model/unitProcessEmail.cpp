#include "unitProcessEmail.h"

#include <cstdio>
#include <memory>

namespace {
// The last Id given: one count for the whole program, since the settings and
// the options dialog's copy of them make mailboxes alike.
int lastMailboxId = 0;
}  // namespace

TMailBox::TMailBox() : Id(++lastMailboxId) {}

TMailBox* MailboxById(const TMyCollection& mailboxes, int id)
{
    for (int i = 0; i < mailboxes.Count(); ++i)
        if (TMailBox* mailbox = mailboxes.ItemAs<TMailBox>(i); mailbox->Id == id)
            return mailbox;
    return nullptr;
}

void CopyMailboxes(const TMyCollection& from, TMyCollection& to)
{
    to.Clear();
    for (int i = 0; i < from.Count(); ++i)
        to.Add(std::make_unique<TMailBox>(*from.ItemAs<TMailBox>(i)));
}

std::string MakeEmailKey(const std::string& mailboxName, int number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.3d", number);
    return mailboxName + digits;
}

std::string GetEmailDate(const TEmail& email)
{
    static const std::string marker = "Date: ";
    const size_t at = email.Header.find(marker);
    if (at == std::string::npos)
        return "Unknown";
    const size_t start = at + marker.size();
    const size_t end = email.Header.find("\r\n", start);
    return email.Header.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string GetEmailAddress(const TEmail& email)
{
    const size_t open = email.From.find('<');
    const size_t close = email.From.find('>');
    if (open == std::string::npos || close == std::string::npos)
        return email.From;
    if (close < open)
        return std::string();
    return email.From.substr(open + 1, close - open - 1);
}

std::string GetDecodedEmailAddress(const TEmail& email)
{
    if (email.From.find('<') == std::string::npos || email.From.find('>') == std::string::npos)
        return email.DecodedFrom;
    return RawTextToUtf8(GetEmailAddress(email));
}

void DecodeEmailFields(TEmail& email, const TCodePageConverter& convert)
{
    email.DecodedFrom = Pop3DecodeHeaderText(email.From, convert);
    email.DecodedTo = Pop3DecodeHeaderText(email.To, convert);
    email.DecodedSubject = Pop3DecodeHeaderText(email.Subject, convert);
}

void StripEmailHeader(TEmail& email)
{
    const std::string& header = email.Header;
    std::string& body = email.Body;
    size_t common = 0;
    while (common < body.size() && common < header.size() && body[common] == header[common])
        ++common;
    body.erase(0, common);
}
