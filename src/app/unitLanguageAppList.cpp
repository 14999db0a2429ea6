// The windows-list dialog's texts. French texts are Windows-1252 bytes.
#include "unitLanguage.h"

const std::vector<TTextRow>& WindowsListTexts()
{
    static const std::vector<TTextRow> rows = {
        {"Caption", "Windows lists", "Liste des fen\xEAtres"},
        {"lblCurrentProcess", "Active windows list", "Liste des fen\xEAtres actives"},
        {"lblSelectedProcess", "Selected windows list", "Liste des fen\xEAtres \xE0 d\xE9truire"},
        {"lblNumber", "Windows number : ", "Nombre de fen\xEAtres : "},
    };
    return rows;
}
