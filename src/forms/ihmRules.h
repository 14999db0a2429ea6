// The rules window: the popup rules one a row (on or off, title pattern,
// program, class, action, hits, last hit), and the buttons that add, edit,
// delete and turn them on and off. Every change is saved at once.
#pragma once

#include "../framework/Form.h"
#include "../framework/ListGrid.h"
#include "../framework/StdControls.h"
#include "PopupRulesHost.h"
#include "ihmRuleEditor.h"

class TihmRules : public TForm {
public:
    static constexpr int ColumnCount = 7;

    TihmRules(HWND owner, const TPopupRuleTexts& texts);
    void Connect(const TPopupRulesHost* host);

    TListGrid zdsRules;
    TButton btnAdd;
    TButton btnEdit;
    TButton btnDelete;
    TButton btnToggle;
    TihmRuleEditor editor;

    // Shows the window in front, its rows up to date.
    void ShowRules();
    // The rules changed (by this window or elsewhere: a hit, a rule turned
    // off from the log): the rows are drawn again.
    void RulesChanged();
    std::string CellText(int column, int row) const;
    // Null when no row is selected.
    const TPopupRule* SelectedRule() const;
    void SelectRule(int id);
    // Opens the editor over `owner` on a new rule for windows like `window`;
    // true when the user saved it (it is then added and the rules written).
    bool AddRuleLike(const TWindowFacts& window, HWND owner);

    void zdsRulesClick() { UpdateButtons(); }
    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnToggleClick();

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    const TPopupRules* Rules() const;
    bool AddThroughEditor(TPopupRule rule, HWND owner);
    void Save();
    void LayoutControls();
    void UpdateButtons();

    const TPopupRuleTexts& texts_;
    const TPopupRulesHost* host_ = nullptr;
    bool laidOut_ = false;
};
