#include "pop3_server_support.h"

#include <algorithm>
#include <vector>

#include "net/Pop3Sync.h"

namespace {
struct TRecorder {
    std::vector<std::string> listLines, messageLines, display;
    std::vector<std::pair<int, int>> listed;
    int headerEnds = 0, listBegins = 0, listEnds = 0, messageBegins = 0, messageEnds = 0;
    std::vector<std::pair<TPop3Request, WORD>> done;

    void Hook(TCustomPop3Cli& pop)
    {
        pop.OnListBegin = [this](TCustomPop3Cli*) { ++listBegins; };
        pop.OnListEnd = [this](TCustomPop3Cli*) { ++listEnds; };
        pop.OnListLine = [this](TCustomPop3Cli* p) {
            listLines.push_back(p->LastResponse());
            listed.emplace_back(p->MsgNum, p->MsgSize());
        };
        pop.OnMessageBegin = [this](TCustomPop3Cli*) { ++messageBegins; };
        pop.OnMessageEnd = [this](TCustomPop3Cli*) { ++messageEnds; };
        pop.OnMessageLine = [this](TCustomPop3Cli* p) { messageLines.push_back(p->LastResponse()); };
        pop.OnHeaderEnd = [this](TCustomPop3Cli*) { ++headerEnds; };
        pop.OnDisplay = [this](TCustomPop3Cli*, const std::string& m) { display.push_back(m); };
        pop.OnRequestDone = [this](TCustomPop3Cli*, TPop3Request rq, WORD e) { done.emplace_back(rq, e); };
    }
};

void Aim(TSyncPop3Cli& pop, const TLoopbackServer& server)
{
    pop.Host = "127.0.0.1";
    pop.Port = server.PortText();
    pop.UserName = " alice ";
    pop.PassWord = "secret";
}
}  // namespace

TEST_F(WSocketTest, Pop3Sync_MailboxCheckConversation_DeliversListHeaderAndBody)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3Answer(client, self, "+OK 2 messages\r\n1 120\r\n2 3400\r\n.\r\n");
        Pop3Answer(client, self, "+OK 1 120\r\n");
        Pop3Answer(client, self,
                   "+OK top\r\nFrom: Bob <bob@example.org>\r\nSUBJECT:Hi\r\n\tfolded more\r\n"
                   "Date: Mon, 1 Jan 2024\r\n\r\n.\r\n");
        Pop3Answer(client, self, "+OK top\r\nSubject: Hello\r\n\r\n..dotted\r\n.x\r\nplain\r\n.\r\n");
        Pop3Answer(client, self, "+OK deleted\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    TRecorder rec;
    rec.Hook(pop);
    Aim(pop, server);

    ASSERT_TRUE(pop.ConnectSync()) << pop.ErrorMessage();
    EXPECT_EQ(pop.ProtocolState(), pop3WaitingUser);
    ASSERT_TRUE(pop.UserSync());
    EXPECT_EQ(pop.ProtocolState(), pop3WaitingPass);
    ASSERT_TRUE(pop.PassSync());
    EXPECT_EQ(pop.ProtocolState(), pop3Transaction);

    pop.MsgNum = 0;
    ASSERT_TRUE(pop.ListSync());
    EXPECT_EQ(rec.listLines, (std::vector<std::string>{"1 120", "2 3400"}));
    EXPECT_EQ(rec.listed, (std::vector<std::pair<int, int>>{{1, 120}, {2, 3400}}));
    EXPECT_EQ(rec.listBegins, 1);
    EXPECT_EQ(rec.listEnds, 1);

    pop.MsgNum = 1;
    ASSERT_TRUE(pop.ListSync());
    EXPECT_EQ(pop.MsgNum, 1);
    EXPECT_EQ(pop.MsgSize(), 120);

    pop.MsgLines = 0;
    ASSERT_TRUE(pop.TopSync());
    EXPECT_EQ(pop.MsgFrom(), " Bob <bob@example.org>");
    EXPECT_EQ(pop.MsgSubject(), "Hi\tfolded more") << "the folded line is joined on";
    EXPECT_EQ(pop.MsgDate(), " Mon, 1 Jan 2024");
    EXPECT_EQ(rec.headerEnds, 1);
    EXPECT_EQ(rec.messageLines.size(), 5u) << "header lines and the separator, not the final dot";

    rec.messageLines.clear();
    pop.MsgLines = 3;
    ASSERT_TRUE(pop.TopSync());
    EXPECT_EQ(pop.MsgSubject(), " Hello");
    EXPECT_EQ(pop.MsgFrom(), "") << "fields are emptied by each new request";
    EXPECT_EQ(rec.messageLines, (std::vector<std::string>{"Subject: Hello", "", ".dotted", ".x", "plain"}));
    EXPECT_EQ(rec.messageBegins, 2);
    EXPECT_EQ(rec.messageEnds, 2);

    ASSERT_TRUE(pop.DeleSync());
    ASSERT_TRUE(pop.QuitSync());
    EXPECT_EQ(pop.ProtocolState(), pop3Disconnected);
    EXPECT_FALSE(pop.Connected());
    EXPECT_EQ(server.Received(), "USER alice\r\nPASS secret\r\nLIST\r\nLIST 1\r\nTOP 1 0\r\nTOP 1 3\r\nDELE 1\r\nQUIT\r\n");
    ASSERT_FALSE(rec.done.empty());
    EXPECT_EQ(rec.done.back(), std::make_pair(pop3ReqQuit, WORD(0)));
    EXPECT_EQ(rec.done.size(), 9u) << "one completion per request, delivered before the call returned";
    EXPECT_NE(std::find(rec.display.begin(), rec.display.end(), "> PASS ****"), rec.display.end());
    for (const std::string& line : rec.display)
        EXPECT_EQ(line.find("secret"), std::string::npos) << line;
}

TEST_F(WSocketTest, Pop3Sync_NegativePass_ReturnsFalseAndAllowsPassAgain)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "+OK ready\r\n");
        Pop3Answer(client, self, "+OK user\r\n");
        Pop3Answer(client, self, "-ERR bad password\r\n");
        Pop3Answer(client, self, "+OK in\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    ASSERT_TRUE(pop.ConnectSync());
    ASSERT_TRUE(pop.UserSync());
    EXPECT_FALSE(pop.PassSync());
    EXPECT_EQ(pop.ErrorCode(), 500);
    EXPECT_EQ(pop.StatusCode(), 500);
    EXPECT_EQ(pop.LastResponse(), "-ERR bad password");
    EXPECT_EQ(pop.ErrorMessage(), "-ERR bad password");
    EXPECT_EQ(pop.ProtocolState(), pop3WaitingPass);
    EXPECT_TRUE(pop.PassSync());
    EXPECT_EQ(pop.ProtocolState(), pop3Transaction);
    EXPECT_TRUE(pop.QuitSync());
}

TEST_F(WSocketTest, Pop3Sync_CommandsOutOfState_ReturnFalseAndSendNothing)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "+OK ready\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    ASSERT_TRUE(pop.ConnectSync());
    EXPECT_FALSE(pop.ListSync());
    EXPECT_EQ(pop.ErrorMessage(), "-ERR LIST command invalid now");
    EXPECT_FALSE(pop.DeleSync());
    EXPECT_EQ(pop.ErrorMessage(), "-ERR DELE command invalid now");
    EXPECT_FALSE(pop.APopSync());
    EXPECT_EQ(pop.ErrorMessage(), "-ERR Server do not support APOP (no timestamp)");
    EXPECT_FALSE(pop.ConnectSync()) << "already connected";
    EXPECT_TRUE(pop.QuitSync());
    EXPECT_EQ(server.Received(), "QUIT\r\n");
}

TEST_F(WSocketTest, Pop3Sync_TopWithNegativeLines_IsRefusedWithoutSending)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    pop.MsgNum = 1;
    pop.MsgLines = -1;
    EXPECT_FALSE(pop.TopSync());
    EXPECT_EQ(pop.ClientState(), pop3Idle);
    EXPECT_TRUE(pop.QuitSync());
    EXPECT_EQ(server.Received(), "USER alice\r\nPASS secret\r\nQUIT\r\n");
}

TEST_F(WSocketTest, Pop3Sync_Apop_SendsMd5OfTimestampAndPassword)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n");
        Pop3Answer(client, self, "+OK maildrop has 1 message\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    pop.UserName = "mrose";
    pop.PassWord = "tanstaafl";
    ASSERT_TRUE(pop.ConnectSync());
    EXPECT_EQ(pop.Timestamp(), "<1896.697170952@dbc.mtview.ca.us>");
    ASSERT_TRUE(pop.APopSync());
    EXPECT_EQ(pop.ProtocolState(), pop3Transaction);
    EXPECT_TRUE(pop.QuitSync());
    // MD5 of "<1896.697170952@dbc.mtview.ca.us>tanstaafl" as computed by Python's
    // hashlib (the digest printed in RFC 1939's example does not match its input).
    EXPECT_EQ(server.Received(), "APOP mrose a6f0dd348916c9ee9539661f94c75203\r\nQUIT\r\n");
}

TEST_F(WSocketTest, Pop3Sync_SilentServer_TimesOutWithoutRaisingAndSleeps)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        self.ReceiveUntilClosed(client);  // accepts, never greets
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    pop.Timeout = 2;
    const DWORD start = GetTickCount();
    const double cpuBefore = ProcessCpuSeconds();
    EXPECT_FALSE(pop.ConnectSync());
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 1900u);
    EXPECT_LT(elapsed, 6000u);
    EXPECT_LT(cpu, 0.5) << "the wait must sleep, not spin";
    EXPECT_EQ(pop.ErrorMessage(), "426 Timeout");
    EXPECT_EQ(pop.StatusCode(), 426);
    EXPECT_EQ(pop.ClientState(), pop3Idle);
    EXPECT_FALSE(pop.Connected());
    EXPECT_TRUE(PumpUntil([&] { return server.Finished(); })) << "the connection was closed";
    EXPECT_FALSE(pop.UserSync()) << "after a time-out only a new connection can follow";
}

TEST_F(WSocketTest, Pop3Sync_LinesKeepArriving_ReArmTheTimeout)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3ReadCommand(client, self);
        TLoopbackServer::SendAll(client, "+OK top\r\n");
        for (int i = 0; i < 4; ++i) {
            Sleep(600);  // pacing of the server's lines, each under the client's limit
            TLoopbackServer::SendAll(client, "line\r\n");
        }
        TLoopbackServer::SendAll(client, ".\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    pop.Timeout = 1;
    int lines = 0;
    pop.OnMessageLine = [&](TCustomPop3Cli*) { ++lines; };
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    EXPECT_TRUE(pop.TopSync()) << pop.ErrorMessage();
    EXPECT_EQ(lines, 4);
    EXPECT_TRUE(pop.QuitSync());
}

TEST_F(WSocketTest, Pop3Sync_ServerClosesMidBody_ReturnsWithoutTimeout)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3Answer(client, self, "+OK top\r\nSubject: cut\r\n");
        closesocket(client);
        client = INVALID_SOCKET;
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    std::vector<WORD> errors;
    pop.OnRequestDone = [&](TCustomPop3Cli*, TPop3Request, WORD e) { errors.push_back(e); };
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    pop.MsgNum = 1;
    const DWORD start = GetTickCount();
    EXPECT_FALSE(pop.TopSync()) << "a cut reply is no result";
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_NE(pop.ErrorMessage(), "426 Timeout");
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back(), 10004);
    EXPECT_EQ(pop.ProtocolState(), pop3Disconnected);
    EXPECT_FALSE(pop.UserSync());
}

TEST_F(WSocketTest, Pop3Sync_QuitAnsweredByAServerThatStaysConnected_EndsAtOnce)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3Answer(client, self, "+OK bye\r\n");
        self.ReceiveUntilClosed(client);  // the server leaves the closing to the client
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    const DWORD start = GetTickCount();
    EXPECT_TRUE(pop.QuitSync());
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(pop.Connected());
    EXPECT_TRUE(PumpUntil([&] { return server.Finished(); })) << "the client closed the connection";
    EXPECT_EQ(server.Received(), "USER alice\r\nPASS secret\r\nQUIT\r\n");
}

TEST_F(WSocketTest, Pop3Sync_RefusedConnection_FailsAndLaterCallsReturnAtOnce)
{
    TSyncPop3Cli pop;
    pop.Host = "127.0.0.1";
    pop.Port = std::to_string(UnusedLoopbackPort());
    EXPECT_FALSE(pop.ConnectSync());
    EXPECT_EQ(pop.ErrorCode(), 10061);
    EXPECT_EQ(pop.ErrorMessage(), "-ERR Connection refused (Winsock error #10061)");
    EXPECT_EQ(pop.LastResponse(), pop.ErrorMessage());
    EXPECT_FALSE(pop.UserSync());
    EXPECT_FALSE(pop.QuitSync()) << "the connection's error is still in ErrorCode";
}

TEST_F(WSocketTest, Pop3Sync_EmptyHost_IsRefusedAndClientStaysUsable)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "+OK ready\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    EXPECT_FALSE(pop.ConnectSync());
    EXPECT_EQ(pop.ClientState(), pop3Idle);
    Aim(pop, server);
    EXPECT_TRUE(pop.ConnectSync());
    EXPECT_TRUE(pop.QuitSync());
}

TEST_F(WSocketTest, Pop3Sync_QuitWithoutConnection_ReturnsTrueAtOnce)
{
    TSyncPop3Cli pop;
    std::vector<TPop3Request> done;
    pop.OnRequestDone = [&](TCustomPop3Cli*, TPop3Request rq, WORD) { done.push_back(rq); };
    EXPECT_TRUE(pop.QuitSync());
    ASSERT_TRUE(PumpUntil([&] { return !done.empty(); }));
    EXPECT_EQ(done[0], pop3ReqQuit);
}

TEST_F(WSocketTest, Pop3Sync_QuitMessageDuringWait_EndsWaitAndIsKept)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TSyncPop3Cli pop;
    Aim(pop, server);
    pop.Timeout = 0;
    PostQuitMessage(7);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(pop.ConnectSync());
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(pop.ErrorMessage(), "426 Timeout");
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "posted again for the program's loop";
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(WSocketTest, Pop3Sync_NestedCallFromEvent_ReturnsFalseAtOnce)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        Pop3Login(client, self);
        Pop3Answer(client, self, "+OK\r\n1 10\r\n.\r\n");
        Pop3AnswerQuit(client, self);
    });
    TSyncPop3Cli pop;
    Aim(pop, server);
    ASSERT_TRUE(pop.ConnectSync() && pop.UserSync() && pop.PassSync());
    int nested = -1;
    pop.OnListLine = [&](TCustomPop3Cli*) { nested = pop.NoopSync() ? 1 : 0; };
    EXPECT_TRUE(pop.ListSync());
    EXPECT_EQ(nested, 0);
    EXPECT_TRUE(pop.QuitSync());
    EXPECT_EQ(server.Received(), "USER alice\r\nPASS secret\r\nLIST\r\nQUIT\r\n");
}
