// Against a real Dovecot server, started by tests/e2e/test_pop3_dovecot.py,
// which passes its port in SKARNVALE_DOVECOT_PORT (user "alice", password
// "secret", two messages). Without that server the test is skipped.
#include "wsocket_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "mail_watch_support.h"
#include "net/Pop3Sync.h"
#include "settings/SettingsValues.h"

namespace {
// The mailbox check's conversation with alice's two messages; the same
// whether the session is in clear or encrypted.
void ReadBothMessages(TSyncPop3Cli& pop)
{
    int listed = 0;
    std::vector<std::string> body;
    pop.OnListLine = [&](TCustomPop3Cli*) { ++listed; };
    pop.OnMessageLine = [&](TCustomPop3Cli* p) { body.push_back(p->LastResponse()); };
    ASSERT_TRUE(pop.ConnectSync()) << pop.ErrorMessage();
    ASSERT_TRUE(pop.UserSync()) << pop.ErrorMessage();
    ASSERT_TRUE(pop.PassSync()) << pop.ErrorMessage();
    pop.MsgNum = 0;
    ASSERT_TRUE(pop.ListSync());
    EXPECT_EQ(listed, 2);
    pop.MsgNum = 1;
    ASSERT_TRUE(pop.ListSync());
    EXPECT_EQ(pop.MsgSize(), 93);
    pop.MsgLines = 0;
    ASSERT_TRUE(pop.TopSync());
    EXPECT_EQ(pop.MsgFrom(), " Bob <bob@example.org>");
    EXPECT_EQ(pop.MsgSubject(), " First");
    body.clear();
    pop.MsgLines = 2;
    ASSERT_TRUE(pop.TopSync());
    ASSERT_GE(body.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(body.end() - 2, body.end()), (std::vector<std::string>{"Hello", ".dotted"}));
    pop.MsgNum = 3;
    EXPECT_FALSE(pop.DeleSync()) << "no such message";
    EXPECT_EQ(pop.StatusCode(), 500);
    EXPECT_TRUE(pop.QuitSync());
}

// Sessions in a row on one client: the close asked for by the server's close
// notify in one never ends the next (reached at once: by address, pinned).
void SessionsInARow(TSyncPop3Cli& pop, TPop3Security security, const char* port)
{
    pop.Host = std::getenv("SKARNVALE_DOVECOT_TLS");
    pop.Fingerprint = std::getenv("SKARNVALE_MAIL_FINGERPRINT");
    pop.Security = security;
    pop.Port = port;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(pop.ConnectSync()) << pop.ErrorMessage();
        ASSERT_TRUE(pop.Security != pop3SecStartTls || pop.StlsSync()) << pop.ErrorMessage();
        ASSERT_TRUE(pop.QuitSync()) << pop.ErrorMessage();
    }
}
}  // namespace

TEST(Pop3Dovecot, MailboxCheckAgainstDovecot_ReadsBothMessages)
{
    const char* port = std::getenv("SKARNVALE_DOVECOT_PORT");
    if (!port)
        GTEST_SKIP() << "no Dovecot server for this run";
    TSyncPop3Cli pop;
    pop.Host = "127.0.0.1";
    pop.Port = port;
    pop.UserName = "alice";
    pop.PassWord = "secret";
    ReadBothMessages(pop);
}

// The same over TLS, against the Dovecot of tests/e2e/test_pop3_dovecot.py
// that requires it (SKARNVALE_DOVECOT_TLS, its address): the names of its
// certificates resolve to it, the test CA that signs mail.test and
// expired.test is trusted, untrusted.test's CA is not.
namespace {
bool TlsDovecot() { return std::getenv("SKARNVALE_DOVECOT_TLS") != nullptr; }

std::string EnvText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void AimTls(TSyncPop3Cli& pop, const std::string& host, const std::string& user)
{
    pop.Host = host;
    pop.Port = "995";
    pop.Security = pop3SecImplicit;
    pop.UserName = user;
    pop.PassWord = "secret";
}
}  // namespace

TEST(Pop3Dovecot, ImplicitTls_ReadsTheMailboxEncrypted)
{
    if (!TlsDovecot())
        GTEST_SKIP() << "no TLS Dovecot for this run";
    TSyncPop3Cli pop;
    AimTls(pop, "mail.test", "alice");
    pop.OnSessionConnected = [](TCustomPop3Cli* p, WORD) { EXPECT_TRUE(p->Socket()->TlsActive()); };
    ReadBothMessages(pop);
    EXPECT_FALSE(pop.Socket()->TlsRevocationUnknown()) << "mail.test's CRL is served";
    SessionsInARow(pop, pop3SecImplicit, "995");
    pop.OnSessionConnected = nullptr;  // in clear until STLS
    SessionsInARow(pop, pop3SecStartTls, "110");
}

// Each refused certificate ends the session before any login; the user
// "carol" is never named to the server (its log is read by the e2e test).
// A pin accepts its one certificate whatever its chain, dates and names,
// and refuses every other, even one the usual check would accept.
TEST(Pop3Dovecot, CertificateFailures_RefusedWithTheirReasonBeforeLogin)
{
    if (!TlsDovecot())
        GTEST_SKIP() << "no TLS Dovecot for this run";
    const std::string untrusted = EnvText("SKARNVALE_UNTRUSTED_FINGERPRINT");
    const std::string expiredSelf = EnvText("SKARNVALE_EXPIRED_SELF_FINGERPRINT");
    ASSERT_EQ(untrusted.size(), 95u);
    ASSERT_EQ(expiredSelf.size(), 95u);
    std::string wrongPin = untrusted;
    wrongPin[0] = wrongPin[0] == '0' ? '1' : '0';
    const std::string notPinned = "certificate does not match the pinned fingerprint";
    struct {
        const char* host;
        std::string pin;
        std::string reason;  // empty: accepted
        bool revocationUnknown;
    } cases[] = {{"untrusted.test", "", "certificate not trusted", false},
                 {"other.test", "", "certificate is for another name", false},
                 {"expired.test", "", "certificate expired", false},
                 {"future.test", "", "certificate not valid yet", false},
                 {"revoked.test", "", "certificate revoked", false},
                 {"untrusted.test", wrongPin, notPinned, false},
                 {"mail.test", untrusted, notPinned, false},
                 {"mail.test", "not a fingerprint", notPinned, false},
                 {"untrusted.test", untrusted, "", false},
                 {"expired-self.test", expiredSelf, "", false},
                 {"offline-crl.test", "", "", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.host) + " pinned " + c.pin);
        TSyncPop3Cli pop;
        AimTls(pop, c.host, c.reason.empty() ? "alice" : "carol");
        pop.Fingerprint = c.pin;
        const bool connected = pop.ConnectSync();
        EXPECT_EQ(pop.Socket()->TlsErrorText(), c.reason);
        EXPECT_EQ(pop.Socket()->TlsPeerFingerprint().size(), 95u);
        if (!c.reason.empty()) {
            EXPECT_FALSE(connected);
            EXPECT_EQ(pop.ErrorMessage(),
                      "-ERR " + c.reason + ", SHA-256 fingerprint " + pop.Socket()->TlsPeerFingerprint());
            continue;
        }
        EXPECT_TRUE(connected) << pop.ErrorMessage();
        if (!c.pin.empty())
            EXPECT_EQ(pop.Socket()->TlsPeerFingerprint(), c.pin);
        EXPECT_EQ(pop.Socket()->TlsRevocationUnknown(), c.revocationUnknown);
        EXPECT_TRUE(pop.UserSync());
        EXPECT_TRUE(pop.PassSync());
        EXPECT_TRUE(pop.QuitSync());
    }
}

// Against tests/servers/pop3_script_server.py in TLS, whose certificate is
// pinned (SKARNVALE_TLS_PIN): how records meet the reads, and how a TLS
// session ends.
namespace {
bool AimScripted(TSyncPop3Cli& pop, const char* portVariable)
{
    const char* port = std::getenv(portVariable);
    if (!port)
        return false;
    pop.Host = "127.0.0.1";
    pop.Port = port;
    pop.Security = pop3SecImplicit;
    pop.Fingerprint = EnvText("SKARNVALE_TLS_PIN");
    pop.Timeout = 5;
    pop.UserName = "alice";
    pop.PassWord = "secret";
    return true;
}
}  // namespace

TEST(Pop3Tls, RecordsSplitOrJoined_ReadAsLinesAndCloseNotifyEndsTheQuit)
{
    TSyncPop3Cli pop;
    if (!AimScripted(pop, "SKARNVALE_TLS_PORT_RECORDS"))
        GTEST_SKIP() << "no scripted TLS server for this run";
    int listed = 0, lines = 0;
    pop.OnListLine = [&](TCustomPop3Cli*) { ++listed; };
    pop.OnMessageLine = [&](TCustomPop3Cli* p) { lines += p->LastResponse().rfind("line ", 0) == 0; };
    ASSERT_TRUE(pop.ConnectSync()) << pop.ErrorMessage();  // the greeting in 3-byte pieces
    EXPECT_EQ(pop.LastResponse(), "+OK ready");
    ASSERT_TRUE(pop.UserSync());
    ASSERT_TRUE(pop.PassSync());
    pop.MsgNum = 0;
    ASSERT_TRUE(pop.ListSync());  // three records in one packet
    EXPECT_EQ(listed, 2);
    pop.MsgNum = 1;
    pop.MsgLines = 2000;
    ASSERT_TRUE(pop.TopSync());  // 60 KB: records of 16 KB in pieces the network cuts
    EXPECT_EQ(lines, 2000);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(pop.QuitSync());  // answered, then the close notify on an open connection
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(pop.Connected());
}

TEST(Pop3Tls, ServerClosingInTheHandshakeOrAnsweringInClear_FailsAtOnceWithItsReason)
{
    const char* closed = "-ERR the server closed the connection during the TLS handshake";
    const char* inClear = "-ERR the server does not answer in TLS on this port";
    for (const auto& c : {std::make_pair("SKARNVALE_TLS_PORT_CLOSING", closed),
                          std::make_pair("SKARNVALE_TLS_PORT_CLEAR", inClear)}) {
        TSyncPop3Cli pop;
        if (!AimScripted(pop, c.first))
            GTEST_SKIP() << "no scripted TLS server for this run";
        const DWORD start = GetTickCount();
        EXPECT_FALSE(pop.ConnectSync());
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_EQ(pop.ErrorMessage(), c.second);
        EXPECT_FALSE(pop.UserSync());
    }
}

TEST(Pop3Tls, SilentServer_HandshakeEndsWithTheTimeout)
{
    TSyncPop3Cli pop;
    if (!AimScripted(pop, "SKARNVALE_TLS_PORT_SILENT"))
        GTEST_SKIP() << "no scripted TLS server for this run";
    pop.Timeout = 2;
    const DWORD start = GetTickCount();
    EXPECT_FALSE(pop.ConnectSync());
    EXPECT_GE(GetTickCount() - start, 1900u);
    EXPECT_EQ(pop.ErrorMessage(), "426 Timeout in the TLS handshake: the server did not answer the TLS client hello");
    EXPECT_FALSE(pop.Connected());
}

// A server given by its address: its certificate must carry that address
// among its alternative names; the address as the common name is no proof.
TEST(Pop3Tls, ServerByAddress_AcceptedByAnIpEntryRefusedByTheCommonNameAlone)
{
    for (const auto& c : {std::make_pair("SKARNVALE_TLS_PORT_IP_SAN", ""),
                          std::make_pair("SKARNVALE_TLS_PORT_IP_CN", "certificate is for another name")}) {
        TSyncPop3Cli pop;
        if (!AimScripted(pop, c.first))
            GTEST_SKIP() << "no scripted TLS server for this run";
        pop.Fingerprint.clear();
        EXPECT_EQ(pop.ConnectSync(), *c.second == '\0') << pop.ErrorMessage();
        EXPECT_EQ(pop.Socket()->TlsErrorText(), c.second);
        if (*c.second == '\0')
            EXPECT_TRUE(pop.UserSync() && pop.PassSync() && pop.QuitSync()) << pop.ErrorMessage();
    }
}

// The server asks for a renegotiation in the middle of the session: carried
// out where the platform can, declined where it cannot; the session goes on.
TEST(Pop3Tls, RenegotiationAskedMidSession_TheSessionGoesOn)
{
    TSyncPop3Cli pop;
    if (!AimScripted(pop, "SKARNVALE_TLS_PORT_RENEGOTIATE"))
        GTEST_SKIP() << "no scripted TLS server for this run";
    const DWORD start = GetTickCount();
    ASSERT_TRUE(pop.ConnectSync()) << pop.ErrorMessage();
    ASSERT_TRUE(pop.UserSync()) << pop.ErrorMessage();  // its reply follows the HelloRequest
    ASSERT_TRUE(pop.PassSync()) << pop.ErrorMessage();
    pop.MsgNum = 0;
    EXPECT_TRUE(pop.ListSync()) << pop.ErrorMessage();
    EXPECT_TRUE(pop.QuitSync()) << pop.ErrorMessage();
    EXPECT_LT(GetTickCount() - start, 3000u);
    std::printf("renegotiations declined: %d\n", pop.Socket()->TlsRenegotiationsDeclined());
}

// A record that fails its integrity check ends the session, saying so.
TEST(Pop3Tls, RecordFailingDecryption_EndsTheSessionWithItsReason)
{
    TSyncPop3Cli pop;
    if (!AimScripted(pop, "SKARNVALE_TLS_PORT_CORRUPT"))
        GTEST_SKIP() << "no scripted TLS server for this run";
    ASSERT_TRUE(pop.ConnectSync()) << pop.ErrorMessage();
    EXPECT_FALSE(pop.UserSync());
    EXPECT_EQ(pop.ErrorMessage(), "-ERR a TLS record could not be decrypted");
    EXPECT_FALSE(pop.PassSync());
}

// STLS that the server does not offer, or refuses: the connection ends
// with nothing more sent in clear (the e2e test reads what the server got).
TEST(Pop3Tls, StlsNotOfferedOrRefused_EndsTheSessionBeforeAnyLogin)
{
    for (const auto& c : {std::make_pair("SKARNVALE_TLS_PORT_NO_STLS", "-ERR the server does not offer STLS"),
                          std::make_pair("SKARNVALE_TLS_PORT_STLS_REFUSED", "-ERR not today")}) {
        TSyncPop3Cli pop;
        if (!AimScripted(pop, c.first))
            GTEST_SKIP() << "no scripted TLS server for this run";
        pop.Security = pop3SecStartTls;
        ASSERT_TRUE(pop.ConnectSync()) << pop.ErrorMessage();
        EXPECT_FALSE(pop.StlsSync());
        EXPECT_EQ(pop.ErrorMessage(), c.second);
        EXPECT_FALSE(pop.Connected());
        EXPECT_FALSE(pop.UserSync());
    }
}

// The mail check and the spam cycle over TLS, as the program runs them:
// alice by TLS from the first byte, bob after STLS on the pinned certificate
// of untrusted.test. Carol's mailboxes fail their certificate and are never
// logged in (the e2e test reads Dovecot's log and what its maildirs hold).
using MailCheckTls = MailWatchTest;

TEST_F(MailCheckTls, CheckAndSpamCycle_OverTlsAndStls_RefusedCertificatesLogged)
{
    if (!TlsDovecot())
        GTEST_SKIP() << "no TLS Dovecot for this run";
    const auto add = [this](const char* name, const char* server, const char* user, int security, std::string pin) {
        TMailBox& box = AddMailbox(name, server);
        box.User = user;
        box.Security = security;
        box.Port = UsualMailboxPort(security);
        box.Fingerprint = pin;
    };
    // Alice's certificate names a CRL server that does not answer: accepted, with a warning.
    add("Alice", "offline-crl.test", "alice", MailboxSecurityImplicit, "");
    add("Bob", "untrusted.test", "bob", MailboxSecurityStartTls, EnvText("SKARNVALE_UNTRUSTED_FINGERPRINT"));
    add("Rogue", "untrusted.test", "carol", MailboxSecurityImplicit, "");
    add("Misnamed", "other.test", "carol", MailboxSecurityStartTls, "");
    add("Revoked", "revoked.test", "carol", MailboxSecurityImplicit, "");
    watch.CheckAllMailboxes(false);
    const std::vector<std::string> expected = {
        "Starting mailboxes check...",
        "Warning: whether the certificate of 'Alice' is revoked could not be checked",
        "2 message(s) found on 'Alice'", "2 message(s) found on 'Bob'",
        "Error during 'Rogue' connection : -ERR certificate not trusted, SHA-256 fingerprint " +
            EnvText("SKARNVALE_UNTRUSTED_FINGERPRINT") + " (connect)",
        "Error during 'Misnamed' connection : -ERR certificate is for another name, SHA-256 fingerprint " +
            EnvText("SKARNVALE_MAIL_FINGERPRINT") + " (STLS)",
        "Error during 'Revoked' connection : -ERR certificate revoked, SHA-256 fingerprint " +
            EnvText("SKARNVALE_REVOKED_FINGERPRINT") + " (connect)",
        "End of mailboxes check"};
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(watch.Emails.Count(), 4);

    settings.SpamAddresses = ("spam@example.com\r\nspam@example.net");
    watch.DeleteSpamEmails();
    const std::vector<std::string> log = Log();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.rfind("A message was deleted: from ", 0) == 0; }),
              2);
    EXPECT_EQ(watch.Emails.Count(), 2);
}

// Pipelined, Dovecot's replies are those of the same commands one at a time:
// every line of every reply, and which ones were refused.
TEST(Pop3Dovecot, PipelinedCommands_GiveTheRepliesOfOneAtATime)
{
    const char* port = std::getenv("SKARNVALE_DOVECOT_PORT");
    if (!port)
        GTEST_SKIP() << "no Dovecot server for this run";
    const auto replies = [port](int window) {
        TSyncPop3Cli pop;
        pop.Host = "127.0.0.1";
        pop.Port = port;
        pop.UserName = "alice";
        pop.PassWord = "secret";
        std::vector<std::string> seen;
        const auto line = [&](TCustomPop3Cli* p) { seen.push_back(p->LastResponse()); };
        pop.OnListLine = pop.OnUidlLine = pop.OnMessageLine = line;
        pop.OnHeaderEnd = [&](TCustomPop3Cli* p) { seen.push_back("from" + p->MsgFrom()); };
        pop.OnPipelinedReply = [&](TCustomPop3Cli*, std::size_t index, bool done) {
            seen.push_back("reply " + std::to_string(index) + (done ? " done" : " refused"));
        };
        EXPECT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync()) << pop.ErrorMessage();
        EXPECT_TRUE(pop.CapaSync());
        EXPECT_TRUE(pop.HasCapability("PIPELINING"));
        EXPECT_TRUE(pop.PipelineSync({{pop3ReqList}, {pop3ReqUidl}, {pop3ReqTop, 1, 0}, {pop3ReqTop, 1, 2},
                                      {pop3ReqTop, 3, 0}, {pop3ReqTop, 2, 0}, {pop3ReqTop, 2, 1}},
                                     window));
        EXPECT_TRUE(pop.QuitSync());
        return seen;
    };
    const std::vector<std::string> oneAtATime = replies(1);
    EXPECT_EQ(replies(64), oneAtATime);
    EXPECT_NE(std::find(oneAtATime.begin(), oneAtATime.end(), "reply 4 refused"), oneAtATime.end());
    EXPECT_EQ(std::count(oneAtATime.begin(), oneAtATime.end(), "from Bob <bob@example.org>"), 2);
}

// The guard and "Erase all SPAM messages" as the program runs them, against
// the Dovecot of tests/e2e/test_pop3_dovecot.py that holds 40 messages for
// alice (SKARNVALE_DOVECOT_SPAM_PORT): 31 from spam.example, one of them
// from the allowed news@spam.example. The copies go to
// SKARNVALE_DOVECOT_QUARANTINE, which the e2e test compares with the maildir.
using SpamCycleDovecot = MailWatchTest;

TEST_F(SpamCycleDovecot, TimerRunKeptWholeByTheGuard_EraseAllDeletesAfterTheQuestion)
{
    const std::string port = EnvText("SKARNVALE_DOVECOT_SPAM_PORT");
    if (port.empty())
        GTEST_SKIP() << "no Dovecot with spam for this run";
    AddMailbox("Dovecot", "127.0.0.1").Port = port;
    watch.QuarantineFolder = EnvText("SKARNVALE_DOVECOT_QUARANTINE");
    settings.SpamAddresses = "spam.example";
    settings.SpamAllowed = "news@spam.example";
    settings.SpamKillerActive = true;

    watch.TimerCheck();
    const std::vector<std::string> log = Log();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "The SPAM lists mark 30 of 40 messages of 'Dovecot': none deleted. Check the lists, then use "
                        "Erase all SPAM messages."),
              log.end())
        << ::testing::PrintToString(log);
    EXPECT_TRUE(questions.empty());
    watch.CheckAllMailboxes(false);
    EXPECT_EQ(watch.Emails.Count(), 40) << "the timer's run deleted nothing";

    confirmAnswer = true;
    EXPECT_EQ(watch.DeleteSpamEmails(TSpamCycleStart::User), 30);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("30 of 40 messages of 'Dovecot'"), std::string::npos) << questions[0];
    EXPECT_EQ(watch.Emails.Count(), 10);
}
