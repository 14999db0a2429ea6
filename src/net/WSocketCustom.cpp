// Life of the socket: creation and destruction, the hidden window and its
// messages, the endpoint properties, errors and the event triggers.
#include "WSocketCustom.h"

#include "../framework/Application.h"
#include "../framework/Window.h"
#include "WSockErrors.h"
#include "WSocketLoader.h"
#include "WSocketResolve.h"

// The socket's hidden window: an invisible, zero-sized tool window that
// receives Winsock's notifications and the socket's own posted messages.
class TSocketWindow : public TWindowBase {
public:
    explicit TSocketWindow(TCustomWSocket& socket) : socket_(socket)
    {
        RegisterClassOnce(TCustomWSocket::WindowClassName);
        CreateHandle(TCustomWSocket::WindowClassName, "", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
    }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        result = 0;
        return socket_.WndProc(message, wParam, lParam);
    }

private:
    TCustomWSocket& socket_;
};

namespace {
int socketCount = 0;
}

TCustomWSocket::TCustomWSocket()
{
    AllocateSocketHWnd();
    AssignDefaultValue();
    ++socketCount;
}

TCustomWSocket::~TCustomWSocket()
{
    // No event fires from here on: the derived parts of the object are gone.
    destroying_ = true;
    try {
        CancelDnsLookup();
        if (state_ != wsClosed)
            InternalClose(false, 0);
    } catch (...) {
    }
    if (--socketCount < 1) {
        socketCount = 0;
        WinsockUnload();
    }
    DeleteBufferedData();
    DeallocateSocketHWnd();
}

int TCustomWSocket::SocketCount() { return socketCount; }

void TCustomWSocket::AllocateSocketHWnd()
{
    window_ = std::make_unique<TSocketWindow>(*this);
    if (!window_->Handle()) {
        window_.reset();
        throw ESocketException("Cannot create a hidden window for TWSocket");
    }
}

void TCustomWSocket::DeallocateSocketHWnd() { window_.reset(); }

HWND TCustomWSocket::WindowHandle() const { return window_ ? window_->Handle() : nullptr; }

void TCustomWSocket::PostToSelf(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HWND hwnd = WindowHandle())
        PostMessageW(hwnd, message, wParam, lParam);
}

void TCustomWSocket::AssignDefaultValue()
{
    sin_ = {};
    sin_.sin_family = AF_INET;
    portAssigned_ = false;
    addrAssigned_ = false;
    addrResolved_ = false;
    portResolved_ = false;
    protoAssigned_ = true;
    protoResolved_ = false;
    localPortResolved_ = false;
    proto_ = IPPROTO_TCP;
    protoStr_ = "tcp";
    type_ = SOCK_STREAM;
    localPortStr_ = "0";
    localAddr_ = "0.0.0.0";
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    hSocket_ = INVALID_SOCKET;
    selectEvents_ = 0;
    state_ = wsClosed;
    allSent_ = true;
    readCount_ = 0;
    paused_ = false;
    closeInvoked_ = false;
    FlushTimeout = 60;
}

bool TCustomWSocket::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing may escape into the system's window procedure: failures end here.
    try {
        switch (message) {
        case WM_ASYNCSELECT:
            WMAsyncSelect(wParam, lParam);
            break;
        case WM_ASYNCGETHOSTBYNAME:
            WMAsyncGetHostByName(wParam, lParam);
            break;
        case WM_ASYNCGETHOSTBYADDR:  // reverse lookups are never started
            break;
        case WM_CLOSE_DELAYED:
            Close();
            break;
        case WM_WSOCKET_RELEASE:
            delete this;
            return true;
        case WM_TRIGGER_EXCEPTION:
            throw ESocketException("Test exception in WSocket");
        default:
            return false;
        }
    } catch (const std::exception& e) {
        HandleBackgroundException(e);
    } catch (...) {
        HandleBackgroundException(ESocketException("Unknown exception in a socket event"));
    }
    return true;
}

void TCustomWSocket::HandleBackgroundException(const std::exception& e)
{
    bool canClose = true;
    if (OnBgException) {
        try {
            OnBgException(this, e, canClose);
        } catch (...) {
        }
    }
    if (canClose) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

void TCustomWSocket::RaiseException(const std::string& message)
{
    if (OnError)
        TriggerError();
    else
        throw ESocketException(message);
}

void TCustomWSocket::SocketError(const std::string& function)
{
    const int code = Winsock::WSAGetLastError();
    const std::string text =
        "Error " + std::to_string(code) + " in function " + function + "\r\n" + WSocketErrorText(code);
    if (code == WSAECONNRESET || code == WSAENOTCONN) {
        if (hSocket_ != INVALID_SOCKET)
            Winsock::closesocket(hSocket_);
        hSocket_ = INVALID_SOCKET;
        PurgeSocketMessages();
        if (state_ != wsClosed) {
            TriggerSessionClosed(static_cast<WORD>(code));
            if (state_ != wsClosed)
                ChangeState(wsClosed);
        }
    }
    lastError_ = code;
    RaiseException(text);
}

void TCustomWSocket::ChangeState(TSocketState newState)
{
    const TSocketState oldState = state_;
    state_ = newState;
    TriggerChangeState(oldState, newState);
}

void TCustomWSocket::SetAddr(const std::string& value)
{
    if (state_ != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    if (addrAssigned_ && value == addrStr_)
        return;
    addrStr_ = WSocketTrim(value);
    addrResolved_ = false;
    addrAssigned_ = !addrStr_.empty();
}

void TCustomWSocket::SetPort(const std::string& value)
{
    if (state_ != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    if (portAssigned_ && value == portStr_)
        return;
    portStr_ = WSocketTrim(value);
    portResolved_ = false;
    portAssigned_ = !portStr_.empty();
}

void TCustomWSocket::SetProto(const std::string& value)
{
    if (state_ != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    if (protoAssigned_ && value == protoStr_)
        return;
    protoStr_ = WSocketTrim(value);
    protoResolved_ = false;
    protoAssigned_ = !protoStr_.empty();
}

void TCustomWSocket::SetLocalAddr(const std::string& value)
{
    if (state_ != wsClosed) {
        RaiseException("Cannot change LocalAddr if not closed");
        return;
    }
    localAddr_ = value.empty() ? "0.0.0.0" : value;
}

void TCustomWSocket::SetLocalPort(const std::string& value)
{
    if (state_ != wsClosed) {
        RaiseException("Cannot change LocalPort if not closed");
        return;
    }
    localPortStr_ = value;
    localPortResolved_ = false;
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags value)
{
    if (value != wsSendNormal && value != wsSendUrgent) {
        RaiseException("Invalid SendFlags");
        return;
    }
    sendFlags_ = value;
}

std::string TCustomWSocket::PeerAddr()
{
    sockaddr_in peer = {};
    int length = sizeof peer;
    if (hSocket_ == INVALID_SOCKET ||
        Winsock::getpeername(hSocket_, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return "error";
    return Winsock::inet_ntoa(peer.sin_addr);
}

std::string TCustomWSocket::PeerPort()
{
    sockaddr_in peer = {};
    int length = sizeof peer;
    if (hSocket_ == INVALID_SOCKET ||
        Winsock::getpeername(hSocket_, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return "error";
    return std::to_string(Winsock::ntohs(peer.sin_port));
}

void TCustomWSocket::MessagePump()
{
    if (!MultiThreaded && Application) {
        Application->ProcessMessages();
        return;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool TCustomWSocket::TriggerDataAvailable(WORD error)
{
    if (!OnDataAvailable || destroying_)
        return false;
    OnDataAvailable(this, error);
    return true;
}

void TCustomWSocket::TriggerSessionAvailable(WORD error)
{
    if (OnSessionAvailable && !destroying_)
        OnSessionAvailable(this, error);
}

void TCustomWSocket::TriggerSessionConnected(WORD error)
{
    if (OnSessionConnected && !destroying_)
        OnSessionConnected(this, error);
}

void TCustomWSocket::TriggerSessionClosed(WORD error)
{
    if (OnSessionClosed && !destroying_)
        OnSessionClosed(this, error);
}

void TCustomWSocket::TriggerDataSent(WORD error)
{
    if (OnDataSent && !destroying_)
        OnDataSent(this, error);
}

void TCustomWSocket::TriggerChangeState(TSocketState oldState, TSocketState newState)
{
    if (OnChangeState && !destroying_)
        OnChangeState(this, oldState, newState);
}

void TCustomWSocket::TriggerDnsLookupDone(WORD error)
{
    if (OnDnsLookupDone && !destroying_)
        OnDnsLookupDone(this, error);
}

void TCustomWSocket::TriggerError()
{
    if (OnError && !destroying_)
        OnError(this);
}
