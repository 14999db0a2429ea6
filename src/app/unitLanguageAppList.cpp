// The windows-list dialog's texts. French texts are Windows-1252 bytes.
#include "unitLanguage.h"

const std::vector<TTextRow>& WindowsListTexts()
{
    static const std::vector<TTextRow> rows = {
        {"Caption", "Windows lists", "Liste des fen\xEAtres"},
        {"lblCurrentProcess", "Active windows list", "Liste des fen\xEAtres actives"},
        {"lblSelectedProcess", "Selected windows list", "Liste des fen\xEAtres \xE0 d\xE9truire"},
        {"lblNumber", "Windows number : ", "Nombre de fen\xEAtres : "},
        // Shown only when the platform refused the window events.
        {"lblEvents", "No window events: checked every tick only", "Sans \xE9v\xE9nements : v\xE9rifi\xE9 \xE0 chaque tour"},
    };
    return rows;
}
