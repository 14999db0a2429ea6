#include "ihmVideo.h"

#include "../framework/Files.h"
#include "../settings/Settings.h"

TihmVideo* ihmVideo = nullptr;

namespace {
const DWORD kBorderStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
const DWORD kNoBorderStyle = WS_POPUP;
// A tool window in both looks, so the clip never gets a task-bar button.
const DWORD kExStyle = WS_EX_TOOLWINDOW;

TFormOptions VideoFormOptions()
{
    TFormOptions options;
    options.caption = "";
    options.clientWidth = 264;
    options.clientHeight = 187;
    options.style = kBorderStyle;
    options.exStyle = kExStyle;
    options.centred = false;
    return options;
}

RECT WindowBounds(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    return r;
}
}  // namespace

TihmVideo::TihmVideo() : TForm(VideoFormOptions()), utlVideo(*this, 0, 0)
{
    OnKeyDown = [this](WPARAM key) { return FormKeyDown(key); };
    MoveTo(DefaultLeft, DefaultTop);
}

void TihmVideo::Connect(TSettings& settings)
{
    settings_ = &settings;
    ReportPlace();
}

void TihmVideo::ReportPlace()
{
    if (!settings_)
        return;
    const RECT bounds = WindowBounds(Handle());
    settings_->VideoTop = bounds.top;
    settings_->VideoLeft = bounds.left;
}

void TihmVideo::ShowEmailVideo(const std::string& videoFile, bool noBorder)
{
    if (!FileExists(videoFile) || Visible())
        return;
    utlVideo.SetFileName(videoFile);
    utlVideo.SetActive(true);
    ApplyBorder(noBorder);
    const int w = utlVideo.Width();
    const int h = utlVideo.Height();
    int width = w, height = h;
    if (!noBorder) {
        const int frame = GetSystemMetrics(SM_CXFRAME);
        const int caption = GetSystemMetrics(SM_CYSMCAPTION);
        width = w + 2 * frame - 2;
        height = h + caption + 2 * frame - 2;
    }
    SetWindowPos(Handle(), HWND_TOP, 0, 0, width, height, SWP_NOMOVE | SWP_FRAMECHANGED);
    Show();
    BringToFront();
}

void TihmVideo::ApplyBorder(bool noBorder)
{
    SetWindowLongPtrW(Handle(), GWL_STYLE, static_cast<LONG_PTR>(noBorder ? kNoBorderStyle : kBorderStyle));
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, static_cast<LONG_PTR>(kExStyle));
}

int TihmVideo::Left() const { return WindowBounds(Handle()).left; }

int TihmVideo::Top() const { return WindowBounds(Handle()).top; }

void TihmVideo::SetLeft(int value) { MoveTo(value, Top()); }

void TihmVideo::SetTop(int value) { MoveTo(Left(), value); }

void TihmVideo::PlaceFrom(const TSettings& settings) { MoveTo(settings.VideoLeft, settings.VideoTop); }

void TihmVideo::MoveTo(int left, int top)
{
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ReportPlace();
}

void TihmVideo::FormClick() { Hide(); }

bool TihmVideo::FormKeyDown(WPARAM key)
{
    if (key != VK_ESCAPE)
        return false;
    Hide();
    return true;
}

bool TihmVideo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_LBUTTONUP:  // the clip lets clicks through to the window
        FormClick();
        result = 0;
        return true;
    case WM_WINDOWPOSCHANGED:
    case WM_CLOSE:
        ReportPlace();
        break;
    case WM_SHOWWINDOW:
        // A hidden clip would go on decoding frames nobody sees; it keeps its
        // file and starts again at the next showing.
        if (!wParam)
            utlVideo.SetActive(false);
        break;
    }
    return TForm::HandleMessage(message, wParam, lParam, result);
}
