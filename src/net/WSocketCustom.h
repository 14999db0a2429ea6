// The event-driven TCP/IP socket proper: one Winsock socket in non-blocking
// mode whose notifications arrive as messages to a hidden window of its own,
// so every event runs on the thread that created the socket, from its
// message loop. Never blocks on the network, except in the name databases
// for names that are not numeric.
//
// Lifetime: never delete a socket from inside one of its own events; use
// CloseDelayed or Release, which act from the message loop.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WSockBuf.h"
#include "WSocketException.h"

enum TSocketState { wsInvalidState, wsOpened, wsBound, wsConnecting, wsConnected, wsAccepting, wsListening, wsClosed };
enum TWSocketOption { wsoNoReceiveLoop, wsoTcpNoDelay };
using TWSocketOptions = unsigned;  // a set of TWSocketOption bits
constexpr TWSocketOptions WSocketOptionBit(TWSocketOption option) { return 1u << option; }
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };

// Messages of the hidden window.
constexpr UINT WM_ASYNCSELECT = WM_USER + 1;          // Winsock notification
constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;   // name lookup reply
constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;   // reverse lookup reply
constexpr UINT WM_CLOSE_DELAYED = WM_USER + 4;
constexpr UINT WM_WSOCKET_RELEASE = WM_USER + 5;
constexpr UINT WM_TRIGGER_EXCEPTION = WM_USER + 6;
constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;

// Error code of a lookup that was cancelled.
constexpr WORD WSocketErrorCancelled = 10004;

class TCustomWSocket;
class TSocketWindow;

using TSocketErrorEvent = std::function<void(TCustomWSocket* sender, WORD error)>;
using TSendDataEvent = std::function<void(TCustomWSocket* sender, int bytesSent)>;
using TChangeStateEvent = std::function<void(TCustomWSocket* sender, TSocketState oldState, TSocketState newState)>;
using TSocketNotifyEvent = std::function<void(TCustomWSocket* sender)>;
using TBgExceptionEvent = std::function<void(TCustomWSocket* sender, const std::exception& e, bool& canClose)>;

class TCustomWSocket {
public:
    static constexpr const char* WindowClassName = "XSocketWindowClass";
    static constexpr int DefaultBlockSize = 1460;

    TCustomWSocket();
    virtual ~TCustomWSocket();
    TCustomWSocket(const TCustomWSocket&) = delete;
    TCustomWSocket& operator=(const TCustomWSocket&) = delete;

    // Live sockets of the process; Winsock is unloaded when it falls to 0.
    static int SocketCount();

    // Endpoint texts; each setter works only while State() is wsClosed.
    const std::string& Addr() const { return addrStr_; }
    void SetAddr(const std::string& value);
    const std::string& Port() const { return portStr_; }
    virtual void SetPort(const std::string& value);
    const std::string& Proto() const { return protoStr_; }
    virtual void SetProto(const std::string& value);
    const std::string& LocalAddr() const { return localAddr_; }
    void SetLocalAddr(const std::string& value);
    const std::string& LocalPort() const { return localPortStr_; }
    void SetLocalPort(const std::string& value);
    virtual std::string PeerAddr();
    virtual std::string PeerPort();

    const std::string& DnsResult() const { return dnsResult_; }
    const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
    TSocketState State() const { return state_; }
    std::int64_t ReadCount() const { return readCount_; }
    // Bytes ready to be received (FIONREAD).
    virtual int RcvdCount();
    int LastError() const { return lastError_; }
    SOCKET HSocket() const { return hSocket_; }
    HWND WindowHandle() const;

    bool MultiThreaded = false;
    TWSocketOptions ComponentOptions = 0;
    TSocketSendFlags SendFlags() const { return sendFlags_; }
    void SetSendFlags(TSocketSendFlags value);
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    int LingerTimeout = 0;  // seconds
    int FlushTimeout = 60;  // kept for the published interface; no operation waits on it
    bool ReuseAddr = false;
    // Size of the blocks of the send queue.
    int BlockSize = DefaultBlockSize;
    // The thread's own loop of MessagePump saw WM_QUIT.
    bool Terminated() const { return terminated_; }

    // Starts a lookup of `hostName`; OnDnsLookupDone reports its end (at
    // once, before returning, for a numeric address).
    virtual void DnsLookup(const std::string& hostName);
    virtual void CancelDnsLookup();
    // Starts connecting to Addr:Port; OnSessionConnected reports the end.
    virtual void Connect();
    virtual void Close();
    // Listens on LocalAddr:LocalPort ("0": a free port, read back in
    // LocalPort); each waiting connection fires OnSessionAvailable.
    virtual void Listen();
    // Takes a waiting connection of a listening socket; INVALID_SOCKET when none.
    SOCKET Accept();
    // Makes this closed socket the owner of an accepted connection.
    void Dup(SOCKET socket);
    // Closes from the message loop: for use inside the socket's own events.
    virtual void CloseDelayed();
    // Deletes the socket from the message loop; only for sockets made with new.
    virtual void Release();
    // Closes at once, dropping unsent data and resetting the connection.
    virtual void Abort();
    virtual void Shutdown(int how);

    // Queue bytes for sending; answer the count queued, or -1 on failure.
    virtual int Send(const void* data, int length);
    virtual int SendStr(const std::string& text);
    // Reads up to `size` bytes; a negative result is a failure with its
    // Winsock code in LastError().
    virtual int Receive(void* buffer, int size);
    // Reads what RcvdCount announces (255 bytes when it announces none).
    virtual std::string ReceiveStr();

    // Handles every waiting message of the thread.
    virtual void MessagePump();
    // Waits up to `ms` for data and reads it at once, as the notification
    // of its arrival would; true when something was read. Winsock's
    // notification arrives through the message queue later still.
    bool ReceiveWaiting(int ms);

    TSocketErrorEvent OnDataAvailable;
    TSocketErrorEvent OnDataSent;
    TSendDataEvent OnSendData;
    TSocketErrorEvent OnSessionClosed;
    TSocketErrorEvent OnSessionAvailable;
    TSocketErrorEvent OnSessionConnected;
    TChangeStateEvent OnChangeState;
    TSocketErrorEvent OnDnsLookupDone;
    // When set, failures fire this event instead of raising; the text is dropped.
    TSocketNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

protected:
    friend class TSocketWindow;

    virtual bool WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void AllocateSocketHWnd();
    virtual void DeallocateSocketHWnd();
    virtual void AssignDefaultValue();
    virtual void InternalClose(bool shutFirst, WORD error);
    virtual void BindSocket();
    virtual int RealSend(const char* data, int length);
    virtual void RaiseException(const std::string& message);
    virtual void HandleBackgroundException(const std::exception& e);

    // Each answers whether the event had a handler.
    virtual bool TriggerDataAvailable(WORD error);
    virtual void TriggerSessionAvailable(WORD error);
    virtual void TriggerSessionConnected(WORD error);
    virtual void TriggerSessionClosed(WORD error);
    virtual void TriggerDataSent(WORD error);
    virtual void TriggerChangeState(TSocketState oldState, TSocketState newState);
    virtual void TriggerDnsLookupDone(WORD error);
    virtual void TriggerError();
    // Raw receive from Winsock; counts what it reads in ReadCount.
    virtual int DoRecv(void* buffer, int size, int flags);
    // Bytes a layer holds already read from Winsock and not yet received
    // above (decrypted TLS records): the receive loop offers them without
    // waiting for a notification that would never come.
    virtual bool HasBufferedData() const { return false; }

    // Reports the Winsock error of the failed call `function` (see the .cpp).
    void SocketError(const std::string& function);
    void ChangeState(TSocketState newState);
    void TryToSend();
    void DeleteBufferedData();
    void SetLingerOption();
    // The receive loop of one notification.
    void ASyncReceive(WORD error, TWSocketOptions options);
    bool Destroying() const { return destroying_; }
    // Posts a message to the hidden window.
    void PostToSelf(UINT message, WPARAM wParam, LPARAM lParam);
    void SetLastError(int code) { lastError_ = code; }
    // Bytes announced by Winsock (FIONREAD), -1 on failure with the code in LastError().
    int WinsockRcvdCount();

    SOCKET hSocket_ = INVALID_SOCKET;
    TSocketState state_ = wsClosed;
    bool destroying_ = false;
    // Bytes handed to the data-available handlers or discarded; the receive
    // loop goes on only while a pass takes some.
    std::int64_t consumed_ = 0;
    bool lastReadShort_ = false;  // the last read took less than it asked: Winsock held no more

private:
    void WMAsyncSelect(WPARAM wParam, LPARAM lParam);
    void WMAsyncGetHostByName(WPARAM wParam, LPARAM lParam);
    void ResolveEndpoint();
    void SetSocketOptions();
    void FailConnect(const std::string& function);
    void PutDataInSendBuffer(const char* data, int length);
    void RetireDnsBuffer();
    void PurgeSocketMessages();

    std::unique_ptr<TSocketWindow> window_;
    std::string addrStr_;
    std::string portStr_;
    std::string protoStr_ = "tcp";
    bool addrAssigned_ = false, addrResolved_ = false;
    bool portAssigned_ = false, portResolved_ = false;
    bool protoAssigned_ = true, protoResolved_ = false;
    sockaddr_in sin_ = {};
    int proto_ = IPPROTO_TCP;
    int type_ = SOCK_STREAM;
    std::string localAddr_ = "0.0.0.0";
    std::string localPortStr_ = "0";
    bool localPortResolved_ = false;
    int localPortNum_ = 0;

    std::deque<std::unique_ptr<TBuffer>> sendQueue_;
    bool allSent_ = true;
    // Send posted its own "all sent" notice, not yet handled: a close that
    // overtakes it in the queue still reports the data as sent first.
    bool dataSentNoticePending_ = false;
    std::int64_t readCount_ = 0;
    int lastError_ = 0;
    bool closeInvoked_ = false;
    bool paused_ = false;
    long selectEvents_ = 0;
    TSocketSendFlags sendFlags_ = wsSendNormal;
    bool terminated_ = false;

    HANDLE dnsLookupHandle_ = nullptr;
    bool dnsStarting_ = false;
    bool dnsEarlyReply_ = false;
    WPARAM dnsEarlyWParam_ = 0;
    LPARAM dnsEarlyLParam_ = 0;
    std::unique_ptr<char[]> dnsBuffer_;
    std::string dnsResult_;
    std::vector<std::string> dnsResultList_;
};
