// A popup menu declared as a table of items. Each item keeps its caption,
// image, check mark, enabled state and bold default mark; the menu is built
// from them each time it pops up, and the chosen item's handler runs once the
// menu has closed. An owner-drawn menu measures and draws its items itself,
// through the items' handlers or its default drawing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ImageList.h"
#include "MenuItem.h"
#include "MenuPopup.h"

struct TMenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using TScopedMenu = std::unique_ptr<std::remove_pointer<HMENU>::type, TMenuDestroyer>;

class TPopupMenu : public TMenuPopup {
public:
    explicit TPopupMenu(const std::vector<TMenuItemDef>& items);
    ~TPopupMenu() override;

    TMenuItem& Item(const char* name);
    // The item at that position in the menu; null past the end.
    TMenuItem* ItemAt(size_t index) const;
    const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }

    // The pictures the items' image indexes refer to; none when null.
    const TImageList* Images = nullptr;
    // Items measured and drawn by the program (through their handlers or the
    // default drawing below) instead of by the platform.
    bool OwnerDraw = false;
    // Runs before the menu shows, to bring its items up to date.
    std::function<void()> OnPopup;
    // The menu's bottom edge at the point given, as for a menu opened from
    // the notification area at the foot of the screen; otherwise its top.
    bool AlignBottom = true;
    void Popup(HWND foreground, int x, int y) override;
    // Runs the handler of the item with that command, as a choice in the menu does.
    bool RunCommand(UINT command);

    // The platform menu as Popup shows it: one entry per item in order, each
    // carrying its item's position as item data.
    TScopedMenu BuildMenu() const;
    // The hidden window that owns the menu while it shows: the platform sends
    // it the measuring, drawing and mnemonic requests of owner-drawn items.
    HWND OwnerWindow();
    // The framework's own measuring and drawing of an owner-drawn item:
    // image, check mark, caption (bold for the default item), shortcut,
    // greyed state and highlight.
    void DefaultMeasureItem(const TMenuItem& item, HDC canvas, int& width, int& height) const;
    void DefaultDrawItem(const TMenuItem& item, HDC canvas, const RECT& rect, UINT state) const;

protected:
    // The items changed: `source` alone, or every item when null; `rebuild`
    // when the menu's item list itself was made anew.
    virtual void MenuChanged(TMenuItem* source, bool rebuild);

private:
    friend class TMenuItem;
    class TOwnerWindow;
    bool OwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool MeasureItemMessage(MEASUREITEMSTRUCT& measure);
    bool DrawItemMessage(const DRAWITEMSTRUCT& draw);
    LRESULT MenuCharMessage(wchar_t key) const;

    std::vector<std::unique_ptr<TMenuItem>> items_;
    std::unique_ptr<TOwnerWindow> owner_;
};
