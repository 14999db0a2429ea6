#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/Registry.h"
#include "framework/WideText.h"

namespace {
// A key of this test run's own under the current user's hive, removed before
// and after each test.
class Registry : public ::testing::Test {
protected:
    std::string keyPath = "\\Software\\SkarnValeTest-" + std::to_string(GetCurrentProcessId());
    std::string relative = keyPath.substr(1);

    void SetUp() override { DeleteTree(); }
    void TearDown() override { DeleteTree(); }

    void DeleteTree()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            char name[256];
            DWORD length = sizeof name;
            while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
                RegDeleteKeyA(key, name);
                length = sizeof name;
            }
            RegCloseKey(key);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, relative.c_str());
    }

    bool KeyExists(const std::string& subPath) const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, subPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    // The raw stored value: its type and its bytes as the registry gives them.
    bool RawValue(const std::string& section, const std::string& name, DWORD& type, std::string& bytes) const
    {
        HKEY key = nullptr;
        const std::string path = relative + "\\" + section;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
        bytes.assign(size, '\0');
        if (status == ERROR_SUCCESS && size > 0)
            status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
        bytes.resize(size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    void SetRawValue(const std::string& section, const std::string& name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        const std::string path = relative + "\\" + section;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
};
}  // namespace

TEST_F(Registry, Opening_CreatesTheProgramKeyButNoSection)
{
    TRegistryIniFile ini(keyPath);
    EXPECT_TRUE(ini.IsOpen());
    EXPECT_TRUE(KeyExists(relative));
    EXPECT_FALSE(ini.SectionExists("General"));
}

TEST_F(Registry, MissingSection_ReadsDefaultsWithoutCreatingIt)
{
    TRegistryIniFile ini(keyPath);
    EXPECT_EQ(ini.ReadString("General", "EmailProgram", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("Popup", "Interval", 500), 500);
    EXPECT_TRUE(ini.ReadBool("Spam", "SpamKillerActive", true));
    EXPECT_FALSE(ini.ReadBool("Email", "MailNotification", false));
    EXPECT_FALSE(KeyExists(relative + "\\General"));
    EXPECT_FALSE(KeyExists(relative + "\\Popup"));
    EXPECT_FALSE(ini.ValueExists("General", "EmailProgram"));
}

TEST_F(Registry, FirstWrite_CreatesItsSection)
{
    TRegistryIniFile ini(keyPath);
    EXPECT_TRUE(ini.WriteInteger("Popup", "Counter", 3));
    EXPECT_TRUE(KeyExists(relative + "\\Popup"));
    EXPECT_FALSE(KeyExists(relative + "\\Email"));
    EXPECT_TRUE(ini.WriteInteger("Popup", "Interval", 250));
    EXPECT_EQ(ini.ReadInteger("Popup", "Counter", 0), 3);
    EXPECT_EQ(ini.ReadInteger("Popup", "Interval", 500), 250);
}

TEST_F(Registry, MissingValueInExistingSection_ReadsDefault)
{
    TRegistryIniFile ini(keyPath);
    ASSERT_TRUE(ini.WriteString("General", "EmailProgram", "C:\\mail.exe"));
    EXPECT_EQ(ini.ReadInteger("General", "ConfigDblClick", 4), 4);
    EXPECT_EQ(ini.ReadString("General", "Other", "x"), "x");
}

TEST_F(Registry, String_IsStoredAsRegSzWithItsTerminatingZero)
{
    TRegistryIniFile ini(keyPath);
    ASSERT_TRUE(ini.WriteString("General", "EmailProgram", "C:\\Mail\\mail.exe"));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(RawValue("General", "EmailProgram", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string("C:\\Mail\\mail.exe\0", 17));
    EXPECT_EQ(ini.ReadString("General", "EmailProgram", ""), "C:\\Mail\\mail.exe");
}

TEST_F(Registry, EmptyString_IsStoredAsOneZeroByteAndReadsEmpty)
{
    TRegistryIniFile ini(keyPath);
    ASSERT_TRUE(ini.WriteString("Mailbox1", "Password", ""));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(RawValue("Mailbox1", "Password", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string("\0", 1));
    EXPECT_EQ(ini.ReadString("Mailbox1", "Password", "default"), "");
    EXPECT_TRUE(ini.ValueExists("Mailbox1", "Password"));
}

TEST_F(Registry, Integer_IsStoredAsDecimalTextAndReadBack)
{
    TRegistryIniFile ini(keyPath);
    ASSERT_TRUE(ini.WriteInteger("Video", "Top", -5));
    ASSERT_TRUE(ini.WriteInteger("Video", "Left", 2147483647));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(RawValue("Video", "Top", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string("-5\0", 3));
    EXPECT_EQ(ini.ReadInteger("Video", "Top", 20), -5);
    EXPECT_EQ(ini.ReadInteger("Video", "Left", 20), 2147483647);
}

TEST_F(Registry, Boolean_IsStoredAsOneOrZeroAndReadBack)
{
    TRegistryIniFile ini(keyPath);
    ASSERT_TRUE(ini.WriteBool("General", "French", true));
    ASSERT_TRUE(ini.WriteBool("General", "TaskPopup", false));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(RawValue("General", "French", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string("1\0", 2));
    ASSERT_TRUE(RawValue("General", "TaskPopup", type, bytes));
    EXPECT_EQ(bytes, std::string("0\0", 2));
    EXPECT_TRUE(ini.ReadBool("General", "French", false));
    EXPECT_FALSE(ini.ReadBool("General", "TaskPopup", true));
}

TEST_F(Registry, UnicodeText_RoundTripsExactlyAsRegSz)
{
    TRegistryIniFile ini(keyPath);
    // French, Cyrillic, CJK and an emoji beyond the Basic Multilingual Plane.
    const std::string text = "D\xC3\xA9tection \xD0\xA0\xD0\xB5\xD0\xBA \xE5\xB9\xBF \xF0\x9F\x98\x80";
    ASSERT_TRUE(ini.WriteString("Mailbox2", "Name", text));
    EXPECT_EQ(ini.ReadString("Mailbox2", "Name", ""), text);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Widen(relative + "\\Mailbox2").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    RegQueryValueExW(key, L"Name", nullptr, &type, nullptr, &size);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, (Widen(text).size() + 1) * sizeof(wchar_t));
}

TEST_F(Registry, ValueWrittenInTheCodePage_ReadAsItsUnicodeText)
{
    const char old[] = "Fen\xEAtre \x80";  // as the previous version wrote it, on code page 1252
    SetRawValue("Mailbox2", "Name", REG_SZ, old, sizeof old);
    TRegistryIniFile ini(keyPath);
    EXPECT_EQ(ini.ReadString("Mailbox2", "Name", ""), "Fen\xC3\xAAtre \xE2\x82\xAC");
}

TEST_F(Registry, LongText_IsReadWhole)
{
    TRegistryIniFile ini(keyPath);
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(ini.WriteString("General", "EmailProgram", text));
    EXPECT_EQ(ini.ReadString("General", "EmailProgram", ""), text);
}

TEST_F(Registry, DwordValue_ReadsAsAbsent)
{
    const DWORD number = 7;
    SetRawValue("Popup", "Interval", REG_DWORD, &number, sizeof number);
    TRegistryIniFile ini(keyPath);
    EXPECT_EQ(ini.ReadInteger("Popup", "Interval", 500), 500);
    EXPECT_EQ(ini.ReadString("Popup", "Interval", "dflt"), "dflt");
    EXPECT_TRUE(ini.ReadBool("Popup", "Interval", true));
    EXPECT_FALSE(ini.ReadBool("Popup", "Interval", false));
    EXPECT_FALSE(ini.ValueExists("Popup", "Interval"));
}

TEST_F(Registry, BinaryValueHoldingDigits_ReadsAsAbsent)
{
    SetRawValue("Popup", "Counter", REG_BINARY, "42", 3);
    TRegistryIniFile ini(keyPath);
    EXPECT_EQ(ini.ReadInteger("Popup", "Counter", 0), 0);
}

TEST_F(Registry, WritingOverAValueOfAnotherType_StoresAString)
{
    const DWORD number = 7;
    SetRawValue("Popup", "Interval", REG_DWORD, &number, sizeof number);
    TRegistryIniFile ini(keyPath);
    ASSERT_TRUE(ini.WriteInteger("Popup", "Interval", 250));
    EXPECT_EQ(ini.ReadInteger("Popup", "Interval", 500), 250);
}

TEST_F(Registry, StringWrittenWithoutTerminatingZero_ReadsWhole)
{
    SetRawValue("General", "EmailProgram", REG_SZ, "abc", 3);
    TRegistryIniFile ini(keyPath);
    EXPECT_EQ(ini.ReadString("General", "EmailProgram", ""), "abc");
}

TEST_F(Registry, TextsThatAreNotIntegers_ReadAsTheDefault)
{
    TRegistryIniFile ini(keyPath);
    ASSERT_TRUE(ini.WriteString("Popup", "Interval", "12abc"));
    ASSERT_TRUE(ini.WriteString("Spam", "SpamKillerActive", "yes"));
    ASSERT_TRUE(ini.WriteString("Popup", "KillerActive", "2"));
    ASSERT_TRUE(ini.WriteString("Popup", "SoundOnKill", "-1"));
    EXPECT_EQ(ini.ReadInteger("Popup", "Interval", 500), 500);
    EXPECT_TRUE(ini.ReadBool("Spam", "SpamKillerActive", true));
    EXPECT_FALSE(ini.ReadBool("Spam", "SpamKillerActive", false));
    EXPECT_TRUE(ini.ReadBool("Popup", "KillerActive", false));
    EXPECT_TRUE(ini.ReadBool("Popup", "SoundOnKill", false));
}

TEST_F(Registry, ValuesSurviveReopening)
{
    {
        TRegistryIniFile ini(keyPath);
        ASSERT_TRUE(ini.WriteInteger("Mailboxes", "Number", 2));
    }
    TRegistryIniFile again(keyPath);
    EXPECT_EQ(again.ReadInteger("Mailboxes", "Number", 0), 2);
}

TEST_F(Registry, KeyThatCannotBeOpened_GivesDefaultsAndRefusesWrites)
{
    // A key name longer than the registry allows can be neither opened nor created.
    const std::string impossible = keyPath + "\\" + std::string(300, 'k');
    TRegistryIniFile ini(impossible);
    ASSERT_FALSE(ini.IsOpen());
    EXPECT_EQ(ini.ReadInteger("Popup", "Interval", 500), 500);
    EXPECT_EQ(ini.ReadString("General", "EmailProgram", "d"), "d");
    EXPECT_TRUE(ini.ReadBool("Spam", "SpamKillerActive", true));
    EXPECT_FALSE(ini.WriteInteger("Popup", "Interval", 1));
    EXPECT_FALSE(ini.SectionExists("Popup"));
}

TEST_F(Registry, PathWithoutLeadingBackslash_OpensTheSameKey)
{
    {
        TRegistryIniFile ini(keyPath);
        ASSERT_TRUE(ini.WriteString("General", "EmailProgram", "same"));
    }
    TRegistryIniFile ini(relative);
    EXPECT_EQ(ini.ReadString("General", "EmailProgram", ""), "same");
}
