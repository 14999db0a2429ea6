// Against a real Dovecot server, started by tests/e2e/test_pop3_dovecot.py,
// which passes its port in SKARNVALE_DOVECOT_PORT (user "alice", password
// "secret", two messages). Without that server the test is skipped.
#include "wsocket_support.h"

#include <cstdlib>
#include <vector>

#include "net/Pop3Sync.h"

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
