#include "Controls.h"

#include "Container.h"
#include "WideText.h"

namespace {
int NextControlId()
{
    static int next = 1000;
    return next++;
}
}  // namespace

TControl::TControl(TContainer& parent, const char* className, DWORD style, DWORD exStyle, const TBounds& bounds,
                   const std::string& text)
    : parent_(parent), id_(NextControlId())
{
    // The bounds are 96-DPI pixels, placed at the container's DPI.
    handle_ = CreateWindowExW(exStyle, Widen(className).c_str(), Widen(text).c_str(), style | WS_CHILD | WS_VISIBLE,
                              parent.Scale(bounds.left), parent.Scale(bounds.top), parent.Scale(bounds.width),
                              parent.Scale(bounds.height), parent.Handle(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr),
                              nullptr);
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(parent.Font()), FALSE);
    parent_.RegisterControl(this, id_);
}

TControl::~TControl()
{
    parent_.UnregisterControl(id_);
    if (IsWindow(handle_))
        DestroyWindow(handle_);
}

std::string TControl::Text() const { return GetWindowTextString(handle_); }

void TControl::SetText(const std::string& text) { SetWindowTextString(handle_, text); }

bool TControl::Enabled() const { return IsWindowEnabled(handle_) != FALSE; }

void TControl::SetEnabled(bool value) { EnableWindow(handle_, value ? TRUE : FALSE); }

TLabel::TLabel(TContainer& parent, const TBounds& bounds, const std::string& caption, DWORD align)
    : TControl(parent, "STATIC", align | SS_NOPREFIX, 0, bounds, caption), autoSize_(bounds.width == 0)
{
    SetCaption(caption);
}

void TLabel::SetCaption(const std::string& text)
{
    SetText(text);
    if (!autoSize_)
        return;
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    SIZE size = {0, 0};
    const std::wstring wide = Widen(text);
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    // The glyphs as drawn can reach a few pixels past the summed advances
    // (seen under Wine: 95 pixels of ink for an extent of 91), and the static
    // clips them; an average character of room on the right keeps them whole.
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    const int width = text.empty() ? 0 : size.cx + metrics.tmAveCharWidth;
    SetWindowPos(Handle(), nullptr, 0, 0, width, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TBevel::TBevel(TContainer& parent, const TBounds& bounds) : TControl(parent, "STATIC", SS_ETCHEDHORZ, 0, bounds) {}

TPanel::TPanel(TContainer& parent, const TBounds& bounds)
    : TControl(parent, "STATIC", SS_SUNKEN, 0, bounds)
{
    // Behind its siblings, so the controls placed on it stay clickable.
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TListBox::TListBox(TContainer& parent, const TBounds& bounds, int itemHeight) : TListBox(parent, bounds, itemHeight, 0) {}

TListBox::TListBox(TContainer& parent, const TBounds& bounds, int itemHeight, DWORD style)
    : TControl(parent, "LISTBOX", style | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
               WS_EX_CLIENTEDGE, bounds)
{
    if (itemHeight > 0)
        SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, parent.Scale(itemHeight));
}

int TListBox::Add(const std::string& text)
{
    const std::wstring wide = Widen(text);
    return static_cast<int>(SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void TListBox::Insert(int index, const std::string& text)
{
    const std::wstring wide = Widen(text);
    SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
}

void TListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

void TListBox::Delete(int index) { SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

int TListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::string TListBox::Items(int index) const
{
    const LRESULT length = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    return Narrow(text.data(), copied == LB_ERR ? 0 : static_cast<size_t>(copied));
}

int TListBox::IndexOfExact(const std::string& text) const
{
    const int count = Count();
    for (int i = 0; i < count; ++i)
        if (Items(i) == text)
            return i;
    return -1;
}

int TListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void TListBox::SetItemIndex(int index) { SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int TListBox::TopIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TListBox::SetTopIndex(int index) { SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0); }

bool TListBox::HandleCommand(WORD code)
{
    if (code == LBN_DBLCLK && OnDblClick) {
        OnDblClick();
        return true;
    }
    if (code == LBN_SELCHANGE && OnClick) {
        OnClick();
        return true;
    }
    return false;
}
