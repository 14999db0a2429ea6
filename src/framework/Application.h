// The application object: its hidden top-level window, which another copy of
// the program finds by class and title, and the message loop.
#pragma once

#include "Icon.h"
#include "Window.h"

#include <functional>
#include <string>

class TApplication : public TWindowBase {
public:
    static constexpr const char* ClassName = "TApplication";

    // Creates the hidden application window titled `title`.
    explicit TApplication(const std::string& title);

    std::string Title() const;
    void SetTitle(const std::string& title);
    // The icon resource `resourceName`, small (the one Icon() answers) and
    // large, at the system's DPI: the task switcher shows the large one.
    void SetIcon(const char* resourceName);
    const TIcon& Icon() const { return icon_; }

    // Removes and dispatches every waiting message; answers false when none was waiting.
    bool ProcessMessages();
    // Dispatches messages until `quitRequested` is true or Terminate was called.
    // They are tested after each pass that empties the queue; between passes the
    // thread sleeps until a message arrives. A quit message is dropped: only the
    // flag or Terminate ends the loop.
    void Run(const bool& quitRequested);
    // Asks every loop of the thread to end: Run returns, and each nested wait
    // (a socket's, the POP3 client's, the browser sign-in's) gives up at its
    // next look, whatever it waits for. A quit message alone would not do: a
    // nested wait that takes it must post it again and cannot tell whose it was.
    // Wakes the thread, which may be sleeping in one of those waits.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // True once the program's application object, when there is one, was told
    // to terminate: what the waits below the forms look at.
    static bool Terminating();
    // Called when Windows ends the session (WM_ENDSESSION with TRUE), before
    // Terminate: the program saves there what it would save at its Quit, with
    // no message box, for Windows may end the process as soon as it returns.
    std::function<void()> OnEndSession;
    // Waits until a message arrives or `milliseconds` elapse (INFINITE: no limit).
    static void WaitForMessage(DWORD milliseconds);
    // Hands one message on: keys first to the form's key preview, then to the
    // form as a dialog's keys (Tab, arrows, Enter, Escape, Alt+letter), the
    // rest translated and dispatched. Every loop of the program goes through it.
    static void Dispatch(MSG& msg);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    TIcon icon_;
    TIcon largeIcon_;
    bool terminated_ = false;
    bool sessionEnded_ = false;
};

// The program's application object, while it exists.
extern TApplication* Application;
