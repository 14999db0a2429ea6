// The mail log: the lines of the mailboxes window's text area.
#include "../app/ihmMain.h"
#include "../forms/ihmMailbox.h"

void TihmMain::AddMailLog(const std::string& text)
{
    if (ihmMailbox)
        ihmMailbox->zdsMail.AppendLine(text.empty() ? LastError : text);
}

void TihmMain::ClearMailLog()
{
    if (ihmMailbox)
        ihmMailbox->zdsMail.SetText("");
}
