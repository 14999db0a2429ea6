// The copy of the settings that the options dialog edits: taken from the
// settings, its changes put back row by row of the settings table, and each
// value changed brought into line by its apply step.
#include <map>

#include "../model/unitProcessEmail.h"
#include "SettingsTable.h"
#include "ihmOptions.h"

void TihmOptions::TakeDraft()
{
    const auto& table = SettingsTable();
    taken_.resize(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        taken_[i] = table[i].Get(settings_);
        if (table[i].Set)
            table[i].Set(draft_, taken_[i]);
    }
    draft_.SpamAddresses = takenAddresses_ = settings_.SpamAddresses;
    draft_.SpamSubjects = takenSubjects_ = settings_.SpamSubjects;
    draft_.SpamAllowed = takenAllowed_ = settings_.SpamAllowed;
}

void TihmOptions::TakeMailboxes()
{
    CopyMailboxes(Mailboxes, draft_.Mailboxes);
    takenTokens_.clear();
    for (int i = 0; i < Mailboxes.Count(); ++i) {
        const TMailBox& mailbox = *Mailboxes.ItemAs<TMailBox>(i);
        takenTokens_[mailbox.Id] = mailbox.ProtectedRefreshToken;
    }
    mailboxesEdited_ = false;
    ShowMailboxNames();
}

std::vector<bool> TihmOptions::Commit(bool& listsChanged)
{
    const auto& table = SettingsTable();
    std::vector<bool> changed(table.size(), false);
    for (size_t i = 0; i < table.size(); ++i) {
        if (!table[i].Set)
            continue;
        const std::string value = table[i].Get(draft_);
        changed[i] = value != taken_[i];
        if (changed[i])
            table[i].Set(settings_, value);
    }
    listsChanged = draft_.SpamAddresses != takenAddresses_ || draft_.SpamSubjects != takenSubjects_ ||
                   draft_.SpamAllowed != takenAllowed_;
    if (draft_.SpamAllowed != takenAllowed_)
        settings_.SpamAllowed = draft_.SpamAllowed;
    if (draft_.SpamAddresses != takenAddresses_)
        settings_.SpamAddresses = draft_.SpamAddresses;
    if (draft_.SpamSubjects != takenSubjects_)
        settings_.SpamSubjects = draft_.SpamSubjects;
    if (mailboxesEdited_)
        CommitMailboxes();
    // Taken again before any step runs: a step's own change handlers find nothing left to put back.
    TakeDraft();
    return changed;
}

void TihmOptions::CommitMailboxes()
{
    // A token renewed by a check since the copy was taken is not put back to
    // the one it replaced, which the provider may no longer take.
    std::map<int, std::string> taken;
    for (int i = 0; i < draft_.Mailboxes.Count(); ++i) {
        TMailBox& copy = *draft_.Mailboxes.ItemAs<TMailBox>(i);
        const auto asTaken = takenTokens_.find(copy.Id);
        const TMailBox* live = MailboxById(Mailboxes, copy.Id);
        if (live && asTaken != takenTokens_.end() && copy.ProtectedRefreshToken == asTaken->second)
            copy.ProtectedRefreshToken = live->ProtectedRefreshToken;
        taken[copy.Id] = copy.ProtectedRefreshToken;
    }
    takenTokens_.swap(taken);
    CopyMailboxes(draft_.Mailboxes, Mailboxes);
    mailboxesEdited_ = false;
    host_.MailboxesCommitted();
}

void TihmOptions::Apply() { Apply(nullptr); }

void TihmOptions::Apply(const char* step)
{
    bool listsChanged = false;
    const std::vector<bool> changed = Commit(listsChanged);
    const auto& table = SettingsTable();
    const auto& steps = ApplySteps();
    for (size_t i = 0; i < table.size(); ++i) {
        const auto found = steps.find(table[i].Name);
        if (found != steps.end() && (changed[i] || (step && found->first == step)))
            (this->*found->second)();
    }
    if (listsChanged || (step && std::string(step) == "SpamLists"))
        ShowSpamLists();
    // A step may have changed another value (a minutes field at 0 stops the watch).
    TakeDraft();
}

void TihmOptions::Discard()
{
    const auto& table = SettingsTable();
    const auto& steps = ApplySteps();
    std::vector<TApplyStep> shown;
    for (const auto& row : table) {
        const auto found = steps.find(row.Name);
        if (found != steps.end() && row.Get(draft_) != row.Get(settings_))
            shown.push_back(found->second);
    }
    TakeDraft();
    // Each control that showed the copy shows the setting again.
    for (TApplyStep show : shown)
        (this->*show)();
    ShowSpamLists();
    TakeMailboxes();
    SetMailboxEdits(false, nullptr);
}

void TihmOptions::ApplySettings()
{
    // The windows are placed first: each reports its geometry into the
    // settings as it changes, and a step may change it (a new text in a grid
    // heading reports the columns), so placed later they would report back
    // what they held before, not what the settings hold.
    host_.PlaceWindows();
    TakeDraft();
    const auto& steps = ApplySteps();
    for (const auto& row : SettingsTable()) {
        const auto found = steps.find(row.Name);
        if (found != steps.end())
            (this->*found->second)();
    }
    TakeDraft();
}

void TihmOptions::SettingsLoaded()
{
    ApplySettings();
    TakeMailboxes();
    ShowSpamLists();
}

void TihmOptions::ShowCounters()
{
    ApplyCounter();
    ApplyCounterSpam();
}
