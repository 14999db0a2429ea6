#include "Form.h"

#include "Controls.h"
#include "Container.h"
#include "Dpi.h"

#include <map>
#include <utility>
#include <vector>

namespace {
const char kFormClass[] = "TSkarnValeForm";
const wchar_t kFormClassW[] = L"TSkarnValeForm";
}

// The sizes and the font are 96-DPI ones, made at the DPI the form is created
// at: the system's.
TForm::TForm(const TFormOptions& options)
    : font_(CreateUiFont(options.fontName, ScaleToDpi(options.fontHeight, SystemDpi()))),
      fontName_(options.fontName),
      fontHeight_(options.fontHeight),
      dpi_(SystemDpi()),
      iconName_(options.iconName)
{
    RegisterClassOnce(kFormClass);
    const UINT dpi = SystemDpi();
    const RECT client = {0, 0, ScaleToDpi(options.clientWidth, dpi), ScaleToDpi(options.clientHeight, dpi)};
    const RECT frame = FrameForClient(client, options.style, options.exStyle, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (options.centred) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    CreateHandle(kFormClass, options.caption, options.style & ~WS_VISIBLE, options.exStyle, x, y, width, height,
                 options.owner);
    LoadIcons();
}

void TForm::LoadIcons()
{
    if (!iconName_)
        return;
    // The icons the window held are released only once it holds the new ones.
    TIcon nextSmall = TIcon::LoadSmall(iconName_, dpi_);
    TIcon nextLarge = TIcon::LoadLarge(iconName_, dpi_);
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(nextSmall.Handle()));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(nextLarge.Handle()));
    smallIcon_ = std::move(nextSmall);
    largeIcon_ = std::move(nextLarge);
}

TForm::~TForm() { DestroyHandle(); }

void TForm::Show() { ShowWindow(Handle(), SW_SHOW); }

void TForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

bool TForm::Visible() const { return IsWindowVisible(Handle()) != FALSE; }

void TForm::BringToFront()
{
    BringWindowToTop(Handle());
    SetForegroundWindow(Handle());
}

void TForm::FocusControl(TControl& control) { SetFocus(control.Handle()); }

std::string TForm::Caption() const { return GetWindowTextString(Handle()); }

void TForm::SetCaption(const std::string& text) { SetWindowTextString(Handle(), text); }

TForm* TForm::FromChild(HWND hwnd)
{
    HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (!root)
        return nullptr;
    wchar_t className[64] = {};
    GetClassNameW(root, className, 64);
    if (lstrcmpW(className, kFormClassW) != 0)
        return nullptr;
    return dynamic_cast<TForm*>(reinterpret_cast<TWindowBase*>(GetWindowLongPtrW(root, GWLP_USERDATA)));
}

UINT TForm::DpiOf(HWND hwnd)
{
    const TForm* form = FromChild(hwnd);
    return form ? form->Dpi() : WindowDpi(hwnd);
}

namespace {
BOOL CALLBACK CollectChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// The program's container (form, page, panel) behind `hwnd`, if it is one.
const TContainer* ContainerOf(HWND hwnd)
{
    return dynamic_cast<const TContainer*>(reinterpret_cast<TWindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
}

RECT PlaceInParent(HWND child)
{
    RECT place = {};
    GetWindowRect(child, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int ScaleBetween(int value, UINT from, UINT to)
{
    return MulDiv(value, static_cast<int>(to), static_cast<int>(from));
}
}  // namespace

// A child's origin and size are scaled from the ones it had when the form
// last found it moved or sized by someone else, at that DPI, so a round of
// DPI changes brings it back to the pixel. Windows lay some children out
// themselves (the mailboxes window's panes, labels sized to their text):
// such a new place is the one scaled from then on.
RECT TForm::ScaledPlace(HWND child, UINT old, UINT dpi, std::map<HWND, TChildPlace>& places) const
{
    const RECT now = PlaceInParent(child);
    const POINT origin = {now.left, now.top};
    const SIZE size = {now.right - now.left, now.bottom - now.top};
    TChildPlace place;
    const auto known = childPlaces_.find(child);
    if (known != childPlaces_.end())
        place = known->second;
    if (known == childPlaces_.end() || origin.x != place.placedOrigin.x || origin.y != place.placedOrigin.y) {
        place.origin = origin;
        place.originDpi = old;
    }
    if (known == childPlaces_.end() || size.cx != place.placedSize.cx || size.cy != place.placedSize.cy) {
        place.size = size;
        place.sizeDpi = old;
    }
    const int left = ScaleBetween(place.origin.x, place.originDpi, dpi);
    const int top = ScaleBetween(place.origin.y, place.originDpi, dpi);
    place.placedOrigin = {left, top};
    if (place.originDpi == place.sizeDpi) {
        // The far edges scaled as the near ones, so a child that ends where
        // its parent ends still does after rounding.
        place.placedSize = {ScaleBetween(place.origin.x + place.size.cx, place.originDpi, dpi) - left,
                            ScaleBetween(place.origin.y + place.size.cy, place.originDpi, dpi) - top};
    } else {
        place.placedSize = {ScaleBetween(place.size.cx, place.sizeDpi, dpi), ScaleBetween(place.size.cy, place.sizeDpi, dpi)};
    }
    places[child] = place;
    return RECT{left, top, left + place.placedSize.cx, top + place.placedSize.cy};
}

void TForm::ApplyDpi(UINT dpi, const RECT& frame)
{
    const UINT old = dpi_;
    dpi_ = dpi;
    changingDpi_ = true;
    TScopedFont previous = std::move(font_);
    font_ = CreateUiFont(fontName_.c_str(), ScaleToDpi(fontHeight_, dpi));
    std::vector<HWND> children;
    EnumChildWindows(Handle(), CollectChild, reinterpret_cast<LPARAM>(&children));
    if (old != dpi) {
        // Only the program's own children move: a control's inner windows
        // (a list's header, a tab control's arrows) and the pages, which
        // their page control fits, are placed by their owners. Every place
        // is worked out before any child moves: moving a pane may lay out
        // the children inside it.
        std::map<HWND, TChildPlace> places;
        std::vector<std::pair<HWND, RECT>> targets;
        for (HWND child : children)
            if (ContainerOf(GetParent(child)))
                targets.emplace_back(child, ScaledPlace(child, old, dpi, places));
        childPlaces_ = std::move(places);
        for (const auto& [child, to] : targets)
            SetWindowPos(child, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (HWND child : children) {
        if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == previous.get())
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    SetWindowPos(Handle(), nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LoadIcons();
    for (HWND child : children) {
        const TContainer* container = ContainerOf(GetParent(child));
        if (TControl* control = container ? container->ControlOf(child) : nullptr)
            control->DpiChanged();
        SendMessageW(child, kWmDpiChangedAfterParent, 0, 0);
    }
    changingDpi_ = false;
    if (OnDpiChanged)
        OnDpiChanged();
}

bool TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case kWmDpiChanged:
        // The suggested frame keeps the window where the user put it.
        ApplyDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && OnActivate)
            OnActivate();
        break;
    case WM_SHOWWINDOW:
        if (wParam && OnShow)
            OnShow();
        break;
    case WM_CLOSE:  // the close box hides the form; it lives until the program ends
        if (OnClose)
            OnClose();
        else
            Hide();
        result = 0;
        return true;
    }
    return TContainer::HandleMessage(message, wParam, lParam, result);
}
