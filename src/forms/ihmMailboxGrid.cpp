// The mailboxes window's grid: filling it from the emails, the red spam rows
// and the detail view of the selected row.
#include "../framework/CodePage.h"
#include "../mail/MailWatch.h"
#include "../model/EmailDetails.h"
#include "../model/unitProcessEmail.h"
#include "ihmMailbox.h"

void TihmMailbox::FillMailGrid()
{
    if (!mail_)
        return;
    TMyCollection& emails = mail_->Emails;
    const int selected = zdsGrid.Selected();
    if (emails.Count() > 0)
        emails.SetSorted(true);
    // The rows are drawn from the emails as they come into view: filling the
    // grid costs the same for ten messages or ten thousand.
    EmailsCleared();
    zdsGrid.SetRowCount(emails.Count() > 0 ? emails.Count() : 1);
    // A row is always current, as in a grid: the menu acts on it before any click.
    zdsGrid.SetSelected(selected >= 0 && selected < zdsGrid.RowCount() ? selected : 0);
}

std::string TihmMailbox::CellText(int column, int row) const
{
    // A row without an email behind it is empty: with no email at all, or
    // while a check clears and refills the emails under the grid.
    if (!mail_ || row < 0 || row >= mail_->Emails.Count())
        return std::string();
    const TEmail& email = *mail_->Emails.ItemAs<TEmail>(row);
    switch (column) {
    case 0:
        return email.MailboxName;  // as it was named at the check
    case 1:
        return GetDecodedEmailAddress(email);
    case 2:
        return email.DecodedSubject;
    default:
        return std::string();
    }
}

TEmail* TihmMailbox::SelectedEmail() const
{
    if (!mail_)
        return nullptr;
    const int row = zdsGrid.Selected();
    // The grid can still hold rows of emails a check has just cleared.
    if (row < 0 || row >= mail_->Emails.Count())
        return nullptr;
    return mail_->Emails.ItemAs<TEmail>(row);
}

void TihmMailbox::zdsGridClick()
{
    // During a check the text area is the log, which a click must not hide.
    if (!mail_ || mail_->Busy || mail_->Emails.Count() == 0)
        return;
    ShowDetails();
}

void TihmMailbox::ShowDetails()
{
    const TEmail* email = SelectedEmail();
    if (!email)
        return;
    zdsMail.SetText(FormatEmailDetails(*email, ViewHeader(), ConvertCodePageToUtf8));
    zdsMail.ScrollToStart();
}

bool TihmMailbox::zdsGridDrawCell(int row, COLORREF& textColor) const
{
    // Rows without an email behind them stay as drawn: a check clears and
    // refills Emails under the still-filled grid, which may repaint meanwhile.
    if (!mail_ || row < 0 || row >= mail_->Emails.Count())
        return false;
    if (!IsSpamRow(row))
        return false;
    textColor = RGB(255, 0, 0);
    return true;
}

bool TihmMailbox::IsSpamRow(int row) const
{
    const TEmail* email = mail_->Emails.ItemAs<TEmail>(row);
    if (spamRows_.size() <= static_cast<size_t>(row))
        spamRows_.resize(static_cast<size_t>(row) + 1);
    TSpamRow& known = spamRows_[static_cast<size_t>(row)];
    if (known.email != email) {
        if (!spamLists_)
            spamLists_ = mail_->SpamLists();
        known = {email, spamLists_->Marks(*email)};
    }
    return known.spam;
}

void TihmMailbox::EmailsCleared()
{
    spamRows_.clear();
    spamLists_.reset();
}

void TihmMailbox::SpamListsChanged()
{
    EmailsCleared();
    zdsGrid.Repaint();
}

void TihmMailbox::FormResize()
{
    if (!laidOut_)
        return;
    LayoutControls();
    // The panel's bevels follow the edges, which the form class does not redraw by itself.
    InvalidateRect(Handle(), nullptr, TRUE);
    zdsGrid.Repaint();
}
