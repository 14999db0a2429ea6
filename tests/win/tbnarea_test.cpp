#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/MenuPopup.h"
#include "framework/WideText.h"
#include "message_pump.h"
#include "widgets/TBNArea.h"

namespace {

// One call to the shell as the component made it, and the shell's answer.
struct TShellCall {
    DWORD message;
    DWORD size;
    HWND window;
    UINT id;
    UINT flags;
    UINT callbackMessage;
    HICON icon;
    std::string tip;
    bool tipTerminatedInField;
    BOOL result;
};

// The real component talking to the real shell, with every call recorded.
class TRecordingTBNArea : public TTBNArea {
public:
    std::vector<TShellCall> calls;

protected:
    BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAW& data) override
    {
        TShellCall call;
        call.message = message;
        call.size = data.cbSize;
        call.window = data.hWnd;
        call.id = data.uID;
        call.flags = data.uFlags;
        call.callbackMessage = data.uCallbackMessage;
        call.icon = data.hIcon;
        call.tipTerminatedInField = std::wmemchr(data.szTip, 0, 64) != nullptr;
        call.tip = Narrow(data.szTip, wcsnlen(data.szTip, 64));
        call.result = TTBNArea::ShellNotifyIcon(message, data);
        calls.push_back(call);
        return call.result;
    }
};

// A menu that only records where and when it was asked to pop up.
class TRecordingMenu : public TMenuPopup {
public:
    struct TShown {
        HWND foreground;
        POINT at;
    };
    std::vector<TShown> shown;

    void Popup(HWND foreground, int x, int y) override { shown.push_back({foreground, {x, y}}); }
};

// Asks the shell whether the icon of `window` is present, by modifying it to itself.
bool IconPresent(HWND window)
{
    NOTIFYICONDATAW data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// Removes every null message posted to the thread itself; answers how many there were.
int TakeThreadNullMessages()
{
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, reinterpret_cast<HWND>(-1), WM_NULL, WM_NULL, PM_REMOVE))
        ++count;
    return count;
}

LRESULT Mouse(TTBNArea& tray, UINT action)
{
    return SendMessageA(tray.Handle(), tray.CallbackMessage(), 1, static_cast<LPARAM>(action));
}

HICON StockIcon(LPCSTR id) { return LoadIconA(nullptr, id); }

// Events fired by a component, in order.
struct TEventLog {
    std::vector<std::string> events;

    void Attach(TTBNArea& tray)
    {
        tray.OnLeftClick = [this](TTBNArea&) { events.push_back("left"); };
        tray.OnRightClick = [this](TTBNArea&) { events.push_back("right"); };
        tray.OnDblClick = [this](TTBNArea&) { events.push_back("double"); };
        tray.OnChanging = [this](TTBNArea&, TChangeKind kind, bool&) {
            events.push_back(kind == ckIcon ? "changing icon" : "changing tip");
        };
        tray.OnChange = [this](TTBNArea&, TChangeKind kind) {
            events.push_back(kind == ckIcon ? "change icon" : "change tip");
        };
    }
};

using Events = std::vector<std::string>;

}  // namespace

TEST(TBNArea, NotifyRecord_IsTheFirstFormOfThePlatformRecord)
{
    EXPECT_EQ(NOTIFYICONDATAW_V1_SIZE, sizeof(void*) == 8 ? 168u : 152u);
    TRecordingTBNArea tray;
    tray.SetEnabled(false);
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].size, NOTIFYICONDATAW_V1_SIZE);
}

TEST(TBNArea, Construction_RegistersSharedCallbackAndSendsNothing)
{
    TRecordingTBNArea first;
    TRecordingTBNArea second;
    EXPECT_EQ(first.CallbackMessage(), RegisterWindowMessageA("NSM_NewTNIMessage"));
    EXPECT_EQ(second.CallbackMessage(), first.CallbackMessage());
    EXPECT_GE(first.CallbackMessage(), 0xC000u);
    EXPECT_TRUE(IsWindow(first.Handle()));
    EXPECT_FALSE(IsWindowVisible(first.Handle()));
    EXPECT_NE(first.Handle(), second.Handle());
    EXPECT_TRUE(first.Enabled());
    EXPECT_FALSE(first.PopupOnBoth());
    EXPECT_TRUE(first.Icon().Empty());
    EXPECT_EQ(first.Tip(), "");
    EXPECT_EQ(first.PopupMenuL(), nullptr);
    EXPECT_EQ(first.PopupMenuR(), nullptr);
    EXPECT_TRUE(first.calls.empty());
}

TEST(TBNArea, LoadedEnabled_AddsIconToTheRealShellAndDisablingRemovesIt)
{
    TRecordingTBNArea tray;
    tray.SetIcon(StockIcon(IDI_APPLICATION));
    tray.SetTip("SkarnVale");
    EXPECT_TRUE(tray.calls.empty()) << "changes before the icon is added are not sent";
    // The first add may wait while the platform starts its notification area.
    tray.Loaded();
    ASSERT_EQ(tray.calls.size(), 1u);
    const TShellCall& add = tray.calls[0];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.window, tray.Handle());
    EXPECT_EQ(add.id, 1u);
    EXPECT_EQ(add.callbackMessage, tray.CallbackMessage());
    EXPECT_EQ(add.icon, tray.Icon().Handle());
    EXPECT_EQ(add.tip, "SkarnVale");
    EXPECT_TRUE(add.result);
    EXPECT_TRUE(IconPresent(tray.Handle()));
    EXPECT_TRUE(PumpUntil([] { return FindWindowA(nullptr, "Wine System Tray") != nullptr; }))
        << "the notification area never showed";

    tray.SetEnabled(false);
    ASSERT_EQ(tray.calls.size(), 2u);
    EXPECT_EQ(tray.calls[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(tray.calls[1].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_TRUE(tray.calls[1].result);
    EXPECT_FALSE(IconPresent(tray.Handle()));
}

TEST(TBNArea, LoadedDisabled_AddsNothing)
{
    TRecordingTBNArea tray;
    tray.SetEnabled(false);
    tray.calls.clear();
    tray.Loaded();
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_FALSE(IconPresent(tray.Handle()));
}

TEST(TBNArea, Destruction_RemovesThePresentIcon)
{
    HWND window = nullptr;
    {
        TTBNArea tray;
        tray.SetIcon(StockIcon(IDI_APPLICATION));
        tray.Loaded();
        window = tray.Handle();
        ASSERT_TRUE(IconPresent(window));
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IconPresent(window));
}

TEST(TBNArea, LongTip_IsCutAt63CharactersInsideTheRecord)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    const std::string longTip = "12 messages found (10:45:12)\n127.0.0.1 - 192.168.200.201 - 172.16.254.254";
    ASSERT_GT(longTip.size(), 63u);
    tray.SetTip(longTip);
    EXPECT_EQ(tray.Tip(), longTip) << "the component keeps the whole text";
    ASSERT_EQ(tray.calls.size(), 2u);
    EXPECT_EQ(tray.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(tray.calls[1].flags, static_cast<UINT>(NIF_TIP));
    EXPECT_TRUE(tray.calls[1].tipTerminatedInField);
    EXPECT_EQ(tray.calls[1].tip, longTip.substr(0, 63));
    EXPECT_TRUE(tray.calls[1].result);
}

TEST(TBNArea, TipOf63Characters_IsSentWhole)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    const std::string tip(63, 'x');
    tray.SetTip(tip);
    ASSERT_EQ(tray.calls.size(), 2u);
    EXPECT_EQ(tray.calls[1].tip, tip);
}

TEST(TBNArea, SameTipAgain_FiresNothingAndSendsNothing)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    tray.SetTip("3 messages found");
    TEventLog log;
    log.Attach(tray);
    tray.calls.clear();
    tray.SetTip("3 messages found");
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_TRUE(log.events.empty());
    // The comparison is case-sensitive: another case is a change.
    tray.SetTip("3 Messages found");
    EXPECT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(log.events, (Events{"changing tip", "change tip"}));
}

TEST(TBNArea, TipChanged_AsksModifiesThenAnnounces)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    std::vector<std::string> order;
    tray.OnChanging = [&](TTBNArea& sender, TChangeKind kind, bool& allow) {
        EXPECT_EQ(&sender, &tray);
        EXPECT_EQ(kind, ckTip);
        EXPECT_TRUE(allow);
        EXPECT_EQ(sender.Tip(), "") << "asked before the text changes";
        order.push_back("changing");
    };
    tray.OnChange = [&](TTBNArea& sender, TChangeKind kind) {
        EXPECT_EQ(kind, ckTip);
        EXPECT_EQ(sender.Tip(), "Check in progress...");
        EXPECT_EQ(tray.calls.size(), 2u) << "announced after the shell call";
        order.push_back("change");
    };
    tray.SetTip("Check in progress...");
    EXPECT_EQ(order, (Events{"changing", "change"}));
}

TEST(TBNArea, ChangingVeto_KeepsTipAndIconAndSendsNothing)
{
    TRecordingTBNArea tray;
    tray.SetIcon(StockIcon(IDI_APPLICATION));
    tray.SetTip("old tip");
    tray.Loaded();
    const HICON oldIcon = tray.Icon().Handle();
    TEventLog log;
    log.Attach(tray);
    tray.OnChanging = [&](TTBNArea&, TChangeKind kind, bool& allow) {
        log.events.push_back(kind == ckIcon ? "changing icon" : "changing tip");
        allow = false;
    };
    tray.calls.clear();
    tray.SetTip("new tip");
    tray.SetIcon(StockIcon(IDI_WARNING));
    EXPECT_EQ(tray.Tip(), "old tip");
    EXPECT_EQ(tray.Icon().Handle(), oldIcon);
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_EQ(log.events, (Events{"changing tip", "changing icon"}));
}

TEST(TBNArea, IconChanged_KeepsOwnCopyModifiesAndAnnounces)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    TEventLog log;
    log.Attach(tray);
    HICON given = CopyIcon(StockIcon(IDI_INFORMATION));
    tray.SetIcon(given);
    DestroyIcon(given);  // the giver releases its handle at once, as the tray controller does
    ASSERT_FALSE(tray.Icon().Empty());
    EXPECT_NE(tray.Icon().Handle(), given);
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(tray.Icon().Handle(), &info)) << "the component's copy is alive";
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    ASSERT_EQ(tray.calls.size(), 2u);
    EXPECT_EQ(tray.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(tray.calls[1].flags, static_cast<UINT>(NIF_ICON));
    EXPECT_EQ(tray.calls[1].icon, tray.Icon().Handle());
    EXPECT_TRUE(tray.calls[1].result);
    EXPECT_EQ(log.events, (Events{"changing icon", "change icon"}));
}

TEST(TBNArea, OwnIconGivenBack_DoesNothing)
{
    TRecordingTBNArea tray;
    tray.SetIcon(StockIcon(IDI_APPLICATION));
    tray.Loaded();
    TEventLog log;
    log.Attach(tray);
    tray.calls.clear();
    tray.SetIcon(tray.Icon());
    tray.SetIcon(tray.Icon().Handle());
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_TRUE(log.events.empty());
}

TEST(TBNArea, WhileDisabled_TipAndIconStoredSilentlyThenSentByTheNextAdd)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    tray.SetEnabled(false);
    TEventLog log;
    log.Attach(tray);
    tray.calls.clear();
    tray.SetTip("stored while absent");
    tray.SetIcon(StockIcon(IDI_WARNING));
    EXPECT_EQ(tray.Tip(), "stored while absent");
    EXPECT_FALSE(tray.Icon().Empty());
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_EQ(log.events, (Events{"changing tip", "changing icon"})) << "no change announced while absent";
    tray.SetEnabled(true);
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(tray.calls[0].tip, "stored while absent");
    EXPECT_EQ(tray.calls[0].icon, tray.Icon().Handle());
    EXPECT_TRUE(tray.calls[0].result);
    EXPECT_TRUE(IconPresent(tray.Handle()));
}

TEST(TBNArea, EnabledSetToItsValue_SendsNothing)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    tray.calls.clear();
    tray.SetEnabled(true);
    EXPECT_TRUE(tray.calls.empty());
    tray.SetEnabled(false);
    tray.SetEnabled(false);
    EXPECT_EQ(tray.calls.size(), 1u);
}

TEST(TBNArea, OnChangeFailingForTip_IsIgnored)
{
    TRecordingTBNArea tray;
    tray.Loaded();
    tray.OnChange = [](TTBNArea&, TChangeKind) { throw std::runtime_error("handler failed"); };
    EXPECT_NO_THROW(tray.SetTip("new"));
    EXPECT_EQ(tray.Tip(), "new");
}

TEST(TBNArea, MouseActions_DispatchLeftRightAndDoubleClick)
{
    TRecordingTBNArea tray;
    TEventLog log;
    log.Attach(tray);
    EXPECT_EQ(Mouse(tray, WM_LBUTTONDOWN), 0);
    Mouse(tray, WM_RBUTTONDOWN);
    Mouse(tray, WM_LBUTTONDBLCLK);
    EXPECT_EQ(log.events, (Events{"left", "right", "double"}));
}

TEST(TBNArea, MovesReleasesAndMiddleButton_AreIgnored)
{
    TRecordingTBNArea tray;
    TEventLog log;
    log.Attach(tray);
    for (UINT action : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP})
        Mouse(tray, action);
    EXPECT_TRUE(log.events.empty());
}

TEST(TBNArea, MouseAction_ReadFromLowWordOnly)
{
    TRecordingTBNArea tray;
    TEventLog log;
    log.Attach(tray);
    SendMessageA(tray.Handle(), tray.CallbackMessage(), 1, MAKELPARAM(WM_LBUTTONDBLCLK, 7));
    EXPECT_EQ(log.events, (Events{"double"}));
}

TEST(TBNArea, OtherMessages_GoToTheDefaultProcedure)
{
    TRecordingTBNArea tray;
    TEventLog log;
    log.Attach(tray);
    SendMessageA(tray.Handle(), WM_APP + 5, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(log.events.empty());
    SetWindowTextA(tray.Handle(), "probe");
    char text[16] = {};
    GetWindowTextA(tray.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "probe");
}

TEST(TBNArea, DoubleClickAsThePlatformReportsIt_FiresLeftThenDouble)
{
    TRecordingTBNArea tray;
    TEventLog log;
    log.Attach(tray);
    for (UINT action : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        Mouse(tray, action);
    EXPECT_EQ(log.events, (Events{"left", "double"}));
}

TEST(TBNArea, LeftClickWithoutMenuOrHandler_DoesNothingAndDoubleClickFiresOnlyDouble)
{
    TRecordingTBNArea tray;
    int doubles = 0;
    tray.OnDblClick = [&](TTBNArea& sender) {
        EXPECT_EQ(&sender, &tray);
        ++doubles;
    };
    TakeThreadNullMessages();
    Mouse(tray, WM_LBUTTONDOWN);
    Mouse(tray, WM_LBUTTONDBLCLK);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(TakeThreadNullMessages(), 0) << "no menu was shown";
}

TEST(TBNArea, RightClickWithRightMenuOnly_ShowsItAtCursorInsteadOfEvent)
{
    TRecordingTBNArea tray;
    TRecordingMenu menuR;
    tray.SetPopupMenuR(&menuR);
    TEventLog log;
    log.Attach(tray);
    SetCursorPos(200, 150);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    TakeThreadNullMessages();
    Mouse(tray, WM_RBUTTONDOWN);
    ASSERT_EQ(menuR.shown.size(), 1u);
    EXPECT_EQ(menuR.shown[0].foreground, tray.Handle());
    EXPECT_EQ(menuR.shown[0].at.x, cursor.x);
    EXPECT_EQ(menuR.shown[0].at.y, cursor.y);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(TakeThreadNullMessages(), 1) << "a null message follows the menu";
}

TEST(TBNArea, RightClickWithBothMenus_ShowsLeftMenuOnlyWhenPopupOnBoth)
{
    TRecordingTBNArea tray;
    TRecordingMenu menuL, menuR;
    tray.SetPopupMenuL(&menuL);
    tray.SetPopupMenuR(&menuR);
    Mouse(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(menuL.shown.size(), 0u);
    EXPECT_EQ(menuR.shown.size(), 1u);
    tray.SetPopupOnBoth(true);
    Mouse(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(menuL.shown.size(), 1u);
    EXPECT_EQ(menuR.shown.size(), 1u);
    TakeThreadNullMessages();
}

TEST(TBNArea, RightClickWithLeftMenuOnly_FiresEventUnlessPopupOnBoth)
{
    TRecordingTBNArea tray;
    TRecordingMenu menuL;
    tray.SetPopupMenuL(&menuL);
    TEventLog log;
    log.Attach(tray);
    Mouse(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(log.events, (Events{"right"}));
    EXPECT_TRUE(menuL.shown.empty());
    tray.SetPopupOnBoth(true);
    Mouse(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(menuL.shown.size(), 1u);
    EXPECT_EQ(log.events, (Events{"right"}));
    TakeThreadNullMessages();
}

TEST(TBNArea, LeftClickWithLeftMenu_ShowsItInsteadOfEvent)
{
    TRecordingTBNArea tray;
    TRecordingMenu menuL;
    tray.SetPopupMenuL(&menuL);
    TEventLog log;
    log.Attach(tray);
    Mouse(tray, WM_LBUTTONDOWN);
    EXPECT_EQ(menuL.shown.size(), 1u);
    EXPECT_TRUE(log.events.empty());
    TakeThreadNullMessages();
}

TEST(TBNArea, DestroyedRightMenu_ClearsReferenceAndRightClickFiresEvent)
{
    TRecordingTBNArea tray;
    TEventLog log;
    log.Attach(tray);
    {
        TRecordingMenu menuR;
        tray.SetPopupMenuR(&menuR);
        EXPECT_EQ(tray.PopupMenuR(), &menuR);
    }
    EXPECT_EQ(tray.PopupMenuR(), nullptr);
    Mouse(tray, WM_RBUTTONDOWN);
    EXPECT_EQ(log.events, (Events{"right"}));
}

TEST(TBNArea, OneMenuInBothSlots_ClearedFromBothWhenDestroyed)
{
    TRecordingTBNArea tray;
    {
        TRecordingMenu menu;
        tray.SetPopupMenuL(&menu);
        tray.SetPopupMenuR(&menu);
        tray.SetPopupMenuR(nullptr);  // still referenced as the left menu
    }
    EXPECT_EQ(tray.PopupMenuL(), nullptr);
    EXPECT_EQ(tray.PopupMenuR(), nullptr);
}

TEST(TBNArea, ComponentDestroyedBeforeItsMenu_MenuOutlivesItSafely)
{
    TRecordingMenu menu;
    {
        TRecordingTBNArea first;
        first.SetPopupMenuR(&menu);
    }
    TRecordingTBNArea second;
    second.SetPopupMenuR(&menu);
    Mouse(second, WM_RBUTTONDOWN);
    EXPECT_EQ(menu.shown.size(), 1u);
    TakeThreadNullMessages();
}

TEST(TBNArea, TaskBarRestarted_AddsThePresentIconAgain)
{
    TRecordingTBNArea tray;
    tray.SetTip("SkarnVale");
    tray.Loaded();
    tray.calls.clear();
    SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(tray.calls[0].tip, "SkarnVale");
    tray.SetEnabled(false);
    tray.calls.clear();
    SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(tray.calls.empty()) << "an absent icon stays absent";
}

TEST(TBNMenuHandle, RealMenu_ChosenCommandReachesCommandWindowThroughTheQueue)
{
    TTBNArea tray;
    HWND commandWindow = CreateWindowExA(0, "STATIC", "commands", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(commandWindow, nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "First");
    AppendMenuA(menu, MF_STRING, 102, "Quit");
    TMenuHandlePopup popup(menu, commandWindow);
    int popups = 0;
    popup.OnPopup = [&] { ++popups; };
    tray.SetPopupMenuR(&popup);

    // Once the menu shows, choose its first item with the keyboard.
    static bool pressed;
    pressed = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
        HWND menuWindow = FindWindowA("#32768", nullptr);
        if (pressed || !menuWindow || !IsWindowVisible(menuWindow))
            return;
        pressed = true;
        PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    });
    TakeThreadNullMessages();
    Mouse(tray, WM_RBUTTONDOWN);  // returns once the menu is closed
    KillTimer(nullptr, timer);

    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(pressed);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, commandWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), 101);
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_EQ(TakeThreadNullMessages(), 1);
    DestroyMenu(menu);
    DestroyWindow(commandWindow);
}
