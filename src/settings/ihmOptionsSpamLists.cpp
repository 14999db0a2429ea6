// The two spam lists kept beside the executable: the address list and the
// subject list, read at start-up and written at every settings save.
#include "../app/FileErrorBox.h"
#include "../framework/Files.h"
#include "../framework/Locale.h"
#include "../model/unitProcessSpam.h"
#include "ihmOptions.h"

namespace {
const char kAddressFile[] = "skarnvale.mail";
const char kSubjectFile[] = "skarnvale.sub";

void LoadList(std::string& list, const std::string& fileName)
{
    list.clear();
    const std::string path = ExecutableDirectory() + fileName;
    if (!FileExists(path))
        return;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        ShowReadErrorBox(path);
        return;
    }
    list = JoinLines(ParseSpamListFile(bytes, LocaleCompareText));
}

void SaveList(const std::string& list, const std::string& fileName)
{
    const std::string path = ExecutableDirectory() + fileName;
    // The new list goes beside the old one and then takes its place, so a
    // failure mid-write leaves the previous list whole.
    if (!WriteFileReplacing(path, FormatSpamListFile(list)))
        ShowWriteErrorBox(path);
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
