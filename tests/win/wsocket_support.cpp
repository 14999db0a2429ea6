#include "wsocket_support.h"

double ProcessCpuSeconds()
{
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

namespace {
sockaddr_in Loopback(int port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    return address;
}

int BoundPort(SOCKET socket)
{
    sockaddr_in address = {};
    int length = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}
}  // namespace

int UnusedLoopbackPort()
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int port = BoundPort(s);
    closesocket(s);
    return port;
}

TLoopbackServer::TLoopbackServer(TScript script)
{
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 5) != 0) {
        ADD_FAILURE() << "loopback server cannot listen, error " << WSAGetLastError();
        return;
    }
    port_ = BoundPort(listener_);
    thread_ = std::thread(&TLoopbackServer::Run, this, std::move(script));
}

TLoopbackServer::~TLoopbackServer()
{
    go_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ != INVALID_SOCKET)
        closesocket(listener_);
}

void TLoopbackServer::Run(TScript script)
{
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener_, &ready);
    timeval limit = {10, 0};
    if (select(0, &ready, nullptr, nullptr, &limit) == 1) {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client != INVALID_SOCKET) {
            accepted_ = true;
            DWORD receiveLimit = 10000;
            setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveLimit),
                       sizeof receiveLimit);
            script(client, *this);
            if (client != INVALID_SOCKET)
                closesocket(client);
        }
    }
    finished_ = true;
}

bool TLoopbackServer::WaitSignal(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!go_) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

void TLoopbackServer::Record(const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    received_ += bytes;
}

std::string TLoopbackServer::Received()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

bool TLoopbackServer::SendAll(SOCKET socket, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const int count = send(socket, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (count <= 0)
            return false;
        sent += static_cast<size_t>(count);
    }
    return true;
}

bool TLoopbackServer::ReceiveUntilClosed(SOCKET socket)
{
    char chunk[65536];
    for (;;) {
        const int count = recv(socket, chunk, sizeof chunk, 0);
        if (count == 0)
            return true;
        if (count < 0)
            return false;
        Record(std::string(chunk, static_cast<size_t>(count)));
    }
}

bool TLoopbackServer::ReceiveCount(SOCKET socket, size_t count)
{
    char chunk[65536];
    while (count > 0) {
        const int wanted = static_cast<int>(count < sizeof chunk ? count : sizeof chunk);
        const int got = recv(socket, chunk, wanted, 0);
        if (got <= 0)
            return false;
        Record(std::string(chunk, static_cast<size_t>(got)));
        count -= static_cast<size_t>(got);
    }
    return true;
}
