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
};

extern TihmAppList* ihmAppList;
