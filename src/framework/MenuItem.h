// One item of a popup menu declared as a table: its caption, image, check
// mark, enabled state and bold default mark, and how an owner-drawn item is
// measured and drawn.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TPopupMenu;

struct TMenuItemDef {
    const char* name;  // empty for a separator
    int imageIndex;    // -1: no image
    std::function<void()> onClick;
};

class TMenuItem {
public:
    // How an owner-drawn item is measured and drawn when the program does it
    // itself; the menu's default measuring and drawing serve the others.
    using TMeasureEvent = std::function<void(TMenuItem& sender, HDC canvas, int& width, int& height)>;
    using TDrawEvent = std::function<void(TMenuItem& sender, HDC canvas, const RECT& rect, bool selected)>;
    // `state` holds the platform's ODS_ flags (selected, greyed, checked...).
    using TAdvancedDrawEvent = std::function<void(TMenuItem& sender, HDC canvas, const RECT& rect, UINT state)>;

    TMenuItem(const TMenuItemDef& def, UINT command, TPopupMenu* menu = nullptr)
        : def_(def), command_(command), menu_(menu)
    {
    }

    // The menu the item belongs to; null for an item on its own.
    TPopupMenu* Menu() const { return menu_; }
    bool HasClickHandler() const { return static_cast<bool>(def_.onClick); }

    const char* Name() const { return def_.name; }
    bool IsSeparator() const { return !def_.name || !*def_.name; }
    int ImageIndex() const { return def_.imageIndex; }
    UINT Command() const { return command_; }
    void Click() const
    {
        if (def_.onClick)
            def_.onClick();
    }

    std::string Caption;
    // A separator's text, shown by menus that draw separators with text.
    std::string Hint;
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Default() const { return default_; }
    void SetDefault(bool value);

    TMeasureEvent OnMeasureItem;
    TDrawEvent OnDrawItem;
    TAdvancedDrawEvent OnAdvancedDrawItem;

private:
    void Changed();

    TMenuItemDef def_;
    UINT command_;
    TPopupMenu* menu_;
    bool checked_ = false;
    bool enabled_ = true;
    bool default_ = false;
};
