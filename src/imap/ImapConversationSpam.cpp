// The move of spam to the server's spam folder: found once per connection
// through LIST (with the special-use attributes where the server offers
// them), then UID MOVE, or UID COPY, \Deleted and UID EXPUNGE of exactly the
// spam's UIDs. A server with no such folder has the messages fetched whole
// for the owner to keep a copy of each, and only those whose copies are on
// the disk are marked \Deleted and expunged. Never EXPUNGE: it would remove
// every message marked \Deleted, another client's included.
#include "ImapConversation.h"

#include <algorithm>

#include "ImapMailboxName.h"
#include "ImapUidSet.h"

bool TImapConversation::MoveToSpam(const std::vector<std::uint32_t>& uids, const std::vector<std::uint64_t>& sizes)
{
    if (step_ != TImapStep::Ready)
        return false;
    spamUids_ = ImapFormatUidSet(uids);
    if (spamUids_.empty())
        return false;
    spam_ = TImapSpamResult();
    way_ = TSpamWay::ToFolder;
    spamList_.clear();
    spamSizes_.clear();
    // Ascending and once each, the size of a UID given twice its first.
    std::vector<std::pair<std::uint32_t, std::uint64_t>> sorted;
    for (std::size_t i = 0; i < uids.size(); ++i)
        if (uids[i] != 0)
            sorted.emplace_back(uids[i], i < sizes.size() ? sizes[i] : 0);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [uid, size] : sorted)
        if (spamList_.empty() || spamList_.back() != uid) {
            spamList_.push_back(uid);
            spamSizes_.push_back(size);
        }
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
    way_ = TSpamWay::DeleteUids;
    spamList_ = uids;
    std::sort(spamList_.begin(), spamList_.end());
    spamList_.erase(std::unique(spamList_.begin(), spamList_.end()), spamList_.end());
    MarkSpamDeleted();
    return step_ == TImapStep::Marking;
}

const char* TImapConversation::SpamStepText(TImapStep step) const
{
    if (way_ == TSpamWay::DeleteUids)
        return step == TImapStep::Marking ? "mark the message deleted" : "remove the message";
    if (way_ != TSpamWay::ToFolder)
        return step == TImapStep::FetchingSpam ? "send the spam whole"
               : step == TImapStep::Marking    ? "mark the spam deleted"
                                               : "remove the spam";
    return step == TImapStep::Listing   ? "list the folders"
           : step == TImapStep::Moving  ? "move the spam"
           : step == TImapStep::Copying ? "copy the spam"
           : step == TImapStep::Marking ? "mark the spam deleted after copying it"
                                        : "remove the spam after copying it";
}

void TImapConversation::SpamStepEnded(bool ok, const std::string& said)
{
    const TImapStep step = step_;
    if (!ok) {
        SpamFailed(std::string("the server refused to ") + SpamStepText(step) + ": " + said);
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
        MarkSpamDeleted();
        break;
    case TImapStep::FetchingSpam:
        RemoveCopiedSpam();
        break;
    case TImapStep::Marking:
        SpamMarked();
        break;
    default:
        SpamDone(way_ == TSpamWay::ToFolder   ? TImapSpamMove::CopiedAndExpunged
                 : way_ == TSpamWay::CopyHere ? TImapSpamMove::CopiedHereAndExpunged
                                              : TImapSpamMove::Deleted);
        break;
    }
}

void TImapConversation::Listed()
{
    const TImapMailbox* folder = ImapSpamFolder(mailboxes_);
    if (!folder) {
        mailboxes_.clear();
        NoFolderForSpam();
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
    spam_.Uids = spamList_;
    if (capabilities_.Move()) {
        if (Request(TImapRequest::UidMove, {spamUids_, spamFolder_.WireName}))
            SetStep(TImapStep::Moving);
    } else if (Request(TImapRequest::UidCopy, {spamUids_, spamFolder_.WireName})) {
        SetStep(TImapStep::Copying);
    }
}

void TImapConversation::NoFolderForSpam()
{
    if (NoSpamFolder == TImapNoSpamFolder::Refuse ||
        (NoSpamFolder == TImapNoSpamFolder::CopyHere && (!OnSpamMessage || !OnSpamCopiesKept))) {
        spam_.NoFolder = true;
        SpamFailed("the server has no folder for spam (Junk, Spam or Trash)");
        return;
    }
    if (NoSpamFolder == TImapNoSpamFolder::Delete) {
        way_ = TSpamWay::DeleteHere;
        spam_.Uids = spamList_;
        MarkSpamDeleted();
        return;
    }
    way_ = TSpamWay::CopyHere;
    spamFetched_.clear();
    // A literal beyond what the reader takes would end the connection: such
    // a message is not fetched, so not copied, so not removed.
    std::vector<std::uint32_t> fetched;
    for (std::size_t i = 0; i < spamList_.size(); ++i)
        (spamSizes_[i] > TImapReader::MaxLiteralSize ? spam_.TooLarge : fetched).push_back(spamList_[i]);
    if (fetched.empty()) {
        RemoveCopiedSpam();
        return;
    }
    if (Request(TImapRequest::FetchWhole, {ImapFormatUidSet(fetched)}))
        SetStep(TImapStep::FetchingSpam);
}

void TImapConversation::SpamFetched(const TImapResponse& response)
{
    TImapFetch fetch;
    std::string error;
    if (!ImapReadFetch(response, fetch, error)) {
        Fail("the server sent a malformed FETCH: " + error);
        return;
    }
    // Flag changes the server sends meanwhile carry no message, and a UID
    // not asked for, or sent twice, is nothing to copy.
    if (!fetch.HasUid || !fetch.HasBody || !std::binary_search(spamList_.begin(), spamList_.end(), fetch.Uid) ||
        std::binary_search(spam_.TooLarge.begin(), spam_.TooLarge.end(), fetch.Uid) ||
        !spamFetched_.insert(fetch.Uid).second)
        return;
    if (OnSpamMessage)
        OnSpamMessage(fetch);
}

void TImapConversation::RemoveCopiedSpam()
{
    // Only what was handed over and is kept goes, whatever the owner says.
    std::vector<std::uint32_t> kept;
    if (!spamFetched_.empty() && OnSpamCopiesKept)
        for (std::uint32_t uid : OnSpamCopiesKept())
            if (spamFetched_.count(uid))
                kept.push_back(uid);
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    spam_.Uids = kept;
    spamUids_ = ImapFormatUidSet(kept);
    if (kept.empty()) {
        SpamMarked();
        return;
    }
    MarkSpamDeleted();
}

void TImapConversation::MarkSpamDeleted()
{
    if (Request(TImapRequest::UidStoreDeleted, {spamUids_}))
        SetStep(TImapStep::Marking);
}

void TImapConversation::SpamMarked()
{
    // Without UIDPLUS nothing removes exactly these: \Deleted is where it
    // ends. The grid's DeleteUids is never started on such a server.
    const bool expunge = capabilities_.UidPlus() && !spamUids_.empty();
    if (expunge) {
        if (Request(TImapRequest::UidExpunge, {spamUids_}))
            SetStep(TImapStep::Expunging);
        return;
    }
    switch (way_) {
    case TSpamWay::ToFolder:
        SpamDone(TImapSpamMove::CopiedAndMarked);
        break;
    case TSpamWay::CopyHere:
        SpamDone(capabilities_.UidPlus() ? TImapSpamMove::CopiedHereAndExpunged : TImapSpamMove::CopiedHereAndMarked);
        break;
    default:
        SpamDone(TImapSpamMove::Marked);
        break;
    }
}

void TImapConversation::SpamDone(TImapSpamMove how)
{
    way_ = TSpamWay::ToFolder;
    spam_.How = how;
    SetStep(TImapStep::Ready);
}

void TImapConversation::SpamFailed(const std::string& text)
{
    way_ = TSpamWay::ToFolder;
    spam_.How = TImapSpamMove::None;
    spam_.Error = text;
    spam_.Step = step_;
    spam_.Uids.clear();
    SetStep(TImapStep::Ready);
}
