#include "unitLanguageImapErrors.h"

namespace {
std::string* Slot()
{
    static std::vector<std::string> slots(64);
    static std::size_t used = 0;
    return &slots.at(used++);
}
}  // namespace

const std::vector<TImapErrorRow>& ImapErrorRows()
{
    // Longer starts before the shorter ones they begin with.
    static const std::vector<TImapErrorRow> rows = {
        {"the server sent a response too large", "le serveur a envoy\xE9 une r\xE9ponse trop grande", Slot()},
        {"the server sent a malformed response: ", "le serveur a envoy\xE9 une r\xE9ponse mal form\xE9" "e : ", Slot()},
        {"the server sent a malformed FETCH: ", "le serveur a envoy\xE9 un FETCH mal form\xE9 : ", Slot()},
        {"the server sent data after accepting STARTTLS",
         "le serveur a envoy\xE9 des donn\xE9" "es apr\xE8s avoir accept\xE9 STARTTLS", Slot()},
        {"the TLS handshake failed: ", "la n\xE9gociation TLS a \xE9" "chou\xE9 : ", Slot()},
        {"the server closed the connection", "le serveur a ferm\xE9 la connexion", Slot()},
        {"the server ended the session: ", "le serveur a mis fin \xE0 la session : ", Slot()},
        {"the server's greeting is not OK: ", "l'accueil du serveur n'est pas OK : ", Slot()},
        {"the server refused CAPABILITY: ", "le serveur a refus\xE9 CAPABILITY : ", Slot()},
        {"the server refused STARTTLS: ", "le serveur a refus\xE9 STARTTLS : ", Slot()},
        {"the server refused the login: ", "le serveur a refus\xE9 la connexion : ", Slot()},
        {"the server refused the mailbox ", "le serveur a refus\xE9 le dossier ", Slot()},
        {"the server refused the headers: ", "le serveur a refus\xE9 les en-t\xEAtes : ", Slot()},
        {"the server refused IDLE: ", "le serveur a refus\xE9 IDLE : ", Slot()},
        {"the server refused to mark the message deleted: ",
         "le serveur a refus\xE9 de marquer le message comme effac\xE9 : ", Slot()},
        {"the server refused to remove the message: ", "le serveur a refus\xE9 d'effacer le message : ", Slot()},
        {"the server refused to list the folders: ", "le serveur a refus\xE9 de lister les dossiers : ", Slot()},
        {"the server refused to move the spam: ", "le serveur a refus\xE9 de d\xE9placer le SPAM : ", Slot()},
        {"the server refused to copy the spam: ", "le serveur a refus\xE9 de copier le SPAM : ", Slot()},
        {"the server refused to send the spam whole: ",
         "le serveur a refus\xE9 d'envoyer le SPAM en entier : ", Slot()},
        {"the server refused to mark the spam deleted: ",
         "le serveur a refus\xE9 de marquer le SPAM comme effac\xE9 : ", Slot()},
        {"the server refused to remove the spam: ", "le serveur a refus\xE9 d'effacer le SPAM : ", Slot()},
        {"the server refused to ", "le serveur a refus\xE9 de ", Slot()},
        {"the server logged in before TLS (PREAUTH), so STARTTLS cannot protect the session",
         "le serveur a ouvert la session avant TLS (PREAUTH) : STARTTLS ne peut pas la prot\xE9ger", Slot()},
        {"the server does not speak IMAP4rev1", "le serveur ne parle pas IMAP4rev1", Slot()},
        {"the server does not offer STARTTLS", "le serveur ne propose pas STARTTLS", Slot()},
        {"the server gave no UIDVALIDITY for the mailbox, so new messages cannot be told from old ones",
         "le serveur n'a pas donn\xE9 d'UIDVALIDITY pour le dossier : les nouveaux messages ne peuvent pas \xEAtre "
         "distingu\xE9s des anciens",
         Slot()},
        {"the server has no folder for spam (Junk, Spam or Trash)",
         "le serveur n'a pas de dossier pour le SPAM (Junk, Spam ou Trash)", Slot()},
        {"the server's folder for spam is the mailbox being watched",
         "le dossier du serveur pour le SPAM est le dossier surveill\xE9", Slot()},
        {"the server cannot remove one message alone (no UIDPLUS), and EXPUNGE would remove what others marked",
         "le serveur ne peut pas effacer un message seul (pas d'UIDPLUS), et EXPUNGE effacerait ce que d'autres ont "
         "marqu\xE9",
         Slot()},
        {"the folder's UIDVALIDITY changed since the check",
         "l'UIDVALIDITY du dossier a chang\xE9 depuis la v\xE9rification", Slot()},
        {"the server's name cannot be looked up: ", "le nom du serveur est introuvable : ", Slot()},
        {"the connection cannot be made: ", "la connexion ne peut pas \xEAtre \xE9tablie : ", Slot()},
        {"the connection failed: ", "la connexion a \xE9" "chou\xE9 : ", Slot()},
        {"the server did not answer for ", "le serveur n'a pas r\xE9pondu pendant ", Slot()},
    };
    return rows;
}

void ApplyImapErrorTexts(TLanguage language)
{
    for (const TImapErrorRow& row : ImapErrorRows())
        *row.shown = language == TLanguage::French ? Windows1252ToUtf8(row.french) : std::string(row.english);
}

std::vector<TImapErrorText> ImapErrorTextsOfRows()
{
    std::vector<TImapErrorText> texts;
    for (const TImapErrorRow& row : ImapErrorRows()) {
        if (row.shown->empty())
            *row.shown = row.english;
        texts.push_back({row.english, row.shown});
    }
    return texts;
}
