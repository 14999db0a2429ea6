#include "pop3_server_support.h"

#include <vector>

#include "net/Pop3Sync.h"

namespace {
void Aim(TCustomPop3Cli& pop, const TLoopbackServer& server)
{
    pop.Host = "127.0.0.1";
    pop.Port = server.PortText();
    pop.UserName = "alice";
    pop.PassWord = "secret";
}
}  // namespace

TEST_F(WSocketTest, Pop3Client_GreetingSplitAcrossPackets_IsHandledWhenComplete)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "+OK hel");
        self.WaitSignal();
        TLoopbackServer::SendAll(client, "lo <12.34@host>\r\n");
        self.ReceiveUntilClosed(client);
    });
    TPop3Cli pop;
    Aim(pop, server);
    std::vector<std::string> responses;
    std::vector<std::pair<TPop3Request, WORD>> done;
    pop.OnResponse = [&](TCustomPop3Cli*, const std::string& m) { responses.push_back(m); };
    pop.OnRequestDone = [&](TCustomPop3Cli*, TPop3Request rq, WORD e) { done.emplace_back(rq, e); };
    pop.Connect();
    ASSERT_TRUE(PumpUntil([&] { return pop.Socket()->ReadCount() >= 7; }));
    EXPECT_TRUE(responses.empty());
    EXPECT_EQ(pop.ClientState(), pop3WaitingGreeting);
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return !done.empty(); }));
    EXPECT_EQ(responses, (std::vector<std::string>{"+OK hello <12.34@host>"}));
    EXPECT_EQ(done[0], std::make_pair(pop3ReqConnect, WORD(0)));
    EXPECT_EQ(pop.Timestamp(), "<12.34@host>");
    EXPECT_EQ(pop.ClientState(), pop3Idle);
    EXPECT_EQ(pop.ProtocolState(), pop3WaitingUser);
}

TEST_F(WSocketTest, Pop3Client_NegativeGreeting_EndsConnectWithClosedSession)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "-ERR go away\r\n");
        self.ReceiveUntilClosed(client);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    EXPECT_FALSE(pop.ConnectSync());
    EXPECT_EQ(pop.ErrorCode(), 500);
    EXPECT_EQ(pop.ErrorMessage(), "-ERR go away");
    EXPECT_FALSE(pop.Connected());
    EXPECT_EQ(pop.ProtocolState(), pop3Disconnected);
}

TEST_F(WSocketTest, Pop3Client_OverLongBodyLine_RestIsNeitherBodyEndNorUnstuffed)
{
    const std::string head(TPop3LineBuffer::MaxLineLength, 'a');
    TLoopbackServer server([&](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        // Cut after 4093 bytes, the rest of each long line is "." and "..y".
        Pop3Answer(client, self, "+OK top\r\nSubject: long\r\n\r\n" + head + ".\r\n" + head + "..y\r\n..z\r\n.\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    std::vector<std::string> lines;
    pop.OnMessageLine = [&](TCustomPop3Cli* p) { lines.push_back(p->LastResponse()); };
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    pop.MsgNum = 1;
    ASSERT_TRUE(pop.TopSync()) << pop.ErrorMessage();
    EXPECT_EQ(lines, (std::vector<std::string>{"Subject: long", "", head, ".", head, "..y", ".z"}));
    EXPECT_TRUE(pop.QuitSync());
}

TEST_F(WSocketTest, Pop3Client_OverLongReplyLine_RestIsNotTakenForTheNextReply)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3Answer(client, self, "+OK " + std::string(TPop3LineBuffer::MaxLineLength - 4, 'x') + "-ERR tail\r\n");
        Pop3Answer(client, self, "+OK second\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    EXPECT_TRUE(pop.NoopSync());
    EXPECT_TRUE(pop.NoopSync()) << pop.ErrorMessage();
    EXPECT_EQ(pop.LastResponse(), "+OK second");
    EXPECT_EQ(pop.ErrorMessage(), "");
    EXPECT_TRUE(pop.QuitSync());
}

TEST_F(WSocketTest, Pop3Client_ListOneWithoutSize_SetsBothToZero_AndLastKeepsItsNumber)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3Answer(client, self, "+OK 3\r\n");
        Pop3Answer(client, self, "+OK 4\r\n");
        Pop3Answer(client, self, "+OK 2 320\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    pop.MsgNum = 3;
    ASSERT_TRUE(pop.ListSync());
    EXPECT_EQ(pop.MsgNum, 0);
    EXPECT_EQ(pop.MsgSize(), 0);
    ASSERT_TRUE(pop.LastSync());
    EXPECT_EQ(pop.MsgLast(), 4);
    ASSERT_TRUE(pop.StatSync());
    EXPECT_EQ(pop.MsgCount(), 2);
    EXPECT_EQ(pop.MsgSize(), 320);
    EXPECT_TRUE(pop.QuitSync());
    EXPECT_EQ(server.Received(), "USER alice\r\nPASS secret\r\nLIST 3\r\nLAST\r\nSTAT\r\nQUIT\r\n");
}

TEST_F(WSocketTest, Pop3Client_Open_RunsConnectUserPassAsOneRequest)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    std::vector<std::pair<TPop3Request, WORD>> done;
    pop.OnRequestDone = [&](TCustomPop3Cli*, TPop3Request rq, WORD e) { done.emplace_back(rq, e); };
    ASSERT_TRUE(pop.OpenSync()) << pop.ErrorMessage();
    EXPECT_EQ(pop.ProtocolState(), pop3Transaction);
    EXPECT_EQ(done, (std::vector<std::pair<TPop3Request, WORD>>{{pop3ReqOpen, 0}}));
    EXPECT_TRUE(pop.QuitSync());
}

TEST_F(WSocketTest, Pop3Client_OpenWithRefusedUser_StopsAtThatStep)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "+OK ready\r\n");
        Pop3Answer(client, self, "-ERR no such user\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    EXPECT_FALSE(pop.OpenSync());
    EXPECT_EQ(pop.ErrorCode(), 500);
    EXPECT_EQ(pop.ProtocolState(), pop3WaitingUser);
    EXPECT_TRUE(pop.QuitSync());
    EXPECT_EQ(server.Received(), "USER alice\r\nQUIT\r\n");
}

TEST_F(WSocketTest, Pop3Client_UserAfterPass_IsRefusedWithItsText)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3AnswerQuit(client, self);
    });
    TPop3Cli pop;
    Aim(pop, server);
    std::vector<std::string> display;
    pop.OnDisplay = [&](TCustomPop3Cli*, const std::string& m) { display.push_back(m); };
    bool done = false;
    pop.OnRequestDone = [&](TCustomPop3Cli*, TPop3Request, WORD) { done = true; };
    pop.Connect();
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    done = false;
    pop.User();
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    done = false;
    pop.Pass();
    EXPECT_THROW(pop.Noop(), Pop3Exception) << "not ready while PASS waits";
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    try {
        pop.User();
        FAIL() << "USER accepted after PASS";
    } catch (const Pop3Exception& e) {
        EXPECT_STREQ(e.what(), "-ERR USER command invalid now");
    }
    EXPECT_EQ(pop.ErrorMessage(), "-ERR USER command invalid now");
    EXPECT_EQ(display.back(), "-ERR USER command invalid now");
}
