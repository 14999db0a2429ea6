#include "ImapUidSet.h"

#include <algorithm>

namespace {

bool ParseUid(const std::string& text, std::uint32_t& uid)
{
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + std::uint64_t(c - '0');
    }
    if (value == 0 || value > UINT32_MAX)
        return false;
    uid = std::uint32_t(value);
    return true;
}

}  // namespace

std::string ImapFormatUidSet(std::vector<std::uint32_t> uids)
{
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    uids.erase(std::remove(uids.begin(), uids.end(), 0u), uids.end());
    std::string text;
    for (std::size_t i = 0; i < uids.size();) {
        std::size_t last = i;
        while (last + 1 < uids.size() && uids[last + 1] == uids[last] + 1)
            ++last;
        if (!text.empty())
            text += ',';
        text += std::to_string(uids[i]);
        if (last > i)
            text += ":" + std::to_string(uids[last]);
        i = last + 1;
    }
    return text;
}

bool ImapParseUidSet(const std::string& text, std::vector<TImapUidRange>& ranges)
{
    ranges.clear();
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string member = text.substr(start, end - start);
        const std::size_t colon = member.find(':');
        TImapUidRange range;
        if (colon == std::string::npos) {
            if (!ParseUid(member, range.First))
                return false;
            range.Last = range.First;
        } else if (!ParseUid(member.substr(0, colon), range.First) ||
                   !ParseUid(member.substr(colon + 1), range.Last)) {
            return false;
        }
        if (range.First > range.Last)
            std::swap(range.First, range.Last);
        ranges.push_back(range);
        if (end == text.size())
            return true;
        start = end + 1;
    }
}

std::uint64_t ImapUidSetSize(const std::vector<TImapUidRange>& ranges)
{
    std::uint64_t size = 0;
    for (const TImapUidRange& range : ranges)
        size += std::uint64_t(range.Last) - range.First + 1;
    return size;
}

bool ImapExpandUidSet(const std::vector<TImapUidRange>& ranges, std::size_t limit,
                      std::vector<std::uint32_t>& uids)
{
    uids.clear();
    if (ImapUidSetSize(ranges) > limit)
        return false;
    for (const TImapUidRange& range : ranges)
        for (std::uint64_t uid = range.First; uid <= range.Last; ++uid)
            uids.push_back(std::uint32_t(uid));
    return true;
}
