// The two spam lists, the address list and the subject list, kept beside the
// executable (or in the user's folder: DataFolder.h), read at start-up and
// written at every settings save.
#include "SettingsStoreLists.h"

#include "../framework/AnsiCodePage.h"
#include "../framework/DataFolder.h"
#include "../framework/Files.h"
#include "../framework/Locale.h"
#include "../model/unitProcessSpam.h"
#include "../text/ListFileText.h"
#include "Settings.h"
#include "SettingsStore.h"

namespace {
const char kAddressFile[] = "skarnvale.mail";
const char kSubjectFile[] = "skarnvale.sub";

void LoadList(std::string& list, const std::string& fileName, TSettingsStoreResult& result)
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
    list = JoinLines(ParseSpamListFile(ListFileToUtf8(bytes, SystemAnsiCodePage()), LocaleCompareText));
}

void SaveList(const std::string& list, const std::string& fileName, TSettingsStoreResult& result)
{
    const std::string path = DataFilePath(fileName, TFileUse::Write);
    // The new list goes beside the old one and then takes its place, so a
    // failure mid-write leaves the previous list whole.
    if (path.empty() || !WriteFileReplacing(path, Utf8ToListFile(FormatSpamListFile(list), SystemAnsiCodePage())))
        result.UnwrittenFiles.push_back(fileName);
}
}  // namespace

void LoadSpamLists(TSettings& settings, TSettingsStoreResult& result)
{
    LoadList(settings.SpamAddresses, kAddressFile, result);
    LoadList(settings.SpamSubjects, kSubjectFile, result);
}

void SaveSpamLists(const TSettings& settings, TSettingsStoreResult& result)
{
    SaveList(settings.SpamAddresses, kAddressFile, result);
    SaveList(settings.SpamSubjects, kSubjectFile, result);
}
