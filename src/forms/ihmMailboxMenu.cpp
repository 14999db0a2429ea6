// The mailboxes window's popup menu: its items, their enabled states and
// their commands on the emails and the spam lists.
#include "../app/unitGlobal.h"
#include "../app/unitGlobalQuarantine.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"
#include "../framework/InputQuery.h"
#include "../framework/Locale.h"
#include "../mail/MailWatch.h"
#include "../model/SpamAllowList.h"
#include "ihmMailbox.h"

bool TihmMailbox::MailBusy() const { return mail_ && mail_->Busy; }

bool TihmMailbox::HasEmails() const { return mail_ && mail_->Emails.Count() > 0; }

// Compared as the lists are sorted: case-insensitive, in the user's locale.
void TihmMailbox::AddSpamEntry(std::string TSettings::*list, const std::string& entry,
                               const std::string& alreadyThere)
{
    if (!settings_)
        return;
    std::string& text = settings_->*list;
    for (const std::string& line : SplitLines(text))
        if (LocaleCompareText(line, entry) == 0) {
            MessageDlg(alreadyThere, TMsgDlgType::Information);
            return;
        }
    text += (text.empty() ? "" : "\r\n") + entry;
    if (commands_.SpamListsEdited)
        commands_.SpamListsEdited();
}

std::string ExpeditorEntry(const std::string& from)
{
    const size_t open = from.find('<');
    if (open == std::string::npos)
        return from;
    std::string address = from.substr(open + 1);
    const size_t close = address.find('>');
    if (close != std::string::npos)
        address.resize(close);
    return address;
}

std::vector<TMenuItemDef> TihmMailbox::GridMenuItems(TihmMailbox& self)
{
    TihmMailbox* m = &self;
    return {
        {"mnpDeleteMessage", -1, [m] { m->mnpDeleteMessageClick(); }},
        {"mnpDeleteSPAM", -1, [m] { m->mnpDeleteSPAMClick(); }},
        {"mnpDeletedSpam", -1, [m] { m->mnpDeletedSpamClick(); }},
        {"", -1, nullptr},
        {"mnpAddSubject", -1, [m] { m->mnpAddSubjectClick(); }},
        {"mnpAddSubjectEdit", -1, [m] { m->mnpAddSubjectEditClick(); }},
        {"mnpAddExp", -1, [m] { m->mnpAddExpClick(); }},
        {"mnpNeverSpam", -1, [m] { m->mnpNeverSpamClick(); }},
        {"", -1, nullptr},
        {"mnpViewHeader", -1, [m] { m->mnpViewHeaderClick(); }},
        {"", -1, nullptr},
        {"mnpReload", -1, [m] { m->mnpReloadClick(); }},
        {"", -1, nullptr},
        {"mnpEmailProgram", -1, [m] { m->mnpEmailProgramClick(); }},
    };
}

void TihmMailbox::mnpGridPopup()
{
    const bool onEmails = !MailBusy() && HasEmails();
    for (TMenuItem* item : {&mnpDeleteMessage(), &mnpDeleteSPAM(), &mnpAddSubject(), &mnpAddSubjectEdit(), &mnpAddExp(),
                            &mnpNeverSpam()})
        item->SetEnabled(onEmails);
    mnpViewHeader().SetEnabled(true);
    mnpDeletedSpam().SetEnabled(true);  // the copies are on disk, whatever the check does
    mnpReload().SetEnabled(!MailBusy());
    mnpEmailProgram().SetEnabled(settings_ && FileExists(settings_->EmailProgram));
}

// The handlers check Busy themselves too: the menu's states were computed
// when it opened, and a check may have started while it was open.
void TihmMailbox::mnpDeleteMessageClick()
{
    TEmail* email = MailBusy() ? nullptr : SelectedEmail();
    if (email)
        mail_->DeleteSelectedEmail(*email);
}

void TihmMailbox::mnpDeleteSPAMClick()
{
    if (mail_ && !MailBusy())
        mail_->DeleteSpamEmails();
}

void TihmMailbox::mnpDeletedSpamClick() { quarantine.ShowCopies(); }

void TihmMailbox::AllowSender(const std::string& address)
{
    if (address.empty())
        return;
    AddSpamEntry(&TSettings::SpamAllowed, address, MsgSenderAllowed);
    SpamListsChanged();  // an allowed sender's rows lose their red at once
}

void TihmMailbox::mnpNeverSpamClick()
{
    const TEmail* email = MailBusy() ? nullptr : SelectedEmail();
    if (email)
        AllowSender(AllowListAddressOf(*email));
}

void TihmMailbox::AddSubjectEntry(const std::string& entry)
{
    AddSpamEntry(&TSettings::SpamSubjects, entry, MsgSubjectOnList);
    SpamListsChanged();  // rows that became spam turn red at once
}

void TihmMailbox::mnpAddSubjectClick()
{
    const TEmail* email = MailBusy() ? nullptr : SelectedEmail();
    if (email)
        AddSubjectEntry(email->DecodedSubject);
}

void TihmMailbox::mnpAddSubjectEditClick()
{
    const TEmail* email = MailBusy() ? nullptr : SelectedEmail();
    if (!email)
        return;
    // A copy: the dialog runs its own message loop, in which a timed check
    // may clear the emails.
    std::string subject = email->DecodedSubject;
    if (!InputQuery(MsgSubjectEdition, MsgNewSubject, subject))
        return;
    AddSubjectEntry(subject);
}

void TihmMailbox::mnpAddExpClick()
{
    const TEmail* email = MailBusy() ? nullptr : SelectedEmail();
    if (!email)
        return;
    // The address as written: an encoded display name cannot pass for one.
    const bool hasAddress = email->From.find('<') != std::string::npos;
    AddSpamEntry(&TSettings::SpamAddresses, ExpeditorEntry(hasAddress ? RawTextToUtf8(email->From) : email->DecodedFrom),
                 MsgSenderOnList);
    SpamListsChanged();
}

void TihmMailbox::mnpViewHeaderClick()
{
    SetViewHeader(!mnpViewHeader().Checked());
    zdsGridClick();
}

void TihmMailbox::mnpReloadClick()
{
    if (!mail_ || MailBusy())
        return;
    mail_->ClearMailLog();
    zdsGrid.SetRowCount(1);
    mail_->CheckAllMailboxes(false);
}

void TihmMailbox::mnpEmailProgramClick()
{
    if (commands_.OpenEmailProgram)
        commands_.OpenEmailProgram();
}
