#include "PopupRule.h"

#include "PopupRuleGlob.h"

bool IsSpecificEnough(const TPopupRule& rule)
{
    return rule.TitlePattern.find_first_not_of('*') != std::string::npos || !rule.Program.empty() ||
           !rule.WindowClass.empty();
}

std::string PopupRuleText(const TPopupRule& rule)
{
    std::string text = "\"" + rule.TitlePattern + "\"";
    for (const std::string* part : {&rule.Program, &rule.WindowClass})
        if (!part->empty())
            text += " " + *part;
    return text;
}

bool TitleMatches(const std::string& pattern, const std::string& title, const TKeyCompare& compare)
{
    return pattern.empty() || GlobMatches(pattern, title,
                       [&compare](const std::string& run, const std::string& slice) { return compare(run, slice) == 0; });
}

namespace {
bool SameOrAny(const std::string& wanted, const std::string& seen, const TKeyCompare& compare)
{
    return wanted.empty() || compare(wanted, seen) == 0;
}

bool SameBytes(const std::string& a, const std::string& b) { return a == b; }
}  // namespace

bool RuleMatches(const TPopupRule& rule, const TWindowFacts& window, const TKeyCompare& compare)
{
    return SameOrAny(rule.Program, window.Program, compare) && SameOrAny(rule.WindowClass, window.WindowClass, compare) &&
           TitleMatches(rule.TitlePattern, window.Title, compare);
}

const TWindowFacts& TPopupRules::Folded(std::size_t index) const
{
    if (folded_.size() != rules_.size())
        folded_.resize(rules_.size());
    TFolded& folded = folded_[index];
    const TPopupRule& rule = rules_[index];
    const TWindowFacts source{rule.TitlePattern, rule.Program, rule.WindowClass};
    if (folded.folded.Title.empty() || folded.source.Title != source.Title || folded.source.Program != source.Program ||
        folded.source.WindowClass != source.WindowClass) {
        folded.source = source;
        folded.folded = {fold_(source.Title), fold_(source.Program), fold_(source.WindowClass)};
    }
    return folded.folded;
}

bool TPopupRules::Matches(std::size_t index, const TWindowFacts& window, const TWindowFacts& folded) const
{
    const TPopupRule& rule = rules_[index];
    if (fold_) {
        // Texts the comparison finds equal fold alike: what differs folded
        // cannot match, and most windows end here, without the comparison.
        const TWindowFacts& wanted = Folded(index);
        if ((!wanted.Program.empty() && wanted.Program != folded.Program) ||
            (!wanted.WindowClass.empty() && wanted.WindowClass != folded.WindowClass) ||
            (!wanted.Title.empty() && !GlobMatches(wanted.Title, folded.Title, SameBytes)))
            return false;
    }
    return RuleMatches(rule, window, compare_);
}

void TPopupRules::CheckEdits() const
{
    if (answers_.empty())
        return;
    bool same = answeredFor_.size() == rules_.size();
    for (std::size_t i = 0; same && i < rules_.size(); ++i) {
        const TPopupRule& rule = rules_[i];
        const TAnswered& was = answeredFor_[i];
        same = was.id == rule.Id && was.enabled == rule.Enabled && was.texts.Title == rule.TitlePattern &&
               was.texts.Program == rule.Program && was.texts.WindowClass == rule.WindowClass;
    }
    if (!same)
        answers_.clear();
}

int TPopupRules::Match(const TWindowFacts& window) const
{
    if (answers_.empty()) {
        answeredFor_.clear();
        for (const TPopupRule& rule : rules_)
            answeredFor_.push_back({rule.Id, rule.Enabled, {rule.TitlePattern, rule.Program, rule.WindowClass}});
    }
    std::string key = window.Title;
    key += '\x1F';
    key += window.Program;
    key += '\x1F';
    key += window.WindowClass;
    const auto known = answers_.find(key);
    if (known != answers_.end())
        return known->second;
    TWindowFacts folded;
    if (fold_)
        folded = {fold_(window.Title), fold_(window.Program), fold_(window.WindowClass)};
    int found = -1;
    for (std::size_t i = 0; i < rules_.size() && found < 0; ++i)
        if (rules_[i].Enabled && Matches(i, window, folded))
            found = static_cast<int>(i);
    if (answers_.size() >= 4096)  // titles come and go: keep the memory bounded
        answers_.clear();
    answers_.emplace(std::move(key), found);
    return found;
}

void TPopupRules::RecordHit(int id, const std::string& when)
{
    for (TPopupRule& rule : rules_)
        if (rule.Id == id) {
            ++rule.Hits;
            rule.LastHit = when;
        }
}

int TPopupRules::Add(TPopupRule rule)
{
    Touched();
    rule.Id = nextId_++;
    rules_.push_back(std::move(rule));
    return rules_.back().Id;
}

TPopupRule* TPopupRules::Find(int id)
{
    Touched();
    for (TPopupRule& rule : rules_)
        if (rule.Id == id)
            return &rule;
    return nullptr;
}

const TPopupRule* TPopupRules::Find(int id) const
{
    for (const TPopupRule& rule : rules_)
        if (rule.Id == id)
            return &rule;
    return nullptr;
}

bool TPopupRules::AnyEnabled() const
{
    for (const TPopupRule& rule : rules_)
        if (rule.Enabled)
            return true;
    return false;
}
