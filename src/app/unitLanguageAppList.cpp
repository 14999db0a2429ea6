// The windows-list dialog's texts, with those of the popup rules window and
// its rule editor, which the dialog owns. French texts are Windows-1252 bytes.
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
        {"lblActions", "Actions taken", "Actions effectu\xE9" "es"},
        {"btnRules", "Rules...", "R\xE8gles..."},
        {"zdsActions.Columns[0]", "Time", "Heure"},
        {"zdsActions.Columns[1]", "Action", "Action"},
        {"zdsActions.Columns[2]", "Title", "Titre"},
        {"zdsActions.Columns[3]", "Program", "Programme"},
        {"zdsActions.Columns[4]", "Rule", "R\xE8gle"},
        {"mnpCloseLike", "Close windows like this...", "Fermer les fen\xEAtres comme celle-ci..."},
        {"mnpRuleOff", "Turn this rule off", "D\xE9sactiver cette r\xE8gle"},
        {"Rules.Caption", "Popup rules", "R\xE8gles des popups"},
        {"Rules.Columns[0]", "On", "Active"},
        {"Rules.Columns[1]", "Title pattern", "Mod\xE8le de titre"},
        {"Rules.Columns[2]", "Program", "Programme"},
        {"Rules.Columns[3]", "Class", "Classe"},
        {"Rules.Columns[4]", "Action", "Action"},
        {"Rules.Columns[5]", "Hits", "Coups"},
        {"Rules.Columns[6]", "Last hit", "Dernier coup"},
        {"Rules.btnAdd", "Add...", "Ajouter..."},
        {"Rules.btnEdit", "Edit...", "Modifier..."},
        {"Rules.btnDelete", "Delete", "Supprimer"},
        {"Rules.btnToggle", "On / off", "Activer / d\xE9sactiver"},
        {"Editor.Caption", "Popup rule", "R\xE8gle de popup"},
        {"Editor.lblTitle", "Title (* any text, ? one character):", "Titre (* tout texte, ? un caract\xE8re) :"},
        {"Editor.lblProgram", "Program (e.g. setup.exe):", "Programme (ex. setup.exe) :"},
        {"Editor.lblClass", "Window class:", "Classe de fen\xEAtre :"},
        {"Editor.grpAction", "Action", "Action"},
        {"Editor.Actions[0]", "Close", "Fermer"},
        {"Editor.Actions[1]", "Minimise", "R\xE9" "duire"},
        {"Editor.Actions[2]", "Hide", "Masquer"},
        {"Editor.Actions[3]", "Press a button", "Appuyer sur un bouton"},
        {"Editor.lblButton", "Text of the button:", "Texte du bouton :"},
        {"Editor.chkEnabled", "On", "Active"},
        {"Editor.btnOK", "OK", "OK"},
        {"Editor.btnCancel", "Cancel", "Annuler"},
        {"Rule.PressButton", "Press \"%s\"", "Appuyer sur \xAB %s \xBB"},
        {"Rule.On", "on", "oui"},
        {"Rule.Off", "off", "non"},
        {"MsgRuleNotSpecific",
         "This rule would act on every window: give a title pattern other than *, a program or a window class.",
         "Cette r\xE8gle agirait sur toutes les fen\xEAtres : indiquez un mod\xE8le de titre autre que *, un "
         "programme ou une classe de fen\xEAtre."},
        {"MsgRuleNoButton", "Give the text of the button to press.", "Indiquez le texte du bouton \xE0 presser."},
        // The windows' titles follow, one a line, then the question.
        {"MsgRuleMatches", "This rule matches %d open windows:", "Cette r\xE8gle correspond \xE0 %d fen\xEAtres ouvertes :"},
        {"MsgRuleMatchesOne", "This rule matches one open window:", "Cette r\xE8gle correspond \xE0 une fen\xEAtre ouverte :"},
        {"MsgRuleSave", "Save it?", "L'enregistrer ?"},
        {"MsgRuleDelete", "Delete the rule %s?", "Supprimer la r\xE8gle %s ?"},
    };
    return rows;
}
