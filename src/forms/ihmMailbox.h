// The mailboxes window: a hidden form of the system, created once at start-up.
// A grid of the messages found at the last check, spam rows in red, over a
// text area that shows the mail log or the selected message; its popup menu
// deletes messages, feeds the spam lists and checks again.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../framework/Form.h"
#include "../framework/ListGrid.h"
#include "../framework/PopupMenu.h"
#include "../framework/Splitter.h"
#include "../framework/StdControls.h"
#include "../mail/MailScreen.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"
#include "ihmQuarantine.h"

class TEmail;
class TMailWatch;

// The tray commands the window's menu runs, given at start-up.
struct TMailboxCommands {
    std::function<void()> OpenEmailProgram;
    // An entry was added to a spam list or to the allow list of the settings.
    std::function<void()> SpamListsEdited;
};

class TihmMailbox : public TForm, public IMailScreen {
public:
    static constexpr int DefaultLeft = DefaultWindowLeft;
    static constexpr int DefaultTop = DefaultWindowTop;
    static constexpr int DefaultGridHeight = DefaultMailboxesGrid;
    static constexpr int DefaultWidth = DefaultMailboxesWidth;
    static constexpr int DefaultHeight = DefaultMailboxesHeight;
    static int DefaultColumnWidth(int column);

    TihmMailbox();
    ~TihmMailbox() override;
    // The mail watch whose emails the window shows and whose log it holds,
    // the settings whose spam lists it feeds, and the tray's commands.
    void Connect(TMailWatch& mail, TSettings& settings, TMailboxCommands commands);

    // The mail watch's window screen: the log, the grid and the caption.
    void MailLogLine(const std::string& line) override;
    void MailLogCleared() override;
    void EmailsChanged() override { FillMailGrid(); }
    void MailStatusChanged(const std::string& status) override;

    TListGrid zdsGrid;
    TSplitter splitter;
    TMemo zdsMail;
    TPopupMenu mnpGrid;
    // The copies of the deleted spam; shown from the grid's menu.
    TihmQuarantine quarantine;

    TMenuItem& mnpDeleteMessage() { return mnpGrid.Item("mnpDeleteMessage"); }
    TMenuItem& mnpDeleteSPAM() { return mnpGrid.Item("mnpDeleteSPAM"); }
    TMenuItem& mnpDeletedSpam() { return mnpGrid.Item("mnpDeletedSpam"); }
    TMenuItem& mnpAddSubject() { return mnpGrid.Item("mnpAddSubject"); }
    TMenuItem& mnpAddSubjectEdit() { return mnpGrid.Item("mnpAddSubjectEdit"); }
    TMenuItem& mnpAddExp() { return mnpGrid.Item("mnpAddExp"); }
    TMenuItem& mnpNeverSpam() { return mnpGrid.Item("mnpNeverSpam"); }
    TMenuItem& mnpViewHeader() { return mnpGrid.Item("mnpViewHeader"); }
    TMenuItem& mnpReload() { return mnpGrid.Item("mnpReload"); }
    TMenuItem& mnpEmailProgram() { return mnpGrid.Item("mnpEmailProgram"); }

    // Called by the check cycle once Emails holds the messages found.
    void FillMailGrid();
    // The spam lists changed: the rows are tested again as they are drawn.
    void SpamListsChanged();
    // The emails behind the rows are replaced (a check has begun): no row's
    // spam test is kept for them.
    void EmailsCleared() override;

    // Geometry and state kept in the settings: the window reports each change
    // of its place, size, grid, columns and header mark into them, so they
    // hold what the user left when they are saved. The place is in screen
    // pixels; the sizes, the grid's height and the columns are 96-DPI pixels,
    // as a program unaware of DPI saw them, so they fit any screen's DPI.
    void ReportGeometry();
    // The window takes the place, size, grid, columns and header mark the
    // settings hold (at start-up, and when the settings are read anew).
    void PlaceFrom(const TSettings& settings);
    bool ViewHeader() const;
    void SetViewHeader(bool value);
    int GridHeight() const { return gridHeight_; }
    void SetGridHeight(int value);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

    // The email shown by the selected row; null when there is none.
    TEmail* SelectedEmail() const;
    // The text of one grid cell, from the email behind the row.
    std::string CellText(int column, int row) const;

    void zdsGridClick();
    // The text colour of a grid row: red for spam.
    bool zdsGridDrawCell(int row, COLORREF& textColor) const;
    void FormResize();
    void mnpGridPopup();
    void mnpDeleteMessageClick();
    void mnpDeleteSPAMClick();
    void mnpDeletedSpamClick();
    void mnpAddSubjectClick();
    void mnpAddSubjectEditClick();
    void mnpAddExpClick();
    void mnpNeverSpamClick();
    void mnpViewHeaderClick();
    void mnpReloadClick();
    void mnpEmailProgramClick();

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static std::vector<TMenuItemDef> GridMenuItems(TihmMailbox& self);
    void LayoutControls();
    void PaintPanel();
    void ShowGridMenu(LPARAM position);
    void SplitterMoved(int top);
    // Shows the selected email's details in the text area.
    void ShowDetails();
    void AddSubjectEntry(const std::string& entry);
    // Puts `address` on the allow list, once, and repaints the rows.
    void AllowSender(const std::string& address);

    TMailWatch* mail_ = nullptr;
    TSettings* settings_ = nullptr;
    TMailboxCommands commands_;
    bool MailBusy() const;
    bool HasEmails() const;
    // Adds `entry` as the last line of a spam list unless it holds it already.
    void AddSpamEntry(std::string TSettings::*list, const std::string& entry, const std::string& alreadyThere);

    int gridHeight_ = DefaultGridHeight;  // 96-DPI pixels
    // The columns' widths in 96-DPI pixels, as last set or dragged.
    std::array<int, 3> columnWidths_{};
    bool settingColumn_ = false;
    bool laidOut_ = false;
    // The spam test of each row, made when the row is first drawn after a
    // fill or a change of the lists, with the lists parsed once for all rows.
    // A row's flag holds for the email it was made for: a check refills the
    // emails under the grid before it fills the grid again.
    struct TSpamRow {
        const TEmail* email = nullptr;
        bool spam = false;
    };
    mutable std::vector<TSpamRow> spamRows_;
    mutable std::optional<TSpamLists> spamLists_;
    bool IsSpamRow(int row) const;
};

// The sender entry for the address list: the text after the first "<" up to
// the next ">", or the whole From value when it has no "<".
std::string ExpeditorEntry(const std::string& from);

extern TihmMailbox* ihmMailbox;
