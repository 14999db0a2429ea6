#include "ImapConversation.h"

#include <algorithm>

#include "ImapMailboxName.h"

void TImapConversation::SetStep(TImapStep step)
{
    step_ = step;
    if (Finished() && OnFinished)
        OnFinished();
}

void TImapConversation::Fail(const std::string& text)
{
    if (step_ == TImapStep::Failed || step_ == TImapStep::Done)
        return;
    error_ = text;
    failedStep_ = step_;
    SetStep(TImapStep::Failed);
}

void TImapConversation::Opening()
{
    Reset();
    step_ = TImapStep::Closed;
    failedStep_ = TImapStep::Closed;
}

void TImapConversation::Connected()
{
    Reset();
    SetStep(TImapStep::Greeting);
}

void TImapConversation::Reset()
{
    reader_.Clear();
    tagger_.Reset();
    pending_ = TImapCommand();
    capabilities_ = TImapCapabilities();
    capabilitiesKnown_ = loggedIn_ = preauth_ = validityChanged_ = false;
    way_ = TSpamWay::ToFolder;
    tlsOn_ = Account.Security == TImapSecurity::Implicit;
    spamFolder_ = TImapMailbox();
    spam_ = TImapSpamResult();
    error_.clear();
    alerts_.clear();
    messages_.clear();
    uidsSeen_.clear();
    uidValidity_ = uidNext_ = exists_ = lastUid_ = 0;
    idleAccepted_ = renewing_ = announced_ = doneOwed_ = logoutOwed_ = newsOwed_ = false;
}

void TImapConversation::Received(const char* data, std::size_t size)
{
    reader_.Feed(data, size);
    TImapResponse response;
    while (step_ != TImapStep::Failed && step_ != TImapStep::Done && reader_.Next(response))
        Handle(response);
    if (reader_.Failed() && step_ != TImapStep::Failed && step_ != TImapStep::Done)
        Fail(reader_.Error() == TImapReadError::TooLarge
                 ? "the server sent a response too large (" + reader_.ErrorText() + ")"
                 : "the server sent a malformed response: " + reader_.ErrorText());
}

void TImapConversation::TlsDone(bool ok, const std::string& why)
{
    if (step_ != TImapStep::TlsHandshake)
        return;
    if (!ok) {
        Fail("the TLS handshake failed: " + why);
        return;
    }
    tlsOn_ = true;
    // What the server offered in clear may have been forged on the way.
    capabilitiesKnown_ = false;
    capabilities_ = TImapCapabilities();
    if (Request(TImapRequest::Capability))
        SetStep(TImapStep::Capability);
}

void TImapConversation::Closed()
{
    if (step_ == TImapStep::LoggingOut) {
        SetStep(TImapStep::Done);
        return;
    }
    if (step_ != TImapStep::Closed && step_ != TImapStep::Done)
        Fail("the server closed the connection");
}

void TImapConversation::Logout()
{
    if (step_ == TImapStep::Closed || step_ == TImapStep::Greeting || step_ == TImapStep::TlsHandshake ||
        step_ == TImapStep::LoggingOut || step_ == TImapStep::Done || step_ == TImapStep::Failed)
        return;
    // LOGOUT follows IDLE's end, and IDLE's own answer is passed over; when
    // the server has not accepted IDLE yet, both wait for its "+".
    if (step_ == TImapStep::Idling)
        EndIdle();
    if (doneOwed_) {
        logoutOwed_ = true;
        SetStep(TImapStep::LoggingOut);
        return;
    }
    if (Request(TImapRequest::Logout))
        SetStep(TImapStep::LoggingOut);
}

bool TImapConversation::Request(TImapRequest request, const std::vector<std::string>& arguments)
{
    TImapCommand command;
    if (!ImapBuildCommand(tagger_, request, arguments, ImapLiteralsOffered(capabilities_), command)) {
        Fail("a command could not be written (a zero byte in its text)");
        return false;
    }
    SendCommand(command);
    return true;
}

void TImapConversation::SendCommand(const TImapCommand& command)
{
    pending_ = command;
    partsSent_ = 1;
    if (OnTrace)
        OnTrace(command.Trace);
    if (Send)
        Send(command.Parts.front());
}

void TImapConversation::Handle(const TImapResponse& response)
{
    TImapCapabilities offered;
    if (ImapReadCapabilities(response, offered)) {
        capabilities_ = offered;
        capabilitiesKnown_ = true;
    }
    if (ImapIsAlert(response))
        alerts_.push_back(response.Text);
    switch (response.Kind) {
    case TImapResponseKind::Untagged:
        HandleUntagged(response);
        break;
    case TImapResponseKind::Tagged:
        HandleTagged(response);
        break;
    case TImapResponseKind::Continuation:
        HandleContinuation();
        break;
    }
}

void TImapConversation::HandleUntagged(const TImapResponse& response)
{
    if (ImapIsBye(response)) {
        if (step_ != TImapStep::LoggingOut)
            Fail("the server ended the session: " + response.Text);
        return;
    }
    if (step_ == TImapStep::Greeting) {
        if (response.Status == TImapStatus::Ok || response.Status == TImapStatus::Preauth) {
            loggedIn_ = response.Status == TImapStatus::Preauth;
            preauth_ = loggedIn_;
            Greeted();
        } else {
            Fail("the server's greeting is not OK: " + response.Name + " " + response.Text);
        }
        return;
    }
    std::uint32_t number = 0;
    if (ImapCodeNumber(response, "UIDVALIDITY", number))
        uidValidity_ = number;
    else if (ImapCodeNumber(response, "UIDNEXT", number))
        uidNext_ = number;
    else if (ImapReadCount(response, "EXISTS", number)) {
        // More messages than before: in IDLE, the moment to fetch them.
        const bool more = number > exists_;
        exists_ = number;
        if (more && (step_ == TImapStep::Idling || step_ == TImapStep::IdleDone))
            announced_ = true;
        // Outside IDLE (between two waits, in a fetch or a spam move) the
        // news is kept for the next IDLE, which fetches it first; SELECT's
        // count is where the mailbox starts, no news.
        else if (more && step_ != TImapStep::Select)
            newsOwed_ = true;
        if (more && step_ == TImapStep::Idling) {
            EndIdle();
            SetStep(TImapStep::IdleDone);
        }
    } else if (ImapReadCount(response, "EXPUNGE", number) && exists_ > 0) {
        // Each expunge is one message fewer: the next EXISTS is measured
        // against what is left.
        --exists_;
    }
    if (step_ == TImapStep::Listing && (response.Name == "LIST" || response.Name == "LSUB")) {
        // A mailbox that cannot be read is left out; the others still count.
        TImapMailbox mailbox;
        std::string error;
        if (ImapReadList(response, mailbox, error) && mailboxes_.size() < MaxMailboxes)
            mailboxes_.push_back(mailbox);
        return;
    }
    if (step_ == TImapStep::FetchingSpam && ImapIsUntagged(response, "FETCH")) {
        SpamFetched(response);
        return;
    }
    if (step_ != TImapStep::Fetch || !ImapIsUntagged(response, "FETCH"))
        return;
    TImapFetch fetch;
    std::string error;
    if (!ImapReadFetch(response, fetch, error)) {
        Fail("the server sent a malformed FETCH: " + error);
        return;
    }
    // "n:*" names the last message even when no UID reaches n, and a server
    // may send flag changes of other messages in between: only headers of
    // new UIDs count, each once.
    if (!fetch.HasUid || !fetch.HasHeader || fetch.Uid < firstNewUid_ || messages_.size() >= MaxNewMessages ||
        !uidsSeen_.insert(fetch.Uid).second)
        return;
    messages_.push_back(fetch);
}

void TImapConversation::HandleContinuation()
{
    // The next part of a command that waits for the server: a synchronising
    // literal's bytes, or a login's response after the server's "+".
    if (!pending_.Tag.empty() && partsSent_ < pending_.Parts.size()) {
        if (Send)
            Send(pending_.Parts[partsSent_]);
        ++partsSent_;
        return;
    }
    if ((step_ == TImapStep::Idling || step_ == TImapStep::IdleDone || logoutOwed_) && !idleAccepted_) {
        IdleAcceptedNow();
        return;
    }
    // A challenge after the whole login was sent is how an OAuth server
    // reports a refused token: the client answers, the server ends with NO.
    if (step_ == TImapStep::Login && !pending_.Tag.empty()) {
        if (Send)
            Send(ImapSaslFailureAnswer(auth_));
        return;
    }
    Fail("the server asked for more of a command that was complete");
}

void TImapConversation::HandleTagged(const TImapResponse& response)
{
    // LOGOUT may be sent while another command runs; that one's answer
    // no longer matters.
    if (step_ == TImapStep::LoggingOut && response.Tag != pending_.Tag)
        return;
    // IDLE ended before its "+" (refused): the LOGOUT that waited goes now.
    if (step_ == TImapStep::LoggingOut && logoutOwed_) {
        logoutOwed_ = doneOwed_ = false;
        pending_ = TImapCommand();
        Request(TImapRequest::Logout);
        return;
    }
    if (pending_.Tag.empty() || response.Tag != pending_.Tag) {
        Fail("the server answered a command that was not sent (" + response.Tag + ")");
        return;
    }
    pending_ = TImapCommand();
    const bool ok = response.Status == TImapStatus::Ok;
    const std::string said = response.Name + " " + response.Text;
    switch (step_) {
    case TImapStep::Capability:
        if (ok)
            AfterCapabilities();
        else
            Fail("the server refused CAPABILITY: " + said);
        break;
    case TImapStep::StartTls:
        if (!ok) {
            Fail("the server refused STARTTLS: " + said);
        } else if (reader_.Holds()) {
            // Bytes after the OK came in clear, unasked for: they belong to
            // no TLS session, and may be an attacker's.
            Fail("the server sent data after accepting STARTTLS");
        } else {
            SetStep(TImapStep::TlsHandshake);
            if (StartTls)
                StartTls();
        }
        break;
    case TImapStep::Login:
        loggedIn_ = ok;
        if (!ok)
            Fail("the server refused the login: " + said);
        else if (response.Code == "CAPABILITY")
            SendSelect();
        else if (Request(TImapRequest::Capability))
            SetStep(TImapStep::Capability);  // the login may change what the server offers
        break;
    case TImapStep::Select:
        if (ok)
            Selected();
        else
            Fail("the server refused the mailbox " + Account.Mailbox + ": " + said);
        break;
    case TImapStep::Fetch:
        if (ok)
            Fetched();
        else
            Fail("the server refused the headers: " + said);
        break;
    case TImapStep::Idling:
    case TImapStep::IdleDone:
        IdleEnded(ok, said);
        break;
    case TImapStep::Listing:
    case TImapStep::FetchingSpam:
    case TImapStep::Moving:
    case TImapStep::Copying:
    case TImapStep::Marking:
    case TImapStep::Expunging:
        SpamStepEnded(ok, said);
        break;
    case TImapStep::LoggingOut:
        SetStep(TImapStep::Done);
        break;
    default:
        Fail("the server answered a command at the wrong time (" + response.Tag + ")");
        break;
    }
}

void TImapConversation::Greeted()
{
    if (Account.Security == TImapSecurity::StartTls && !tlsOn_ && preauth_) {
        // Logged in before any TLS: STARTTLS is not allowed any more, and
        // nothing would protect what follows.
        Fail("the server logged in before TLS (PREAUTH), so STARTTLS cannot protect the session");
        return;
    }
    if (capabilitiesKnown_) {
        AfterCapabilities();
    } else if (Request(TImapRequest::Capability)) {
        SetStep(TImapStep::Capability);
    }
}

void TImapConversation::AfterCapabilities()
{
    if (!capabilities_.Imap4()) {
        Fail("the server does not speak IMAP4rev1");
        return;
    }
    if (Account.Security == TImapSecurity::StartTls && !tlsOn_) {
        if (!capabilities_.StartTls()) {
            Fail("the server does not offer STARTTLS");
            return;
        }
        if (Request(TImapRequest::StartTls))
            SetStep(TImapStep::StartTls);
        return;
    }
    if (loggedIn_)
        SendSelect();
    else
        SendLogin();
}

void TImapConversation::SendLogin()
{
    auth_ = Account.OAuth ? ImapChooseTokenAuth(capabilities_) : ImapChoosePasswordAuth(capabilities_);
    if (auth_ == TImapAuth::None) {
        Fail(Account.OAuth ? "the server offers neither OAUTHBEARER nor XOAUTH2"
                           : "the server refuses a login without TLS (LOGINDISABLED)");
        return;
    }
    TImapCommand command;
    if (!ImapLoginCommand(tagger_, auth_, capabilities_, Account.User, Account.Secret, Account.Host, Account.Port,
                          command)) {
        Fail("the user name or password cannot be sent (a zero byte in it)");
        return;
    }
    SetStep(TImapStep::Login);
    SendCommand(command);
}

void TImapConversation::SendSelect()
{
    uidValidity_ = uidNext_ = exists_ = 0;
    if (Request(TImapRequest::Select, {ImapEncodeMailboxName(Account.Mailbox)}))
        SetStep(TImapStep::Select);
}

void TImapConversation::Selected()
{
    if (uidValidity_ == 0) {
        Fail("the server gave no UIDVALIDITY for the mailbox, so new messages cannot be told from old ones");
        return;
    }
    validityChanged_ = KnownUidValidity != 0 && KnownUidValidity != uidValidity_;
    const bool sameUids = uidValidity_ == KnownUidValidity;
    if (sameUids && KnownLastUid == UINT32_MAX) {
        lastUid_ = KnownLastUid;
        SetStep(TImapStep::Ready);
        return;
    }
    std::uint32_t first = sameUids ? KnownLastUid + 1 : 1;
    if (uidNext_ > MaxNewMessages && first < uidNext_ - MaxNewMessages)
        first = uidNext_ - MaxNewMessages;
    lastUid_ = first - 1;
    // UIDNEXT says no UID from `first` on exists yet: nothing to fetch.
    if (uidNext_ != 0 && first >= uidNext_) {
        SetStep(TImapStep::Ready);
        return;
    }
    FetchNew(first);
}

void TImapConversation::FetchNew(std::uint32_t first)
{
    firstNewUid_ = first;
    newsOwed_ = false;
    messages_.clear();
    uidsSeen_.clear();
    if (Request(TImapRequest::FetchHeaders, {std::to_string(first) + ":*"}))
        SetStep(TImapStep::Fetch);
}

void TImapConversation::Fetched()
{
    std::sort(messages_.begin(), messages_.end(),
              [](const TImapFetch& a, const TImapFetch& b) { return a.Uid < b.Uid; });
    if (!messages_.empty())
        lastUid_ = std::max(lastUid_, messages_.back().Uid);
    SetStep(TImapStep::Ready);
}
