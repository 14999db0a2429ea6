#include "SpamReason.h"

TSpamReason FindSpamReason(const TEmail& email, const TSpamLists& lists)
{
    // The spam test itself, one list at a time in its own order, so that the
    // reason can never disagree with the test.
    static const std::vector<std::string> none;
    if (const std::string* entry = FindSpamEntry(email, lists.Addresses, none, lists.Fold))
        return {TSpamListKind::Addresses, *entry};
    if (const std::string* entry = FindSpamEntry(email, none, lists.Subjects, lists.Fold))
        return {TSpamListKind::Subjects, *entry};
    return {};
}

TSpamReason TSpamRules::ReasonFor(const TEmail& email) const
{
    if (Allowed.Allows(email))
        return {};
    return FindSpamReason(email, Lists);
}

TSpamRules ParseSpamRules(const std::string& addressField, const std::string& subjectField,
                          const std::string& allowField, const TCaseFold& fold)
{
    return {ParseSpamLists(addressField, subjectField, fold), ParseAllowList(allowField, fold)};
}
