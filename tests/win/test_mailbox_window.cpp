#include "test_mailbox_window.h"

#include <windowsx.h>

#include "app/unitLanguage.h"

namespace {
using MailboxWindow = MailboxWindowTest;

std::vector<std::string> Row(int row)
{
    TListGrid& grid = ihmMailbox->zdsGrid;
    return {grid.Cell(0, row), grid.Cell(1, row), grid.Cell(2, row)};
}
}  // namespace

TEST_F(MailboxWindow, FillMailGrid_EmailsAddedOutOfOrder_OneRowEachSortedByMailboxAndNumber)
{
    AddEmail("work", 2, " Bob <bob@example.org>", " Second");
    AddEmail("home", 12, " Ann <ann@example.org>", " Twelfth");
    AddEmail("home", 3, " Cy <cy@example.org>", " Third");
    ihmMailbox->FillMailGrid();

    EXPECT_TRUE(ihmMain->Mail.Emails.Sorted());
    ASSERT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"home", "cy@example.org", " Third"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"home", "ann@example.org", " Twelfth"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"work", "bob@example.org", " Second"}));
}

TEST_F(MailboxWindow, FillMailGrid_NoEmailAfterAFullList_LeavesOneEmptyRow)
{
    AddEmail("home", 1, " a@example.org", " One");
    AddEmail("home", 2, " b@example.org", " Two");
    ihmMailbox->FillMailGrid();
    ASSERT_EQ(Grid().RowCount(), 2);

    ihmMain->Mail.Emails.Clear();
    ihmMailbox->FillMailGrid();
    ASSERT_EQ(Grid().RowCount(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"", "", ""}));
}

TEST_F(MailboxWindow, NewWindow_HasOneEmptyRowAndTheEnglishHeadings)
{
    ASSERT_EQ(Grid().RowCount(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(Grid().ColumnCaption(0), "Mailbox");
    EXPECT_EQ(Grid().ColumnCaption(1), "From");
    EXPECT_EQ(Grid().ColumnCaption(2), "Subject");
    EXPECT_EQ(ihmMailbox->Caption(), "Mailboxes");
}

TEST_F(MailboxWindow, Headings_ShowTheirCaptionsOnTheScreen)
{
    AddEmail("home", 1, " a@example.org", " One");
    ihmMailbox->FillMailGrid();
    ShowWindowAndWait();
    const std::vector<int> every = {0, 1, 2};
    EXPECT_EQ(HeadingsShownWithin(Grid().Handle(), every), every);
}

TEST_F(MailboxWindow, FromColumn_WithoutAngleBrackets_ShowsTheWholeValue)
{
    AddEmail("home", 1, " plain@example.org", " One");
    AddEmail("home", 2, " \"Smith, J\" <js@example.org>", " Two");
    ihmMailbox->FillMailGrid();
    EXPECT_EQ(Grid().Cell(1, 0), " plain@example.org");
    EXPECT_EQ(Grid().Cell(1, 1), "js@example.org");
}

TEST_F(MailboxWindow, Rows_Are18PixelsHighUnderAHeaderRow)
{
    AddEmail("home", 1, " a@example.org", " One");
    AddEmail("home", 2, " b@example.org", " Two");
    ihmMailbox->FillMailGrid();
    EXPECT_EQ(Grid().RowHeight(), 18);
    const RECT first = Grid().RowRect(0);
    EXPECT_GT(first.top, 0);  // the header row sits above the first data row
    EXPECT_EQ(Grid().RowRect(1).top, first.bottom);
}

TEST_F(MailboxWindow, SpamRow_IsDrawnInPureRed_OtherRowsAreNot)
{
    ihmOptions->SetSpamSubjects("casino");
    AddEmail("home", 1, " friend@example.org", " Lunch tomorrow");
    AddEmail("home", 2, " promo@example.org", " Best CASINO bonus");
    ihmMailbox->FillMailGrid();
    ShowWindowAndWait();
    ihmMailbox->zdsGrid.SetSelected(0);  // the selection highlight is not on the spam row

    EXPECT_TRUE(PumpUntil([] { return RedPixelsInRow(1) > 20; }));
    EXPECT_EQ(RedPixelsInRow(0), 0);
}

TEST_F(MailboxWindow, AddExpeditor_EveryRowOfThatSenderTurnsRedAtOnce)
{
    AddEmail("home", 1, " Spammer <deals@spam.example>", " Offer one");
    AddEmail("home", 2, " friend@example.org", " Lunch");
    AddEmail("home", 3, " Spammer <deals@spam.example>", " Offer two");
    ihmMailbox->FillMailGrid();
    ShowWindowAndWait();
    Grid().SetSelected(1);
    ASSERT_TRUE(PumpUntil([] { return RedPixelsInRow(0) == 0 && RedPixelsInRow(2) == 0; }));

    Grid().SetSelected(0);
    ihmMailbox->mnpAddExpClick();
    Grid().SetSelected(1);
    EXPECT_EQ(ihmOptions->zdsEmail.Lines(), std::vector<std::string>{"deals@spam.example"});
    EXPECT_TRUE(PumpUntil([] { return RedPixelsInRow(0) > 20 && RedPixelsInRow(2) > 20; }));
    EXPECT_EQ(RedPixelsInRow(1), 0);
}

TEST_F(MailboxWindow, GridRowsWithoutEmail_AreDrawnNormally)
{
    ihmOptions->SetSpamSubjects("offer");
    AddEmail("home", 1, " a@example.org", " offer A");
    AddEmail("home", 2, " b@example.org", " offer B");
    ihmMailbox->FillMailGrid();
    // A check clears the emails under the still-filled grid.
    ihmMain->Mail.Emails.Clear();
    COLORREF color = 0;
    EXPECT_FALSE(ihmMailbox->zdsGridDrawCell(0, color));
    EXPECT_FALSE(ihmMailbox->zdsGridDrawCell(1, color));
    ShowWindowAndWait();
    Grid().Repaint();
    EXPECT_TRUE(PumpUntil([] { return Grid().RowCount() == 2; }));
    EXPECT_EQ(RedPixelsInRow(0), 0);
    EXPECT_EQ(RedPixelsInRow(1), 0);
}

TEST_F(MailboxWindow, KeyboardMove_ShowsTheDetailsOfTheNewRowInOrder)
{
    AddEmail("home", 1, " a@example.org", " First");
    TEmail& second = AddEmail("home", 2, " Bee <b@example.org>", " Second");
    second.Body = "line one\r\nline two\r\n";
    ihmMailbox->FillMailGrid();
    ihmMailbox->zdsMail.SetText("log line");

    SetFocus(Grid().Handle());
    SendMessageA(Grid().Handle(), WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(PumpUntil([] { return Grid().Selected() == 1; }));

    EXPECT_EQ(MailLines(), (std::vector<std::string>{"From :  Bee <b@example.org>", "To :  me@example.org",
                                                     "Date : Tue, 1 Dec 2026 14:05:00 +0100", "Subject :  Second",
                                                     "Size : 1234", "", "line one", "line two", ""}));
    DWORD start = 1, end = 1;
    SendMessageA(ihmMailbox->zdsMail.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(SendMessageA(ihmMailbox->zdsMail.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

// As in any list, a typed letter moves to the next row whose first cell
// starts with it, round to the top; the list view asks the grid, which holds
// no text of its own.
TEST_F(MailboxWindow, TypedLetter_JumpsToTheNextRowStartingWithIt)
{
    AddEmail("alpha", 1, " a@example.org", " One");
    AddEmail("beta", 1, " b@example.org", " Two");
    AddEmail("Bravo", 1, " c@example.org", " Three");
    AddEmail("gamma", 1, " d@example.org", " Four");
    ihmMailbox->FillMailGrid();
    ASSERT_EQ(Grid().Cell(0, 1), "beta");

    LVFINDINFOW find = {};
    find.flags = LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP;
    find.psz = L"GAM";
    EXPECT_EQ(SendMessageW(Grid().Handle(), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)),
              3);
    find.psz = L"z";
    EXPECT_EQ(SendMessageW(Grid().Handle(), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)),
              -1);

    ihmMailbox->Show();
    SetFocus(Grid().Handle());
    Grid().SetSelected(1);
    SendMessageW(Grid().Handle(), WM_CHAR, 'b', 1);  // one press
    EXPECT_TRUE(PumpUntil([] { return Grid().Selected() == 2; }));
}

TEST_F(MailboxWindow, EscapeHidesTheWindow)
{
    ihmMailbox->Show();
    SetFocus(Grid().Handle());
    PostMessageA(Grid().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    application->ProcessMessages();
    EXPECT_FALSE(ihmMailbox->Visible());
}

TEST_F(MailboxWindow, ViewHeaderToggle_RedrawsTheDetailsWithAndWithoutTheHeader)
{
    TEmail& email = AddEmail("home", 1, " a@example.org", " Only");
    email.Header = "From: a@example.org\r\nX-Mark: here\r\n";
    email.Body = "the body\r\n";
    ihmMailbox->FillMailGrid();
    ihmMailbox->zdsGridClick();
    EXPECT_EQ(ihmMailbox->zdsMail.Text().find("X-Mark: here"), std::string::npos);

    ihmMailbox->mnpViewHeaderClick();
    EXPECT_TRUE(ihmMailbox->mnpViewHeader().Checked());
    const std::vector<std::string> lines = MailLines();
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "From: a@example.org");
    EXPECT_EQ(lines[7], "X-Mark: here");
    EXPECT_EQ(lines[8], "the body");

    ihmMailbox->mnpViewHeaderClick();
    EXPECT_FALSE(ihmMailbox->mnpViewHeader().Checked());
    EXPECT_EQ(ihmMailbox->zdsMail.Text().find("X-Mark: here"), std::string::npos);
    EXPECT_NE(ihmMailbox->zdsMail.Text().find("the body"), std::string::npos);
}

TEST_F(MailboxWindow, ClickDuringACheck_LeavesTheLogVisible)
{
    AddEmail("home", 1, " a@example.org", " One");
    AddEmail("home", 2, " b@example.org", " Two");
    ihmMailbox->FillMailGrid();
    ihmMailbox->zdsMail.SetText("Checking...");
    ihmMain->Mail.Busy = true;
    SetFocus(Grid().Handle());
    SendMessageA(Grid().Handle(), WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(PumpUntil([] { return Grid().Selected() == 1; }));
    ihmMailbox->zdsGridClick();
    EXPECT_EQ(ihmMailbox->zdsMail.Text(), "Checking...");
    ihmMain->Mail.Busy = false;
}

TEST_F(MailboxWindow, ClickWithNoEmail_LeavesTheTextArea)
{
    ihmMailbox->FillMailGrid();
    ihmMailbox->zdsMail.SetText("last log");
    ihmMailbox->zdsGridClick();
    EXPECT_EQ(ihmMailbox->zdsMail.Text(), "last log");
}

TEST_F(MailboxWindow, GeometrySettings_RoundTripThroughTheRegistry)
{
    windows->Settings().MailboxesCol1 = 71;
    windows->Settings().MailboxesCol2 = 142;
    windows->Settings().MailboxesCol3 = 213;
    windows->Settings().MailboxesGrid = 120;
    windows->Settings().MailboxesHeader = true;
    ihmMailbox->PlaceFrom(windows->Settings());
    EXPECT_EQ(SendMessageA(Grid().Handle(), LVM_GETCOLUMNWIDTH, 1, 0), 142);
    RECT grid = {};
    GetWindowRect(Grid().Handle(), &grid);
    EXPECT_EQ(grid.bottom - grid.top, 120);
    EXPECT_TRUE(ihmMailbox->mnpViewHeader().Checked());
    ihmMain->SaveSettings();

    windows->Settings().MailboxesCol1 = 10;
    windows->Settings().MailboxesCol2 = 10;
    windows->Settings().MailboxesCol3 = 10;
    windows->Settings().MailboxesGrid = 40;
    windows->Settings().MailboxesHeader = false;
    ihmMailbox->PlaceFrom(windows->Settings());
    ihmMain->LoadSettings();
    EXPECT_EQ(windows->Settings().MailboxesCol1, 71);
    EXPECT_EQ(windows->Settings().MailboxesCol2, 142);
    EXPECT_EQ(windows->Settings().MailboxesCol3, 213);
    EXPECT_EQ(windows->Settings().MailboxesGrid, 120);
    EXPECT_TRUE(windows->Settings().MailboxesHeader);
    EXPECT_EQ(Ini().ReadInteger("Mailboxes", "Col3", 0), 213);
    // The window took what was read.
    EXPECT_EQ(SendMessageA(Grid().Handle(), LVM_GETCOLUMNWIDTH, 2, 0), 213);
    EXPECT_TRUE(ihmMailbox->mnpViewHeader().Checked());
}

TEST_F(MailboxWindow, EmptyRegistry_GivesTheDefaultGridGeometry)
{
    ihmMain->LoadSettings();
    EXPECT_EQ(windows->Settings().MailboxesCol1, 60);
    EXPECT_EQ(windows->Settings().MailboxesCol2, 150);
    EXPECT_EQ(windows->Settings().MailboxesCol3, 300);
    EXPECT_EQ(windows->Settings().MailboxesGrid, 100);
    EXPECT_FALSE(windows->Settings().MailboxesHeader);
}

TEST_F(MailboxWindow, UserResizedColumn_IsWhatTheSettingReads)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(Grid().Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    // As a drag of the divider does: the header takes the width and tells the grid.
    HDITEMW item = {};
    item.mask = HDI_WIDTH;
    item.cxy = 222;
    SendMessageW(header, HDM_SETITEMW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(windows->Settings().MailboxesCol3, 222);
    EXPECT_EQ(SendMessageA(Grid().Handle(), LVM_GETCOLUMNWIDTH, 2, 0), 222);
}

TEST_F(MailboxWindow, SplitterDrag_ResizesTheGridAndTheTextAreaTakesTheRest)
{
    windows->Settings().MailboxesGrid = 100;
    ihmMailbox->PlaceFrom(windows->Settings());
    ShowWindowAndWait();
    RECT mailBefore = {};
    GetWindowRect(ihmMailbox->zdsMail.Handle(), &mailBefore);
    HWND bar = ihmMailbox->splitter.Handle();
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 1));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 41));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 1));  // the bar has moved with the mouse
    EXPECT_EQ(ihmMailbox->GridHeight(), 140);
    EXPECT_EQ(windows->Settings().MailboxesGrid, 140);
    RECT mailAfter = {};
    GetWindowRect(ihmMailbox->zdsMail.Handle(), &mailAfter);
    EXPECT_EQ(mailAfter.top - mailBefore.top, 40);
    EXPECT_EQ(mailAfter.bottom, mailBefore.bottom);
    EXPECT_FALSE(ihmMailbox->splitter.Dragging());
}

TEST_F(MailboxWindow, SplitterDrag_StopsBeforeTheTextAreaVanishes)
{
    ShowWindowAndWait();
    HWND bar = ihmMailbox->splitter.Handle();
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 1));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5000));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 5000));
    RECT mail = {};
    GetWindowRect(ihmMailbox->zdsMail.Handle(), &mail);
    EXPECT_GE(mail.bottom - mail.top, 30);
}

TEST_F(MailboxWindow, Window_IsASizeableToolWindowWithOnlyACloseBoxAndAMinimumOf250)
{
    const LONG_PTR style = GetWindowLongPtrA(ihmMailbox->Handle(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(ihmMailbox->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    MINMAXINFO info = {};
    SendMessageA(ihmMailbox->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 250);
    EXPECT_EQ(info.ptMinTrackSize.y, 250);
}

TEST_F(MailboxWindow, Resize_TextAreaFillsTheRestOfTheWindow)
{
    windows->Settings().MailboxesGrid = 80;
    windows->Settings().MailboxesWidth = 500;
    windows->Settings().MailboxesHeight = 400;
    ihmMailbox->PlaceFrom(windows->Settings());
    RECT client = {};
    GetClientRect(ihmMailbox->Handle(), &client);
    RECT mail = {};
    GetWindowRect(ihmMailbox->zdsMail.Handle(), &mail);
    MapWindowPoints(nullptr, ihmMailbox->Handle(), reinterpret_cast<POINT*>(&mail), 2);
    EXPECT_EQ(mail.top, 6 + 80 + 3);
    EXPECT_EQ(mail.bottom, client.bottom - 6);
    EXPECT_EQ(mail.right, client.right - 6);
}

TEST_F(MailboxWindow, TextArea_IsReadOnlyWithBothScrollBars)
{
    const LONG_PTR style = GetWindowLongPtrA(ihmMailbox->zdsMail.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
}

TEST_F(MailboxWindow, LogLineLongerThanTheTextArea_ShowsItsBeginning)
{
    ShowWindowAndWait();
    ihmMain->Mail.AddMailLog("Starting mailboxes check...");
    ihmMain->Mail.AddMailLog("Error during 'Home' loading : " + std::string(600, 'x'));
    EXPECT_EQ(GetScrollPos(ihmMailbox->zdsMail.Handle(), SB_HORZ), 0);
}

TEST_F(MailboxWindow, TenThousandEmails_AreRowsDrawnFromTheEmails)
{
    for (int n = 1; n <= 10000; ++n)
        AddEmail("home", n, " a@example.org", " Note " + std::to_string(n));
    ihmMailbox->FillMailGrid();
    ASSERT_EQ(Grid().RowCount(), 10000);
    EXPECT_EQ(Grid().Cell(2, 9999), ihmMain->Mail.Emails.ItemAs<TEmail>(9999)->Subject);
    EXPECT_TRUE(GetWindowLongPtrA(Grid().Handle(), GWL_STYLE) & LVS_OWNERDATA) << "rows drawn from the emails";
}

TEST_F(MailboxWindow, FrenchTexts_AreWrittenIntoHeadingsAndMenu)
{
    ApplyFrenchTexts();
    EXPECT_EQ(Grid().ColumnCaption(0), "Bo\xC3\xAE" "te");
    EXPECT_EQ(Grid().ColumnCaption(1), "Exp\xC3\xA9" "diteur");
    EXPECT_EQ(Grid().ColumnCaption(2), "Sujet");
    EXPECT_EQ(ihmMailbox->mnpViewHeader().Caption, "Voir en-t\xC3\xAA" "te");
    EXPECT_EQ(ihmMailbox->mnpDeleteMessage().Caption, "Effacer ce message");
    EXPECT_EQ(ihmMailbox->Caption(), "Boites aux lettres");
    ApplyEnglishTexts();
    EXPECT_EQ(Grid().ColumnCaption(1), "From");
    EXPECT_EQ(ihmMailbox->mnpEmailProgram().Caption, "Start Email program");
}

TEST_F(MailboxWindow, TextArea_IsPaintedInTheWindowColour)
{
    HDC dc = GetDC(ihmMailbox->zdsMail.Handle());
    const LRESULT brush = SendMessageA(ihmMailbox->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(ihmMailbox->zdsMail.Handle()));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    ReleaseDC(ihmMailbox->zdsMail.Handle(), dc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_WINDOW));
}
