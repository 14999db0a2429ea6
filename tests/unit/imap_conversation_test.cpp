#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "imap/ImapConversation.h"
#include "text/Base64.h"

namespace {

// One line of a transcript: what the server sends ('S'), what the client
// must have sent since the last check ('C'), or the TLS handshake the client
// asked for, ending well ('T') or badly ('X').
struct TLine {
    char who;
    std::string text;
};
using TTranscript = std::vector<TLine>;

struct TRun {
    std::string sent;
    int tlsStarts = 0;
    int finished = 0;
};

// Plays the transcript against a conversation, the server's bytes whole or
// one at a time, and checks every 'C' line.
void Play(TImapConversation& conversation, const TTranscript& transcript, bool byteByByte, TRun& run)
{
    conversation.Send = [&](const std::string& bytes) { run.sent += bytes; };
    conversation.StartTls = [&] { ++run.tlsStarts; };
    conversation.OnFinished = [&] { ++run.finished; };
    conversation.Connected();
    for (const TLine& line : transcript) {
        switch (line.who) {
        case 'S':
            if (byteByByte)
                for (char c : line.text)
                    conversation.Received(&c, 1);
            else
                conversation.Received(line.text.data(), line.text.size());
            break;
        case 'C':
            EXPECT_EQ(run.sent, line.text);
            run.sent.clear();
            break;
        case 'T':
        case 'X':
            EXPECT_EQ(run.tlsStarts, 1);
            conversation.TlsDone(line.who == 'T', "the certificate is for another name");
            break;
        }
    }
}

TImapAccount Account(TImapSecurity security = TImapSecurity::Implicit)
{
    TImapAccount account;
    account.Security = security;
    account.Host = "imap.example";
    account.User = "alice";
    account.Secret = "secret";
    return account;
}

const std::string Plain = "A0001 AUTHENTICATE PLAIN " + Base64Encode(std::string("\0alice\0secret", 13)) + "\r\n";
const std::string Greeting = "* OK [CAPABILITY IMAP4rev1 SASL-IR AUTH=PLAIN IDLE] ready\r\n";
const std::string FetchFrom = "UID FETCH ";
const std::string Items =
    " (UID FLAGS RFC822.SIZE BODY.PEEK[HEADER.FIELDS (FROM TO CC SUBJECT DATE MESSAGE-ID REPLY-TO RETURN-PATH SENDER "
    "CONTENT-TYPE CONTENT-TRANSFER-ENCODING)])\r\n";

std::string Header(int uid, const std::string& subject)
{
    const std::string header = "From: f" + std::to_string(uid) + "@example.org\r\nSubject: " + subject + "\r\n\r\n";
    return "(UID " + std::to_string(uid) + " RFC822.SIZE 900 BODY[HEADER.FIELDS (FROM SUBJECT)] {" +
           std::to_string(header.size()) + "}\r\n" + header + ")\r\n";
}

// The transcript of a PLAIN login and the SELECT of INBOX answered by
// `selected`, followed by `then`.
TTranscript LoggedInAndSelected(const std::string& selected, TTranscript then)
{
    TTranscript transcript{{'S', Greeting},
                           {'C', Plain},
                           {'S', "A0001 OK [CAPABILITY IMAP4rev1] in\r\n"},
                           {'C', "A0002 SELECT INBOX\r\n"},
                           {'S', selected}};
    transcript.insert(transcript.end(), then.begin(), then.end());
    return transcript;
}

std::vector<std::uint32_t> Uids(const TImapConversation& conversation)
{
    std::vector<std::uint32_t> uids;
    for (const TImapFetch& fetch : conversation.NewMessages())
        uids.push_back(fetch.Uid);
    return uids;
}

}  // namespace

TEST(ImapConversation, FullCheck_GreetingLoginSelectAndOneFetchOfTheNewRange)
{
    const TTranscript transcript = {
        {'S', Greeting},
        {'C', Plain},
        {'S', "A0001 OK [CAPABILITY IMAP4rev1 IDLE UIDPLUS MOVE] Logged in\r\n"},
        {'C', "A0002 SELECT INBOX\r\n"},
        {'S', "* FLAGS (\\Seen)\r\n* 4 EXISTS\r\n* OK [UIDVALIDITY 77] x\r\n* OK [UIDNEXT 13] y\r\n"
              "A0002 OK [READ-WRITE] done\r\n"},
        {'C', "A0003 " + FetchFrom + "10:*" + Items},
        // New messages, with an unasked flag change and an EXISTS between them.
        {'S', "* 3 FETCH " + Header(11, "two (x) {3}") + "* 1 FETCH (FLAGS (\\Seen))\r\n* 5 EXISTS\r\n"
              "* 2 FETCH " + Header(10, "one") + "A0003 OK done\r\n"},
        {'C', ""},
    };
    for (bool byteByByte : {false, true}) {
        SCOPED_TRACE(byteByByte ? "byte by byte" : "whole");
        TImapConversation conversation;
        conversation.Account = Account();
        conversation.KnownUidValidity = 77;
        conversation.KnownLastUid = 9;
        TRun run;
        Play(conversation, transcript, byteByByte, run);
        EXPECT_EQ(conversation.Step(), TImapStep::Ready) << conversation.ErrorText();
        EXPECT_EQ(run.finished, 1);
        EXPECT_EQ(Uids(conversation), (std::vector<std::uint32_t>{10, 11}));
        EXPECT_EQ(conversation.NewMessages()[1].Header, "From: f11@example.org\r\nSubject: two (x) {3}\r\n\r\n");
        EXPECT_EQ(conversation.NewMessages()[1].Size, 900u);
        EXPECT_EQ(conversation.LastUid(), 11u);
        EXPECT_EQ(conversation.Exists(), 5u);
        EXPECT_EQ(conversation.UidNext(), 13u);
        EXPECT_TRUE(conversation.Capabilities().Move());
        EXPECT_FALSE(conversation.UidValidityChanged());
    }
}

TEST(ImapConversation, NothingNew_NoFetchAndTheLastUidKept)
{
    TImapConversation conversation;
    conversation.Account = Account();
    conversation.KnownUidValidity = 77;
    conversation.KnownLastUid = 12;
    TRun run;
    Play(conversation,
         LoggedInAndSelected("* 1000000000 EXISTS\r\n* OK [UIDVALIDITY 77] x\r\n* OK [UIDNEXT 13] y\r\nA0002 OK done\r\n",
                             {{'C', ""}}),
         false, run);
    EXPECT_EQ(conversation.Step(), TImapStep::Ready);
    EXPECT_TRUE(conversation.NewMessages().empty());
    EXPECT_EQ(conversation.LastUid(), 12u);
    EXPECT_EQ(conversation.Exists(), 1000000000u);
}

TEST(ImapConversation, LastMessageBelowTheRange_IsNotNew)
{
    // "13:*" names the last message when no UID reaches 13 (no UIDNEXT here).
    TImapConversation conversation;
    conversation.Account = Account();
    conversation.KnownUidValidity = 77;
    conversation.KnownLastUid = 12;
    TRun run;
    Play(conversation,
         LoggedInAndSelected("* 2 EXISTS\r\n* OK [UIDVALIDITY 77] x\r\nA0002 OK done\r\n",
                             {{'C', "A0003 " + FetchFrom + "13:*" + Items},
                              {'S', "* 2 FETCH " + Header(12, "old") + "A0003 OK done\r\n"}}),
         false, run);
    EXPECT_EQ(conversation.Step(), TImapStep::Ready);
    EXPECT_TRUE(conversation.NewMessages().empty());
    EXPECT_EQ(conversation.LastUid(), 12u);
}

TEST(ImapConversation, ChangedUidValidity_EverythingIsNewUpToTheLimit)
{
    TImapConversation conversation;
    conversation.Account = Account();
    conversation.KnownUidValidity = 76;
    conversation.KnownLastUid = 500000;
    TRun run;
    Play(conversation,
         LoggedInAndSelected("* OK [UIDVALIDITY 77] x\r\n* OK [UIDNEXT 5001] y\r\nA0002 OK done\r\n",
                             {{'C', "A0003 " + FetchFrom + "4001:*" + Items}}),
         false, run);
    EXPECT_TRUE(conversation.UidValidityChanged());
    EXPECT_EQ(conversation.Step(), TImapStep::Fetch);
}

TEST(ImapConversation, StartTls_CapabilitiesAskedAgainInTlsThenLogin)
{
    TImapConversation conversation;
    conversation.Account = Account(TImapSecurity::StartTls);
    TRun run;
    Play(conversation,
         {{'S', "* OK [CAPABILITY IMAP4rev1 STARTTLS LOGINDISABLED] ready\r\n"},
          {'C', "A0001 STARTTLS\r\n"},
          {'S', "A0001 OK Begin TLS\r\n"},
          {'T', ""},
          {'C', "A0002 CAPABILITY\r\n"},
          {'S', "* CAPABILITY IMAP4rev1 AUTH=PLAIN\r\nA0002 OK done\r\n"},
          // No SASL-IR: the response follows the server's "+".
          {'C', "A0003 AUTHENTICATE PLAIN\r\n"},
          {'S', "+ \r\n"},
          {'C', Base64Encode(std::string("\0alice\0secret", 13)) + "\r\n"},
          {'S', "A0003 OK in\r\n"},
          {'C', "A0004 CAPABILITY\r\n"},
          {'S', "* CAPABILITY IMAP4rev1 IDLE\r\nA0004 OK done\r\n"},
          {'C', "A0005 SELECT INBOX\r\n"}},
         false, run);
    EXPECT_EQ(conversation.Step(), TImapStep::Select) << conversation.ErrorText();
    EXPECT_TRUE(conversation.TlsOn());
    EXPECT_TRUE(conversation.Capabilities().Idle());
}

TEST(ImapConversation, LoginWithLiteralPassword_WaitsForTheServer)
{
    TImapConversation conversation;
    conversation.Account = Account(TImapSecurity::None);
    conversation.Account.Secret = "s\xc3\xa9same";
    conversation.Account.Mailbox = "Bo\xc3\xaete";
    TRun run;
    Play(conversation,
         {{'S', "* OK [CAPABILITY IMAP4rev1] ready\r\n"},
          {'C', "A0001 LOGIN alice {7}\r\n"},
          {'S', "+ go on\r\n"},
          {'C', "s\xc3\xa9same\r\n"},
          {'S', "A0001 OK [CAPABILITY IMAP4rev1] in\r\n"},
          {'C', "A0002 SELECT Bo&AO4-te\r\n"}},
         true, run);
    EXPECT_EQ(conversation.Step(), TImapStep::Select) << conversation.ErrorText();
}

TEST(ImapConversation, Failures_StopWithTheirReason)
{
    const struct {
        const char* name;
        TImapSecurity security;
        TTranscript transcript;
        const char* error;
    } cases[] = {
        {"BYE as greeting", TImapSecurity::Implicit, {{'S', "* BYE too many connections\r\n"}},
         "the server ended the session: too many connections"},
        {"BYE mid-fetch", TImapSecurity::Implicit,
         {{'S', Greeting}, {'S', "A0001 OK [CAPABILITY IMAP4rev1] in\r\n"},
          {'S', "* OK [UIDVALIDITY 1] x\r\nA0002 OK done\r\n* 1 FETCH " + Header(1, "a") + "* BYE shutting down\r\n"}},
         "the server ended the session: shutting down"},
        {"refused login", TImapSecurity::Implicit,
         {{'S', Greeting}, {'S', "A0001 NO [AUTHENTICATIONFAILED] Authentication failed.\r\n"}},
         "the server refused the login: NO Authentication failed."},
        {"LOGINDISABLED without PLAIN", TImapSecurity::None,
         {{'S', "* OK [CAPABILITY IMAP4rev1 LOGINDISABLED] ready\r\n"}},
         "the server refuses a login without TLS (LOGINDISABLED)"},
        {"no STARTTLS offered", TImapSecurity::StartTls, {{'S', "* OK [CAPABILITY IMAP4rev1] ready\r\n"}},
         "the server does not offer STARTTLS"},
        {"PREAUTH before STARTTLS", TImapSecurity::StartTls,
         {{'S', "* PREAUTH [CAPABILITY IMAP4rev1 STARTTLS] ready\r\n"}},
         "the server logged in before TLS (PREAUTH), so STARTTLS cannot protect the session"},
        {"data after STARTTLS's OK", TImapSecurity::StartTls,
         {{'S', "* OK [CAPABILITY IMAP4rev1 STARTTLS] ready\r\n"}, {'S', "A0001 OK go\r\n* CAPABILITY IMAP4rev1\r\n"}},
         "the server sent data after accepting STARTTLS"},
        {"TLS refused", TImapSecurity::StartTls,
         {{'S', "* OK [CAPABILITY IMAP4rev1 STARTTLS] ready\r\n"}, {'S', "A0001 OK go\r\n"}, {'X', ""}},
         "the TLS handshake failed: the certificate is for another name"},
        {"not IMAP4", TImapSecurity::Implicit, {{'S', "* OK [CAPABILITY IMAP2] ready\r\n"}},
         "the server does not speak IMAP4rev1"},
        {"greeting NO", TImapSecurity::Implicit, {{'S', "* NO go away\r\n"}},
         "the server's greeting is not OK: NO go away"},
        {"answer to an unsent tag", TImapSecurity::Implicit, {{'S', Greeting}, {'S', "A0009 OK what\r\n"}},
         "the server answered a command that was not sent (A0009)"},
        {"no UIDVALIDITY", TImapSecurity::Implicit,
         {{'S', Greeting}, {'S', "A0001 OK [CAPABILITY IMAP4rev1] in\r\n"}, {'S', "* 3 EXISTS\r\nA0002 OK done\r\n"}},
         "the server gave no UIDVALIDITY for the mailbox, so new messages cannot be told from old ones"},
        {"refused mailbox", TImapSecurity::Implicit,
         {{'S', Greeting}, {'S', "A0001 OK [CAPABILITY IMAP4rev1] in\r\n"}, {'S', "A0002 NO [NONEXISTENT] no\r\n"}},
         "the server refused the mailbox INBOX: NO no"},
        {"malformed FETCH", TImapSecurity::Implicit,
         {{'S', Greeting}, {'S', "A0001 OK [CAPABILITY IMAP4rev1] in\r\n"},
          {'S', "* OK [UIDVALIDITY 1] x\r\nA0002 OK done\r\n* 1 FETCH (UID 99999999999)\r\n"}},
         "the server sent a malformed FETCH: a UID that is not a number from 1 to 4294967295: 99999999999"},
        {"malformed response", TImapSecurity::Implicit, {{'S', Greeting}, {'S', "* 1 FETCH (UID 5\r\n"}},
         "the server sent a malformed response: an unbalanced parenthesis in \"* 1 FETCH (UID 5\""},
        {"too large", TImapSecurity::Implicit, {{'S', Greeting}, {'S', "* 1 FETCH (BODY[] {99999999}\r\n"}},
         "the server sent a response too large (a literal larger than 4194304 bytes)"},
        {"a continuation for nothing", TImapSecurity::Implicit,
         {{'S', Greeting}, {'S', "A0001 OK [CAPABILITY IMAP4rev1] in\r\n"}, {'S', "+ more?\r\n"}},
         "the server asked for more of a command that was complete"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TImapConversation conversation;
        conversation.Account = Account(c.security);
        TRun run;
        Play(conversation, c.transcript, false, run);
        EXPECT_EQ(conversation.Step(), TImapStep::Failed);
        EXPECT_EQ(conversation.ErrorText(), c.error);
        EXPECT_EQ(run.finished, 1);
        // Nothing more is taken once failed.
        conversation.Received("* 1 EXISTS\r\n", 12);
        conversation.Closed();
        EXPECT_EQ(conversation.ErrorText(), c.error);
        EXPECT_EQ(run.finished, 1);
    }
}

TEST(ImapConversation, OAuthRefused_AnswersTheChallengeThenFailsOnNo)
{
    TImapConversation conversation;
    conversation.Account = Account();
    conversation.Account.OAuth = true;
    conversation.Account.Secret = "tok";
    TRun run;
    Play(conversation,
         {{'S', "* OK [CAPABILITY IMAP4rev1 SASL-IR AUTH=OAUTHBEARER AUTH=XOAUTH2] ready\r\n"},
          {'S', "+ eyJzdGF0dXMiOiI0MDEifQ==\r\n"},
          {'S', "A0001 NO [AUTHENTICATIONFAILED] bad token\r\n"}},
         false, run);
    EXPECT_NE(run.sent.find("A0001 AUTHENTICATE OAUTHBEARER "), std::string::npos);
    EXPECT_NE(run.sent.find("\r\nAQ==\r\n"), std::string::npos);
    EXPECT_EQ(conversation.ErrorText(), "the server refused the login: NO bad token");
}

TEST(ImapConversation, ClosedMidSessionFails_ButAfterLogoutIsDone)
{
    TImapConversation conversation;
    conversation.Account = Account();
    TRun run;
    Play(conversation, {{'S', Greeting}}, false, run);
    conversation.Closed();
    EXPECT_EQ(conversation.ErrorText(), "the server closed the connection");

    TImapConversation polite;
    polite.Account = Account();
    polite.KnownUidValidity = 5;
    polite.KnownLastUid = 3;
    TRun run2;
    Play(polite,
         {{'S', "* PREAUTH [CAPABILITY IMAP4rev1] welcome\r\n"},
          {'C', "A0001 SELECT INBOX\r\n"},
          {'S', "* OK [UIDVALIDITY 5] x\r\n* OK [UIDNEXT 4] x\r\n* OK [ALERT] Quota at 95%\r\nA0001 OK done\r\n"}},
         false, run2);
    ASSERT_EQ(polite.Step(), TImapStep::Ready);
    EXPECT_EQ(polite.Alerts(), (std::vector<std::string>{"Quota at 95%"}));
    polite.Logout();
    EXPECT_EQ(run2.sent, "A0002 LOGOUT\r\n");
    polite.Received("* BYE bye\r\nA0002 OK done\r\n", 26);
    EXPECT_EQ(polite.Step(), TImapStep::Done);
    polite.Closed();
    EXPECT_EQ(polite.Step(), TImapStep::Done);
    EXPECT_EQ(polite.ErrorText(), "");
}

// ---- IDLE

namespace {

// A conversation Ready after a check that found nothing new (UIDs up to 12).
void ReadyWithNothingNew(TImapConversation& conversation, TRun& run, const std::string& capabilities)
{
    conversation.Account = Account();
    conversation.KnownUidValidity = 77;
    conversation.KnownLastUid = 12;
    Play(conversation,
         {{'S', Greeting},
          {'S', "A0001 OK [CAPABILITY " + capabilities + "] in\r\n"},
          {'S', "* 4 EXISTS\r\n* OK [UIDVALIDITY 77] x\r\n* OK [UIDNEXT 13] y\r\nA0002 OK done\r\n"}},
         false, run);
    ASSERT_EQ(conversation.Step(), TImapStep::Ready) << conversation.ErrorText();
    run.sent.clear();
}

}  // namespace

TEST(ImapConversation, Idle_NewMessagesAnnouncedEndIdleAndAreFetched)
{
    TImapConversation conversation;
    TRun run;
    ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
    ASSERT_TRUE(conversation.Idle());
    EXPECT_EQ(run.sent, "A0003 IDLE\r\n");
    EXPECT_FALSE(conversation.IdleAccepted());
    conversation.Received("+ idling\r\n", 10);
    EXPECT_TRUE(conversation.IdleAccepted());
    // A flag change or an expunge is no new mail; a message that comes after
    // an expunge is, though the count is back where it was.
    const std::string quiet = "* 2 FETCH (FLAGS (\\Seen))\r\n* 3 EXPUNGE\r\n";
    conversation.Received(quiet.data(), quiet.size());
    EXPECT_EQ(run.sent, "A0003 IDLE\r\n");
    EXPECT_EQ(conversation.Exists(), 3u);
    const std::string more = "* 4 EXISTS\r\n";
    conversation.Received(more.data(), more.size());
    EXPECT_EQ(run.sent, "A0003 IDLE\r\nDONE\r\n");
    EXPECT_EQ(conversation.Step(), TImapStep::IdleDone);
    const std::string done = "A0003 OK IDLE terminated\r\n";
    conversation.Received(done.data(), done.size());
    EXPECT_EQ(run.sent, "A0003 IDLE\r\nDONE\r\nA0004 " + FetchFrom + "13:*" + Items);
    const std::string fetched = "* 4 FETCH " + Header(13, "new") + "A0004 OK done\r\n";
    conversation.Received(fetched.data(), fetched.size());
    EXPECT_EQ(conversation.Step(), TImapStep::Ready);
    EXPECT_EQ(Uids(conversation), (std::vector<std::uint32_t>{13}));
    EXPECT_EQ(conversation.LastUid(), 13u);
    EXPECT_EQ(run.finished, 2);
}

TEST(ImapConversation, MailAnnouncedBetweenTwoWaits_IsFetchedInsteadOfWaitingAgain)
{
    TImapConversation conversation;
    TRun run;
    ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
    // Ready, the watch busy elsewhere: the server says a message came.
    conversation.Received("* 5 EXISTS\r\n", 12);
    EXPECT_EQ(run.sent, "");
    ASSERT_TRUE(conversation.Idle());
    EXPECT_EQ(run.sent, "A0003 " + FetchFrom + "13:*" + Items);
    const std::string fetched = "* 5 FETCH " + Header(13, "between") + "A0003 OK done\r\n";
    conversation.Received(fetched.data(), fetched.size());
    EXPECT_EQ(conversation.Step(), TImapStep::Ready);
    EXPECT_EQ(Uids(conversation), (std::vector<std::uint32_t>{13}));
    EXPECT_EQ(run.finished, 2);
    // Fetched: the next wait is IDLE again, and an expunge is no news.
    run.sent.clear();
    conversation.Received("* 2 EXPUNGE\r\n", 13);
    ASSERT_TRUE(conversation.Idle());
    EXPECT_EQ(run.sent, "A0004 IDLE\r\n");
    EXPECT_EQ(conversation.Step(), TImapStep::Idling);
}

TEST(ImapConversation, IdleRenewed_GoesStraightBackUnlessMailCame)
{
    TImapConversation conversation;
    TRun run;
    ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
    ASSERT_TRUE(conversation.Idle());
    conversation.Received("+ idling\r\n", 10);
    conversation.RenewIdle();
    conversation.Received("A0003 OK IDLE terminated\r\n", 26);
    EXPECT_EQ(run.sent, "A0003 IDLE\r\nDONE\r\nA0004 IDLE\r\n");
    EXPECT_EQ(conversation.Step(), TImapStep::Idling);
    EXPECT_FALSE(conversation.IdleAccepted());
    EXPECT_EQ(run.finished, 1);

    // Mail announced between DONE and the end of IDLE is fetched.
    conversation.Received("+ idling\r\n", 10);
    conversation.RenewIdle();
    conversation.Received("* 5 EXISTS\r\nA0004 OK IDLE terminated\r\n", 38);
    EXPECT_EQ(run.sent, "A0003 IDLE\r\nDONE\r\nA0004 IDLE\r\nDONE\r\nA0005 " + FetchFrom + "13:*" + Items);
}

TEST(ImapConversation, IdleEnds_ByeDropRefusalOrLogout)
{
    {
        TImapConversation conversation;
        TRun run;
        ReadyWithNothingNew(conversation, run, "IMAP4rev1");
        EXPECT_FALSE(conversation.Idle());
        EXPECT_EQ(run.sent, "");
    }
    const std::pair<std::string, std::string> endings[] = {
        {"* BYE Server shutting down\r\n", "the server ended the session: Server shutting down"},
        {"A0003 NO not now\r\n", "the server refused IDLE: NO not now"},
        {"", "the server closed the connection"},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.second);
        TImapConversation conversation;
        TRun run;
        ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
        ASSERT_TRUE(conversation.Idle());
        conversation.Received("+ idling\r\n", 10);
        if (ending.first.empty())
            conversation.Closed();
        else
            conversation.Received(ending.first.data(), ending.first.size());
        EXPECT_EQ(conversation.Step(), TImapStep::Failed);
        EXPECT_EQ(conversation.ErrorText(), ending.second);
    }
    TImapConversation conversation;
    TRun run;
    ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
    ASSERT_TRUE(conversation.Idle());
    conversation.Received("+ idling\r\n", 10);
    conversation.Logout();
    EXPECT_EQ(run.sent, "A0003 IDLE\r\nDONE\r\nA0004 LOGOUT\r\n");
    const std::string answers = "A0003 OK IDLE terminated\r\n* BYE bye\r\nA0004 OK done\r\n";
    conversation.Received(answers.data(), answers.size());
    EXPECT_EQ(conversation.Step(), TImapStep::Done);
}

// ---- spam

TEST(ImapConversation, SpamMove_MoveOrCopyMarkAndExpungeExactlyThoseUids)
{
    const std::string list = "* LIST (\\HasNoChildren) \"/\" INBOX\r\n* LIST (\\Trash) \"/\" Trash\r\n"
                             "* LIST (\\Junk) \"/\" {24}\r\nCourrier ind&AOk-sirable\r\n";
    const struct {
        const char* name;
        std::string capabilities;
        TTranscript transcript;
        TImapSpamMove how;
    } cases[] = {
        {"MOVE", "IMAP4rev1 MOVE SPECIAL-USE",
         {{'C', "A0003 LIST \"\" \"*\" RETURN (SPECIAL-USE)\r\n"},
          {'S', list + "A0003 OK done\r\n"},
          {'C', "A0004 UID MOVE 3:5,9 \"Courrier ind&AOk-sirable\"\r\n"},
          {'S', "* OK [COPYUID 77 3:5,9 1:4] x\r\n* 4 EXPUNGE\r\n* 3 EXPUNGE\r\n* 2 EXPUNGE\r\n* 1 EXPUNGE\r\n"
                "A0004 OK moved\r\n"}},
         TImapSpamMove::Moved},
        {"UIDPLUS", "IMAP4rev1 UIDPLUS",
         {{'C', "A0003 LIST \"\" \"*\"\r\n"},
          {'S', list + "A0003 OK done\r\n"},
          {'C', "A0004 UID COPY 3:5,9 \"Courrier ind&AOk-sirable\"\r\n"},
          {'S', "A0004 OK [COPYUID 77 3:5,9 1:4] copied\r\n"},
          {'C', "A0005 UID STORE 3:5,9 +FLAGS.SILENT (\\Deleted)\r\n"},
          {'S', "A0005 OK stored\r\n"},
          {'C', "A0006 UID EXPUNGE 3:5,9\r\n"},
          {'S', "* 1 EXPUNGE\r\nA0006 OK expunged\r\n"}},
         TImapSpamMove::CopiedAndExpunged},
        {"neither", "IMAP4rev1",
         {{'C', "A0003 LIST \"\" \"*\"\r\n"},
          {'S', list + "A0003 OK done\r\n"},
          {'C', "A0004 UID COPY 3:5,9 \"Courrier ind&AOk-sirable\"\r\n"},
          {'S', "A0004 OK copied\r\n"},
          {'C', "A0005 UID STORE 3:5,9 +FLAGS.SILENT (\\Deleted)\r\n"},
          {'S', "A0005 OK stored\r\n"},
          {'C', ""}},
         TImapSpamMove::CopiedAndMarked},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TImapConversation conversation;
        TRun run;
        ReadyWithNothingNew(conversation, run, c.capabilities);
        ASSERT_TRUE(conversation.MoveToSpam({9, 5, 4, 3}));
        for (const TLine& line : c.transcript) {
            if (line.who == 'S') {
                conversation.Received(line.text.data(), line.text.size());
            } else {
                EXPECT_EQ(run.sent, line.text);
                run.sent.clear();
            }
        }
        EXPECT_EQ(conversation.Step(), TImapStep::Ready) << conversation.ErrorText();
        EXPECT_EQ(conversation.SpamResult().How, c.how) << conversation.SpamResult().Error;
        EXPECT_EQ(conversation.SpamResult().Folder, "Courrier ind\xc3\xa9sirable");
        EXPECT_EQ(run.finished, 2);
        // The folder is known for the rest of the connection.
        ASSERT_TRUE(conversation.MoveToSpam({12}));
        EXPECT_EQ(run.sent.find("LIST"), std::string::npos);
        EXPECT_NE(run.sent.find(" 12 \"Courrier ind&AOk-sirable\"\r\n"), std::string::npos) << run.sent;
    }
}

// The grid's Delete: exactly that UID marked and expunged, never a plain
// EXPUNGE, and nothing at all without UIDPLUS.
TEST(ImapConversation, DeleteUids_MarksAndExpungesExactlyThoseOnlyWithUidPlus)
{
    TImapConversation conversation;
    TRun run;
    ReadyWithNothingNew(conversation, run, "IMAP4rev1 UIDPLUS");
    ASSERT_TRUE(conversation.DeleteUids({7}));
    EXPECT_EQ(run.sent, "A0003 UID STORE 7 +FLAGS.SILENT (\\Deleted)\r\n");
    run.sent.clear();
    const std::string stored = "A0003 OK stored\r\n";
    conversation.Received(stored.data(), stored.size());
    EXPECT_EQ(run.sent, "A0004 UID EXPUNGE 7\r\n");
    const std::string expunged = "* 2 EXPUNGE\r\nA0004 OK expunged\r\n";
    conversation.Received(expunged.data(), expunged.size());
    EXPECT_EQ(conversation.Step(), TImapStep::Ready);
    EXPECT_EQ(conversation.SpamResult().How, TImapSpamMove::Deleted);
    // Refused: said, the session still Ready.
    ASSERT_TRUE(conversation.DeleteUids({8}));
    const std::string refused = "A0005 NO [CANNOT] read-only\r\n";
    conversation.Received(refused.data(), refused.size());
    EXPECT_EQ(conversation.Step(), TImapStep::Ready);
    EXPECT_EQ(conversation.SpamResult().How, TImapSpamMove::None);
    EXPECT_EQ(conversation.SpamResult().Error, "the server refused to mark the message deleted: NO read-only");

    TImapConversation plain;
    TRun plainRun;
    ReadyWithNothingNew(plain, plainRun, "IMAP4rev1");
    plainRun.sent.clear();
    EXPECT_FALSE(plain.DeleteUids({7}));
    EXPECT_EQ(plainRun.sent, "");
}

// No spam folder: the messages fetched whole in one UID FETCH and handed
// over as they come, then \Deleted and UID EXPUNGE of exactly those whose
// copies the owner kept, never a plain EXPUNGE; with copies off, removed
// as they are; without UIDPLUS, marked \Deleted only.
TEST(ImapConversation, SpamWithoutAFolder_CopiedHereThenRemovedOnlyWhereKept)
{
    using U = std::vector<std::uint32_t>;
    const std::string list = "* LIST (\\HasNoChildren) \"/\" INBOX\r\n* LIST () \"/\" Sent\r\nA0003 OK done\r\n";
    const std::string fetch = "A0004 UID FETCH 3:5,9 (UID RFC822.SIZE BODY.PEEK[])\r\n";
    // Two whole messages, flag noise, a NIL, and a UID never asked for.
    const std::string wholes = "* 1 FETCH (UID 3 RFC822.SIZE 7 BODY[] {7}\r\nHi\r\n.\r\n)\r\n"
                               "* 1 FETCH (FLAGS (\\Recent))\r\n"
                               "* 2 FETCH (RFC822.SIZE 5 UID 4 BODY[] \"There\")\r\n"
                               "* 3 FETCH (UID 5 BODY[] NIL)\r\n* 4 FETCH (UID 77 BODY[] {1}\r\nx)\r\n";
    const std::uint64_t huge = 5 * 1024 * 1024;
    const struct {
        const char* name;
        std::string capabilities;
        TImapNoSpamFolder way;
        std::vector<std::uint64_t> sizes;  // of 9, 5, 4, 3
        U kept;                            // what the owner says it kept
        TTranscript transcript;
        TImapSpamMove how;
        U uids, tooLarge, handed;
        const char* error;
    } cases[] = {
        {"copied here, UIDPLUS", "IMAP4rev1 UIDPLUS", TImapNoSpamFolder::CopyHere, {}, {3, 4, 77},
         {{'S', list}, {'C', fetch}, {'S', wholes + "A0004 OK done\r\n"},
          {'C', "A0005 UID STORE 3:4 +FLAGS.SILENT (\\Deleted)\r\n"}, {'S', "A0005 OK stored\r\n"},
          {'C', "A0006 UID EXPUNGE 3:4\r\n"}, {'S', "* 1 EXPUNGE\r\n* 1 EXPUNGE\r\nA0006 OK expunged\r\n"}},
         TImapSpamMove::CopiedHereAndExpunged, {3, 4}, {}, {3, 4}, ""},
        {"copied here, no UIDPLUS, one too large", "IMAP4rev1", TImapNoSpamFolder::CopyHere, {huge, 9, 7, 5},
         {4},
         {{'S', list}, {'C', "A0004 UID FETCH 3:5 (UID RFC822.SIZE BODY.PEEK[])\r\n"},
          {'S', wholes + "A0004 OK done\r\n"},
          {'C', "A0005 UID STORE 4 +FLAGS.SILENT (\\Deleted)\r\n"}, {'S', "A0005 OK stored\r\n"}, {'C', ""}},
         TImapSpamMove::CopiedHereAndMarked, {4}, {9}, {3, 4}, ""},
        {"no copy kept", "IMAP4rev1 UIDPLUS", TImapNoSpamFolder::CopyHere, {}, {},
         {{'S', list}, {'C', fetch}, {'S', wholes + "A0004 OK done\r\n"}, {'C', ""}},
         TImapSpamMove::CopiedHereAndExpunged, {}, {}, {3, 4}, ""},
        {"all too large", "IMAP4rev1 UIDPLUS", TImapNoSpamFolder::CopyHere, {huge, huge, huge, huge}, {3},
         {{'S', list}, {'C', ""}}, TImapSpamMove::CopiedHereAndExpunged, {}, {3, 4, 5, 9}, {}, ""},
        {"whole messages refused", "IMAP4rev1 UIDPLUS", TImapNoSpamFolder::CopyHere, {}, {3},
         {{'S', list}, {'C', fetch}, {'S', "A0004 NO [UNAVAILABLE] busy\r\n"}, {'C', ""}}, TImapSpamMove::None, {},
         {}, {}, "the server refused to send the spam whole: NO busy"},
        {"copies off, UIDPLUS", "IMAP4rev1 UIDPLUS", TImapNoSpamFolder::Delete, {}, {},
         {{'S', list}, {'C', "A0004 UID STORE 3:5,9 +FLAGS.SILENT (\\Deleted)\r\n"}, {'S', "A0004 OK stored\r\n"},
          {'C', "A0005 UID EXPUNGE 3:5,9\r\n"}, {'S', "A0005 OK expunged\r\n"}},
         TImapSpamMove::Deleted, {3, 4, 5, 9}, {}, {}, ""},
        {"copies off, no UIDPLUS", "IMAP4rev1", TImapNoSpamFolder::Delete, {}, {},
         {{'S', list}, {'C', "A0004 UID STORE 3:5,9 +FLAGS.SILENT (\\Deleted)\r\n"}, {'S', "A0004 OK stored\r\n"},
          {'C', ""}},
         TImapSpamMove::Marked, {3, 4, 5, 9}, {}, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TImapConversation conversation;
        TRun run;
        ReadyWithNothingNew(conversation, run, c.capabilities);
        conversation.NoSpamFolder = c.way;
        std::map<std::uint32_t, std::string> handed;
        conversation.OnSpamMessage = [&](const TImapFetch& whole) { handed[whole.Uid] = whole.Body; };
        conversation.OnSpamCopiesKept = [&] { return c.kept; };
        ASSERT_TRUE(conversation.MoveToSpam({9, 5, 4, 3}, c.sizes));
        EXPECT_EQ(run.sent, "A0003 LIST \"\" \"*\"\r\n");
        run.sent.clear();
        for (const TLine& line : c.transcript) {
            if (line.who == 'S') {
                conversation.Received(line.text.data(), line.text.size());
            } else {
                EXPECT_EQ(run.sent, line.text);
                run.sent.clear();
            }
        }
        EXPECT_EQ(conversation.Step(), TImapStep::Ready) << conversation.ErrorText();
        const TImapSpamResult& result = conversation.SpamResult();
        EXPECT_EQ(result.How, c.how) << result.Error;
        EXPECT_EQ(result.Error, c.error);
        EXPECT_EQ(result.Uids, c.uids);
        EXPECT_EQ(result.TooLarge, c.tooLarge);
        U handedUids;
        for (const auto& [uid, body] : handed)
            handedUids.push_back(uid);
        EXPECT_EQ(handedUids, c.handed);
        if (handed.count(3))
            EXPECT_EQ(handed[3], "Hi\r\n.\r\n");
    }
    // Unless told what to do, nothing leaves a server without a spam folder.
    TImapConversation refusing;
    TRun run;
    ReadyWithNothingNew(refusing, run, "IMAP4rev1 UIDPLUS");
    refusing.NoSpamFolder = TImapNoSpamFolder::CopyHere;  // but no one to copy them
    ASSERT_TRUE(refusing.MoveToSpam({3}));
    refusing.Received(list.data(), list.size());
    EXPECT_EQ(refusing.SpamResult().Error, "the server has no folder for spam (Junk, Spam or Trash)");
    EXPECT_EQ(run.sent, "A0003 LIST \"\" \"*\"\r\n");
}

TEST(ImapConversation, SpamMoveRefused_LeavesTheMessagesAndTheSessionReady)
{
    const struct {
        const char* name;
        std::string mailbox;
        std::string answers;
        const char* error;
    } cases[] = {
        {"no spam folder", "INBOX", "* LIST () \"/\" INBOX\r\n* LIST () \"/\" Sent\r\nA0003 OK done\r\n",
         "the server has no folder for spam (Junk, Spam or Trash)"},
        {"the watched mailbox is the spam folder", "junk", "* LIST () \"/\" junk\r\nA0003 OK done\r\n",
         "the server's folder for spam is the mailbox being watched"},
        {"LIST refused", "INBOX", "A0003 NO not now\r\n", "the server refused to list the folders: NO not now"},
        {"MOVE refused", "INBOX", "* LIST (\\Junk) \"/\" Junk\r\nA0003 OK done\r\nA0004 NO [OVERQUOTA] full\r\n",
         "the server refused to move the spam: NO full"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TImapConversation conversation;
        TRun run;
        conversation.Account = Account();
        conversation.Account.Mailbox = c.mailbox;
        Play(conversation,
             {{'S', Greeting},
              {'S', "A0001 OK [CAPABILITY IMAP4rev1 MOVE] in\r\n"},
              {'S', "* OK [UIDVALIDITY 77] x\r\n* OK [UIDNEXT 1] y\r\nA0002 OK done\r\n"}},
             false, run);
        ASSERT_EQ(conversation.Step(), TImapStep::Ready) << conversation.ErrorText();
        ASSERT_TRUE(conversation.MoveToSpam({7}));
        conversation.Received(c.answers.data(), c.answers.size());
        EXPECT_EQ(conversation.Step(), TImapStep::Ready);
        EXPECT_EQ(conversation.SpamResult().How, TImapSpamMove::None);
        EXPECT_EQ(conversation.SpamResult().Error, c.error);
        // Only the missing folder is left for a cycle that keeps copies.
        EXPECT_EQ(conversation.SpamResult().NoFolder, std::string(c.name) == "no spam folder");
        EXPECT_EQ(run.sent.find("EXPUNGE"), std::string::npos);
    }
    TImapConversation idle;
    TRun run;
    ReadyWithNothingNew(idle, run, "IMAP4rev1 IDLE");
    EXPECT_FALSE(idle.MoveToSpam({}));
    EXPECT_FALSE(idle.MoveToSpam({0}));
    ASSERT_TRUE(idle.Idle());
    EXPECT_FALSE(idle.MoveToSpam({3}));
}

TEST(ImapConversation, IdleEndedBeforeTheServersPlus_DoneWaitsForIt)
{
    // A DONE before the "+" would be read as a command: it waits, and so
    // does a LOGOUT behind it.
    {
        TImapConversation conversation;
        TRun run;
        ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
        ASSERT_TRUE(conversation.Idle());
        conversation.RenewIdle();
        EXPECT_EQ(run.sent, "A0003 IDLE\r\n");
        conversation.Received("+ idling\r\nA0003 OK done\r\n", 25);
        EXPECT_EQ(run.sent, "A0003 IDLE\r\nDONE\r\nA0004 IDLE\r\n");
    }
    {
        TImapConversation conversation;
        TRun run;
        ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
        ASSERT_TRUE(conversation.Idle());
        conversation.Logout();
        EXPECT_EQ(run.sent, "A0003 IDLE\r\n");
        conversation.Received("+ idling\r\n", 10);
        EXPECT_EQ(run.sent, "A0003 IDLE\r\nDONE\r\nA0004 LOGOUT\r\n");
        const std::string answers = "A0003 OK IDLE terminated\r\n* BYE bye\r\nA0004 OK done\r\n";
        conversation.Received(answers.data(), answers.size());
        EXPECT_EQ(conversation.Step(), TImapStep::Done);
    }
    {
        TImapConversation conversation;
        TRun run;
        ReadyWithNothingNew(conversation, run, "IMAP4rev1 IDLE");
        ASSERT_TRUE(conversation.Idle());
        conversation.Logout();
        conversation.Received("A0003 NO not now\r\n", 18);
        EXPECT_EQ(run.sent, "A0003 IDLE\r\nA0004 LOGOUT\r\n");
        conversation.Received("* BYE bye\r\nA0004 OK done\r\n", 26);
        EXPECT_EQ(conversation.Step(), TImapStep::Done);
    }
}
