#include "unitProcessPopupRuleFile.h"

#include "../framework/DataFolder.h"
#include "../framework/Files.h"

std::string GetPopupRulesFileName() { return DataFilePath(kPopupRulesFile, TFileUse::Read); }

bool LoadPopupRules(TPopupRuleFile& file)
{
    const std::string path = GetPopupRulesFileName();
    if (!FileExists(path))
        return true;
    std::string bytes;
    const bool complete = ReadFileBytes(path, bytes);
    ParsePopupRuleFile(bytes, file);
    return complete;
}

bool SavePopupRules(const TPopupRules& rules, const std::vector<std::pair<int, std::string>>& unreadable)
{
    const std::string path = DataFilePath(kPopupRulesFile, TFileUse::Write);
    return !path.empty() && WriteFileReplacing(path, FormatPopupRuleFile(rules, unreadable));
}
