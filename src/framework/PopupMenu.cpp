#include "PopupMenu.h"

#include <cstring>
#include <stdexcept>

namespace {
struct TMenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using TScopedMenu = std::unique_ptr<std::remove_pointer<HMENU>::type, TMenuDestroyer>;
}  // namespace

TPopupMenu::TPopupMenu(const std::vector<TMenuItemDef>& items)
{
    UINT command = 100;
    for (const TMenuItemDef& def : items)
        items_.push_back(std::make_unique<TMenuItem>(def, command++));
}

TMenuItem& TPopupMenu::Item(const char* name)
{
    for (auto& item : items_)
        if (!item->IsSeparator() && std::strcmp(item->Name(), name) == 0)
            return *item;
    throw std::invalid_argument(std::string("no menu item ") + name);
}

void TPopupMenu::Popup(HWND foreground, int x, int y)
{
    if (OnPopup)
        OnPopup();
    TScopedMenu menu(CreatePopupMenu());
    for (const auto& item : items_) {
        if (item->IsSeparator()) {
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        flags |= item->Checked() ? MF_CHECKED : MF_UNCHECKED;
        flags |= item->Enabled() ? MF_ENABLED : MF_GRAYED;
        AppendMenuA(menu.get(), flags, item->Command(), item->Caption.c_str());
        if (HBITMAP picture = Images ? Images->Bitmap(item->ImageIndex()) : nullptr) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_BITMAP;
            info.hbmpItem = picture;
            SetMenuItemInfoA(menu.get(), item->Command(), FALSE, &info);
        }
        if (item->Default())
            SetMenuDefaultItem(menu.get(), item->Command(), FALSE);
    }
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, x, y, 0, foreground, nullptr));
    PostMessageA(foreground, WM_NULL, 0, 0);
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
