// The move of spam to the server's spam folder: found once per connection
// through LIST (with the special-use attributes where the server offers
// them), then UID MOVE, or UID COPY, \Deleted and UID EXPUNGE of exactly the
// spam's UIDs. Never EXPUNGE: it would remove every message marked \Deleted,
// another client's included.
#include "ImapConversation.h"

#include "ImapMailboxName.h"
#include "ImapUidSet.h"

bool TImapConversation::MoveToSpam(const std::vector<std::uint32_t>& uids)
{
    if (step_ != TImapStep::Ready)
        return false;
    spamUids_ = ImapFormatUidSet(uids);
    if (spamUids_.empty())
        return false;
    spam_ = TImapSpamResult();
    if (!spamFolder_.WireName.empty()) {
        MoveSpam();
        return true;
    }
    mailboxes_.clear();
    if (Request(capabilities_.SpecialUse() ? TImapRequest::ListSpecialUse : TImapRequest::List))
        SetStep(TImapStep::Listing);
    return step_ == TImapStep::Listing;
}

bool TImapConversation::DeleteUids(const std::vector<std::uint32_t>& uids)
{
    if (step_ != TImapStep::Ready || !capabilities_.UidPlus())
        return false;
    spamUids_ = ImapFormatUidSet(uids);
    if (spamUids_.empty())
        return false;
    spam_ = TImapSpamResult();
    deleting_ = true;
    if (Request(TImapRequest::UidStoreDeleted, {spamUids_}))
        SetStep(TImapStep::Marking);
    return step_ == TImapStep::Marking;
}

void TImapConversation::SpamStepEnded(bool ok, const std::string& said)
{
    const TImapStep step = step_;
    if (!ok && deleting_) {
        SpamFailed(std::string("the server refused to ") +
                   (step == TImapStep::Marking ? "mark the message deleted: " : "remove the message: ") + said);
        return;
    }
    if (!ok) {
        const char* what = step == TImapStep::Listing   ? "list the folders"
                           : step == TImapStep::Moving  ? "move the spam"
                           : step == TImapStep::Copying ? "copy the spam"
                           : step == TImapStep::Marking ? "mark the spam deleted after copying it"
                                                        : "remove the spam after copying it";
        SpamFailed(std::string("the server refused to ") + what + ": " + said);
        return;
    }
    switch (step) {
    case TImapStep::Listing:
        Listed();
        break;
    case TImapStep::Moving:
        SpamDone(TImapSpamMove::Moved);
        break;
    case TImapStep::Copying:
        if (Request(TImapRequest::UidStoreDeleted, {spamUids_}))
            SetStep(TImapStep::Marking);
        break;
    case TImapStep::Marking:
        if (!capabilities_.UidPlus() && !deleting_)
            SpamDone(TImapSpamMove::CopiedAndMarked);
        else if (Request(TImapRequest::UidExpunge, {spamUids_}))
            SetStep(TImapStep::Expunging);
        break;
    default:
        SpamDone(deleting_ ? TImapSpamMove::Deleted : TImapSpamMove::CopiedAndExpunged);
        break;
    }
}

void TImapConversation::Listed()
{
    const TImapMailbox* folder = ImapSpamFolder(mailboxes_);
    if (!folder) {
        SpamFailed("the server has no folder for spam (Junk, Spam or Trash)");
        return;
    }
    std::string watched = ImapEncodeMailboxName(Account.Mailbox);
    if (watched.size() == 5 && (watched[0] | 0x20) == 'i' && (watched[1] | 0x20) == 'n' &&
        (watched[2] | 0x20) == 'b' && (watched[3] | 0x20) == 'o' && (watched[4] | 0x20) == 'x')
        watched = "INBOX";  // INBOX is named in any case; LIST writes it so
    if (folder->WireName == watched) {
        SpamFailed("the server's folder for spam is the mailbox being watched");
        return;
    }
    spamFolder_ = *folder;
    mailboxes_.clear();
    MoveSpam();
}

void TImapConversation::MoveSpam()
{
    spam_.Folder = spamFolder_.Name;
    if (capabilities_.Move()) {
        if (Request(TImapRequest::UidMove, {spamUids_, spamFolder_.WireName}))
            SetStep(TImapStep::Moving);
    } else if (Request(TImapRequest::UidCopy, {spamUids_, spamFolder_.WireName})) {
        SetStep(TImapStep::Copying);
    }
}

void TImapConversation::SpamDone(TImapSpamMove how)
{
    deleting_ = false;
    spam_.How = how;
    SetStep(TImapStep::Ready);
}

void TImapConversation::SpamFailed(const std::string& text)
{
    deleting_ = false;
    spam_.How = TImapSpamMove::None;
    spam_.Error = text;
    SetStep(TImapStep::Ready);
}
