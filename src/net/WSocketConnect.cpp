// Name lookup and connection set-up of the socket.
#include "WSocketCustom.h"

#include <cstring>
#include <vector>

#include "WSocketLoader.h"
#include "WSocketResolve.h"

namespace {
constexpr int DnsBufferSize = MAXGETHOSTSTRUCT + 1;

// Buffers of lookups that were cancelled while Winsock still held them: the
// system may write the reply into them later, so they are never reused or freed.
std::vector<std::unique_ptr<char[]>>& RetiredDnsBuffers()
{
    static std::vector<std::unique_ptr<char[]>> buffers;
    return buffers;
}
}  // namespace

void TCustomWSocket::RetireDnsBuffer()
{
    if (dnsBuffer_)
        RetiredDnsBuffers().push_back(std::move(dnsBuffer_));
}

void TCustomWSocket::DnsLookup(const std::string& hostName)
{
    if (hostName.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        TriggerDnsLookupDone(WSAEINVAL);
        return;
    }
    if (dnsLookupHandle_) {
        Winsock::WSACancelAsyncRequest(dnsLookupHandle_);
        dnsLookupHandle_ = nullptr;
        RetireDnsBuffer();
    }
    dnsResult_.clear();
    dnsResultList_.clear();

    const unsigned long address = Winsock::inet_addr(hostName.c_str());
    if (address != INADDR_NONE) {
        in_addr in;
        in.s_addr = address;
        dnsResult_ = Winsock::inet_ntoa(in);
        dnsResultList_.push_back(dnsResult_);
        TriggerDnsLookupDone(0);
        return;
    }

    if (!WindowHandle()) {
        RaiseException("DnsLookup: Window not assigned");
        return;
    }
    if (!dnsBuffer_)
        dnsBuffer_.reset(new char[DnsBufferSize]);
    dnsStarting_ = true;
    dnsEarlyReply_ = false;
    dnsLookupHandle_ = Winsock::WSAAsyncGetHostByName(WindowHandle(), WM_ASYNCGETHOSTBYNAME, hostName.c_str(),
                                                      dnsBuffer_.get(), DnsBufferSize);
    dnsStarting_ = false;
    if (!dnsLookupHandle_) {
        RaiseException(SocketFormat("%s: can't start DNS lookup, error #%d", hostName.c_str(),
                                    Winsock::WSAGetLastError()));
        return;
    }
    if (dnsEarlyReply_) {
        dnsEarlyReply_ = false;
        WMAsyncGetHostByName(dnsEarlyWParam_, dnsEarlyLParam_);
    }
}

void TCustomWSocket::WMAsyncGetHostByName(WPARAM wParam, LPARAM lParam)
{
    if (!dnsLookupHandle_) {
        // A reply that came while the request was still being started is kept
        // for it; any other reply without a pending lookup is stale.
        if (dnsStarting_) {
            dnsEarlyReply_ = true;
            dnsEarlyWParam_ = wParam;
            dnsEarlyLParam_ = lParam;
        }
        return;
    }
    if (reinterpret_cast<HANDLE>(wParam) != dnsLookupHandle_)
        return;
    dnsLookupHandle_ = nullptr;
    const WORD error = WSAGETASYNCERROR(lParam);
    if (error == 0) {
        const hostent* entry = reinterpret_cast<const hostent*>(dnsBuffer_.get());
        if (entry->h_length == 4 && entry->h_addr_list) {
            for (char** item = entry->h_addr_list; *item; ++item) {
                in_addr in;
                memcpy(&in, *item, sizeof in);
                dnsResultList_.push_back(Winsock::inet_ntoa(in));
            }
        }
        if (!dnsResultList_.empty())
            dnsResult_ = dnsResultList_.front();
    }
    TriggerDnsLookupDone(error);
}

void TCustomWSocket::CancelDnsLookup()
{
    if (!dnsLookupHandle_)
        return;
    HANDLE handle = dnsLookupHandle_;
    dnsLookupHandle_ = nullptr;
    RetireDnsBuffer();
    if (Winsock::WSACancelAsyncRequest(handle) != 0) {
        SocketError("WSACancelAsyncRequest");
        return;
    }
    if (!destroying_)
        TriggerDnsLookupDone(WSocketErrorCancelled);
}

void TCustomWSocket::ResolveEndpoint()
{
    if (!protoResolved_) {
        proto_ = WSocketResolveProto(protoStr_);
        type_ = proto_ == IPPROTO_TCP ? SOCK_STREAM : proto_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_RAW;
        protoResolved_ = true;
    }
    if (!portResolved_) {
        sin_.sin_port = Winsock::htons(static_cast<u_short>(WSocketResolvePort(portStr_, protoStr_)));
        portResolved_ = true;
    }
    if (!localPortResolved_) {
        localPortNum_ = WSocketResolvePort(localPortStr_, protoStr_);
        localPortResolved_ = true;
    }
    if (!addrResolved_) {
        sin_.sin_addr.s_addr = WSocketResolveHost(addrStr_);
        addrResolved_ = true;
    }
}

// A connection that fails while being set up gives its handle back, so the
// socket can connect again instead of staying "already in use".
void TCustomWSocket::FailConnect(const std::string& function)
{
    const int code = Winsock::WSAGetLastError();
    if (hSocket_ != INVALID_SOCKET)
        Winsock::closesocket(hSocket_);
    hSocket_ = INVALID_SOCKET;
    PurgeSocketMessages();
    if (state_ != wsClosed)
        ChangeState(wsClosed);
    Winsock::WSASetLastError(code);
    SocketError(function);
}

void TCustomWSocket::Connect()
{
    if (hSocket_ != INVALID_SOCKET && state_ != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return;
    }
    if (!portAssigned_) {
        RaiseException("Connect: No Port Specified");
        return;
    }
    if (!addrAssigned_) {
        RaiseException("Connect: No IP Address Specified");
        return;
    }
    if (!protoAssigned_) {
        RaiseException("Connect: No Protocol Specified");
        return;
    }
    try {
        ResolveEndpoint();
    } catch (const std::exception& e) {
        RaiseException(std::string("connect: ") + e.what());
        return;
    }

    DeleteBufferedData();
    hSocket_ = Winsock::socket(AF_INET, type_, proto_);
    if (hSocket_ == INVALID_SOCKET) {
        SocketError("Connect (socket)");
        return;
    }
    closeInvoked_ = false;
    dataSentNoticePending_ = false;
    ChangeState(wsOpened);
    if (state_ != wsOpened) {
        Winsock::WSASetLastError(WSAEINVAL);
        FailConnect("Connect (Invalid operation in OnChangeState)");
        return;
    }
    try {
        SetSocketOptions();
    } catch (...) {
        // The option's own report has been given; the half-made socket goes.
        if (hSocket_ != INVALID_SOCKET)
            Winsock::closesocket(hSocket_);
        hSocket_ = INVALID_SOCKET;
        if (state_ != wsClosed)
            ChangeState(wsClosed);
        throw;
    }
    if (hSocket_ == INVALID_SOCKET)
        return;

    selectEvents_ = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
    if (Winsock::WSAAsyncSelect(hSocket_, WindowHandle(), WM_ASYNCSELECT, selectEvents_) != 0) {
        FailConnect("WSAAsyncSelect");
        return;
    }
    if (type_ == SOCK_DGRAM) {
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (Winsock::connect(hSocket_, reinterpret_cast<const sockaddr*>(&sin_), sizeof sin_) == 0 ||
        Winsock::WSAGetLastError() == WSAEWOULDBLOCK) {
        ChangeState(wsConnecting);
        return;
    }
    lastError_ = Winsock::WSAGetLastError();
    FailConnect("Connect");
}

// Options of a new socket; a failing one is reported through SocketError
// under the name of the call.
void TCustomWSocket::SetSocketOptions()
{
    auto setOption = [this](int level, int name, int value, const char* function) {
        if (Winsock::setsockopt(hSocket_, level, name, reinterpret_cast<const char*>(&value), sizeof value) != 0) {
            FailConnect(function);
            return false;
        }
        return true;
    };
    if (type_ == SOCK_DGRAM) {
        BindSocket();
        if (sin_.sin_addr.s_addr == INADDR_BROADCAST)
            setOption(SOL_SOCKET, SO_BROADCAST, 1, "setsockopt(SO_BROADCAST)");
        return;
    }
    if (!setOption(SOL_SOCKET, SO_REUSEADDR, 1, "setsockopt(SO_REUSEADDR)"))
        return;
    if ((ComponentOptions & WSocketOptionBit(wsoTcpNoDelay)) &&
        !setOption(IPPROTO_TCP, TCP_NODELAY, 1, "setsockopt(IPPROTO_TCP, TCP_NODELAY)"))
        return;
    SetLingerOption();
    if (!setOption(SOL_SOCKET, SO_KEEPALIVE, 1, "setsockopt(SO_KEEPALIVE)"))
        return;
    if (localPortNum_ != 0 || localAddr_ != "0.0.0.0")
        BindSocket();
}

void TCustomWSocket::SetLingerOption()
{
    if (LingerOnOff == wsLingerNoSet)
        return;
    if (hSocket_ == INVALID_SOCKET) {
        RaiseException("Cannot set linger option at this time");
        return;
    }
    linger option;
    option.l_onoff = static_cast<u_short>(LingerOnOff);
    option.l_linger = static_cast<u_short>(LingerTimeout);
    if (Winsock::setsockopt(hSocket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option),
                            sizeof option) != 0)
        SocketError("setsockopt(SO_LINGER)");
}

void TCustomWSocket::BindSocket()
{
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = Winsock::htons(static_cast<u_short>(localPortNum_));
    local.sin_addr.s_addr = WSocketResolveHost(localAddr_);
    if (Winsock::bind(hSocket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        RaiseException(SocketFormat("winsock.bind failed, error #%d", Winsock::WSAGetLastError()));
        return;
    }
    int length = sizeof local;
    if (Winsock::getsockname(hSocket_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        RaiseException(SocketFormat("winsock.getsockname failed, error #%d", Winsock::WSAGetLastError()));
        return;
    }
    localPortStr_ = std::to_string(Winsock::ntohs(local.sin_port));
    localPortNum_ = Winsock::ntohs(local.sin_port);
}

void TCustomWSocket::Shutdown(int how)
{
    if (hSocket_ != INVALID_SOCKET)
        Winsock::shutdown(hSocket_, how);
}
