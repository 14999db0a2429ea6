// A popup menu declared as a table of items. Each item keeps its caption,
// image, check mark, enabled state and bold default mark; the menu is built
// from them each time it pops up, and the chosen item's handler runs once the
// menu has closed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../widgets/TBNAreaMenu.h"
#include "ImageList.h"

struct TMenuItemDef {
    const char* name;  // empty for a separator
    int imageIndex;    // -1: no image
    std::function<void()> onClick;
};

class TMenuItem {
public:
    TMenuItem(const TMenuItemDef& def, UINT command) : def_(def), command_(command) {}

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
    bool Checked() const { return checked_; }
    void SetChecked(bool value) { checked_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }

private:
    TMenuItemDef def_;
    UINT command_;
    bool checked_ = false;
    bool enabled_ = true;
    bool default_ = false;
};

class TPopupMenu : public TTBNPopupMenu {
public:
    explicit TPopupMenu(const std::vector<TMenuItemDef>& items);

    TMenuItem& Item(const char* name);
    const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }

    // The pictures the items' image indexes refer to; none when null.
    const TImageList* Images = nullptr;
    // Runs before the menu shows, to bring its items up to date.
    std::function<void()> OnPopup;
    void Popup(HWND foreground, int x, int y) override;
    // Runs the handler of the item with that command, as a choice in the menu does.
    bool RunCommand(UINT command);

private:
    std::vector<std::unique_ptr<TMenuItem>> items_;
};
