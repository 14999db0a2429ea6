// The mail watch: the emails found at the last check, the POP3 client and
// the check, deletion and spam cycles over the configured mailboxes. It reads
// the mailboxes, the spam lists and its other settings from the settings, and
// reports what happens to the screens it was given. What it keeps of each
// mailbox while the program runs (its OAuth session, what the last check read)
// is its own, kept under the mailbox's Id: the settings hold configuration only.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../model/ClassesPerso.h"
#include "../model/unitProcessEmail.h"
#include "../model/unitProcessReuse.h"
#include "../model/SpamGuard.h"
#include "../model/SpamReason.h"
#include "../model/unitProcessSpam.h"
#include "../framework/ThreadTimer.h"
#include "../net/Pop3Sync.h"
#include "MailOAuth.h"
#include "MailScreen.h"
#include "MailTexts.h"
#include "QuarantineCopy.h"
#include "QuarantineRetention.h"

struct TSettings;
class TImapConversation;
class TImapSession;

class TFlushedFiles;

class TMailWatch {
public:
    // The settings it reads and the texts its lines are made of.
    TMailWatch(TSettings& settings, const TMailTexts& texts);
    ~TMailWatch();
    TMailWatch(const TMailWatch&) = delete;
    TMailWatch& operator=(const TMailWatch&) = delete;

    // The screens told about the watch's work, in the order they were added.
    void AddScreen(IMailScreen& screen);
    void RemoveScreen(IMailScreen& screen);

    bool QuitRequested = false;
    bool Busy = false;
    TMyCollection Emails;
    std::time_t LastCheck = 0;
    TSyncPop3Cli Pop;  // the POP3 client of every session
    TMailOAuth OAuth;  // the mailboxes' OAuth sessions
    // More than any mailbox holds: a server that lists more has gone wrong,
    // and its list ends there, the mailbox in error, before it fills the memory.
    int MaxListedMessages = 1000000;

    // The timer's check with the new-mail rule, then the spam cycle when on.
    void TimerCheck();
    void CheckAllMailboxes(bool keepLog);
    // A session waits with the messages flowing, and the options dialog may
    // replace the settings' mailboxes meanwhile: these work on a copy the
    // caller keeps, never on a mailbox of the settings.
    void ConnectMailbox(const TMailBox& mailBox);
    void CheckMailbox(const TMailBox& mailBox);
    // True when the server took the deletion: DELE and QUIT both answered +OK.
    // The email's mailbox is found by its Id; one removed from the options
    // since the check cannot be reached, which the log says.
    bool DeleteEmail(TEmail& email, bool inBatch);
    void DeleteSelectedEmail(TEmail& email);
    // Deletes every spam message from its server, then checks again; the
    // number the servers confirmed. A mailbox where the lists mark too much
    // (SpamGuard.h) is kept whole when the timer started the cycle; when the
    // user did, ConfirmSpamDeletion is asked once for all such mailboxes.
    int DeleteSpamEmails(TSpamCycleStart start = TSpamCycleStart::User);
    // Asked with the guard's question; true deletes. Unset: a yes/no box.
    std::function<bool(const std::string& question)> ConfirmSpamDeletion;
    bool IsSpamEmail(const TEmail& email) const;
    // The three lists of the settings as they read now, parsed; the two spam
    // lists alone spare the allowed senders too.
    TSpamRules SpamRules() const;
    TSpamLists SpamLists() const;
    // Where the copies of deleted messages go; empty: the Quarantine folder
    // of the data folder.
    std::string QuarantineFolder;
    // The settings' days and cap of the copies.
    TQuarantineLimits QuarantineLimits() const;
    // Removes the copies older or beyond the cap (both files of each).
    void PruneQuarantine();
    // An empty text logs the last error line.
    void AddMailLog(const std::string& text);
    void ClearMailLog();
    // Whatever the servers do, the wait in progress ends now and no request
    // follows: the cycle in hand unwinds.
    void RequestQuit();
    // The watch is on: an IMAP mailbox whose server offers IDLE keeps,
    // after a check, its session waiting in IDLE, and the messages the
    // server announces are read at once by that session, into the grid
    // beside the others (MailImapIdleNews.cpp). Off: those sessions end.
    void SetIdleWatch(bool on);
    // The idle sessions whose mailbox was removed or edited (its server,
    // user, folder, protocol, port, security or password) end.
    void CloseStaleIdle();
    // "3 messages found (hh:nn)" and the mailboxes in error, or the check in progress.
    std::string StatusText(bool inProgress);
    // Tells the screens the status as it stands.
    void UpdateMailStatus(bool inProgress);

private:
    TSettings& settings_;
    const TMailTexts texts_;
    std::vector<IMailScreen*> screens_;
    template <class TCall>
    void Tell(TCall call)
    {
        for (IMailScreen* screen : std::vector<IMailScreen*>(screens_))
            call(*screen);
    }
    void Working() { Tell([](IMailScreen& s) { s.MailActivity(true); }); }
    void Idle() { Tell([](IMailScreen& s) { s.MailActivity(false); }); }

    bool ConnectFailed = false;
    bool CountingList = false;
    int ListCount = 0;
    bool ListCut = false;  // the server listed more than MaxListedMessages
    std::string ListTooLong() const;
    std::string LastError;
    // What the spam cycle in hand has removed, for the notice.
    std::vector<TMailSummary> SpamRemoved;
    std::string HeaderFrom, HeaderTo, HeaderSubject;
    std::string MessageText;
    bool CollectingUidls = false;
    std::map<int, int> ListedSizes;
    std::map<int, std::string> UidlByNumber;

    // The Ids of the mailboxes that could not be read at the last check.
    std::set<int> MailboxesInError;
    // What the last check of each mailbox kept of the messages it read, by
    // mailbox Id; a read holds its own while it waits.
    std::map<int, std::shared_ptr<TMailboxMemory>> memories_;
    // What the last check of each IMAP mailbox read, by mailbox Id: its
    // folder's UIDVALIDITY, the last UID seen and the emails by UID; only
    // messages above that UID are fetched at the next check (MailImap.cpp).
    struct TImapMemory {
        std::string Server, User, Folder;
        std::uint32_t UidValidity = 0;
        std::uint32_t LastUid = 0;
        std::map<std::uint32_t, TEmail> ByUid;
        // Marked \Deleted but left in the folder (spam copied away on a
        // server without UIDPLUS, or another program's doing): not shown.
        std::set<std::uint32_t> Gone;
    };
    std::map<int, TImapMemory> imapMemories_;
    // A new message of an idle session found spam, being moved by it.
    struct TIdleSpam {
        std::uint32_t Uid = 0;
        TMailSummary Summary;
        TSpamReason Reason;
    };
    // An IMAP mailbox's session waiting in IDLE between the checks, by
    // mailbox Id: the mailbox as it was checked, and the reopening of a
    // dropped connection, at a delay that grows up to the check interval.
    struct TImapIdle {
        TMailBox MailBox;
        std::unique_ptr<TImapSession> Session;
        TThreadTimer Retry;
        unsigned DelaySeconds = 0;
        bool ReportedDown = false;  // its loss is in the log, its return not yet
        // What the session brought is taken from the message loop, never
        // from inside the socket's event.
        TThreadTimer News;
        std::vector<TIdleSpam> Moving;  // the spam its move in hand takes away
    };
    bool idleWatch_ = false;
    std::map<int, std::unique_ptr<TImapIdle>> idles_;
    // Sessions ending (LOGOUT sent): kept until the connection is over, as a
    // session is never deleted from its own event.
    std::vector<std::unique_ptr<TImapSession>> endingIdle_;
    // After a check: keeps the session waiting in IDLE for the mailbox when
    // the watch is on and the server offers it; false when it was not kept.
    bool KeepIdle(const TMailBox& mailBox, std::unique_ptr<TImapSession>& session);
    void IdleFinished(int id);
    void RetryIdle(int id);
    void EndIdle(std::unique_ptr<TImapSession> session);
    // The idle session is Ready with what the server announced: its new
    // messages join the grid, are announced and their spam is moved (by
    // the session), then the session waits in IDLE again. A check or a
    // cycle in hand goes first.
    void TakeIdleNews(int id);
    // The mailbox's idle session when it is Ready, the watch on; else null.
    TImapIdle* ReadyIdle(int id);
    // Adds the new messages, announces them and starts the move of their
    // spam, if any, by the session.
    void ReadIdleNews(int id, TImapIdle& idle);
    // The end of the move ReadIdleNews started: logged, counted, announced.
    void EndIdleSpamMove(int id, TImapIdle& idle);
    // DONE and LOGOUT on every idle session, and a wait of up to `ms` for
    // their ends: the Quit's.
    void LogoutIdleSessions(unsigned ms);
    // The IMAP session in hand, which a Quit closes at once.
    TImapSession* imap_ = nullptr;
    void ReadImapMailbox(const TMailBox& mailBox);
    // Keeps the fetched messages above the last UID in the memory and adds
    // them to the grid after the mailbox's others; those added.
    std::vector<TEmail*> AddImapNews(const TMailBox& mailBox, TImapMemory& memory,
                                     const TImapConversation& conversation);
    // The grid's email of a kept one, numbered `number` in its mailbox.
    std::unique_ptr<TEmail> ImapGridEmail(const TMailBox& mailBox, const TEmail& kept, int number) const;
    // Opens an IMAP session on the mailbox's folder and waits until it is
    // Ready; false after its error line (the step named).
    bool OpenImap(const TMailBox& mailBox, TImapSession& session, const TImapMemory& memory);
    // Waits, the messages flowing, until the conversation is Ready, Done or
    // Failed, or a Quit; true when it is Ready or Done.
    bool WaitImap(TImapSession& session);
    // The session's English error in the language of the interface.
    std::string ImapErrorText(const std::string& english) const;
    // LOGOUT, then the end of the connection.
    void CloseImap(TImapSession& session);
    // Removes one message of an IMAP mailbox by its UID; true when the
    // server expunged it.
    bool DeleteImapEmail(const TMailBox& mailBox, const TEmail& email);
    // Moves the spam of one IMAP mailbox to its spam folder, or, where the
    // server has none, removes it after a copy of each was kept in the
    // quarantine as for POP3 (MailImapSpam.cpp); the number that left.
    int MoveImapSpamOf(const TMailBox& mailBox, const std::vector<TEmail*>& spam, const TSpamRules& rules);
    // What is kept of mailboxes removed from the settings goes after a check.
    void ForgetRemovedMailboxes();
    void ReadMailbox(const TMailBox& mailBox);
    // The access token of an OAuth mailbox in the client, or its error line
    // (no TLS, sign-in expired) and false: nothing is sent then.
    bool PrepareOAuth(const TMailBox& mailBox);

    void PopListLine();
    void PopMessageLine();
    void PopHeaderEnd();
    void PopUidlLine();
    // Hands the watch's handlers to the POP3 client.
    void WireMailClient();
    // The steps of a mailbox's check after the login: whether the server
    // takes pipelined commands (CAPA, once a session), its listing (LIST and
    // UIDL), then the messages not kept from the last check, read into
    // Emails; those read whole are kept for the next check.
    bool AskPipelining();
    TMailboxListing ListMailbox(bool pipelining);
    // `step` names the request in hand for an error line.
    void ReadMessages(const TMailBox& mailBox, TMailboxMemory& memory, const std::vector<TMessagePlan>& plan,
                      bool pipelining, std::string& step);
    // A copy written to the quarantine and not flushed yet.
    struct TUnflushedCopy {
        std::size_t Place = 0;  // in the deletions
        std::string CopyPath, RecordPath;
        std::string Unique;      // the part of the names of its message's copies (QuarantineIdentity.h)
        bool Confirmed = false;  // the server confirmed its message's deletion
    };
    // One message of a deletion session: the email as the check saw it, why
    // it goes, whether the server took its DELE, and its copy once flushed.
    struct TDeletion {
        TEmail* Email = nullptr;
        TSpamReason Reason;
        bool Marked = false;
        TUnflushedCopy Copy;
    };
    // Marks the messages for deletion in the session open on their mailbox
    // (MailDeleteSteps.cpp), in steps over all of them: each still the one
    // seen, then, with copies on, saved whole, then DELE. A message that
    // fails a step stays, its line logged; the session ends with the first
    // step that loses it.
    void MarkForDeletion(const TMailBox& mailBox, std::vector<TDeletion>& deletions);
    // The steps: each takes the places (in `deletions`) still going and
    // returns those that passed, none once the session is lost.
    std::vector<std::size_t> KeepStillSeen(const TMailBox& mailBox, const std::vector<TDeletion>& deletions,
                                           const std::vector<std::size_t>& places, int window);
    std::vector<std::size_t> SaveQuarantineCopies(const TMailBox& mailBox, std::vector<TDeletion>& deletions,
                                                  const std::vector<std::size_t>& places, int window);
    void SendDeletions(const TMailBox& mailBox, std::vector<TDeletion>& deletions,
                       const std::vector<std::size_t>& places, int window);
    // Writes a whole copy to `copies`, which flush it, and its record, which
    // only describes it and is not flushed: a record lost in a crash leaves
    // its copy listed all the same. Empty when both are written, else why not.
    // `messageId` (QuarantineIdentity.h) names the message's copies alike.
    std::string WriteQuarantineCopy(const TMailBox& mailBox, const TEmail& email, const TSpamReason& reason,
                                    const std::string& messageId, const std::string& message,
                                    TFlushedFiles& copies, TUnflushedCopy& written);
    // After the session that tried their deletions: the records of the
    // copies whose deletion the server confirmed say so, and the copies made
    // of the same messages before are removed.
    void SettleQuarantineCopies(const std::vector<TUnflushedCopy>& copies);
    std::string QuarantinePath() const;
    TQuarantineCopy* copy_ = nullptr;  // the RETR reply in hand
    int copyCounter_ = 0;
    // The deletion's log line: sender, subject and the entry that marked it.
    std::string DeletedWhyLine(const TEmail& email, const TSpamReason& reason) const;
    // Asks the guard per mailbox; removes from `order` the spam of mailboxes to keep.
    void ApplySpamGuard(std::vector<TEmail*>& order, TSpamCycleStart start);
    // QUIT after the deletions of a session; true when messages were marked
    // and the server took the QUIT, which is when it removes them. Their
    // copies are settled then.
    bool EndDeletionSession(const TMailBox& mailBox, std::vector<TDeletion>& deletions);
    // The spam of one mailbox, highest number first, in one session; the
    // number of deletions the server confirmed.
    int DeleteSpamOf(const TMailBox& mailBox, const std::vector<TEmail*>& spam, const TSpamRules& rules);
    // The error line of a deletion whose mailbox was removed from the options.
    void ReportMailboxRemoved(const TEmail& email);
    // One error line of the mail watch: stored, flagged and logged.
    void ReportMailError(const std::string& format, const std::string& mailboxName, const std::string& error,
                         const std::string& detail);
    // Why the request in hand failed, as the error line's reason.
    std::string FailureReason() const;
};
