// The kill tick's sweep: which windows a tick looks at, and how little it
// asks of each.
#include <functional>

#include "unitProcessKillWatch.h"
#include "unitProcessWindows.h"

namespace {
// The windows whose titles matched nothing at their last look are looked at
// in turns, each turn spread over this many ticks (5 s at the default
// half-second tick): on a quiet desktop a tick asks only a few of them, each a
// round trip to Wine's server. A tick stops early past the time budget, but
// looks at one at least, so that a turn ends even on a machine slowed down.
const std::size_t kTurnTicks = 10;
const double kTickBudgetMs = 1.2;

class TStopwatch {
public:
    TStopwatch()
    {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Milliseconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

// Changes with any edit of the kill list or of what the rules match: the
// windows passed over as matching nothing may match now.
std::size_t EditStamp(const TWindowList& killList, const TPopupRules& rules)
{
    const std::hash<std::string> hash;
    std::size_t stamp = killList.Entries().size() * 1000003u + rules.Items().size();
    for (const std::string& title : killList.Entries())
        stamp = stamp * 1000003u ^ hash(title);
    for (const TPopupRule& rule : rules.Items())
        for (std::size_t part : {static_cast<std::size_t>(rule.Id), static_cast<std::size_t>(rule.Enabled),
                                 hash(rule.TitlePattern), hash(rule.Program), hash(rule.WindowClass)})
            stamp = stamp * 1000003u ^ part;
    return stamp;
}
}  // namespace

struct TKillWatch::TSweep {
    std::unordered_set<TWindowKey> matched, stillRuled, stillClosing, seen;
};

void TKillWatch::Sweep() { SweepWindows(true); }

void TKillWatch::Tick() { SweepWindows(false); }

bool TKillWatch::Hot(TWindowKey window) const
{
    return !seen_.count(window) || titleMatched_.count(window) || ruled_.count(window) || closing_.count(window) ||
           asked_.Knows(window);
}

void TKillWatch::SweepWindows(bool whole)
{
    const TStopwatch spent;
    shellKnown_ = false;
    rules_.CheckEdits();
    const bool rules = rules_.AnyEnabled();
    const std::size_t stamp = EditStamp(killList_, rules_);
    if (stamp != editStamp_)
        whole = true;
    editStamp_ = stamp;
    const std::vector<HWND> windows = TopLevelWindows();
    std::vector<HWND> others;
    TSweep sweep;
    asked_.BeginSweep();
    for (HWND window : windows) {
        sweep.seen.insert(KeyOf(window));
        if (whole || Hot(KeyOf(window)))
            SweepLook(window, rules, sweep);
        else
            others.push_back(window);
    }
    // The windows that matched nothing last time, in turns; none where the
    // platform reports other programs' windows shown and renamed.
    if (!others.empty() && !platformReportsChanges_) {
        const std::size_t first = turn_ % others.size();
        const std::size_t share = (others.size() + kTurnTicks - 1) / kTurnTicks;
        std::size_t looked = 0;
        while (looked < share && (looked == 0 || spent.Milliseconds() < kTickBudgetMs))
            SweepLook(others[(first + looked++) % others.size()], rules, sweep);
        turn_ = first + looked;
    }
    asked_.EndSweep();
    ruleClosedByEvent_.clear();
    // A window no longer seen matching ended its appearance: its next one is acted on again.
    titleMatched_.swap(sweep.matched);
    ruled_.swap(sweep.stillRuled);
    closing_.swap(sweep.stillClosing);
    facts_.KeepOnly(sweep.seen);
    seen_.swap(sweep.seen);
}

void TKillWatch::SweepLook(HWND window, bool rules, TSweep& sweep)
{
    const std::string title = GetWindowTitle(window);
    if (title.empty() || !TitleMatters(window, title, rules))
        return;
    sweep.matched.insert(KeyOf(window));
    // The class and process kept: neither is asked again of the platform.
    const bool candidate = IsCandidateWindow(window, [this, window] {
        const TWindowFactsCache::TKnown& known = facts_.Of(window);
        return IsShellWindow(known.windowClass, known.process, Shell());
    });
    if (!candidate)
        return;
    if (LookKillList(window, title, true)) {
        if (closing_.count(KeyOf(window)))
            sweep.stillClosing.insert(KeyOf(window));
        return;
    }
    if (rules && LookRules(window, title, true))
        sweep.stillRuled.insert(KeyOf(window));
}

bool TKillWatch::TitleMatters(HWND window, const std::string& title, bool rules)
{
    if (IsInKillList(killList_, title))
        return true;
    if (!rules)
        return false;
    const TWindowFactsCache::TKnown& known = facts_.WithProgram(window);
    const TPopupRules& matcher = rules_;
    return known.process != GetCurrentProcessId() && matcher.Match({title, known.program, known.windowClass}) >= 0;
}
