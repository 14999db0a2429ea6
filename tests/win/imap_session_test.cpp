// The IMAP session over real loopback sockets under Wine. Against the
// scripted IMAP servers (tests/servers/imap_script_server.py) that
// tests/e2e/test_imap_session.py starts and names in SKARNVALE_IMAP_PORT_*
// (user "alice", password "secret", three messages, UIDVALIDITY 1234);
// without them those tests are skipped.
#include "wsocket_support.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "app/unitGlobal.h"
#include "imap/ImapSession.h"
#include "mail/MailWatch.h"
#include "settings/Settings.h"

namespace {

bool Aim(TImapSession& session, const char* portVariable, TImapSecurity security)
{
    const char* port = std::getenv(portVariable);
    if (!port)
        return false;
    TImapAccount& account = session.Conversation.Account;
    account.Host = "127.0.0.1";
    account.Port = std::atoi(port);
    account.Security = security;
    account.User = "alice";
    account.Secret = "secret";
    if (const char* pin = std::getenv("SKARNVALE_TLS_PIN"))
        session.Fingerprint = pin;
    return true;
}

// Runs a check to its end (Ready, Failed or Done) with a deadline.
bool Check(TImapSession& session)
{
    bool finished = false;
    session.OnFinished = [&](TImapSession&) { finished = true; };
    session.Open();
    return PumpUntil([&] { return finished; }, 15000);
}

bool LogOut(TImapSession& session)
{
    bool finished = false;
    session.OnFinished = [&](TImapSession&) { finished = true; };
    session.Logout();
    return PumpUntil([&] { return finished && !session.Connected(); }, 15000) &&
           session.Conversation.Step() == TImapStep::Done;
}

// Moves these messages to the spam folder and waits for the result.
bool MoveSpam(TImapSession& session, const std::vector<std::uint32_t>& uids)
{
    bool finished = false;
    session.OnFinished = [&](TImapSession&) { finished = true; };
    return session.MoveToSpam(uids) && PumpUntil([&] { return finished; }, 15000) &&
           session.Conversation.Step() == TImapStep::Ready;
}

std::vector<std::uint32_t> Uids(const TImapSession& session)
{
    std::vector<std::uint32_t> uids;
    for (const TImapFetch& fetch : session.Conversation.NewMessages())
        uids.push_back(fetch.Uid);
    return uids;
}

}  // namespace

TEST(ImapSession, NoServer_FailsWithTheConnectionError)
{
    TImapSession session;
    session.Conversation.Account.Host = "127.0.0.1";
    session.Conversation.Account.Port = UnusedLoopbackPort();
    session.Conversation.Account.Security = TImapSecurity::None;
    ASSERT_TRUE(Check(session));
    EXPECT_EQ(session.Conversation.Step(), TImapStep::Failed);
    EXPECT_EQ(session.Conversation.ErrorText(), "the connection failed: Connection refused");
    EXPECT_FALSE(session.Connected());
    // Opened again, it reports again.
    session.Conversation.Account.Host = "";
    ASSERT_TRUE(Check(session));
    EXPECT_EQ(session.Conversation.Step(), TImapStep::Failed);
    EXPECT_EQ(session.Conversation.ErrorText().rfind("the server's name cannot be looked up: ", 0), 0u)
        << session.Conversation.ErrorText();
}

TEST(ImapSession, ScriptedServer_NewHeadersInOneFetchThenNothingNew)
{
    TImapSession session;
    if (!Aim(session, "SKARNVALE_IMAP_PORT", TImapSecurity::None))
        GTEST_SKIP() << "no scripted IMAP server for this run";
    session.Conversation.KnownUidValidity = 1234;
    session.Conversation.KnownLastUid = 1;
    ASSERT_TRUE(Check(session));
    ASSERT_EQ(session.Conversation.Step(), TImapStep::Ready) << session.Conversation.ErrorText();
    EXPECT_EQ(Uids(session), (std::vector<std::uint32_t>{2, 3}));
    EXPECT_NE(session.Conversation.NewMessages()[0].Header.find("Subject: Message 2\r\n"), std::string::npos);
    EXPECT_EQ(session.Conversation.NewMessages()[0].Header.find("From: Friend 2 <f2@example.org>\r\n"), 0u);
    EXPECT_EQ(session.Conversation.LastUid(), 3u);
    EXPECT_FALSE(session.Conversation.TlsOn());
    // Message 2 is spam: moved to the folder the server marks \Junk.
    ASSERT_TRUE(MoveSpam(session, {2})) << session.Conversation.ErrorText();
    EXPECT_EQ(session.Conversation.SpamResult().How, TImapSpamMove::Moved) << session.Conversation.SpamResult().Error;
    EXPECT_EQ(session.Conversation.SpamResult().Folder, "Junk");
    EXPECT_EQ(session.Conversation.Exists(), 2u);
    EXPECT_TRUE(LogOut(session));

    // The next check starts where this one stopped.
    session.Conversation.KnownLastUid = session.Conversation.LastUid();
    ASSERT_TRUE(Check(session));
    ASSERT_EQ(session.Conversation.Step(), TImapStep::Ready) << session.Conversation.ErrorText();
    EXPECT_TRUE(session.Conversation.NewMessages().empty());
    EXPECT_TRUE(LogOut(session));

    session.Conversation.Account.Secret = "wrong";
    ASSERT_TRUE(Check(session));
    EXPECT_EQ(session.Conversation.ErrorText(), "the server refused the login: NO Authentication failed.");
    EXPECT_TRUE(PumpUntil([&] { return !session.Connected(); }));
}

TEST(ImapSession, HostileServer_LiteralsUntaggedDataAndABillionMessages)
{
    TImapSession session;
    if (!Aim(session, "SKARNVALE_IMAP_PORT_HOSTILE", TImapSecurity::None))
        GTEST_SKIP() << "no scripted IMAP server for this run";
    ASSERT_TRUE(Check(session));
    ASSERT_EQ(session.Conversation.Step(), TImapStep::Ready) << session.Conversation.ErrorText();
    EXPECT_EQ(Uids(session), (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_NE(session.Conversation.NewMessages()[2].Header.find("Subject: Message 3 (a \"quoted\" {12}\r\n"),
              std::string::npos);
    EXPECT_EQ(session.Conversation.Exists(), 1000000000u);
    ASSERT_FALSE(session.Conversation.Alerts().empty());
    EXPECT_EQ(session.Conversation.Alerts()[0], "Quota at 91%");
    // Neither MOVE nor UIDPLUS: copied to the folder named Junk and marked
    // \Deleted, never expunged.
    ASSERT_TRUE(MoveSpam(session, {1, 2})) << session.Conversation.ErrorText();
    EXPECT_EQ(session.Conversation.SpamResult().How, TImapSpamMove::CopiedAndMarked)
        << session.Conversation.SpamResult().Error;
    EXPECT_EQ(session.Conversation.SpamResult().Folder, "Junk");
    EXPECT_TRUE(LogOut(session));
}

TEST(ImapSession, TlsFromTheStartOrAfterStartTls_SameCheck)
{
    for (const auto& c : {std::make_pair("SKARNVALE_IMAP_PORT_TLS", TImapSecurity::Implicit),
                          std::make_pair("SKARNVALE_IMAP_PORT_STARTTLS", TImapSecurity::StartTls)}) {
        SCOPED_TRACE(c.first);
        TImapSession session;
        if (!Aim(session, c.first, c.second))
            GTEST_SKIP() << "no scripted IMAP server for this run";
        ASSERT_TRUE(Check(session));
        ASSERT_EQ(session.Conversation.Step(), TImapStep::Ready) << session.Conversation.ErrorText();
        EXPECT_TRUE(session.Conversation.TlsOn());
        EXPECT_EQ(Uids(session), (std::vector<std::uint32_t>{1, 2, 3}));
        // Without MOVE (the server in TLS): copied, marked and expunged by UID.
        if (c.second == TImapSecurity::Implicit) {
            ASSERT_TRUE(MoveSpam(session, {3})) << session.Conversation.ErrorText();
            EXPECT_EQ(session.Conversation.SpamResult().How, TImapSpamMove::CopiedAndExpunged)
                << session.Conversation.SpamResult().Error;
        }
        EXPECT_TRUE(LogOut(session));
    }
}

TEST(ImapSession, SilentServer_FailsAfterTheTimeoutAndCloses)
{
    // One server never greets; the other accepts TLS's TCP connection and
    // never answers the client's hello.
    for (TImapSecurity security : {TImapSecurity::None, TImapSecurity::Implicit}) {
        TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
        TImapSession session;
        session.Conversation.Account.Host = "127.0.0.1";
        session.Conversation.Account.Port = server.Port();
        session.Conversation.Account.Security = security;
        session.Timeout = 1;
        const DWORD start = GetTickCount();
        ASSERT_TRUE(Check(session));
        const DWORD elapsed = GetTickCount() - start;
        EXPECT_GE(elapsed, 900u);
        EXPECT_LT(elapsed, 5000u);
        EXPECT_EQ(session.Conversation.ErrorText(), "the server did not answer for 1 s");
        EXPECT_TRUE(PumpUntil([&] { return server.Finished(); }));
    }
}

TEST(ImapSession, Idle_NewMessageFetchedRenewalsAndTheServersEndings)
{
    // A message arrives one second into IDLE: its header comes as the
    // check's result, UID 4 after the three of the first check.
    {
        TImapSession session;
        if (!Aim(session, "SKARNVALE_IMAP_PORT_ARRIVE", TImapSecurity::None))
            GTEST_SKIP() << "no scripted IMAP server for this run";
        ASSERT_TRUE(Check(session));
        ASSERT_EQ(Uids(session), (std::vector<std::uint32_t>{1, 2, 3})) << session.Conversation.ErrorText();
        bool finished = false;
        session.OnFinished = [&](TImapSession&) { finished = true; };
        ASSERT_TRUE(session.Idle());
        ASSERT_TRUE(PumpUntil([&] { return finished; }, 10000));
        ASSERT_EQ(session.Conversation.Step(), TImapStep::Ready) << session.Conversation.ErrorText();
        EXPECT_EQ(Uids(session), (std::vector<std::uint32_t>{4}));
        EXPECT_NE(session.Conversation.NewMessages()[0].Header.find("Subject: Message 103\r\n"), std::string::npos);
        EXPECT_TRUE(LogOut(session));
    }
    // Renewed every second: DONE and IDLE again, with no result in between.
    {
        TImapSession session;
        ASSERT_TRUE(Aim(session, "SKARNVALE_IMAP_PORT_IDLE", TImapSecurity::None));
        ASSERT_TRUE(Check(session));
        int idles = 0;
        session.Conversation.OnTrace = [&](const std::string& line) { idles += line.find(" IDLE") != std::string::npos; };
        bool finished = false;
        session.OnFinished = [&](TImapSession&) { finished = true; };
        session.IdleRenewal = 1;
        ASSERT_TRUE(session.Idle());
        EXPECT_TRUE(PumpUntil([&] { return idles >= 3 || finished; }, 8000));
        EXPECT_FALSE(finished) << session.Conversation.ErrorText();
        EXPECT_EQ(idles, 3);
        EXPECT_TRUE(LogOut(session));
    }
    // The server ends the session in IDLE, saying so or not.
    for (const auto& c : {std::make_pair("SKARNVALE_IMAP_PORT_BYE", "the server ended the session: Server shutting down"),
                          std::make_pair("SKARNVALE_IMAP_PORT_DROP", "the server closed the connection")}) {
        SCOPED_TRACE(c.first);
        TImapSession session;
        ASSERT_TRUE(Aim(session, c.first, TImapSecurity::None));
        ASSERT_TRUE(Check(session));
        bool finished = false;
        session.OnFinished = [&](TImapSession&) { finished = true; };
        ASSERT_TRUE(session.Idle());
        ASSERT_TRUE(PumpUntil([&] { return finished; }, 10000));
        EXPECT_EQ(session.Conversation.ErrorText(), c.second);
        EXPECT_TRUE(PumpUntil([&] { return !session.Connected(); }));
    }
}

// Against a real Dovecot, started by tests/e2e/test_imap_session.py, which
// names its IMAP port in SKARNVALE_DOVECOT_IMAP_PORT and alice's Maildir (a
// Unix path) in SKARNVALE_DOVECOT_MAILDIR: her two messages, the second one
// spam; a third delivered while the session waits in IDLE.
TEST(ImapDovecot, CheckMoveSpamThenIdleUntilNewMail)
{
    TImapSession session;
    const char* maildir = std::getenv("SKARNVALE_DOVECOT_MAILDIR");
    if (!Aim(session, "SKARNVALE_DOVECOT_IMAP_PORT", TImapSecurity::None) || !maildir)
        GTEST_SKIP() << "no Dovecot IMAP server for this run";
    session.Fingerprint.clear();
    ASSERT_TRUE(Check(session));
    ASSERT_EQ(session.Conversation.Step(), TImapStep::Ready) << session.Conversation.ErrorText();
    ASSERT_EQ(Uids(session), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(session.Conversation.NewMessages()[0].Header, "From: Bob <bob@example.org>\r\nTo: alice@example.org\r\n"
                                                            "Subject: First\r\n\r\n");
    EXPECT_EQ(session.Conversation.NewMessages()[0].Size, 93u);
    EXPECT_NE(session.Conversation.UidValidity(), 0u);

    ASSERT_TRUE(MoveSpam(session, {2})) << session.Conversation.ErrorText();
    EXPECT_EQ(session.Conversation.SpamResult().How, TImapSpamMove::Moved) << session.Conversation.SpamResult().Error;
    EXPECT_EQ(session.Conversation.SpamResult().Folder, "Junk");
    EXPECT_EQ(session.Conversation.Exists(), 1u);

    // A message delivered to the Maildir while the session waits in IDLE.
    bool finished = false;
    session.OnFinished = [&](TImapSession&) { finished = true; };
    ASSERT_TRUE(session.Idle());
    ASSERT_TRUE(PumpUntil([&] { return session.Conversation.IdleAccepted(); }));
    const std::string path = std::string("Z:") + maildir + "/new/2000.M1.test";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file) << path;
    std::fputs("From: Carol <carol@example.org>\r\nSubject: Later\r\n\r\nHi\r\n", file);
    std::fclose(file);
    ASSERT_TRUE(PumpUntil([&] { return finished; }, 15000));
    ASSERT_EQ(session.Conversation.Step(), TImapStep::Ready) << session.Conversation.ErrorText();
    ASSERT_EQ(Uids(session), (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(session.Conversation.NewMessages()[0].Header,
              "From: Carol <carol@example.org>\r\nSubject: Later\r\n\r\n");
    EXPECT_TRUE(LogOut(session));
}

// After the test above: the mail watch's check of the same inbox, then the
// grid's Delete of one message, which removes that UID alone.
TEST(ImapDovecot, MailWatchCheckThenDeleteOneMessage)
{
    const char* port = std::getenv("SKARNVALE_DOVECOT_IMAP_PORT");
    if (!port)
        GTEST_SKIP() << "no Dovecot IMAP server for this run";
    TSettings settings;
    settings.SpamKillerActive = false;
    auto mailbox = std::make_unique<TMailBox>();
    mailbox->MailboxName = "Alice";
    mailbox->Server = "127.0.0.1";
    mailbox->Port = port;
    mailbox->User = "alice";
    mailbox->Password = "secret";
    mailbox->Protocol = MailboxProtocolImap;
    settings.Mailboxes.Add(std::move(mailbox));
    TMailWatch watch(settings, MailTextsOfMessages());
    watch.CheckAllMailboxes(false);
    ASSERT_EQ(watch.Emails.Count(), 2) << watch.StatusText(false);
    TEmail* later = nullptr;
    for (int i = 0; i < watch.Emails.Count(); ++i)
        if (watch.Emails.ItemAs<TEmail>(i)->Subject == " Later")
            later = watch.Emails.ItemAs<TEmail>(i);
    ASSERT_TRUE(later);
    EXPECT_EQ(later->ImapUid, 3u);
    watch.DeleteSelectedEmail(*later);
    ASSERT_EQ(watch.Emails.Count(), 1) << watch.StatusText(false);
    EXPECT_EQ(watch.Emails.ItemAs<TEmail>(0)->Subject, " First");
}
