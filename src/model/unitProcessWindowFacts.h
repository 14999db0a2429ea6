// What the popup rules learn of a window (its title, its program, its class)
// and whether the rules may touch it at all: never the shell's windows, never
// the program's own, never those of a program this one cannot open (one run
// as administrator, whose windows would ignore it anyway).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "PopupRule.h"

// The title as the kill list reads it, the exe file name of the window's
// process (empty when the process cannot be asked) and the class.
TWindowFacts WindowFactsOf(HWND hwnd);
// The exe file name of the process, e.g. "setup.exe"; empty when unknown.
std::string ProgramOfProcess(DWORD process);
// The same, and whether the process opens enough to act on its windows.
std::string ProgramOfProcess(DWORD process, bool& openable);
std::string WindowClassOf(HWND hwnd);
// Whether this program can open the process enough to act on its windows:
// false for a program run as administrator when this one is not.
bool CanOpenProcess(DWORD process);

// Which open windows, among those the rules may act on, `rule` (on or off)
// would act on now: what a rule's editor shows before it is saved.
std::vector<TWindowFacts> OpenWindowsMatching(const TPopupRule& rule);

// The process, class and program of windows seen before: none changes while
// a window lives, and each costs a call to the platform (under Wine a round
// trip to its server) that the sweep would otherwise make for every window
// at every tick. The window events forget a window at its creation, so a
// handle used again is asked afresh.
class TWindowFactsCache {
public:
    struct TKnown {
        DWORD process = 0;
        std::string windowClass;
        bool programKnown = false;
        std::string program;
        bool openable = true;
        bool opensKnown = false;
    };
    // The process and class of `hwnd`, asked of the platform the first time.
    const TKnown& Of(HWND hwnd);
    // The same with the program and whether its process opens.
    const TKnown& WithProgram(HWND hwnd);
    // Whether its process opens (the program is not run as administrator),
    // without the program's name, which takes longer to ask.
    bool Opens(HWND hwnd);
    void Forget(HWND hwnd) { known_.erase(hwnd); }
    // Forgets the windows gone: those not among `open`.
    void KeepOnly(const std::unordered_set<std::uintptr_t>& open);
    std::size_t Count() const { return known_.size(); }

private:
    std::unordered_map<HWND, TKnown> known_;
};
