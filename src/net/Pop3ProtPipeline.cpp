// The POP3 client's pipelined run (RFC 2449 PIPELINING): transaction commands
// sent ahead of their replies, a window of them at a time, each reply read by
// the same handlers and with the same client state as when its command is
// sent alone.
#include "Pop3Prot.h"
#include "Pop3Parse.h"

#include "Pop3ProtPump.h"

void TCustomPop3Cli::Pipeline(std::vector<TPop3Command> commands, int window, TPop3MayStart mayStart)
{
    RequireTransaction("PIPELINE");
    for (const TPop3Command& command : commands) {
        if (!IsTransactionCommand(FindRequest(command.Request)))
            throw Pop3Exception("Request not allowed in a pipeline");
        if (command.Request == pop3ReqTop && command.MsgLines < 0)
            throw Pop3Exception("Invalid MsgLines for TOP command");
    }
    CheckReady();
    CheckConnected();
    requestType_ = pop3ReqPipeline;
    requestDone_ = false;
    quitSent_ = false;
    pipeline_ = std::move(commands);
    pipeWindow_ = window > 1 ? static_cast<std::size_t>(window) : 1;
    pipeMayStart_ = std::move(mayStart);
    pipeSent_ = 0;
    pipeAnswered_ = 0;
    pipelining_ = true;
    SetClientState(pop3WaitingReply);
    PumpOnce();
    if (!pipeline_.empty())
        ArmPipelinedReply(0);
    SendPipelinedCommands();
    if (pipeSent_ == 0) {
        pipelining_ = false;
        TriggerRequestDone(0);
    }
}

std::string TCustomPop3Cli::PipelinedLine(const TPop3Command& command) const
{
    const TRequestRule* rule = FindRequest(command.Request);
    return IsTransactionCommand(rule) ? CommandText(*rule, command.MsgNum, command.MsgLines).Line : std::string();
}

void TCustomPop3Cli::ArmPipelinedReply(std::size_t index)
{
    const TPop3Command& command = pipeline_[index];
    MsgNum = command.MsgNum;
    MsgLines = command.MsgLines;
    header_.Start();
    next_ = &TCustomPop3Cli::SingleLineReply;
    nextProtocolState_ = pop3Transaction;
    replyCallback_ = CommandText(*FindRequest(command.Request), command.MsgNum, command.MsgLines).Callback;
}

void TCustomPop3Cli::SendPipelinedCommands()
{
    // Refilled by half windows: fewer, fuller packets, and the server always
    // has the next commands at hand.
    if (pipeSent_ - pipeAnswered_ > pipeWindow_ / 2)
        return;
    std::string lines;
    while (pipeSent_ < pipeline_.size() && pipeSent_ - pipeAnswered_ < pipeWindow_) {
        if (pipeMayStart_ && !pipeMayStart_(pipeSent_)) {
            pipeline_.resize(pipeSent_);
            break;
        }
        const TPop3Command& command = pipeline_[pipeSent_];
        const std::string line = CommandText(*FindRequest(command.Request), command.MsgNum, command.MsgLines).Line;
        Display("> " + Pop3TraceLine(line));
        lines += line + "\r\n";
        ++pipeSent_;
    }
    if (lines.empty())
        return;
    try {
        socket_->SendStr(lines);
    } catch (...) {
        // A lost connection: the reply in hand will not be whole.
        errorCode_ = 500;
        statusCode_ = 500;
        throw;
    }
}

void TCustomPop3Cli::ReplyDone(WORD error)
{
    if (!pipelining_) {
        TriggerRequestDone(error);
        return;
    }
    TriggerPipelinedReply(pipeAnswered_++, errorCode_ == 0);
    if (!pipelining_)  // the handler ended the session
        return;
    SendPipelinedCommands();
    if (pipeAnswered_ < pipeline_.size()) {
        ArmPipelinedReply(pipeAnswered_);
        return;
    }
    // Every reply is in: the run itself went well, whatever each one said.
    pipelining_ = false;
    next_ = nullptr;
    errorCode_ = 0;
    TriggerRequestDone(0);
}

void TCustomPop3Cli::CutPipeline(bool done)
{
    pipelining_ = false;
    if (pipeAnswered_ < pipeSent_)
        TriggerPipelinedReply(pipeAnswered_++, done);
}

void TCustomPop3Cli::TriggerPipelinedReply(std::size_t index, bool done)
{
    if (OnPipelinedReply)
        OnPipelinedReply(this, index, done);
}
