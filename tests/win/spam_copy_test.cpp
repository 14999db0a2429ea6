// The safety around the spam cycle against maildrops on 127.0.0.x:110: a
// whole copy on the disk before every DELE (and none when it cannot be
// made), the entry named in each line, the allow list and the guard.
#include "mail_watch_support.h"

#include <algorithm>

namespace {
const char kHome[] = "127.0.0.2";
const char kWork[] = "127.0.0.3";
const char kGuardKept[] =
    "The SPAM lists mark 30 of 40 messages of 'Home': none deleted. Check the lists, then use Erase all SPAM messages.";

std::vector<TMaildropMessage> WithSpamAt(int count, std::initializer_list<int> spamNumbers, int bodyLines = 2)
{
    std::vector<TMaildropMessage> messages;
    for (int n = 1; n <= count; ++n) {
        const bool spam = std::find(spamNumbers.begin(), spamNumbers.end(), n) != spamNumbers.end();
        messages.push_back(MakeMessage("u" + std::to_string(n), spam ? "Promo <deals@spam.example>" : "friend@example.org",
                                       (spam ? "Offer " : "Note ") + std::to_string(n), bodyLines));
    }
    return messages;
}

std::vector<TMaildropMessage> ThirtyOfForty()
{
    std::vector<TMaildropMessage> messages;
    for (int n = 1; n <= 40; ++n)
        messages.push_back(MakeMessage("g" + std::to_string(n), n <= 30 ? "deals@spam.example" : "friend@example.org",
                                       "Message " + std::to_string(n)));
    return messages;
}

bool HasLine(const std::vector<std::string>& log, const std::string& line)
{
    return std::find(log.begin(), log.end(), line) != log.end();
}
}  // namespace

TEST_F(MailWatchTest, SpamCycle_EachDeletedMessageHasAWholeCopyAndItsRecord)
{
    TPop3Maildrop home(kHome);
    // A dot-stuffed line and a line longer than the client's line buffer come back as they were.
    std::vector<TMaildropMessage> messages = WithSpamAt(3, {2});
    messages[1].Text += ".hidden dot\r\n" + std::string(9000, 'x') + "\r\nlast\r\n";
    const std::string original = messages[1].Text;
    home.SetMessages(messages);
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    watch.CheckAllMailboxes(false);

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    EXPECT_EQ(Deletions(home), (std::vector<std::string>{"DELE 2"}));
    const std::vector<std::string> copies = QuarantineFiles(".eml"), records = QuarantineFiles(".txt");
    ASSERT_EQ(copies.size(), 1u);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(QuarantineText(copies[0]), original);
    const std::string record = QuarantineText(records[0]);
    EXPECT_NE(record.find("deals@spam.example"), std::string::npos) << record;
    EXPECT_NE(record.find("Offer 2"), std::string::npos) << record;
    EXPECT_NE(record.find(copies[0]), std::string::npos) << record;
}

TEST_F(MailWatchTest, RetrCutInTheMiddle_ThatMessageStaysAndTheOtherMailboxIsStillCleaned)
{
    TPop3Maildrop home(kHome), work(kWork);
    home.SetMessages(WithSpamAt(3, {2, 3}, 200));
    work.SetMessages(WithSpamAt(2, {1}));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);
    settings.SpamAddresses = "spam.example";
    watch.CheckAllMailboxes(false);
    // Only the deletion session is cut, in the middle of RETR 3 (after USER
    // PASS CAPA UIDL 3 UIDL 2), with RETR 2 sent behind it.
    screen.OnLogLine = [&home](const std::string& line) {
        if (line == "Starting SPAM messages delete...")
            home.CutReplyOf = 6;
        if (line == "End of SPAM messages delete...")
            home.CutReplyOf = 0;
    };

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    EXPECT_TRUE(Deletions(home).empty());
    EXPECT_EQ(home.Messages().size(), 3u);
    EXPECT_EQ(Deletions(work), (std::vector<std::string>{"DELE 1"}));
    EXPECT_EQ(work.Messages().size(), 1u);
    const std::vector<std::string> log = Log();
    const auto line = std::find_if(log.begin(), log.end(), [](const std::string& l) {
        return l.rfind("Message 3 on 'Home' was not deleted: its copy could not be saved (the message arrived incomplete",
                       0) == 0;
    });
    EXPECT_NE(line, log.end());
    EXPECT_TRUE(HasLine(log, "Error during 'Home' message delete : the connection was lost (RETR 2)"))
        << ::testing::PrintToString(log);
    EXPECT_EQ(settings.CounterSpam, 1);
    EXPECT_EQ(QuarantineFiles(".eml").size(), 1u);  // Work's copy only
}

TEST_F(MailWatchTest, RetrShorterThanList_ThatMessageStaysAndTheNextOfTheSessionGoes)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(4, {2, 4}));
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    watch.CheckAllMailboxes(false);
    const int announced = static_cast<int>(home.Messages()[3].Text.size());
    home.ShortRetrOf = 4;

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    EXPECT_EQ(Deletions(home), (std::vector<std::string>{"DELE 2"}));
    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Note 1", "Note 3", "Offer 4"}));
    const int received = announced - static_cast<int>(std::string("Line 2 of u4\r\n").size());
    EXPECT_TRUE(HasLine(Log(), "Message 4 on 'Home' was not deleted: its copy could not be saved (" +
                                   std::to_string(received) + " bytes received where the server announced " +
                                   std::to_string(announced) + ")"));
    EXPECT_EQ(settings.CounterSpam, 1);
    EXPECT_EQ(screen.SpamDeletions, 1);
}

TEST_F(MailWatchTest, QuarantineFolderNotWritable_NoDeleAndTheLineNamesTheFile)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(3, {2, 3}));
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    // A folder that cannot be made: its parent is a plain file.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string blocker = std::string(temp) + "skarnvale-blocker-" + std::to_string(GetCurrentProcessId());
    HANDLE file = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    watch.QuarantineFolder = blocker + "\\Quarantine";
    watch.CheckAllMailboxes(false);

    EXPECT_EQ(watch.DeleteSpamEmails(), 0);
    DeleteFileA(blocker.c_str());

    EXPECT_TRUE(Deletions(home).empty());
    EXPECT_EQ(home.Messages().size(), 3u);
    const std::vector<std::string> log = Log();
    for (const char* number : {"2", "3"})
        EXPECT_TRUE(std::any_of(log.begin(), log.end(), [number](const std::string& l) {
            return l.rfind(std::string("Message ") + number +
                               " on 'Home' was not deleted: its copy could not be saved (the file '",
                           0) == 0;
        })) << ::testing::PrintToString(log);
    EXPECT_EQ(settings.CounterSpam, 0);
}

TEST_F(MailWatchTest, DaysZero_NoCopyAndDeletedAsBefore)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(2, {2}));
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    settings.SpamKeepDays = 0;
    watch.CheckAllMailboxes(false);
    const size_t checkSessions = home.Sessions().size();

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    EXPECT_EQ(home.Sessions()[checkSessions],
              (std::vector<std::string>{"USER alice", "PASS secret", "UIDL 2", "DELE 2", "QUIT"}));
    EXPECT_TRUE(QuarantineFiles(".eml").empty());
}

TEST_F(MailWatchTest, SingleDelete_KeepsACopyToo)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(2, {}));
    AddMailbox("Home", kHome);
    watch.CheckAllMailboxes(false);
    const int number = Email(1).Number;
    const std::string original = home.Messages()[static_cast<size_t>(number - 1)].Text;

    watch.DeleteSelectedEmail(Email(1));

    EXPECT_EQ(Deletions(home), (std::vector<std::string>{"DELE " + std::to_string(number)}));
    const std::vector<std::string> copies = QuarantineFiles(".eml");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(QuarantineText(copies[0]), original);
}

// A deletion the server refuses leaves the message there: its copy says the
// deletion was not confirmed, the next cycle's copy replaces it, and the
// cycle whose deletion the server takes marks the copy confirmed.
TEST_F(MailWatchTest, RefusedDeleTwiceThenTaken_OneCopyConfirmedOnlyAtTheEnd)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(WithSpamAt(3, {2}));
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    watch.CheckAllMailboxes(false);
    home.RefuseDele = true;
    const auto records = [this] {
        std::vector<std::string> texts;
        for (const std::string& name : QuarantineFiles(".txt"))
            texts.push_back(QuarantineText(name));
        return texts;
    };

    for (int cycle = 1; cycle <= 2; ++cycle) {
        EXPECT_EQ(watch.DeleteSpamEmails(), 0);
        EXPECT_EQ(home.Messages().size(), 3u);
        EXPECT_EQ(QuarantineFiles(".eml").size(), 1u) << "cycle " << cycle;
        ASSERT_EQ(records().size(), 1u) << "cycle " << cycle;
        EXPECT_NE(records()[0].find("\r\nConfirmed: no\r\n"), std::string::npos) << records()[0];
    }
    EXPECT_NE(records()[0].find("\r\nMessage: pop3://alice@127.0.0.2:110/u2\r\n"), std::string::npos)
        << records()[0];
    home.RefuseDele = false;

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Note 1", "Note 3"}));
    const std::vector<std::string> copies = QuarantineFiles(".eml");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(QuarantineText(copies[0]), WithSpamAt(3, {2})[1].Text);
    ASSERT_EQ(records().size(), 1u);
    EXPECT_NE(records()[0].find("\r\nConfirmed: yes\r\n"), std::string::npos) << records()[0];
}

TEST_F(MailWatchTest, AllowedSender_NeitherMarkedNorDeleted)
{
    TPop3Maildrop home(kHome);
    std::vector<TMaildropMessage> messages = WithSpamAt(2, {1, 2});
    messages[0] = MakeMessage("u1", "News <letter@news.example>", "Offer 1");
    home.SetMessages(messages);
    AddMailbox("Home", kHome);
    settings.SpamSubjects = "offer";
    settings.SpamAllowed = "news.example";
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 2);
    const TEmail& allowed = Email(0).Subject.find("Offer 1") != std::string::npos ? Email(0) : Email(1);
    EXPECT_FALSE(watch.IsSpamEmail(allowed));
    EXPECT_FALSE(watch.SpamLists().Marks(allowed));  // the grid's red rows

    EXPECT_EQ(watch.DeleteSpamEmails(), 1);

    EXPECT_EQ(Deletions(home), (std::vector<std::string>{"DELE 2"}));
    EXPECT_EQ(Subjects(home), (std::vector<std::string>{"Offer 1"}));
    EXPECT_TRUE(HasLine(Log(), "A message was deleted: from deals@spam.example, \"Offer 2\" (SPAM subjects list: \"offer\")"));
}

TEST_F(MailWatchTest, TimerCycleMarkingThirtyOfForty_KeepsTheMailboxWholeAndSaysWhy)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(ThirtyOfForty());
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    settings.SpamKillerActive = true;

    watch.TimerCheck();

    EXPECT_TRUE(Deletions(home).empty());
    EXPECT_EQ(home.Messages().size(), 40u);
    EXPECT_TRUE(HasLine(Log(), kGuardKept)) << ::testing::PrintToString(Log());
    EXPECT_EQ(screen.GuardKept, (std::vector<std::string>{kGuardKept}));
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(settings.CounterSpam, 0);
}

TEST_F(MailWatchTest, TimerCycle_GuardKeepsOneMailboxAndCleansTheOther)
{
    TPop3Maildrop home(kHome), work(kWork);
    home.SetMessages(ThirtyOfForty());
    work.SetMessages(WithSpamAt(3, {2}));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);
    settings.SpamAddresses = "spam.example";

    watch.TimerCheck();

    EXPECT_TRUE(Deletions(home).empty());
    EXPECT_EQ(Deletions(work), (std::vector<std::string>{"DELE 2"}));
}

TEST_F(MailWatchTest, EraseAllMarkingThirtyOfForty_AsksOnceAndDeletesOnlyAfterYes)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(ThirtyOfForty());
    AddMailbox("Home", kHome);
    settings.SpamAddresses = "spam.example";
    watch.CheckAllMailboxes(false);

    confirmAnswer = false;
    EXPECT_EQ(watch.DeleteSpamEmails(TSpamCycleStart::User), 0);
    EXPECT_TRUE(Deletions(home).empty());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("30 of 40 messages of 'Home'"), std::string::npos) << questions[0];

    confirmAnswer = true;
    EXPECT_EQ(watch.DeleteSpamEmails(TSpamCycleStart::User), 30);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(home.Messages().size(), 10u);
    EXPECT_EQ(QuarantineFiles(".eml").size(), 30u);
}

namespace {
// A file of the quarantine folder of `bytes` bytes, last written `daysAgo` days ago.
void WriteAged(const std::string& path, int daysAgo, std::size_t bytes = 1)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, std::string(bytes, 'x').data(), static_cast<DWORD>(bytes), &written, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(daysAgo) * 86400ULL * 10000000ULL;
    const FILETIME then{t.LowPart, t.HighPart};
    SetFileTime(file, nullptr, nullptr, &then);
    CloseHandle(file);
}
}  // namespace

TEST_F(MailWatchTest, PruneQuarantine_RemovesBothFilesOfCopiesOlderThanTheDays)
{
    settings.SpamKeepDays = 30;
    CreateDirectoryA(quarantine.c_str(), nullptr);
    const auto write = [this](const std::string& name, int daysAgo) { WriteAged(quarantine + "\\" + name, daysAgo); };
    write("20261001-100000_Home_old.eml", 40);
    write("20261001-100000_Home_old.txt", 40);
    write("20261201-100000_Home_new.eml", 2);
    write("20261201-100000_Home_new.txt", 2);

    watch.PruneQuarantine();

    EXPECT_EQ(QuarantineFiles(".eml"), (std::vector<std::string>{"20261201-100000_Home_new.eml"}));
    EXPECT_EQ(QuarantineFiles(".txt"), (std::vector<std::string>{"20261201-100000_Home_new.txt"}));
}

TEST_F(MailWatchTest, PruneQuarantine_OverTheCap_RemovesTheOldestCopiesUntilUnderIt)
{
    settings.SpamKeepDays = 30;
    settings.SpamCopiesCapMB = 1;
    CreateDirectoryA(quarantine.c_str(), nullptr);
    // Four copies of 400 KB, each with its record, 4 to 1 days old: 1.6 MB for a cap of 1 MB.
    for (int daysAgo = 4; daysAgo >= 1; --daysAgo) {
        const std::string base = quarantine + "\\2026120" + std::to_string(9 - daysAgo) + "-100000_Home_" +
                                 std::to_string(daysAgo);
        WriteAged(base + ".eml", daysAgo, 400 * 1024);
        WriteAged(base + ".txt", daysAgo, 100);
    }

    watch.PruneQuarantine();

    EXPECT_EQ(QuarantineFiles(".eml"),
              (std::vector<std::string>{"20261207-100000_Home_2.eml", "20261208-100000_Home_1.eml"}));
    EXPECT_EQ(QuarantineFiles(".txt"),
              (std::vector<std::string>{"20261207-100000_Home_2.txt", "20261208-100000_Home_1.txt"}));
}
