// The mailboxes window's texts: caption, grid headings and grid menu. French
// texts are Windows-1252 bytes.
#include "unitLanguage.h"

const std::vector<TTextRow>& MailboxTexts()
{
    static const std::vector<TTextRow> rows = {
        {"Caption", "Mailboxes", "Boites aux lettres"},
        {"zdsGrid.Columns[0]", "Mailbox", "Bo\xEEte"},
        {"zdsGrid.Columns[1]", "From", "Exp\xE9" "diteur"},
        {"zdsGrid.Columns[2]", "Subject", "Sujet"},
        {"mnpDeleteMessage", "Erase this message", "Effacer ce message"},
        {"mnpDeleteSPAM", "Erase all SPAM messages", "Effacer tous les messages de SPAM"},
        {"mnpAddSubject", "Add this subject to SPAM list", "Ajouter ce sujet \xE0 la liste des SPAM"},
        {"mnpAddSubjectEdit", "Edit and add this subject to SPAM list",
         "Editer puis ajouter ce sujet \xE0 la liste des SPAM"},
        {"mnpAddExp", "Add this expeditor to SPAM list", "Ajouter cet exp\xE9" "diteur \xE0 la liste des SPAM"},
        {"mnpReload", "Reload list", "Recharger la liste"},
        {"mnpViewHeader", "View header", "Voir en-t\xEAte"},
        {"mnpEmailProgram", "Start Email program", "Lancer le programme Email"},
    };
    return rows;
}
