// The killer's quick eye: while it is on, every top-level window that another
// program creates, shows or renames is looked at at once with the kill tick's
// rules, and a new one again a few times shortly after, so that a listed
// popup is asked to close before the user sees it. The kill tick goes on as
// the safety net for windows whose events the platform does not report.
// Each window meets the kill list first (its own quick lookup), then the
// popup rules, which never act on the program's own windows, nor on a
// program run as administrator (told once per window), and act once per
// appearance of a window: a minimised window the user brings back stays.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "../framework/FineTimer.h"
#include "../framework/Timer.h"
#include "../framework/WinEventHook.h"
#include "PopupActionLog.h"
#include "PopupRule.h"
#include "unitProcessKillList.h"
#include "unitProcessKillRecords.h"
#include "unitProcessShell.h"
#include "unitProcessWindowFacts.h"

class TWindowBase;

inline TWindowKey KeyOf(HWND window) { return reinterpret_cast<TWindowKey>(window); }

class TKillWatch {
public:
    // Each action done, or refused (TPopupActionEntry::Refused); RuleId 0 is the kill list's.
    using TOnAction = std::function<void(const TPopupActionEntry&)>;
    // `timerOwner` carries the timer of the second looks.
    TKillWatch(TWindowBase& timerOwner, const TWindowList& killList, TPopupRules& rules, TOnAction onAction);

    bool Active() const { return hook_.Active(); }
    // Installs the window event hook, or removes it and forgets what was
    // waiting. False when the platform refused the events: the tick alone sweeps.
    bool SetActive(bool value);
    // A look at every window, aware of what the events asked already: what
    // the user's changes to the kill list call for.
    void Sweep();
    // The kill timer's sweep. Each window new since the last tick and each
    // one whose title matched lately is looked at, then a tenth of the others,
    // in turns from where the last tick stopped (fewer when a tick runs past
    // a millisecond or so). Under Wine every call about another program's
    // window is a round trip to its server, and only window creation raises
    // an event: asking each of hundreds of windows at each tick would cost
    // tens of milliseconds of every half second, and even a quiet desktop's
    // few dozen would keep the idle program busy. A window renamed into a
    // listed title is seen within a turn, 5 s at the default tick. Where the
    // platform raises the showing and renaming of windows (Windows), the
    // turns stop. After an edit of the rules or of the kill list every
    // window is looked at.
    void Tick();

private:
    struct TSweep;
    void SweepWindows(bool whole);
    // The sweep's look at one window: its title first, the one call most
    // windows need, then the rest only when the title matches something.
    void SweepLook(HWND window, bool rules, TSweep& sweep);
    bool TitleMatters(HWND window, const std::string& title, bool rules);
    bool Hot(TWindowKey window) const;
    void WindowEvent(DWORD event, HWND window);
    // The kill list's and the rules' look at one window; a match not yet
    // acted on in this appearance is acted on. Answers whether the window
    // matched and nothing is left to do (a button not there yet is).
    bool Look(HWND window);
    bool LookKillList(HWND window, const std::string& title, bool fromSweep);
    // A window a close rule acted on is asked again at every tick while it
    // stays, as the kill list does; the log tells it once per appearance.
    bool LookRules(HWND window, const std::string& title, bool fromSweep);
    void AskAgainToClose(HWND window, const std::string& title, const std::string& program, const TPopupRule& rule);
    // False, told once, when the window's program cannot be acted on.
    bool MayAct(HWND window, const std::string& title, const TWindowFactsCache::TKnown& known, int ruleId,
                const std::string& ruleText);
    void Report(TPopupActionEntry entry);
    void Forget(HWND window);
    // A new window that matches but is not shown yet is looked at every
    // millisecond until it is (one call each time): under Wine, which reports no showing, a
    // CreateWindowEx takes 20 ms alone and hundreds when several programs
    // open windows at once, longer than the second looks wait.
    bool WouldMatchOnceShown(HWND window);
    // Windows raises the showing and renaming of other programs' windows;
    // Wine only their creation. Once both were seen, the tick's turns stop.
    void NoteReportedEvent(DWORD event, HWND window);
    void WatchShowing(HWND window);
    void LookShowing();
    void LookAgain();
    void ArmTimer();
    const TShellProcesses& Shell();

    const TWindowList& killList_;
    TPopupRules& rules_;
    TOnAction onAction_;
    TWinEventHook hook_;
    TTimer relookTimer_;
    TKillAppearances asked_;
    TRelookSchedule relooks_;
    TFineTimer showTimer_;
    std::unordered_map<TWindowKey, DWORD> showing_;  // window -> tick count when first watched
    TWindowFactsCache facts_;
    std::unordered_set<TWindowKey> ruled_;    // acted on by a rule in this appearance
    std::unordered_set<TWindowKey> ruleClosedByEvent_;  // asked by a close rule's event since the last tick
    std::unordered_set<TWindowKey> closing_;  // asked by the kill list in this appearance
    std::unordered_set<TWindowKey> refused_;  // told that they cannot be acted on
    TShellProcesses shell_;
    bool shellKnown_ = false;
    std::unordered_set<TWindowKey> seen_;          // the windows of the last sweep
    std::unordered_set<TWindowKey> titleMatched_;  // the title matched at their last look
    std::size_t turn_ = 0;                         // where the next tick's turn begins
    bool showingReported_ = false, renamingReported_ = false, platformReportsChanges_ = false;
    std::size_t editStamp_ = 0;                    // the lists as the last sweep found them
};
