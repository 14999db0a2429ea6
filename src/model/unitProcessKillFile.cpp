#include "unitProcessKillFile.h"

#include "../framework/AnsiCodePage.h"
#include "../framework/DataFolder.h"
#include "../framework/Files.h"
#include "../text/ListFileText.h"

std::string GetKillListFileName() { return DataFilePath(kKillListFile, TFileUse::Read); }

bool LoadKillList(TWindowList& list, IKillListView* view)
{
    const std::string path = GetKillListFileName();
    if (!FileExists(path))
        return true;
    // Lines read before a failure stay in the list.
    std::string bytes;
    const bool complete = ReadFileBytes(path, bytes);
    for (const std::string& line : ParseKillListLines(ListFileToUtf8(bytes, SystemAnsiCodePage())))
        list.Add(line);
    if (view) {
        view->ShowEntries(list.Entries());
        view->ShowCount(list.Count());
    }
    return complete;
}

bool SaveKillList(const TWindowList& list)
{
    const std::string path = DataFilePath(kKillListFile, TFileUse::Write);
    return !path.empty() && WriteFileReplacing(path, Utf8ToListFile(FormatKillList(list), SystemAnsiCodePage()));
}

bool AddToKillList(TWindowList& list, const std::string& title, IKillListView* view)
{
    if (!list.Add(title))
        return true;
    if (view) {
        view->AppendEntry(title);
        view->ShowCount(list.Count());
    }
    return SaveKillList(list);
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
