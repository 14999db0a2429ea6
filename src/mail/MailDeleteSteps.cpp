// Marking messages for deletion in the session open on their mailbox, in
// steps that each run over all of them: whether each is still the message
// the check saw, then (copies on) its whole text saved to the quarantine,
// and only then DELE. Each step's commands go pipelined where the server
// takes it, a window of them in flight, and one at a time where it does
// not; every reply is read as the same request alone would be, so the
// replies, the copies and the lines are the same either way.
#include <algorithm>
#include <functional>
#include <numeric>

#include "../framework/FolderFiles.h"
#include "../model/unitProcessSpam.h"
#include "../text/FormatText.h"
#include "MailWatch.h"
#include "QuarantineIdentity.h"

namespace {
// Commands in flight for the one-line replies of the checks and of DELE, as
// for the header reads.
constexpr int ShortReplyWindow = 64;
// A RETR reply is a whole message, written and dropped as it ends: the
// client holds one copy at a time whatever the window. Refilled by halves,
// this many keeps a distant server sending (16 messages of 50 KB are more
// than a 50 ms path carries at the client's reading speed) without queuing
// the whole mailbox on it.
constexpr int RetrWindow = 32;

// One command of a step, for the message at `Place` in the session's list.
struct TStepCommand {
    std::size_t Place;
    TPop3Command Command;
};

// Hears one reply: its message's place, its command and whether it ended
// as that request alone would have. True when it told that message's fate
// itself, so that a reply the session's end cut off needs no other line.
using TStepReply = std::function<bool(std::size_t place, const TPop3Command& command, bool done)>;

struct TStepEnd {
    bool GoesOn = true;   // the session is up and no Quit was asked
    std::string Missing;  // the first command whose reply the session's end took
};

TStepEnd RunStep(TSyncPop3Cli& pop, const bool& quitRequested, const std::vector<TStepCommand>& steps, int window,
                 const TStepReply& reply)
{
    std::vector<TPop3Command> commands;
    for (const TStepCommand& step : steps)
        commands.push_back(step.Command);
    std::size_t heard = 0;
    const TPop3Command* cut = nullptr;
    pop.OnPipelinedReply = [&](TCustomPop3Cli*, std::size_t index, bool done) {
        heard = index + 1;
        const bool told = reply(steps[index].Place, steps[index].Command, done);
        if (!done && !pop.Connected() && !told)
            cut = &steps[index].Command;
    };
    // A Quit chosen meanwhile sends nothing more; the session's QUIT is refused then too.
    if (!commands.empty())
        pop.PipelineSync(commands, window, [&quitRequested](std::size_t) { return !quitRequested; });
    pop.OnPipelinedReply = nullptr;
    TStepEnd end;
    end.GoesOn = pop.Connected() && !quitRequested;
    if (!end.GoesOn && !quitRequested && (cut || heard < steps.size()))
        end.Missing = pop.PipelinedLine(cut ? *cut : steps[heard].Command);
    return end;
}
}  // namespace

void TMailWatch::MarkForDeletion(const TMailBox& box, std::vector<TDeletion>& deletions)
{
    // One message gains nothing from pipelining: its session stays as short
    // as it always was, without CAPA.
    const bool pipelining = deletions.size() > 1 && AskPipelining();
    std::vector<std::size_t> going(deletions.size());
    std::iota(going.begin(), going.end(), std::size_t{0});
    going = KeepStillSeen(box, deletions, going, pipelining ? ShortReplyWindow : 1);
    // No DELE without a whole copy on the disk: it would be the message's only trace.
    if (QuarantineCopiesOn(QuarantineLimits()))
        going = SaveQuarantineCopies(box, deletions, going, pipelining ? RetrWindow : 1);
    SendDeletions(box, deletions, going, pipelining ? ShortReplyWindow : 1);
}

std::vector<std::size_t> TMailWatch::KeepStillSeen(const TMailBox& box, const std::vector<TDeletion>& deletions,
                                                   const std::vector<std::size_t>& places, int window)
{
    // Mail may have been removed or fetched elsewhere since the check: its
    // unique id where the check had one, else its size and header, say
    // whether the number still holds the same message.
    std::vector<TStepCommand> steps;
    for (std::size_t place : places) {
        const TEmail& email = *deletions[place].Email;
        if (!email.Uidl.empty()) {
            steps.push_back({place, {pop3ReqUidl, email.Number}});
        } else {
            steps.push_back({place, {pop3ReqList, email.Number}});
            steps.push_back({place, {pop3ReqTop, email.Number, 0}});
        }
    }
    std::vector<int> confirmed(deletions.size(), 0);
    std::vector<bool> changed(deletions.size(), false);
    MessageText.clear();
    const TStepEnd end = RunStep(Pop, QuitRequested, steps, window, [&](std::size_t place, const TPop3Command& command,
                                                                      bool done) {
        const TEmail& email = *deletions[place].Email;
        const bool same = command.Request == pop3ReqUidl   ? Pop.MsgUidl() == email.Uidl
                          : command.Request == pop3ReqList ? Pop.MsgSize() == email.Octets
                                                           : HeaderDigest(MessageText) == email.Digest;
        MessageText.clear();
        // A refusal because the session ended is no answer.
        if (done && same)
            ++confirmed[place];
        else if (done || Pop.Connected())
            changed[place] = true;
        return false;
    });
    std::vector<std::size_t> seen;
    for (std::size_t place : places) {
        const TEmail& email = *deletions[place].Email;
        if (changed[place])
            AddMailLog(FormatText(texts_.MessageChanged, {email.Number, box.MailboxName}));
        else if (confirmed[place] == (email.Uidl.empty() ? 2 : 1))
            seen.push_back(place);
    }
    if (!end.Missing.empty())
        ReportMailError(texts_.DeleteError, box.MailboxName, FailureReason(), end.Missing);
    return end.GoesOn ? seen : std::vector<std::size_t>();
}

std::vector<std::size_t> TMailWatch::SaveQuarantineCopies(const TMailBox& box, std::vector<TDeletion>& deletions,
                                                          const std::vector<std::size_t>& places, int window)
{
    const TSpamSafetyTexts& t = texts_.Safety;
    std::vector<TStepCommand> steps;
    for (std::size_t place : places)
        steps.push_back({place, {pop3ReqRetr, deletions[place].Email->Number}});
    std::vector<std::size_t> saved;
    // The messages kept, and why; no reason yet for a reply the session's
    // end cut off, which is only known once the run is over.
    std::vector<std::pair<std::size_t, std::string>> kept;
    // The copies are flushed together, all of them before the first DELE:
    // only those that reached the disk let their message go.
    TFlushedFiles files;
    std::vector<TUnflushedCopy> unflushed;
    const auto flush = [&] {
        const std::vector<std::string> failed = files.Flush();
        for (const TUnflushedCopy& written : unflushed) {
            if (std::find(failed.begin(), failed.end(), written.CopyPath) == failed.end()) {
                saved.push_back(written.Place);
                deletions[written.Place].Copy = written;
                continue;
            }
            RemoveFile(written.RecordPath);
            kept.emplace_back(written.Place, FormatText(t.CopyNotWritten, {written.CopyPath}));
        }
        unflushed.clear();
    };
    TQuarantineCopy copy;
    copy_ = &copy;
    const TStepEnd end = RunStep(Pop, QuitRequested, steps, window, [&](std::size_t place, const TPop3Command&,
                                                                      bool done) {
        const TDeletion& deletion = deletions[place];
        const TQuarantineCopyState state = copy.Check(deletion.Email->Octets);
        std::string why;  // empty: written, or cut by the session's end
        TUnflushedCopy written;
        written.Place = place;
        if (state == TQuarantineCopyState::Whole)
            why = WriteQuarantineCopy(box, *deletion.Email, deletion.Reason,
                                      QuarantinePop3MessageId(box, deletion.Email->Uidl), copy.Bytes(), files, written);
        else if (state == TQuarantineCopyState::SizeMismatch)
            why = FormatText(t.CopySize, {static_cast<int>(copy.Bytes().size()), deletion.Email->Octets});
        else if (done || Pop.Connected())
            why = done ? t.CopyCut : t.CopyCut + " (" + Pop.LastResponse() + ")";
        if (state == TQuarantineCopyState::Whole && why.empty())
            unflushed.push_back(written);
        else
            kept.emplace_back(place, why);
        if (files.Pending() >= QuarantineMaxUnflushed)
            flush();
        copy = TQuarantineCopy();  // the next reply's, and this one's bytes freed
        return true;
    });
    copy_ = nullptr;
    flush();
    for (const auto& [place, why] : kept)
        AddMailLog(FormatText(t.CopyNotSaved, {deletions[place].Email->Number, box.MailboxName,
                                               why.empty() ? t.CopyCut + " (" + FailureReason() + ")" : why}));
    if (!end.Missing.empty())
        ReportMailError(texts_.DeleteError, box.MailboxName, FailureReason(), end.Missing);
    return end.GoesOn ? saved : std::vector<std::size_t>();
}

void TMailWatch::SendDeletions(const TMailBox& box, std::vector<TDeletion>& deletions,
                               const std::vector<std::size_t>& places, int window)
{
    std::vector<TStepCommand> steps;
    for (std::size_t place : places)
        steps.push_back({place, {pop3ReqDele, deletions[place].Email->Number}});
    std::vector<std::pair<std::size_t, std::string>> refused;
    const TStepEnd end = RunStep(Pop, QuitRequested, steps, window, [&](std::size_t place, const TPop3Command&,
                                                                      bool done) {
        if (done)
            deletions[place].Marked = true;
        else if (Pop.Connected())
            refused.emplace_back(place, Pop.LastResponse());
        return false;
    });
    // A refused DELE is no deletion: say so with the server's reply.
    for (const auto& [place, reply] : refused)
        ReportMailError(texts_.DeleteError, box.MailboxName, reply,
                        "DELE " + std::to_string(deletions[place].Email->Number));
    if (!end.Missing.empty())
        ReportMailError(texts_.DeleteError, box.MailboxName, FailureReason(), end.Missing);
}
