// The "Deleted SPAM" window: the copies the spam cycle kept of the messages
// it deleted, newest first, with what marked each one. From here a copy is
// opened in the user's mail program, saved elsewhere, or its sender is put
// on the allow list so that the next check keeps the sender's messages.
#pragma once

#include <functional>
#include <string>

#include "../framework/Form.h"
#include "../framework/ListGrid.h"
#include "../framework/StdControls.h"
#include "../mail/QuarantineList.h"

class TihmQuarantine : public TForm {
public:
    static constexpr int ColumnCount = 5;  // date, mailbox, sender, subject, marked by

    // `allowSender` puts an address on the allow list, the way the mailboxes
    // window adds to the lists.
    explicit TihmQuarantine(std::function<void(const std::string& address)> allowSender);

    TListGrid zdsCopies;
    TButton btnOpen;
    TButton btnSaveAs;
    TButton btnNotSpam;

    // Reads the quarantine folder again and shows the window in front.
    void ShowCopies();
    // Reads the folder's records into the grid; no folder is no copy.
    void ReadCopies();
    // The quarantine folder of the data folder, ending with a backslash.
    static std::string Folder();
    const TQuarantineList& Copies() const { return copies_; }
    std::string CellText(int column, int row) const;
    // Null when no row is selected.
    const TQuarantineRecord* SelectedRecord() const;
    // The selected copy's .eml, by its record file's name; empty for none.
    std::string SelectedCopyPath() const;

    void zdsCopiesClick();
    void btnOpenClick();
    void btnSaveAsClick();
    void btnNotSpamClick();

    // The platform's services the actions use, replaceable for a test:
    // opening a file with its program, and asking where to save a copy
    // (`path` holds the proposed name and takes the chosen one).
    std::function<bool(const std::string& path)> OpenCopy;
    std::function<bool(std::string& path)> AskSavePath;

    // Texts of the interface's language that are no control's caption.
    std::string UnreadableText = "(unreadable record)";
    // In the Deleted column, for a copy whose deletion the server did not
    // confirm: its message may still be on the server.
    std::string NotConfirmedText = "(not confirmed)";
    std::string SaveTitle = "Save the message as";
    std::string SaveFilter = "Message (*.eml)|*.eml|All files (*.*)|*.*";

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void LayoutControls();
    void UpdateButtons();

    std::function<void(const std::string&)> allowSender_;
    TQuarantineList copies_;
    bool laidOut_ = false;
};
