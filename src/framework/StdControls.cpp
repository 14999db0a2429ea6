#include "StdControls.h"

#include "WideText.h"

TButton::TButton(TContainer& parent, const TBounds& bounds, const std::string& caption)
    : TControl(parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, bounds, caption)
{
}

bool TButton::HandleCommand(WORD code)
{
    if (code != BN_CLICKED || !OnClick)
        return false;
    OnClick();
    return true;
}

TCheckBox::TCheckBox(TContainer& parent, const TBounds& bounds, const std::string& caption, bool textLeft)
    : TControl(parent, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | (textLeft ? BS_LEFTTEXT : 0), 0, bounds, caption)
{
}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool value)
{
    SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::HandleCommand(WORD code)
{
    if (code != BN_CLICKED || !OnClick)
        return false;
    OnClick();
    return true;
}

TEdit::TEdit(TContainer& parent, const TBounds& bounds, bool password)
    : TControl(parent, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP | (password ? ES_PASSWORD : 0), WS_EX_CLIENTEDGE,
               bounds)
{
    if (password)
        SendMessageW(Handle(), EM_SETPASSWORDCHAR, '*', 0);
}

bool TEdit::HandleCommand(WORD code)
{
    if (code == EN_CHANGE && OnChange) {
        OnChange();
        return true;
    }
    if (code == EN_KILLFOCUS && OnExit) {
        OnExit();
        return true;
    }
    return false;
}

TMemo::TMemo(TContainer& parent, const TBounds& bounds, bool readOnly, bool horizontalScrollBar)
    : TControl(parent, "EDIT",
               ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP |
                   (readOnly ? ES_READONLY : 0) | (horizontalScrollBar ? WS_HSCROLL : 0),
               WS_EX_CLIENTEDGE, bounds)
{
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);  // no 32 KB cap on the lists and the mail log
}

bool TMemo::HandleCommand(WORD code)
{
    if (code != EN_CHANGE || !OnChange)
        return false;
    OnChange();
    return true;
}

std::vector<std::string> TMemo::Lines() const
{
    const std::string text = Text();
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

void TMemo::AppendLine(const std::string& text)
{
    const LRESULT length = SendMessageW(Handle(), WM_GETTEXTLENGTH, 0, 0);
    const std::wstring added = Widen(length > 0 ? "\r\n" + text : text);
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
    // The caret at the start of the new line keeps it in view without
    // scrolling sideways to the end of a long line.
    const LRESULT lastLine = SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0) - 1;
    const LRESULT lineStart = SendMessageW(Handle(), EM_LINEINDEX, static_cast<WPARAM>(lastLine), 0);
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(lineStart), lineStart);
    SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
}

void TMemo::ScrollToStart()
{
    SendMessageW(Handle(), EM_SETSEL, 0, 0);
    SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
}

TComboBox::TComboBox(TContainer& parent, const TBounds& bounds, int itemHeight)
    : TControl(parent, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
               {bounds.left, bounds.top, bounds.width, bounds.height + 200})
{
    if (itemHeight > 0)
        SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, itemHeight);
}

void TComboBox::SetItems(const std::vector<std::string>& items)
{
    const int selected = ItemIndex();
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    SetItemIndex(selected);
}

int TComboBox::Count() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void TComboBox::SetItemIndex(int index)
{
    SendMessageW(Handle(), CB_SETCURSEL, index >= 0 && index < Count() ? static_cast<WPARAM>(index) : WPARAM(-1), 0);
}

bool TComboBox::HandleCommand(WORD code)
{
    if (code != CBN_SELCHANGE || !OnChange)
        return false;
    OnChange();
    return true;
}

// One radio button of a group, placed on the group's container.
class TRadioGroup::TItem : public TControl {
public:
    TItem(TContainer& parent, const TBounds& bounds, const std::string& caption, TRadioGroup& group, bool first)
        : TControl(parent, "BUTTON", BS_RADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), 0, bounds, caption),
          group_(group)
    {
    }
    bool HandleCommand(WORD code) override
    {
        if (code != BN_CLICKED)
            return false;
        const int before = group_.ItemIndex();
        for (size_t i = 0; i < group_.items_.size(); ++i)
            if (group_.items_[i].get() == this)
                group_.SetItemIndex(static_cast<int>(i));
        if (group_.ItemIndex() != before && group_.OnClick)
            group_.OnClick();
        return true;
    }

private:
    TRadioGroup& group_;
};

TRadioGroup::TRadioGroup(TContainer& parent, const TBounds& bounds, const std::string& caption,
                         const std::vector<std::string>& items)
    : TControl(parent, "BUTTON", BS_GROUPBOX, 0, bounds, caption)
{
    const int rowHeight = items.empty() ? 0 : (bounds.height - 18) / static_cast<int>(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        TBounds row = {bounds.left + 8, bounds.top + 15 + static_cast<int>(i) * rowHeight, bounds.width - 12, 17};
        items_.push_back(std::make_unique<TItem>(parent, row, items[i], *this, i == 0));
    }
}

TRadioGroup::~TRadioGroup() = default;

int TRadioGroup::ItemIndex() const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (SendMessageW(items_[i]->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED)
            return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    for (size_t i = 0; i < items_.size(); ++i)
        SendMessageW(items_[i]->Handle(), BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioGroup::SetItemCaption(int index, const std::string& caption)
{
    if (index >= 0 && index < static_cast<int>(items_.size()))
        items_[static_cast<size_t>(index)]->SetText(caption);
}

std::string TRadioGroup::ItemCaption(int index) const
{
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return std::string();
    return items_[static_cast<size_t>(index)]->Text();
}
