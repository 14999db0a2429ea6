// A popup menu whose items sit beside a vertical side bar: a colour gradient
// with an optional background picture, a border, a small picture and a
// caption written vertically. The items stay the framework's owner-drawn
// menu items; the bar menu adds the bar, the separators and the measuring.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../framework/Font.h"
#include "../framework/GdiScoped.h"
#include "../framework/PopupMenu.h"
#include "BarMenusLayout.h"

class IBarMenu;
class TBcBar;
class TBcBarProtected;
class TBcCustomBarPopupMenu;

// A bar setting refused: no owning menu, or an index that names no property.
class EBarMenuError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Before the bar image is painted: clear `defaultDraw` to paint it yourself.
using TOnBeforeDrawBarEvent =
    std::function<void(IBarMenu& sender, HDC canvas, const RECT& rect, bool& defaultDraw)>;
// After the bar image was painted and copied into the menu.
using TOnAfterDrawBarEvent = std::function<void(IBarMenu& sender, HDC canvas, const RECT& rect)>;

// Drawing state of one menu: the measured height of the current popup and
// the bar image painted for it.
class TBcBarProtected {
public:
    explicit TBcBarProtected(IBarMenu* menu);

    IBarMenu* Menu;
    // Sum of the measured heights of the items on the bar in this popup.
    int TotalHeight = 0;
    // The whole bar, Bar.Width x TotalHeight; made on first use.
    TScopedBitmap BarImage;
    // BarImage holds a finished bar for the current size.
    bool Painted = false;
    // Measured height of each item on the bar, by item position: where each
    // item's slice of the bar image starts.
    std::vector<int> ItemHeights;

    void FreeBarImage();
};

// A picture of the bar and where it sits.
class TBcBarBitmap {
public:
    explicit TBcBarBitmap(IBarMenu* owner);
    virtual ~TBcBarBitmap() = default;
    TBcBarBitmap(const TBcBarBitmap&) = delete;
    TBcBarBitmap& operator=(const TBcBarBitmap&) = delete;

    HBITMAP Bitmap() const { return bitmap_.get(); }
    // Keeps a copy of `picture`; null frees the held picture.
    void SetBitmap(HBITMAP picture);
    // Takes the bitmap resource of the program's own module, a 96-DPI
    // picture stretched to `dpi`; false when missing.
    bool LoadFromResource(const char* name, UINT dpi = 96);
    bool Empty() const { return !bitmap_; }
    SIZE Size() const { return BitmapSize(bitmap_.get()); }

    int OffsetX() const { return offsetX_; }
    void SetOffsetX(int value);
    int OffsetY() const { return offsetY_; }
    void SetOffsetY(int value);
    TVertAlignment VertAlignment() const { return vert_; }
    void SetVertAlignment(TVertAlignment value);
    THorzAlignment HorzAlignment() const { return horz_; }
    void SetHorzAlignment(THorzAlignment value);
    // The picture's own transparency: false while there is no picture; a new
    // picture starts transparent. Its transparent colour is its bottom-left pixel.
    bool Transparent() const { return bitmap_ && transparent_; }
    void SetTransparent(bool value);

protected:
    TBcBarBitmap(IBarMenu* owner, const char* className);
    void Changed();

    IBarMenu* owner_;
    TVertAlignment vert_ = TVertAlignment::vaBottom;
    THorzAlignment horz_ = THorzAlignment::haCenter;

private:
    TScopedBitmap bitmap_;
    int offsetX_ = 0;
    int offsetY_ = 0;
    bool transparent_ = true;
};

// The picture behind the bar, drawn once, tiled or stretched.
class TBcBarBackBitmap : public TBcBarBitmap {
public:
    explicit TBcBarBackBitmap(IBarMenu* owner);

    TDrawStyle DrawStyle() const { return drawStyle_; }
    void SetDrawStyle(TDrawStyle value);

private:
    TDrawStyle drawStyle_ = TDrawStyle::dsNormal;
};

// The text written along the bar.
class TBcBarCaption {
public:
    explicit TBcBarCaption(IBarMenu* owner);
    TBcBarCaption(const TBcBarCaption&) = delete;
    TBcBarCaption& operator=(const TBcBarCaption&) = delete;

    // Copies the font, the text and the offset.
    void Assign(const TBcBarCaption& source);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    const TBarFont& Font() const { return font_; }
    void SetFont(const TBarFont& value);
    int OffsetY() const { return offsetY_; }
    void SetOffsetY(int value);
    TVertAlignment Alignment() const { return alignment_; }
    void SetAlignment(TVertAlignment value);
    TDirection Direction() const { return direction_; }
    void SetDirection(TDirection value);

private:
    void Changed();

    IBarMenu* owner_;
    std::string caption_;
    TBarFont font_;
    int offsetY_ = 6;
    TVertAlignment alignment_ = TVertAlignment::vaBottom;
    TDirection direction_ = TDirection::dDownToUp;
};

// The bar's settings.
class TBcBar {
public:
    explicit TBcBar(IBarMenu* owner);
    TBcBar(const TBcBar&) = delete;
    TBcBar& operator=(const TBcBar&) = delete;

    // Copies the width, both gradient colours, Visible, the picture and the caption.
    void Assign(const TBcBar& source);

    // The gradient colours as one indexed pair: 0 the top, 1 the bottom.
    TColor Gradient(int index) const;
    void SetGradient(int index, TColor value);
    TColor GradientStart() const { return Gradient(0); }
    void SetGradientStart(TColor value) { SetGradient(0, value); }
    TColor GradientEnd() const { return Gradient(1); }
    void SetGradientEnd(TColor value) { SetGradient(1, value); }

    int Width() const { return width_; }
    void SetWidth(int value);
    bool Visible() const { return visible_; }
    // Hiding the bar also frees its image.
    void SetVisible(bool value);
    TColor Border() const { return border_; }
    void SetBorder(TColor value);
    int Space() const { return space_; }
    void SetSpace(int value);
    TSide Side() const { return side_; }
    void SetSide(TSide value);

    TBcBarBackBitmap& BarBackBitmap() { return barBackBitmap_; }
    const TBcBarBackBitmap& BarBackBitmap() const { return barBackBitmap_; }
    TBcBarBitmap& BarBitmap() { return barBitmap_; }
    const TBcBarBitmap& BarBitmap() const { return barBitmap_; }
    TBcBarCaption& BarCaption() { return barCaption_; }
    const TBcBarCaption& BarCaption() const { return barCaption_; }

private:
    void Changed();

    IBarMenu* owner_;
    TColor gradient_[2] = {0xD8BDAF, clBlack};
    int width_ = 32;
    bool visible_ = true;
    TBcBarBackBitmap barBackBitmap_;
    TBcBarBitmap barBitmap_;
    TBcBarCaption barCaption_;
    TColor border_ = clNone;
    int space_ = 1;
    TSide side_ = TSide::sLeft;
};

// The bar logic a menu offers its item handlers, whichever bar menu it is.
class IBarMenu {
public:
    virtual TBcBar& GetBar() = 0;
    virtual TBcBarProtected& GetProtected() = 0;
    virtual bool GetShortLines() const = 0;
    virtual void SetShortLines(bool value) = 0;
    virtual const TOnBeforeDrawBarEvent& GetOnBeforeDrawBar() const = 0;
    virtual void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent value) = 0;
    virtual const TOnAfterDrawBarEvent& GetOnAfterDrawBar() const = 0;
    virtual void SetOnAfterDrawBar(TOnAfterDrawBarEvent value) = 0;
    // The framework menu behind the bar.
    virtual TPopupMenu& GetMenu() = 0;

protected:
    ~IBarMenu() = default;
};

class TBcCustomBarPopupMenu : public TPopupMenu, public IBarMenu {
public:
    explicit TBcCustomBarPopupMenu(const std::vector<TMenuItemDef>& items);
    ~TBcCustomBarPopupMenu() override;

    TBcBar& Bar() { return *bar_; }
    // Copies `source` into the menu's own bar.
    void SetBar(const TBcBar& source) { bar_->Assign(source); }

    TBcBar& GetBar() override { return *bar_; }
    TBcBarProtected& GetProtected() override { return *protected_; }
    bool GetShortLines() const override { return shortLines_; }
    void SetShortLines(bool value) override { shortLines_ = value; }
    const TOnBeforeDrawBarEvent& GetOnBeforeDrawBar() const override { return onBeforeDrawBar_; }
    void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent value) override { onBeforeDrawBar_ = std::move(value); }
    const TOnAfterDrawBarEvent& GetOnAfterDrawBar() const override { return onAfterDrawBar_; }
    void SetOnAfterDrawBar(TOnAfterDrawBarEvent value) override { onAfterDrawBar_ = std::move(value); }
    TPopupMenu& GetMenu() override { return *this; }

    // A new measuring pass starts: the popup's items add their heights afresh.
    void Popup(HWND foreground, int x, int y) override;

protected:
    void MenuChanged(TMenuItem* source, bool rebuild) override;

private:
    std::unique_ptr<TBcBarProtected> protected_;
    std::unique_ptr<TBcBar> bar_;
    TOnBeforeDrawBarEvent onBeforeDrawBar_;
    TOnAfterDrawBarEvent onAfterDrawBar_;
    bool shortLines_ = false;
};

class TBcBarPopupMenu : public TBcCustomBarPopupMenu {
public:
    using TBcCustomBarPopupMenu::TBcCustomBarPopupMenu;
};

// Gives `source`, or every item of `menu` when null, the bar's measuring and
// drawing unless the item has handlers of its own.
void HookItems(TPopupMenu& menu, TMenuItem* source);
// The bar's item handlers.
void MeasureBarItem(TMenuItem& item, HDC canvas, int& width, int& height);
void DrawBarItem(TMenuItem& item, HDC canvas, const RECT& rect, UINT state);
// A separator line, with `text` centred in a gap of it when not empty.
void DrawSeparator(TMenuItem& item, const std::string& text, HDC canvas, bool shortLines, UINT state, RECT rect);
// Paints the whole bar (gradient, back picture, border, picture, caption)
// into `canvas`, Bar.Width x TotalHeight.
void PaintBar(IBarMenu& menu, HDC canvas);
void DrawGradient(HDC canvas, const RECT& rect, TColor start, TColor end, int totalHeight);
void DrawBarCaption(IBarMenu& menu, HDC canvas);
// A copy of the caption font turned a quarter: reading upwards for
// dDownToUp, downwards for dUpToDown.
TScopedFont CreateRotatedFont(const TBarFont& font, TDirection direction);
// The platform colour of a colour that may name a system colour.
COLORREF ColorToRGB(TColor color);
