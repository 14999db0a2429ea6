// The POP3 client's commands: their protocol-state rules, the lines sent and
// what a positive reply carries.
#include "Pop3Prot.h"

#include "Pop3Parse.h"
#include "Pop3ProtPump.h"

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

void TCustomPop3Cli::Stat()
{
    StartTransactionCommand("STAT");
    SendCommand(pop3ReqStat, "STAT", pop3Transaction, &TCustomPop3Cli::StatDone);
}

void TCustomPop3Cli::List()
{
    StartTransactionCommand("LIST");
    if (MsgNum > 0)
        SendCommand(pop3ReqList, "LIST " + std::to_string(MsgNum), pop3Transaction, &TCustomPop3Cli::ListOneDone);
    else
        SendCommand(pop3ReqList, "LIST", pop3Transaction, &TCustomPop3Cli::ListAllStart);
}

void TCustomPop3Cli::Uidl()
{
    StartTransactionCommand("UIDL");
    if (MsgNum > 0)
        SendCommand(pop3ReqUidl, "UIDL " + std::to_string(MsgNum), pop3Transaction, &TCustomPop3Cli::UidlOneDone);
    else
        SendCommand(pop3ReqUidl, "UIDL", pop3Transaction, &TCustomPop3Cli::UidlAllStart);
}

void TCustomPop3Cli::Retr()
{
    StartTransactionCommand("RETR");
    SendCommand(pop3ReqRetr, "RETR " + std::to_string(MsgNum), pop3Transaction, &TCustomPop3Cli::MessageStart);
}

void TCustomPop3Cli::Top()
{
    StartTransactionCommand("TOP");
    if (MsgLines < 0)
        throw Pop3Exception("Invalid MsgLines for TOP command");
    SendCommand(pop3ReqTop, "TOP " + std::to_string(MsgNum) + " " + std::to_string(MsgLines), pop3Transaction,
                &TCustomPop3Cli::MessageStart);
}

void TCustomPop3Cli::Dele()
{
    StartTransactionCommand("DELE");
    SendCommand(pop3ReqDele, "DELE " + std::to_string(MsgNum), pop3Transaction, nullptr);
}

void TCustomPop3Cli::Noop()
{
    StartTransactionCommand("NOOP");
    SendCommand(pop3ReqNoop, "NOOP", pop3Transaction, nullptr);
}

void TCustomPop3Cli::Last()
{
    StartTransactionCommand("LAST");
    SendCommand(pop3ReqLast, "LAST", pop3Transaction, &TCustomPop3Cli::LastDone);
}

void TCustomPop3Cli::RSet()
{
    StartTransactionCommand("RSET");
    SendCommand(pop3ReqRSet, "RSET", pop3Transaction, nullptr);
}

void TCustomPop3Cli::StatDone()
{
    Pop3ParseTwoNumbers(lastResponse_, msgCount_, msgSize_);
    TriggerRequestDone(static_cast<WORD>(errorCode_));
}

void TCustomPop3Cli::ListOneDone()
{
    Pop3ParseTwoNumbers(lastResponse_, MsgNum, msgSize_);
    TriggerRequestDone(static_cast<WORD>(errorCode_));
}

void TCustomPop3Cli::UidlOneDone()
{
    Pop3ParseNumberAndId(lastResponse_, MsgNum, msgUidl_);
    TriggerRequestDone(static_cast<WORD>(errorCode_));
}

void TCustomPop3Cli::LastDone()
{
    // "+OK n" carries one number: the highest message number accessed.
    msgLast_ = Pop3ParseLastNumber(lastResponse_);
    TriggerRequestDone(static_cast<WORD>(errorCode_));
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
