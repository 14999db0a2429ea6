// The "Deleted SPAM" window's actions on the selected copy. Each reads the
// copy from the quarantine folder by its record file's name, never by a
// path the record holds, so a record cannot point an action at another file.
#include "../app/FileErrorBox.h"
#include "../app/unitGlobalQuarantine.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"
#include "../text/FormatText.h"
#include "ihmQuarantine.h"

void TihmQuarantine::btnOpenClick()
{
    const std::string path = SelectedCopyPath();
    if (path.empty())
        return;
    if (!FileExists(path) || !OpenCopy || !OpenCopy(path))
        MessageDlg(FormatText(MsgCopyNotOpened, path), TMsgDlgType::Error);
}

void TihmQuarantine::btnSaveAsClick()
{
    const TQuarantineRecord* record = SelectedRecord();
    if (!record || !AskSavePath)
        return;
    // Read first: a copy that is gone must not leave an empty file behind.
    const std::string source = SelectedCopyPath();
    std::string bytes;
    if (!ReadFileBytes(source, bytes)) {
        ShowReadErrorBox(source);
        return;
    }
    std::string target = record->Copy;
    if (!AskSavePath(target) || target.empty())
        return;
    if (!WriteFileReplacing(target, bytes))
        ShowWriteErrorBox(target);
}

void TihmQuarantine::btnNotSpamClick()
{
    const TQuarantineRecord* record = SelectedRecord();
    if (!record || !allowSender_)
        return;
    const std::string address = QuarantineSenderAddress(*record);
    if (!address.empty())
        allowSender_(address);
}
