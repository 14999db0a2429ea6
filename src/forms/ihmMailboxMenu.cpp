// The mailboxes window's popup menu: its items, their enabled states and
// their commands on the emails and the spam lists.
#include "../app/ihmMain.h"
#include "../app/unitGlobal.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"
#include "../framework/InputQuery.h"
#include "../framework/Locale.h"
#include "../settings/ihmOptions.h"
#include "ihmMailbox.h"

namespace {
bool MailBusy() { return ihmMain && ihmMain->Busy; }

bool HasEmails() { return ihmMain && ihmMain->Emails.Count() > 0; }

// Adds `entry` as the last line of a spam list field unless the field holds
// it already, compared as the lists are sorted: case-insensitive, in the
// user's locale.
void AddSpamEntry(TMemo& list, const std::string& entry, const std::string& alreadyThere)
{
    for (const std::string& line : list.Lines())
        if (LocaleCompareText(line, entry) == 0) {
            MessageDlg(alreadyThere, TMsgDlgType::Information);
            return;
        }
    list.AppendLine(entry);
}
}  // namespace

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
        {"", -1, nullptr},
        {"mnpAddSubject", -1, [m] { m->mnpAddSubjectClick(); }},
        {"mnpAddSubjectEdit", -1, [m] { m->mnpAddSubjectEditClick(); }},
        {"mnpAddExp", -1, [m] { m->mnpAddExpClick(); }},
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
    for (TMenuItem* item : {&mnpDeleteMessage(), &mnpDeleteSPAM(), &mnpAddSubject(), &mnpAddSubjectEdit(), &mnpAddExp()})
        item->SetEnabled(onEmails);
    mnpViewHeader().SetEnabled(true);
    mnpReload().SetEnabled(!MailBusy());
    mnpEmailProgram().SetEnabled(ihmOptions && FileExists(ihmOptions->EmailProgram()));
}

// The handlers check Busy themselves too: the menu's states were computed
// when it opened, and a check may have started while it was open.
void TihmMailbox::mnpDeleteMessageClick()
{
    TEmail* email = MailBusy() ? nullptr : SelectedEmail();
    if (email)
        ihmMain->DeleteSelectedEmail(*email);
}

void TihmMailbox::mnpDeleteSPAMClick()
{
    if (ihmMain && !MailBusy())
        ihmMain->DeleteSpamEmails();
}

void TihmMailbox::AddSubjectEntry(const std::string& entry)
{
    if (!ihmOptions)
        return;
    AddSpamEntry(ihmOptions->zdsSubject, entry, MsgSubjectOnList);
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
    if (!email || !ihmOptions)
        return;
    // The address as written: an encoded display name cannot pass for one.
    const bool hasAddress = email->From.find('<') != std::string::npos;
    AddSpamEntry(ihmOptions->zdsEmail, ExpeditorEntry(hasAddress ? RawTextToUtf8(email->From) : email->DecodedFrom),
                 MsgSenderOnList);
    SpamListsChanged();
}

void TihmMailbox::mnpViewHeaderClick()
{
    mnpViewHeader().SetChecked(!mnpViewHeader().Checked());
    zdsGridClick();
}

void TihmMailbox::mnpReloadClick()
{
    if (!ihmMain || MailBusy())
        return;
    ihmMain->ClearMailLog();
    zdsGrid.SetRowCount(1);
    ihmMain->CheckAllMailboxes(false);
}

void TihmMailbox::mnpEmailProgramClick()
{
    if (ihmMain)
        ihmMain->mnpTbEmailProgramClick();
}
