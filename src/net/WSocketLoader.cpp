#include "WSocketLoader.h"

#include "WSocketException.h"
#include "../framework/WideText.h"

namespace {
const char* const ProcNames[] = {
    "WSAStartup", "WSACleanup", "WSASetLastError", "WSAGetLastError", "WSACancelAsyncRequest",
    "WSAAsyncGetHostByName", "WSAAsyncGetHostByAddr", "WSAAsyncSelect", "getservbyname", "getprotobyname",
    "gethostbyname", "socket", "shutdown", "setsockopt", "sendto", "send", "ntohs", "listen", "ioctlsocket",
    "inet_ntoa", "inet_addr", "htons", "getsockname", "getpeername", "connect", "closesocket", "bind",
    "accept", "recv", "recvfrom", "select"};
constexpr int ProcCount = static_cast<int>(TWinsockProc::Count);
static_assert(sizeof ProcNames / sizeof ProcNames[0] == ProcCount, "one name per entry point");

struct TWinsockLibrary {
    HMODULE module = nullptr;
    FARPROC procs[ProcCount] = {};
    std::string name = "wsock32.dll";
    WORD version = 0x0101;

    // The library may still be loaded when the program ends without a socket
    // having been destroyed last (the resolve helpers load it too).
    ~TWinsockLibrary() { WinsockUnload(); }
};

TWinsockLibrary& Library()
{
    static TWinsockLibrary library;
    return library;
}

std::string ProcNotFound(const char* proc, DWORD error)
{
    return std::string("Procedure ") + proc + " not found in " + Library().name + " Error #" +
           std::to_string(error);
}

void LoadAndStart()
{
    TWinsockLibrary& lib = Library();
    HMODULE module = LoadLibraryW(Widen(lib.name).c_str());
    if (!module) {
        const DWORD error = GetLastError();
        throw ESocketException("Unable to load " + lib.name + " Error #" + std::to_string(error));
    }
    auto startup = reinterpret_cast<decltype(&::WSAStartup)>(
        reinterpret_cast<void*>(GetProcAddress(module, "WSAStartup")));
    if (!startup) {
        const DWORD error = GetLastError();
        FreeLibrary(module);
        throw ESocketException(ProcNotFound("WSAStartup", error));
    }
    WSADATA data;
    const int result = startup(lib.version, &data);
    if (result != 0) {
        // Not started: keep it unloaded so that every later call reports the failure again.
        FreeLibrary(module);
        throw ESocketException(SocketFormat("%s: WSAStartup error #%d", lib.name.c_str(), result));
    }
    lib.module = module;
    lib.procs[static_cast<int>(TWinsockProc::WSAStartup)] = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(startup));
}
}  // namespace

FARPROC WinsockLoader(TWinsockProc proc)
{
    TWinsockLibrary& lib = Library();
    const int index = static_cast<int>(proc);
    if (lib.procs[index])
        return lib.procs[index];
    if (!lib.module)
        LoadAndStart();
    if (!lib.procs[index]) {
        FARPROC address = GetProcAddress(lib.module, ProcNames[index]);
        if (!address)
            throw ESocketException(ProcNotFound(ProcNames[index], GetLastError()));
        lib.procs[index] = address;
    }
    return lib.procs[index];
}

void WinsockUnload()
{
    TWinsockLibrary& lib = Library();
    if (!lib.module)
        return;
    FARPROC cleanup = GetProcAddress(lib.module, "WSACleanup");
    if (cleanup)
        reinterpret_cast<decltype(&::WSACleanup)>(reinterpret_cast<void*>(cleanup))();
    FreeLibrary(lib.module);
    lib.module = nullptr;
    for (FARPROC& slot : lib.procs)
        slot = nullptr;
}

bool WinsockLoaded() { return Library().module != nullptr; }

void WinsockSetLibrary(const std::string& name, WORD version)
{
    TWinsockLibrary& lib = Library();
    if (lib.module)
        return;
    lib.name = name;
    lib.version = version;
}

const std::string& WinsockLibraryName() { return Library().name; }
