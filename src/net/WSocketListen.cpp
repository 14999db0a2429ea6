// The listening side of the socket: a socket bound to LocalAddr:LocalPort
// that reports each waiting connection through OnSessionAvailable, and the
// adoption of an accepted connection by another socket, which then runs as
// one that connected itself.
#include "WSocketCustom.h"

#include "WSocketLoader.h"
#include "WSocketResolve.h"

void TCustomWSocket::Listen()
{
    if (hSocket_ != INVALID_SOCKET && state_ != wsClosed) {
        RaiseException("Listen: Socket already in use");
        return;
    }
    localPortNum_ = WSocketResolvePort(localPortStr_, protoStr_);
    localPortResolved_ = true;
    DeleteBufferedData();
    hSocket_ = Winsock::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (hSocket_ == INVALID_SOCKET) {
        SocketError("Listen (socket)");
        return;
    }
    closeInvoked_ = false;
    ChangeState(wsOpened);
    try {
        BindSocket();
    } catch (...) {
        Winsock::closesocket(hSocket_);
        hSocket_ = INVALID_SOCKET;
        ChangeState(wsClosed);
        throw;
    }
    ChangeState(wsBound);
    selectEvents_ = FD_ACCEPT | FD_CLOSE;
    if (Winsock::WSAAsyncSelect(hSocket_, WindowHandle(), WM_ASYNCSELECT, selectEvents_) != 0) {
        FailConnect("WSAAsyncSelect");
        return;
    }
    if (Winsock::listen(hSocket_, 5) != 0) {
        FailConnect("listen");
        return;
    }
    ChangeState(wsListening);
}

SOCKET TCustomWSocket::Accept()
{
    if (state_ != wsListening)
        return INVALID_SOCKET;
    sockaddr_in peer = {};
    int length = sizeof peer;
    return Winsock::accept(hSocket_, reinterpret_cast<sockaddr*>(&peer), &length);
}

void TCustomWSocket::Dup(SOCKET socket)
{
    if (socket == INVALID_SOCKET)
        return;
    if (hSocket_ != INVALID_SOCKET && state_ != wsClosed) {
        Winsock::closesocket(socket);
        RaiseException("Dup: Socket already in use");
        return;
    }
    DeleteBufferedData();
    hSocket_ = socket;
    closeInvoked_ = false;
    selectEvents_ = FD_READ | FD_WRITE | FD_CLOSE;
    if (Winsock::WSAAsyncSelect(hSocket_, WindowHandle(), WM_ASYNCSELECT, selectEvents_) != 0) {
        FailConnect("WSAAsyncSelect");
        return;
    }
    ChangeState(wsConnected);
}
