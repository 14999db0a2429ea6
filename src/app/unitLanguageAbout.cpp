// The about box's texts. Its version field shows VersionText, which the
// messages table sets; French texts are Windows-1252 bytes.
#include "unitLanguage.h"

const std::vector<TTextRow>& AboutTexts()
{
    static const std::vector<TTextRow> rows = {
        {"Caption", "About", "A propos"},
        {"zdsAppDescription", "The ultimate spam and popup killer", "L'ultime destructeur de popup et SPAM"},
        {"lblVersion", "Issue :", "Version :"},
        {"lblAuteur", "Author :", "Auteur :"},
        {"urlWebSite", "SkarnVale Home page", "Site Web de SkarnVale"},
        {"urlMail", "Contact the author", "Contacter l'auteur"},
    };
    return rows;
}
