// The mail watch's check against maildrops on 127.0.0.x:110: what it reads,
// what it logs and shows, and when it tells the user about new mail.
#include "mail_watch_support.h"

#include <thread>

#include "app/unitGlobal.h"
#include "settings/SettingsValues.h"
#include "wsocket_support.h"

namespace {
const char kHome[] = "127.0.0.2";
const char kWork[] = "127.0.0.3";
const char kEmpty[] = "127.0.0.4";
}  // namespace

TEST_F(MailWatchTest, CheckThreeMailboxes_LogsEachAndReadsEveryMessage)
{
    TPop3Maildrop home(kHome), work(kWork, "other"), empty(kEmpty);
    home.SetMessages({MakeMessage("a", " Bob <bob@example.org>", "Hello", 3),
                      MakeMessage("b", "carol@example.org", ".dotted subject", 1)});
    work.SetMessages(Numbered(2));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);  // its password is refused
    AddMailbox("Empty", kEmpty);

    watch.CheckAllMailboxes(false);

    EXPECT_EQ(Log(), (std::vector<std::string>{"Starting mailboxes check...", "2 message(s) found on 'Home'",
                                               "Error during 'Work' connection : -ERR invalid login (PASS)",
                                               "No message found on 'Empty'", "End of mailboxes check"}));
    ASSERT_EQ(watch.Emails.Count(), 2);
    const TEmail& first = Email(0);
    EXPECT_EQ(first.Name, "Home001");
    EXPECT_EQ(first.From, "  Bob <bob@example.org>");
    EXPECT_EQ(first.Subject, " Hello");
    EXPECT_EQ(first.Size, std::to_string(home.Messages()[0].Text.size()) + " bytes");
    EXPECT_EQ(first.Body, "Line 1 of a\r\nLine 2 of a\r\n");
    EXPECT_NE(first.Header.find("Subject: Hello\r\n"), std::string::npos);
    EXPECT_EQ(Email(1).Subject, " .dotted subject");
    // The conversation of a check: the capabilities, the listing, then the
    // header and the first lines of each message, pipelined.
    const std::vector<std::string> expected = {"USER alice", "PASS secret", "CAPA",    "LIST",    "UIDL",
                                               "TOP 1 0",    "TOP 1 2",     "TOP 2 0", "TOP 2 2", "QUIT"};
    EXPECT_EQ(home.AllCommands(), expected);
    EXPECT_TRUE(home.CommandsArrivedAhead);
    EXPECT_EQ(empty.AllCommands(), (std::vector<std::string>{"USER alice", "PASS secret", "CAPA", "LIST", "UIDL", "QUIT"}));
    EXPECT_EQ(work.AllCommands(), (std::vector<std::string>{"USER alice", "PASS secret", "QUIT"}));
    EXPECT_EQ(watch.Busy, false);
}

TEST_F(MailWatchTest, CheckStatus_SaysHowManyAndWhen)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Numbered(3));
    AddMailbox("Home", kHome);
    watch.CheckAllMailboxes(false);
    char hhnn[16];
    const std::tm local = *std::localtime(&watch.LastCheck);
    char separator[8] = ":";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator);
    std::snprintf(hhnn, sizeof hhnn, "%02d%s%02d", local.tm_hour, separator, local.tm_min);
    EXPECT_EQ(Status(), std::string("3 messages found (") + hhnn + ")");
    EXPECT_FALSE(screen.Working);

    home.SetMessages({});
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(watch.Emails.Count(), 0);
    EXPECT_EQ(Status().rfind("No message found (", 0), 0u);
}

TEST_F(MailWatchTest, NoMailboxConfigured_StartAndEndLinesOnly)
{
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(Log(), (std::vector<std::string>{"Starting mailboxes check...", "End of mailboxes check"}));
    EXPECT_EQ(watch.Emails.Count(), 0);
}

TEST_F(MailWatchTest, MessageWithoutFrom_GetsEmptyFromAfterOneWithIt)
{
    TPop3Maildrop home(kHome);
    home.SetMessages({MakeMessage("a", "bob@example.org", "One"),
                      {"b", "To: alice@example.org\r\nSubject: Two\r\n\r\nbody\r\n"},
                      {"c", "From: dave@example.org\r\nSubject: All header\r\n"}});
    AddMailbox("Home", kHome);
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 3);
    EXPECT_EQ(Email(0).From, " bob@example.org");
    EXPECT_EQ(Email(1).From, "");
    // A reply that ends without an empty line ends the header there.
    EXPECT_EQ(Email(2).From, " dave@example.org");
    EXPECT_EQ(Email(2).Subject, " All header");
}

TEST_F(MailWatchTest, EncodedAndFoldedSubjects_GridShowsThemAsWrittenForPeopleAndSpamListsMatchThat)
{
    const struct {
        const char* written;
        const char* shown;
        bool spam;
    } subjects[] = {
        {"=?UTF-8?B?Q2Fmw6kgzqkgNeKCrA==?=", " Café Ω 5€", true},
        {"=?ISO-8859-1?Q?Pr=EAt_=E0_taux_z=E9ro?=", " Prêt à taux zéro", true},
        {"=?UTF-8?Q?Un_t=C3?=\r\n =?UTF-8?Q?=A9l=C3=A9phone?=", " Un téléphone", true},  // é split in two
        {"Meeting notes\r\n\tfor Friday", " Meeting notes for Friday", true},
        {"=?UTF-8?Q?caf=C3=A?=", " =?UTF-8?Q?caf=C3=A?=", false},
        {"=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", " テスト", false},
    };
    TPop3Maildrop home(kHome);
    std::vector<TMaildropMessage> messages;
    for (const auto& subject : subjects)
        messages.push_back(MakeMessage(std::to_string(messages.size()),
                                       "=?ISO-8859-15?Q?=A4uro_Andr=E9?= <andre@example.org>", subject.written));
    home.SetMessages(messages);
    AddMailbox("Home", kHome);
    settings.SpamSubjects = "café\r\nzéro\r\ntéléphone\r\nfriday";
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 6);
    for (int i = 0; i < 6; ++i) {
        const TEmail& email = Email(i);
        EXPECT_EQ(email.DecodedSubject, subjects[i].shown) << i;
        EXPECT_EQ(watch.IsSpamEmail(email), subjects[i].spam) << i;
        EXPECT_NE(email.Header.find(std::string("Subject: ") + subjects[i].written + "\r\n"), std::string::npos);
    }
    EXPECT_EQ(GetDecodedEmailAddress(Email(0)), "andre@example.org");
    EXPECT_EQ(Email(0).DecodedFrom, " €uro André <andre@example.org>");
}

TEST_F(MailWatchTest, MailboxesThatCannotBeRead_EachSaysWhyAndTheStatusCountsThem)
{
    TPop3Maildrop work(kWork, "other"), grumpy(kEmpty), mute("127.0.0.6"), good("127.0.0.8");
    grumpy.NegativeGreeting = true;
    mute.Mute = true;
    good.SetMessages(Numbered(1));
    AddMailbox("Nowhere", "127.0.0.9");
    AddMailbox("Work", kWork);
    AddMailbox("Grumpy", kEmpty);
    AddMailbox("Mute", "127.0.0.6");
    AddMailbox("Good", "127.0.0.8");
    // A Security value the program does not know: never reached at all.
    TPop3Maildrop damaged("127.0.0.10");
    TMailBox& unknown = AddMailbox("Damaged", "127.0.0.10");
    unknown.Security = MailboxSecurityUnknown;
    unknown.UnknownSecurity = "7";
    // OAuth 2.0 in clear, and OAuth without a sign-in: never reached either.
    TPop3Maildrop clear("127.0.0.11"), unsigned_("127.0.0.12");
    AddMailbox("Clear", "127.0.0.11").Auth = MailboxAuthOAuth;
    TMailBox& notSignedIn = AddMailbox("Unsigned", "127.0.0.12");
    notSignedIn.Auth = MailboxAuthOAuth;
    notSignedIn.Security = MailboxSecurityImplicit;
    // A stored password that does not open here (another user's): never sent.
    TPop3Maildrop sealed("127.0.0.13");
    TMailBox& unreadable = AddMailbox("Sealed", "127.0.0.13");
    unreadable.Password.clear();
    unreadable.UnreadablePassword = "dpapi:AAAA";
    watch.Pop.Timeout = 1;
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         "Starting mailboxes check...",
                         "Error during 'Nowhere' connection : -ERR Connection refused (Winsock error #10061) (connect)",
                         "Error during 'Work' connection : -ERR invalid login (PASS)",
                         "Error during 'Grumpy' connection : -ERR go away (connect)",
                         "Error during 'Mute' connection : 426 Timeout (connect)", "1 message(s) found on 'Good'",
                         "Error during 'Damaged' connection : unknown Security value \"7\": choose one in the "
                         "options (Security)",
                         "Error during 'Clear' connection : -ERR OAuth sign-in is only sent over TLS: choose TLS or "
                         "STLS for this mailbox (AUTH)",
                         "Error during 'Unsigned' connection : not signed in, choose Sign in (OAuth)",
                         "Error during 'Sealed' connection : the stored password cannot be read (another Windows "
                         "user's, or damaged): type it again in the options (PASS)",
                         "End of mailboxes check"}));
    EXPECT_TRUE(sealed.Sessions().empty());
    EXPECT_TRUE(damaged.Sessions().empty());
    EXPECT_TRUE(clear.Sessions().empty());
    EXPECT_TRUE(unsigned_.Sessions().empty());
    EXPECT_EQ(work.AllCommands(), (std::vector<std::string>{"USER alice", "PASS secret", "QUIT"}));
    EXPECT_TRUE(grumpy.AllCommands().empty());
    EXPECT_TRUE(mute.AllCommands().empty());
    EXPECT_EQ(watch.Emails.Count(), 1);
    const std::string status = Status();
    EXPECT_EQ(status.rfind("One message found (", 0), 0u) << status;
    EXPECT_EQ(status.substr(status.size() - 24), ", 8 mailbox(es) in error") << status;

    for (int i = 8; i >= 5; --i)
        settings.Mailboxes.Delete(i);
    while (settings.Mailboxes.Count() > 1)  // only Good is left: nothing in error any more
        settings.Mailboxes.Delete(0);
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(Status().find("in error"), std::string::npos);
}

TEST_F(MailWatchTest, ServerRefusingOneMessage_ItsRowShowsNothingOfAnother)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Numbered(3));
    home.RefuseNumber = 2;
    home.SupportsCapa = false;  // the classic conversation, where the size comes from LIST n
    home.SupportsUidl = false;
    AddMailbox("Home", kHome);
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 3);
    const TEmail& refused = Email(1);
    EXPECT_EQ(refused.Size, "");
    EXPECT_EQ(refused.Subject, "");
    EXPECT_EQ(refused.From, "");
    EXPECT_EQ(Email(2).Subject, " Note 3");
    EXPECT_EQ(Log()[1], "3 message(s) found on 'Home'");
    const auto commands = home.AllCommands();
    EXPECT_EQ(std::vector<std::string>(commands.begin() + 8, commands.begin() + 11),
              (std::vector<std::string>{"LIST 2", "TOP 2 0", "TOP 2 2"}));
}

TEST_F(MailWatchTest, OverLongListLines_CountOneMessageEach)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Numbered(2));
    home.ListPadding = 6000;  // each list line is cut by the line buffer
    AddMailbox("Home", kHome);
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(Log()[1], "2 message(s) found on 'Home'");
    EXPECT_EQ(watch.Emails.Count(), 2);
}

TEST_F(MailWatchTest, ServerClosingMidCheck_LogsALoadingErrorAndKeepsWhatWasRead)
{
    // A server that lists three messages and goes away after sending the first.
    SOCKET listener = ListenOnPop3Port("127.0.0.5");
    ASSERT_NE(listener, INVALID_SOCKET);
    std::thread server([listener] {
        SOCKET client = accept(listener, nullptr, nullptr);
        const auto readLine = [client] {
            char c;
            std::string line;
            while (recv(client, &c, 1, 0) == 1 && c != '\n')
                line += c;
        };
        TLoopbackServer::SendAll(client, "+OK hi\r\n");
        // Neither CAPA nor UIDL: the classic conversation, one command at a time.
        const char* replies[] = {"+OK\r\n", "+OK\r\n", "-ERR\r\n", "+OK\r\n1 10\r\n2 10\r\n3 10\r\n.\r\n", "-ERR\r\n",
                                 "+OK 1 10\r\n", "+OK\r\nSubject: kept\r\n\r\n.\r\n", "+OK\r\nSubject: kept\r\n\r\n.\r\n"};
        for (const char* reply : replies) {
            readLine();
            TLoopbackServer::SendAll(client, reply);
        }
        readLine();  // LIST 2, never answered
        closesocket(client);
    });
    AddMailbox("Flaky", "127.0.0.5");
    watch.CheckAllMailboxes(false);
    server.join();
    closesocket(listener);
    ASSERT_EQ(watch.Emails.Count(), 1);
    EXPECT_EQ(Email(0).Subject, " kept");
    const std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].rfind("Error during 'Flaky' loading : the connection was lost (", 0), 0u) << log[1];
}

TEST_F(MailWatchTest, MailboxesRemovedDuringTheCheck_OnlyThoseStillListedAreRead)
{
    TPop3Maildrop home(kHome), work(kWork);
    home.SetMessages(Numbered(2));
    work.SetMessages(Numbered(2));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);
    std::vector<std::unique_ptr<TMyItem>> removed;
    // While the first mailbox is read, the user deletes every mailbox.
    static std::vector<std::unique_ptr<TMyItem>>* keep;
    static TMyCollection* mailboxes;
    keep = &removed;
    mailboxes = &settings.Mailboxes;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
        while (mailboxes->Count() > 0)
            keep->push_back(mailboxes->Delete(0));
    });
    watch.CheckAllMailboxes(false);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(work.Sessions().empty());
    EXPECT_EQ(Log().back(), "End of mailboxes check");
    watch.Emails.Clear();  // its emails point at the removed mailboxes
}

TEST_F(MailWatchTest, TimerTickDuringACheck_DoesNothing)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Numbered(3));
    AddMailbox("Home", kHome);
    static TMailWatch* ticking;
    ticking = &watch;
    const UINT_PTR timer =
        SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK { ticking->TimerCheck(); });
    watch.CheckAllMailboxes(false);
    KillTimer(nullptr, timer);
    EXPECT_EQ(home.Sessions().size(), 1u);
}

// The new-mail rule: which counts after which tell the user.
TEST_F(MailWatchTest, NewMailRule_TellsTheScreensOfAnotherCountOrAMessageNotSeenBefore)
{
    std::vector<TMaildropMessage> oneReplaced = Numbered(2);
    oneReplaced.erase(oneReplaced.begin());
    oneReplaced.push_back(MakeMessage("new", "friend@example.org", "New"));
    const struct {
        const char* name;
        std::vector<TMaildropMessage> before, after;
        bool uidl;
        bool told;
        std::vector<std::string> fresh;  // the subjects of the messages named new
    } cases[] = {
        {"more messages", Numbered(2), Numbered(3, "n"), true, true, {"Note 1", "Note 2", "Note 3"}},
        {"fewer messages", Numbered(3), Numbered(2, "n"), true, true, {"Note 1", "Note 2"}},
        {"no message left", Numbered(3), {}, true, false, {}},
        {"the same messages", Numbered(2), Numbered(2), true, false, {}},
        {"same count, one new by its unique id", Numbered(2), oneReplaced, true, true, {"New"}},
        {"same count, other messages without unique ids", Numbered(2), Numbered(2, "n"), false, false, {}},
        {"one more without unique ids: the last", Numbered(2), Numbered(3), false, true, {"Note 3"}},
        {"fewer without unique ids: none new", Numbered(3), Numbered(2), false, true, {}},
    };
    for (const auto& c : cases) {
        TPop3Maildrop home(kHome);
        home.SupportsUidl = c.uidl;
        settings.Mailboxes.Clear();
        AddMailbox("Home", kHome);
        home.SetMessages(c.before);
        watch.CheckAllMailboxes(false);
        screen.NewMail = 0;
        screen.Fresh.clear();
        home.SetMessages(c.after);
        watch.TimerCheck();
        EXPECT_EQ(screen.NewMail > 0, c.told) << c.name;
        std::vector<std::string> fresh;
        for (const TMailSummary& m : screen.Fresh)
            fresh.push_back(m.Subject);
        EXPECT_EQ(fresh, c.fresh) << c.name;
    }
}

TEST_F(MailWatchTest, HugeMessage_KeepsAtMostAboutOneMegabyteOfItsText)
{
    TPop3Maildrop home(kHome);
    TMaildropMessage huge = MakeMessage("h", "big@example.org", "Huge", 0);
    const std::string line(1000, 'x');
    for (int i = 0; i < 3000; ++i)  // three megabytes of body
        huge.Text += line + "\r\n";
    home.SetMessages({huge, MakeMessage("s", "small@example.org", "Small")});
    AddMailbox("Home", kHome);
    settings.EmailLines = 5000;
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 2);
    const TEmail& first = Email(0);
    EXPECT_GT(first.Body.size(), 1000000u);
    EXPECT_LT(first.Body.size(), 1100000u);
    EXPECT_EQ(Email(1).Subject, " Small");  // the reply was read to its end
}

TEST_F(MailWatchTest, QuitChosenDuringATricklingReply_EndsTheCheckWithinASecond)
{
    TPop3Maildrop home(kHome), work(kWork);
    home.SetMessages(Numbered(3));
    home.TrickleMs = 200;  // a TOP reply that never ends, each line within the silence limit
    work.SetMessages(Numbered(2));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);
    static DWORD quitAt;
    static TMailWatch* quitting;
    quitting = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1500, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
        quitAt = GetTickCount();
        quitting->RequestQuit();
    });
    watch.CheckAllMailboxes(false);
    const DWORD ended = GetTickCount();
    KillTimer(nullptr, timer);
    EXPECT_LT(ended - quitAt, 1000u);
    EXPECT_EQ(home.Sessions().back(),
              (std::vector<std::string>{"USER alice", "PASS secret", "CAPA", "LIST", "UIDL", "TOP 1 0"}));
    EXPECT_TRUE(work.Sessions().empty());
    EXPECT_FALSE(watch.Busy);
    watch.QuitRequested = false;
    watch.Pop.AllowRequests();
}

TEST_F(MailWatchTest, TricklingReply_EndsAtTheRequestLimitWithAnErrorLine)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Numbered(1));
    home.TrickleMs = 200;
    AddMailbox("Home", kHome);
    watch.Pop.RequestLimit = 2;
    const DWORD start = GetTickCount();
    watch.CheckAllMailboxes(false);
    EXPECT_LT(GetTickCount() - start, 6000u);
    EXPECT_EQ(Log()[1], "Error during 'Home' loading : 426 Timeout: request longer than 2 s (TOP 1 0)");
    EXPECT_EQ(watch.Emails.Count(), 0);
    EXPECT_NE(Status().find(", 1 mailbox(es) in error"), std::string::npos);
}

TEST_F(MailWatchTest, EndlessList_EndsAtTheMostMessagesAMailboxMayHaveWithAnErrorLine)
{
    TPop3Maildrop home(kHome), work(kWork);
    home.SetMessages(Numbered(1));
    home.EndlessList = true;
    work.SetMessages(Numbered(2));
    AddMailbox("Home", kHome);
    AddMailbox("Work", kWork);
    watch.MaxListedMessages = 20000;
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(Log()[1], "Error during 'Home' loading : 426 more than 20000 messages listed (LIST)");
    EXPECT_EQ(Log()[2], "2 message(s) found on 'Work'");  // the next mailbox is read as usual
    EXPECT_EQ(watch.Emails.Count(), 2);
}

// What a check gets from a server that pipelines and gives unique ids, from
// one that gives ids only, and from one that does neither (the classic
// conversation): the same emails, check after check, with only what is new read.
namespace {
const char kPlain[] = "127.0.0.4";

std::vector<TMaildropMessage> MixedMailbox()
{
    std::vector<TMaildropMessage> messages = {
        MakeMessage("a", " Bob <bob@example.org>", "Hello", 3), MakeMessage("b", "carol@example.org", ".dotted", 1),
        MakeMessage("c", "refused@example.org", "Refused"), {"d", "Subject: no sender\r\n\r\n..stuffed\r\nplain\r\n"},
        MakeMessage("e", "eve@example.org", "Last", 0)};
    return messages;
}

// Every field the grid and the window show, for one mailbox's emails.
std::vector<std::string> EmailRows(const TMyCollection& emails, const TMailBox& mailBox)
{
    std::vector<std::string> rows;
    for (int i = 0; i < emails.Count(); ++i) {
        const TEmail& e = *emails.ItemAs<TEmail>(i);
        if (e.MailboxId == mailBox.Id)
            rows.push_back(std::to_string(e.Number) + "|" + e.From + "|" + e.To + "|" + e.Subject + "|" + e.Size +
                           "|" + e.Header + "|" + e.Body);
    }
    return rows;
}

std::vector<std::string> LastSession(TPop3Maildrop& maildrop) { return maildrop.Sessions().back(); }
}  // namespace

TEST_F(MailWatchTest, ReuseAndPipelining_SameEmailsAsTheClassicConversationReadingOnlyWhatIsNew)
{
    TPop3Maildrop modern(kHome), idsOnly(kWork), plain(kPlain);
    idsOnly.SupportsCapa = false;
    plain.SupportsCapa = false;
    plain.SupportsUidl = false;
    for (TPop3Maildrop* maildrop : {&modern, &idsOnly, &plain}) {
        maildrop->SetMessages(MixedMailbox());
        maildrop->RefuseTopOf = 3;
    }
    const TMailBox& m = AddMailbox("Modern", kHome);
    const TMailBox& i = AddMailbox("Ids", kWork);
    const TMailBox& p = AddMailbox("Plain", kPlain);
    const auto Rows = [this](const TMailBox& mailBox) { return EmailRows(watch.Emails, mailBox); };
    const auto sameEverywhere = [&] {
        EXPECT_EQ(Rows(m).size(), modern.Messages().size());
        EXPECT_EQ(Rows(m), Rows(p));
        EXPECT_EQ(Rows(i), Rows(p));
    };

    watch.CheckAllMailboxes(false);
    sameEverywhere();
    EXPECT_EQ(Rows(m)[2], "3||||" + std::to_string(modern.Messages()[2].Text.size()) + " bytes||");
    EXPECT_TRUE(modern.CommandsArrivedAhead);
    EXPECT_FALSE(idsOnly.CommandsArrivedAhead);
    EXPECT_FALSE(plain.CommandsArrivedAhead);
    const std::vector<std::string> classic = {"USER alice", "PASS secret", "CAPA", "LIST", "UIDL", "LIST 1", "TOP 1 0"};
    const std::vector<std::string> plainSession = LastSession(plain);
    EXPECT_EQ(std::vector<std::string>(plainSession.begin(), plainSession.begin() + 7), classic);

    // Nothing new: only the message the server refused is asked again.
    watch.CheckAllMailboxes(false);
    sameEverywhere();
    const std::vector<std::string> refusedOnly = {"USER alice", "PASS secret", "CAPA", "LIST", "UIDL",
                                                  "TOP 3 0",    "TOP 3 2",     "QUIT"};
    EXPECT_EQ(LastSession(modern), refusedOnly);
    EXPECT_EQ(LastSession(idsOnly), refusedOnly);
    EXPECT_EQ(LastSession(plain).size(), 21u);  // every message read again

    // Another client removed message 1 (numbers shift, ids do not), message
    // "b" changed its size under its id, and one message arrived.
    for (TPop3Maildrop* maildrop : {&modern, &idsOnly, &plain}) {
        std::vector<TMaildropMessage> now = MixedMailbox();
        now.erase(now.begin());
        now[0].Text += "one more line\r\n";
        now.push_back(MakeMessage("f", "new@example.org", "New"));
        maildrop->SetMessages(now);
        maildrop->RefuseTopOf = 2;
    }
    watch.CheckAllMailboxes(false);
    sameEverywhere();
    EXPECT_EQ(LastSession(modern), (std::vector<std::string>{"USER alice", "PASS secret", "CAPA", "LIST", "UIDL",
                                                             "TOP 1 0", "TOP 1 2", "TOP 2 0", "TOP 2 2", "TOP 5 0",
                                                             "TOP 5 2", "QUIT"}));
}

TEST_F(MailWatchTest, PipelinedReplyCutInTheMiddle_KeepsTheMessagesBeforeAndLogsALoadingError)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Numbered(5));
    home.CutReplyOf = 10;  // TOP 3 0, after USER PASS CAPA LIST UIDL and two messages
    AddMailbox("Home", kHome);
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 2);
    EXPECT_EQ(Email(1).Subject, " Note 2");
    const std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].rfind("Error during 'Home' loading : the connection was lost (", 0), 0u) << log[1];

    // The next check reads only the messages it did not get whole.
    home.CutReplyOf = 0;
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(watch.Emails.Count(), 5);
    EXPECT_EQ(home.Sessions().back()[5], "TOP 3 0");
}
