// The windows-list dialog: the open windows above, the kill list below and the
// number of kill-list entries.
#pragma once

#include "../framework/Controls.h"
#include "../framework/Form.h"
#include "../model/unitProcessKillList.h"

class TihmAppList : public TForm, public IKillListView {
public:
    TihmAppList();

    TPanel pnlConteneur;
    TListBox zdsCurrentProcess;
    TLabel lblCurrentProcess;
    TLabel lblSelectedProcess;
    TBevel utlSeparateur;
    TListBox zdsSelectedProcess;
    TLabel lblNumber;
    TLabel zdsNumber;

    void ShowEntries(const std::vector<std::string>& entries) override;
    void AppendEntry(const std::string& title) override;
    void RemoveFirstEntry(const std::string& title) override;
    void ShowCount(int count) override;

    // Rebuilds the upper list from the open windows; it is left alone while
    // the titles are unchanged, so the selection and scroll position survive.
    void RefreshActiveWindows();
    // Topmost or not, as the ListStayOnTop setting says.
    void ApplyStayOnTop();

    void FormActivate() { ApplyStayOnTop(); }
    // Puts the chosen open window on the kill list and closes it at once.
    void zdsCurrentProcessDblClick();
    // Takes the chosen entry off the kill list.
    void zdsSelectedProcessDblClick();

private:
    std::vector<std::string> shownTitles_;
};

extern TihmAppList* ihmAppList;
