// The popup rules: which windows a rule acts on (a title pattern, the program
// that owns the window, its class) and what it does to them. The kill list
// stays as it is; each of its titles acts as an exact-title rule that closes.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "ClassesPerso.h"

// Text with its letter case taken away so that texts `compare` finds equal
// come out byte for byte equal (the kill list's comparison: the platform's
// upper case, framework/Locale.h; natively FoldAsciiCase). It lets the rules
// turn away most windows without the costly comparison.
using TTextFold = std::function<std::string(const std::string&)>;

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

// The rule as the log names it: the title pattern in quotes, then the
// program and the class when given, e.g. "Update*" setup.exe #32770.
std::string PopupRuleText(const TPopupRule& rule);

// Whether the rule, on or off, would act on a window with these facts.
bool RuleMatches(const TPopupRule& rule, const TWindowFacts& window, const TKeyCompare& compare);

class TPopupRules {
public:
    explicit TPopupRules(TKeyCompare compare = AsciiCompareText, TTextFold fold = nullptr)
        : compare_(std::move(compare)), fold_(std::move(fold))
    {
    }

    // The first rule that is on and matches, or -1. The answers are
    // remembered for each window's facts until the rules are touched
    // (Add, Items, Find), so a sweep over windows already seen costs a lookup.
    int Match(const TWindowFacts& window) const;
    // Counts one action of the rule `id` at `when` without forgetting the answers.
    void RecordHit(int id, const std::string& when);
    // Forgets the remembered answers when a rule was edited in place since
    // they were given, through a pointer or reference kept from Find or
    // Items; the killer asks this before each sweep and each look.
    void CheckEdits() const;

    // Appends `rule` with a fresh Id and answers that Id.
    int Add(TPopupRule rule);
    // The rule of `id`, or nullptr once deleted.
    TPopupRule* Find(int id);
    const TPopupRule* Find(int id) const;
    std::vector<TPopupRule>& Items()
    {
        Touched();
        return rules_;
    }
    const std::vector<TPopupRule>& Items() const { return rules_; }
    const TKeyCompare& Compare() const { return compare_; }
    // Whether any rule is on: with none, the killer looks at titles only and
    // never opens a process to learn its program.
    bool AnyEnabled() const;

private:
    // A rule's texts folded, with the texts they were folded from.
    struct TFolded {
        TWindowFacts source;
        TWindowFacts folded;
    };
    // What the answers were given for: each rule's Id, switch and texts.
    struct TAnswered {
        int id;
        bool enabled;
        TWindowFacts texts;
    };
    void Touched() const { answers_.clear(); }
    bool Matches(std::size_t index, const TWindowFacts& window, const TWindowFacts& folded) const;
    const TWindowFacts& Folded(std::size_t index) const;

    std::vector<TPopupRule> rules_;
    TKeyCompare compare_;
    TTextFold fold_;
    int nextId_ = 1;
    mutable std::unordered_map<std::string, int> answers_;
    mutable std::vector<TAnswered> answeredFor_;
    mutable std::vector<TFolded> folded_;
};
