// The end-to-end tests' hands and eyes inside Wine.
//   wintool open LOGFILE SECONDS KIND:TITLE...   opens windows and logs each close request
//        KIND: normal | refuse (stays open) | tool | hidden | owned (owned by another window)
//        | visible (created visible and titled) | show-later (created hidden, shown 300 ms
//        later) | title-later (created visible untitled, titled 300 ms later): both raise the
//        window event Windows raises, which Wine does not | title-soon (titled 30 ms later)
//        | title-quietly (titled 700 ms later): both without the event, as under Wine
//        | dialog (with the child buttons "&Later" and "Install now"; "Later" closes it)
//        Each log line is "MS EVENT TEXT": EVENT "ready" (all windows created), "shown"
//        (TEXT the title of a window now visible with its title; a visible one's as its
//        CreateWindowEx returns) or "close" (TEXT the
//        title of the window asked), "minimised", "hidden" (TEXT the window's title) or
//        "pressed" (TEXT the button's text, then the window's title); MS the milliseconds from this tool's start to the
//        event, for a close request to the moment it was posted.
//   wintool list                                 prints visible top-level windows and their texts
//        (a list box's: its items; a list view's rows as texts of their own, the cells joined by "|")
//   wintool press-ok CAPTION                     presses OK on a visible dialog with that caption
//   wintool press-yes CAPTION                    presses Yes on a visible dialog with that caption
//   wintool menu-keys KEY...                     presses up|down|left|right|return|escape in the open
//        popup menu
//   wintool tab-keys TITLE KEY...                the same in the tab control of the window TITLE
//   wintool close TITLE                          asks the top-level window TITLE to close (WM_CLOSE)
//   wintool rect CLASS TITLE                     prints "X Y WIDTH HEIGHT", the screen rectangle of the
//        visible top-level window of that class ("-": any) and title ("-": any); exit 1 when none
//   wintool find CLASS TITLE                     prints "visible" or "hidden" for the top-level
//        window FindWindowW finds; exit 1 when there is none, 3 when its thread does not
//        answer messages (it is not in its message loop yet)
//   wintool focus                                prints "CLASS<TAB>TOP<TAB>TEXT" of the control that has the
//        keyboard focus in the foreground thread (TOP: its top edge in its window's client area)
//   wintool dblclick-item TITLE ITEM             selects ITEM in a list box of the top-level window
//        TITLE and tells the window it was double-clicked, as a user's double-click does
//   wintool select-item TITLE ITEM               the same as a user's click on ITEM (LBN_SELCHANGE)
//   wintool context-item TITLE ITEM              selects ITEM and asks for its context menu, as the
//        keyboard's menu key does
//   wintool click TITLE CAPTION                  a click on the button CAPTION of the window TITLE
//        (posted: the program may wait in it, as a sign-in does)
//   wintool balloons                             prints "TITLE<TAB>LINE<TAB>LINE..." of each visible balloon
//        tool tip (under Wine the notification area's messages are those)
//   wintool tray-message CODE                    posts CODE as the shell's tray callback to SkarnVale's
//        tray window, as the shell reports an action (1029: a click on the balloon)
//   wintool acp                                  prints the ANSI code page of a program started now
//   wintool trust-root FILE.der                  adds a test CA to the prefix's trusted roots
//   wintool protect TEXT                         prints TEXT protected for the prefix's user as the
//        program stores a secret ("dpapi:" and the base64 of the DPAPI blob)
#include <windows.h>
#include <commctrl.h>
#include <wincrypt.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <list>
#include <string>
#include <vector>

// Every text crosses Win32 in UTF-16; arguments, output and logs are UTF-8.
namespace {
std::wstring W(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return wide;
}

std::string U8(const wchar_t* wide)
{
    std::string text(std::wcslen(wide) * 4 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return text;
}

// A null pointer for a null text, as the find calls take "any".
struct TWideArg {
    explicit TWideArg(const char* text) : set(text != nullptr), wide(text ? W(text) : std::wstring()) {}
    const wchar_t* get() const { return set ? wide.c_str() : nullptr; }
    bool set;
    std::wstring wide;
};
}  // namespace

namespace {
FILE* logFile = nullptr;
int openWindows = 0;
const DWORD startTick = GetTickCount();

// The time stamp lets a test measure how soon a close request followed "ready".
// `when` is the tick count at which the event happened: for a close request the
// time it was posted, so that a pause of this tool (Wine can hold DestroyWindow
// for seconds without a window manager) is not blamed on the sender.
void Log(const char* what, const std::string& title, DWORD when)
{
    std::fprintf(logFile, "%ld %s %s\n", static_cast<long>(when - startTick), what, title.c_str());
    std::fflush(logFile);
}

std::string TextOf(HWND hwnd)
{
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return U8(text);
}

// Windows that take their final state at a timer's tick after their creation:
// shown (created hidden) or titled (created untitled), with the window event
// Windows raises for it or without, as under Wine.
struct TLateKind {
    const char* kind;
    UINT delay;
    bool show;
    bool event;
};
const TLateKind kLateKinds[] = {{"show-later", 300, true, true}, {"title-later", 300, false, true},
                                {"title-soon", 30, false, false}, {"title-quietly", 700, false, false}};
struct TLateWindow {
    HWND hwnd;
    const TLateKind* late;
    std::string title;
};
std::list<TLateWindow> lateWindows;

void ApplyLateChange(HWND hwnd)
{
    KillTimer(hwnd, 1);
    for (const TLateWindow& w : lateWindows) {
        if (w.hwnd != hwnd)
            continue;
        if (w.late->show)
            ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        else
            SetWindowTextW(hwnd, W(w.title).c_str());
        Log("shown", w.title, GetTickCount());
        if (w.late->event)
            NotifyWinEvent(w.late->show ? EVENT_OBJECT_SHOW : EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_WINDOW, CHILDID_SELF);
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        ApplyLateChange(hwnd);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            const HWND button = reinterpret_cast<HWND>(lParam);
            Log("pressed", TextOf(button) + " " + TextOf(hwnd), GetTickCount());
            if (LOWORD(wParam) == 1)
                DestroyWindow(hwnd);
        }
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            Log("minimised", TextOf(hwnd), GetTickCount());
        break;
    case WM_SHOWWINDOW:
        if (!wParam)
            Log("hidden", TextOf(hwnd), GetTickCount());
        break;
    case WM_CLOSE:
        Log("close", TextOf(hwnd), static_cast<DWORD>(GetMessageTime()));
        if (GetPropW(hwnd, L"refuse"))
            return 0;
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        if (--openWindows == 0)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int Open(int argc, char** argv)
{
    logFile = _wfopen(W(argv[2]).c_str(), L"a");
    if (!logFile)
        return 2;
    const int seconds = std::atoi(argv[3]);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"WinToolWindow";
    RegisterClassW(&wc);
    for (int i = 4; i < argc; ++i) {
        std::string arg = argv[i];
        const size_t colon = arg.find(':');
        const std::string kind = arg.substr(0, colon);
        const std::string title = arg.substr(colon + 1);
        DWORD exStyle = kind == "tool" ? WS_EX_TOOLWINDOW : 0;
        HWND owner = nullptr;
        if (kind == "owned")
            owner = CreateWindowExW(0, L"WinToolWindow", L"wintool owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300,
                                    200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        if (owner)
            ++openWindows;
        const TLateKind* late = nullptr;
        for (const TLateKind& k : kLateKinds)
            late = kind == k.kind ? &k : late;
        const bool visible = kind == "visible" || (late && !late->show);
        HWND hwnd = CreateWindowExW(exStyle, L"WinToolWindow", late && !late->show ? L"" : W(title).c_str(),
                                    WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 100 + 20 * i, 100 + 20 * i,
                                    240, 120, owner, nullptr, wc.hInstance, nullptr);
        ++openWindows;
        if (kind == "refuse")
            SetPropW(hwnd, L"refuse", reinterpret_cast<HANDLE>(1));
        if (kind == "dialog") {
            // The button a rule presses comes second, as "Later" often does.
            CreateWindowExW(0, L"Button", L"Install now", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 24, hwnd,
                            reinterpret_cast<HMENU>(2), wc.hInstance, nullptr);
            CreateWindowExW(0, L"Button", L"&Later", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 120, 10, 100, 24, hwnd,
                            reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);
        }
        if (late) {
            lateWindows.push_back({hwnd, late, title});
            SetTimer(hwnd, 1, late->delay, nullptr);
        } else if (kind == "visible") {
            Log("shown", title, GetTickCount());  // Wine may take long to make it: timed from then
        } else if (kind != "hidden") {
            ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        }
    }
    Log("ready", "", GetTickCount());
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK { PostQuitMessage(0); });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    std::fclose(logFile);
    return 0;
}

// A list view's items live in its own process: they are read through a
// buffer made there (the calls below fail harmlessly on a null handle).
void PrintListRows(HWND list)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 4096 + sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE));
    // The cells are asked in UTF-16: the grid answers both forms, and only
    // the wide one holds every character.
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int row = 0; remote && row < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
        std::printf("\t");
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
            item.cchTextMax = 1024;
            wchar_t text[1024] = {};
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(process, remote + sizeof item, text, sizeof text - sizeof(wchar_t), nullptr);
            std::printf(column ? "|%s" : "%s", U8(text).c_str());
        }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
}

BOOL CALLBACK PrintChild(HWND hwnd, LPARAM)
{
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (std::wcscmp(className, WC_LISTVIEWW) == 0)
        PrintListRows(hwnd);
    wchar_t wide[1024] = {};
    SendMessageW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide));
    std::string text = U8(wide);
    // One window a line: the line breaks and tabs of a text area become spaces.
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    if (!text.empty())
        std::printf("\t%s", text.c_str());
    // A list box has no text of its own: its items stand for it.
    if (lstrcmpiW(className, L"ListBox") == 0) {
        const LRESULT count = SendMessageW(hwnd, LB_GETCOUNT, 0, 0);
        wchar_t item[1024];
        for (LRESULT i = 0; i < count; ++i)
            if (SendMessageW(hwnd, LB_GETTEXTLEN, i, 0) < 1024 &&
                SendMessageW(hwnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item)) > 0)
                std::printf("\t%s", U8(item).c_str());
    }
    return TRUE;
}

BOOL CALLBACK PrintWindow(HWND hwnd, LPARAM)
{
    if (!IsWindowVisible(hwnd))
        return TRUE;
    wchar_t className[256] = {};
    GetClassNameW(hwnd, className, 256);
    std::printf("%s\t%s", U8(className).c_str(), TextOf(hwnd).c_str());
    EnumChildWindows(hwnd, PrintChild, 0);
    std::printf("\n");
    return TRUE;
}

struct TFind {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam)
{
    auto* find = reinterpret_cast<TFind*>(lParam);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (IsWindowVisible(hwnd) && std::wcscmp(className, L"#32770") == 0 && TextOf(hwnd) == find->caption) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
int Find(const char* className, const char* title)
{
    HWND found = FindWindowW(TWideArg(className).get(), TWideArg(title).get());
    if (!found)
        return 1;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer))
        return 3;
    std::printf("%s\n", IsWindowVisible(found) ? "visible" : "hidden");
    return 0;
}
}  // namespace

// Posts key presses to a window, whose thread reads them from its queue even
// when the X server gives no focus: an open popup menu (class #32768) in its
// modal loop, a tab control that then changes page and tells its parent.
int PostKeys(HWND target, int argc, char** argv, int first)
{
    if (!target || !IsWindowVisible(target))
        return 1;
    for (int i = first; i < argc; ++i) {
        const std::string key = argv[i];
        const WPARAM vk = key == "up"       ? VK_UP
                          : key == "down"   ? VK_DOWN
                          : key == "left"   ? VK_LEFT
                          : key == "right"  ? VK_RIGHT
                          : key == "return" ? VK_RETURN
                                            : VK_ESCAPE;
        PostMessageW(target, WM_KEYDOWN, vk, 0);
        PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
        Sleep(50);
    }
    return 0;
}

const char* AnyWhenDash(const char* text) { return std::strcmp(text, "-") == 0 ? nullptr : text; }

int PrintRect(const char* className, const char* title)
{
    HWND found = FindWindowW(TWideArg(AnyWhenDash(className)).get(), TWideArg(AnyWhenDash(title)).get());
    RECT r;
    if (!found || !IsWindowVisible(found) || !GetWindowRect(found, &r))
        return 1;
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    return 0;
}

int Focus()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(0, &info) || !info.hwndFocus)
        return 1;
    wchar_t wideClass[256] = {};
    GetClassNameW(info.hwndFocus, wideClass, 256);
    const std::string className = U8(wideClass);
    RECT rect;
    GetWindowRect(info.hwndFocus, &rect);
    POINT top = {rect.left, rect.top};
    ScreenToClient(GetAncestor(info.hwndFocus, GA_ROOT), &top);
    std::printf("%s\t%ld\t%s\n", className.c_str(), static_cast<long>(top.y), TextOf(info.hwndFocus).c_str());
    return 0;
}

// The prefix keeps the root in its registry, so the program run later trusts it.
int TrustRoot(const char* path)
{
    FILE* file = _wfopen(W(path).c_str(), L"rb");
    if (!file)
        return 1;
    std::vector<BYTE> der(65536);
    der.resize(std::fread(der.data(), 1, der.size(), file));
    std::fclose(file);
    HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
    const BOOL added = store && CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                                                 static_cast<DWORD>(der.size()),
                                                                 CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    if (store)
        CertCloseStore(store, 0);
    return added ? 0 : 1;
}

int ChooseItem(const char* title, const char* item, WORD notification);
int ClickButton(const char* title, const char* caption);
int AppendText(const char* title, const char* holding, const char* text);

// A tool tip's title lives in its own process: asked into a buffer made there.
std::string BalloonTitle(HWND tip)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(tip, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    wchar_t title[128] = {};
    if (remote) {
        TTGETTITLE get = {};
        get.dwSize = sizeof get;
        get.cch = 128;
        get.pszTitle = reinterpret_cast<wchar_t*>(remote + 256);
        WriteProcessMemory(process, remote, &get, sizeof get, nullptr);
        SendMessageW(tip, TTM_GETTITLE, 0, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote + 256, title, sizeof title - sizeof(wchar_t), nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return U8(title);
}

BOOL CALLBACK PrintBalloon(HWND hwnd, LPARAM)
{
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (lstrcmpiW(className, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(hwnd) ||
        !(GetWindowLongW(hwnd, GWL_STYLE) & TTS_BALLOON))
        return TRUE;
    wchar_t wide[1024] = {};
    SendMessageW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide));
    std::string text = U8(wide);
    for (char& c : text)
        c = c == '\n' ? '\t' : c == '\r' ? ' ' : c;
    std::printf("%s\t%s\n", BalloonTitle(hwnd).c_str(), text.c_str());
    return TRUE;
}

int PostTrayMessage(const char* code)
{
    HWND tray = FindWindowW(L"TSkarnValeTrayWindow", nullptr);
    return tray && PostMessageW(tray, RegisterWindowMessageW(L"NSM_NewTNIMessage"), 1, std::atoi(code)) ? 0 : 1;
}

int Protect(const char* text)
{
    DATA_BLOB in{static_cast<DWORD>(std::strlen(text)), reinterpret_cast<BYTE*>(const_cast<char*>(text))};
    DATA_BLOB out{};
    if (!CryptProtectData(&in, L"test", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
        return 1;
    DWORD size = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    std::string base64;
    if (CryptBinaryToStringA(out.pbData, out.cbData, flags, nullptr, &size)) {
        base64.assign(size, '\0');
        CryptBinaryToStringA(out.pbData, out.cbData, flags, &base64[0], &size);
        base64.resize(size);
    }
    LocalFree(out.pbData);
    std::printf("dpapi:%s\n", base64.c_str());
    return base64.empty() ? 1 : 0;
}

int Main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "focus") == 0)
        return Focus();
    if (argc == 3 && std::strcmp(argv[1], "trust-root") == 0)
        return TrustRoot(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "protect") == 0)
        return Protect(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "menu-keys") == 0)
        return PostKeys(FindWindowW(L"#32768", nullptr), argc, argv, 2);
    if (argc >= 4 && std::strcmp(argv[1], "tab-keys") == 0) {
        HWND window = FindWindowW(nullptr, W(argv[2]).c_str());
        return PostKeys(window ? FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr) : nullptr, argc, argv, 3);
    }
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
        HWND window = FindWindowW(nullptr, W(argv[2]).c_str());
        return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "rect") == 0)
        return PrintRect(argv[2], argv[3]);
    if (argc >= 4 && std::strcmp(argv[1], "open") == 0)
        return Open(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
        EnumWindows(PrintWindow, 0);
        return 0;
    }
    if (argc == 3 && (std::strcmp(argv[1], "press-ok") == 0 || std::strcmp(argv[1], "press-yes") == 0)) {
        TFind find = {argv[2], nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (!find.found)
            return 1;
        PostMessageW(find.found, WM_COMMAND, std::strcmp(argv[1], "press-ok") == 0 ? IDOK : IDYES, 0);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "dblclick-item") == 0)
        return ChooseItem(argv[2], argv[3], LBN_DBLCLK);
    if (argc == 4 && std::strcmp(argv[1], "select-item") == 0)
        return ChooseItem(argv[2], argv[3], LBN_SELCHANGE);
    if (argc == 4 && std::strcmp(argv[1], "context-item") == 0)
        return ChooseItem(argv[2], argv[3], 0);
    if (argc == 4 && std::strcmp(argv[1], "click") == 0)
        return ClickButton(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "append-text") == 0)
        return AppendText(argv[2], argv[3], argv[4]);
    if (argc == 2 && std::strcmp(argv[1], "balloons") == 0) {
        EnumWindows(PrintBalloon, 0);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "tray-message") == 0)
        return PostTrayMessage(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "acp") == 0) {
        std::printf("%u\n", GetACP());
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "find") == 0)
        return Find(argv[2], argv[3]);
    std::fprintf(stderr,
                 "usage: wintool open LOG SECONDS KIND:TITLE... | list | press-ok CAPTION | press-yes CAPTION |"
                 " find CLASS TITLE | context-item TITLE ITEM |"
                 " menu-keys KEY... | tab-keys TITLE KEY... | close TITLE | rect CLASS TITLE | focus |"
                 " balloons | tray-message CODE | trust-root FILE | append-text TITLE HOLDING TEXT\n");
    return 2;
}

// The list box of `window` holding `item`, its index in `index`.
struct TItemFind {
    std::wstring item;
    HWND list;
    LRESULT index;
};

BOOL CALLBACK FindItem(HWND hwnd, LPARAM lParam)
{
    auto* find = reinterpret_cast<TItemFind*>(lParam);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (lstrcmpiW(className, L"ListBox") != 0)
        return TRUE;
    const LRESULT count = SendMessageW(hwnd, LB_GETCOUNT, 0, 0);
    wchar_t text[1024];
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageW(hwnd, LB_GETTEXTLEN, i, 0) < 1024 && SendMessageW(hwnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) >= 0 &&
            find->item == text) {
            find->list = hwnd;
            find->index = i;
            return FALSE;
        }
    }
    return TRUE;
}

int ChooseItem(const char* title, const char* item, WORD notification)
{
    HWND window = FindWindowW(nullptr, W(title).c_str());
    TItemFind find = {W(item), nullptr, -1};
    if (window)
        EnumChildWindows(window, FindItem, reinterpret_cast<LPARAM>(&find));
    if (!find.list)
        return 1;
    SendMessageW(find.list, LB_SETCURSEL, static_cast<WPARAM>(find.index), 0);
    // Posted: the program waits in the menu it opens.
    if (notification == 0)
        return PostMessageW(GetParent(find.list), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(find.list), -1) ? 0 : 1;
    SendMessageW(GetParent(find.list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(find.list), notification),
                 reinterpret_cast<LPARAM>(find.list));
    return 0;
}

struct TButtonFind {
    std::string caption;
    HWND button;
};

BOOL CALLBACK FindButton(HWND hwnd, LPARAM lParam)
{
    auto* find = reinterpret_cast<TButtonFind*>(lParam);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (lstrcmpiW(className, L"Button") != 0 || TextOf(hwnd) != find->caption)
        return TRUE;
    find->button = hwnd;
    return FALSE;
}

int ClickButton(const char* title, const char* caption)
{
    HWND window = FindWindowW(nullptr, W(title).c_str());
    TButtonFind find = {caption, nullptr};
    if (window)
        EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&find));
    if (!find.button)
        return 1;
    return PostMessageW(GetParent(find.button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(find.button), BN_CLICKED),
                        reinterpret_cast<LPARAM>(find.button))
               ? 0
               : 1;
}

struct TEditFind {
    std::string holding;
    HWND edit;
};

BOOL CALLBACK FindEdit(HWND hwnd, LPARAM lParam)
{
    auto* find = reinterpret_cast<TEditFind*>(lParam);
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (lstrcmpiW(className, L"Edit") != 0)
        return TRUE;
    // An edit of another process keeps its text to itself: GetWindowText does not ask it.
    wchar_t text[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    if (U8(text).find(find->holding) == std::string::npos)
        return TRUE;
    find->edit = hwnd;
    return FALSE;
}

// Types `text` at the end of the edit of window `title` that holds `holding`,
// as a user's typing would: the edit tells its dialog that it changed.
int AppendText(const char* title, const char* holding, const char* text)
{
    HWND window = FindWindowW(nullptr, W(title).c_str());
    TEditFind find = {holding, nullptr};
    if (window)
        EnumChildWindows(window, FindEdit, reinterpret_cast<LPARAM>(&find));
    if (!find.edit)
        return 1;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(find.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    const WPARAM end = static_cast<WPARAM>(answer);
    SendMessageTimeoutW(find.edit, EM_SETSEL, end, static_cast<LPARAM>(end), SMTO_ABORTIFHUNG, 5000, &answer);
    const std::wstring wide = W(text);
    return SendMessageTimeoutW(find.edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()),
                               SMTO_ABORTIFHUNG, 5000, &answer)
               ? 0
               : 1;
}

// The arguments as the user typed them, in UTF-8 whatever the code page.
int main()
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(U8(wide[i]));
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    return Main(count, argv.data());
}
