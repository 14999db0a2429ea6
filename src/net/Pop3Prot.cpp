// The POP3 client's life cycle: hidden window, connection, reception of
// lines and completion of requests. The commands are in Pop3ProtCommands.cpp.
#include "Pop3Prot.h"

#include "Pop3Parse.h"
#include "WSockErrors.h"
#include "framework/Window.h"

// The hidden window only carries the posted completion message.
class TPop3Window : public TWindowBase {
public:
    static constexpr const char* ClassName = "TPop3CliWindow";

    explicit TPop3Window(TCustomPop3Cli* owner) : owner_(owner)
    {
        RegisterClassOnce(ClassName);
        CreateHandle(ClassName, "", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
    }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (owner_->WndProc(message, wParam, lParam)) {
            result = 0;
            return true;
        }
        return TWindowBase::HandleMessage(message, wParam, lParam, result);
    }

private:
    TCustomPop3Cli* owner_;
};

namespace {
std::string WinsockErrorLine(int error)
{
    return "-ERR " + WSocketErrorText(error) + " (Winsock error #" + std::to_string(error) + ")";
}
}  // namespace

TCustomPop3Cli::TCustomPop3Cli()
    : window_(new TPop3Window(this)), socket_(new TWSocket())
{
    socket_->OnSessionClosed = [this](TCustomWSocket*, WORD error) { SessionClosed(error); };
}

TCustomPop3Cli::~TCustomPop3Cli()
{
    // The socket's closing must not reach back into a half-destroyed client.
    socket_->OnSessionClosed = nullptr;
    socket_->OnDataAvailable = nullptr;
    socket_->OnSessionConnected = nullptr;
    socket_->OnDnsLookupDone = nullptr;
    socket_.reset();
    window_.reset();
}

HWND TCustomPop3Cli::WindowHandle() const { return window_->Handle(); }

bool TCustomPop3Cli::WndProc(UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_POP3_REQUEST_DONE)
        return false;
    if (OnRequestDone)
        OnRequestDone(this, requestType_, LOWORD(lParam));
    return true;
}

void TCustomPop3Cli::SetClientState(TPop3ClientState state)
{
    if (clientState_ == state)
        return;
    clientState_ = state;
    TriggerStateChange();
}

void TCustomPop3Cli::TriggerStateChange()
{
    if (OnStateChange)
        OnStateChange(this);
}

void TCustomPop3Cli::TriggerSessionConnected(WORD error)
{
    if (OnSessionConnected)
        OnSessionConnected(this, error);
}

void TCustomPop3Cli::TriggerResponse(const std::string& msg)
{
    if (OnResponse)
        OnResponse(this, msg);
}

void TCustomPop3Cli::Display(const std::string& text)
{
    if (OnDisplay)
        OnDisplay(this, text);
}

void TCustomPop3Cli::FillErrorMessage(const std::string& text)
{
    if (errorMessage_.empty())
        errorMessage_ = text;
}

void TCustomPop3Cli::TriggerRequestDone(WORD error)
{
    // A step of STLS that ended: the request goes on, or fails as a whole.
    if (stlsStep_ != StlsNone) {
        ContinueStls(error);
        return;
    }
    if (authStep_ != AuthNone) {
        ContinueAuth(error);
        return;
    }
    // What ends a request in the middle of a pipelined run (the session's
    // end) ends the reply in hand as it would have ended that request.
    if (pipelining_)
        CutPipeline(errorCode_ == 0 && clientState_ != pop3Aborting);
    if (requestType_ == pop3ReqQuit && quitSent_) {
        if (!quitGate_) {
            quitGate_ = true;
            // Once the server has answered QUIT either side may close (RFC
            // 1939): closing here spares waiting on a server that keeps the
            // line open. The closing completes the request.
            if (connected_)
                socket_->Close();
            return;
        }
        quitGate_ = false;
        quitSent_ = false;
        error = 0;
    }
    if (requestDone_)
        return;
    requestDone_ = true;
    if (chainRunning_) {
        if (clientState_ != pop3Aborting)
            SetClientState(pop3InternalIdle);
        ChainNext();
        return;
    }
    FinishRequest(error);
}

void TCustomPop3Cli::FinishRequest(WORD error)
{
    SetClientState(pop3Idle);
    chainRunning_ = false;
    PostMessageW(window_->Handle(), WM_POP3_REQUEST_DONE, 0, MAKELPARAM(error, 0));
}

void TCustomPop3Cli::Connect()
{
    CheckReady();
    if (connected_)
        throw Pop3Exception("POP3 component already connected");
    // Refused here rather than by the lookup, so that the client stays idle
    // and usable instead of waiting forever for a lookup that never started.
    if (Pop3Trim(Host).empty())
        throw Pop3Exception("DNS lookup: invalid host name.");
    if (!chainRunning_)
        requestType_ = pop3ReqConnect;
    requestDone_ = false;
    quitSent_ = false;
    capaKnown_ = false;
    capabilities_.clear();
    pipelining_ = false;
    stlsStep_ = StlsNone;
    authStep_ = AuthNone;
    authMechanism_ = saslNone;
    buffer_.Clear();
    errorCode_ = 0;
    SetClientState(pop3Resolving);
    errorMessage_.clear();
    socket_->OnDataSent = nullptr;
    socket_->OnDnsLookupDone = [this](TCustomWSocket*, WORD error) { DnsLookupDone(error); };
    try {
        socket_->DnsLookup(Host);
    } catch (...) {
        SetClientState(pop3Idle);
        throw;
    }
}

void TCustomPop3Cli::DnsLookupDone(WORD error)
{
    if (error != 0) {
        lastResponse_ = WinsockErrorLine(error);
        statusCode_ = 500;
        errorCode_ = error;
        FillErrorMessage(lastResponse_);
        TriggerRequestDone(error);
        return;
    }
    try {
        socket_->SetAddr(socket_->DnsResult());
        socket_->SetProto("tcp");
        socket_->SetPort(Port);
        socket_->SetLocalAddr(LocalAddr);
        socket_->SslEnable = Security == pop3SecImplicit;
        socket_->TlsServerName = Pop3Trim(Host);
        socket_->TlsFingerprint = Fingerprint;
        socket_->OnSessionConnected = [this](TCustomWSocket*, WORD e) { SessionConnected(e); };
        socket_->OnDataAvailable = [this](TCustomWSocket*, WORD) { DataAvailable(); };
        SetClientState(pop3Connecting);
        socket_->Connect();
    } catch (const std::exception& e) {
        const char* className = dynamic_cast<const ESocketException*>(&e) ? "ESocketException"
                                : dynamic_cast<const Pop3Exception*>(&e) ? "Pop3Exception"
                                                                          : "Exception";
        lastResponse_ = std::string("-ERR ") + className + ": " + e.what();
        statusCode_ = 500;
        errorCode_ = 500;
        FillErrorMessage(lastResponse_);
        TriggerRequestDone(500);
    }
}

void TCustomPop3Cli::SessionConnected(WORD error)
{
    if (error != 0) {
        lastResponse_ = ConnectionErrorLine(error);
        statusCode_ = 500;
        connected_ = false;
        errorCode_ = error;
        FillErrorMessage(lastResponse_);
        TriggerRequestDone(error);
        socket_->Close();
        SetClientState(pop3Idle);
        return;
    }
    connected_ = true;
    SetClientState(pop3WaitingGreeting);
}

std::string TCustomPop3Cli::ConnectionErrorLine(WORD error) const
{
    // A refused certificate is named, so that the user can pin it knowingly.
    if (error == WSocketErrorTls && !socket_->TlsPeerFingerprint().empty())
        return "-ERR " + socket_->TlsErrorText() + ", SHA-256 fingerprint " + socket_->TlsPeerFingerprint();
    if (error == WSocketErrorTls)
        return "-ERR " + socket_->TlsErrorText();
    return WinsockErrorLine(error);
}

void TCustomPop3Cli::SessionClosed(WORD error)
{
    connected_ = false;
    // A request cut off by the end of the session failed, whatever its first
    // line said: a partial list or message is not a result. A sent QUIT ends
    // this way on purpose.
    if (!requestDone_ && !(requestType_ == pop3ReqQuit && quitSent_) && clientState_ != pop3Idle &&
        errorCode_ == 0) {
        errorCode_ = WSocketErrorCancelled;
        statusCode_ = 500;
        // A TLS failure ended it: its reason, not a bare disconnection.
        const std::string& tls = socket_->TlsErrorText();
        FillErrorMessage(tls.empty() ? "-ERR Disconnected unexpectedly" : "-ERR " + tls);
    }
    if (OnSessionClosed)
        OnSessionClosed(this, error);
    TriggerRequestDone(WSocketErrorCancelled);
    SetProtocolState(pop3Disconnected);
}

void TCustomPop3Cli::DataAvailable()
{
    TCustomWSocket* socket = socket_.get();
    const bool full = buffer_.FreeSpace() == 0;
    if (!full && !buffer_.ReadFrom([socket](char* dest, int size) { return socket->Receive(dest, size); }))
        return;
    // An exception of a handler stops the handling of this notification; the
    // lines left in the buffer wait for the next one.
    try {
        TPop3Line line;
        while (buffer_.ExtractLine(line))
            HandleLine(line);
    } catch (const std::exception&) {
    }
}

void TCustomPop3Cli::HandleLine(const TPop3Line& line)
{
    lastResponse_ = line.Text;
    TriggerResponse(line.Text);
    switch (clientState_) {
    case pop3WaitingGreeting:
        HandleGreeting(line);
        break;
    case pop3WaitingReply:
        if (!next_)
            throw Pop3Exception("Program error: FNext is nil");
        (this->*next_)(line);
        break;
    default:
        Display("< " + line.Text);
        break;
    }
}

void TCustomPop3Cli::HandleGreeting(const TPop3Line& line)
{
    Display("< " + line.Text);
    if (line.Continuation)  // the rest of an over-long greeting, already answered
        return;
    if (!Pop3IsPositiveReply(line.Text)) {
        statusCode_ = 500;
        FillErrorMessage(line.Text);
        errorCode_ = 500;
        socket_->Close();
        return;
    }
    timestamp_ = Pop3ExtractTimestamp(line.Text);
    SetProtocolState(pop3WaitingUser);
    SetClientState(pop3Connected);
    TriggerSessionConnected(0);
    TriggerRequestDone(0);
}

void TCustomPop3Cli::SingleLineReply(const TPop3Line& line)
{
    Display("< " + line.Text);
    // The rest of a cut line is not the start of a reply.
    if (line.Continuation)
        return;
    statusCode_ = Pop3ReplyStatus(line.Text);
    if (statusCode_ != 0) {
        errorCode_ = statusCode_;
        FillErrorMessage(line.Text);
        ReplyDone(static_cast<WORD>(errorCode_));
        return;
    }
    errorCode_ = 0;
    SetProtocolState(nextProtocolState_);
    if (replyCallback_)
        (this->*replyCallback_)();
    else
        ReplyDone(0);
}

void TCustomPop3Cli::StartBody(TPop3NotifyEvent* begin, TPop3NotifyEvent* each, TPop3NotifyEvent* end,
                               TLineParser parser)
{
    bodyBegin_ = begin;
    bodyLine_ = each;
    bodyEnd_ = end;
    lineParser_ = parser;
    next_ = &TCustomPop3Cli::BodyLine;
    if (*bodyBegin_)
        (*bodyBegin_)(this);
}

void TCustomPop3Cli::BodyLine(const TPop3Line& line)
{
    if (!connected_) {
        errorMessage_ = "-ERR Disconneced unexpectedly";
        errorCode_ = 500;
        Display(errorMessage_);
        ReplyDone(500);
        return;
    }
    if (Pop3IsBodyEnd(line)) {
        // A message that is all header (no empty line before the end, as
        // Dovecot sends such a message's TOP n 0) still has its fields.
        if (bodyLine_ == &OnMessageLine && header_.InHeaderPart) {
            header_.InHeaderPart = false;
            if (OnHeaderEnd)
                OnHeaderEnd(this);
        }
        if (*bodyEnd_)
            (*bodyEnd_)(this);
        lastResponse_.clear();
        next_ = nullptr;
        ReplyDone(0);
        return;
    }
    lastResponse_ = Pop3UnstuffLine(line);
    lastLineContinuation_ = line.Continuation;
    if (header_.InHeaderPart && header_.ProcessLine(lastResponse_, line.Continuation) && OnHeaderEnd)
        OnHeaderEnd(this);
    // The rest of an over-long list line is no other message.
    if (lineParser_ && line.Continuation)
        return;
    if (lineParser_)
        (this->*lineParser_)();
    if (*bodyLine_)
        (*bodyLine_)(this);
}

void TCustomPop3Cli::Abort()
{
    SetClientState(pop3Aborting);
    socket_->CancelDnsLookup();
    socket_->Abort();
    // The session's end has normally cut the run short already.
    if (pipelining_)
        CutPipeline(false);
    SetClientState(pop3Idle);
}

void TCustomPop3Cli::Open()
{
    if (connected_)
        throw Pop3Exception("pop3 component already connected");
    CheckReady();
    requestType_ = pop3ReqOpen;
    errorCode_ = 0;
    chainSteps_ = StepConnect | (Security == pop3SecStartTls ? unsigned{StepStls} : 0u) |
                  (Login == pop3LoginOAuth ? unsigned{StepAuth} : unsigned{StepUser | StepPass});
    chainRunning_ = true;
    lastResponse_.clear();
    errorMessage_.clear();
    ChainNext();
}

void TCustomPop3Cli::ChainNext()
{
    int result = 0;
    bool end = false;
    if (clientState_ == pop3Aborting) {
        result = 426;
        lastResponse_ = "426 Operation aborted.";
        end = true;
    } else if (errorCode_ != 0) {
        result = errorCode_;
        end = true;
    } else if (chainSteps_ == 0) {
        end = true;
    } else {
        try {
            if (chainSteps_ & StepConnect) {
                chainSteps_ &= ~StepConnect;
                // A token is only ever sent encrypted: refused before any connection.
                if (Login == pop3LoginOAuth && Security == pop3SecNone)
                    throw Pop3Exception(Pop3OAuthNeedsTls);
                Connect();
            } else if (chainSteps_ & StepStls) {
                chainSteps_ &= ~StepStls;
                Stls();
            } else if (chainSteps_ & StepAuth) {
                chainSteps_ &= ~StepAuth;
                Auth();
            } else if (chainSteps_ & StepUser) {
                chainSteps_ &= ~StepUser;
                User();
            } else {
                chainSteps_ &= ~StepPass;
                Pass();
            }
        } catch (const std::exception& e) {
            // A step refused at its start ends the chain like a failed step.
            FillErrorMessage(e.what());
            errorCode_ = 500;
            statusCode_ = 500;
            result = 500;
            end = true;
        }
    }
    if (end) {
        chainSteps_ = 0;
        requestDone_ = true;
        FinishRequest(static_cast<WORD>(result));
    }
}
