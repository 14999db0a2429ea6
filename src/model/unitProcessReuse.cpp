#include "unitProcessReuse.h"

#include <algorithm>
#include <cstddef>

bool UniqueIdsUsable(const std::map<int, std::string>& uidls)
{
    std::set<std::string> seen;
    for (const auto& entry : uidls)
        if (entry.second.empty() || !seen.insert(entry.second).second)
            return false;
    return !uidls.empty();
}

std::vector<TMessagePlan> PlanMailboxRead(const TMailboxListing& listing, TMailboxMemory& memory,
                                          const std::string& server, const std::string& user, int emailLines)
{
    if (memory.Server != server || memory.User != user || memory.EmailLines != emailLines) {
        memory = TMailboxMemory();
        memory.Server = server;
        memory.User = user;
        memory.EmailLines = emailLines;
    }
    const bool usable = UniqueIdsUsable(listing.Uidls);
    std::vector<TMessagePlan> plan;
    for (int n = 1; n <= listing.Count; ++n) {
        TMessagePlan message;
        message.Number = n;
        if (usable) {
            const auto uidl = listing.Uidls.find(n);
            const auto size = listing.Sizes.find(n);
            if (uidl != listing.Uidls.end())
                message.Uidl = uidl->second;
            if (size != listing.Sizes.end())
                message.Octets = size->second;
            const auto kept = memory.ByUidl.find(message.Uidl);
            if (!message.Uidl.empty() && message.Octets >= 0 && kept != memory.ByUidl.end() &&
                kept->second.Octets == message.Octets)
                message.Kept = &kept->second;
        }
        plan.push_back(message);
    }
    return plan;
}

void ReuseEmail(TEmail& email, const TEmail& kept)
{
    email.From = kept.From;
    email.To = kept.To;
    email.Subject = kept.Subject;
    email.Header = kept.Header;
    email.Body = kept.Body;
    email.Attachments = kept.Attachments;
    email.Uidl = kept.Uidl;
    email.Octets = kept.Octets;
    email.Digest = kept.Digest;
}

void RememberEmails(TMailboxMemory& memory, const std::vector<const TEmail*>& complete)
{
    std::map<std::string, TEmail> kept;
    for (const TEmail* email : complete)
        if (!email->Uidl.empty()) {
            TEmail& copy = kept[email->Uidl];
            ReuseEmail(copy, *email);
        }
    memory.ByUidl.swap(kept);
}

std::set<TMessageIdentity> MessageIdentities(const std::vector<const TEmail*>& emails)
{
    std::set<TMessageIdentity> identities;
    for (const TEmail* email : emails)
        if (!email->Uidl.empty())
            identities.insert({email->MailboxId, email->Uidl});
    return identities;
}

bool HasNewMessage(const std::set<TMessageIdentity>& before, const std::vector<const TEmail*>& now)
{
    for (const TEmail* email : now)
        if (!email->Uidl.empty() && before.count({email->MailboxId, email->Uidl}) == 0)
            return true;
    return false;
}

std::vector<const TEmail*> NewEmails(const std::set<TMessageIdentity>& before, int countBefore,
                                     const std::vector<const TEmail*>& now)
{
    std::vector<const TEmail*> fresh, anonymous;
    for (const TEmail* email : now) {
        if (email->Uidl.empty())
            anonymous.push_back(email);
        else if (before.count({email->MailboxId, email->Uidl}) == 0)
            fresh.push_back(email);
    }
    const long grown = static_cast<long>(now.size()) - countBefore - static_cast<long>(fresh.size());
    const std::size_t take = grown > 0 ? std::min(anonymous.size(), static_cast<std::size_t>(grown)) : 0;
    // A server numbers new mail last.
    fresh.insert(fresh.end(), anonymous.end() - static_cast<std::ptrdiff_t>(take), anonymous.end());
    return fresh;
}

std::vector<const TEmail*> EmailsOf(const TMyCollection& emails)
{
    std::vector<const TEmail*> all;
    for (int i = 0; i < emails.Count(); ++i)
        all.push_back(emails.ItemAs<TEmail>(i));
    return all;
}
