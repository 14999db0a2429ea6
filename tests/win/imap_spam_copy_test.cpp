// The mail watch's spam cycle on an IMAP server with no folder to move spam
// to: the scripted servers (tests/servers/imap_script_server.py --folders ""
// --spam-every 2) that tests/e2e/test_imap_session.py starts and names in
// SKARNVALE_IMAP_PORT_NOFOLDER (with UIDPLUS) and
// SKARNVALE_IMAP_PORT_NOFOLDER_NOUIDPLUS, and one serving a message too
// large to copy in SKARNVALE_IMAP_PORT_NOFOLDER_LARGE, one for a cycle with
// the copies turned off in SKARNVALE_IMAP_PORT_NOFOLDER_NOCOPY; without them
// these tests are skipped. That script checks the commands each server received.
#include "mail_watch_support.h"

#include <cstdlib>

#include "settings/SettingsValues.h"

namespace {
// Message 2 of the scripted server, as it serves it.
const char kSpam[] =
    "From: Promo <spam@spam.example>\r\nTo: alice@example.org\r\nSubject: Message 2\r\n"
    "Date: Tue, 8 Dec 2026 09:00:00 +0000\r\nMessage-ID: <m2@example.org>\r\n\r\n"
    "First line of 2\r\nSecond line\r\n";

class ImapSpamCopyTest : public MailWatchTest {
protected:
    // The mailbox "Scripted" on the server named in `variable`, its spam
    // from spam.example; false when no server was started for the run.
    bool Aim(const char* variable)
    {
        const char* port = std::getenv(variable);
        if (!port)
            return false;
        TMailBox& box = AddMailbox("Scripted", "127.0.0.1");
        box.Port = port;
        box.Protocol = MailboxProtocolImap;
        box.Security = MailboxSecurityNone;
        settings.SpamAddresses = "spam.example";
        return true;
    }

    // The spam cycle of the server named in `variable`: message 2 kept whole
    // in the quarantine with its record, the line saying where it went, the
    // grid left with messages 1 and 3, the record saying whether the server
    // confirmed the deletion ("yes": expunged); then what a new check of the
    // server finds, which the caller judges.
    int CycleThenCountOnTheServer(const char* variable, const std::string& line, const std::string& confirmed)
    {
        if (!Aim(variable))
            return -1;
        watch.CheckAllMailboxes(false);
        EXPECT_EQ(watch.Emails.Count(), 3) << watch.StatusText(false);

        EXPECT_EQ(watch.DeleteSpamEmails(), 1);

        const std::vector<std::string> copies = QuarantineFiles(".eml"), records = QuarantineFiles(".txt");
        EXPECT_EQ(copies.size(), 1u);
        EXPECT_EQ(records.size(), 1u);
        if (copies.size() == 1 && records.size() == 1) {
            EXPECT_EQ(QuarantineText(copies[0]), kSpam);
            const std::string record = QuarantineText(records[0]);
            EXPECT_NE(record.find("spam@spam.example"), std::string::npos) << record;
            EXPECT_NE(record.find("Message 2"), std::string::npos) << record;
            EXPECT_NE(record.find("spam.example"), std::string::npos) << record;
            EXPECT_NE(record.find(copies[0]), std::string::npos) << record;
            EXPECT_NE(record.find("\r\nConfirmed: " + confirmed + "\r\n"), std::string::npos) << record;
        }
        const std::vector<std::string> log = Log();
        EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << ::testing::PrintToString(log);
        std::vector<std::string> left;
        for (int i = 0; i < watch.Emails.Count(); ++i)
            left.push_back(Email(i).Subject);
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{" Message 1", " Message 3"}));
        // A watch that starts afresh sees what the server holds.
        TMailWatch fresh(settings, MailTextsOfMessages());
        fresh.CheckAllMailboxes(false);
        return fresh.Emails.Count();
    }
};
}  // namespace

TEST_F(ImapSpamCopyTest, NoSpamFolderWithUidPlus_CopyKeptThenThatMessageExpunged)
{
    const int held = CycleThenCountOnTheServer(
        "SKARNVALE_IMAP_PORT_NOFOLDER",
        "A message was removed from the server, its copy kept in Deleted SPAM: from spam@spam.example, "
        "\"Message 2\" (SPAM senders list: \"spam.example\")", "yes");
    if (held < 0)
        GTEST_SKIP() << "no scripted IMAP server for this run";
    EXPECT_EQ(held, 2);
}

TEST_F(ImapSpamCopyTest, NoSpamFolderWithoutUidPlus_CopyKeptThenThatMessageOnlyMarked)
{
    const int held = CycleThenCountOnTheServer(
        "SKARNVALE_IMAP_PORT_NOFOLDER_NOUIDPLUS",
        "A message was marked deleted on the server, which cannot remove it alone, its copy kept in Deleted SPAM: "
        "from spam@spam.example, \"Message 2\" (SPAM senders list: \"spam.example\")", "no");
    if (held < 0)
        GTEST_SKIP() << "no scripted IMAP server for this run";
    // Still there, marked \Deleted: no EXPUNGE was sent (the script checks),
    // and a check shows no message marked so.
    EXPECT_EQ(held, 2);
}

// Message 2 is larger than a copy takes: not fetched, so not copied, so it
// stays, the log says why; message 3, spam too, goes (the script checks
// that its UID alone was fetched whole, marked and expunged).
TEST_F(ImapSpamCopyTest, SpamLargerThanACopyTakes_StaysAndTheLogSaysWhy)
{
    if (!Aim("SKARNVALE_IMAP_PORT_NOFOLDER_LARGE"))
        GTEST_SKIP() << "no scripted IMAP server for this run";
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 3) << watch.StatusText(false);

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    const std::vector<std::string> log = Log();
    const std::string line = "Message 2 on 'Scripted' was not deleted: its copy could not be saved (the message is "
                             "larger than 4 MB, the most a copy takes)";
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << ::testing::PrintToString(log);
    const std::vector<std::string> copies = QuarantineFiles(".eml");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(QuarantineText(copies[0]), "From: spam@spam.example\r\nSubject: Small\r\n\r\nBuy\r\n");
    std::vector<std::string> left;
    for (int i = 0; i < watch.Emails.Count(); ++i)
        left.push_back(Email(i).Subject);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{" Big", " Hello"}));
}

// Copies turned off: removed as a POP3 deletion removes it, without a copy
// (the script checks that nothing was fetched whole).
TEST_F(ImapSpamCopyTest, NoSpamFolderCopiesOff_RemovedWithoutACopy)
{
    if (!Aim("SKARNVALE_IMAP_PORT_NOFOLDER_NOCOPY"))
        GTEST_SKIP() << "no scripted IMAP server for this run";
    settings.SpamKeepDays = 0;
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 3) << watch.StatusText(false);

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    const std::vector<std::string> log = Log();
    const std::string line = "A message was deleted: from spam@spam.example, \"Message 2\" (SPAM senders list: "
                             "\"spam.example\")";
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << ::testing::PrintToString(log);
    EXPECT_TRUE(QuarantineFiles(".eml").empty());
    EXPECT_TRUE(QuarantineFiles(".txt").empty());
    EXPECT_EQ(watch.Emails.Count(), 2);
}
