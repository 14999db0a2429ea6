#include "FileErrorBox.h"

#include "../framework/DataFolder.h"
#include "../framework/Dialogs.h"
#include "unitGlobal.h"

void ShowReadErrorBox(const std::string& path) { MessageDlg(FormatText(MsgReadError, path), TMsgDlgType::Error); }

void ShowWriteErrorBox(const std::string& path) { MessageDlg(FormatText(MsgWriteError, path), TMsgDlgType::Error); }

void ShowWriteErrorFor(const std::string& name)
{
    const std::string path = DataFilePath(name, TFileUse::Write);
    if (!path.empty()) {
        ShowWriteErrorBox(path);
        return;
    }
    // Nothing the user does in this run will make a folder writable again.
    static bool shown = false;
    if (shown)
        return;
    shown = true;
    ShowWriteErrorBox(UserDataFolder() + name);
}

void ShowSettingsWriteErrorBox(const std::string& key)
{
    MessageDlg(FormatText(MsgSettingsWriteError, key), TMsgDlgType::Error);
}
