// A page control: tabs along the top and one sheet per tab; only the sheet of
// the selected tab is shown. Sheets hold their page's controls.
#pragma once

#include "Container.h"
#include "Controls.h"

#include <memory>
#include <vector>

class TPageControl;

class TTabSheet : public TContainer {
public:
    TTabSheet(TPageControl& owner, const std::string& caption);
    HFONT Font() const override;
    void SetCaption(const std::string& caption);

private:
    TPageControl& owner_;
    int index_;
};

class TPageControl : public TControl {
public:
    TPageControl(TContainer& parent, const TBounds& bounds);
    // The font of the form, whichever DPI it was made for.
    HFONT Font() const { return parent_.Font(); }
    int PageCount() const { return static_cast<int>(sheets_.size()); }
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);

private:
    friend class TTabSheet;
    int AddSheet(TTabSheet* sheet, const std::string& caption);
    RECT DisplayArea() const;
    bool HandleNotify(const NMHDR& header) override;
    // The tabs took the new font's height: the sheets fit the display area again.
    void DpiChanged() override { FitSheets(); }
    void FitSheets();

    TContainer& parent_;
    std::vector<TTabSheet*> sheets_;
};

// Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down and Ctrl+Page Up in `form`: shows
// the next or previous page of its page control and focuses that page's first
// control. False when the key is none of these or the form has no pages.
bool SwitchPageByKey(HWND form, UINT message, WPARAM key);
