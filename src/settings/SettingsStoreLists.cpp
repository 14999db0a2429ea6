// The spam lists, the address list and the subject list, and the allow list,
// kept beside the executable (or in the user's folder: DataFolder.h), read at
// start-up and written at every settings save, all by the same file rules.
#include "SettingsStoreLists.h"

#include "../framework/AnsiCodePage.h"
#include "../framework/DataFolder.h"
#include "../framework/Files.h"
#include "../framework/Locale.h"
#include "../model/SpamAllowList.h"
#include "../model/unitProcessSpam.h"
#include "../text/ListFileText.h"
#include "Settings.h"
#include "SettingsStore.h"

namespace {
const char kAddressFile[] = "skarnvale.mail";
const char kSubjectFile[] = "skarnvale.sub";

// The file's bytes as the list's field text, and back.
using TReadList = std::string (*)(const std::string& bytes);
using TWriteList = std::string (*)(const std::string& fieldText);

std::string SpamListFromFile(const std::string& bytes)
{
    return JoinLines(ParseSpamListFile(ListFileToUtf8(bytes, SystemAnsiCodePage()), LocaleCompareText));
}

std::string SpamListToFile(const std::string& list)
{
    return Utf8ToListFile(FormatSpamListFile(list), SystemAnsiCodePage());
}

std::string AllowedFromFile(const std::string& bytes)
{
    return AllowListFromFile(bytes, SystemAnsiCodePage(), LocaleCompareText);
}

std::string AllowedToFile(const std::string& list) { return AllowListToFile(list, SystemAnsiCodePage()); }

void LoadList(std::string& list, const std::string& fileName, TReadList read, TSettingsStoreResult& result)
{
    list.clear();
    const std::string path = DataFilePath(fileName, TFileUse::Read);
    if (!FileExists(path))
        return;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        result.UnreadFiles.push_back(path);
        return;
    }
    list = read(bytes);
}

void SaveList(const std::string& list, const std::string& fileName, TWriteList write, TSettingsStoreResult& result)
{
    const std::string path = DataFilePath(fileName, TFileUse::Write);
    // The new list goes beside the old one and then takes its place, so a
    // failure mid-write leaves the previous list whole.
    if (path.empty() || !WriteFileReplacing(path, write(list)))
        result.UnwrittenFiles.push_back(fileName);
}
}  // namespace

void LoadSpamLists(TSettings& settings, TSettingsStoreResult& result)
{
    LoadList(settings.SpamAddresses, kAddressFile, SpamListFromFile, result);
    LoadList(settings.SpamSubjects, kSubjectFile, SpamListFromFile, result);
    LoadList(settings.SpamAllowed, AllowListFileName, AllowedFromFile, result);
}

void SaveSpamLists(const TSettings& settings, TSettingsStoreResult& result)
{
    SaveList(settings.SpamAddresses, kAddressFile, SpamListToFile, result);
    SaveList(settings.SpamSubjects, kSubjectFile, SpamListToFile, result);
    SaveList(settings.SpamAllowed, AllowListFileName, AllowedToFile, result);
}
