#include "WSocket.h"

#include "framework/Application.h"

int TCustomSyncWSocket::WaitUntilReady(const bool& flag, unsigned timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!flag) {
        if (TApplication::Terminating())
            return WSocketErrorWaitTerminated;
        MSG msg;
        while (!flag && !TApplication::Terminating() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return WSocketErrorWaitTimeout;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (flag)
            break;
        if (TApplication::Terminating())
            return WSocketErrorWaitTerminated;
        DWORD wait = INFINITE;
        if (timeoutMs > 0) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs)
                return WSocketErrorWaitTimeout;
            wait = timeoutMs - elapsed;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return 0;
}

bool TCustomSyncWSocket::ReadLine(unsigned timeoutMs, std::string& line)
{
    bool done = false;
    bool gotLine = false;
    std::string received;
    const TSocketErrorEvent savedData = OnDataAvailable;
    const TSocketErrorEvent savedClosed = OnSessionClosed;
    const bool savedMode = LineMode();
    OnDataAvailable = [&](TCustomWSocket*, WORD) {
        std::string part(static_cast<std::size_t>(RcvdCount()), '\0');
        const int count = Receive(&part[0], static_cast<int>(part.size()));
        received.append(part, 0, count > 0 ? static_cast<std::size_t>(count) : 0);
        if (RcvdCount() == 0) {
            done = true;
            gotLine = true;
            // Lines behind this one stay buffered for whoever reads next.
            SetLineMode(false);
        }
    };
    OnSessionClosed = [&](TCustomWSocket* sender, WORD error) {
        done = true;
        if (savedClosed)
            savedClosed(sender, error);
    };
    SetLineMode(true);
    const int result = WaitUntilReady(done, timeoutMs);
    OnDataAvailable = savedData;
    OnSessionClosed = savedClosed;
    SetLineMode(savedMode);
    if (result != 0 || !gotLine)
        return false;
    if (received.size() >= LineEnd.size() && received.compare(received.size() - LineEnd.size(), LineEnd.size(), LineEnd) == 0)
        received.resize(received.size() - LineEnd.size());
    line = received;
    return true;
}
