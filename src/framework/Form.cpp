#include "Form.h"

#include "Controls.h"
#include "Dpi.h"

namespace {
const char kFormClass[] = "TSkarnValeForm";
const wchar_t kFormClassW[] = L"TSkarnValeForm";
}

// The sizes and the font are 96-DPI ones, made at the DPI the form is created
// at: the system's.
TForm::TForm(const TFormOptions& options)
    : font_(CreateUiFont(options.fontName, ScaleToDpi(options.fontHeight, SystemDpi())))
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

bool TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && OnActivate)
            OnActivate();
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
