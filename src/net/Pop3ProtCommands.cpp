// The POP3 client's commands: their protocol-state rules, the lines sent and
// what a positive reply carries.
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

void TCustomPop3Cli::StartTransactionCommand(const char* command)
{
    RequireTransaction(command);
    header_.Start();
}

void TCustomPop3Cli::PumpOnce()
{
    int exitCode = 0;
    Pop3PumpMessages(true, exitCode);
}

void TCustomPop3Cli::SendCommand(TPop3Request request, const std::string& line, TPop3ProtocolState nextState,
                                 TReplyCallback callback)
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
    Display("> " + line);
    PumpOnce();
    socket_->SendStr(line + "\r\n");
}

void TCustomPop3Cli::User()
{
    if (protocolState_ > pop3WaitingUser)
        ProtocolViolation("-ERR USER command invalid now");
    RequireTlsForLogin("USER");
    SendCommand(pop3ReqUser, "USER " + Pop3Trim(UserName), pop3WaitingPass, nullptr);
}

void TCustomPop3Cli::Pass()
{
    if (protocolState_ > pop3WaitingPass)
        ProtocolViolation("-ERR PASS command invalid now");
    RequireTlsForLogin("PASS");
    SendCommand(pop3ReqPass, "PASS " + Pop3Trim(PassWord), pop3Transaction, nullptr);
}

void TCustomPop3Cli::RPop()
{
    if (protocolState_ > pop3WaitingPass)
        ProtocolViolation("-ERR RPOP command invalid now");
    RequireTlsForLogin("RPOP");
    SendCommand(pop3ReqRPop, "RPOP " + Pop3Trim(PassWord), pop3Transaction, nullptr);
}

void TCustomPop3Cli::APop()
{
    if (protocolState_ != pop3WaitingUser)
        ProtocolViolation("-ERR APOP command invalid now");
    RequireTlsForLogin("APOP");
    if (timestamp_.empty())
        ProtocolViolation("-ERR Server do not support APOP (no timestamp)");
    SendCommand(pop3ReqAPop, "APOP " + Pop3Trim(UserName) + " " + Pop3ApopDigest(timestamp_, PassWord),
                pop3Transaction, nullptr);
}

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
    SendCommand(pop3ReqQuit, "QUIT", pop3Disconnected, nullptr);
}

// The transaction commands: the word sent, the arguments that follow it and
// how the reply is read, with a number and without one.
struct TCustomPop3Cli::TTransactionCommand {
    enum TArguments { NoArgument, OptionalNumber, Number, NumberAndLines };
    TPop3Request Request;
    const char* Word;
    TArguments Arguments;
    TReplyCallback WithNumber;
    TReplyCallback Alone;
};

const TCustomPop3Cli::TTransactionCommand* TCustomPop3Cli::FindTransactionCommand(TPop3Request request)
{
    using C = TTransactionCommand;
    static const TTransactionCommand commands[] = {
        {pop3ReqStat, "STAT", C::NoArgument, nullptr, &TCustomPop3Cli::StatDone},
        {pop3ReqList, "LIST", C::OptionalNumber, &TCustomPop3Cli::ListOneDone, &TCustomPop3Cli::ListAllStart},
        {pop3ReqUidl, "UIDL", C::OptionalNumber, &TCustomPop3Cli::UidlOneDone, &TCustomPop3Cli::UidlAllStart},
        {pop3ReqRetr, "RETR", C::Number, &TCustomPop3Cli::MessageStart, nullptr},
        {pop3ReqTop, "TOP", C::NumberAndLines, &TCustomPop3Cli::MessageStart, nullptr},
        {pop3ReqDele, "DELE", C::Number, nullptr, nullptr},
        {pop3ReqNoop, "NOOP", C::NoArgument, nullptr, nullptr},
        {pop3ReqLast, "LAST", C::NoArgument, nullptr, &TCustomPop3Cli::LastDone},
        {pop3ReqRSet, "RSET", C::NoArgument, nullptr, nullptr},
    };
    for (const TTransactionCommand& command : commands)
        if (command.Request == request)
            return &command;
    return nullptr;
}

TCustomPop3Cli::TCommandText TCustomPop3Cli::CommandText(const TTransactionCommand& command, int msgNum,
                                                         int msgLines)
{
    const std::string word = command.Word;
    switch (command.Arguments) {
    case TTransactionCommand::OptionalNumber:
        if (msgNum > 0)
            return {word + " " + std::to_string(msgNum), command.WithNumber};
        return {word, command.Alone};
    case TTransactionCommand::Number:
        return {word + " " + std::to_string(msgNum), command.WithNumber};
    case TTransactionCommand::NumberAndLines:
        return {word + " " + std::to_string(msgNum) + " " + std::to_string(msgLines), command.WithNumber};
    case TTransactionCommand::NoArgument:
        break;
    }
    return {word, command.Alone};
}

void TCustomPop3Cli::SendTransaction(TPop3Request request)
{
    const TTransactionCommand& command = *FindTransactionCommand(request);
    StartTransactionCommand(command.Word);
    if (request == pop3ReqTop && MsgLines < 0)
        throw Pop3Exception("Invalid MsgLines for TOP command");
    const TCommandText text = CommandText(command, MsgNum, MsgLines);
    SendCommand(request, text.Line, pop3Transaction, text.Callback);
}

void TCustomPop3Cli::Stat() { SendTransaction(pop3ReqStat); }
void TCustomPop3Cli::List() { SendTransaction(pop3ReqList); }
void TCustomPop3Cli::Uidl() { SendTransaction(pop3ReqUidl); }
void TCustomPop3Cli::Retr() { SendTransaction(pop3ReqRetr); }
void TCustomPop3Cli::Top() { SendTransaction(pop3ReqTop); }
void TCustomPop3Cli::Dele() { SendTransaction(pop3ReqDele); }
void TCustomPop3Cli::Noop() { SendTransaction(pop3ReqNoop); }
void TCustomPop3Cli::Last() { SendTransaction(pop3ReqLast); }
void TCustomPop3Cli::RSet() { SendTransaction(pop3ReqRSet); }

void TCustomPop3Cli::Capa()
{
    SendCommand(pop3ReqCapa, "CAPA", protocolState_, &TCustomPop3Cli::CapaStart);
}

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
