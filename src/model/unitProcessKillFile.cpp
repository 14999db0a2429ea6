#include "unitProcessKillFile.h"

#include "../app/unitGlobal.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"

std::string GetKillListFileName() { return ExecutableDirectory() + "SkarnVale.txt"; }

void LoadKillList(TWindowList& list, IKillListView* view)
{
    const std::string path = GetKillListFileName();
    if (!FileExists(path))
        return;
    // Lines read before a failure stay in the list.
    std::string bytes;
    const bool complete = ReadFileBytes(path, bytes);
    for (const std::string& line : ParseKillListLines(bytes))
        list.Add(line);
    if (!complete)
        MessageDlg(FormatText(MsgReadError, path), TMsgDlgType::Error);
    if (view) {
        view->ShowEntries(list.Entries());
        view->ShowCount(list.Count());
    }
}

void SaveKillList(const TWindowList& list)
{
    const std::string path = GetKillListFileName();
    if (!WriteFileReplacing(path, FormatKillList(list)))
        MessageDlg(FormatText(MsgWriteError, path), TMsgDlgType::Error);
}

void AddToKillList(TWindowList& list, const std::string& title, IKillListView* view)
{
    if (!list.Add(title))
        return;
    if (view) {
        view->AppendEntry(title);
        view->ShowCount(list.Count());
    }
    SaveKillList(list);
}

void RemoveFromKillList(TWindowList& list, const std::string& title, IKillListView* view)
{
    const int index = list.IndexOf(title);
    if (index >= 0)
        list.Delete(index);
    if (view) {
        view->RemoveFirstEntry(title);
        view->ShowCount(list.Count());
    }
}
