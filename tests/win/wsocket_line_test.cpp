#include "wsocket_support.h"

#include <vector>

#include "net/WSocket.h"

namespace {
void Aim(TWSocket& socket, int port)
{
    socket.SetAddr("127.0.0.1");
    socket.SetPort(std::to_string(port));
}

// A line-mode socket whose handler reads each offered line whole.
struct TLineReader {
    TWSocket socket;
    std::vector<std::string> lines;
    std::vector<int> announced;
    bool closed = false;
    std::vector<std::string> linesAtClose;

    explicit TLineReader(int port)
    {
        socket.SetLineMode(true);
        socket.OnDataAvailable = [this](TCustomWSocket* sender, WORD) {
            const int count = sender->RcvdCount();
            announced.push_back(count);
            std::string line(static_cast<size_t>(count), '\0');
            const int read = sender->Receive(&line[0], count);
            line.resize(read > 0 ? static_cast<size_t>(read) : 0);
            lines.push_back(line);
        };
        socket.OnSessionClosed = [this](TCustomWSocket*, WORD) {
            closed = true;
            linesAtClose = lines;
        };
        Aim(socket, port);
    }
};
}  // namespace

TEST_F(WSocketTest, LineMode_SplitsLinesExactly_AcrossReads)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "one\r\ntwo\r\nthr");
        self.WaitSignal();
        TLoopbackServer::SendAll(client, "ee\r");
        TLoopbackServer::SendAll(client, "\nfour\r\n");
        self.ReceiveUntilClosed(client);
    });
    TLineReader reader(server.Port());
    reader.socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return reader.lines.size() == 2; }));
    EXPECT_EQ(reader.socket.RcvdCount(), 0) << "outside an offer there is no line to read";
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return reader.lines.size() == 4; }));
    EXPECT_EQ(reader.lines, (std::vector<std::string>{"one\r\n", "two\r\n", "three\r\n", "four\r\n"}));
    EXPECT_EQ(reader.announced, (std::vector<int>{5, 5, 7, 6}));
}

TEST_F(WSocketTest, LineMode_OtherLineEnd_SplitsOnIt)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "a\r\nb\nc\n");
        self.ReceiveUntilClosed(client);
    });
    TLineReader reader(server.Port());
    reader.socket.LineEnd = "\n";
    reader.socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return reader.lines.size() == 3; }));
    EXPECT_EQ(reader.lines, (std::vector<std::string>{"a\r\n", "b\n", "c\n"}));
}

TEST_F(WSocketTest, LineMode_LineOverLimit_IsReportedAndDropped)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "short\r\n" + std::string(30, 'x'));
        self.WaitSignal();
        TLoopbackServer::SendAll(client, "tail\r\nok\r\n");
        self.ReceiveUntilClosed(client);
    });
    TLineReader reader(server.Port());
    reader.socket.LineLimit = 10;
    std::vector<int> exceeded;
    reader.socket.OnLineLimitExceeded = [&](TCustomWSocket*, int length, bool& clearData) {
        exceeded.push_back(length);
        EXPECT_TRUE(clearData);
    };
    reader.socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !exceeded.empty(); }));
    EXPECT_EQ(exceeded, std::vector<int>{30});
    EXPECT_EQ(reader.lines, std::vector<std::string>{"short\r\n"});
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return reader.lines.size() == 3; }));
    EXPECT_EQ(reader.lines, (std::vector<std::string>{"short\r\n", "tail\r\n", "ok\r\n"}));
}

TEST_F(WSocketTest, LineMode_LimitHandlerKeepingData_LineArrivesWhole)
{
    const std::string longLine = std::string(40, 'z') + "\r\n";
    TLoopbackServer server([&](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, longLine.substr(0, 20));
        self.WaitSignal();
        TLoopbackServer::SendAll(client, longLine.substr(20));
        self.ReceiveUntilClosed(client);
    });
    TLineReader reader(server.Port());
    reader.socket.LineLimit = 10;
    int exceeded = 0;
    reader.socket.OnLineLimitExceeded = [&](TCustomWSocket*, int, bool& clearData) {
        ++exceeded;
        clearData = false;
    };
    reader.socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return exceeded > 0; }));
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return !reader.lines.empty(); }));
    EXPECT_EQ(reader.lines, std::vector<std::string>{longLine});
}

TEST_F(WSocketTest, LineMode_HandlerNeverReading_IsOfferedEachLineOnce)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "a\r\nbb\r\nccc\r\n");
        self.WaitSignal();
        TLoopbackServer::SendAll(client, "dddd\r\n");
        self.ReceiveUntilClosed(client);
    });
    TWSocket socket;
    socket.SetLineMode(true);
    std::vector<int> offers;
    socket.OnDataAvailable = [&](TCustomWSocket* sender, WORD) { offers.push_back(sender->RcvdCount()); };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return offers.size() >= 3; }));
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return offers.size() >= 4; }));
    EXPECT_FALSE(PumpUntil([&] { return offers.size() > 4; }, 200));
    EXPECT_EQ(offers, (std::vector<int>{3, 4, 5, 6}));
}

TEST_F(WSocketTest, LineMode_HandlerReadingInPieces_GetsTheWholeLine)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "hello world\r\nnext\r\n");
        self.ReceiveUntilClosed(client);
    });
    TWSocket socket;
    socket.SetLineMode(true);
    std::vector<std::string> pieces;
    socket.OnDataAvailable = [&](TCustomWSocket* sender, WORD) {
        char piece[4];
        const int count = sender->Receive(piece, sizeof piece);
        pieces.emplace_back(piece, static_cast<size_t>(count));
    };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return pieces.size() == 6; }));
    EXPECT_EQ(pieces, (std::vector<std::string>{"hell", "o wo", "rld\r", "\n", "next", "\r\n"}));
}

TEST_F(WSocketTest, LineMode_PartialLineAtServerClose_IsDeliveredAsLastLine)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer&) {
        TLoopbackServer::SendAll(client, "x\r\npartial");
        closesocket(client);
        client = INVALID_SOCKET;
    });
    TLineReader reader(server.Port());
    reader.socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return reader.closed; }));
    EXPECT_EQ(reader.linesAtClose, (std::vector<std::string>{"x\r\n", "partial"}));
}

TEST_F(WSocketTest, LineMode_SwitchedOff_BufferedBytesComeFirst)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "header\r\nrest\r\nmore");
        self.WaitSignal();
        TLoopbackServer::SendAll(client, "+later");
        self.ReceiveUntilClosed(client);
    });
    TWSocket socket;
    socket.SetLineMode(true);
    std::string firstLine;
    std::string raw;
    socket.OnDataAvailable = [&](TCustomWSocket* sender, WORD) {
        if (firstLine.empty()) {
            firstLine.resize(static_cast<size_t>(sender->RcvdCount()));
            sender->Receive(&firstLine[0], static_cast<int>(firstLine.size()));
            static_cast<TWSocket*>(sender)->SetLineMode(false);
            return;
        }
        raw += sender->ReceiveStr();
    };
    Aim(socket, server.Port());
    socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return raw == "rest\r\nmore"; }));
    EXPECT_EQ(firstLine, "header\r\n");
    server.Signal();
    ASSERT_TRUE(PumpUntil([&] { return raw == "rest\r\nmore+later"; }));
}

TEST_F(WSocketTest, LineEditAndEcho_EditsTheLineAndSendsItBack)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "ab\bc\td\r\n");
        self.ReceiveUntilClosed(client);
    });
    TLineReader reader(server.Port());
    reader.socket.LineEdit = true;
    reader.socket.LineEcho = true;
    reader.socket.Connect();
    ASSERT_TRUE(PumpUntil([&] { return reader.lines.size() == 1; }));
    EXPECT_EQ(reader.lines[0], "ac      d\r\n");
    EXPECT_TRUE(PumpUntil([&] { return server.Received() == "ab\b \bc      d\r\n"; })) << server.Received();
}

TEST_F(WSocketTest, ReadLine_WaitsForEachLine)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) {
        TLoopbackServer::SendAll(client, "hello\r\nworld\r\n");
        self.ReceiveUntilClosed(client);
    });
    TWSocket socket;
    Aim(socket, server.Port());
    socket.Connect();
    std::string line;
    ASSERT_TRUE(socket.ReadLine(10000, line));
    EXPECT_EQ(line, "hello");
    ASSERT_TRUE(socket.ReadLine(10000, line));
    EXPECT_EQ(line, "world");
    EXPECT_FALSE(socket.LineMode());
}

TEST_F(WSocketTest, WaitUntilReady_SleepsInsteadOfSpinning)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TWSocket socket;
    Aim(socket, server.Port());
    socket.Connect();
    std::string line;
    const double cpuBefore = ProcessCpuSeconds();
    const DWORD start = GetTickCount();
    EXPECT_FALSE(socket.ReadLine(1000, line)) << "the server never sends";
    const double wall = (GetTickCount() - start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    EXPECT_GE(wall, 0.95);
    EXPECT_LT(wall, 5.0);
    EXPECT_LT(cpu, 0.25 * wall) << "cpu " << cpu << " s over " << wall << " s";
    bool never = false;
    EXPECT_EQ(socket.WaitUntilReady(never, 100), WSocketErrorWaitTimeout);
}
