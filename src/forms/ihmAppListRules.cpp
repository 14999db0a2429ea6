// The windows list's part in the popup rules: the way to the rules window,
// the menu that makes a rule from an open window, and the log of actions
// with its menu that turns a rule off.
#include "ihmAppList.h"

#include "../app/unitLanguagePopupRules.h"
#include "../text/FormatText.h"

#include <algorithm>

void TihmAppList::ConnectRules(const TPopupRulesHost& host)
{
    rulesHost_ = host;
    rules.Connect(&rulesHost_);
    knownWindows_.clear();
    PopupActionLogged();
}

std::vector<TMenuItemDef> TihmAppList::WindowsMenuItems(TihmAppList& self)
{
    TihmAppList* form = &self;
    return {{"mnpCloseLike", -1, [form] { form->mnpCloseLikeClick(); }}};
}

std::vector<TMenuItemDef> TihmAppList::ActionsMenuItems(TihmAppList& self)
{
    TihmAppList* form = &self;
    return {{"mnpRuleOff", -1, [form] { form->mnpRuleOffClick(); }}};
}

void TihmAppList::btnRulesClick() { rules.ShowRules(); }

void TihmAppList::mnpWindowsPopup()
{
    mnpCloseLike().SetEnabled(rulesHost_.Rules && ShownWindow(zdsCurrentProcess.ItemIndex()));
}

void TihmAppList::mnpCloseLikeClick()
{
    const TWindowFacts* shown = ShownWindow(zdsCurrentProcess.ItemIndex());
    if (!shown)
        return;
    // A copy: the refresh at each tick replaces the rows while the editor is open.
    const TWindowFacts window = *shown;
    rules.AddRuleLike(window, Handle());
}

const TPopupActionEntry* TihmAppList::ActionEntry(int row) const
{
    if (!rulesHost_.Log || row < 0)
        return nullptr;
    const auto& entries = rulesHost_.Log->Entries();
    return static_cast<size_t>(row) < entries.size() ? &entries[entries.size() - 1 - static_cast<size_t>(row)]
                                                     : nullptr;
}

std::string TihmAppList::ActionCellText(int column, int row) const
{
    const TPopupActionEntry* entry = ActionEntry(row);
    if (!entry)
        return std::string();
    switch (column) {
    case 0:
        return entry->Time;
    case 1:
        return entry->Refused ? FormatText(MsgPopupCannotAct, entry->Title) : ActionText(entry->Action, RuleTexts);
    case 2:
        return entry->Title;
    case 3:
        return entry->Program;
    case 4:
        return entry->RuleId == 0 ? MsgPopupKillList : entry->RuleText;
    default:
        return std::string();
    }
}

void TihmAppList::zdsActionsClick()
{
    const TPopupActionEntry* entry = ActionEntry(zdsActions.Selected());
    selectedAction_ = entry ? std::optional<TPopupActionEntry>(*entry) : std::nullopt;
}

void TihmAppList::PopupActionLogged()
{
    // The newest line is row 0, and a full log drops its oldest: the
    // selection follows its line, found again by what it says.
    const int count = rulesHost_.Log ? static_cast<int>(rulesHost_.Log->Entries().size()) : 0;
    zdsActions.SetRowCount(count);
    int selected = -1;
    for (int row = 0; selectedAction_ && row < count && selected < 0; ++row) {
        const TPopupActionEntry& entry = *ActionEntry(row);
        if (entry.Time == selectedAction_->Time && entry.Title == selectedAction_->Title &&
            entry.RuleId == selectedAction_->RuleId && entry.Action == selectedAction_->Action)
            selected = row;
    }
    zdsActions.SetSelected(selected);
    zdsActionsClick();
    zdsActions.Repaint();
    rules.RulesChanged();
}

void TihmAppList::mnpActionsPopup()
{
    // Kept as the menu opens: a line logged while it is open moves the rows.
    const TPopupActionEntry* entry = ActionEntry(zdsActions.Selected());
    menuRuleId_ = entry ? entry->RuleId : 0;
    const TPopupRules* rules = rulesHost_.Rules;
    const TPopupRule* rule = menuRuleId_ && rules ? rules->Find(menuRuleId_) : nullptr;
    mnpRuleOff().SetEnabled(rule && rule->Enabled);
}

void TihmAppList::mnpRuleOffClick()
{
    TPopupRule* rule = menuRuleId_ && rulesHost_.Rules ? rulesHost_.Rules->Find(menuRuleId_) : nullptr;
    if (!rule || !rule->Enabled)
        return;
    rule->Enabled = false;
    if (rulesHost_.SaveRules)
        rulesHost_.SaveRules();
    rules.RulesChanged();
}

void TihmAppList::ShowMenuAt(TPopupMenu& menu, HWND list, LPARAM position, const RECT& selectedRow)
{
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position == -1) {
        // From the keyboard: under the selected row.
        point = {selectedRow.left, selectedRow.bottom};
        ClientToScreen(list, &point);
    }
    SetForegroundWindow(Handle());
    menu.Popup(Handle(), point.x, point.y);
}

bool TihmAppList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_CONTEXTMENU || !laidOut_)
        return TForm::HandleMessage(message, wParam, lParam, result);
    HWND target = reinterpret_cast<HWND>(wParam);
    if (target == zdsCurrentProcess.Handle()) {
        // A right click selects the row under it, as it does in the log.
        if (lParam != -1) {
            POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ScreenToClient(target, &point);
            const LRESULT hit = SendMessageW(target, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
            if (HIWORD(hit) == 0)
                zdsCurrentProcess.SetItemIndex(LOWORD(hit));
        }
        RECT row = {};
        SendMessageW(target, LB_GETITEMRECT, static_cast<WPARAM>(std::max(0, zdsCurrentProcess.ItemIndex())),
                     reinterpret_cast<LPARAM>(&row));
        ShowMenuAt(mnpWindows, target, lParam, row);
        result = 0;
        return true;
    }
    if (target == zdsActions.Handle() || GetParent(target) == zdsActions.Handle()) {
        ShowMenuAt(mnpActions, zdsActions.Handle(), lParam, zdsActions.RowRect(zdsActions.Selected()));
        result = 0;
        return true;
    }
    return TForm::HandleMessage(message, wParam, lParam, result);
}
