// Test support for the socket: a loopback server on 127.0.0.1 that runs a
// script of plain blocking Winsock calls on its own thread, and a wait that
// runs the message loop, sleeping between messages, until a condition holds.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "message_pump.h"

// CPU time used by this process so far, in seconds.
double ProcessCpuSeconds();

// A port of 127.0.0.1 where nothing listens (it was bound, then released).
int UnusedLoopbackPort();

class TLoopbackServer {
public:
    // `script` runs on the server thread with the accepted client's socket,
    // which is closed after it returns (unless the script closed it and set it
    // to INVALID_SOCKET).
    using TScript = std::function<void(SOCKET& client, TLoopbackServer& server)>;

    explicit TLoopbackServer(TScript script);
    ~TLoopbackServer();

    int Port() const { return port_; }
    std::string PortText() const { return std::to_string(port_); }
    bool Finished() const { return finished_; }
    bool Accepted() const { return accepted_; }

    // Signal from the test to the script, and the script's wait for it.
    void Signal() { go_ = true; }
    bool WaitSignal(DWORD timeoutMs = 10000);

    // What the script collected with Record, readable from the test thread.
    void Record(const std::string& bytes);
    std::string Received();

    // Blocking helpers for scripts (the socket has a 10 s receive limit).
    static bool SendAll(SOCKET socket, const std::string& data);
    // Reads until the peer closes, recording everything; answers false on error.
    bool ReceiveUntilClosed(SOCKET socket);
    // Reads exactly `count` bytes (fewer when the peer closes), recording them.
    bool ReceiveCount(SOCKET socket, size_t count);

private:
    void Run(TScript script);

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> go_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> accepted_{false};
    std::mutex mutex_;
    std::string received_;
    std::thread thread_;
};

// Starts Winsock for the tests' own blocking calls (the socket under test
// loads it by itself).
class WSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(0x0101, &data), 0);
    }
    void TearDown() override { WSACleanup(); }
};
