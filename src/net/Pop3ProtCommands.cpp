// The POP3 client's commands: their rules (the table in Pop3Prot.h) applied,
// the lines sent and what a positive reply carries.
#include "Pop3Prot.h"

#include "Pop3Parse.h"
#include "Pop3ProtPump.h"

#include <cctype>

void TCustomPop3Cli::CheckReady()
{
    if (clientState_ != pop3Idle && clientState_ != pop3InternalIdle)
        throw Pop3Exception("POP3 component not ready");
}

void TCustomPop3Cli::CheckConnected()
{
    if (!connected_)
        throw Pop3Exception("POP3 component not connected");
}

void TCustomPop3Cli::RequireTlsForLogin(const char* command)
{
    // The last guard of the password: whatever the caller does, a session
    // meant to be encrypted sends no login in clear.
    if (connected_ && Security != pop3SecNone && !socket_->TlsActive())
        ProtocolViolation(std::string("-ERR ") + command + " refused: the session is not encrypted");
}

void TCustomPop3Cli::ProtocolViolation(const std::string& text)
{
    errorMessage_ = text;
    Display(text);
    throw Pop3Exception(text);
}

void TCustomPop3Cli::RequireTransaction(const char* command)
{
    if (protocolState_ != pop3Transaction)
        ProtocolViolation(std::string("-ERR ") + command + " command invalid now");
}

void TCustomPop3Cli::PumpOnce()
{
    int exitCode = 0;
    Pop3PumpMessages(true, exitCode);
}

void TCustomPop3Cli::SendCommand(TPop3Request request, const std::string& line, TPop3ProtocolState nextState,
                                 TReplyCallback callback, const std::string& shown)
{
    CheckReady();
    CheckConnected();
    if (!chainRunning_)
        requestType_ = request;
    requestDone_ = false;
    if (request != pop3ReqQuit)
        quitSent_ = false;
    next_ = &TCustomPop3Cli::SingleLineReply;
    nextProtocolState_ = nextState;
    replyCallback_ = callback;
    SetClientState(pop3WaitingReply);
    Display("> " + (shown.empty() ? Pop3TraceLine(line) : shown));
    PumpOnce();
    socket_->SendStr(line + "\r\n");
}

const TCustomPop3Cli::TRequestRule* TCustomPop3Cli::FindRequest(TPop3Request request)
{
    for (const TRequestRule& rule : Requests)
        if (rule.Request == request)
            return &rule;
    return nullptr;
}

bool TCustomPop3Cli::IsTransactionCommand(const TRequestRule* rule)
{
    return rule && rule->From == pop3Transaction && rule->To == pop3Transaction;
}

TCustomPop3Cli::TCommandText TCustomPop3Cli::CommandText(const TRequestRule& rule, int msgNum, int msgLines) const
{
    const std::string word = rule.Word;
    switch (rule.Arguments) {
    case OptionalNumber:
        if (msgNum > 0)
            return {word + " " + std::to_string(msgNum), rule.WithNumber};
        return {word, rule.Alone};
    case Number:
        return {word + " " + std::to_string(msgNum), rule.WithNumber};
    case NumberAndLines:
        return {word + " " + std::to_string(msgNum) + " " + std::to_string(msgLines), rule.WithNumber};
    case LoginName:
        return {word + " " + Pop3Trim(UserName), rule.Alone};
    case LoginPassword:
        return {word + " " + Pop3Trim(PassWord), rule.Alone};
    case LoginDigest:
        return {word + " " + Pop3Trim(UserName) + " " + Pop3ApopDigest(timestamp_, PassWord), rule.Alone};
    case NoArgument:
        break;
    }
    return {word, rule.Alone};
}

void TCustomPop3Cli::SendRequest(TPop3Request request)
{
    const TRequestRule& rule = *FindRequest(request);
    if (!InStatesOf(rule))
        ProtocolViolation(std::string("-ERR ") + rule.Word + " command invalid now");
    if (rule.Arguments >= LoginName)
        RequireTlsForLogin(rule.Word);
    if (rule.Arguments == LoginDigest && timestamp_.empty())
        ProtocolViolation("-ERR Server do not support APOP (no timestamp)");
    if (IsTransactionCommand(&rule))
        header_.Start();
    if (rule.Arguments == NumberAndLines && MsgLines < 0)
        throw Pop3Exception("Invalid MsgLines for TOP command");
    const TCommandText text = CommandText(rule, MsgNum, MsgLines);
    SendCommand(request, text.Line, StateAfter(rule), text.Callback);
}

void TCustomPop3Cli::User() { SendRequest(pop3ReqUser); }
void TCustomPop3Cli::Pass() { SendRequest(pop3ReqPass); }
void TCustomPop3Cli::RPop() { SendRequest(pop3ReqRPop); }
void TCustomPop3Cli::APop() { SendRequest(pop3ReqAPop); }

void TCustomPop3Cli::Quit()
{
    CheckReady();
    if (!connected_) {
        // Nothing to say goodbye to: the request ends at once.
        requestType_ = pop3ReqQuit;
        requestDone_ = false;
        quitSent_ = false;
        TriggerRequestDone(0);
        return;
    }
    // A gate left half-set by an earlier QUIT whose session was aborted must
    // not let this one end on its reply alone.
    quitGate_ = false;
    quitSent_ = true;
    SendRequest(pop3ReqQuit);
}

void TCustomPop3Cli::Stat() { SendRequest(pop3ReqStat); }
void TCustomPop3Cli::List() { SendRequest(pop3ReqList); }
void TCustomPop3Cli::Uidl() { SendRequest(pop3ReqUidl); }
void TCustomPop3Cli::Retr() { SendRequest(pop3ReqRetr); }
void TCustomPop3Cli::Top() { SendRequest(pop3ReqTop); }
void TCustomPop3Cli::Dele() { SendRequest(pop3ReqDele); }
void TCustomPop3Cli::Noop() { SendRequest(pop3ReqNoop); }
void TCustomPop3Cli::Last() { SendRequest(pop3ReqLast); }
void TCustomPop3Cli::RSet() { SendRequest(pop3ReqRSet); }
void TCustomPop3Cli::Capa() { SendRequest(pop3ReqCapa); }

void TCustomPop3Cli::StatDone()
{
    Pop3ParseTwoNumbers(lastResponse_, msgCount_, msgSize_);
    ReplyDone(static_cast<WORD>(errorCode_));
}

void TCustomPop3Cli::ListOneDone()
{
    Pop3ParseTwoNumbers(lastResponse_, MsgNum, msgSize_);
    ReplyDone(static_cast<WORD>(errorCode_));
}

void TCustomPop3Cli::UidlOneDone()
{
    Pop3ParseNumberAndId(lastResponse_, MsgNum, msgUidl_);
    ReplyDone(static_cast<WORD>(errorCode_));
}

void TCustomPop3Cli::LastDone()
{
    // "+OK n" carries one number: the highest message number accessed.
    msgLast_ = Pop3ParseLastNumber(lastResponse_);
    ReplyDone(static_cast<WORD>(errorCode_));
}

void TCustomPop3Cli::ListAllStart()
{
    StartBody(&OnListBegin, &OnListLine, &OnListEnd, &TCustomPop3Cli::ParseListLine);
}

void TCustomPop3Cli::UidlAllStart()
{
    StartBody(&OnUidlBegin, &OnUidlLine, &OnUidlEnd, &TCustomPop3Cli::ParseUidlLine);
}

void TCustomPop3Cli::MessageStart()
{
    StartBody(&OnMessageBegin, &OnMessageLine, &OnMessageEnd, nullptr);
}

void TCustomPop3Cli::ParseListLine()
{
    Pop3ParseTwoNumbers(lastResponse_, MsgNum, msgSize_);
}

void TCustomPop3Cli::ParseUidlLine()
{
    Pop3ParseNumberAndId(lastResponse_, MsgNum, msgUidl_);
}

void TCustomPop3Cli::CapaStart()
{
    capabilities_.clear();
    capaKnown_ = true;
    StartBody(&noEvent_, &noEvent_, &noEvent_, &TCustomPop3Cli::ParseCapaLine);
}

void TCustomPop3Cli::ParseCapaLine()
{
    // A server's list is a few dozen short lines; more is not a list.
    constexpr std::size_t MaxCapabilities = 100;
    if (capabilities_.size() < MaxCapabilities)
        capabilities_.push_back(lastResponse_);
}

bool TCustomPop3Cli::HasCapability(const std::string& name) const
{
    for (const std::string& line : capabilities_) {
        if (line.size() < name.size() || (line.size() > name.size() && line[name.size()] != ' '))
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(line[i])) == std::toupper(static_cast<unsigned char>(name[i]));
        if (same)
            return true;
    }
    return false;
}
