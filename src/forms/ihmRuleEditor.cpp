#include "ihmRuleEditor.h"

#include "../framework/Dialogs.h"
#include "../framework/ModalForm.h"

namespace {
const int kPressButton = static_cast<int>(TPopupAction::PressButton);

TFormOptions RuleEditorFormOptions(HWND owner)
{
    TFormOptions options;
    options.caption = "Popup rule";
    options.clientWidth = 340;
    options.clientHeight = 333;
    options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    options.exStyle = WS_EX_DLGMODALFRAME;
    options.owner = owner;
    return options;
}

// A program or class name never begins or ends with a space; a pasted one may.
std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
}  // namespace

bool ConfirmOpenMatches(const TPopupRulesHost* host, const TPopupRule& rule, const TPopupRuleTexts& texts)
{
    if (!rule.Enabled || !host || !host->OpenWindowsMatching)
        return true;
    const std::vector<TWindowFacts> windows = host->OpenWindowsMatching(rule);
    return windows.empty() || MessageDlgYesNo(MatchQuestion(windows, texts));
}

TihmRuleEditor::TihmRuleEditor(HWND owner, const TPopupRuleTexts& texts)
    : TForm(RuleEditorFormOptions(owner)),
      lblTitle(*this, {12, 12, 0, 0}, "Title (* any text, ? one character):"),
      edTitle(*this, {12, 28, 316, 21}),
      lblProgram(*this, {12, 58, 0, 0}, "Program (e.g. setup.exe):"),
      edProgram(*this, {12, 74, 150, 21}),
      lblClass(*this, {178, 58, 0, 0}, "Window class:"),
      edClass(*this, {178, 74, 150, 21}),
      grpAction(*this, {12, 106, 316, 110}, "Action",
                {texts.Actions[0], texts.Actions[1], texts.Actions[2], texts.Actions[3]}),
      lblButton(*this, {12, 222, 0, 0}, "Text of the button:"),
      edButton(*this, {12, 238, 316, 21}),
      chkEnabled(*this, {12, 270, 200, 17}, "On"),
      btnOK(*this, {172, 296, 75, 25}, "OK"),
      btnCancel(*this, {253, 296, 75, 25}, "Cancel"),
      texts_(texts)
{
    grpAction.OnClick = [this] { grpActionClick(); };
    btnOK.OnClick = [this] { btnOKClick(); };
    btnCancel.OnClick = [this] { btnCancelClick(); };
    OnKeyDown = [this](WPARAM key) {
        // Enter on a button presses that button, as in any dialog.
        const HWND focus = GetFocus();
        if (key == VK_RETURN && (focus == btnOK.Handle() || focus == btnCancel.Handle()))
            return false;
        if (key == VK_RETURN)
            btnOKClick();
        else if (key == VK_ESCAPE)
            btnCancelClick();
        else
            return false;
        return true;
    };
    Load(TPopupRule());
}

bool TihmRuleEditor::Execute(TPopupRule& rule, HWND owner)
{
    // The editor's message loop lets other windows ask for it again.
    if (Visible()) {
        BringToFront();
        return false;
    }
    Load(rule);
    accepted_ = false;
    closed_ = false;
    ShowModal(*this, owner, edTitle, closed_);
    if (!accepted_)
        return false;
    rule = saved_;
    return true;
}

void TihmRuleEditor::Load(const TPopupRule& rule)
{
    loaded_ = rule;
    edTitle.SetText(rule.TitlePattern);
    edProgram.SetText(rule.Program);
    edClass.SetText(rule.WindowClass);
    grpAction.SetItemIndex(static_cast<int>(rule.Action));
    edButton.SetText(rule.Button);
    chkEnabled.SetChecked(rule.Enabled);
    grpActionClick();
}

TPopupRule TihmRuleEditor::Draft() const
{
    TPopupRule rule = loaded_;
    rule.TitlePattern = edTitle.Text();
    rule.Program = Trimmed(edProgram.Text());
    rule.WindowClass = Trimmed(edClass.Text());
    const int action = grpAction.ItemIndex();
    rule.Action = action >= 0 && action <= kPressButton ? static_cast<TPopupAction>(action) : TPopupAction::Close;
    // A button's text belongs to the press-a-button action alone.
    rule.Button = rule.Action == TPopupAction::PressButton ? edButton.Text() : std::string();
    rule.Enabled = chkEnabled.Checked();
    return rule;
}

bool TihmRuleEditor::ChangedFromLoaded(const TPopupRule& draft) const
{
    return loaded_.Id == 0 || draft.TitlePattern != loaded_.TitlePattern || draft.Program != loaded_.Program ||
           draft.WindowClass != loaded_.WindowClass || draft.Action != loaded_.Action ||
           draft.Button != loaded_.Button || draft.Enabled != loaded_.Enabled;
}

void TihmRuleEditor::grpActionClick()
{
    const bool pressing = grpAction.ItemIndex() == kPressButton;
    lblButton.SetEnabled(pressing);
    edButton.SetEnabled(pressing);
}

void TihmRuleEditor::btnOKClick()
{
    const TPopupRule draft = Draft();
    if (!IsSpecificEnough(draft)) {
        MessageDlg(texts_.NotSpecific, TMsgDlgType::Warning);
        FocusControl(edTitle);
        return;
    }
    if (draft.Action == TPopupAction::PressButton && Trimmed(draft.Button).empty()) {
        MessageDlg(texts_.NoButton, TMsgDlgType::Warning);
        FocusControl(edButton);
        return;
    }
    // No: back to the fields, the rule unsaved.
    if (ChangedFromLoaded(draft) && !ConfirmOpenMatches(host_, draft, texts_))
        return;
    saved_ = draft;
    accepted_ = true;
    closed_ = true;
}

void TihmRuleEditor::btnCancelClick() { closed_ = true; }
