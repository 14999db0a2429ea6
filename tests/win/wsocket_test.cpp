#include "wsocket_support.h"

#include <vector>

#include "net/WSockErrors.h"
#include "framework/Window.h"
#include "net/WSocket.h"

namespace {
std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ESocketException& e) {
        return e.what();
    }
    return "no exception";
}

// Records the events of one socket.
struct TEventLog {
    std::vector<std::string> events;
    std::vector<WORD> connectErrors;
    std::vector<WORD> closeErrors;
    std::vector<WORD> dnsErrors;
    std::string data;
    int dataSent = 0;

    void Attach(TWSocket& socket, bool readData = true)
    {
        socket.OnSessionConnected = [this](TCustomWSocket*, WORD error) {
            connectErrors.push_back(error);
            events.push_back("connected");
        };
        socket.OnSessionClosed = [this](TCustomWSocket*, WORD error) {
            closeErrors.push_back(error);
            events.push_back("closed");
        };
        socket.OnDnsLookupDone = [this](TCustomWSocket*, WORD error) { dnsErrors.push_back(error); };
        socket.OnDataSent = [this](TCustomWSocket*, WORD) { ++dataSent; };
        if (readData) {
            socket.OnDataAvailable = [this](TCustomWSocket* sender, WORD) {
                char chunk[4096];
                const int count = sender->Receive(chunk, sizeof chunk);
                if (count > 0) {
                    data.append(chunk, static_cast<size_t>(count));
                    events.push_back("data");
                }
            };
        }
    }
};

void Aim(TWSocket& socket, int port)
{
    socket.SetAddr("127.0.0.1");
    socket.SetPort(std::to_string(port));
    socket.SetProto("tcp");
}

std::string Pattern(size_t size)
{
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('A' + (i * 7 + i / 1460) % 26);
    return text;
}
}  // namespace

TEST_F(WSocketTest, DnsLookup_DottedAddress_CompletesBeforeReturning)
{
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    socket.DnsLookup("127.1");
    ASSERT_EQ(log.dnsErrors, std::vector<WORD>{0});
    EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
    EXPECT_EQ(socket.DnsResultList(), std::vector<std::string>{"127.0.0.1"});
}

TEST_F(WSocketTest, DnsLookup_Localhost_CompletesFromTheMessageLoop)
{
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    socket.DnsLookup("localhost");
    EXPECT_TRUE(log.dnsErrors.empty()) << "the reply can only come through the message loop";
    ASSERT_TRUE(PumpUntil([&] { return !log.dnsErrors.empty(); }));
    EXPECT_EQ(log.dnsErrors, std::vector<WORD>{0});
    EXPECT_EQ(socket.DnsResult().rfind("127.", 0), 0u) << socket.DnsResult();
    ASSERT_FALSE(socket.DnsResultList().empty());
    EXPECT_EQ(socket.DnsResultList().front(), socket.DnsResult());
}

TEST_F(WSocketTest, CancelDnsLookup_ReportsInterruptedOnce)
{
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    socket.DnsLookup("localhost");
    socket.CancelDnsLookup();
    EXPECT_EQ(log.dnsErrors, std::vector<WORD>{10004});
    EXPECT_EQ(WSocketErrorText(10004), "Interrupted system call");
    // A later lookup sees only its own reply, never the cancelled one's.
    socket.DnsLookup("localhost");
    ASSERT_TRUE(PumpUntil([&] { return log.dnsErrors.size() >= 2; }));
    EXPECT_FALSE(PumpUntil([&] { return log.dnsErrors.size() > 2; }, 300));
    EXPECT_EQ(log.dnsErrors, (std::vector<WORD>{10004, 0}));
    socket.CancelDnsLookup();  // nothing pending: no event
    EXPECT_EQ(log.dnsErrors.size(), 2u);
}

TEST_F(WSocketTest, DnsLookup_EmptyName_IsRefused)
{
    TWSocket socket;
    EXPECT_EQ(ErrorOf([&] { socket.DnsLookup(""); }), "DNS lookup: invalid host name.");
    TEventLog log;
    log.Attach(socket);
    int errors = 0;
    socket.OnError = [&](TCustomWSocket*) { ++errors; };
    socket.DnsLookup("");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(log.dnsErrors, std::vector<WORD>{10022});
}

TEST_F(WSocketTest, Connect_ToListeningServer_GoesThroughOpenedConnectingConnected)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    std::vector<TSocketState> states;
    socket.OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState now) { states.push_back(now); };
    Aim(socket, server.Port());
    socket.Connect();
    EXPECT_EQ(socket.State(), wsConnecting);
    ASSERT_TRUE(PumpUntil([&] { return !log.connectErrors.empty(); }));
    EXPECT_EQ(log.connectErrors, std::vector<WORD>{0});
    EXPECT_EQ(socket.State(), wsConnected);
    EXPECT_EQ(states, (std::vector<TSocketState>{wsOpened, wsConnecting, wsConnected}));
    EXPECT_EQ(socket.PeerAddr(), "127.0.0.1");
    EXPECT_EQ(socket.PeerPort(), server.PortText());
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: Socket already in use");
    EXPECT_EQ(ErrorOf([&] { socket.SetAddr("127.0.0.2"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(ErrorOf([&] { socket.SetPort("1"); }), "Cannot change Port if not closed");
    EXPECT_EQ(ErrorOf([&] { socket.SetProto("udp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(ErrorOf([&] { socket.SetLocalAddr("127.0.0.1"); }), "Cannot change LocalAddr if not closed");
    EXPECT_EQ(ErrorOf([&] { socket.SetLocalPort("1"); }), "Cannot change LocalPort if not closed");
}

TEST_F(WSocketTest, Connect_Refused_ReportsConnectionRefusedThenClosedOnce)
{
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    Aim(socket, UnusedLoopbackPort());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !log.closeErrors.empty(); }));
    EXPECT_EQ(log.connectErrors, std::vector<WORD>{10061});
    EXPECT_EQ(WSocketErrorText(log.connectErrors[0]), "Connection refused");
    EXPECT_EQ(log.closeErrors, std::vector<WORD>{0});
    EXPECT_EQ(log.events, (std::vector<std::string>{"connected", "closed"}));
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_FALSE(PumpUntil([&] { return log.closeErrors.size() > 1; }, 200));
}

TEST_F(WSocketTest, Connect_AfterClose_NeedsAddrAndPortAgain)
{
    TWSocket socket;
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No Port Specified");
    socket.SetPort("110");
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No IP Address Specified");
    socket.SetProto("");
    socket.SetAddr("127.0.0.1");
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No Protocol Specified");

    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TEventLog log;
    log.Attach(socket);
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !log.connectErrors.empty(); }));
    socket.Close();
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(socket.Port(), server.PortText()) << "the text stays";
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "Connect: No Port Specified");
}

TEST_F(WSocketTest, Connect_UnresolvableEndpoint_IsReportedAsConnectError)
{
    TWSocket socket;
    socket.SetAddr("127.0.0.1");
    socket.SetPort("70000");
    EXPECT_EQ(ErrorOf([&] { socket.Connect(); }), "connect: WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(WSocketTest, Connect_WithLocalAddress_BindsAndReportsBoundPort)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    Aim(socket, server.Port());
    socket.SetLocalAddr("127.0.0.1");
    socket.Connect();
    EXPECT_NE(socket.LocalPort(), "0");
    ASSERT_TRUE(PumpUntil([&] { return !log.connectErrors.empty(); }));
    EXPECT_EQ(log.connectErrors, std::vector<WORD>{0});
}

TEST_F(WSocketTest, Send_5000Bytes_GoesOutInBlocksOf1460)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveCount(client, 5000); });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    std::vector<int> sends;
    socket.OnSendData = [&](TCustomWSocket*, int count) { sends.push_back(count); };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsConnected; }));
    const int sentBefore = log.dataSent;
    const std::string data = Pattern(5000);
    EXPECT_EQ(socket.Send(data.data(), static_cast<int>(data.size())), 5000);
    EXPECT_EQ(sends, (std::vector<int>{1460, 1460, 1460, 620}));
    EXPECT_EQ(log.dataSent, sentBefore) << "OnDataSent comes from the message loop, not from inside Send";
    ASSERT_TRUE(PumpUntil([&] { return server.Finished() && log.dataSent > sentBefore; }))
        << "received " << server.Received().size() << ", finished " << server.Finished() << ", data sent events "
        << log.dataSent - sentBefore << ", state " << socket.State();
    EXPECT_EQ(server.Received(), data);
}

// The server takes everything and closes before the socket's own "all sent"
// notice is even posted: the data was sent, and the close says so after it.
TEST_F(WSocketTest, Send_ServerClosesBeforeTheAllSentNotice_DataSentStillComesBeforeTheClose)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveCount(client, 5000); });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsConnected; }));
    ASSERT_TRUE(PumpUntil([] { return GetQueueStatus(QS_ALLINPUT) == 0; }));
    socket.OnDataSent = [&](TCustomWSocket*, WORD) { log.events.push_back("sent"); };
    bool closeQueuedFirst = false;
    socket.OnSendData = [&](TCustomWSocket*, int count) {
        if (count != 620)
            return;
        const DWORD start = GetTickCount();
        while (!server.Finished() && GetTickCount() - start < 10000)
            MsgWaitForMultipleObjectsEx(0, nullptr, 5, 0, 0);
        closeQueuedFirst = MsgWaitForMultipleObjectsEx(0, nullptr, 5000, QS_POSTMESSAGE, MWMO_INPUTAVAILABLE) ==
                           WAIT_OBJECT_0;
    };
    const std::string data = Pattern(5000);
    ASSERT_EQ(socket.Send(data.data(), static_cast<int>(data.size())), 5000);
    ASSERT_TRUE(closeQueuedFirst) << "the server's close never reached the queue";
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
    PumpUntil([] { return GetQueueStatus(QS_ALLINPUT) == 0; });
    EXPECT_EQ(log.events, (std::vector<std::string>{"connected", "sent", "closed"}));
    EXPECT_EQ(server.Received(), data);
}

TEST_F(WSocketTest, Send_LargeBuffer_ArrivesWholeAndInOrder)
{
    const std::string data = Pattern(8 * 1024 * 1024 + 333);
    TLoopbackServer server([&](SOCKET& client, TLoopbackServer& self) {
        self.WaitSignal();  // the client's kernel buffers fill meanwhile
        self.ReceiveCount(client, data.size());
    });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    long long sentTotal = 0;
    int largestSend = 0;
    socket.OnSendData = [&](TCustomWSocket*, int count) {
        sentTotal += count;
        largestSend = std::max(largestSend, count);
    };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsConnected; }));
    const int sentBefore = log.dataSent;
    EXPECT_EQ(socket.Send(data.data(), static_cast<int>(data.size())), static_cast<int>(data.size()));
    EXPECT_LT(sentTotal, static_cast<long long>(data.size())) << "the rest waits in the queue";
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return server.Finished() && log.dataSent > sentBefore; }, 30000))
        << "sent " << sentTotal << ", received " << server.Received().size() << ", finished " << server.Finished()
        << ", data sent events " << log.dataSent - sentBefore;
    EXPECT_EQ(sentTotal, static_cast<long long>(data.size()));
    EXPECT_EQ(largestSend, 1460);
    const std::string received = server.Received();
    ASSERT_EQ(received.size(), data.size());
    EXPECT_TRUE(received == data) << "bytes arrived out of order";
}

TEST_F(WSocketTest, SendStr_Empty_QueuesNothing)
{
    TWSocket socket;
    EXPECT_EQ(socket.SendStr(""), 0);
}

TEST_F(WSocketTest, Send_NotConnected_Fails10057)
{
    TWSocket socket;
    EXPECT_EQ(ErrorOf([&] { socket.SendStr("x"); }), "Error 10057 in function Send\r\nSocket is not connected");
    int errors = 0;
    socket.OnError = [&](TCustomWSocket*) { ++errors; };
    EXPECT_EQ(socket.SendStr("x"), -1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(socket.LastError(), 10057);
}

TEST_F(WSocketTest, Send_WhileConnecting_ClosesAndReportsSessionClosed)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    socket.OnError = [](TCustomWSocket*) {};
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_EQ(socket.State(), wsConnecting);
    EXPECT_EQ(socket.SendStr("early"), -1);
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(log.closeErrors, std::vector<WORD>{10057});
}

TEST_F(WSocketTest, ServerSendsThenCloses_AllDataArrivesBeforeSessionClosed)
{
    const std::string data = Pattern(200000);
    TLoopbackServer server([&](SOCKET& client, TLoopbackServer&) {
        TLoopbackServer::SendAll(client, data);
        closesocket(client);
        client = INVALID_SOCKET;
    });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    std::string dataAtClose;
    socket.OnSessionClosed = [&](TCustomWSocket*, WORD error) {
        log.closeErrors.push_back(error);
        dataAtClose = log.data;
    };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !log.closeErrors.empty(); }));
    EXPECT_EQ(log.closeErrors, std::vector<WORD>{0});
    EXPECT_TRUE(dataAtClose == data) << dataAtClose.size() << " of " << data.size() << " bytes at close";
    EXPECT_EQ(socket.ReadCount(), 0) << "counters are reset with the session";
    EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(WSocketTest, LocalClose_FiresSessionClosedOnceAndServerSeesEnd)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsConnected; }));
    socket.SendStr("QUIT\r\n");
    ASSERT_TRUE(PumpUntil([&] { return server.Received() == "QUIT\r\n"; }));
    socket.Close();
    EXPECT_EQ(log.closeErrors, std::vector<WORD>{0});
    EXPECT_EQ(socket.State(), wsClosed);
    socket.Close();
    EXPECT_TRUE(PumpUntil([&] { return server.Finished(); }));
    EXPECT_EQ(log.closeErrors.size(), 1u);
}

TEST_F(WSocketTest, Abort_ClosesAtOnceAndFiresSessionClosed)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsConnected; }));
    socket.Abort();
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(log.closeErrors, std::vector<WORD>{0});
    EXPECT_TRUE(PumpUntil([&] { return server.Finished(); }));
}

TEST_F(WSocketTest, Abort_DuringLookup_CancelsIt)
{
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    socket.DnsLookup("localhost");
    socket.Abort();
    EXPECT_EQ(log.dnsErrors, std::vector<WORD>{10004});
    EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(WSocketTest, CloseDelayed_InsideDataHandler_ClosesFromTheLoop)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "+OK bye\r\n");
        self.ReceiveUntilClosed(client);
    });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket);
    TSocketState stateAfterCall = wsInvalidState;
    socket.OnDataAvailable = [&](TCustomWSocket* sender, WORD) {
        log.data += sender->ReceiveStr();
        sender->CloseDelayed();
        stateAfterCall = sender->State();
    };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !log.closeErrors.empty(); }));
    EXPECT_EQ(stateAfterCall, wsConnected);
    EXPECT_EQ(log.data, "+OK bye\r\n");
    EXPECT_TRUE(PumpUntil([&] { return server.Finished(); }));
}

TEST_F(WSocketTest, Release_DeletesTheSocketFromTheLoop)
{
    const int before = TCustomWSocket::SocketCount();
    TWSocket* socket = new TWSocket;
    EXPECT_EQ(TCustomWSocket::SocketCount(), before + 1);
    socket->Release();
    EXPECT_EQ(TCustomWSocket::SocketCount(), before + 1);
    EXPECT_TRUE(PumpUntil([&] { return TCustomWSocket::SocketCount() == before; }));
}

TEST_F(WSocketTest, HandlerThatNeverReads_IsNotOfferedTheDataInALoop)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, std::string(100, 'x'));
        self.WaitSignal();
    });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket, false);
    int offers = 0;
    socket.OnDataAvailable = [&](TCustomWSocket*, WORD) { ++offers; };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return offers > 0; }));
    EXPECT_FALSE(PumpUntil([&] { return offers > 1; }, 200));
    EXPECT_EQ(socket.RcvdCount(), 100) << "the bytes wait in Winsock for a later read";
    EXPECT_EQ(socket.ReceiveStr(), std::string(100, 'x'));
    server.Signal();
}

TEST_F(WSocketTest, NoDataHandler_DataIsDiscarded)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, std::string(5000, 'y'));
        self.WaitSignal();
    });
    TWSocket socket;
    TEventLog log;
    log.Attach(socket, false);
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return socket.ReadCount() == 5000; }));
    EXPECT_EQ(socket.RcvdCount(), 0);
    server.Signal();
}

TEST_F(WSocketTest, HiddenWindow_IsAnInvisibleToolWindowOfTheSocketClass)
{
    TWSocket first;
    TWSocket second;
    HWND hwnd = first.WindowHandle();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_NE(hwnd, second.WindowHandle()) << "each socket has its own window";
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    EXPECT_STREQ(className, "XSocketWindowClass");
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowTextString(hwnd), "");
}
