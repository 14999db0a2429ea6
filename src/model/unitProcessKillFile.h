// The kill list and its file "SkarnVale.txt" (beside the executable, or in
// the user's folder when that one cannot be written: DataFolder.h), kept in
// step with the windows-list dialog when there is one (`view` may be null).
#pragma once

#include <string>

#include "unitProcessKillList.h"

inline constexpr char kKillListFile[] = "SkarnVale.txt";
// The file the list is read from.
std::string GetKillListFileName();
// The file functions answer false when the file could not be read or written
// whole; the caller tells the user.

// Reads the file into the list; a missing file leaves everything untouched.
// Lines read before a failure stay in the list and are shown.
bool LoadKillList(TWindowList& list, IKillListView* view);
// Rewrites the file whole from the list.
bool SaveKillList(const TWindowList& list);
// Adds an absent title, shows it and saves the file; a present one changes nothing.
bool AddToKillList(TWindowList& list, const std::string& title, IKillListView* view);
// Removes the title from the list and the dialog; the file follows at the next save.
void RemoveFromKillList(TWindowList& list, const std::string& title, IKillListView* view);
