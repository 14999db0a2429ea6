// The windows-list dialog: the open windows above with their programs, the
// kill list below with the number of its entries, and at the foot the log of
// what the popup killer did, with the way to the popup rules.
#pragma once

#include <functional>
#include <map>
#include <optional>

#include "../framework/Controls.h"
#include "../framework/Form.h"
#include "../framework/ListBoxColumns.h"
#include "../framework/ListGrid.h"
#include "../framework/PopupMenu.h"
#include "../framework/StdControls.h"
#include "../model/unitProcessKillList.h"
#include "../settings/Settings.h"
#include "PopupRulesHost.h"
#include "ihmRules.h"

class TihmAppList : public TForm, public IKillListView {
public:
    TihmAppList();
    // The kill list the dialog edits, the settings it reads and the kill
    // tick it runs once a window joins the list.
    void Connect(TWindowList& killList, const TSettings& settings, std::function<void()> killNow);
    // The popup rules, the log of actions and what acts on them.
    void ConnectRules(const TPopupRulesHost& host);

    static constexpr int ActionColumnCount = 5;  // time, action, title, program, rule

    TPanel pnlConteneur;
    // Each open window's title, its program drawn beside it.
    TTwoColumnListBox zdsCurrentProcess;
    TLabel lblCurrentProcess;
    TLabel lblSelectedProcess;
    TBevel utlSeparateur;
    TListBox zdsSelectedProcess;
    TLabel lblNumber;
    TLabel zdsNumber;
    // Empty while the window events reach the killer; says so when the platform refused them.
    TLabel lblEvents;
    TBevel utlSeparateurActions;
    TLabel lblActions;
    TButton btnRules;
    TListGrid zdsActions;  // the log of actions, newest first
    TPopupMenu mnpWindows;
    TPopupMenu mnpActions;
    TPopupRuleTexts RuleTexts;
    TihmRules rules;

    TMenuItem& mnpCloseLike() { return mnpWindows.Item("mnpCloseLike"); }
    TMenuItem& mnpRuleOff() { return mnpActions.Item("mnpRuleOff"); }

    void ShowEntries(const std::vector<std::string>& entries) override;
    void AppendEntry(const std::string& title) override;
    void RemoveFirstEntry(const std::string& title) override;
    void ShowCount(int count) override;

    // Rebuilds the upper list from the open windows; it is left alone while
    // the titles are unchanged, so the selection and scroll position survive.
    void RefreshActiveWindows();
    // Whether the killer receives the window events or only sweeps at each tick.
    void ShowWindowEvents(bool received);
    void SetEventsText(const std::string& text);
    // Topmost or not, as the ListStayOnTop setting says.
    void ApplyStayOnTop();

    void FormActivate() { ApplyStayOnTop(); }
    // Puts the chosen open window on the kill list and closes it at once.
    void zdsCurrentProcessDblClick();
    // Takes the chosen entry off the kill list.
    void zdsSelectedProcessDblClick();

    // The facts of the open window on row `row` of the upper list.
    const TWindowFacts* ShownWindow(int row) const;
    // A line was added to the log of actions: the log and the rules' hits are
    // shown again.
    void PopupActionLogged();
    // The log's line on row `row` (newest first); null past its end.
    const TPopupActionEntry* ActionEntry(int row) const;
    std::string ActionCellText(int column, int row) const;
    void zdsActionsClick();
    void btnRulesClick();
    void mnpWindowsPopup();
    // Opens the rule editor on a rule for windows like the selected one.
    void mnpCloseLikeClick();
    void mnpActionsPopup();
    // Turns off the rule that made the line of the log the menu was opened on, and saves.
    void mnpRuleOffClick();

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // A window's program and class as first seen, by handle: they never
    // change, and learning a program opens its process.
    struct TKnownWindow {
        DWORD ProcessId = 0;
        TWindowFacts Facts;
    };
    TWindowFacts FactsOfWindow(HWND hwnd, const std::string& title, std::map<HWND, TKnownWindow>& seen);
    void ShowMenuAt(TPopupMenu& menu, HWND list, LPARAM position, const RECT& selectedRow);
    static std::vector<TMenuItemDef> WindowsMenuItems(TihmAppList& self);
    static std::vector<TMenuItemDef> ActionsMenuItems(TihmAppList& self);

    TPopupRulesHost rulesHost_;
    std::vector<TWindowFacts> shownWindows_;
    std::map<HWND, TKnownWindow> knownWindows_;
    int menuRuleId_ = 0;
    // The log's line the user selected, kept while lines come and go.
    std::optional<TPopupActionEntry> selectedAction_;
    TWindowList* killList_ = nullptr;
    const TSettings* settings_ = nullptr;
    std::function<void()> killNow_;
    bool eventsReceived_ = true;
    std::string eventsText_;
    bool laidOut_ = false;
};

extern TihmAppList* ihmAppList;
