#include "ihmQuarantine.h"

#include <algorithm>

#include "../app/unitLanguageSpamSafety.h"
#include "../framework/DataFolder.h"
#include "../framework/Files.h"
#include "../framework/FileDialog.h"
#include "../framework/FolderFiles.h"
#include "../framework/GridButtonsLayout.h"
#include "../framework/ShellOpen.h"
#include "../mail/QuarantineName.h"

namespace {
const int kInset = 6;
const int kButtonWidth = 110;
const int kButtonHeight = 25;
const int kRowHeight = 18;
const int kMinimumWidth = 3 * (kButtonWidth + kInset) + kInset;
const int kMinimumHeight = 150;
const int kColumnWidths[TihmQuarantine::ColumnCount] = {120, 90, 160, 200, 160};

TFormOptions QuarantineFormOptions()
{
    TFormOptions options;
    options.caption = "Deleted SPAM";
    options.clientWidth = 760;
    options.clientHeight = 320;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    options.exStyle = WS_EX_TOOLWINDOW;
    return options;
}
}  // namespace

TihmQuarantine::TihmQuarantine(std::function<void(const std::string& address)> allowSender)
    : TForm(QuarantineFormOptions()),
      zdsCopies(*this, {kInset, kInset, 100, 100}, ColumnCount, kRowHeight),
      btnOpen(*this, {kInset, 200, kButtonWidth, kButtonHeight}, "Open"),
      btnSaveAs(*this, {kInset, 200, kButtonWidth, kButtonHeight}, "Save as..."),
      btnNotSpam(*this, {kInset, 200, kButtonWidth, kButtonHeight}, "Not SPAM"),
      allowSender_(std::move(allowSender))
{
    for (int column = 0; column < ColumnCount; ++column)
        zdsCopies.SetColumnWidth(column, Scale(kColumnWidths[column]));
    zdsCopies.OnCellText = [this](int column, int row) { return CellText(column, row); };
    zdsCopies.OnClick = [this] { zdsCopiesClick(); };
    btnOpen.OnClick = [this] { btnOpenClick(); };
    btnSaveAs.OnClick = [this] { btnSaveAsClick(); };
    btnNotSpam.OnClick = [this] { btnNotSpamClick(); };
    OpenCopy = [](const std::string& path) { return ShellOpenFile(path); };
    AskSavePath = [this](std::string& path) {
        TSaveDialog dialog("eml", SaveFilter, SaveTitle);
        dialog.FileName = path;
        if (!dialog.Execute())
            return false;
        path = dialog.FileName;
        return true;
    };
    OnKeyDown = [this](WPARAM key) {
        if (key != VK_ESCAPE)
            return false;
        Hide();
        return true;
    };
    laidOut_ = true;
    LayoutControls();
    UpdateButtons();
}

// Where the copies are written. The data files' read rule would not do: it
// looks for a file of the name in the user's folder, and the quarantine is a
// folder, so under Program Files it would look beside the executable.
std::string TihmQuarantine::Folder()
{
    std::string folder = DataFilePath(QuarantineFolderName, TFileUse::Write);
    if (folder.empty())
        folder = DataFilePath(QuarantineFolderName, TFileUse::Read);
    return folder + "\\";
}

void TihmQuarantine::ShowCopies()
{
    ReadCopies();
    Show();
    BringToFront();
}

void TihmQuarantine::ReadCopies()
{
    const std::string folder = Folder();
    std::vector<TQuarantineFile> files;
    for (const TFolderFile& record : ListFolderFiles(folder, ".txt")) {
        const std::string& name = record.Name;
        TQuarantineFile file{name, std::string()};
        // A record that cannot be read whole still lists its copy, with
        // what was read of it.
        ReadFileBytes(folder + name, file.Text);
        files.push_back(std::move(file));
    }
    // A copy whose record was lost is listed by its name alone.
    for (const TFolderFile& copy : ListFolderFiles(folder, ".eml"))
        files.push_back({copy.Name, std::string()});
    copies_ = MakeQuarantineList(files);
    zdsCopies.SetRowCount(static_cast<int>(copies_.Records.size()));
    zdsCopies.SetSelected(copies_.Records.empty() ? -1 : 0);
    zdsCopies.Repaint();
    UpdateButtons();
}

std::string TihmQuarantine::CellText(int column, int row) const
{
    if (row < 0 || static_cast<size_t>(row) >= copies_.Records.size())
        return std::string();
    const TQuarantineRecord& record = copies_.Records[static_cast<size_t>(row)];
    switch (column) {
    case 0:
        return record.Confirmed ? record.Deleted : NotConfirmedText;
    case 1:
        return record.Mailbox;
    case 2:
        return record.Sender;
    case 3:
        return record.Subject;
    case 4:
        if (copies_.Unreadable.count(record.Copy))
            return UnreadableText;
        return QuarantineReasonText(record.Reason, MsgSpamSenderList, MsgSpamSubjectList);
    default:
        return std::string();
    }
}

const TQuarantineRecord* TihmQuarantine::SelectedRecord() const
{
    const int row = zdsCopies.Selected();
    if (row < 0 || static_cast<size_t>(row) >= copies_.Records.size())
        return nullptr;
    return &copies_.Records[static_cast<size_t>(row)];
}

std::string TihmQuarantine::SelectedCopyPath() const
{
    const TQuarantineRecord* record = SelectedRecord();
    return record ? Folder() + record->Copy : std::string();
}

void TihmQuarantine::zdsCopiesClick() { UpdateButtons(); }

void TihmQuarantine::UpdateButtons()
{
    const TQuarantineRecord* record = SelectedRecord();
    btnOpen.SetEnabled(record != nullptr);
    btnSaveAs.SetEnabled(record != nullptr);
    btnNotSpam.SetEnabled(record && !QuarantineSenderAddress(*record).empty());
}

void TihmQuarantine::LayoutControls()
{
    if (!laidOut_)
        return;
    PlaceGridAboveButtons(Handle(), zdsCopies, {&btnOpen, &btnSaveAs, &btnNotSpam},
                          {Scale(kInset), Scale(kButtonWidth), Scale(kButtonHeight)});
}

bool TihmQuarantine::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_GETMINMAXINFO:
        SetMinimumTrackSize(lParam, Scale(kMinimumWidth), Scale(kMinimumHeight));
        result = 0;
        return true;
    case WM_SIZE:
        LayoutControls();
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (laidOut_ && header->hwndFrom == zdsCopies.Handle() && header->code == NM_CUSTOMDRAW) {
            result = zdsCopies.CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
            return true;
        }
        if (laidOut_ && header->hwndFrom == zdsCopies.Handle() && zdsCopies.FindRow(*header, result))
            return true;
        break;
    }
    }
    return TForm::HandleMessage(message, wParam, lParam, result);
}
