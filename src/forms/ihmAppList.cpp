#include "ihmAppList.h"

#include "../app/FileErrorBox.h"
#include "../app/unitGlobal.h"
#include "../app/unitLanguage.h"
#include "../framework/Dialogs.h"
#include "../model/unitProcessKillFile.h"
#include "../model/unitProcessShell.h"
#include "../model/unitProcessWindows.h"
#include "ihmRulesTexts.h"

#include <algorithm>

TihmAppList* ihmAppList = nullptr;

namespace {
// The first design's 405 pixels, and the log of actions below.
const int kClientHeight = 570;
const int kProgramColumnWidth = 110;
const int kActionColumnWidths[TihmAppList::ActionColumnCount] = {112, 60, 110, 80, 110};

TFormOptions AppListFormOptions()
{
    TFormOptions options;
    options.caption = "Windows lists";
    options.clientWidth = 412;
    options.clientHeight = kClientHeight;
    options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    options.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    options.owner = GetDesktopWindow();
    options.fontName = "Arial";
    options.fontHeight = -11;
    return options;
}

void ApplyWindowsListTexts(TihmAppList& form, TLanguage language)
{
    TTextSetters setters = {
        {"Caption", [&form](const std::string& text) { form.SetCaption(text); }},
        {"lblCurrentProcess", [&form](const std::string& text) { form.lblCurrentProcess.SetCaption(text); }},
        {"lblSelectedProcess", [&form](const std::string& text) { form.lblSelectedProcess.SetCaption(text); }},
        {"lblNumber", [&form](const std::string& text) { form.lblNumber.SetCaption(text); }},
        {"lblEvents", [&form](const std::string& text) { form.SetEventsText(text); }},
        {"lblActions", [&form](const std::string& text) { form.lblActions.SetCaption(text); }},
        {"btnRules", [&form](const std::string& text) { form.btnRules.SetText(text); }}};
    for (int column = 0; column < TihmAppList::ActionColumnCount; ++column)
        setters["zdsActions.Columns[" + std::to_string(column) + "]"] = [&form, column](const std::string& text) {
            form.zdsActions.SetColumnCaption(column, text);
        };
    for (TPopupMenu* menu : {&form.mnpWindows, &form.mnpActions})
        for (const auto& item : menu->Items()) {
            TMenuItem* target = item.get();
            setters[item->Name()] = [target](const std::string& text) { target->Caption = text; };
        }
    AddRuleTextSetters(form.rules, form.RuleTexts, setters);
    WriteRows(WindowsListTexts(), setters, language);
    form.rules.RulesChanged();
    form.PopupActionLogged();
}
}  // namespace

TihmAppList::TihmAppList()
    : TForm(AppListFormOptions()),
      pnlConteneur(*this, {0, 0, 412, kClientHeight}),
      zdsCurrentProcess(*this, {16, 29, 377, 153}, 14, kProgramColumnWidth),
      lblCurrentProcess(*this, {16, 13, 0, 0}, "Active windows list"),
      lblSelectedProcess(*this, {16, 197, 0, 0}, "Selected windows list"),
      utlSeparateur(*this, {16, 189, 377, 2}),
      zdsSelectedProcess(*this, {16, 213, 377, 153}, 14),
      lblNumber(*this, {240, 376, 128, 14}, "Windows number : ", SS_RIGHT),
      zdsNumber(*this, {376, 376, 0, 0}, "000"),
      lblEvents(*this, {16, 376, 220, 14}, ""),
      utlSeparateurActions(*this, {16, 396, 377, 2}),
      lblActions(*this, {16, 407, 0, 0}, "Actions taken"),
      btnRules(*this, {303, 401, 90, 22}, "Rules..."),
      zdsActions(*this, {16, 426, 377, 130}, ActionColumnCount, 16),
      mnpWindows(WindowsMenuItems(*this)),
      mnpActions(ActionsMenuItems(*this)),
      rules(Handle(), RuleTexts)
{
    zdsCurrentProcess.OnSideText = [this](int row) {
        const TWindowFacts* window = ShownWindow(row);
        return window ? window->Program : std::string();
    };
    for (int column = 0; column < ActionColumnCount; ++column)
        zdsActions.SetColumnWidth(column, Scale(kActionColumnWidths[column]));
    zdsActions.OnCellText = [this](int column, int row) { return ActionCellText(column, row); };
    zdsActions.OnClick = [this] { zdsActionsClick(); };
    btnRules.OnClick = [this] { btnRulesClick(); };
    mnpWindows.OnPopup = [this] { mnpWindowsPopup(); };
    mnpActions.OnPopup = [this] { mnpActionsPopup(); };
    // Under the pointer, over the list it was opened on.
    mnpWindows.AlignBottom = false;
    mnpActions.AlignBottom = false;
    laidOut_ = true;
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

TWindowFacts TihmAppList::FactsOfWindow(HWND hwnd, const std::string& title, std::map<HWND, TKnownWindow>& seen)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    auto known = knownWindows_.find(hwnd);
    // A handle may come back for another process's window once the first is gone.
    TKnownWindow window;
    if (known != knownWindows_.end() && known->second.ProcessId == processId)
        window = known->second;
    else {
        window.ProcessId = processId;
        if (rulesHost_.FactsOf)
            window.Facts = rulesHost_.FactsOf(hwnd);
    }
    window.Facts.Title = title;
    seen[hwnd] = window;
    return window.Facts;
}

const TWindowFacts* TihmAppList::ShownWindow(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < shownWindows_.size() ? &shownWindows_[static_cast<size_t>(row)]
                                                                         : nullptr;
}

void TihmAppList::RefreshActiveWindows()
{
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    struct TRestoreCursor {
        HCURSOR cursor;
        ~TRestoreCursor() { SetCursor(cursor ? cursor : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))); }
    } restore{previous};
    TMyCollection windows;
    EnumerateWindows(windows);
    std::vector<TWindowFacts> shown;
    std::map<HWND, TKnownWindow> seen;
    for (int i = 0; i < windows.Count(); ++i) {
        const TWindow* window = windows.ItemAs<TWindow>(i);
        shown.push_back(FactsOfWindow(window->Handle, window->Title, seen));
    }
    knownWindows_ = std::move(seen);
    const auto sameRows = [&shown, this] {
        if (shown.size() != shownWindows_.size() || zdsCurrentProcess.Count() != static_cast<int>(shown.size()))
            return false;
        for (size_t i = 0; i < shown.size(); ++i)
            if (shown[i].Title != shownWindows_[i].Title || shown[i].Program != shownWindows_[i].Program)
                return false;
        return true;
    };
    if (sameRows())
        return;
    const int selected = zdsCurrentProcess.ItemIndex();
    const std::string selectedTitle = selected >= 0 ? zdsCurrentProcess.Items(selected) : std::string();
    const int top = zdsCurrentProcess.TopIndex();
    SendMessageW(zdsCurrentProcess.Handle(), WM_SETREDRAW, FALSE, 0);
    shownWindows_ = std::move(shown);
    zdsCurrentProcess.Clear();
    int reselect = -1;
    for (const TWindowFacts& window : shownWindows_) {
        const int index = zdsCurrentProcess.Add(window.Title);
        if (selected >= 0 && reselect < 0 && window.Title == selectedTitle)
            reselect = index;
    }
    zdsCurrentProcess.SetTopIndex(std::min(top, std::max(0, zdsCurrentProcess.Count() - 1)));
    if (reselect >= 0)
        zdsCurrentProcess.SetItemIndex(reselect);
    SendMessageW(zdsCurrentProcess.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(zdsCurrentProcess.Handle(), nullptr, TRUE);
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
