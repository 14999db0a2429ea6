#include "ihmAppList.h"

#include "../app/FileErrorBox.h"
#include "../app/unitGlobal.h"
#include "../app/unitLanguage.h"
#include "../framework/Dialogs.h"
#include "../model/unitProcessKillFile.h"
#include "../model/unitProcessShell.h"
#include "../model/unitProcessWindows.h"

#include <algorithm>

TihmAppList* ihmAppList = nullptr;

namespace {
TFormOptions AppListFormOptions()
{
    TFormOptions options;
    options.caption = "Windows lists";
    options.clientWidth = 412;
    options.clientHeight = 405;
    options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    options.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    options.owner = GetDesktopWindow();
    options.fontName = "Arial";
    options.fontHeight = -11;
    return options;
}

void ApplyWindowsListTexts(TihmAppList& form, TLanguage language)
{
    WriteRows(WindowsListTexts(),
              {{"Caption", [&form](const std::string& text) { form.SetCaption(text); }},
               {"lblCurrentProcess", [&form](const std::string& text) { form.lblCurrentProcess.SetCaption(text); }},
               {"lblSelectedProcess", [&form](const std::string& text) { form.lblSelectedProcess.SetCaption(text); }},
               {"lblNumber", [&form](const std::string& text) { form.lblNumber.SetCaption(text); }},
               {"lblEvents", [&form](const std::string& text) { form.SetEventsText(text); }}},
              language);
}
}  // namespace

TihmAppList::TihmAppList()
    : TForm(AppListFormOptions()),
      pnlConteneur(*this, {0, 0, 412, 405}),
      zdsCurrentProcess(*this, {16, 29, 377, 153}, 14),
      lblCurrentProcess(*this, {16, 13, 0, 0}, "Active windows list"),
      lblSelectedProcess(*this, {16, 197, 0, 0}, "Selected windows list"),
      utlSeparateur(*this, {16, 189, 377, 2}),
      zdsSelectedProcess(*this, {16, 213, 377, 153}, 14),
      lblNumber(*this, {240, 376, 128, 14}, "Windows number : ", SS_RIGHT),
      zdsNumber(*this, {376, 376, 0, 0}, "000"),
      lblEvents(*this, {16, 376, 220, 14}, "")
{
    ApplyWindowsListTexts(*this, TLanguage::English);
    // Through the global reference: it is cleared when the system's dialog goes,
    // and dialogs made on their own are left alone.
    SetTextApplier(TTextWindow::WindowsList, [](TLanguage language) {
        if (ihmAppList)
            ApplyWindowsListTexts(*ihmAppList, language);
    });
    OnActivate = [this] { FormActivate(); };
    // Filled as it shows, not at the killer's next tick: a window shown
    // without activation (from the tray, under focus rules) is never empty.
    OnShow = [this] { RefreshActiveWindows(); };
    zdsCurrentProcess.OnDblClick = [this] { zdsCurrentProcessDblClick(); };
    zdsSelectedProcess.OnDblClick = [this] { zdsSelectedProcessDblClick(); };
    OnKeyDown = [this](WPARAM key) {
        if (key != VK_ESCAPE)
            return false;
        Hide();
        return true;
    };
}

void TihmAppList::ShowEntries(const std::vector<std::string>& entries)
{
    zdsSelectedProcess.Clear();
    for (const std::string& entry : entries)
        zdsSelectedProcess.Add(entry);
}

void TihmAppList::AppendEntry(const std::string& title) { zdsSelectedProcess.Add(title); }

void TihmAppList::RemoveFirstEntry(const std::string& title)
{
    const int index = zdsSelectedProcess.IndexOfExact(title);
    if (index >= 0)
        zdsSelectedProcess.Delete(index);
}

void TihmAppList::ShowCount(int count) { zdsNumber.SetCaption(std::to_string(count)); }

void TihmAppList::RefreshActiveWindows()
{
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    struct TRestoreCursor {
        HCURSOR cursor;
        ~TRestoreCursor() { SetCursor(cursor ? cursor : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))); }
    } restore{previous};
    TMyCollection windows;
    EnumerateWindows(windows);
    std::vector<std::string> titles;
    for (int i = 0; i < windows.Count(); ++i)
        titles.push_back(windows.ItemAs<TWindow>(i)->Title);
    if (titles == shownTitles_ && zdsCurrentProcess.Count() == static_cast<int>(titles.size()))
        return;
    const int selected = zdsCurrentProcess.ItemIndex();
    const std::string selectedTitle = selected >= 0 ? zdsCurrentProcess.Items(selected) : std::string();
    const int top = zdsCurrentProcess.TopIndex();
    SendMessageW(zdsCurrentProcess.Handle(), WM_SETREDRAW, FALSE, 0);
    zdsCurrentProcess.Clear();
    int reselect = -1;
    for (const std::string& title : titles) {
        const int index = zdsCurrentProcess.Add(title);
        if (selected >= 0 && reselect < 0 && title == selectedTitle)
            reselect = index;
    }
    zdsCurrentProcess.SetTopIndex(std::min(top, std::max(0, zdsCurrentProcess.Count() - 1)));
    if (reselect >= 0)
        zdsCurrentProcess.SetItemIndex(reselect);
    SendMessageW(zdsCurrentProcess.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(zdsCurrentProcess.Handle(), nullptr, TRUE);
    shownTitles_ = titles;
}

void TihmAppList::Connect(TWindowList& killList, const TSettings& settings, std::function<void()> killNow)
{
    killList_ = &killList;
    settings_ = &settings;
    killNow_ = std::move(killNow);
}

void TihmAppList::ShowWindowEvents(bool received)
{
    eventsReceived_ = received;
    lblEvents.SetCaption(received ? "" : eventsText_);
}

void TihmAppList::SetEventsText(const std::string& text)
{
    eventsText_ = text;
    ShowWindowEvents(eventsReceived_);
}

void TihmAppList::ApplyStayOnTop()
{
    if (!settings_)
        return;
    SetWindowPos(Handle(), settings_->ListStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TihmAppList::zdsCurrentProcessDblClick()
{
    if (zdsCurrentProcess.Count() == 0)
        return;
    const int selected = zdsCurrentProcess.ItemIndex();
    if (selected < 0 || !killList_) {
        MessageBeep(0);
        return;
    }
    const std::string title = zdsCurrentProcess.Items(selected);
    // The system never lists itself this way; the shell's windows are not
    // listed, but another window may bear the title of one of them.
    if (title == "Skarnvale" || IsShellWindowTitle(title)) {
        MessageDlg(MsgNotGoodIdea, TMsgDlgType::Warning);
        return;
    }
    if (!AddToKillList(*killList_, title, this))
        ShowWriteErrorFor(kKillListFile);
    if (killNow_)
        killNow_();
    FocusControl(zdsSelectedProcess);
}

void TihmAppList::zdsSelectedProcessDblClick()
{
    if (zdsSelectedProcess.Count() == 0)
        return;
    const int selected = zdsSelectedProcess.ItemIndex();
    if (selected < 0 || !killList_) {
        MessageBeep(0);
        return;
    }
    RemoveFromKillList(*killList_, zdsSelectedProcess.Items(selected), this);
}
