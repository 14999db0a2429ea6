#include <gtest/gtest.h>

#include "forms/ihmAppList.h"
#include "framework/Application.h"

TEST(WindowsListDialog, CreatedHiddenTopmostWithCountOfThreeZeros)
{
    TihmAppList dialog;
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(dialog.Caption(), "Windows lists");
    EXPECT_TRUE(GetWindowLongA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(dialog.zdsNumber.Text(), "000");
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 412);
    EXPECT_EQ(client.bottom, 405);
}

TEST(WindowsListDialog, EscapeInAListIsSeenByTheDialogAndHidesIt)
{
    TApplication application("EscapeTest");
    TihmAppList dialog;
    dialog.Show();
    SetFocus(dialog.zdsSelectedProcess.Handle());
    PostMessageA(dialog.zdsSelectedProcess.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    application.ProcessMessages();
    EXPECT_FALSE(dialog.Visible());
}

TEST(WindowsListDialog, OtherKeysLeaveItOpen)
{
    TApplication application("KeyTest");
    TihmAppList dialog;
    dialog.Show();
    PostMessageA(dialog.zdsSelectedProcess.Handle(), WM_KEYDOWN, 'A', 0);
    application.ProcessMessages();
    EXPECT_TRUE(dialog.Visible());
}
