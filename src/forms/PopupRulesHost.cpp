#include "PopupRulesHost.h"

#include "../text/FormatText.h"

namespace {
// Enough for the user to know the windows, few enough for a message box.
const size_t kTitlesShown = 10;
}  // namespace

std::string ActionText(TPopupAction action, const TPopupRuleTexts& texts)
{
    const int index = static_cast<int>(action);
    return index >= 0 && index < 4 ? texts.Actions[index] : std::string();
}

std::string ActionText(const TPopupRule& rule, const TPopupRuleTexts& texts)
{
    if (rule.Action == TPopupAction::PressButton)
        return FormatText(texts.PressButton, rule.Button);
    return ActionText(rule.Action, texts);
}

std::string MatchQuestion(const std::vector<TWindowFacts>& windows, const TPopupRuleTexts& texts)
{
    std::string question = windows.size() == 1 ? texts.MatchesOne
                                               : FormatText(texts.MatchesMany, {static_cast<int>(windows.size())});
    question += "\r\n";
    for (size_t i = 0; i < windows.size() && i < kTitlesShown; ++i)
        question += "\r\n    " + windows[i].Title;
    if (windows.size() > kTitlesShown)
        question += "\r\n    ...";
    return question + "\r\n\r\n" + texts.SaveIt;
}
