#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/GdiScoped.h"
#include "system_fixture.h"
#include "widgets/BarMenus.h"

namespace {
// A 32-bit top-down picture to draw menu items into and read back.
class TTestCanvas {
public:
    TTestCanvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<DWORD*>(bits);
        selected_ = std::make_unique<TSelectObject>(dc_.Handle(), bitmap_.get());
        const RECT all = {0, 0, width, height};
        FillRect(dc_.Handle(), &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    HDC Handle() const { return dc_.Handle(); }
    // The pixel as a platform colour value (0x00BBGGRR).
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Rightmost column of the area holding a dark pixel; area.left - 1 when none.
    int RightmostDark(const RECT& area) const
    {
        int right = area.left - 1;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF p = Pixel(x, y);
                if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 200 && x > right)
                    right = x;
            }
        return right;
    }
    int CountPixels(const RECT& area, COLORREF colour) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += Pixel(x, y) == colour;
        return count;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    TScopedBitmap bitmap_;
    DWORD* bits_ = nullptr;
    TMemoryDC dc_;
    std::unique_ptr<TSelectObject> selected_;
};

MEASUREITEMSTRUCT Measure(TPopupMenu& menu, size_t index)
{
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = menu.ItemAt(index)->Command();
    measure.itemData = index;
    EXPECT_EQ(SendMessageA(menu.OwnerWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
    return measure;
}

void Draw(TPopupMenu& menu, size_t index, HDC dc, const RECT& rect, UINT state = 0)
{
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = menu.ItemAt(index)->Command();
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hDC = dc;
    draw.rcItem = rect;
    draw.itemData = index;
    EXPECT_EQ(SendMessageA(menu.OwnerWindow(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
}

// Measures every item, then draws them top to bottom as the platform does;
// answers each item's rectangle.
std::vector<RECT> DrawWholeMenu(TBcCustomBarPopupMenu& menu, TTestCanvas& canvas, int top = 0)
{
    menu.GetProtected().TotalHeight = 0;
    std::vector<RECT> rects;
    int y = top;
    for (size_t i = 0; i < menu.Items().size(); ++i) {
        const MEASUREITEMSTRUCT m = Measure(menu, i);
        rects.push_back(RECT{0, y, canvas.Width(), y + static_cast<int>(m.itemHeight)});
        y += static_cast<int>(m.itemHeight);
    }
    for (size_t i = 0; i < rects.size(); ++i)
        Draw(menu, i, canvas.Handle(), rects[i]);
    return rects;
}

class TSmallBarMenu : public TBcBarPopupMenu {
public:
    explicit TSmallBarMenu(std::vector<TMenuItemDef> items) : TBcBarPopupMenu(items)
    {
        for (const auto& item : Items())
            if (!item->IsSeparator())
                item->Caption = item->Name();
        Bar().SetWidth(21);
        Bar().SetGradientStart(clBlue);
        Bar().SetGradientEnd(clNavy);
    }
};

std::vector<TMenuItemDef> FourItems()
{
    return {{"First", -1, [] {}}, {"", -1, nullptr}, {"Second", -1, [] {}}, {"Quit", -1, [] {}}};
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EBarMenuError& error) {
        return error.what();
    }
    return "no error";
}
}  // namespace

TEST(BarMenuSettings, CreatedWithoutOwner_RefusedNamingTheClass)
{
    EXPECT_EQ(ErrorOf([] { TBcBar bar(nullptr); }), "Tried to create TBcBar with no owner.");
    EXPECT_EQ(ErrorOf([] { TBcBarBitmap bitmap(nullptr); }), "Tried to create TBcBarBitmap with no owner.");
    EXPECT_EQ(ErrorOf([] { TBcBarBackBitmap back(nullptr); }), "Tried to create TBcBarBackBitmap with no owner.");
    EXPECT_EQ(ErrorOf([] { TBcBarCaption caption(nullptr); }), "Tried to create TBcBarCaption with no owner.");
    EXPECT_EQ(ErrorOf([] { TBcBarProtected state(nullptr); }), "Tried to create TBcBarProtected with no owner.");
}

TEST(BarMenuSettings, GradientIndexOutsideThePair_Refused)
{
    TSmallBarMenu menu(FourItems());
    EXPECT_EQ(ErrorOf([&] { menu.Bar().Gradient(2); }), "Invalid property index 2.");
    EXPECT_EQ(ErrorOf([&] { menu.Bar().SetGradient(-1, clBlack); }), "Invalid property index -1.");
    menu.Bar().SetGradient(1, clWhite);
    EXPECT_EQ(menu.Bar().GradientEnd(), clWhite);
    EXPECT_EQ(menu.Bar().Gradient(0), clBlue);
}

TEST(BarMenuSettings, Defaults)
{
    TBcBarPopupMenu menu({{"Only", -1, nullptr}});
    const TBcBar& bar = menu.Bar();
    EXPECT_TRUE(menu.OwnerDraw);
    EXPECT_FALSE(menu.GetShortLines());
    EXPECT_EQ(bar.GradientStart(), 0xD8BDAFu);
    EXPECT_EQ(bar.GradientEnd(), clBlack);
    EXPECT_EQ(bar.Width(), 32);
    EXPECT_TRUE(bar.Visible());
    EXPECT_EQ(bar.Border(), clNone);
    EXPECT_EQ(bar.Space(), 1);
    EXPECT_EQ(bar.Side(), TSide::sLeft);
    EXPECT_EQ(bar.BarBitmap().VertAlignment(), TVertAlignment::vaBottom);
    EXPECT_EQ(bar.BarBitmap().HorzAlignment(), THorzAlignment::haCenter);
    EXPECT_FALSE(bar.BarBitmap().Transparent()) << "no picture, no transparency";
    EXPECT_EQ(bar.BarBackBitmap().VertAlignment(), TVertAlignment::vaTop);
    EXPECT_EQ(bar.BarBackBitmap().HorzAlignment(), THorzAlignment::haLeft);
    EXPECT_EQ(bar.BarBackBitmap().DrawStyle(), TDrawStyle::dsNormal);
    EXPECT_EQ(bar.BarCaption().OffsetY(), 6);
    EXPECT_EQ(bar.BarCaption().Alignment(), TVertAlignment::vaBottom);
    EXPECT_EQ(bar.BarCaption().Direction(), TDirection::dDownToUp);
    EXPECT_EQ(bar.BarCaption().Font().Name, "Tahoma");
    // Every item got the bar's handlers.
    EXPECT_TRUE(static_cast<bool>(menu.Items()[0]->OnMeasureItem));
    EXPECT_TRUE(static_cast<bool>(menu.Items()[0]->OnAdvancedDrawItem));
}

TEST(BarMenuSettings, PictureCopiedAndTransparentOnlyWithAPicture)
{
    TSmallBarMenu menu(FourItems());
    TBcBarBitmap& picture = menu.Bar().BarBitmap();
    picture.SetTransparent(true);
    EXPECT_FALSE(picture.Transparent());
    ASSERT_TRUE(picture.LoadFromResource("BAR_PIC"));
    EXPECT_TRUE(picture.Transparent()) << "a new picture starts transparent";
    EXPECT_EQ(picture.Size().cx, 16);
    EXPECT_EQ(picture.Size().cy, 16);
    picture.SetTransparent(false);
    EXPECT_FALSE(picture.Transparent());
    EXPECT_FALSE(picture.LoadFromResource("NO_SUCH_PICTURE"));
    EXPECT_FALSE(picture.Empty()) << "a missing resource leaves the picture as it was";

    TSmallBarMenu other(FourItems());
    other.Bar().BarBitmap().SetBitmap(picture.Bitmap());
    EXPECT_NE(other.Bar().BarBitmap().Bitmap(), picture.Bitmap()) << "assigning copies the picture";
    EXPECT_EQ(other.Bar().BarBitmap().Size().cx, 16);
    other.Bar().BarBitmap().SetBitmap(nullptr);
    EXPECT_TRUE(other.Bar().BarBitmap().Empty());
}

TEST(BarMenuSettings, AssignCopiesWidthGradientVisiblePictureAndCaptionOnly)
{
    TSmallBarMenu source(FourItems());
    source.Bar().SetWidth(40);
    source.Bar().SetVisible(false);
    source.Bar().SetBorder(clWhite);
    source.Bar().SetSpace(7);
    source.Bar().BarBitmap().LoadFromResource("BAR_PIC");
    source.Bar().BarCaption().SetCaption("Copied");
    source.Bar().BarCaption().SetOffsetY(11);
    source.Bar().BarCaption().SetAlignment(TVertAlignment::vaTop);

    TBcBarPopupMenu target({{"Only", -1, nullptr}});
    target.SetBar(source.Bar());
    const TBcBar& bar = target.Bar();
    EXPECT_EQ(bar.Width(), 40);
    EXPECT_EQ(bar.GradientStart(), clBlue);
    EXPECT_EQ(bar.GradientEnd(), clNavy);
    EXPECT_FALSE(bar.Visible());
    EXPECT_FALSE(bar.BarBitmap().Empty());
    EXPECT_EQ(bar.BarCaption().Caption(), "Copied");
    EXPECT_EQ(bar.BarCaption().OffsetY(), 11);
    // Not copied:
    EXPECT_EQ(bar.Border(), clNone);
    EXPECT_EQ(bar.Space(), 1);
    EXPECT_EQ(bar.BarCaption().Alignment(), TVertAlignment::vaBottom);
}

TEST(BarMenuMeasure, WidthGrowsByBarWidthAndSpace_HeightsAddUp)
{
    TSmallBarMenu menu(FourItems());
    const MEASUREITEMSTRUCT withBar = Measure(menu, 0);
    const int total = static_cast<int>(withBar.itemHeight + Measure(menu, 1).itemHeight + Measure(menu, 2).itemHeight +
                                       Measure(menu, 3).itemHeight);
    EXPECT_EQ(menu.GetProtected().TotalHeight, total);
    // Measuring again in the same pass does not count an item twice.
    Measure(menu, 0);
    EXPECT_EQ(menu.GetProtected().TotalHeight, total);

    menu.Bar().SetVisible(false);
    const MEASUREITEMSTRUCT withoutBar = Measure(menu, 0);
    EXPECT_EQ(withBar.itemWidth, withoutBar.itemWidth + 21 + 1);
    EXPECT_EQ(withBar.itemHeight, withoutBar.itemHeight);
    EXPECT_GT(withoutBar.itemWidth, 15u);
}

TEST(BarMenuMeasure, NoImageListAndShortLines_WidenItems)
{
    TSmallBarMenu menu(FourItems());
    const UINT plain = Measure(menu, 0).itemWidth;
    menu.SetShortLines(true);
    EXPECT_EQ(Measure(menu, 0).itemWidth, plain + 10);
    TImageList images({"MENU_QUIT"});
    menu.Images = &images;
    EXPECT_EQ(Measure(menu, 0).itemWidth, plain + 10 - 15);
}

TEST(BarMenuMeasure, Separators_TwelveHighFourteenWithAHintUnlessDisabled)
{
    TSmallBarMenu menu(FourItems());
    TMenuItem& separator = *menu.ItemAt(1);
    EXPECT_EQ(Measure(menu, 1).itemHeight, 12u);
    separator.Hint = "Mail";
    EXPECT_EQ(Measure(menu, 1).itemHeight, 14u);
    separator.SetEnabled(false);
    EXPECT_EQ(Measure(menu, 1).itemHeight, 12u);
}

TEST(BarMenuDraw, LeftBar_GradientColumnBlueToNavyAndItemsBesideIt)
{
    TSmallBarMenu menu(FourItems());
    TTestCanvas canvas(160, 120);
    const std::vector<RECT> rects = DrawWholeMenu(menu, canvas);
    const int total = menu.GetProtected().TotalHeight;
    ASSERT_EQ(total, rects.back().bottom);
    for (int y = 0; y < total; ++y)
        for (int x : {0, 10, 20})
            ASSERT_EQ(canvas.Pixel(x, y), GradientRowColor(clBlue, clNavy, y, total)) << x << "," << y;
    EXPECT_EQ(canvas.Pixel(0, 0), static_cast<COLORREF>(clBlue));
    // The one-pixel gap is left to the menu's own background; the items start after it.
    EXPECT_EQ(canvas.CountPixels(RECT{21, 0, 22, total}, RGB(128, 128, 128)), total);
    EXPECT_EQ(canvas.Pixel(22, 3), GetSysColor(COLOR_MENU));
    // Each caption is written beside the bar.
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    EXPECT_GT(canvas.CountPixels(RECT{22, rects[0].top, 160, rects[0].bottom}, text), 10);
    EXPECT_GT(canvas.CountPixels(RECT{22, rects[3].top, 160, rects[3].bottom}, text), 10);
    EXPECT_EQ(canvas.CountPixels(RECT{0, 0, 160, total}, text) -
                  canvas.CountPixels(RECT{22, 0, 160, total}, text),
              0);
}

TEST(BarMenuDraw, RightBar_ColumnAtTheRightEdgeAndItemsFromTheLeft)
{
    TSmallBarMenu menu(FourItems());
    menu.Bar().SetSide(TSide::sRight);
    TTestCanvas canvas(160, 120);
    const std::vector<RECT> rects = DrawWholeMenu(menu, canvas);
    const int total = menu.GetProtected().TotalHeight;
    EXPECT_EQ(canvas.Pixel(159, 0), static_cast<COLORREF>(clBlue));
    EXPECT_EQ(canvas.Pixel(139, total - 1), GradientRowColor(clBlue, clNavy, total - 1, total));
    EXPECT_EQ(canvas.Pixel(138, 0), RGB(128, 128, 128)) << "the gap";
    EXPECT_EQ(canvas.Pixel(137, 0), GetSysColor(COLOR_MENU));
    EXPECT_GT(canvas.CountPixels(RECT{0, rects[0].top, 30, rects[0].bottom}, GetSysColor(COLOR_MENUTEXT)), 5);
}

TEST(BarMenuDraw, MenuBelowAMargin_SlicesLineUpWithTheWholeBar)
{
    TSmallBarMenu menu(FourItems());
    TTestCanvas canvas(160, 120);
    const std::vector<RECT> rects = DrawWholeMenu(menu, canvas, 3);
    const int total = menu.GetProtected().TotalHeight;
    EXPECT_EQ(canvas.Pixel(5, 3), static_cast<COLORREF>(clBlue));
    EXPECT_EQ(canvas.Pixel(5, 2), RGB(128, 128, 128)) << "nothing above the first item";
    // A highlighted item redrawn alone copies its own slice.
    TTestCanvas again(160, 120);
    Draw(menu, 2, again.Handle(), rects[2], ODS_SELECTED);
    for (int y = rects[2].top; y < rects[2].bottom; ++y)
        ASSERT_EQ(again.Pixel(7, y), GradientRowColor(clBlue, clNavy, y - 3, total)) << y;
    EXPECT_EQ(again.Pixel(7, rects[2].top - 1), RGB(128, 128, 128));
    EXPECT_EQ(again.Pixel(100, rects[2].top + 1), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(BarMenuDraw, EqualGradientColours_OneFlatColour)
{
    TSmallBarMenu menu(FourItems());
    menu.Bar().SetGradientEnd(clBlue);
    TTestCanvas canvas(160, 120);
    DrawWholeMenu(menu, canvas);
    const int total = menu.GetProtected().TotalHeight;
    EXPECT_EQ(canvas.CountPixels(RECT{0, 0, 21, total}, RGB(0, 0, 0xFF)), 21 * total);
}

TEST(BarMenuDraw, BarPaintedOncePerSize_ThenReusedUntilTheSizeChanges)
{
    TSmallBarMenu menu(FourItems());
    int before = 0;
    int after = 0;
    menu.SetOnBeforeDrawBar([&](IBarMenu&, HDC, const RECT&, bool&) { ++before; });
    menu.SetOnAfterDrawBar([&](IBarMenu&, HDC, const RECT&) { ++after; });
    TTestCanvas canvas(160, 120);
    DrawWholeMenu(menu, canvas);
    DrawWholeMenu(menu, canvas);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    TTestCanvas reused(160, 120);
    DrawWholeMenu(menu, reused);
    EXPECT_EQ(reused.Pixel(3, 0), static_cast<COLORREF>(clBlue)) << "the reused image is copied slice by slice";

    menu.ItemAt(1)->Hint = "taller";
    DrawWholeMenu(menu, canvas);
    EXPECT_EQ(before, 2) << "a new height paints a new bar";
    menu.Bar().SetGradientStart(clWhite);
    DrawWholeMenu(menu, canvas);
    EXPECT_EQ(before, 3) << "a new colour paints a new bar";
}

TEST(BarMenuDraw, BeforeDrawClearingDefault_ReplacesTheBarAndAfterStillRuns)
{
    TSmallBarMenu menu(FourItems());
    RECT seen = {};
    bool afterRan = false;
    menu.SetOnBeforeDrawBar([&](IBarMenu& sender, HDC canvas, const RECT& rect, bool& defaultDraw) {
        EXPECT_EQ(&sender, static_cast<IBarMenu*>(&menu));
        seen = rect;
        TScopedBrush red(CreateSolidBrush(RGB(0xFF, 0, 0)));
        FillRect(canvas, &rect, red.get());
        defaultDraw = false;
    });
    menu.SetOnAfterDrawBar([&](IBarMenu&, HDC, const RECT&) { afterRan = true; });
    TTestCanvas canvas(160, 120);
    DrawWholeMenu(menu, canvas);
    const int total = menu.GetProtected().TotalHeight;
    EXPECT_EQ(seen.right, 21);
    EXPECT_EQ(seen.bottom, total);
    EXPECT_EQ(canvas.CountPixels(RECT{0, 0, 21, total}, RGB(0xFF, 0, 0)), 21 * total);
    EXPECT_TRUE(afterRan);
}

TEST(BarMenuDraw, HiddenBar_ItemsUseTheWholeWidthAndTheImageIsFreed)
{
    TSmallBarMenu menu(FourItems());
    TTestCanvas canvas(160, 120);
    DrawWholeMenu(menu, canvas);
    ASSERT_TRUE(menu.GetProtected().BarImage);
    menu.Bar().SetVisible(false);
    EXPECT_FALSE(menu.GetProtected().BarImage);
    TTestCanvas plain(160, 120);
    DrawWholeMenu(menu, plain);
    EXPECT_EQ(plain.CountPixels(RECT{0, 0, 21, 40}, RGB(0, 0, 0xFF)), 0);
    EXPECT_EQ(plain.Pixel(0, 0), GetSysColor(COLOR_MENU));
}

TEST(BarMenuDraw, CaptionAndPicture_DrawnInTheBarNearTheBottom)
{
    TSmallBarMenu menu({{"a", -1, nullptr}, {"b", -1, nullptr}, {"c", -1, nullptr}, {"d", -1, nullptr},
                        {"e", -1, nullptr}, {"f", -1, nullptr}, {"g", -1, nullptr}, {"h", -1, nullptr}});
    menu.Bar().BarCaption().SetCaption("SkarnVale");
    ASSERT_TRUE(menu.Bar().BarBitmap().LoadFromResource("BAR_PIC"));
    menu.Bar().BarBitmap().SetOffsetY(-2);
    TTestCanvas canvas(160, 200);
    DrawWholeMenu(menu, canvas);
    const int total = menu.GetProtected().TotalHeight;
    ASSERT_GT(total, 120);
    // White caption letters above the picture; none in the top rows.
    EXPECT_GT(canvas.CountPixels(RECT{0, 20, 21, total - 22}, RGB(0xFF, 0xFF, 0xFF)), 30);
    EXPECT_EQ(canvas.CountPixels(RECT{0, 0, 21, 10}, RGB(0xFF, 0xFF, 0xFF)), 0);
    // The picture sits 2 pixels from the left, its top 18 above the bottom;
    // its magenta background is transparent.
    const int pictureTop = total - 18;
    EXPECT_EQ(canvas.CountPixels(RECT{0, 0, 21, total}, RGB(0xFF, 0, 0xFF)), 0);
    EXPECT_EQ(canvas.Pixel(2, pictureTop + 5), RGB(0, 0, 0)) << "envelope outline at its top-left corner";
    EXPECT_EQ(canvas.Pixel(2, pictureTop), GradientRowColor(clBlue, clNavy, pictureTop, total));
    EXPECT_EQ(canvas.Pixel(3 + 2, pictureTop + 12), RGB(0xFF, 0xFF, 0xFF)) << "envelope paper";
}

TEST(BarMenuDraw, SeparatorHint_CentredInAGapOfTheLine_DisabledShowsOnlyTheLine)
{
    TSmallBarMenu menu(FourItems());
    menu.ItemAt(1)->Hint = "Mail";
    TTestCanvas canvas(200, 120);
    const std::vector<RECT> rects = DrawWholeMenu(menu, canvas);
    const RECT separator = rects[1];
    ASSERT_EQ(separator.bottom - separator.top, 14);
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    const RECT middle = {22 + 12, separator.top, 200 - 12, separator.bottom};
    const int letters = canvas.CountPixels(middle, text);
    EXPECT_GT(letters, 5);
    // Left and right of the text, the etched line runs 6 pixels below the top.
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(canvas.Pixel(22 + 14, separator.top + 6), shadow);
    EXPECT_EQ(canvas.Pixel(200 - 14, separator.top + 6), shadow);
    EXPECT_NE(canvas.Pixel(22 + (200 - 22) / 2, separator.top + 6), shadow) << "the text cuts the line";

    menu.ItemAt(1)->SetEnabled(false);
    TTestCanvas disabled(200, 120);
    const std::vector<RECT> plain = DrawWholeMenu(menu, disabled);
    ASSERT_EQ(plain[1].bottom - plain[1].top, 12);
    EXPECT_EQ(disabled.CountPixels(RECT{34, plain[1].top, 188, plain[1].bottom}, text), 0);
    EXPECT_EQ(disabled.Pixel(22 + (200 - 22) / 2, plain[1].top + 5), shadow);
}

TEST(BarMenuDraw, DefaultItemBoldCheckedMarkedGreyedInGrey)
{
    TSmallBarMenu menu(FourItems());
    TTestCanvas plain(200, 120);
    const std::vector<RECT> rects = DrawWholeMenu(menu, plain);
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    const RECT first = {22, rects[0].top, 200, rects[0].bottom};
    const int normalRight = plain.RightmostDark(first);
    ASSERT_GT(normalRight, 50);
    EXPECT_EQ(plain.CountPixels(RECT{22, rects[0].top, 44, rects[0].bottom}, text), 0) << "no check mark";

    menu.ItemAt(0)->SetDefault(true);
    menu.ItemAt(0)->SetChecked(true);
    menu.ItemAt(3)->SetEnabled(false);
    TTestCanvas marked(200, 120);
    const std::vector<RECT> again = DrawWholeMenu(menu, marked);
    EXPECT_GT(marked.RightmostDark(RECT{44, again[0].top, 200, again[0].bottom}), normalRight)
        << "the bold caption is wider";
    EXPECT_GT(marked.CountPixels(RECT{22, again[0].top, 44, again[0].bottom}, text), 5) << "check mark";
    const RECT quit = {22, again[3].top, 200, again[3].bottom};
    EXPECT_EQ(marked.CountPixels(quit, text), 0);
    EXPECT_GT(marked.CountPixels(quit, GetSysColor(COLOR_GRAYTEXT)), 5);
}

TEST(BarMenuKeyboard, MenuCharFindsTheItemWhoseCaptionMarksTheLetter)
{
    TSmallBarMenu menu(FourItems());
    menu.ItemAt(3)->Caption = "&Quit";
    menu.ItemAt(2)->Caption = "Fish && &Chips";
    TScopedMenu built = menu.BuildMenu();
    const LRESULT quit = SendMessageA(menu.OwnerWindow(), WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP),
                                      reinterpret_cast<LPARAM>(built.get()));
    EXPECT_EQ(HIWORD(quit), MNC_EXECUTE);
    EXPECT_EQ(LOWORD(quit), 3);
    const LRESULT chips = SendMessageA(menu.OwnerWindow(), WM_MENUCHAR, MAKEWPARAM('C', MF_POPUP),
                                       reinterpret_cast<LPARAM>(built.get()));
    EXPECT_EQ(HIWORD(chips), MNC_EXECUTE);
    EXPECT_EQ(LOWORD(chips), 2);
    const LRESULT none = SendMessageA(menu.OwnerWindow(), WM_MENUCHAR, MAKEWPARAM('z', MF_POPUP),
                                      reinterpret_cast<LPARAM>(built.get()));
    EXPECT_EQ(HIWORD(none), MNC_IGNORE);
}

namespace {
using TrayBarMenu = SystemTest;

// Drives the menu the platform shows: once it is up and its bar painted,
// notes its handle and posts the keys to it.
struct TMenuDriver {
    static std::vector<WPARAM> keys;
    static TBcBarProtected* drawing;
    static int shownItems;
    static int ownerDrawnItems;
    static bool pressed;

    static void Start(TBcBarProtected& state, std::vector<WPARAM> press)
    {
        drawing = &state;
        keys = std::move(press);
        shownItems = 0;
        ownerDrawnItems = 0;
        pressed = false;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND menuWindow = FindWindowA("#32768", nullptr);
        if (pressed || !menuWindow || !IsWindowVisible(menuWindow) || !drawing->Painted)
            return;
        pressed = true;
        HMENU shown = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        shownItems = GetMenuItemCount(shown);
        for (int i = 0; i < shownItems; ++i) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            if (GetMenuItemInfoA(shown, static_cast<UINT>(i), TRUE, &info) && (info.fType & MFT_OWNERDRAW))
                ++ownerDrawnItems;
        }
        for (WPARAM key : keys)
            PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
    }
};
std::vector<WPARAM> TMenuDriver::keys;
TBcBarProtected* TMenuDriver::drawing = nullptr;
int TMenuDriver::shownItems = 0;
int TMenuDriver::ownerDrawnItems = 0;
bool TMenuDriver::pressed = false;

// Opens the tray menu as a right click on the icon does; returns once it is closed.
void RightClickTrayIcon()
{
    TTBNArea& tray = ihmMain->utlTB;
    SendMessageA(tray.Handle(), tray.CallbackMessage(), 1, static_cast<LPARAM>(WM_RBUTTONDOWN));
}
}  // namespace

TEST_F(TrayBarMenu, TrayMenu_HasTheBlueToNavyBarWithPictureAndCaption)
{
    TBcBarPopupMenu& menu = ihmMain->mnpTB;
    const TBcBar& bar = menu.Bar();
    EXPECT_TRUE(menu.OwnerDraw);
    EXPECT_EQ(menu.Images, &ihmMain->utlImageList);
    EXPECT_EQ(bar.Width(), 21);
    EXPECT_EQ(bar.GradientStart(), clBlue);
    EXPECT_EQ(bar.GradientEnd(), clNavy);
    EXPECT_EQ(bar.BarBitmap().Size().cx, 16);
    EXPECT_EQ(bar.BarBitmap().Size().cy, 16);
    EXPECT_EQ(bar.BarBitmap().OffsetY(), -2);
    EXPECT_EQ(bar.BarBitmap().VertAlignment(), TVertAlignment::vaBottom);
    EXPECT_EQ(bar.BarCaption().Caption(), "SkarnVale");
    EXPECT_EQ(bar.BarCaption().Font().Name, "Arial Black");
    EXPECT_EQ(bar.BarCaption().Font().Height, -16);
    EXPECT_EQ(bar.BarCaption().Font().Color, clWhite);
}

TEST_F(TrayBarMenu, BuiltMenu_EveryItemOwnerDrawnAndKeepsItsCaption)
{
    TBcBarPopupMenu& menu = ihmMain->mnpTB;
    TScopedMenu built = menu.BuildMenu();
    ASSERT_EQ(GetMenuItemCount(built.get()), static_cast<int>(menu.Items().size()));
    for (size_t i = 0; i < menu.Items().size(); ++i) {
        const TMenuItem& item = *menu.Items()[i];
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoA(built.get(), static_cast<UINT>(i), TRUE, &info));
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, item.IsSeparator()) << i;
        EXPECT_EQ(info.dwItemData, i);
        if (item.IsSeparator())
            continue;
        EXPECT_EQ(info.wID, item.Command());
        char text[128] = {};
        GetMenuStringA(built.get(), static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(std::string(text), item.Caption) << i;
        EXPECT_FALSE(item.Caption.empty());
    }
}

TEST_F(TrayBarMenu, MeasureItem_AnswersWidthsThatInclude21PixelBarAndItsGap)
{
    TBcBarPopupMenu& menu = ihmMain->mnpTB;
    const size_t quit = menu.Items().size() - 1;
    const MEASUREITEMSTRUCT withBar = Measure(menu, quit);
    menu.Bar().SetVisible(false);
    const MEASUREITEMSTRUCT withoutBar = Measure(menu, quit);
    EXPECT_EQ(withBar.itemWidth - withoutBar.itemWidth, 22u);
    EXPECT_GE(withBar.itemHeight, 16u);
    EXPECT_EQ(Measure(menu, 1).itemHeight, 12u) << "a separator";
}

TEST_F(TrayBarMenu, TrayMenuDrawn_BarColumnBlueToNavyAndCaptionsBesideIt)
{
    TBcBarPopupMenu& menu = ihmMain->mnpTB;
    TTestCanvas canvas(220, 320);
    const std::vector<RECT> rects = DrawWholeMenu(menu, canvas);
    const int total = menu.GetProtected().TotalHeight;
    ASSERT_EQ(total, rects.back().bottom);
    EXPECT_EQ(canvas.Pixel(0, 0), static_cast<COLORREF>(clBlue));
    EXPECT_EQ(canvas.Pixel(20, 0), static_cast<COLORREF>(clBlue));
    // Above the caption, every row of the bar is its gradient step.
    for (int y = 0; y < total / 3; ++y)
        ASSERT_EQ(canvas.Pixel(0, y), GradientRowColor(clBlue, clNavy, y, total)) << y;
    EXPECT_EQ(canvas.Pixel(0, total - 1), GradientRowColor(clBlue, clNavy, total - 1, total));
    EXPECT_GT(canvas.CountPixels(RECT{0, total / 3, 21, total - 22}, RGB(0xFF, 0xFF, 0xFF)), 30) << "caption";
    // Quit, the last item, shows its caption and its picture beside the bar.
    const RECT quit = {22, rects.back().top, 220, rects.back().bottom};
    EXPECT_GT(canvas.CountPixels(quit, GetSysColor(COLOR_MENUTEXT)), 10);
    EXPECT_EQ(canvas.CountPixels(RECT{0, 0, 220, total}, RGB(0xFF, 0, 0xFF)), 0) << "picture drawn transparent";
}

TEST_F(TrayBarMenu, RealPopup_EscapeClosesWithoutCommand_UpReturnRunsQuitAndBarIsReused)
{
    TBcBarPopupMenu& menu = ihmMain->mnpTB;
    int paints = 0;
    menu.SetOnBeforeDrawBar([&](IBarMenu&, HDC, const RECT&, bool&) { ++paints; });
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, TMenuDriver::Tick);

    TMenuDriver::Start(menu.GetProtected(), {VK_ESCAPE});
    RightClickTrayIcon();
    ASSERT_TRUE(TMenuDriver::pressed) << "the menu showed and painted its bar";
    EXPECT_FALSE(ihmMain->Mail.QuitRequested);
    EXPECT_EQ(paints, 1);
    const int total = menu.GetProtected().TotalHeight;
    EXPECT_GT(total, 100);
    EXPECT_EQ(TMenuDriver::shownItems, static_cast<int>(menu.Items().size()));
    EXPECT_EQ(TMenuDriver::ownerDrawnItems, TMenuDriver::shownItems) << "every item shown is owner-drawn";

    {
        TMemoryDC image;
        TSelectObject selected(image.Handle(), menu.GetProtected().BarImage.get());
        EXPECT_EQ(GetPixel(image.Handle(), 0, 0), static_cast<COLORREF>(clBlue));
        EXPECT_EQ(GetPixel(image.Handle(), 20, total - 1), GradientRowColor(clBlue, clNavy, total - 1, total));
    }

    TMenuDriver::Start(menu.GetProtected(), {VK_UP, VK_RETURN});
    RightClickTrayIcon();
    KillTimer(nullptr, timer);
    ASSERT_TRUE(TMenuDriver::pressed);
    EXPECT_TRUE(ihmMain->Mail.QuitRequested) << "Up then Return chose Quit, the last item";
    EXPECT_EQ(paints, 1) << "the second popup of the same size reused the bar image";
    EXPECT_EQ(menu.GetProtected().TotalHeight, total);
}
