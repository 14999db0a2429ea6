#include "unitProcessKillWatch.h"

#include <utility>
#include <vector>

#include "unitProcessPopupActions.h"
#include "unitProcessWindows.h"

namespace {
// How often and how long a matching window not shown yet is looked at:
// every millisecond while it is new, as most popups show at once; then less
// often, as a slow program's window may take seconds and each look is a
// round trip to Wine's server.
const UINT kShowingInterval = 1;
const DWORD kShowingQuick = 100;
const UINT kShowingSlowInterval = 10;
const DWORD kShowingLimit = 3000;

DWORD ProcessOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}
}  // namespace

TKillWatch::TKillWatch(TWindowBase& timerOwner, const TWindowList& killList, TPopupRules& rules, TOnAction onAction)
    : killList_(killList),
      rules_(rules),
      onAction_(std::move(onAction)),
      relookTimer_(timerOwner, 10, false),
      showTimer_(timerOwner, kShowingInterval)
{
    hook_.OnWindowEvent = [this](DWORD event, HWND window) { WindowEvent(event, window); };
    relookTimer_.OnTimer = [this] { LookAgain(); };
    showTimer_.OnTimer = [this] { LookShowing(); };
}

bool TKillWatch::SetActive(bool value)
{
    const bool done = hook_.SetActive(value);
    if (value)
        return done;
    relooks_ = TRelookSchedule();
    relookTimer_.SetEnabled(false);
    showing_.clear();
    showTimer_.SetEnabled(false);
    return done;
}

const TShellProcesses& TKillWatch::Shell()
{
    // Asked once per sweep: each lookup walks every top-level window itself.
    if (!shellKnown_) {
        shell_ = ShellProcesses();
        shellKnown_ = true;
    }
    return shell_;
}

void TKillWatch::WindowEvent(DWORD event, HWND window)
{
    switch (event) {
    case EVENT_OBJECT_CREATE:
        Forget(window);
        facts_.Forget(window);
        if (Look(window))
            break;
        if (WouldMatchOnceShown(window)) {
            WatchShowing(window);
            break;
        }
        relooks_.Add(KeyOf(window), GetTickCount());
        ArmTimer();
        break;
    case EVENT_OBJECT_SHOW:
    case EVENT_OBJECT_NAMECHANGE:
        NoteReportedEvent(event, window);
        Look(window);
        break;
    case EVENT_OBJECT_HIDE:
    case EVENT_OBJECT_DESTROY:
        Forget(window);
        relooks_.Remove(KeyOf(window));
        showing_.erase(KeyOf(window));
        break;
    }
}

void TKillWatch::NoteReportedEvent(DWORD event, HWND window)
{
    if (platformReportsChanges_ || ProcessOf(window) == GetCurrentProcessId())
        return;
    (event == EVENT_OBJECT_SHOW ? showingReported_ : renamingReported_) = true;
    platformReportsChanges_ = showingReported_ && renamingReported_;
}

bool TKillWatch::WouldMatchOnceShown(HWND window)
{
    const std::string title = CandidateTitleOnceShown(window, Shell());
    if (title.empty())
        return false;
    if (IsInKillList(killList_, title))
        return true;
    if (!rules_.AnyEnabled())
        return false;
    const TWindowFactsCache::TKnown& known = facts_.WithProgram(window);
    const TPopupRules& rules = rules_;
    return known.process != GetCurrentProcessId() && rules.Match({title, known.program, known.windowClass}) >= 0;
}

void TKillWatch::WatchShowing(HWND window)
{
    relooks_.Remove(KeyOf(window));
    if (showing_.size() >= TRelookSchedule::MaxWaiting)
        return;  // a storm of matching windows is left to the tick
    showing_.emplace(KeyOf(window), GetTickCount());
    showTimer_.SetInterval(kShowingInterval);
    showTimer_.SetEnabled(true);
}

void TKillWatch::LookShowing()
{
    const DWORD now = GetTickCount();
    // A copy: an action's report may lead anywhere, the watch's events included.
    const auto watched = showing_;
    for (const auto& entry : watched) {
        HWND window = reinterpret_cast<HWND>(entry.first);
        // One call while the window is not shown: the thread stays free for
        // the events of the other windows of a burst, which Wine delivers
        // only while it waits. Once shown, the window is acted on, or left
        // to the tick when it no longer matches.
        if (IsWindowVisible(window))
            Look(window);
        else if (now - entry.second <= kShowingLimit && IsWindow(window))
            continue;
        showing_.erase(entry.first);
    }
    bool anyNew = false;
    for (const auto& entry : showing_)
        anyNew = anyNew || now - entry.second < kShowingQuick;
    showTimer_.SetInterval(anyNew ? kShowingInterval : kShowingSlowInterval);
    if (showing_.empty())
        showTimer_.SetEnabled(false);
}

void TKillWatch::Forget(HWND window)
{
    asked_.Forget(KeyOf(window));
    ruled_.erase(KeyOf(window));
    closing_.erase(KeyOf(window));
    ruleClosedByEvent_.erase(KeyOf(window));
}

bool TKillWatch::Look(HWND window)
{
    const std::string title = CandidateTitle(window, Shell());
    if (title.empty()) {
        Forget(window);
        return false;
    }
    if (LookKillList(window, title, false)) {
        relooks_.Remove(KeyOf(window));
        return true;
    }
    asked_.Forget(KeyOf(window));
    rules_.CheckEdits();
    if (rules_.AnyEnabled() && LookRules(window, title, false)) {
        relooks_.Remove(KeyOf(window));
        return true;
    }
    ruled_.erase(KeyOf(window));
    return false;
}

bool TKillWatch::LookKillList(HWND window, const std::string& title, bool fromSweep)
{
    if (!IsInKillList(killList_, title))
        return false;
    const bool ask = fromSweep ? asked_.AskFromSweep(KeyOf(window)) : asked_.AskFromEvent(KeyOf(window));
    if (!ask)
        return true;
    // The request goes first, the program's name for the log after it: the
    // popup is on screen meanwhile.
    if (!facts_.Opens(window)) {
        MayAct(window, title, facts_.WithProgram(window), 0, std::string());
        return true;
    }
    AskToClose(window);
    TPopupActionEntry entry;
    entry.Action = TPopupAction::Close;
    entry.Title = title;
    entry.Program = facts_.WithProgram(window).program;
    entry.Repeated = !closing_.insert(KeyOf(window)).second;
    Report(std::move(entry));
    return true;
}

bool TKillWatch::LookRules(HWND window, const std::string& title, bool fromSweep)
{
    const TWindowFactsCache::TKnown& known = facts_.WithProgram(window);
    if (known.process == GetCurrentProcessId())
        return false;
    const TPopupRules& rules = rules_;
    const int index = rules.Match({title, known.program, known.windowClass});
    if (index < 0)
        return false;
    if (ruled_.count(KeyOf(window))) {
        const TPopupRule& acted = rules.Items()[static_cast<std::size_t>(index)];
        if (acted.Action == TPopupAction::Close && fromSweep && known.openable)
            AskAgainToClose(window, title, known.program, acted);
        return true;
    }
    // Copied: the report may lead to edits of the rules.
    const TPopupRule rule = rules.Items()[static_cast<std::size_t>(index)];
    const std::string program = known.program;
    if (!MayAct(window, title, known, rule.Id, PopupRuleText(rule))) {
        ruled_.insert(KeyOf(window));
        return true;
    }
    // A window already minimised has nothing to undergo.
    if (!(rule.Action == TPopupAction::Minimise && IsIconic(window)) && !DoPopupAction(window, rule.Action, rule.Button))
        return false;
    ruled_.insert(KeyOf(window));
    if (rule.Action == TPopupAction::Close && !fromSweep)
        ruleClosedByEvent_.insert(KeyOf(window));
    TPopupActionEntry entry;
    entry.Action = rule.Action;
    entry.Title = title;
    entry.Program = program;
    entry.RuleId = rule.Id;
    entry.RuleText = PopupRuleText(rule);
    Report(std::move(entry));
    return true;
}

void TKillWatch::AskAgainToClose(HWND window, const std::string& title, const std::string& program,
                                 const TPopupRule& rule)
{
    // An event's request since the last tick stands for this tick's.
    if (ruleClosedByEvent_.erase(KeyOf(window)))
        return;
    AskToClose(window);
    TPopupActionEntry entry;
    entry.Action = TPopupAction::Close;
    entry.Title = title;
    entry.Program = program;
    entry.RuleId = rule.Id;
    entry.Repeated = true;  // counted, not logged again: no rule text to spell out at every tick
    Report(std::move(entry));
}

bool TKillWatch::MayAct(HWND window, const std::string& title, const TWindowFactsCache::TKnown& known, int ruleId,
                        const std::string& ruleText)
{
    if (known.openable)
        return true;
    if (refused_.size() >= 4096)
        refused_.clear();
    if (refused_.insert(KeyOf(window)).second) {
        TPopupActionEntry entry;
        entry.Title = title;
        entry.Program = known.program;
        entry.RuleId = ruleId;
        entry.RuleText = ruleText;
        entry.Refused = true;
        Report(std::move(entry));
    }
    return false;
}

void TKillWatch::Report(TPopupActionEntry entry)
{
    entry.Time = PopupActionTime();
    // A rule's hits count appearances, as its log does; the counter counts every request.
    if (!entry.Refused && !entry.Repeated && entry.RuleId != 0)
        rules_.RecordHit(entry.RuleId, entry.Time);
    if (onAction_)
        onAction_(entry);
}

void TKillWatch::LookAgain()
{
    for (TWindowKey key : relooks_.TakeDue(GetTickCount())) {
        HWND window = reinterpret_cast<HWND>(key);
        if (!IsWindow(window))
            relooks_.Remove(key);
        else if (!Look(window) && WouldMatchOnceShown(window))
            WatchShowing(window);
    }
    ArmTimer();
}

void TKillWatch::ArmTimer()
{
    const long wait = relooks_.WaitFrom(GetTickCount());
    if (wait < 0) {
        relookTimer_.SetEnabled(false);
        return;
    }
    relookTimer_.SetInterval(static_cast<UINT>(wait > 0 ? wait : 1));
    relookTimer_.SetEnabled(true);
}
