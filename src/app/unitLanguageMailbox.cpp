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
        {"mnpDeletedSpam", "Deleted SPAM...", "SPAM effac\xE9s..."},
        {"mnpAddSubject", "Add this subject to SPAM list", "Ajouter ce sujet \xE0 la liste des SPAM"},
        {"mnpAddSubjectEdit", "Edit and add this subject to SPAM list",
         "Editer puis ajouter ce sujet \xE0 la liste des SPAM"},
        {"mnpAddExp", "Add this expeditor to SPAM list", "Ajouter cet exp\xE9" "diteur \xE0 la liste des SPAM"},
        {"mnpNeverSpam", "Never SPAM from this sender", "Jamais de SPAM de cet exp\xE9" "diteur"},
        {"mnpReload", "Reload list", "Recharger la liste"},
        {"mnpViewHeader", "View header", "Voir en-t\xEAte"},
        {"mnpEmailProgram", "Start Email program", "Lancer le programme Email"},
        // The "Deleted SPAM" window, which the mailboxes window owns.
        {"Quarantine.Caption", "Deleted SPAM", "SPAM effac\xE9s"},
        {"Quarantine.Columns[0]", "Deleted", "Effac\xE9 le"},
        {"Quarantine.Columns[1]", "Mailbox", "Bo\xEEte"},
        {"Quarantine.Columns[2]", "From", "Exp\xE9" "diteur"},
        {"Quarantine.Columns[3]", "Subject", "Sujet"},
        {"Quarantine.Columns[4]", "Marked by", "Marqu\xE9 par"},
        {"Quarantine.btnOpen", "Open", "Ouvrir"},
        {"Quarantine.btnSaveAs", "Save as...", "Enregistrer sous..."},
        {"Quarantine.btnNotSpam", "Not SPAM", "Pas du SPAM"},
        {"Quarantine.Unreadable", "(unreadable record)", "(fiche illisible)"},
        {"Quarantine.NotConfirmed", "(not confirmed)", "(non confirm\xE9)"},
        {"Quarantine.SaveTitle", "Save the message as", "Enregistrer le message sous"},
        {"Quarantine.SaveFilter", "Message (*.eml)|*.eml|All files (*.*)|*.*",
         "Message (*.eml)|*.eml|Tous les fichiers (*.*)|*.*"},
    };
    return rows;
}
