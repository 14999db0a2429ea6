#include "ihmMailbox.h"

#include <algorithm>
#include <array>

#include "../app/unitGlobal.h"
#include "../app/unitLanguage.h"
#include "../mail/MailWatch.h"

TihmMailbox* ihmMailbox = nullptr;

namespace {
// Outer raised bevel (1), border (4), inner lowered bevel (1) of the panel
// that holds the controls.
const int kPanelInset = 6;
const int kSplitterHeight = 3;
// Neither the grid nor the text area can be dragged smaller than this.
const int kSplitterMinSize = 30;
const int kMinimumSize = 250;
const int kRowHeight = 18;

TFormOptions MailboxFormOptions()
{
    TFormOptions options;
    options.caption = "Mailboxes";
    options.clientWidth = 600;
    options.clientHeight = 400;
    options.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    options.exStyle = WS_EX_TOOLWINDOW;
    return options;
}

// Once a status refresh has built the caption (the mailboxes text, " - " and
// the check status), a switch leaves it: the next refresh rebuilds it in the
// new language. Only the bare caption of either language is rewritten.
bool CaptionIsBare(const std::string& caption)
{
    return caption.empty() || caption == TextOf(MailboxTexts(), "Caption", TLanguage::English) ||
           caption == TextOf(MailboxTexts(), "Caption", TLanguage::French);
}

void ApplyMailboxTexts(TihmMailbox& form, TLanguage language)
{
    TTextSetters setters = {{"Caption", [&form](const std::string& text) {
                                 if (CaptionIsBare(form.Caption()))
                                     form.SetCaption(text);
                             }}};
    for (int column = 0; column < form.zdsGrid.ColumnCount(); ++column)
        setters["zdsGrid.Columns[" + std::to_string(column) + "]"] = [&form, column](const std::string& text) {
            form.zdsGrid.SetColumnCaption(column, text);
        };
    for (const auto& item : form.mnpGrid.Items())
        if (!item->IsSeparator()) {
            TMenuItem* target = item.get();
            setters[item->Name()] = [target](const std::string& text) { target->Caption = text; };
        }
    TihmQuarantine& copies = form.quarantine;
    setters["Quarantine.Caption"] = [&copies](const std::string& text) { copies.SetCaption(text); };
    for (int column = 0; column < TihmQuarantine::ColumnCount; ++column)
        setters["Quarantine.Columns[" + std::to_string(column) + "]"] = [&copies, column](const std::string& text) {
            copies.zdsCopies.SetColumnCaption(column, text);
        };
    setters["Quarantine.btnOpen"] = [&copies](const std::string& text) { copies.btnOpen.SetText(text); };
    setters["Quarantine.btnSaveAs"] = [&copies](const std::string& text) { copies.btnSaveAs.SetText(text); };
    setters["Quarantine.btnNotSpam"] = [&copies](const std::string& text) { copies.btnNotSpam.SetText(text); };
    setters["Quarantine.Unreadable"] = [&copies](const std::string& text) { copies.UnreadableText = text; };
    setters["Quarantine.NotConfirmed"] = [&copies](const std::string& text) { copies.NotConfirmedText = text; };
    setters["Quarantine.SaveTitle"] = [&copies](const std::string& text) { copies.SaveTitle = text; };
    setters["Quarantine.SaveFilter"] = [&copies](const std::string& text) { copies.SaveFilter = text; };
    WriteRows(MailboxTexts(), setters, language);
}
}  // namespace

int TihmMailbox::DefaultColumnWidth(int column)
{
    return column >= 0 && column < 3 ? DefaultMailboxesColumns[column] : 0;
}

void TihmMailbox::Connect(TMailWatch& mail, TSettings& settings, TMailboxCommands commands)
{
    mail_ = &mail;
    settings_ = &settings;
    commands_ = std::move(commands);
    mail.AddScreen(*this);
    ReportGeometry();
}

void TihmMailbox::ReportGeometry()
{
    if (!settings_ || !laidOut_)
        return;
    RECT bounds = {};
    GetWindowRect(Handle(), &bounds);
    settings_->MailboxesTop = bounds.top;
    settings_->MailboxesLeft = bounds.left;
    settings_->MailboxesWidth = Unscale(bounds.right - bounds.left);
    settings_->MailboxesHeight = Unscale(bounds.bottom - bounds.top);
    settings_->MailboxesHeader = ViewHeader();
    settings_->MailboxesGrid = gridHeight_;
    settings_->MailboxesCol1 = ColumnWidth(0);
    settings_->MailboxesCol2 = ColumnWidth(1);
    settings_->MailboxesCol3 = ColumnWidth(2);
}

void TihmMailbox::PlaceFrom(const TSettings& settings)
{
    // Taken whole before the first change: each change reports the window's
    // geometry into the settings, which may be the very ones read here.
    const int left = settings.MailboxesLeft, top = settings.MailboxesTop;
    const int width = settings.MailboxesWidth, height = settings.MailboxesHeight;
    const bool header = settings.MailboxesHeader;
    const int grid = settings.MailboxesGrid;
    const int columns[3] = {settings.MailboxesCol1, settings.MailboxesCol2, settings.MailboxesCol3};
    // Moved first, then sized at the DPI of where it went.
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Handle(), nullptr, 0, 0, Scale(width), Scale(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetViewHeader(header);
    SetGridHeight(grid);
    for (int column = 0; column < 3; ++column)
        SetColumnWidth(column, columns[column]);
    ReportGeometry();
}

void TihmMailbox::MailLogLine(const std::string& line) { zdsMail.AppendLine(line); }

void TihmMailbox::MailLogCleared() { zdsMail.SetText(""); }

void TihmMailbox::MailStatusChanged(const std::string& status) { SetCaption(MsgMailboxes + " - " + status); }

TihmMailbox::TihmMailbox()
    : TForm(MailboxFormOptions()),
      zdsGrid(*this, {kPanelInset, kPanelInset, 100, DefaultGridHeight}, 3, kRowHeight),
      splitter(*this, {kPanelInset, kPanelInset + DefaultGridHeight, 100, kSplitterHeight}),
      zdsMail(*this, {kPanelInset, kPanelInset + DefaultGridHeight + kSplitterHeight, 100, 100}, true, true),
      mnpGrid(GridMenuItems(*this)),
      quarantine([this](const std::string& address) { AllowSender(address); })
{
    for (int column = 0; column < zdsGrid.ColumnCount(); ++column)
        SetColumnWidth(column, DefaultColumnWidth(column));
    zdsGrid.SetRowCount(1);
    zdsGrid.OnCellText = [this](int column, int row) { return CellText(column, row); };
    zdsGrid.OnClick = [this] { zdsGridClick(); };
    zdsGrid.OnRowTextColor = [this](int row, COLORREF& color) { return zdsGridDrawCell(row, color); };
    zdsGrid.OnColumnWidthChanged = [this](int column) {
        // A width the window set is the one it holds: rounding it back
        // could take a pixel off.
        if (ChangingDpi() || settingColumn_ || column < 0 || column >= zdsGrid.ColumnCount())
            return;
        columnWidths_[static_cast<size_t>(column)] = Unscale(zdsGrid.ColumnWidth(column));
        ReportGeometry();
    };
    // The columns and the grid keep their 96-DPI sizes at the new DPI.
    OnDpiChanged = [this] {
        for (int column = 0; column < zdsGrid.ColumnCount(); ++column)
            SetColumnWidth(column, columnWidths_[static_cast<size_t>(column)]);
        LayoutControls();
    };
    splitter.OnMoved = [this](int top) { SplitterMoved(top); };
    // As in the system's other windows, Escape hides it like its close box.
    OnKeyDown = [this](WPARAM key) {
        if (key != VK_ESCAPE)
            return false;
        Hide();
        return true;
    };
    mnpGrid.OnPopup = [this] { mnpGridPopup(); };
    mnpGrid.AlignBottom = false;  // opens under the pointer, over the grid
    laidOut_ = true;
    LayoutControls();

    ApplyMailboxTexts(*this, TLanguage::English);
    // Through the global reference: it is cleared when the system's window goes.
    SetTextApplier(TTextWindow::Mailboxes, [](TLanguage language) {
        if (ihmMailbox)
            ApplyMailboxTexts(*ihmMailbox, language);
    });
}

TihmMailbox::~TihmMailbox()
{
    laidOut_ = false;
    if (mail_)
        mail_->RemoveScreen(*this);
    SetTextApplier(TTextWindow::Mailboxes, nullptr);
}

bool TihmMailbox::ViewHeader() const
{
    for (const auto& item : mnpGrid.Items())
        if (!item->IsSeparator() && std::string(item->Name()) == "mnpViewHeader")
            return item->Checked();
    return false;
}

void TihmMailbox::SetViewHeader(bool value)
{
    mnpViewHeader().SetChecked(value);
    ReportGeometry();
}

void TihmMailbox::SetGridHeight(int value)
{
    gridHeight_ = std::max(0, value);
    LayoutControls();
    ReportGeometry();
}

int TihmMailbox::ColumnWidth(int column) const
{
    return column >= 0 && column < zdsGrid.ColumnCount() ? columnWidths_[static_cast<size_t>(column)] : 0;
}

void TihmMailbox::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= zdsGrid.ColumnCount())
        return;
    columnWidths_[static_cast<size_t>(column)] = width;
    settingColumn_ = true;
    zdsGrid.SetColumnWidth(column, Scale(width));
    settingColumn_ = false;
    ReportGeometry();
}

// The grid keeps its height against the window: a small window shrinks the
// text area first, as a top-aligned grid over a client-filling memo does.
void TihmMailbox::LayoutControls()
{
    if (!laidOut_)
        return;
    RECT client = {};
    GetClientRect(Handle(), &client);
    const int inset = Scale(kPanelInset);
    const int splitterHeight = Scale(kSplitterHeight);
    const int width = std::max(0, static_cast<int>(client.right) - 2 * inset);
    const int gridHeight = Scale(gridHeight_);
    const int mailTop = inset + gridHeight + splitterHeight;
    const int mailHeight = std::max(0, static_cast<int>(client.bottom) - inset - mailTop);
    MoveWindow(zdsGrid.Handle(), inset, inset, width, gridHeight, TRUE);
    splitter.SetBounds({inset, inset + gridHeight, width, splitterHeight});
    MoveWindow(zdsMail.Handle(), inset, mailTop, width, mailHeight, TRUE);
}

void TihmMailbox::SplitterMoved(int top)
{
    RECT client = {};
    GetClientRect(Handle(), &client);
    const int largest =
        static_cast<int>(client.bottom) - 2 * Scale(kPanelInset) - Scale(kSplitterHeight) - Scale(kSplitterMinSize);
    const int height = std::min(top - Scale(kPanelInset), largest);
    SetGridHeight(Unscale(std::max(Scale(kSplitterMinSize), height)));
}

void TihmMailbox::PaintPanel()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    RECT frame = {};
    GetClientRect(Handle(), &frame);
    DrawEdge(dc, &frame, BDR_RAISEDOUTER, BF_RECT);
    InflateRect(&frame, -(kPanelInset - 1), -(kPanelInset - 1));
    DrawEdge(dc, &frame, BDR_SUNKENINNER, BF_RECT);
    EndPaint(Handle(), &paint);
}

void TihmMailbox::ShowGridMenu(LPARAM position)
{
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position == -1) {
        // From the keyboard: under the selected row, or at the grid's corner.
        const RECT row = zdsGrid.RowRect(zdsGrid.Selected());
        point = {row.left, row.bottom};
        ClientToScreen(zdsGrid.Handle(), &point);
    }
    SetForegroundWindow(Handle());
    mnpGrid.Popup(Handle(), point.x, point.y);
}

bool TihmMailbox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = Scale(kMinimumSize);
        info->ptMinTrackSize.y = Scale(kMinimumSize);
        result = 0;
        return true;
    }
    case WM_SIZE:
        FormResize();
        break;
    case WM_WINDOWPOSCHANGED:
    case WM_CLOSE:
        ReportGeometry();
        break;
    case WM_PAINT:
        PaintPanel();
        result = 0;
        return true;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (laidOut_ && header->hwndFrom == zdsGrid.Handle() && header->code == NM_CUSTOMDRAW) {
            result = zdsGrid.CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
            return true;
        }
        if (laidOut_ && header->hwndFrom == zdsGrid.Handle() && zdsGrid.FindRow(*header, result))
            return true;
        break;
    }
    case WM_CTLCOLORSTATIC:
        // Read-only, the text area is still a page to read, not part of the
        // form's face: it keeps the window colour the form would otherwise
        // give up for the button face.
        if (reinterpret_cast<HWND>(lParam) == zdsMail.Handle()) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            return true;
        }
        break;
    case WM_CONTEXTMENU: {
        HWND target = reinterpret_cast<HWND>(wParam);
        if (laidOut_ && (target == zdsGrid.Handle() || GetParent(target) == zdsGrid.Handle())) {
            ShowGridMenu(lParam);
            result = 0;
            return true;
        }
        break;
    }
    }
    return TForm::HandleMessage(message, wParam, lParam, result);
}
