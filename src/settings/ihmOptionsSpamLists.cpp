// The two spam lists, the address list and the subject list, kept beside the
// executable (or in the user's folder: DataFolder.h), read at start-up and
// written at every settings save.
#include "../app/FileErrorBox.h"
#include "../framework/AnsiCodePage.h"
#include "../framework/DataFolder.h"
#include "../framework/Files.h"
#include "../framework/Locale.h"
#include "../text/ListFileText.h"
#include "../model/unitProcessSpam.h"
#include "ihmOptions.h"

namespace {
const char kAddressFile[] = "skarnvale.mail";
const char kSubjectFile[] = "skarnvale.sub";

void LoadList(std::string& list, const std::string& fileName)
{
    list.clear();
    const std::string path = DataFilePath(fileName, TFileUse::Read);
    if (!FileExists(path))
        return;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        ShowReadErrorBox(path);
        return;
    }
    list = JoinLines(ParseSpamListFile(ListFileToUtf8(bytes, SystemAnsiCodePage()), LocaleCompareText));
}

void SaveList(const std::string& list, const std::string& fileName)
{
    const std::string path = DataFilePath(fileName, TFileUse::Write);
    // The new list goes beside the old one and then takes its place, so a
    // failure mid-write leaves the previous list whole.
    if (path.empty() || !WriteFileReplacing(path, Utf8ToListFile(FormatSpamListFile(list), SystemAnsiCodePage())))
        ShowWriteErrorFor(fileName);
}
}  // namespace

void TihmOptions::LoadSpamLists()
{
    LoadList(settings_.SpamAddresses, kAddressFile);
    LoadList(settings_.SpamSubjects, kSubjectFile);
    ShowSpamLists();
}

void TihmOptions::SaveSpamLists()
{
    SaveList(settings_.SpamAddresses, kAddressFile);
    SaveList(settings_.SpamSubjects, kSubjectFile);
}
