// The General page's start-up box against Windows' own entry in the test
// prefix's registry: the Run value SkarnVale and Task Manager's switch.
#include "system_fixture.h"

#include <cctype>

#include "app/StartWithWindows.h"
#include "framework/Files.h"
#include "framework/StartupEntry.h"

namespace {
const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char ApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// As Task Manager leaves an entry it turned off: 03, then the time it did.
const std::string TurnedOff("\x03\0\0\0\x80\x3B\x2C\x1D\x9A\xC0\xD9\x01", 12);

// The registry read here by its A functions, apart from the program's wrapper.
bool ReadValue(const char* key, DWORD& type, std::string& data)
{
    BYTE bytes[1024];
    DWORD size = sizeof bytes;
    if (RegGetValueA(HKEY_CURRENT_USER, key, StartupEntryName, RRF_RT_ANY | RRF_NOEXPAND, &type, bytes, &size) !=
        ERROR_SUCCESS)
        return false;
    data.assign(reinterpret_cast<const char*>(bytes), size);
    return true;
}

std::string RunValue()
{
    DWORD type = 0;
    std::string data;
    if (!ReadValue(RunKey, type, data))
        return "(none)";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    return data.substr(0, data.find('\0'));
}

std::string Approval()
{
    DWORD type = 0;
    std::string data;
    if (!ReadValue(ApprovedKey, type, data))
        return "(none)";
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    return data;
}

void SetValue(const char* key, DWORD type, const std::string& data)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(opened, StartupEntryName, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(opened);
}

class StartWithWindowsTest : public SystemTest {
protected:
    void SetUp() override
    {
        SystemTest::SetUp();
        TStartupEntry(StartupEntryName).Remove();
    }
    void TearDown() override
    {
        TStartupEntry(StartupEntryName).Remove();
        SystemTest::TearDown();
    }
    // A user's click on the box.
    void ClickBox() { SendMessageW(ihmOptions->zdsStartWithWindows.Handle(), BM_CLICK, 0, 0); }
    bool BoxChecked() const { return ihmOptions->zdsStartWithWindows.Checked(); }
    const std::string command = "\"" + ExecutablePath() + "\"";
};
}  // namespace

TEST_F(StartWithWindowsTest, Box_WritesAndRemovesTheRunValueOfThisCopy)
{
    ihmOptions->Show();
    EXPECT_FALSE(BoxChecked());
    ClickBox();
    EXPECT_TRUE(BoxChecked());
    EXPECT_EQ(RunValue(), command);
    EXPECT_EQ(Approval(), "(none)");  // Windows takes no value as on
    ClickBox();
    EXPECT_FALSE(BoxChecked());
    EXPECT_EQ(RunValue(), "(none)");
    ihmOptions->Hide();
}

// The setup wrote the entry while the dialog was hidden: shown, the box says so.
TEST_F(StartWithWindowsTest, EntryWrittenElsewhere_ShowsCheckedWhenTheDialogIsShown)
{
    EXPECT_FALSE(BoxChecked());
    SetValue(RunKey, REG_SZ, std::string("\"C:\\Users\\Me\\SkarnVale.exe\"", 29));
    ihmOptions->Show();
    EXPECT_TRUE(BoxChecked());
    ihmOptions->Hide();
}

TEST_F(StartWithWindowsTest, TurnedOffInTaskManager_ShowsUncheckedAndCheckingTurnsItOnThere)
{
    SetValue(RunKey, REG_SZ, command + '\0');
    SetValue(ApprovedKey, REG_BINARY, TurnedOff);
    ihmOptions->Show();
    EXPECT_FALSE(BoxChecked());
    ClickBox();
    EXPECT_TRUE(BoxChecked());
    EXPECT_EQ(RunValue(), command);
    EXPECT_EQ(Approval(), std::string("\x02\0\0\0\0\0\0\0\0\0\0\0", 12));
    // Off again from the box: nothing of the entry is left.
    ClickBox();
    EXPECT_EQ(RunValue(), "(none)");
    EXPECT_EQ(Approval(), "(none)");
    ihmOptions->Hide();
}

// At start-up, an entry that starts another path is made to start this copy;
// one that names this copy in another letter case, or is absent, is left.
TEST_F(StartWithWindowsTest, StaleRunPath_IsCorrectedAtStartUpAndTaskManagersSwitchKept)
{
    CorrectStartupEntry();
    EXPECT_EQ(RunValue(), "(none)");

    SetValue(RunKey, REG_SZ, std::string("\"C:\\Old place\\SkarnVale.exe\"", 29));
    SetValue(ApprovedKey, REG_BINARY, TurnedOff);
    CorrectStartupEntry();
    EXPECT_EQ(RunValue(), command);
    EXPECT_EQ(Approval(), TurnedOff);

    std::string otherCase = command;
    for (char& c : otherCase)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_NE(otherCase, command);
    SetValue(RunKey, REG_SZ, otherCase + '\0');
    CorrectStartupEntry();
    EXPECT_EQ(RunValue(), otherCase);
}

// The box has a place of its own on the General page.
TEST_F(StartWithWindowsTest, Box_OverlapsNoOtherControlOfTheGeneralPage)
{
    const HWND box = ihmOptions->zdsStartWithWindows.Handle();
    EXPECT_EQ(GetParent(box), ihmOptions->tsGeneral.Handle());
    RECT place = {};
    GetWindowRect(box, &place);
    for (HWND other = GetWindow(GetParent(box), GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == box)
            continue;
        RECT otherPlace = {}, common = {};
        GetWindowRect(other, &otherPlace);
        EXPECT_FALSE(IntersectRect(&common, &place, &otherPlace)) << GetDlgCtrlID(other);
    }
}
