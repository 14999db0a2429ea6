#include "ihmRulesTexts.h"

void AddRuleTextSetters(TihmRules& rules, TPopupRuleTexts& texts, TTextSetters& setters)
{
    TihmRuleEditor& editor = rules.editor;
    setters["Rules.Caption"] = [&rules](const std::string& text) { rules.SetCaption(text); };
    for (int column = 0; column < TihmRules::ColumnCount; ++column)
        setters["Rules.Columns[" + std::to_string(column) + "]"] = [&rules, column](const std::string& text) {
            rules.zdsRules.SetColumnCaption(column, text);
        };
    const std::pair<const char*, TControl*> controls[] = {
        {"Rules.btnAdd", &rules.btnAdd},           {"Rules.btnEdit", &rules.btnEdit},
        {"Rules.btnDelete", &rules.btnDelete},     {"Rules.btnToggle", &rules.btnToggle},
        {"Editor.grpAction", &editor.grpAction},   {"Editor.chkEnabled", &editor.chkEnabled},
        {"Editor.btnOK", &editor.btnOK},           {"Editor.btnCancel", &editor.btnCancel}};
    for (const auto& control : controls) {
        TControl* target = control.second;
        setters[control.first] = [target](const std::string& text) { target->SetText(text); };
    }
    const std::pair<const char*, TLabel*> labels[] = {{"Editor.lblTitle", &editor.lblTitle},
                                                      {"Editor.lblProgram", &editor.lblProgram},
                                                      {"Editor.lblClass", &editor.lblClass},
                                                      {"Editor.lblButton", &editor.lblButton}};
    for (const auto& label : labels) {
        TLabel* target = label.second;
        setters[label.first] = [target](const std::string& text) { target->SetCaption(text); };
    }
    setters["Editor.Caption"] = [&editor](const std::string& text) { editor.SetCaption(text); };
    for (int action = 0; action < 4; ++action)
        setters["Editor.Actions[" + std::to_string(action) + "]"] = [&editor, &texts, action](const std::string& text) {
            texts.Actions[action] = text;
            editor.grpAction.SetItemCaption(action, text);
        };
    const std::pair<const char*, std::string*> plain[] = {
        {"Rule.PressButton", &texts.PressButton}, {"Rule.On", &texts.On},
        {"Rule.Off", &texts.Off},
        {"MsgRuleNotSpecific", &texts.NotSpecific}, {"MsgRuleNoButton", &texts.NoButton},
        {"MsgRuleMatches", &texts.MatchesMany},   {"MsgRuleMatchesOne", &texts.MatchesOne},
        {"MsgRuleSave", &texts.SaveIt},
        {"MsgRuleDelete", &texts.DeleteRule}};
    for (const auto& row : plain) {
        std::string* target = row.second;
        setters[row.first] = [target](const std::string& text) { *target = text; };
    }
}
