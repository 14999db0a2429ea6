#include "Application.h"

#include "Form.h"
#include "PageControl.h"

TApplication* Application = nullptr;

TApplication::TApplication(const std::string& title)
{
    RegisterClassOnce(ClassName);
    // Zero-sized and never shown by the program itself; a second copy may show it.
    CreateHandle(ClassName, title, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                 GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr);
}

std::string TApplication::Title() const { return GetWindowTextString(Handle()); }

void TApplication::SetTitle(const std::string& title) { SetWindowTextString(Handle(), title); }

void TApplication::SetIcon(const char* resourceName)
{
    icon_ = TIcon::LoadSmall(resourceName);
    largeIcon_ = TIcon::LoadLarge(resourceName);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Handle()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Handle()));
}

void TApplication::Dispatch(MSG& msg)
{
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        TForm* form = TForm::FromChild(msg.hwnd);
        if (form && msg.message == WM_KEYDOWN && form->PreviewKeyDown(msg.wParam))
            return;
        if (form && (SwitchPageByKey(form->Handle(), msg.message, msg.wParam) || IsDialogMessageW(form->Handle(), &msg)))
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool TApplication::ProcessMessages()
{
    bool any = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        if (msg.message == WM_QUIT)
            continue;
        Dispatch(msg);
    }
    return any;
}

void TApplication::Run(const bool& quitRequested)
{
    for (;;) {
        ProcessMessages();
        if (quitRequested || terminated_)
            return;
        WaitForMessage(INFINITE);
    }
}

void TApplication::Terminate()
{
    terminated_ = true;
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

bool TApplication::Terminating() { return Application && Application->terminated_; }

void TApplication::WaitForMessage(DWORD milliseconds)
{
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

bool TApplication::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_CLOSE) {  // the program ends only through its Quit command
        result = 0;
        return true;
    }
    // A tray program is seldom quit: the end of the session ends it. It never
    // holds the session up; every top-level window is asked, this one answers
    // for the program.
    if (message == WM_QUERYENDSESSION) {
        result = TRUE;
        return true;
    }
    if (message == WM_ENDSESSION) {
        if (wParam && !sessionEnded_) {
            sessionEnded_ = true;
            if (OnEndSession)
                OnEndSession();
            Terminate();
        }
        result = 0;
        return true;
    }
    return TWindowBase::HandleMessage(message, wParam, lParam, result);
}
