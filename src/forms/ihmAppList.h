// The windows-list dialog: the open windows above, the kill list below and the
// number of kill-list entries.
#pragma once

#include <functional>

#include "../framework/Controls.h"
#include "../framework/Form.h"
#include "../model/unitProcessKillList.h"
#include "../settings/Settings.h"

class TihmAppList : public TForm, public IKillListView {
public:
    TihmAppList();
    // The kill list the dialog edits, the settings it reads and the kill
    // tick it runs once a window joins the list.
    void Connect(TWindowList& killList, const TSettings& settings, std::function<void()> killNow);

    TPanel pnlConteneur;
    TListBox zdsCurrentProcess;
    TLabel lblCurrentProcess;
    TLabel lblSelectedProcess;
    TBevel utlSeparateur;
    TListBox zdsSelectedProcess;
    TLabel lblNumber;
    TLabel zdsNumber;
    // Empty while the window events reach the killer; says so when the platform refused them.
    TLabel lblEvents;

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

private:
    std::vector<std::string> shownTitles_;
    TWindowList* killList_ = nullptr;
    const TSettings* settings_ = nullptr;
    std::function<void()> killNow_;
    bool eventsReceived_ = true;
    std::string eventsText_;
};

extern TihmAppList* ihmAppList;
