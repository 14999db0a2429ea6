// The popup rules: which windows a rule acts on (a title pattern, the program
// that owns the window, its class) and what it does to them. The kill list
// stays as it is; each of its titles acts as an exact-title rule that closes.
#pragma once

#include <string>
#include <vector>

#include "ClassesPerso.h"

enum class TPopupAction { Close, Minimise, Hide, PressButton };

// What the rules look at in one window.
struct TWindowFacts {
    std::string Title;
    std::string Program;      // the exe file name of the window's process, e.g. "setup.exe"
    std::string WindowClass;
};

struct TPopupRule {
    // `*` any run, `?` one character, against the whole title, compared as the
    // kill list compares; empty means any title.
    std::string TitlePattern;
    std::string Program;      // empty: any program; compared case-insensitively
    std::string WindowClass;  // empty: any class
    TPopupAction Action = TPopupAction::Close;
    std::string Button;       // the text of the child button PressButton clicks
    bool Enabled = true;
    // Stable while the program runs, never stored: the log names its rule by
    // it, so that edits and deletions of other rules do not shift it. 0 is
    // never a rule's (the log's "kill list"); TPopupRules::Add gives the next.
    int Id = 0;
    int Hits = 0;
    std::string LastHit;      // local time "YYYY-MM-DD HH:MM:SS"; empty while never hit
};

// A rule must say which windows it is about: a title pattern that is not
// only `*`, or a program, or a class. A rule that names none would act on
// every window.
bool IsSpecificEnough(const TPopupRule& rule);

// Whether `title` matches `pattern` as a whole, `*` and `?` standing for a
// run and one character (a code point), letters compared by `compare` (the
// kill list's comparison: 0 means equal).
bool TitleMatches(const std::string& pattern, const std::string& title, const TKeyCompare& compare);

// Whether the rule, on or off, would act on a window with these facts.
bool RuleMatches(const TPopupRule& rule, const TWindowFacts& window, const TKeyCompare& compare);

class TPopupRules {
public:
    explicit TPopupRules(TKeyCompare compare = AsciiCompareText) : compare_(std::move(compare)) {}

    // The first rule that is on and matches, or -1.
    int Match(const TWindowFacts& window) const;

    // Appends `rule` with a fresh Id and answers that Id.
    int Add(TPopupRule rule);
    // The rule of `id`, or nullptr once deleted.
    TPopupRule* Find(int id);
    const TPopupRule* Find(int id) const;
    std::vector<TPopupRule>& Items() { return rules_; }
    const std::vector<TPopupRule>& Items() const { return rules_; }
    const TKeyCompare& Compare() const { return compare_; }
    // Whether any rule is on: with none, the killer looks at titles only and
    // never opens a process to learn its program.
    bool AnyEnabled() const;

private:
    std::vector<TPopupRule> rules_;
    TKeyCompare compare_;
    int nextId_ = 1;
};
