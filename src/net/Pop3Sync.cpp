#include "Pop3Sync.h"

#include <algorithm>

#include "Pop3ProtPump.h"
#include "framework/Application.h"

namespace {
// Timeouts above this many seconds are taken as this (about 24 days), so
// that the deadline stays within half the tick counter's range.
constexpr int MaxTimeoutSeconds = 2000000;

DWORD TimeoutMs(int seconds)
{
    return static_cast<DWORD>(seconds > MaxTimeoutSeconds ? MaxTimeoutSeconds : seconds) * 1000u;
}
}  // namespace

void TSyncPop3Cli::ArmDeadline()
{
    deadline_ = GetTickCount() + (Timeout > 0 ? TimeoutMs(Timeout) : 0);
}

void TSyncPop3Cli::TriggerResponse(const std::string& msg)
{
    TPop3Cli::TriggerResponse(msg);
    if (Timeout > 0)
        ArmDeadline();
}

void TSyncPop3Cli::TriggerPipelinedReply(std::size_t index, bool done)
{
    TPop3Cli::TriggerPipelinedReply(index, done);
    // Each command of a pipelined run is a request of its own: the limit
    // holds for each one, not for the whole run.
    requestStarted_ = GetTickCount();
}

void TSyncPop3Cli::CancelRequests()
{
    cancelled_ = true;
    // Wakes the wait, which may be sleeping until its deadline.
    PostMessageW(WindowHandle(), WM_NULL, 0, 0);
}

void TSyncPop3Cli::StopRequest(const std::string& reason)
{
    stopAsked_ = "426 " + reason;
    PostMessageW(WindowHandle(), WM_NULL, 0, 0);
}

bool TSyncPop3Cli::WaitUntilReady()
{
    stopAsked_.clear();
    ArmDeadline();
    requestStarted_ = GetTickCount();
    bool quitSeen = false;
    int exitCode = 0;
    std::string stopReason = "426 Timeout";
    for (;;) {
        if (ClientState() == pop3Idle) {
            DeliverRequestDone();
            if (quitSeen)
                PostQuitMessage(exitCode);  // the program's loop still needs it
            return ErrorCode() == 0;
        }
        if (quitSeen)
            break;
        if (cancelled_ || TApplication::Terminating()) {
            stopReason = "426 Cancelled";
            break;
        }
        if (!stopAsked_.empty()) {
            stopReason = stopAsked_;
            break;
        }
        // Signed difference: correct across the tick counter's wrap.
        const int left = static_cast<int>(deadline_ - GetTickCount());
        if (Timeout > 0 && left < 0) {
            // A handshake that did not end says what it was waiting for.
            const std::string stall = Socket()->TlsHandshakeStall();
            if (!stall.empty())
                stopReason += " in the TLS handshake: " + stall;
            break;
        }
        const DWORD limitMs = RequestLimit > 0 ? TimeoutMs(RequestLimit) : 0;
        if (limitMs > 0 && GetTickCount() - requestStarted_ >= limitMs) {
            stopReason = "426 Timeout: request longer than " + std::to_string(RequestLimit) + " s";
            break;
        }
        if (MultiThreaded)
            Socket()->MessagePump();
        else
            quitSeen = Pop3PumpMessages(false, exitCode);
        // A cancel or quit request made by a message of that pass has had its
        // wake-up message taken by the same pass: look before sleeping.
        if (ClientState() == pop3Idle || quitSeen || cancelled_ || TApplication::Terminating())
            continue;
        // A reply on the loopback or the LAN comes within a few milliseconds;
        // reading it straight away spares the wait for Winsock's notice,
        // which under some systems takes longer than the reply itself.
        if (!MultiThreaded && Socket()->ReceiveWaiting(2))
            continue;
        // Sleep until a message arrives or the deadline (which a received
        // line may have moved) passes, instead of polling.
        DWORD wait = INFINITE;
        if (Timeout > 0) {
            const int remaining = static_cast<int>(deadline_ - GetTickCount());
            wait = static_cast<DWORD>(remaining > 0 ? remaining : 0);
        }
        if (limitMs > 0) {
            const DWORD elapsed = GetTickCount() - requestStarted_;
            wait = std::min(wait, elapsed < limitMs ? limitMs - elapsed : 0);
        }
        TApplication::WaitForMessage(wait);
    }
    Abort();
    SetErrorMessage(stopReason);
    SetStatusCode(426);
    // The quit message belongs to the program's loop: hand it back once the
    // abort (which may pump messages itself) is over.
    if (quitSeen)
        PostQuitMessage(exitCode);
    return false;
}

void TSyncPop3Cli::DeliverRequestDone()
{
    // The end of a request is announced through the queue; a reply read
    // directly leaves the notice there: it is handled before the call returns.
    MSG msg;
    if (PeekMessageW(&msg, WindowHandle(), WM_POP3_REQUEST_DONE, WM_POP3_REQUEST_DONE, PM_REMOVE))
        DispatchMessageW(&msg);
}

bool TSyncPop3Cli::Run(void (TCustomPop3Cli::*request)())
{
    if (cancelled_ || TApplication::Terminating())
        return false;
    try {
        (this->*request)();
        return WaitUntilReady();
    } catch (...) {
        return false;
    }
}

bool TSyncPop3Cli::ConnectSync() { return Run(&TCustomPop3Cli::Connect); }
bool TSyncPop3Cli::OpenSync() { return Run(&TCustomPop3Cli::Open); }
bool TSyncPop3Cli::UserSync() { return Run(&TCustomPop3Cli::User); }
bool TSyncPop3Cli::PassSync() { return Run(&TCustomPop3Cli::Pass); }
bool TSyncPop3Cli::RPopSync() { return Run(&TCustomPop3Cli::RPop); }
bool TSyncPop3Cli::APopSync() { return Run(&TCustomPop3Cli::APop); }
bool TSyncPop3Cli::QuitSync() { return Run(&TCustomPop3Cli::Quit); }
bool TSyncPop3Cli::StatSync() { return Run(&TCustomPop3Cli::Stat); }
bool TSyncPop3Cli::ListSync() { return Run(&TCustomPop3Cli::List); }
bool TSyncPop3Cli::RetrSync() { return Run(&TCustomPop3Cli::Retr); }
bool TSyncPop3Cli::TopSync() { return Run(&TCustomPop3Cli::Top); }
bool TSyncPop3Cli::DeleSync() { return Run(&TCustomPop3Cli::Dele); }
bool TSyncPop3Cli::NoopSync() { return Run(&TCustomPop3Cli::Noop); }
bool TSyncPop3Cli::LastSync() { return Run(&TCustomPop3Cli::Last); }
bool TSyncPop3Cli::RSetSync() { return Run(&TCustomPop3Cli::RSet); }
bool TSyncPop3Cli::UidlSync() { return Run(&TCustomPop3Cli::Uidl); }
bool TSyncPop3Cli::AbortSync() { return Run(&TCustomPop3Cli::Abort); }
bool TSyncPop3Cli::CapaSync() { return Run(&TCustomPop3Cli::Capa); }
bool TSyncPop3Cli::StlsSync() { return Run(&TCustomPop3Cli::Stls); }
bool TSyncPop3Cli::AuthSync() { return Run(&TCustomPop3Cli::Auth); }

bool TSyncPop3Cli::PipelineSync(std::vector<TPop3Command> commands, int window, TPop3MayStart mayStart)
{
    if (cancelled_ || TApplication::Terminating())
        return false;
    try {
        Pipeline(std::move(commands), window, std::move(mayStart));
        return WaitUntilReady();
    } catch (...) {
        return false;
    }
}
