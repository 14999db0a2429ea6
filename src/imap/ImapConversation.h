// The steps of an IMAP check, without the socket: from the greeting through
// CAPABILITY, STARTTLS, the login and SELECT to the headers of the messages
// that are new since the last check, fetched in one UID FETCH of the whole
// new range; then, where the server offers it, IDLE (RFC 2177) until the
// server announces more messages, whose headers are fetched the same way;
// and the move of spam to the server's spam folder, or, where the server has
// none, its removal after the owner kept a copy of each message. The session
// (ImapSession) feeds it what the connection does and carries out what it
// asks for (bytes to send, TLS to start), so that every step can be tested
// on its own, byte by byte, without a network.
//
// Nothing here waits: each call handles what it was given and returns.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ImapCommand.h"
#include "ImapMailbox.h"
#include "ImapReader.h"
#include "ImapResponse.h"

enum class TImapSecurity {
    None,      // in clear (port 143)
    Implicit,  // TLS from the first byte (port 993); the session starts it
    StartTls,  // in clear, then STARTTLS before anything else (port 143)
};

struct TImapAccount {
    TImapSecurity Security = TImapSecurity::Implicit;
    std::string Host;  // for OAUTHBEARER's response
    int Port = 993;
    std::string User;
    std::string Secret;  // the password, or the OAuth 2.0 access token
    bool OAuth = false;  // Secret is a token: XOAUTH2 or OAUTHBEARER
    std::string Mailbox = "INBOX";  // in UTF-8
};

enum class TImapStep {
    Closed,        // not started
    Greeting,      // connected, waiting for the server's first words
    Capability,    // asking what the server offers
    StartTls,      // STARTTLS sent
    TlsHandshake,  // TLS being set up on the connection
    Login,         // the login sent
    Select,        // the mailbox being opened
    Fetch,         // the headers of the new messages being fetched
    Ready,         // done: the new messages are known, the mailbox stays open
    Idling,        // IDLE sent: waiting for the server to announce new messages
    IdleDone,      // DONE sent: waiting for the end of IDLE
    Listing,       // LIST sent, to find the spam folder
    FetchingSpam,  // UID FETCH of the whole spam messages sent (no spam folder)
    Moving,        // UID MOVE sent
    Copying,       // UID COPY sent (no MOVE)
    Marking,       // UID STORE \Deleted sent after the copy (or, without a spam folder, alone)
    Expunging,     // UID EXPUNGE sent (UIDPLUS)
    LoggingOut,    // LOGOUT sent
    Done,          // logged out
    Failed,        // stopped on an error (ErrorText); the connection must be closed
};

// How the last spam move went.
enum class TImapSpamMove {
    None,               // not moved: Error says why, the messages stay where they were
    Moved,              // UID MOVE (RFC 6851)
    CopiedAndExpunged,  // UID COPY, \Deleted, UID EXPUNGE of exactly those UIDs (RFC 4315)
    CopiedAndMarked,    // UID COPY and \Deleted: without UIDPLUS nothing removes exactly
                        // those, and a plain EXPUNGE would remove what others marked too
    Deleted,            // DeleteUids, or no spam folder and no copies wanted: \Deleted
                        // and UID EXPUNGE of exactly those UIDs
    // No spam folder on the server:
    CopiedHereAndExpunged,  // each fetched whole, its copy kept by the owner, then \Deleted
                            // and UID EXPUNGE of exactly the UIDs whose copies are kept
    CopiedHereAndMarked,    // the same without UIDPLUS: \Deleted only
    Marked,                 // no copies wanted, no UIDPLUS: \Deleted only
};

// What MoveToSpam does where the server has no folder for spam.
enum class TImapNoSpamFolder {
    Refuse,    // nothing: SpamResult says there is no folder
    CopyHere,  // fetches each message whole for the owner to copy (OnSpamMessage),
               // then removes those whose copies are kept (OnSpamCopiesKept)
    Delete,    // removes them without a copy
};

struct TImapSpamResult {
    TImapSpamMove How = TImapSpamMove::None;
    std::string Folder;  // where they went, in UTF-8
    std::string Error;   // why they did not, in English
    TImapStep Step = TImapStep::Ready;  // the step the server refused
    // The UIDs that left the folder (or were marked \Deleted), ascending:
    // all those asked for, but where copies are kept here only those whose
    // copies are.
    std::vector<std::uint32_t> Uids;
    // Not fetched to be copied, as larger than a response may be: they
    // stay on the server.
    std::vector<std::uint32_t> TooLarge;
    // Refused (NoSpamFolder left at Refuse) as the server has no folder for spam.
    bool NoFolder = false;
};

class TImapConversation {
public:
    // At most this many new messages are kept from one fetch. Where SELECT
    // gave UIDNEXT, the range asked for starts there less this many, so that
    // a first check of a large mailbox asks for the newest alone; whatever a
    // server sends beyond this many is dropped, not held.
    static constexpr std::uint32_t MaxNewMessages = 1000;
    // At most this many mailboxes of a LIST are kept to choose the spam
    // folder from.
    static constexpr std::size_t MaxMailboxes = 10000;

    TImapAccount Account;
    // Where the last check of this mailbox stopped: only UIDs above
    // KnownLastUid are new, while the UIDVALIDITY is still KnownUidValidity.
    std::uint32_t KnownUidValidity = 0;
    std::uint32_t KnownLastUid = 0;

    // What the session does for the conversation.
    std::function<void(const std::string& bytes)> Send;
    std::function<void()> StartTls;             // then TlsDone
    std::function<void()> OnFinished;           // Ready, Done or Failed reached
    std::function<void(const std::string&)> OnTrace;  // each command, its secrets hidden
    // Where the server has no folder for spam: what MoveToSpam does, and,
    // for CopyHere, each message fetched whole as it arrives (its UID, its
    // RFC822.SIZE where sent, its bytes), then, once the fetch has ended,
    // the UIDs whose copies are on the disk: only those are removed.
    TImapNoSpamFolder NoSpamFolder = TImapNoSpamFolder::Refuse;
    std::function<void(const TImapFetch& whole)> OnSpamMessage;
    std::function<std::vector<std::uint32_t>()> OnSpamCopiesKept;

    // A new connection is being made: what the last one found is forgotten.
    void Opening();
    // The connection is up (TLS included, for implicit TLS): the greeting
    // comes next.
    void Connected();
    // Bytes from the server, as they arrived.
    void Received(const char* data, std::size_t size);
    // The end of the TLS handshake that StartTls asked for.
    void TlsDone(bool ok, const std::string& why);
    // The connection ended.
    void Closed();
    // The connection could not be made or broke (a lookup, a refusal, a
    // certificate): the session fails with `why`.
    void ConnectionFailed(const std::string& why) { Fail(why); }
    // Ends the session politely (LOGOUT) when it is connected; ends IDLE
    // first.
    void Logout();
    // From Ready: waits in IDLE for new messages. When the server announces
    // more, IDLE ends and their headers are fetched: Ready again, with them
    // as NewMessages. More announced while no IDLE ran (the session Ready
    // meanwhile, or moving spam) are fetched at once, without IDLE. False
    // when the server does not offer IDLE or the session is not Ready.
    bool Idle();
    // Ends IDLE and starts it again, as servers drop a connection idle for
    // 30 minutes (RFC 2177 asks to renew it within 29). Messages announced
    // meanwhile are fetched as in Idle.
    void RenewIdle();
    // From Ready: moves the messages of these UIDs to the spam folder, the
    // one ImapSpamFolder picks from the server's LIST (asked once per
    // connection); OnFinished reports Ready again, with SpamResult(). A
    // refusal leaves the session Ready and the messages where the steps
    // done left them. False when the session is not Ready or no UID is
    // given. Without a spam folder, NoSpamFolder says what happens; `sizes` are
    // the messages' sizes as the check read them, in the order of `uids`
    // (0 or missing: not known), so that a message larger than the reader
    // takes is not fetched whole (SpamResult().TooLarge) and stays.
    bool MoveToSpam(const std::vector<std::uint32_t>& uids, const std::vector<std::uint64_t>& sizes = {});
    const TImapSpamResult& SpamResult() const { return spam_; }
    // From Ready, on a server with UIDPLUS: removes the messages of these
    // UIDs (\Deleted, then UID EXPUNGE of exactly them); OnFinished reports
    // Ready again, with SpamResult() Deleted or why not. False without
    // UIDPLUS (a plain EXPUNGE would remove what others marked too), when
    // the session is not Ready or no UID is given.
    bool DeleteUids(const std::vector<std::uint32_t>& uids);
    // The server accepted IDLE: it may stay silent from now on.
    bool IdleAccepted() const { return step_ == TImapStep::Idling && idleAccepted_; }

    TImapStep Step() const { return step_; }
    bool Finished() const { return step_ == TImapStep::Ready || step_ == TImapStep::Done || step_ == TImapStep::Failed; }
    // Why the session failed, in English, and the step it failed in.
    const std::string& ErrorText() const { return error_; }
    TImapStep FailedStep() const { return failedStep_; }
    // What the server said with [ALERT]: to be shown to the user.
    const std::vector<std::string>& Alerts() const { return alerts_; }
    const TImapCapabilities& Capabilities() const { return capabilities_; }
    bool TlsOn() const { return tlsOn_; }

    // The mailbox as SELECT opened it.
    std::uint32_t UidValidity() const { return uidValidity_; }
    std::uint32_t UidNext() const { return uidNext_; }
    std::uint32_t Exists() const { return exists_; }
    // The UIDVALIDITY differs from the known one: UIDs seen before mean
    // nothing any more, and every message counted as new.
    bool UidValidityChanged() const { return validityChanged_; }
    // The new messages, by ascending UID, and the UID to remember for the
    // next check.
    const std::vector<TImapFetch>& NewMessages() const { return messages_; }
    std::uint32_t LastUid() const { return lastUid_; }

private:
    void Reset();
    void Handle(const TImapResponse& response);
    void HandleUntagged(const TImapResponse& response);
    void HandleTagged(const TImapResponse& response);
    void HandleContinuation();
    void Greeted();
    void AfterCapabilities();
    void SendLogin();
    void SendSelect();
    void Selected();
    void Fetched();
    void FetchNew(std::uint32_t first);
    void IdleEnded(bool ok, const std::string& said);
    void EndIdle();
    void IdleAcceptedNow();
    void SpamStepEnded(bool ok, const std::string& said);
    void Listed();
    void MoveSpam();
    void SpamDone(TImapSpamMove how);
    void NoFolderForSpam();
    void SpamFetched(const TImapResponse& response);
    void RemoveCopiedSpam();
    void MarkSpamDeleted();
    void SpamMarked();
    const char* SpamStepText(TImapStep step) const;
    void SpamFailed(const std::string& text);
    bool Request(TImapRequest request, const std::vector<std::string>& arguments = {});
    void SendCommand(const TImapCommand& command);
    void SetStep(TImapStep step);
    void Fail(const std::string& text);

    TImapStep step_ = TImapStep::Closed;
    TImapReader reader_;
    TImapTagger tagger_;
    TImapCommand pending_;   // the command awaiting its tagged answer
    std::size_t partsSent_ = 0;
    TImapCapabilities capabilities_;
    bool capabilitiesKnown_ = false;
    bool preauth_ = false;   // the greeting was PREAUTH
    bool loggedIn_ = false;
    bool tlsOn_ = false;
    TImapAuth auth_ = TImapAuth::None;
    std::string error_;
    TImapStep failedStep_ = TImapStep::Closed;
    std::vector<std::string> alerts_;
    std::uint32_t uidValidity_ = 0, uidNext_ = 0, exists_ = 0;
    bool validityChanged_ = false;
    std::uint32_t firstNewUid_ = 1;
    std::vector<TImapFetch> messages_;
    std::set<std::uint32_t> uidsSeen_;
    std::uint32_t lastUid_ = 0;
    bool idleAccepted_ = false;
    bool renewing_ = false;  // DONE was sent to start IDLE again
    bool doneOwed_ = false;  // IDLE must end as soon as the server accepts it
    bool logoutOwed_ = false;  // LOGOUT follows that DONE
    bool announced_ = false;  // the server announced more messages during IDLE
    bool newsOwed_ = false;   // it announced more outside IDLE, not fetched since
    std::vector<TImapMailbox> mailboxes_;  // what LIST answered
    TImapMailbox spamFolder_;               // found once per connection
    std::string spamUids_;                  // the UID set being moved
    std::vector<std::uint32_t> spamList_;   // the same UIDs, ascending
    std::vector<std::uint64_t> spamSizes_;  // their sizes as the check read them
    std::set<std::uint32_t> spamFetched_;   // those handed over whole
    TImapSpamResult spam_;
    // Which steps are in hand: a move to the spam folder, the grid's
    // DeleteUids, or, without a spam folder, a removal after copies kept
    // here or without them.
    enum class TSpamWay { ToFolder, DeleteUids, CopyHere, DeleteHere };
    TSpamWay way_ = TSpamWay::ToFolder;
};
