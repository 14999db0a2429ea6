#include "ImapSession.h"

#include "../net/WSockErrors.h"
#include "../net/WSocket.h"

namespace {

constexpr UINT_PTR SilenceTimerId = 1;
constexpr UINT SilenceTimerMs = 250;
constexpr UINT_PTR RenewalTimerId = 2;

// The socket, with timers on its own window: the silence of the server and
// the renewal of IDLE.
class TImapSocket : public TWSocket {
public:
    std::function<void()> OnSilenceTimer;
    std::function<void()> OnRenewalTimer;

protected:
    bool WndProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && (wParam == SilenceTimerId || wParam == RenewalTimerId)) {
            const std::function<void()>& handler = wParam == SilenceTimerId ? OnSilenceTimer : OnRenewalTimer;
            if (handler)
                handler();
            return true;
        }
        return TWSocket::WndProc(message, wParam, lParam);
    }
};

}  // namespace

TImapSession::TImapSession()
{
    TImapSocket* socket = new TImapSocket();
    socket->OnSilenceTimer = [this] { SilenceTick(); };
    socket->OnRenewalTimer = [this] {
        Conversation.RenewIdle();
        UpdateWaiting();
    };
    socket_.reset(socket);
    Conversation.Send = [this](const std::string& bytes) {
        lastHeard_ = GetTickCount();
        socket_->SendStr(bytes);
    };
    Conversation.StartTls = [this] {
        try {
            socket_->StartTls();
        } catch (const std::exception& e) {
            Conversation.TlsDone(false, e.what());
        }
    };
    Conversation.OnFinished = [this] { Finished(); };
    socket_->OnDnsLookupDone = [this](TCustomWSocket*, WORD error) { LookupDone(error); };
    socket_->OnSessionConnected = [this](TCustomWSocket*, WORD error) { SessionConnected(error); };
    socket_->OnDataAvailable = [this](TCustomWSocket*, WORD) { DataAvailable(); };
    socket_->OnSessionClosed = [this](TCustomWSocket*, WORD) {
        if (!closing_)
            Conversation.Closed();
    };
    socket_->OnTlsDone = [this](TCustomWSocket*, WORD error) {
        Conversation.TlsDone(error == 0, socket_->TlsErrorText());
        UpdateWaiting();
    };
}

TImapSession::~TImapSession()
{
    StopWaiting();
    StopRenewal();
    // Nothing the socket reports while it closes reaches a half-destroyed session.
    socket_->OnDnsLookupDone = nullptr;
    socket_->OnSessionConnected = nullptr;
    socket_->OnSessionClosed = nullptr;
    socket_->OnDataAvailable = nullptr;
    socket_->OnTlsDone = nullptr;
    socket_->Abort();
}

bool TImapSession::Connected() const
{
    return socket_->State() == wsConnected;
}

void TImapSession::Open()
{
    Close();
    closing_ = false;
    Conversation.Opening();
    Wait();
    try {
        socket_->DnsLookup(Conversation.Account.Host);
    } catch (const std::exception& e) {
        Conversation.ConnectionFailed(std::string("the server's name cannot be looked up: ") + e.what());
    }
}

void TImapSession::LookupDone(WORD error)
{
    if (error != 0) {
        Conversation.ConnectionFailed("the server's name cannot be looked up: " + WSocketErrorText(error));
        return;
    }
    try {
        socket_->SetAddr(socket_->DnsResult());
        socket_->SetProto("tcp");
        socket_->SetPort(std::to_string(Conversation.Account.Port));
        socket_->SslEnable = Conversation.Account.Security == TImapSecurity::Implicit;
        socket_->TlsServerName = Conversation.Account.Host;
        socket_->TlsFingerprint = Fingerprint;
        socket_->Connect();
    } catch (const std::exception& e) {
        Conversation.ConnectionFailed(std::string("the connection cannot be made: ") + e.what());
    }
}

std::string TImapSession::ConnectionError(WORD error) const
{
    // A refused certificate is named, so that the user can pin it knowingly.
    if (error == WSocketErrorTls && !socket_->TlsPeerFingerprint().empty())
        return socket_->TlsErrorText() + ", SHA-256 fingerprint " + socket_->TlsPeerFingerprint();
    if (error == WSocketErrorTls)
        return socket_->TlsErrorText();
    return WSocketErrorText(error);
}

void TImapSession::SessionConnected(WORD error)
{
    if (error != 0) {
        Conversation.ConnectionFailed("the connection failed: " + ConnectionError(error));
        return;
    }
    Conversation.Connected();
}

void TImapSession::DataAvailable()
{
    char buffer[16384];
    const int got = socket_->Receive(buffer, sizeof buffer);
    if (got <= 0)
        return;
    lastHeard_ = GetTickCount();
    Conversation.Received(buffer, std::size_t(got));
    UpdateWaiting();
}

void TImapSession::Wait()
{
    lastHeard_ = GetTickCount();
    waiting_ = true;
    if (Timeout > 0)
        SetTimer(socket_->WindowHandle(), SilenceTimerId, SilenceTimerMs, nullptr);
}

void TImapSession::StopWaiting()
{
    if (waiting_)
        KillTimer(socket_->WindowHandle(), SilenceTimerId);
    waiting_ = false;
}

void TImapSession::UpdateWaiting()
{
    const bool awaits = !closing_ && !Conversation.Finished() && !Conversation.IdleAccepted();
    if (awaits && !waiting_)
        Wait();
    else if (!awaits && waiting_)
        StopWaiting();
}

void TImapSession::StopRenewal()
{
    KillTimer(socket_->WindowHandle(), RenewalTimerId);
}

bool TImapSession::Idle()
{
    if (!Conversation.Idle())
        return false;
    UpdateWaiting();
    if (IdleRenewal > 0)
        SetTimer(socket_->WindowHandle(), RenewalTimerId, IdleRenewal * 1000u, nullptr);
    return true;
}

bool TImapSession::MoveToSpam(const std::vector<std::uint32_t>& uids, const std::vector<std::uint64_t>& sizes)
{
    if (!Conversation.MoveToSpam(uids, sizes))
        return false;
    UpdateWaiting();
    return true;
}

bool TImapSession::DeleteUids(const std::vector<std::uint32_t>& uids)
{
    if (!Conversation.DeleteUids(uids))
        return false;
    UpdateWaiting();
    return true;
}

void TImapSession::SilenceTick()
{
    if (!waiting_ || Timeout == 0 || GetTickCount() - lastHeard_ < Timeout * 1000ul)
        return;
    StopWaiting();
    // The failure closes the connection (Finished), a handshake that never
    // ends included.
    Conversation.ConnectionFailed("the server did not answer for " + std::to_string(Timeout) + " s");
}

void TImapSession::Finished()
{
    StopWaiting();
    StopRenewal();
    // A failed or finished conversation leaves nothing to say on this
    // connection; the socket closes from the message loop, not inside its
    // own event.
    if (Conversation.Step() != TImapStep::Ready && socket_->State() != wsClosed)
        socket_->CloseDelayed();
    if (OnFinished)
        OnFinished(*this);
}

void TImapSession::Logout()
{
    if (Connected() && Conversation.Step() != TImapStep::Failed) {
        StopRenewal();
        Conversation.Logout();
        UpdateWaiting();
    }
    else
        Close();
}

void TImapSession::Close()
{
    StopWaiting();
    StopRenewal();
    closing_ = true;
    if (socket_->State() != wsClosed)
        socket_->Close();
}
