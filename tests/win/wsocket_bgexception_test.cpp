#include "wsocket_support.h"

#include <stdexcept>

#include "net/WSocket.h"

namespace {
void Aim(TWSocket& socket, int port)
{
    socket.SetAddr("127.0.0.1");
    socket.SetPort(std::to_string(port));
}
}  // namespace

TEST_F(WSocketTest, ExceptionInConnectedHandler_ReachesOnBgExceptionAndAborts)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    std::string caught;
    int closed = 0;
    socket.OnSessionConnected = [](TCustomWSocket*, WORD) { throw std::runtime_error("handler failed"); };
    socket.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool&) { caught = e.what(); };
    socket.OnSessionClosed = [&](TCustomWSocket*, WORD) { ++closed; };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !caught.empty(); }));
    EXPECT_EQ(caught, "handler failed");
    EXPECT_EQ(socket.State(), wsClosed) << "CanClose left true aborts the socket";
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(PumpUntil([&] { return server.Finished(); }));
}

TEST_F(WSocketTest, BgExceptionHandlerKeepingSocket_LeavesItConnected)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    int caught = 0;
    socket.OnSessionConnected = [](TCustomWSocket*, WORD) { throw std::runtime_error("handler failed"); };
    socket.OnBgException = [&](TCustomWSocket*, const std::exception&, bool& canClose) {
        ++caught;
        canClose = false;
    };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return caught > 0; }));
    EXPECT_EQ(socket.State(), wsConnected);
    EXPECT_EQ(socket.SendStr("still here"), 10);
    EXPECT_TRUE(PumpUntil([&] { return server.Received() == "still here"; }));
}

TEST_F(WSocketTest, TestExceptionMessage_GoesToOnBgException)
{
    TWSocket socket;
    std::string caught;
    socket.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool&) { caught = e.what(); };
    PostMessageA(socket.WindowHandle(), WM_TRIGGER_EXCEPTION, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !caught.empty(); }));
    EXPECT_EQ(caught, "Test exception in WSocket");
}

TEST_F(WSocketTest, FailingBgExceptionHandler_IsContained)
{
    TWSocket socket;
    int calls = 0;
    socket.OnBgException = [&](TCustomWSocket*, const std::exception&, bool&) {
        ++calls;
        throw std::runtime_error("second failure");
    };
    PostMessageA(socket.WindowHandle(), WM_TRIGGER_EXCEPTION, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return calls > 0; }));
    EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(WSocketTest, ExceptionInDataHandler_EndsOnlyThatReceiveLoop)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "first");
        self.WaitSignal();
        TLoopbackServer::SendAll(client, "second");
        self.ReceiveUntilClosed(client);
    });
    TWSocket socket;
    std::string received;
    int bgExceptions = 0;
    socket.OnBgException = [&](TCustomWSocket*, const std::exception&, bool&) { ++bgExceptions; };
    socket.OnDataAvailable = [&](TCustomWSocket* sender, WORD) {
        received += sender->ReceiveStr();
        if (received == "first")
            throw std::runtime_error("data handler failed");
    };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return received == "first"; }));
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return received == "firstsecond"; }));
    EXPECT_EQ(bgExceptions, 0);
    EXPECT_EQ(socket.State(), wsConnected);
}
