// French texts are Windows-1252 bytes, as in the other tables, decoded to
// UTF-8 when they are used.
#include "unitLanguagePopupRules.h"

#include "../text/FormatText.h"

namespace {
std::string InitialText(const std::string* message)
{
    for (const TMessageRow& row : PopupRuleMessageTexts())
        if (row.text == message)
            return row.english;
    return std::string();
}
}  // namespace

std::string MsgPopupCannotAct = InitialText(&MsgPopupCannotAct);
std::string MsgPopupRulesUnreadable = InitialText(&MsgPopupRulesUnreadable);
std::string MsgPopupKillList = InitialText(&MsgPopupKillList);
std::string MsgPopupClose = InitialText(&MsgPopupClose);
std::string MsgPopupMinimise = InitialText(&MsgPopupMinimise);
std::string MsgPopupHide = InitialText(&MsgPopupHide);
std::string MsgPopupPress = InitialText(&MsgPopupPress);

const std::vector<TMessageRow>& PopupRuleMessageTexts()
{
    static const std::vector<TMessageRow> rows = {
        {"MsgPopupCannotAct", &MsgPopupCannotAct, "cannot act on %s (administrator)",
         "impossible d'agir sur %s (administrateur)"},
        {"MsgPopupRulesUnreadable", &MsgPopupRulesUnreadable,
         "Some lines of the file '%s' cannot be read as rules (lines %s). They are kept in the file as they are.",
         "Des lignes du fichier '%s' ne peuvent pas \xEAtre lues comme des r\xE8gles (lignes %s). Elles sont "
         "conserv\xE9" "es telles quelles dans le fichier."},
        {"MsgPopupKillList", &MsgPopupKillList, "kill list", "liste des fen\xEAtres \xE0 fermer"},
        {"MsgPopupClose", &MsgPopupClose, "close", "fermer"},
        {"MsgPopupMinimise", &MsgPopupMinimise, "minimise", "r\xE9" "duire"},
        {"MsgPopupHide", &MsgPopupHide, "hide", "masquer"},
        {"MsgPopupPress", &MsgPopupPress, "press '%s'", "appuyer sur '%s'"},
    };
    return rows;
}

std::string PopupActionText(TPopupAction action, const std::string& button)
{
    switch (action) {
    case TPopupAction::Close: return MsgPopupClose;
    case TPopupAction::Minimise: return MsgPopupMinimise;
    case TPopupAction::Hide: return MsgPopupHide;
    case TPopupAction::PressButton: return FormatText(MsgPopupPress, button);
    }
    return MsgPopupClose;
}
