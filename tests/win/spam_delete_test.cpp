// The spam cycle and single deletions against maildrops on 127.0.0.x:110:
// what is deleted, in which order, and that a message is deleted only while
// it is still the one the check saw.
#include "mail_watch_support.h"

#include <algorithm>

namespace {
const char kHome[] = "127.0.0.2";
const char kWork[] = "127.0.0.3";

std::vector<TMaildropMessage> WithSpamAt(int count, std::initializer_list<int> spamNumbers)
{
    std::vector<TMaildropMessage> messages;
    for (int n = 1; n <= count; ++n) {
        const bool spam = std::find(spamNumbers.begin(), spamNumbers.end(), n) != spamNumbers.end();
        messages.push_back(MakeMessage("u" + std::to_string(n), spam ? "Promo <deals@spam.example>" : "friend@example.org",
                                       (spam ? "Offer " : "Note ") + std::to_string(n)));
    }
    return messages;
}

// The deletion session of messages 5 and 3.
const std::vector<std::string> FiveThenThree = {"USER alice", "PASS secret", "CAPA",   "UIDL 5", "UIDL 3", "RETR 5",
                                                "RETR 3",     "DELE 5",      "DELE 3", "QUIT"};
}  // namespace

TEST_F(MailWatchTest, SpamCycle_DeletesFiveThenThreeInOneSessionAndCountsTwo)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(6, {3, 5}));
    AddMailbox("Home", kHome);
    settings.SpamAddresses = ("SPAM.example");
    settings.CounterSpam = 10;
    watch.CheckAllMailboxes(false);
    const size_t checkSessions = home.Sessions().size();
    home.CommandsArrivedAhead = false;

    watch.DeleteSpamEmails();

    EXPECT_EQ(Deletions(home), (std::vector<std::string>{"DELE 5", "DELE 3"}));
    const auto sessions = home.Sessions();
    ASSERT_EQ(sessions.size(), checkSessions + 2);  // the deletions, then the re-check
    // Each message is checked, then fetched whole and copied, before any DELE; pipelined.
    EXPECT_EQ(sessions[checkSessions], FiveThenThree);
    EXPECT_TRUE(home.CommandsArrivedAhead);
    EXPECT_EQ(settings.CounterSpam, 12);
    EXPECT_EQ(screen.SpamDeletions, 2);
    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Note 1", "Note 2", "Note 4", "Note 6"}));
    EXPECT_EQ(watch.Emails.Count(), 4);
    const std::vector<std::string> log = Log();
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
              (std::vector<std::string>{
                  "Starting SPAM messages delete...",
                  "A message was deleted: from deals@spam.example, \"Offer 5\" (SPAM senders list: \"spam.example\")",
                  "A message was deleted: from deals@spam.example, \"Offer 3\" (SPAM senders list: \"spam.example\")",
                  "End of SPAM messages delete..."}));
    EXPECT_EQ(QuarantineFiles(".eml").size(), 2u);
    EXPECT_EQ(log[4], "Starting mailboxes check...");
    EXPECT_FALSE(watch.Busy);
}

TEST_F(MailWatchTest, SpamCycleWithoutPipelining_TheSameCommandsOneAtATime)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(6, {3, 5}));
    home.SupportsPipelining = false;
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    watch.CheckAllMailboxes(false);
    const size_t checkSessions = home.Sessions().size();

    EXPECT_EQ(watch.DeleteSpamEmails(), 2);

    EXPECT_EQ(home.Sessions()[checkSessions], FiveThenThree);
    EXPECT_FALSE(home.CommandsArrivedAhead);
    EXPECT_EQ(QuarantineFiles(".eml").size(), 2u);
}

TEST_F(MailWatchTest, SpamCycleWithoutSpam_StartAndEndLinesOnlyAndNoRecheck)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(2, {}));
    AddMailbox("Home", kHome);
    settings.SpamSubjects = ("casino");
    watch.CheckAllMailboxes(false);
    const size_t sessions = home.Sessions().size();
    watch.DeleteSpamEmails();
    EXPECT_EQ(Log(), (std::vector<std::string>{"Starting SPAM messages delete...", "End of SPAM messages delete..."}));
    EXPECT_EQ(home.Sessions().size(), sessions);
}

TEST_F(MailWatchTest, RefusedDeletion_IsNeitherCountedNorReportedAsDone)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(2, {2}));
    home.RefuseDele = true;
    AddMailbox("Home", kHome);
    settings.SpamAddresses = ("spam.example");
    watch.CheckAllMailboxes(false);
    watch.DeleteSpamEmails();
    EXPECT_EQ(settings.CounterSpam, 0);  // a message the server kept is not counted
    EXPECT_EQ(home.Messages().size(), 2u);
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1], "Error during 'Home' message delete : -ERR not done (DELE 2)");
    EXPECT_EQ(std::count(log.begin(), log.end(), "A message was deleted"), 0);
}

TEST_F(MailWatchTest, DeletionWhoseLoginIsRefused_SaysSoAndIsNotCounted)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(2, {2}));
    TMailBox& box = AddMailbox("Home", kHome);
    settings.SpamAddresses = ("spam.example");
    watch.CheckAllMailboxes(false);
    const size_t checkSessions = home.Sessions().size();
    box.Password = "changed";  // the password was changed on the server meanwhile
    watch.DeleteSpamEmails();
    EXPECT_EQ(settings.CounterSpam, 0);
    const std::vector<std::string> log = Log();
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
              (std::vector<std::string>{"Starting SPAM messages delete...",
                                        "Error during 'Home' connection : -ERR invalid login (PASS)",
                                        "End of SPAM messages delete..."}));
    EXPECT_EQ(home.Sessions()[checkSessions], (std::vector<std::string>{"USER alice", "PASS changed", "QUIT"}));
}

TEST_F(MailWatchTest, TimerTickWithSpamKiller_DeletesSpamAndSaysHowMany)
{
    TPop3Maildrop home(kHome), work(kWork);
    home.SetMessages(WithSpamAt(3, {1, 3}));
    work.SetMessages(WithSpamAt(2, {2}));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);
    settings.SpamAddresses = ("\r\nspam.example\r\n");
    settings.SpamKillerActive = true;
    watch.TimerCheck();
    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Note 2"}));
    EXPECT_EQ(Subjects(work), (std::vector<std::string>{"Note 1"}));
    EXPECT_EQ(Deletions(home), (std::vector<std::string>{"DELE 3", "DELE 1"}));
    EXPECT_EQ(Log().front(), "Starting SPAM messages delete...");
    EXPECT_EQ(Log().back(), "3 SPAM messages deleted");
    // The notices: the new mail the spam cycle keeps, then what it removed.
    std::vector<std::string> fresh, removed;
    for (const TMailSummary& m : screen.Fresh)
        fresh.push_back(m.Sender + " " + m.Subject);
    for (const TMailSummary& m : screen.SpamRemoved)
        removed.push_back(m.Sender + " " + m.Subject);
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(fresh, (std::vector<std::string>{"friend@example.org Note 2", "friend@example.org Note 1"}));
    EXPECT_EQ(removed, (std::vector<std::string>{"deals@spam.example Offer 1", "deals@spam.example Offer 2",
                                                 "deals@spam.example Offer 3"}));
}

// Another client removed message 1 between the check and the deletion: the
// spam seen as number 3 is now number 2, and number 3 is a wanted message.
class RenumberedMailboxTest : public MailWatchTest {
protected:
    void CheckThenAnotherClientRemovesMessageOne(TPop3Maildrop& home)
    {
        home.SetMessages(WithSpamAt(4, {3}));
        AddMailbox("Home", kHome);
        settings.SpamAddresses = ("spam.example");
        watch.CheckAllMailboxes(false);
        std::vector<TMaildropMessage> now = home.Messages();
        now.erase(now.begin());
        home.SetMessages(now);
    }
};

TEST_F(RenumberedMailboxTest, WithUidl_WantedMessageKeptAndNothingWrongDeleted)
{
    TPop3Maildrop home(kHome);
    CheckThenAnotherClientRemovesMessageOne(home);

    watch.DeleteSpamEmails();

    EXPECT_TRUE(Deletions(home).empty());
    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Note 2", "Offer 3", "Note 4"}));
    EXPECT_EQ(Log()[1], "Message 3 on 'Home' is no longer the one that was checked: it was not deleted");
}

TEST_F(RenumberedMailboxTest, DuringATimerTick_TheSpamLineCountsOnlyWhatTheServerConfirmed)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(4, {3}));
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    // Another client removes message 1 once the check is over and the spam cycle begins.
    screen.OnLogLine = [&home](const std::string& line) {
        if (line != "Starting SPAM messages delete...")
            return;
        std::vector<TMaildropMessage> now = home.Messages();
        now.erase(now.begin());
        home.SetMessages(now);
    };
    watch.TimerCheck();
    EXPECT_TRUE(Deletions(home).empty());
    EXPECT_EQ(watch.Emails.Count(), 3);  // one fewer, but none of them deleted here
    EXPECT_EQ(Log().back(), "End of mailboxes check");
}

TEST_F(RenumberedMailboxTest, WithoutUidl_SizeAndHeaderDecide)
{
    TPop3Maildrop home(kHome);
    home.SupportsUidl = false;
    CheckThenAnotherClientRemovesMessageOne(home);

    watch.DeleteSpamEmails();

    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Note 2", "Offer 3", "Note 4"}));
    // The re-check sees the spam again, now as message 2, and a later cycle removes it.
    watch.DeleteSpamEmails();
    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Note 2", "Note 4"}));
    const auto sessions = home.Sessions();
    const auto deletion = std::find_if(sessions.begin(), sessions.end(), [](const std::vector<std::string>& s) {
        return std::find(s.begin(), s.end(), "DELE 2") != s.end();
    });
    ASSERT_NE(deletion, sessions.end());
    EXPECT_EQ(*deletion,
              (std::vector<std::string>{"USER alice", "PASS secret", "LIST 2", "TOP 2 0", "RETR 2", "DELE 2", "QUIT"}));
}

TEST_F(MailWatchTest, SpamAboveNumberOneThousand_DeletedInDescendingNumericOrder)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(1200, {999, 1000, 1001, 1200}));
    AddMailbox("Home", kHome);
    settings.EmailLines = 0;
    settings.SpamAddresses = ("spam.example");
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 1200);
    watch.DeleteSpamEmails();
    EXPECT_EQ(Deletions(home), (std::vector<std::string>{"DELE 1200", "DELE 1001", "DELE 1000", "DELE 999"}));
    const std::vector<std::string> subjects = Subjects(home);
    ASSERT_EQ(subjects.size(), 1196u);
    for (const std::string& subject : subjects)
        EXPECT_EQ(subject.rfind("Note ", 0), 0u) << subject;
}

TEST_F(MailWatchTest, DeleteSelectedEmail_RereadsOnlyItsMailbox)
{
    TPop3Maildrop home(kHome), work(kWork);
    home.SetMessages(WithSpamAt(2, {}));
    work.SetMessages(WithSpamAt(3, {}));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);
    watch.CheckAllMailboxes(false);
    const TEmail* homeFirst = watch.Emails.ItemAs<TEmail>(0);
    const size_t workSessions = work.Sessions().size();

    watch.DeleteSelectedEmail(Email(3));  // Work002

    EXPECT_EQ(Subjects(work), (std::vector<std::string>{"Note 1", "Note 3"}));
    EXPECT_EQ(work.Sessions().size(), workSessions + 2);  // the deletion and the re-read
    EXPECT_EQ(home.Sessions().size(), 1u);
    EXPECT_EQ(watch.Emails.Count(), 4);
    EXPECT_EQ(watch.Emails.ItemAs<TEmail>(0), homeFirst);  // the other mailbox's emails stay as they were
    EXPECT_EQ(Log(), (std::vector<std::string>{"A message was deleted", "2 message(s) found on 'Work'"}));
    EXPECT_FALSE(watch.Busy);
}

TEST_F(MailWatchTest, UserTextsWithPercentSigns_AreNeverReadAsFormats)
{
    TPop3Maildrop home(kHome);
    home.SetMessages({MakeMessage("p", "%s%s%d@example.org", "100% %n%s free")});
    home.RefuseDele = true;
    AddMailbox("Box %s %d %n", kHome);
    settings.SpamSubjects = ("%n");
    watch.CheckAllMailboxes(false);
    watch.DeleteSpamEmails();
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1].rfind("Error during 'Box %s %d %n' message delete : ", 0), 0u) << log[1];
    EXPECT_EQ(Email(0).Subject, " 100% %n%s free");
}
