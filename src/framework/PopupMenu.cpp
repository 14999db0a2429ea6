#include "PopupMenu.h"

#include <cstring>
#include <list>
#include <stdexcept>

#include "Font.h"
#include "GdiScoped.h"
#include "MenuItemDraw.h"
#include "WideText.h"
#include "Window.h"

void TMenuItem::SetChecked(bool value)
{
    checked_ = value;
    Changed();
}

void TMenuItem::SetEnabled(bool value)
{
    enabled_ = value;
    Changed();
}

void TMenuItem::SetDefault(bool value)
{
    default_ = value;
    Changed();
}

void TMenuItem::Changed()
{
    if (menu_)
        menu_->MenuChanged(this, false);
}

// Owns the menu while it shows. The tray icon's window cannot be taught the
// owner-drawing messages, so the menu brings a hidden window of its own.
class TPopupMenu::TOwnerWindow : public TWindowBase {
public:
    explicit TOwnerWindow(TPopupMenu& menu) : menu_(menu)
    {
        static const char kClass[] = "TPopupMenuOwner";
        RegisterClassOnce(kClass);
        CreateHandle(kClass, "", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
    }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        return menu_.OwnerMessage(message, wParam, lParam, result) ||
               TWindowBase::HandleMessage(message, wParam, lParam, result);
    }

private:
    TPopupMenu& menu_;
};

TPopupMenu::TPopupMenu(const std::vector<TMenuItemDef>& items)
{
    UINT command = 100;
    for (const TMenuItemDef& def : items)
        items_.push_back(std::make_unique<TMenuItem>(def, command++, this));
}

TPopupMenu::~TPopupMenu() = default;

TMenuItem& TPopupMenu::Item(const char* name)
{
    for (auto& item : items_)
        if (!item->IsSeparator() && std::strcmp(item->Name(), name) == 0)
            return *item;
    throw std::invalid_argument(std::string("no menu item ") + name);
}

TMenuItem* TPopupMenu::ItemAt(size_t index) const { return index < items_.size() ? items_[index].get() : nullptr; }

void TPopupMenu::MenuChanged(TMenuItem*, bool) {}

HWND TPopupMenu::OwnerWindow()
{
    if (!owner_)
        owner_ = std::make_unique<TOwnerWindow>(*this);
    return owner_->Handle();
}

TScopedMenu TPopupMenu::BuildMenu() const
{
    TScopedMenu menu(CreatePopupMenu());
    // The platform copies each caption as the item is inserted.
    std::list<std::wstring> captions;
    for (size_t index = 0; index < items_.size(); ++index) {
        const TMenuItem& item = *items_[index];
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
        info.fType = item.IsSeparator() ? MFT_SEPARATOR : MFT_STRING;
        if (OwnerDraw)
            info.fType |= MFT_OWNERDRAW;
        info.fState = (item.Checked() ? MFS_CHECKED : MFS_UNCHECKED) | (item.Enabled() ? MFS_ENABLED : MFS_GRAYED) |
                      (item.Default() && !item.IsSeparator() ? MFS_DEFAULT : 0);
        info.wID = item.IsSeparator() ? 0 : item.Command();
        info.dwItemData = index;
        if (!item.IsSeparator()) {
            // Owner-drawn items keep their text too, so the platform can still
            // match their mnemonics and tell their captions.
            info.fMask |= MIIM_STRING;
            captions.push_back(Widen(item.Caption));
            info.dwTypeData = &captions.back()[0];
            HBITMAP picture = Images && !OwnerDraw ? Images->Bitmap(item.ImageIndex()) : nullptr;
            if (picture) {
                info.fMask |= MIIM_BITMAP;
                info.hbmpItem = picture;
            }
        }
        InsertMenuItemW(menu.get(), static_cast<UINT>(index), TRUE, &info);
    }
    return menu;
}

void TPopupMenu::Popup(HWND foreground, int x, int y)
{
    (void)foreground;  // the caller made it the foreground window; the menu's own window shares its thread
    if (OnPopup)
        OnPopup();
    TScopedMenu menu = BuildMenu();
    HWND owner = OwnerWindow();
    // The menu reads the keyboard of its thread, which must be the foreground
    // one: a click on the tray icon leaves the shell's window active. A hidden
    // owner cannot take the focus everywhere (under Wine the X keyboard focus
    // needs a window on the screen), so while another program is in front the
    // owner is shown as one pixel under the menu while it is open.
    DWORD foregroundProcess = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
    const bool lend = foregroundProcess != GetCurrentProcessId() && !IsWindowVisible(owner);
    if (lend) {
        SetWindowPos(owner, HWND_TOP, x, y, 1, 1, SWP_SHOWWINDOW);
        SetForegroundWindow(owner);
    }
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | (AlignBottom ? TPM_BOTTOMALIGN : TPM_TOPALIGN), x,
                       y, 0, owner, nullptr));
    if (lend)
        SetWindowPos(owner, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
    PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen)
        RunCommand(chosen);
}

bool TPopupMenu::RunCommand(UINT command)
{
    for (const auto& item : items_) {
        if (item->Command() == command && !item->IsSeparator()) {
            if (item->Enabled())
                item->Click();
            return true;
        }
    }
    return false;
}

void TPopupMenu::DefaultMeasureItem(const TMenuItem& item, HDC canvas, int& width, int& height) const
{
    MeasureMenuItem(item, canvas, width, height);
}

void TPopupMenu::DefaultDrawItem(const TMenuItem& item, HDC canvas, const RECT& rect, UINT state) const
{
    DrawMenuItem(item, Images, canvas, rect, state);
}

bool TPopupMenu::OwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MEASUREITEM:
        if (!MeasureItemMessage(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return false;
        result = TRUE;
        return true;
    case WM_DRAWITEM:
        if (!DrawItemMessage(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return false;
        result = TRUE;
        return true;
    case WM_MENUCHAR:
        result = MenuCharMessage(static_cast<wchar_t>(LOWORD(wParam)));
        return true;
    default:
        return false;
    }
}

bool TPopupMenu::MeasureItemMessage(MEASUREITEMSTRUCT& measure)
{
    TMenuItem* item = measure.CtlType == ODT_MENU ? ItemAt(measure.itemData) : nullptr;
    if (!item)
        return false;
    TWindowDC screen(owner_ ? owner_->Handle() : nullptr);
    TScopedFont font = CreateMenuFont(item->Default());
    TSelectObject selected(screen.Handle(), font.get());
    int width = 0;
    int height = 0;
    DefaultMeasureItem(*item, screen.Handle(), width, height);
    if (item->OnMeasureItem)
        item->OnMeasureItem(*item, screen.Handle(), width, height);
    measure.itemWidth = static_cast<UINT>(width > 0 ? width : 0);
    measure.itemHeight = static_cast<UINT>(height > 0 ? height : 0);
    return true;
}

bool TPopupMenu::DrawItemMessage(const DRAWITEMSTRUCT& draw)
{
    TMenuItem* item = draw.CtlType == ODT_MENU ? ItemAt(draw.itemData) : nullptr;
    if (!item)
        return false;
    TSavedDCState saved(draw.hDC);
    TScopedFont font = CreateMenuFont(false);
    TSelectObject selected(draw.hDC, font.get());
    if (item->OnAdvancedDrawItem)
        item->OnAdvancedDrawItem(*item, draw.hDC, draw.rcItem, draw.itemState);
    else if (item->OnDrawItem)
        item->OnDrawItem(*item, draw.hDC, draw.rcItem, (draw.itemState & ODS_SELECTED) != 0);
    else
        DefaultDrawItem(*item, draw.hDC, draw.rcItem, draw.itemState);
    return true;
}

LRESULT TPopupMenu::MenuCharMessage(wchar_t key) const
{
    // Owner-drawn items are not searched for mnemonics by every platform:
    // answer with the item whose caption marks that letter with '&'. The
    // letter may be any the user's keyboard types, so both sides are upper-
    // cased by the platform.
    auto upper = [](wchar_t c) {
        return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(c)))));
    };
    const wchar_t wanted = upper(key);
    for (size_t index = 0; index < items_.size(); ++index) {
        const std::wstring caption = Widen(items_[index]->Caption);
        for (size_t at = caption.find(L'&'); at != std::wstring::npos && at + 1 < caption.size();
             at = caption.find(L'&', at + 2)) {
            if (caption[at + 1] == L'&')
                continue;
            if (upper(caption[at + 1]) == wanted && items_[index]->Enabled())
                return MAKELRESULT(index, MNC_EXECUTE);
            break;
        }
    }
    return MAKELRESULT(0, MNC_IGNORE);
}
