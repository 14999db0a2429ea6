// The two spam lists kept beside the executable: the address list and the
// subject list, read at start-up and written at every settings save.
#include "../app/FileErrorBox.h"
#include "../forms/ihmMailbox.h"
#include "../framework/AnsiCodePage.h"
#include "../framework/Files.h"
#include "../framework/Locale.h"
#include "../model/ListFileText.h"
#include "../model/unitProcessSpam.h"
#include "ihmOptions.h"

namespace {
const char kAddressFile[] = "skarnvale.mail";
const char kSubjectFile[] = "skarnvale.sub";

void LoadList(TMemo& field, const std::string& fileName)
{
    field.SetText("");
    const std::string path = ExecutableDirectory() + fileName;
    if (!FileExists(path))
        return;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        ShowReadErrorBox(path);
        return;
    }
    field.SetText(JoinLines(ParseSpamListFile(ListFileToUtf8(bytes, SystemAnsiCodePage()), LocaleCompareText)));
}

void SaveList(const TMemo& field, const std::string& fileName)
{
    const std::string path = ExecutableDirectory() + fileName;
    // The new list goes beside the old one and then takes its place, so a
    // failure mid-write leaves the previous list whole.
    if (!WriteFileReplacing(path, Utf8ToListFile(FormatSpamListFile(field.Text()), SystemAnsiCodePage())))
        ShowWriteErrorBox(path);
}
}  // namespace

void TihmOptions::LoadSpamLists()
{
    LoadList(zdsEmail, kAddressFile);
    LoadList(zdsSubject, kSubjectFile);
    if (ihmMailbox)
        ihmMailbox->SpamListsChanged();
}

void TihmOptions::SaveSpamLists()
{
    SaveList(zdsEmail, kAddressFile);
    SaveList(zdsSubject, kSubjectFile);
}
