#include "ihmRules.h"

#include <algorithm>

#include "../framework/Dialogs.h"
#include "../framework/GridButtonsLayout.h"
#include "../text/FormatText.h"

namespace {
const int kInset = 6;
const int kButtonWidth = 90;
const int kButtonHeight = 25;
const int kRowHeight = 18;
const int kColumnWidths[TihmRules::ColumnCount] = {40, 170, 100, 100, 110, 45, 125};
const int kMinimumWidth = 4 * (kButtonWidth + kInset) + kInset;
const int kMinimumHeight = 150;

TFormOptions RulesFormOptions(HWND owner)
{
    TFormOptions options;
    options.caption = "Popup rules";
    options.clientWidth = 700;
    options.clientHeight = 300;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    options.exStyle = WS_EX_TOOLWINDOW;
    options.owner = owner;
    return options;
}
}  // namespace

TihmRules::TihmRules(HWND owner, const TPopupRuleTexts& texts)
    : TForm(RulesFormOptions(owner)),
      zdsRules(*this, {kInset, kInset, 100, 100}, ColumnCount, kRowHeight),
      btnAdd(*this, {kInset, 200, kButtonWidth, kButtonHeight}, "Add..."),
      btnEdit(*this, {kInset, 200, kButtonWidth, kButtonHeight}, "Edit..."),
      btnDelete(*this, {kInset, 200, kButtonWidth, kButtonHeight}, "Delete"),
      btnToggle(*this, {kInset, 200, kButtonWidth, kButtonHeight}, "On / off"),
      editor(Handle(), texts),
      texts_(texts)
{
    for (int column = 0; column < ColumnCount; ++column)
        zdsRules.SetColumnWidth(column, Scale(kColumnWidths[column]));
    zdsRules.OnCellText = [this](int column, int row) { return CellText(column, row); };
    zdsRules.OnClick = [this] { zdsRulesClick(); };
    btnAdd.OnClick = [this] { btnAddClick(); };
    btnEdit.OnClick = [this] { btnEditClick(); };
    btnDelete.OnClick = [this] { btnDeleteClick(); };
    btnToggle.OnClick = [this] { btnToggleClick(); };
    OnKeyDown = [this](WPARAM key) {
        if (key != VK_ESCAPE)
            return false;
        Hide();
        return true;
    };
    laidOut_ = true;
    LayoutControls();
    UpdateButtons();
}

void TihmRules::Connect(const TPopupRulesHost* host)
{
    host_ = host;
    editor.Connect(host);
    RulesChanged();
}

void TihmRules::ShowRules()
{
    RulesChanged();
    Show();
    BringToFront();
}

// Read through the const side: the writable one makes the rules forget the
// answers they keep for the killer.
const TPopupRules* TihmRules::Rules() const { return host_ ? host_->Rules : nullptr; }

void TihmRules::RulesChanged()
{
    const int count = Rules() ? static_cast<int>(Rules()->Items().size()) : 0;
    if (zdsRules.RowCount() != count)
        zdsRules.SetRowCount(count);
    zdsRules.Repaint();
    UpdateButtons();
}

std::string TihmRules::CellText(int column, int row) const
{
    if (!Rules() || row < 0 || static_cast<size_t>(row) >= Rules()->Items().size())
        return std::string();
    const TPopupRule& rule = Rules()->Items()[static_cast<size_t>(row)];
    switch (column) {
    case 0:
        return rule.Enabled ? texts_.On : texts_.Off;
    case 1:
        return rule.TitlePattern;
    case 2:
        return rule.Program;
    case 3:
        return rule.WindowClass;
    case 4:
        return ActionText(rule, texts_);
    case 5:
        return std::to_string(rule.Hits);
    case 6:
        return rule.LastHit;
    default:
        return std::string();
    }
}

const TPopupRule* TihmRules::SelectedRule() const
{
    const int row = zdsRules.Selected();
    if (!Rules() || row < 0 || static_cast<size_t>(row) >= Rules()->Items().size())
        return nullptr;
    return &Rules()->Items()[static_cast<size_t>(row)];
}

void TihmRules::SelectRule(int id)
{
    if (!Rules())
        return;
    const auto& rules = Rules()->Items();
    for (size_t i = 0; i < rules.size(); ++i)
        if (rules[i].Id == id)
            zdsRules.SetSelected(static_cast<int>(i));
    UpdateButtons();
}

void TihmRules::Save()
{
    if (host_ && host_->SaveRules)
        host_->SaveRules();
    RulesChanged();
}

bool TihmRules::AddThroughEditor(TPopupRule rule, HWND owner)
{
    if (!host_ || !host_->Rules || !editor.Execute(rule, owner))
        return false;
    const int id = host_->Rules->Add(rule);
    Save();
    SelectRule(id);
    return true;
}

bool TihmRules::AddRuleLike(const TWindowFacts& window, HWND owner)
{
    TPopupRule rule;
    rule.TitlePattern = window.Title;
    rule.Program = window.Program;
    rule.WindowClass = window.WindowClass;
    return AddThroughEditor(rule, owner);
}

void TihmRules::btnAddClick() { AddThroughEditor(TPopupRule(), Handle()); }

void TihmRules::btnEditClick()
{
    const TPopupRule* selected = SelectedRule();
    if (!selected)
        return;
    // By its Id: the editor's loop lets the killer count hits meanwhile.
    TPopupRule rule = *selected;
    if (!editor.Execute(rule, Handle()))
        return;
    if (TPopupRule* stored = host_->Rules->Find(rule.Id)) {
        rule.Hits = stored->Hits;
        rule.LastHit = stored->LastHit;
        *stored = rule;
        Save();
    }
}

void TihmRules::btnDeleteClick()
{
    const TPopupRule* selected = SelectedRule();
    if (!selected)
        return;
    const int id = selected->Id;
    if (!MessageDlgYesNo(FormatText(texts_.DeleteRule, PopupRuleText(*selected))))
        return;
    auto& rules = host_->Rules->Items();
    rules.erase(std::remove_if(rules.begin(), rules.end(), [id](const TPopupRule& rule) { return rule.Id == id; }),
                rules.end());
    zdsRules.SetSelected(-1);
    Save();
}

void TihmRules::btnToggleClick()
{
    const TPopupRule* selected = SelectedRule();
    if (!selected)
        return;
    const int id = selected->Id;
    TPopupRule turned = *selected;
    turned.Enabled = !turned.Enabled;
    // Turned on, a rule acts at once: the user sees on what first.
    if (!ConfirmOpenMatches(host_, turned, texts_))
        return;
    if (TPopupRule* stored = host_->Rules->Find(id)) {
        stored->Enabled = turned.Enabled;
        Save();
    }
}

void TihmRules::UpdateButtons()
{
    const bool selected = SelectedRule() != nullptr;
    btnAdd.SetEnabled(host_ && host_->Rules);
    btnEdit.SetEnabled(selected);
    btnDelete.SetEnabled(selected);
    btnToggle.SetEnabled(selected);
}

void TihmRules::LayoutControls()
{
    if (!laidOut_)
        return;
    PlaceGridAboveButtons(Handle(), zdsRules, {&btnAdd, &btnEdit, &btnDelete, &btnToggle},
                          {Scale(kInset), Scale(kButtonWidth), Scale(kButtonHeight)});
}

bool TihmRules::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_GETMINMAXINFO:
        SetMinimumTrackSize(lParam, Scale(kMinimumWidth), Scale(kMinimumHeight));
        result = 0;
        return true;
    case WM_SIZE:
        LayoutControls();
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (laidOut_ && header->hwndFrom == zdsRules.Handle() && header->code == NM_DBLCLK) {
            btnEditClick();
            result = 0;
            return true;
        }
        break;
    }
    }
    return TForm::HandleMessage(message, wParam, lParam, result);
}
