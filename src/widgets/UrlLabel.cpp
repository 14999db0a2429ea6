#include "UrlLabel.h"

#include "../framework/CanvasText.h"
#include "../framework/Dpi.h"
#include "../framework/GdiScoped.h"
#include "../framework/WideText.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {
const char kUrlLabelClass[] = "Tk7tUrlLabel";

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool SystemHasFont(const char* faceName)
{
    TWindowDC screen;
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, Widen(faceName).c_str(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(screen.Handle(), &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

TTTOOLINFOW ToolFor(HWND label)
{
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(label);
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    return tool;
}
}  // namespace

std::function<void(const std::string&)> Tk7tUrlLabel::ShellOpen = Tk7tUrlLabel::ShellOpenDefault;

void Tk7tUrlLabel::ShellOpenDefault(const std::string& url)
{
    // The shell's answer is not examined: a link that opens nothing is not an error here.
    ShellExecuteW(GetDesktopWindow(), L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Tk7tUrlLabel::Tk7tUrlLabel(TContainer& parent, int left, int top, const std::string& caption)
    : TGraphicControl(parent, kUrlLabelClass, TBounds{left, top, 0, 0}),
      fontName_(SystemHasFont("Verdana") ? "Verdana" : "Arial")
{
    RebuildFont();

    INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent.Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_) {
        TTTOOLINFOW tool = ToolFor(Handle());
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SetCaption(caption);
}

Tk7tUrlLabel::~Tk7tUrlLabel()
{
    if (tooltip_ && IsWindow(tooltip_))
        DestroyWindow(tooltip_);
}

void Tk7tUrlLabel::SetCaption(const std::string& text)
{
    SetText(text);
    FitToCaption();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Tk7tUrlLabel::FitToCaption()
{
    TWindowDC dc(Handle());
    TSelectObject select(dc.Handle(), font_.get());
    const std::string text = Text();
    SIZE size = CanvasTextExtent(dc.Handle(), text);
    if (size.cy == 0) {
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc.Handle(), &metrics);
        size.cy = metrics.tmHeight;
    }
    SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tk7tUrlLabel::SetDetectMouse(bool value)
{
    detectMouse_ = value;
    // Without the highlight the label says it is a link by staying underlined.
    underline_ = !value;
    RebuildFont();
}

void Tk7tUrlLabel::SetShowUrlHint(bool value)
{
    showUrlHint_ = value;
    SetHint(HintForShowUrlHint(value, hint_, FullUrl()));
}

void Tk7tUrlLabel::SetURL(const std::string& value)
{
    url_ = value;
    RefreshHintFromUrl();
}

void Tk7tUrlLabel::SetMailSubject(const std::string& value)
{
    mailSubject_ = value;
    RefreshHintFromUrl();
}

void Tk7tUrlLabel::SetMailBody(const std::string& value)
{
    mailBody_ = value;
    RefreshHintFromUrl();
}

void Tk7tUrlLabel::RefreshHintFromUrl()
{
    if (showUrlHint_)
        SetHint(FullUrl());
}

std::string Tk7tUrlLabel::FullUrl() const
{
    TUrlParts parts;
    parts.type = URLType;
    parts.customPrefix = CustomURLType;
    parts.url = url_;
    parts.mailSubject = mailSubject_;
    parts.mailBody = mailBody_;
    return ComposeFullUrl(parts);
}

void Tk7tUrlLabel::OpenUrl()
{
    if (ShellOpen)
        ShellOpen(FullUrl());
}

void Tk7tUrlLabel::SetHint(const std::string& text)
{
    hint_ = text;
    if (!tooltip_)
        return;
    TTTOOLINFOW tool = ToolFor(Handle());
    // The tooltip keeps a copy of the text.
    std::wstring wide = Widen(hint_);
    tool.lpszText = &wide[0];
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tk7tUrlLabel::SetFontColor(COLORREF color)
{
    fontColor_ = color;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Tk7tUrlLabel::SetFontName(const std::string& name)
{
    fontName_ = name;
    RebuildFont();
}

void Tk7tUrlLabel::RebuildFont()
{
    // The height is a 96-DPI one, drawn at the label's DPI; the default
    // character set, so the system links in the glyphs the face lacks.
    font_.reset(CreateFontW(ScaleToDpi(fontHeight_, WindowDpi(Handle())), 0, 0, 0, bold_ ? FW_BOLD : FW_NORMAL, italic_,
                            underline_, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, Widen(fontName_).c_str()));
    FitToCaption();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Tk7tUrlLabel::MouseEntered()
{
    hovered_ = true;
    if (detectMouse_) {
        fontColor_ = ActiveColor;
        bold_ = italic_ = false;
        underline_ = true;
        RebuildFont();
    }
    if (OnMouseEnter)
        OnMouseEnter();
}

void Tk7tUrlLabel::MouseLeft()
{
    hovered_ = false;
    if (detectMouse_) {
        fontColor_ = InactiveColor;
        bold_ = italic_ = underline_ = false;
        RebuildFont();
    }
    if (OnMouseLeave)
        OnMouseLeave();
}

void Tk7tUrlLabel::Paint(HDC dc)
{
    RECT client = {};
    GetClientRect(Handle(), &client);
    TScopedBrush background(CreateSolidBrush(ParentColor()));
    FillRect(dc, &client, background.get());
    TSelectObject select(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? fontColor_ : GetSysColor(COLOR_GRAYTEXT));
    const std::string text = Text();
    DrawCanvasText(dc, text, client, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

bool Tk7tUrlLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (!hovered_) {
            // Ask for the leave notice once per visit.
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
            MouseEntered();
        }
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        if (hovered_)
            MouseLeft();
        result = 0;
        return true;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
            result = TRUE;
            return true;
        }
        break;
    case WM_LBUTTONUP:
        // Opening the address is the whole click: the ordinary click event stays silent.
        OpenUrl();
        result = 0;
        return true;
    }
    return TGraphicControl::HandleMessage(message, wParam, lParam, result);
}
