// Data and notifications of a connected socket: Winsock's notifications,
// the receive loop, the send queue, and closing.
#include "WSocketCustom.h"

#include "WSocketLoader.h"

void TCustomWSocket::WMAsyncSelect(WPARAM wParam, LPARAM lParam)
{
    const SOCKET socket = static_cast<SOCKET>(wParam);
    const WORD events = WSAGETSELECTEVENT(lParam);
    const WORD error = WSAGETSELECTERROR(lParam);
    // Handlers may close the socket between two of the bits.
    auto current = [&] { return socket == hSocket_ && hSocket_ != INVALID_SOCKET && !paused_; };

    if ((events & FD_CONNECT) && current() && state_ != wsConnected) {
        ChangeState(wsConnected);
        TriggerSessionConnected(error);
        if (error != 0 && state_ != wsClosed)
            Close();
    }
    if ((events & FD_READ) && current()) {
        if (state_ != wsConnected) {
            ChangeState(wsConnected);
            TriggerSessionConnected(error);
        }
        ASyncReceive(error, ComponentOptions);
    }
    if (events & FD_WRITE)
        dataSentNoticePending_ = false;
    if ((events & FD_WRITE) && current()) {
        TryToSend();
        if (allSent_)
            TriggerDataSent(error);
    }
    if ((events & FD_ACCEPT) && current())
        TriggerSessionAvailable(error);
    if ((events & FD_CLOSE) && current() && state_ != wsConnecting) {
        // Everything still held by Winsock is delivered before the close.
        ASyncReceive(0, ComponentOptions & ~WSocketOptionBit(wsoNoReceiveLoop));
        if (dataSentNoticePending_ && allSent_) {
            dataSentNoticePending_ = false;
            TriggerDataSent(0);
        }
        if (!closeInvoked_) {
            closeInvoked_ = true;
            TriggerSessionClosed(error);
        }
        if (state_ != wsClosed)
            Close();
    }
}

void TCustomWSocket::ASyncReceive(WORD error, TWSocketOptions options)
{
    // Failures here, a handler's included, end the loop and go no further:
    // the next notification starts afresh.
    try {
        for (;;) {
            lastError_ = 0;
            const std::int64_t consumedBefore = consumed_;
            lastReadShort_ = false;
            if (!TriggerDataAvailable(error)) {
                char discard[1024];
                if (DoRecv(discard, sizeof discard, 0) < 0) {
                    lastError_ = Winsock::WSAGetLastError();
                    if (lastError_ == WSAEWOULDBLOCK) {
                        lastError_ = 0;
                        break;
                    }
                }
            }
            if (options & WSocketOptionBit(wsoNoReceiveLoop))
                break;
            if (lastError_ != 0 || hSocket_ == INVALID_SOCKET)
                break;
            // A handler that takes nothing would be offered the same bytes
            // for ever; they wait in Winsock for its next read instead. A
            // short read emptied Winsock: no need to ask it how much is left.
            if (consumed_ == consumedBefore)
                break;
            if (HasBufferedData())
                continue;
            if (lastReadShort_)
                break;
            const int count = WinsockRcvdCount();
            if (count <= 0)
                break;
        }
    } catch (...) {
    }
}

bool TCustomWSocket::ReceiveWaiting(int ms)
{
    if (hSocket_ == INVALID_SOCKET || state_ != wsConnected || paused_)
        return false;
    const std::int64_t before = consumed_;
    if (HasBufferedData()) {
        ASyncReceive(0, ComponentOptions);
        return consumed_ != before;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(hSocket_, &readable);
    timeval limit = {0, ms * 1000};
    if (Winsock::select(0, &readable, nullptr, nullptr, &limit) != 1)
        return false;
    ASyncReceive(0, ComponentOptions);
    return consumed_ != before;
}

int TCustomWSocket::WinsockRcvdCount()
{
    u_long count = 0;
    if (Winsock::ioctlsocket(hSocket_, FIONREAD, &count) != 0) {
        lastError_ = Winsock::WSAGetLastError();
        return -1;
    }
    return static_cast<int>(count);
}

int TCustomWSocket::RcvdCount()
{
    u_long count = 0;
    if (Winsock::ioctlsocket(hSocket_, FIONREAD, &count) != 0) {
        SocketError("ioctlSocket");
        return -1;
    }
    return static_cast<int>(count);
}

int TCustomWSocket::DoRecv(void* buffer, int size, int flags)
{
    const int count = Winsock::recv(hSocket_, static_cast<char*>(buffer), size, flags);
    lastReadShort_ = count < size;
    if (count > 0) {
        readCount_ += count;
        consumed_ += count;
    }
    return count;
}

int TCustomWSocket::Receive(void* buffer, int size)
{
    const int count = DoRecv(buffer, size, 0);
    if (count < 0)
        lastError_ = Winsock::WSAGetLastError();
    return count;
}

std::string TCustomWSocket::ReceiveStr()
{
    int count = RcvdCount();
    if (count <= 0)
        count = 255;
    std::string text(static_cast<size_t>(count), '\0');
    const int received = Receive(&text[0], count);
    text.resize(received > 0 ? static_cast<size_t>(received) : 0);
    return text;
}

void TCustomWSocket::DeleteBufferedData() { sendQueue_.clear(); }

void TCustomWSocket::PutDataInSendBuffer(const char* data, int length)
{
    while (length > 0) {
        TBuffer* last = sendQueue_.empty() ? nullptr : sendQueue_.back().get();
        int written = last ? last->Write(data, length) : 0;
        if (written == 0) {
            sendQueue_.push_back(std::make_unique<TBuffer>(BlockSize));
            written = sendQueue_.back()->Write(data, length);
        }
        data += written;
        length -= written;
    }
}

int TCustomWSocket::Send(const void* data, int length)
{
    if (state_ != wsConnected) {
        Winsock::WSASetLastError(WSAENOTCONN);
        SocketError("Send");
        return -1;
    }
    if (length <= 0)
        return 0;
    allSent_ = false;
    PutDataInSendBuffer(static_cast<const char*>(data), length);
    TryToSend();
    if (state_ != wsConnected)
        return -1;  // the send failed and closed the socket
    // The notice only serves OnDataSent: without a handler it would be a
    // message round trip for nothing on every command sent.
    if (allSent_ && OnDataSent) {
        dataSentNoticePending_ = true;
        PostToSelf(WM_ASYNCSELECT, static_cast<WPARAM>(hSocket_), WSAMAKESELECTREPLY(FD_WRITE, 0));
    }
    return length;
}

int TCustomWSocket::SendStr(const std::string& text)
{
    if (text.empty())
        return 0;
    return Send(text.data(), static_cast<int>(text.size()));
}

int TCustomWSocket::RealSend(const char* data, int length)
{
    if (sendFlags_ != wsSendNormal && sendFlags_ != wsSendUrgent) {
        RaiseException("Invalid internal SendFlags");
        return -1;
    }
    const int flags = sendFlags_ == wsSendUrgent ? MSG_OOB : 0;
    const int result = type_ == SOCK_DGRAM
                           ? Winsock::sendto(hSocket_, data, length, flags, reinterpret_cast<const sockaddr*>(&sin_),
                                             static_cast<int>(sizeof sin_))
                           : Winsock::send(hSocket_, data, length, flags);
    if (result > 0 && OnSendData && !destroying_)
        OnSendData(this, result);
    return result;
}

void TCustomWSocket::TryToSend()
{
    if (hSocket_ == INVALID_SOCKET || sendQueue_.empty())
        return;
    for (;;) {
        int length = 0;
        const char* data = sendQueue_.front()->Peek(length);
        if (length <= 0) {
            sendQueue_.pop_front();
            if (sendQueue_.empty()) {
                allSent_ = true;
                return;
            }
            continue;
        }
        const int sent = RealSend(data, length);
        if (sent == 0)
            return;
        if (sent < 0) {
            const int code = Winsock::WSAGetLastError();
            if (code == WSAECONNRESET || code == WSAENOTSOCK || code == WSAENOTCONN || code == WSAEINVAL ||
                code == WSAECONNABORTED) {
                closeInvoked_ = true;
                Close();
                TriggerSessionClosed(static_cast<WORD>(code));
                return;
            }
            if (code == WSAEWOULDBLOCK)
                return;  // the rest goes with the next write notification
            SocketError("TryToSend failed");
            return;
        }
        // After a partial send the loop goes on: Winsock posts its next write
        // notification only once a send has failed with "would block", so
        // stopping here could leave the rest in the queue for ever.
        sendQueue_.front()->Remove(sent);
    }
}

void TCustomWSocket::Close() { InternalClose(true, 0); }

void TCustomWSocket::CloseDelayed() { PostToSelf(WM_CLOSE_DELAYED, 0, 0); }

void TCustomWSocket::Release() { PostToSelf(WM_WSOCKET_RELEASE, 0, 0); }

void TCustomWSocket::Abort()
{
    CancelDnsLookup();
    DeleteBufferedData();
    if (state_ == wsConnected && proto_ == IPPROTO_TCP) {
        LingerOnOff = wsLingerOff;
        // An abort closes whatever happens to the option.
        try {
            SetLingerOption();
        } catch (...) {
        }
    }
    InternalClose(false, 0);
}

void TCustomWSocket::InternalClose(bool shutFirst, WORD error)
{
    if (hSocket_ == INVALID_SOCKET) {
        if (state_ != wsClosed)
            ChangeState(wsClosed);
        AssignDefaultValue();
        return;
    }
    if (state_ == wsClosed)
        return;
    if (shutFirst)
        Winsock::shutdown(hSocket_, 1);
    while (Winsock::closesocket(hSocket_) != 0) {
        const int code = Winsock::WSAGetLastError();
        if (code == WSANOTINITIALISED)
            break;
        if (code != WSAEWOULDBLOCK) {
            hSocket_ = INVALID_SOCKET;
            SocketError("Disconnect (closesocket)");
            return;
        }
        // A lingering close still in progress: let the thread's messages run meanwhile.
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MessagePump();
    }
    hSocket_ = INVALID_SOCKET;
    PurgeSocketMessages();
    ChangeState(wsClosed);
    if (!destroying_ && !closeInvoked_) {
        closeInvoked_ = true;
        TriggerSessionClosed(error);
    }
    AssignDefaultValue();
}

void TCustomWSocket::PurgeSocketMessages()
{
    // Notifications of the closed handle still queued must not reach a later
    // socket that Winsock gives the same handle value, nor a delayed close
    // asked for by the session that just ended (the TLS layer's, at the
    // server's close notify) close the next session of this socket.
    HWND hwnd = WindowHandle();
    MSG msg;
    for (UINT message : {WM_ASYNCSELECT, WM_CLOSE_DELAYED})
        while (hwnd && PeekMessageW(&msg, hwnd, message, message, PM_REMOVE)) {
        }
}
