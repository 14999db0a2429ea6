#include "QuarantineIdentity.h"

#include <algorithm>

#include "../model/unitProcessEmail.h"
#include "../net/MD5.h"
#include "../oauth/OAuthEncoding.h"

namespace {
// The digest's digits that name a copy: 64 bits, so that two messages of one
// quarantine never share them.
constexpr std::size_t kUniqueDigits = 16;

// Each part percent-encoded, so that no user, server or folder name can make
// two mailboxes read alike.
std::string MailboxPart(const char* scheme, const TMailBox& box)
{
    return std::string(scheme) + "://" + PercentEncode(box.User) + "@" + PercentEncode(box.Server) + ":" +
           PercentEncode(box.Port) + "/";
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

std::string QuarantinePop3MessageId(const TMailBox& box, const std::string& uidl)
{
    return uidl.empty() ? std::string() : MailboxPart("pop3", box) + PercentEncode(uidl);
}

std::string QuarantineImapMessageId(const TMailBox& box, std::uint32_t uidValidity, std::uint32_t uid)
{
    if (uid == 0)
        return std::string();
    return MailboxPart("imap", box) + PercentEncode(box.Folder) + ";UIDVALIDITY=" + std::to_string(uidValidity) +
           "/;UID=" + std::to_string(uid);
}

std::string QuarantineMessageUnique(const std::string& messageId)
{
    return messageId.empty() ? std::string() : MD5Hex(messageId).substr(0, kUniqueDigits);
}

std::string QuarantineMessageUnique(const std::string& messageId, int counter)
{
    const std::string unique = QuarantineMessageUnique(messageId);
    return unique.empty() ? unique : unique + "n" + std::to_string(counter);
}

std::vector<std::string> QuarantineOtherCopies(const std::vector<std::string>& fileNames, const std::string& unique,
                                               const std::string& keep)
{
    std::vector<std::string> bases;
    if (unique.empty())
        return bases;
    for (const std::string& name : fileNames) {
        const std::string base = name.substr(0, name.rfind('.'));
        const std::size_t separator = base.rfind('_');
        if (separator == std::string::npos || base == keep)
            continue;
        // The unique part alone, or followed by "n" and a counter.
        const std::string part = base.substr(separator + 1);
        if (part == unique || (part.compare(0, unique.size() + 1, unique + "n") == 0 &&
                               AllDigits(part.substr(unique.size() + 1))))
            bases.push_back(base);
    }
    std::sort(bases.begin(), bases.end());
    bases.erase(std::unique(bases.begin(), bases.end()), bases.end());
    return bases;
}
