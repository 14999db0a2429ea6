// The messages table. French texts are Windows-1252 bytes.
#include "unitGlobal.h"
#include "unitLanguage.h"

const std::vector<TMessageRow>& MessageTexts()
{
    static const std::vector<TMessageRow> rows = {
        {"VersionText", &VersionText, "2.0", "2.0"},
        {"MsgReadError", &MsgReadError, "Read error on file '%s'", "Erreur lors de la lecture du fichier '%s'"},
        {"MsgWriteError", &MsgWriteError, "Write error on file '%s'", "Erreur lors de l'ecriture du fichier '%s'"},
        {"MsgSettingsWriteError", &MsgSettingsWriteError, "Write error on the settings in the registry key '%s'",
         "Erreur lors de l'ecriture des param\xE8tres dans la cl\xE9 de registre '%s'"},
        {"MsgNotGoodIdea", &MsgNotGoodIdea, "I think it's not a good idea :)",
         "Je pense que ce n'est pas une bonne id\xE9" "e :)"},
        {"MsgAlreadyRunning", &MsgAlreadyRunning, "Skarnvale is already running.",
         "Skarnvale est d\xE9j\xE0 actif."},
        {"MsgDeleteError", &MsgDeleteError, "Error during '%s' message delete : %s (%s)",
         "Erreur pendant l'effacement d'un message sur  '%s' : %s (%s)"},
        {"MsgLoadError", &MsgLoadError, "Error during '%s' loading : %s (%s)",
         "Erreur pendant le chargement des emails sur '%s' : %s (%s)"},
        {"MsgConnectError", &MsgConnectError, "Error during '%s' connection : %s (%s)",
         "Erreur pendant la connexion \xE0 '%s' : %s (%s)"},
        {"MsgNoMessageOn", &MsgNoMessageOn, "No message found on '%s'", "Aucun message pr\xE9sent sur '%s'"},
        {"MsgMessagesOn", &MsgMessagesOn, "%d message(s) found on '%s'", "%d message(s) pr\xE9sent sur '%s'"},
        {"MsgSubjectOnList", &MsgSubjectOnList, "This subject is already on SPAM list",
         "Ce sujet est d\xE9j\xE0 pr\xE9sent dans la liste de SPAM"},
        {"MsgSenderOnList", &MsgSenderOnList, "This expeditor is already on SPAM list",
         "Cet exp\xE9" "diteur est d\xE9j\xE0 pr\xE9sent dans la liste de SPAM"},
        {"MsgMessageDeleted", &MsgMessageDeleted, "A message was deleted", "Un message a \xE9t\xE9 d\xE9truit"},
        {"MsgMessageChanged", &MsgMessageChanged,
         "Message %d on '%s' is no longer the one that was checked: it was not deleted",
         "Le message %d sur '%s' n'est plus celui qui a \xE9t\xE9 v\xE9rifi\xE9 : il n'a pas \xE9t\xE9 d\xE9truit"},
        {"MsgConnectionLost", &MsgConnectionLost, "the connection was lost", "la connexion a \xE9t\xE9 perdue"},
        {"MsgMessagesFound", &MsgMessagesFound, "%d messages found (%s)", "%d messages trouv\xE9s (%s)"},
        {"MsgOneMessageFound", &MsgOneMessageFound, "One message found (%s)", "Un message trouv\xE9 (%s)"},
        {"MsgMailboxesInError", &MsgMailboxesInError, ", %d mailbox(es) in error",
         ", %d boite(s) aux lettres en erreur"},
        {"MsgNoMessageFound", &MsgNoMessageFound, "No message found (%s)", "Aucun message trouv\xE9 (%s)"},
        {"MsgCheckInProgress", &MsgCheckInProgress, "Check in progress...", "V\xE9rification en cours..."},
        {"MsgCheckStart", &MsgCheckStart, "Starting mailboxes check...",
         "D\xE9" "but de la v\xE9rification des boites aux lettres..."},
        {"MsgCheckEnd", &MsgCheckEnd, "End of mailboxes check", "Fin de la v\xE9rification des boites aux lettres"},
        {"MsgSpamStart", &MsgSpamStart, "Starting SPAM messages delete...",
         "D\xE9" "but de la destruction des messages SPAM..."},
        {"MsgSpamEnd", &MsgSpamEnd, "End of SPAM messages delete...", "Fin de la destruction des messages SPAM..."},
        {"MsgBytes", &MsgBytes, "bytes", "octets"},
        {"MsgMailboxes", &MsgMailboxes, "Mailboxes", "Boites aux lettres"},
        {"MsgSpamDeleted", &MsgSpamDeleted, "%d SPAM messages deleted", "%d messages SPAM effa\xE7\xE9s"},
        {"MsgSubjectEdition", &MsgSubjectEdition, "Subject edition", "Edition du sujet"},
        {"MsgNewSubject", &MsgNewSubject, "New subject", "Nouveau sujet"},
    };
    return rows;
}
