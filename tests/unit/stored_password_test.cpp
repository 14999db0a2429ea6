// The Password row of a mailbox section: the registry holds the protected
// form, the mailbox the clear text, with a stand-in for the platform's
// protection that says what it was given.
#include <gtest/gtest.h>

#include "model/unitProcessEmail.h"
#include "settings/SettingsSecret.h"
#include "settings/SettingsTable.h"

namespace {
// "sealed:" and the text reversed; "sealed:" with a leading '!' does not open.
class TSealing : public ISecretCodec {
public:
    std::string Protect(const std::string& secret) const override
    {
        return refuse ? std::string() : "sealed:" + std::string(secret.rbegin(), secret.rend());
    }
    bool IsProtected(const std::string& stored) const override { return stored.rfind("sealed:", 0) == 0; }
    bool Unprotect(const std::string& stored, std::string& secret) const override
    {
        secret = "partly";  // a failing platform may leave anything behind
        if (!IsProtected(stored) || stored.compare(7, 1, "!") == 0)
            return false;
        secret.assign(stored.rbegin(), stored.rend() - 7);
        return true;
    }
    bool refuse = false;
};

class StoredPassword : public ::testing::Test {
protected:
    const TSettingRow<TMailBox>& PasswordRow()
    {
        for (const auto& row : table)
            if (std::string(row.Name) == "Password")
                return row;
        throw std::runtime_error("no Password row");
    }
    TSealing sealing;
    std::vector<TSettingRow<TMailBox>> table = MailboxSettingsTable(sealing);
    TMailBox mailbox;
};
}  // namespace

TEST_F(StoredPassword, Password_IsStoredProtectedAndReadBackInClear)
{
    mailbox.Password = "hunter2";
    EXPECT_EQ(PasswordRow().Get(mailbox), "sealed:2retnuh");
    TMailBox loaded;
    PasswordRow().Set(loaded, "sealed:2retnuh");
    EXPECT_EQ(loaded.Password, "hunter2");
    EXPECT_EQ(loaded.UnreadablePassword, "");
}

TEST_F(StoredPassword, ClearValueOfAnEarlierVersion_IsReadAsItIsAndStoredProtectedNext)
{
    PasswordRow().Set(mailbox, "old clear one");
    EXPECT_EQ(mailbox.Password, "old clear one");
    EXPECT_EQ(PasswordRow().Get(mailbox), "sealed:eno raelc dlo");
}

TEST_F(StoredPassword, NoPassword_IsStoredEmpty)
{
    PasswordRow().Set(mailbox, "");
    EXPECT_EQ(mailbox.Password, "");
    EXPECT_EQ(PasswordRow().Get(mailbox), "");
}

// Another user's or a damaged value: no password to send, and the stored
// text written back as it was until the user types one.
TEST_F(StoredPassword, ValueThatDoesNotOpen_GivesNoPasswordAndIsKeptUntilOneIsTyped)
{
    PasswordRow().Set(mailbox, "sealed:!damaged");
    EXPECT_EQ(mailbox.Password, "");
    EXPECT_EQ(mailbox.UnreadablePassword, "sealed:!damaged");
    EXPECT_EQ(PasswordRow().Get(mailbox), "sealed:!damaged");
    mailbox.Password = "typed";
    EXPECT_EQ(PasswordRow().Get(mailbox), "sealed:depyt");
}

TEST_F(StoredPassword, ProtectionRefused_StoresNothingInClear)
{
    mailbox.Password = "hunter2";
    sealing.refuse = true;
    EXPECT_EQ(PasswordRow().Get(mailbox), "");
}
