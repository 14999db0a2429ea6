// The tray menu's captions. French texts are Windows-1252 bytes.
#include "unitLanguage.h"

const std::vector<TTextRow>& TrayMenuTexts()
{
    static const std::vector<TTextRow> rows = {
        {"mnpTbAbout", "About SkarnVale...", "A propos de SkarnVale..."},
        {"mnpTbActivatePopup", "Popup windows killer", "Destruction des Popup"},
        {"mnpTbWindowsList", "Windows list...", "Liste des fen\xEAtres..."},
        {"mnpTbActivateEmail", "Emails detection", "D\xE9tection des Emails"},
        {"mnpTbMailboxes", "Show mailboxes...", "Voir les boites aux lettres..."},
        {"mnpTbMailboxes2", "Check mailboxes", "V\xE9rifier les boites aux lettres"},
        {"mnpTbEmailProgram", "Start Email program", "Lancer le programme Email"},
        {"mnpTbActivateSpam", "SPAM message killer", "Destruction des SPAM"},
        {"mnpTbOptions", "Options...", "Options..."},
        {"mnpTbQuit", "Quit", "Quitter"},
    };
    return rows;
}

std::string TrayMenuCaption(const std::string& item, TLanguage language)
{
    return TextOf(TrayMenuTexts(), item, language);
}
