// Deleting one message: a POP3 session of its own that first makes sure the
// message under that number is still the one the last check saw, since mail
// may have been removed or fetched elsewhere in between.
#include "../app/ihmMain.h"
#include "../app/unitGlobal.h"
#include "../forms/ihmMailbox.h"
#include "../model/unitProcessSpam.h"

bool TihmMain::IsStillTheMessageSeen(const TEmail& email)
{
    utlPop.MsgNum = email.Number;
    if (!email.Uidl.empty())
        return utlPop.UidlSync() && utlPop.MsgUidl() == email.Uidl;
    utlPop.MsgNum = email.Number;
    if (!utlPop.ListSync() || utlPop.MsgSize() != email.Octets)
        return false;
    utlPop.MsgNum = email.Number;
    utlPop.MsgLines = 0;
    MessageText.clear();
    const bool read = utlPop.TopSync();
    const std::string digest = HeaderDigest(MessageText);
    MessageText.clear();
    return read && digest == email.Digest;
}

void TihmMain::DeleteEmail(TEmail& email, bool inBatch)
{
    bool deleted = false;
    utlIcon.SetEnabled(true);
    TMailBox& box = *email.MailBox;
    ConnectMailbox(box);
    if (!ConnectFailed) {
        try {
            if (!IsStillTheMessageSeen(email)) {
                AddMailLog(FormatText(MsgMessageChanged, {email.Number, box.MailboxName}));
            } else {
                utlPop.MsgNum = email.Number;
                if (utlPop.DeleSync()) {
                    AddMailLog(MsgMessageDeleted);
                    deleted = true;
                } else {
                    // A refused DELE is no deletion: say so with the server's reply.
                    ReportMailError(MsgDeleteError, box, utlPop.ErrorMessage());
                }
            }
        } catch (const std::exception& error) {
            ReportMailError(MsgDeleteError, box, error.what());
        }
        utlPop.QuitSync();  // the server removes the message only at QUIT
    }
    if (deleted && !inBatch) {
        for (int i = 0; i < Emails.Count();) {
            if (Emails.ItemAs<TEmail>(i)->MailBox == &box)
                Emails.Delete(i);
            else
                ++i;
        }
        CheckMailbox(box);
        if (ihmMailbox)
            ihmMailbox->FillMailGrid();
    }
    UpdateTrayIcon();
    UpdateMailStatus(false);
}

void TihmMain::DeleteSelectedEmail(TEmail& email)
{
    if (Busy)
        return;
    ClearMailLog();
    Busy = true;
    DeleteEmail(email, false);
    Busy = false;
}
