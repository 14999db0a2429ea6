// Run-time access to Windows Sockets 1.1: "wsock32.dll" is loaded and started
// (WSAStartup 1.1) on the first call of any entry point, each entry point is
// resolved by name once and kept, and everything is released when the last
// socket goes (or at program exit). The socket code calls Winsock only
// through the Winsock:: wrappers below, never through the import library.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <string>

enum class TWinsockProc {
    WSAStartup, WSACleanup, WSASetLastError, WSAGetLastError, WSACancelAsyncRequest,
    WSAAsyncGetHostByName, WSAAsyncGetHostByAddr, WSAAsyncSelect, getservbyname, getprotobyname,
    gethostbyname, socket, shutdown, setsockopt, sendto, send, ntohs, listen, ioctlsocket, inet_ntoa,
    inet_addr, htons, getsockname, getpeername, connect, closesocket, bind, accept, recv, recvfrom,
    select, Count
};

// Resolves one entry point, loading and starting the library first when
// needed. Raises ESocketException with the loader's texts on failure; the
// entry point then stays unresolved and the next call tries again.
FARPROC WinsockLoader(TWinsockProc proc);
// WSACleanup, free the library, forget every entry point. Does nothing when
// the library is not loaded.
void WinsockUnload();
bool WinsockLoaded();
// The library name and the version asked of WSAStartup; the tests use other
// values to see the loader's failures. Only while the library is not loaded.
void WinsockSetLibrary(const std::string& name, WORD version = 0x0101);
const std::string& WinsockLibraryName();

namespace Winsock {
template <typename F>
F Entry(TWinsockProc proc)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(WinsockLoader(proc)));
}

#define SKARNVALE_WINSOCK_CALL(name)                                                             \
    template <typename... Args>                                                                  \
    auto name(Args... args)                                                                      \
    {                                                                                            \
        return Entry<decltype(&::name)>(TWinsockProc::name)(args...);                           \
    }
SKARNVALE_WINSOCK_CALL(WSACleanup)
SKARNVALE_WINSOCK_CALL(WSASetLastError)
SKARNVALE_WINSOCK_CALL(WSAGetLastError)
SKARNVALE_WINSOCK_CALL(WSACancelAsyncRequest)
SKARNVALE_WINSOCK_CALL(WSAAsyncGetHostByName)
SKARNVALE_WINSOCK_CALL(WSAAsyncGetHostByAddr)
SKARNVALE_WINSOCK_CALL(WSAAsyncSelect)
SKARNVALE_WINSOCK_CALL(getservbyname)
SKARNVALE_WINSOCK_CALL(getprotobyname)
SKARNVALE_WINSOCK_CALL(gethostbyname)
SKARNVALE_WINSOCK_CALL(socket)
SKARNVALE_WINSOCK_CALL(shutdown)
SKARNVALE_WINSOCK_CALL(setsockopt)
SKARNVALE_WINSOCK_CALL(sendto)
SKARNVALE_WINSOCK_CALL(send)
SKARNVALE_WINSOCK_CALL(ntohs)
SKARNVALE_WINSOCK_CALL(listen)
SKARNVALE_WINSOCK_CALL(ioctlsocket)
SKARNVALE_WINSOCK_CALL(inet_ntoa)
SKARNVALE_WINSOCK_CALL(inet_addr)
SKARNVALE_WINSOCK_CALL(htons)
SKARNVALE_WINSOCK_CALL(getsockname)
SKARNVALE_WINSOCK_CALL(getpeername)
SKARNVALE_WINSOCK_CALL(connect)
SKARNVALE_WINSOCK_CALL(closesocket)
SKARNVALE_WINSOCK_CALL(bind)
SKARNVALE_WINSOCK_CALL(accept)
SKARNVALE_WINSOCK_CALL(recv)
SKARNVALE_WINSOCK_CALL(recvfrom)
SKARNVALE_WINSOCK_CALL(select)
#undef SKARNVALE_WINSOCK_CALL
}  // namespace Winsock
