#include "FileErrorBox.h"

#include "../framework/Dialogs.h"
#include "unitGlobal.h"

void ShowReadErrorBox(const std::string& path) { MessageDlg(FormatText(MsgReadError, path), TMsgDlgType::Error); }

void ShowWriteErrorBox(const std::string& path) { MessageDlg(FormatText(MsgWriteError, path), TMsgDlgType::Error); }

void ShowSettingsWriteErrorBox(const std::string& key)
{
    MessageDlg(FormatText(MsgSettingsWriteError, key), TMsgDlgType::Error);
}
