#include "Form.h"

#include "Controls.h"
#include "Container.h"
#include "Dpi.h"

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
      dpi_(SystemDpi())
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
}  // namespace

// The children are scaled from where they stand, not from their 96-DPI
// bounds: windows lay some out themselves (the mailboxes window's panes, the
// labels sized to their text), and those places are the truth to scale.
void TForm::ApplyDpi(UINT dpi, const RECT& frame)
{
    const UINT old = dpi_;
    dpi_ = dpi;
    TScopedFont previous = std::move(font_);
    font_ = CreateUiFont(fontName_.c_str(), ScaleToDpi(fontHeight_, dpi));
    std::vector<HWND> children;
    EnumChildWindows(Handle(), CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (old != dpi) {
            RECT place = {};
            GetWindowRect(child, &place);
            MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
            const auto scale = [old, dpi](LONG v) { return MulDiv(v, static_cast<int>(dpi), static_cast<int>(old)); };
            SetWindowPos(child, nullptr, scale(place.left), scale(place.top), scale(place.right) - scale(place.left),
                         scale(place.bottom) - scale(place.top), SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == previous.get())
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    SetWindowPos(Handle(), nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child : children) {
        const auto* container =
            dynamic_cast<const TContainer*>(reinterpret_cast<TWindowBase*>(GetWindowLongPtrW(GetParent(child), GWLP_USERDATA)));
        if (TControl* control = container ? container->ControlOf(child) : nullptr)
            control->DpiChanged();
        SendMessageW(child, kWmDpiChangedAfterParent, 0, 0);
    }
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
