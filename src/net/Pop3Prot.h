// The POP3 client (RFC 1939, with RPOP and LAST): one request at a time on
// its own TWSocket, never blocking. Every request ends with OnRequestDone,
// posted through a hidden window so that it arrives from the message loop
// once the client is idle again. Multi-line replies are delivered line by
// line through events, and the usual header fields are picked out of the
// header part of RETR and TOP bodies.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../mime/Pop3Header.h"
#include "Pop3LineBuffer.h"
#include "SaslOAuth.h"
#include "WSocket.h"

class Pop3Exception : public std::runtime_error {
public:
    explicit Pop3Exception(const std::string& message) : std::runtime_error(message) {}
};

enum TPop3ProtocolState { pop3Disconnected, pop3WaitingUser, pop3WaitingPass, pop3Transaction };
// How the session is protected: in clear, TLS after STLS (RFC 2595), or TLS
// from the first byte (RFC 8314). With either TLS mode no login command is
// sent before TLS is up.
enum TPop3Security { pop3SecNone, pop3SecStartTls, pop3SecImplicit };
// How the session logs in: USER and PASS, or SASL AUTH with an OAuth 2.0
// bearer token (RFC 5034, RFC 7628), which is only ever sent over TLS.
enum TPop3Login { pop3LoginPassword, pop3LoginOAuth };
// The error line of an OAuth login asked for a session in clear.
inline constexpr const char* Pop3OAuthNeedsTls =
    "-ERR OAuth sign-in is only sent over TLS: choose TLS or STLS for this mailbox";
enum TPop3ClientState {
    pop3Idle,
    pop3Resolving,
    pop3Connecting,
    pop3Connected,
    pop3InternalIdle,
    pop3WaitingGreeting,
    pop3WaitingReply,
    pop3Aborting
};
enum TPop3Request {
    pop3ReqConnect,
    pop3ReqUser,
    pop3ReqPass,
    pop3ReqRPop,
    pop3ReqQuit,
    pop3ReqStat,
    pop3ReqList,
    pop3ReqRetr,
    pop3ReqTop,
    pop3ReqDele,
    pop3ReqNoop,
    pop3ReqLast,
    pop3ReqRSet,
    pop3ReqUidl,
    pop3ReqAPop,
    pop3ReqOpen,
    pop3ReqCapa,
    pop3ReqPipeline,
    pop3ReqStls,
    pop3ReqAuth
};

// One transaction command of a pipelined run: what MsgNum and MsgLines would
// hold for the same request sent alone.
struct TPop3Command {
    TPop3Request Request = pop3ReqNoop;
    int MsgNum = 0;
    int MsgLines = 0;
};

// The message that carries a completion to the hidden window.
constexpr UINT WM_POP3_REQUEST_DONE = WM_USER + 1;

class TCustomPop3Cli;
class TPop3Window;

using TPop3DisplayEvent = std::function<void(TCustomPop3Cli* sender, const std::string& msg)>;
using TPop3RequestDoneEvent = std::function<void(TCustomPop3Cli* sender, TPop3Request rqType, WORD error)>;
using TPop3SessionEvent = std::function<void(TCustomPop3Cli* sender, WORD error)>;
using TPop3NotifyEvent = std::function<void(TCustomPop3Cli* sender)>;
// The end of one reply of a pipelined run: the command's place in the run and
// whether it ended as its own request would have ended without error.
using TPop3ReplyEvent = std::function<void(TCustomPop3Cli* sender, std::size_t index, bool done)>;
// Asked before a command of a pipelined run is sent; false sends no more.
using TPop3MayStart = std::function<bool(std::size_t index)>;

class TCustomPop3Cli {
public:
    TCustomPop3Cli();
    virtual ~TCustomPop3Cli();
    TCustomPop3Cli(const TCustomPop3Cli&) = delete;
    TCustomPop3Cli& operator=(const TCustomPop3Cli&) = delete;

    // Settings of the next requests.
    std::string Host;
    std::string LocalAddr = "0.0.0.0";
    std::string Port = "pop3";
    std::string UserName;
    std::string PassWord;
    int MsgLines = 0;  // body lines asked for by TOP
    int MsgNum = 0;    // message number of LIST, UIDL, RETR, TOP, DELE; set by some replies
    int Tag = 0;
    TPop3Security Security = pop3SecNone;
    // A server certificate accepted although it fails the check (TlsFingerprint.h).
    std::string Fingerprint;
    TPop3Login Login = pop3LoginPassword;
    // The bearer token of an OAuth login; never shown through OnDisplay.
    std::string AccessToken;
    // The SASL mechanism of AUTH; saslNone chooses from the server's SASL capability.
    TSaslMechanism OAuthMechanism = saslNone;

    // Outcome of the requests.
    const std::string& ErrorMessage() const { return errorMessage_; }
    const std::string& LastResponse() const { return lastResponse_; }
    // Whether the body line in LastResponse() is the rest of a line longer
    // than the line buffer, so that a copy of the message joins it again.
    bool LastLineContinuation() const { return lastLineContinuation_; }
    TPop3ProtocolState ProtocolState() const { return protocolState_; }
    TPop3ClientState ClientState() const { return clientState_; }
    TPop3Request RequestType() const { return requestType_; }
    bool Connected() const { return connected_; }
    int ErrorCode() const { return errorCode_; }
    int StatusCode() const { return statusCode_; }
    int MsgCount() const { return msgCount_; }
    int MsgSize() const { return msgSize_; }
    const std::string& MsgUidl() const { return msgUidl_; }
    // The number of the last LAST reply.
    int MsgLast() const { return msgLast_; }
    const std::string& Timestamp() const { return timestamp_; }
    const std::string& MsgFrom() const { return header_.MsgFrom; }
    const std::string& MsgTo() const { return header_.MsgTo; }
    const std::string& MsgSubject() const { return header_.MsgSubject; }
    const std::string& MsgReplyTo() const { return header_.MsgReplyTo; }
    const std::string& MsgMessageId() const { return header_.MsgMessageId; }
    const std::string& MsgDate() const { return header_.MsgDate; }
    const std::string& MsgReturnPath() const { return header_.MsgReturnPath; }
    const std::string& HeaderKeyword() const { return header_.HeaderKeyword; }
    const std::string& HeaderData() const { return header_.HeaderData; }
    // The server's capabilities (RFC 2449), one reply line each, from the
    // last CAPA of this session; CapaKnown is false until one was answered.
    bool CapaKnown() const { return capaKnown_; }
    const std::vector<std::string>& Capabilities() const { return capabilities_; }
    // Whether a capability line starts with `name` (case-insensitive).
    bool HasCapability(const std::string& name) const;
    // The mechanism the last AUTH used (saslNone before one was sent).
    TSaslMechanism AuthMechanism() const { return authMechanism_; }
    TWSocket* Socket() const { return socket_.get(); }
    HWND WindowHandle() const;

    TPop3DisplayEvent OnDisplay;
    TPop3NotifyEvent OnMessageBegin;
    TPop3NotifyEvent OnMessageEnd;
    TPop3NotifyEvent OnMessageLine;
    TPop3NotifyEvent OnListBegin;
    TPop3NotifyEvent OnListEnd;
    TPop3NotifyEvent OnListLine;
    TPop3NotifyEvent OnUidlBegin;
    TPop3NotifyEvent OnUidlEnd;
    TPop3NotifyEvent OnUidlLine;
    TPop3NotifyEvent OnHeaderEnd;
    TPop3NotifyEvent OnStateChange;
    TPop3RequestDoneEvent OnRequestDone;
    TPop3DisplayEvent OnResponse;
    TPop3SessionEvent OnSessionConnected;
    TPop3SessionEvent OnSessionClosed;
    TPop3ReplyEvent OnPipelinedReply;

    // The requests; each returns at once and ends with OnRequestDone.
    virtual void Connect();
    virtual void Open();
    virtual void User();
    virtual void Pass();
    virtual void RPop();
    virtual void APop();
    virtual void Quit();
    virtual void Stat();
    virtual void List();
    virtual void Retr();
    virtual void Top();
    virtual void Dele();
    virtual void Noop();
    virtual void Last();
    virtual void RSet();
    virtual void Uidl();
    virtual void Abort();
    // Asks the server for its capabilities; allowed in any state of a session.
    virtual void Capa();
    // Makes the session in clear a TLS session on the same connection (RFC
    // 2595), before any login: asks CAPA unless known, requires STLS among
    // the capabilities, sends STLS and runs the handshake, then forgets the
    // capabilities heard in clear. A server that does not offer STLS or
    // refuses it, and a failed handshake, end the connection: nothing more
    // is sent in clear, not even QUIT. Open runs it when Security asks.
    virtual void Stls();
    // Sends transaction commands without waiting for each reply, with at most
    // `window` of them awaiting theirs (RFC 2449 PIPELINING; a window of 1 is
    // the one-at-a-time conversation). Each reply is read exactly as the
    // reply of the same request sent alone, with its events and its MsgNum,
    // and ends with OnPipelinedReply. The run is one request; it ends once
    // every command sent was answered (error 0), or with the session.
    virtual void Pipeline(std::vector<TPop3Command> commands, int window, TPop3MayStart mayStart = nullptr);
    // The line a command of a pipelined run sends ("RETR 3"), for error
    // lines that name it; empty for a request that cannot be one.
    std::string PipelinedLine(const TPop3Command& command) const;
    // Logs in with AccessToken (RFC 5034 AUTH with its initial response, or
    // after the first challenge when the line would be too long), only in a
    // TLS session: asks CAPA, chooses the mechanism from its SASL
    // line unless OAuthMechanism names one, and answers a failure challenge
    // as the mechanism requires, so that the server's -ERR ends the request.
    // Open runs it instead of USER and PASS when Login asks, and refuses an
    // OAuth login without TLS before connecting.
    virtual void Auth();

protected:
    friend class TPop3Window;

    virtual bool WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void TriggerSessionConnected(WORD error);
    virtual void TriggerResponse(const std::string& msg);
    virtual void TriggerStateChange();
    virtual void TriggerRequestDone(WORD error);
    virtual void TriggerPipelinedReply(std::size_t index, bool done);

    void SetErrorMessage(const std::string& text) { errorMessage_ = text; }
    void SetStatusCode(int code) { statusCode_ = code; }

private:
    using TNextStep = void (TCustomPop3Cli::*)(const TPop3Line& line);
    using TReplyCallback = void (TCustomPop3Cli::*)();
    using TLineParser = void (TCustomPop3Cli::*)();
    // What follows the command's word on its line.
    enum TArguments { NoArgument, OptionalNumber, Number, NumberAndLines, LoginName, LoginPassword, LoginDigest };
    // One request of the protocol: the command, the protocol states it may
    // be sent in, the state a positive reply leaves and how that reply is
    // read, for the command with a message number and without one.
    struct TRequestRule {
        TPop3Request Request;
        const char* Word;
        TArguments Arguments;
        TPop3ProtocolState From, To;  // the states it may be sent in, both included
        TPop3ProtocolState Leaves;
        bool KeepsState;  // a positive reply leaves the state as it was: Leaves is not used
        TReplyCallback WithNumber;
        TReplyCallback Alone;
    };
    // Every request that sends a command; the table follows the class.
    static const TRequestRule Requests[];
    struct TCommandText {
        std::string Line;
        TReplyCallback Callback = nullptr;
    };

    void SetClientState(TPop3ClientState state);
    // The one place the protocol state changes.
    void SetProtocolState(TPop3ProtocolState state) { protocolState_ = state; }
    void Display(const std::string& text);
    void CheckReady();
    void CheckConnected();
    void RequireTlsForLogin(const char* command);
    std::string ConnectionErrorLine(WORD error) const;
    void ProtocolViolation(const std::string& text);
    void RequireTransaction(const char* command);
    // The rule of a request that sends a command; null for the others.
    static const TRequestRule* FindRequest(TPop3Request request);
    // Whether the request may be one command of a pipelined run.
    static bool IsTransactionCommand(const TRequestRule* rule);
    TCommandText CommandText(const TRequestRule& rule, int msgNum, int msgLines) const;
    // Whether the protocol state allows the request now, and the state its positive reply leaves.
    bool InStatesOf(const TRequestRule& rule) const { return protocolState_ >= rule.From && protocolState_ <= rule.To; }
    TPop3ProtocolState StateAfter(const TRequestRule& rule) const
    {
        return rule.KeepsState ? protocolState_ : rule.Leaves;
    }
    // Checks the request against its rule and sends its command.
    void SendRequest(TPop3Request request);
    // `shown` replaces the line in OnDisplay when it carries a secret.
    void SendCommand(TPop3Request request, const std::string& line, TPop3ProtocolState nextState,
                     TReplyCallback callback, const std::string& shown = std::string());
    void PumpOnce();
    void FinishRequest(WORD error);
    void FillErrorMessage(const std::string& text);
    // The end of a reply: the end of the request, or of one reply of a run.
    void ReplyDone(WORD error);

    void DnsLookupDone(WORD error);
    void SessionConnected(WORD error);
    void DataAvailable();
    void SessionClosed(WORD error);
    void HandleLine(const TPop3Line& line);
    void HandleGreeting(const TPop3Line& line);
    void SingleLineReply(const TPop3Line& line);
    void BodyLine(const TPop3Line& line);
    void StartBody(TPop3NotifyEvent* begin, TPop3NotifyEvent* each, TPop3NotifyEvent* end, TLineParser parser);

    void StatDone();
    void ListOneDone();
    void UidlOneDone();
    void LastDone();
    void ListAllStart();
    void UidlAllStart();
    void MessageStart();
    void ParseListLine();
    void ParseUidlLine();
    void CapaStart();
    void ParseCapaLine();

    void ArmPipelinedReply(std::size_t index);
    void SendPipelinedCommands();
    // Ends a run cut short; the reply in hand, if any, is reported with `done`.
    void CutPipeline(bool done);

    void ChainNext();

    // The STLS request's steps (Pop3ProtStls.cpp).
    enum TStlsStep { StlsNone, StlsCapa, StlsCommand, StlsHandshake };
    void SendStls();
    void ContinueStls(WORD error);
    void StlsAccepted();
    void StlsHandshakeDone(WORD error);
    void FailStls(WORD error, const std::string& text);
    // Ends a chained request (STLS, AUTH) with `text` as its reply, when it has one.
    void FailChainedRequest(WORD error, const std::string& text);
    TStlsStep stlsStep_ = StlsNone;

    // The AUTH request's steps (Pop3ProtAuth.cpp).
    enum TAuthStep { AuthNone, AuthCapa, AuthCommand };
    void SendAuth();
    void ContinueAuth(WORD error);
    void AuthReply(const TPop3Line& line);
    void FailAuth(WORD error, const std::string& text);
    TAuthStep authStep_ = AuthNone;
    TSaslMechanism authMechanism_ = saslNone;
    int authChallenges_ = 0;
    std::string authPendingResponse_;  // a response too long for the AUTH line, until asked for

    std::unique_ptr<TPop3Window> window_;
    std::unique_ptr<TWSocket> socket_;
    TPop3LineBuffer buffer_;
    TPop3Header header_;

    std::string errorMessage_;
    std::string lastResponse_;
    bool lastLineContinuation_ = false;
    std::string timestamp_;
    std::string msgUidl_;
    TPop3ProtocolState protocolState_{pop3Disconnected};
    TPop3ClientState clientState_ = pop3Idle;
    TPop3Request requestType_ = pop3ReqConnect;
    bool connected_ = false;
    int errorCode_ = 0;
    int statusCode_ = 0;
    int msgCount_ = 0;
    int msgSize_ = 0;
    int msgLast_ = 0;
    bool capaKnown_ = false;
    std::vector<std::string> capabilities_;
    TPop3NotifyEvent noEvent_;

    bool requestDone_ = false;
    TPop3ProtocolState nextProtocolState_ = pop3Disconnected;
    TNextStep next_ = nullptr;
    TReplyCallback replyCallback_ = nullptr;
    TPop3NotifyEvent* bodyBegin_ = nullptr;
    TPop3NotifyEvent* bodyLine_ = nullptr;
    TPop3NotifyEvent* bodyEnd_ = nullptr;
    TLineParser lineParser_ = nullptr;

    // A sent QUIT ends when both its reply and the end of the session have
    // been seen, in either order.
    bool quitSent_ = false;
    bool quitGate_ = false;

    // The Open chain: connect, STLS when Security asks, USER, PASS as one request.
    enum { StepConnect = 1, StepUser = 2, StepPass = 4, StepStls = 8, StepAuth = 16 };
    unsigned chainSteps_ = 0;
    bool chainRunning_ = false;

    // The pipelined run: commands sent, replies read, and the window.
    bool pipelining_ = false;
    std::vector<TPop3Command> pipeline_;
    std::size_t pipeSent_ = 0;
    std::size_t pipeAnswered_ = 0;
    std::size_t pipeWindow_ = 1;
    TPop3MayStart pipeMayStart_;
};

// The protocol at a glance. USER, PASS and the other login commands go only
// over TLS when the session asks for it; the greeting leaves the state
// pop3WaitingUser and the end of the session pop3Disconnected.
inline const TCustomPop3Cli::TRequestRule TCustomPop3Cli::Requests[] = {
    // request, word, what follows it, sent in the states from ... to, state left, keeps the state,
    // reading of a positive reply with a message number, and without one
    {pop3ReqUser, "USER", LoginName, pop3Disconnected, pop3WaitingUser, pop3WaitingPass, false, nullptr, nullptr},
    {pop3ReqPass, "PASS", LoginPassword, pop3Disconnected, pop3WaitingPass, pop3Transaction, false, nullptr, nullptr},
    {pop3ReqRPop, "RPOP", LoginPassword, pop3Disconnected, pop3WaitingPass, pop3Transaction, false, nullptr, nullptr},
    {pop3ReqAPop, "APOP", LoginDigest, pop3WaitingUser, pop3WaitingUser, pop3Transaction, false, nullptr, nullptr},
    {pop3ReqQuit, "QUIT", NoArgument, pop3Disconnected, pop3Transaction, pop3Disconnected, false, nullptr, nullptr},
    {pop3ReqCapa, "CAPA", NoArgument, pop3Disconnected, pop3Transaction, pop3Disconnected, true, nullptr,
     &TCustomPop3Cli::CapaStart},
    {pop3ReqStls, "STLS", NoArgument, pop3WaitingUser, pop3WaitingUser, pop3WaitingUser, true, nullptr,
     &TCustomPop3Cli::StlsAccepted},
    {pop3ReqAuth, "AUTH", NoArgument, pop3WaitingUser, pop3WaitingUser, pop3Transaction, false, nullptr, nullptr},
    {pop3ReqStat, "STAT", NoArgument, pop3Transaction, pop3Transaction, pop3Transaction, false, nullptr,
     &TCustomPop3Cli::StatDone},
    {pop3ReqList, "LIST", OptionalNumber, pop3Transaction, pop3Transaction, pop3Transaction, false,
     &TCustomPop3Cli::ListOneDone, &TCustomPop3Cli::ListAllStart},
    {pop3ReqUidl, "UIDL", OptionalNumber, pop3Transaction, pop3Transaction, pop3Transaction, false,
     &TCustomPop3Cli::UidlOneDone, &TCustomPop3Cli::UidlAllStart},
    {pop3ReqRetr, "RETR", Number, pop3Transaction, pop3Transaction, pop3Transaction, false,
     &TCustomPop3Cli::MessageStart, nullptr},
    {pop3ReqTop, "TOP", NumberAndLines, pop3Transaction, pop3Transaction, pop3Transaction, false,
     &TCustomPop3Cli::MessageStart, nullptr},
    {pop3ReqDele, "DELE", Number, pop3Transaction, pop3Transaction, pop3Transaction, false, nullptr, nullptr},
    {pop3ReqNoop, "NOOP", NoArgument, pop3Transaction, pop3Transaction, pop3Transaction, false, nullptr, nullptr},
    {pop3ReqLast, "LAST", NoArgument, pop3Transaction, pop3Transaction, pop3Transaction, false, nullptr,
     &TCustomPop3Cli::LastDone},
    {pop3ReqRSet, "RSET", NoArgument, pop3Transaction, pop3Transaction, pop3Transaction, false, nullptr, nullptr},
};

// The component as the program places it; all behaviour is in TCustomPop3Cli.
class TPop3Cli : public TCustomPop3Cli {
public:
    TPop3Cli() = default;
};
