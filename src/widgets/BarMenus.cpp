// The bar menu's settings and the menu itself: creation, hooking the items
// and starting each popup's measuring pass.
#include "BarMenus.h"
#include "../framework/WideText.h"

#include <cstdio>

namespace {
IBarMenu* RequireOwner(IBarMenu* owner, const char* className)
{
    if (!owner) {
        char message[128];
        std::snprintf(message, sizeof message, "Tried to create %s with no owner.", className);
        throw EBarMenuError(message);
    }
    return owner;
}

void CheckGradientIndex(int index)
{
    if (index != 0 && index != 1) {
        char message[64];
        std::snprintf(message, sizeof message, "Invalid property index %d.", index);
        throw EBarMenuError(message);
    }
}

// Every setting change makes the next popup paint the bar anew.
void Invalidate(IBarMenu* owner) { owner->GetProtected().Painted = false; }
}  // namespace

TBcBarProtected::TBcBarProtected(IBarMenu* menu) : Menu(RequireOwner(menu, "TBcBarProtected")) {}

void TBcBarProtected::FreeBarImage()
{
    BarImage.reset();
    Painted = false;
}

TBcBarBitmap::TBcBarBitmap(IBarMenu* owner) : TBcBarBitmap(owner, "TBcBarBitmap") {}

TBcBarBitmap::TBcBarBitmap(IBarMenu* owner, const char* className) : owner_(RequireOwner(owner, className)) {}

void TBcBarBitmap::Changed() { Invalidate(owner_); }

void TBcBarBitmap::SetBitmap(HBITMAP picture)
{
    HBITMAP copy = picture ? static_cast<HBITMAP>(CopyImage(picture, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    if (!bitmap_)
        transparent_ = true;
    bitmap_.reset(copy);
    Changed();
}

bool TBcBarBitmap::LoadFromResource(const char* name, UINT dpi)
{
    TScopedBitmap loaded(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), Widen(name).c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (!loaded)
        return false;
    const SIZE size = BitmapSize(loaded.get());
    if (dpi != 96 && size.cx > 0 && size.cy > 0) {
        const int width = MulDiv(size.cx, static_cast<int>(dpi), 96);
        const int height = MulDiv(size.cy, static_cast<int>(dpi), 96);
        TScopedBitmap stretched(static_cast<HBITMAP>(CopyImage(loaded.get(), IMAGE_BITMAP, width, height, 0)));
        if (stretched)
            loaded = std::move(stretched);
    }
    if (!bitmap_)
        transparent_ = true;
    bitmap_ = std::move(loaded);
    Changed();
    return true;
}

void TBcBarBitmap::SetOffsetX(int value)
{
    offsetX_ = value;
    Changed();
}

void TBcBarBitmap::SetOffsetY(int value)
{
    offsetY_ = value;
    Changed();
}

void TBcBarBitmap::SetVertAlignment(TVertAlignment value)
{
    vert_ = value;
    Changed();
}

void TBcBarBitmap::SetHorzAlignment(THorzAlignment value)
{
    horz_ = value;
    Changed();
}

void TBcBarBitmap::SetTransparent(bool value)
{
    // Transparency belongs to the picture: without one there is nothing to set.
    if (!bitmap_)
        return;
    transparent_ = value;
    Changed();
}

TBcBarBackBitmap::TBcBarBackBitmap(IBarMenu* owner) : TBcBarBitmap(owner, "TBcBarBackBitmap")
{
    vert_ = TVertAlignment::vaTop;
    horz_ = THorzAlignment::haLeft;
}

void TBcBarBackBitmap::SetDrawStyle(TDrawStyle value)
{
    drawStyle_ = value;
    Changed();
}

TBcBarCaption::TBcBarCaption(IBarMenu* owner) : owner_(RequireOwner(owner, "TBcBarCaption")) {}

void TBcBarCaption::Changed() { Invalidate(owner_); }

void TBcBarCaption::Assign(const TBcBarCaption& source)
{
    font_ = source.font_;
    caption_ = source.caption_;
    offsetY_ = source.offsetY_;
    Changed();
}

void TBcBarCaption::SetCaption(const std::string& value)
{
    caption_ = value;
    Changed();
}

void TBcBarCaption::SetFont(const TBarFont& value)
{
    font_ = value;
    Changed();
}

void TBcBarCaption::SetOffsetY(int value)
{
    offsetY_ = value;
    Changed();
}

void TBcBarCaption::SetAlignment(TVertAlignment value)
{
    alignment_ = value;
    Changed();
}

void TBcBarCaption::SetDirection(TDirection value)
{
    direction_ = value;
    Changed();
}

TBcBar::TBcBar(IBarMenu* owner)
    : owner_(RequireOwner(owner, "TBcBar")), barBackBitmap_(owner), barBitmap_(owner), barCaption_(owner)
{
}

void TBcBar::Changed() { Invalidate(owner_); }

void TBcBar::Assign(const TBcBar& source)
{
    if (&source == this)
        return;
    width_ = source.width_;
    gradient_[0] = source.gradient_[0];
    gradient_[1] = source.gradient_[1];
    SetVisible(source.visible_);
    barBitmap_.SetBitmap(source.barBitmap_.Bitmap());
    barCaption_.Assign(source.barCaption_);
    Changed();
}

TColor TBcBar::Gradient(int index) const
{
    CheckGradientIndex(index);
    return gradient_[index];
}

void TBcBar::SetGradient(int index, TColor value)
{
    CheckGradientIndex(index);
    gradient_[index] = value;
    Changed();
}

void TBcBar::SetWidth(int value)
{
    width_ = value;
    Changed();
}

void TBcBar::SetVisible(bool value)
{
    visible_ = value;
    if (!visible_)
        owner_->GetProtected().FreeBarImage();
    Changed();
}

void TBcBar::SetBorder(TColor value)
{
    border_ = value;
    Changed();
}

void TBcBar::SetSpace(int value)
{
    space_ = value;
    Changed();
}

void TBcBar::SetSide(TSide value)
{
    side_ = value;
    Changed();
}

TBcCustomBarPopupMenu::TBcCustomBarPopupMenu(const std::vector<TMenuItemDef>& items)
    : TPopupMenu(items),
      protected_(std::make_unique<TBcBarProtected>(this)),
      bar_(std::make_unique<TBcBar>(this))
{
    OwnerDraw = true;
    MenuChanged(nullptr, true);
}

TBcCustomBarPopupMenu::~TBcCustomBarPopupMenu() = default;

void TBcCustomBarPopupMenu::MenuChanged(TMenuItem* source, bool rebuild)
{
    TPopupMenu::MenuChanged(source, rebuild);
    HookItems(*this, source);
    if (rebuild) {
        protected_->TotalHeight = 0;
        protected_->Painted = false;
    }
}

void TBcCustomBarPopupMenu::Popup(HWND foreground, int x, int y)
{
    // The menu is built anew for every popup, so the platform measures every
    // item again before drawing any: the heights are summed from zero.
    protected_->TotalHeight = 0;
    protected_->ItemHeights.assign(Items().size(), 0);
    TPopupMenu::Popup(foreground, x, y);
}

void HookItems(TPopupMenu& menu, TMenuItem* source)
{
    auto hook = [](TMenuItem& item) {
        if (!item.OnMeasureItem)
            item.OnMeasureItem = MeasureBarItem;
        if (!item.OnDrawItem && !item.OnAdvancedDrawItem)
            item.OnAdvancedDrawItem = DrawBarItem;
    };
    if (source) {
        hook(*source);
        return;
    }
    for (const auto& item : menu.Items())
        hook(*item);
}
