// Reading the messages of a mailbox that the last check did not keep: for
// each, its size when the listing did not give it (LIST n), its header
// (TOP n 0) and its first body lines (TOP n k), sent one at a time or, when
// the server takes it, pipelined. Every reply is taken as the same request
// sent alone would be, and the emails are then built in message order with
// the rules of the one-at-a-time check.
#include <memory>
#include <stdexcept>
#include <utility>

#include "../framework/CodePage.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"
#include "MailWatch.h"

namespace {
// Commands in flight on a pipelining server: a few kilobytes of commands and
// of the replies they call for, far below what either side's buffers hold,
// enough to keep a distant server busy.
constexpr int PipelineWindow = 64;

enum TReadStep { StepSize, StepHeader, StepBody, StepCount };

struct TStepReply {
    bool Answered = false;
    bool Done = false;       // what the request alone would have answered
    bool Connected = false;  // the session was still up after it
};

struct TMessageRead {
    const TMessagePlan* Plan = nullptr;
    std::size_t FirstCommand = 0;  // its first command's place in the run (or where it would be)
    TStepReply Replies[StepCount];
    int Octets = -1;
    std::string From, To, Subject, Header, Body;
};

struct TCommandOwner {
    std::size_t Read;
    TReadStep Step;
};

// The email of one message, built as the one-at-a-time check builds it from
// the replies in turn; `whole` tells whether every one of them was positive,
// `step` names the request whose reply is taken, `lostReason` says why the
// session ended where a reply is missing; `bytes` is the size's unit.
std::unique_ptr<TEmail> BuildEmail(const TMailBox& mailBox, TMessageRead& read, int bodyLines, const std::string& bytes,
                                   const std::string& lostReason, bool& whole, std::string& step)
{
    auto email = std::make_unique<TEmail>();
    const int n = read.Plan->Number;
    email->Number = n;
    email->MailboxId = mailBox.Id;
    email->MailboxName = mailBox.MailboxName;
    // A refused request leaves that message's fields empty, unless the server
    // went away: then the rest cannot be read, rather than listed as empty.
    const auto take = [&](TReadStep which) {
        const TStepReply& reply = read.Replies[which];
        if (!reply.Answered || (!reply.Done && !reply.Connected))
            throw std::runtime_error(lostReason);
        whole = whole && reply.Done;
        return reply.Done;
    };
    bool sized = true;
    if (read.Plan->Kept) {
        ReuseEmail(*email, *read.Plan->Kept);
    } else {
        if (read.Plan->Octets < 0) {
            step = "LIST " + std::to_string(n);
            sized = take(StepSize);  // a size the server refused is unknown
        }
        if (sized)
            email->Octets = read.Octets;
        step = "TOP " + std::to_string(n) + " 0";
        take(StepHeader);
        email->From = std::move(read.From);
        email->To = std::move(read.To);
        email->Subject = std::move(read.Subject);
        email->Header = std::move(read.Header);
        email->Digest = HeaderDigest(email->Header);
        step = "TOP " + std::to_string(n) + " " + std::to_string(bodyLines);
        take(StepBody);
        email->Body = std::move(read.Body);
        StripEmailHeader(*email);
        email->Uidl = read.Plan->Uidl;
    }
    // Read or kept, the fields people read come from the header as written.
    DecodeEmailFields(*email, ConvertCodePageToUtf8);
    if (sized)
        email->Size = std::to_string(email->Octets) + " " + bytes;
    email->Name = MakeEmailKey(mailBox.MailboxName, n);
    return email;
}
}  // namespace

void TMailWatch::ReadMessages(const TMailBox& mailBox, TMailboxMemory& memory,
                              const std::vector<TMessagePlan>& plan, bool pipelining, std::string& step)
{
    const int bodyLines = settings_.EmailLines;
    std::vector<TMessageRead> reads(plan.size());
    std::vector<TPop3Command> commands;
    std::vector<TCommandOwner> owners;
    const auto add = [&](std::size_t read, TReadStep step, TPop3Request request, int lines) {
        commands.push_back({request, plan[read].Number, lines});
        owners.push_back({read, step});
    };
    for (std::size_t i = 0; i < plan.size(); ++i) {
        reads[i].Plan = &plan[i];
        reads[i].Octets = plan[i].Octets;
        reads[i].FirstCommand = commands.size();
        if (plan[i].Kept)
            continue;
        if (plan[i].Octets < 0)
            add(i, StepSize, pop3ReqList, 0);
        add(i, StepHeader, pop3ReqTop, 0);
        add(i, StepBody, pop3ReqTop, bodyLines);
    }

    // A Quit chosen meanwhile ends the check after the messages in hand.
    std::size_t stopAt = static_cast<std::size_t>(-1);
    const auto mayStart = [&](std::size_t index) {
        if (QuitRequested && reads[owners[index].Read].FirstCommand == index) {
            stopAt = index;
            return false;
        }
        return true;
    };
    MessageText.clear();
    HeaderFrom.clear();
    HeaderTo.clear();
    HeaderSubject.clear();
    Pop.OnPipelinedReply = [&](TCustomPop3Cli*, std::size_t index, bool done) {
        TMessageRead& read = reads[owners[index].Read];
        const TReadStep step = owners[index].Step;
        read.Replies[step] = {true, done, Pop.Connected()};
        if (step == StepSize) {
            read.Octets = Pop.MsgSize();
        } else if (step == StepHeader) {
            read.From = HeaderFrom;
            read.To = HeaderTo;
            read.Subject = HeaderSubject;
            read.Header.swap(MessageText);
        } else {
            read.Body.swap(MessageText);
        }
        MessageText.clear();
        HeaderFrom.clear();
        HeaderTo.clear();
        HeaderSubject.clear();
    };
    if (!commands.empty())
        Pop.PipelineSync(commands, pipelining ? PipelineWindow : 1, mayStart);
    Pop.OnPipelinedReply = nullptr;
    const std::string lostReason = FailureReason();

    // What was read whole is kept for the next check, also when the rest
    // could not be read.
    std::vector<const TEmail*> complete;
    try {
        for (TMessageRead& read : reads) {
            if (read.FirstCommand >= stopAt)
                break;
            bool whole = true;
            std::unique_ptr<TEmail> email = BuildEmail(mailBox, read, bodyLines, texts_.Bytes, lostReason, whole, step);
            if (whole)
                complete.push_back(email.get());
            Emails.Add(std::move(email));
        }
    } catch (...) {
        RememberEmails(memory, complete);
        throw;
    }
    RememberEmails(memory, complete);
}
