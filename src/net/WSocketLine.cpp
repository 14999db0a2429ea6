#include "WSocketLine.h"

#include <algorithm>

#include "WSocketLoader.h"

void TCustomLineWSocket::SetLineMode(bool value)
{
    if (value == lineMode_)
        return;
    lineMode_ = value;
    // Bytes already gathered are offered again under the new mode, from the loop.
    if (!buffer_.Empty())
        PostToSelf(WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

int TCustomLineWSocket::RcvdCount()
{
    if (LineModeActive())
        return static_cast<int>(lineLength_);
    if (!buffer_.Empty())
        return static_cast<int>(buffer_.Size());
    return TCustomTlsWSocket::RcvdCount();
}

int TCustomLineWSocket::Receive(void* buffer, int size)
{
    if (size <= 0)
        return 0;
    std::size_t wanted = static_cast<std::size_t>(size);
    if (LineModeActive()) {
        if (lineLength_ == 0)
            return 0;
        wanted = std::min(wanted, lineLength_);
    } else if (buffer_.Empty()) {
        return TCustomTlsWSocket::Receive(buffer, size);
    }
    const std::size_t taken = buffer_.Take(static_cast<char*>(buffer), wanted);
    if (LineModeActive())
        lineLength_ -= taken;
    consumed_ += static_cast<std::int64_t>(taken);
    return static_cast<int>(taken);
}

void TCustomLineWSocket::Connect()
{
    buffer_.Clear();
    lineLength_ = 0;
    TCustomTlsWSocket::Connect();
}

bool TCustomLineWSocket::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TRIGGER_DATA_AVAILABLE)
        return TCustomTlsWSocket::WndProc(message, wParam, lParam);
    try {
        if (LineModeActive())
            DeliverLines(0);
        else
            DrainBuffer(0);
    } catch (const std::exception& e) {
        HandleBackgroundException(e);
    } catch (...) {
        HandleBackgroundException(ESocketException("Unknown exception in a socket event"));
    }
    return true;
}

bool TCustomLineWSocket::TriggerDataAvailable(WORD error)
{
    if (!LineModeActive())
        return TCustomTlsWSocket::TriggerDataAvailable(error);
    ReadIntoLineBuffer();
    // A handler that runs the message loop may bring the next notification
    // here while a line is being offered: the outer delivery takes the new lines.
    if (!delivering_)
        DeliverLines(error);
    return true;
}

void TCustomLineWSocket::ReadIntoLineBuffer()
{
    // One read of what fits, without asking Winsock first how much waits:
    // each question is a system call, and the receive loop reads again
    // while data remains.
    char chunk[16384];
    const int received = DoRecv(chunk, sizeof chunk, 0);
    if (received < 0) {
        const int code = Winsock::WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            SetLastError(code);
        return;
    }
    if (received > 0)
        EditLine(chunk, received);
}

void TCustomLineWSocket::EditLine(const char* data, int length)
{
    std::string echo;
    if (LineEdit) {
        buffer_.AppendEdited(data, static_cast<std::size_t>(length), LineEcho ? &echo : nullptr);
    } else {
        buffer_.Append(data, static_cast<std::size_t>(length));
        if (LineEcho)
            echo.assign(data, static_cast<std::size_t>(length));
    }
    if (!echo.empty() && state_ == wsConnected)
        SendStr(echo);
}

void TCustomLineWSocket::DeliverLines(WORD error)
{
    if (delivering_)
        return;
    while (LineModeActive()) {
        const std::size_t length = buffer_.FirstLineLength(LineEnd);
        if (length == 0)
            break;
        DeliverLine(length, error);
    }
    if (LineModeActive() && LineLimit > 0 && buffer_.Size() > static_cast<std::size_t>(LineLimit)) {
        bool clearData = true;
        TriggerLineLimitExceeded(static_cast<int>(buffer_.Size()), clearData);
        if (clearData)
            buffer_.Clear();
    }
}

void TCustomLineWSocket::DeliverLine(std::size_t length, WORD error)
{
    // Whatever the handler leaves unread of its line is dropped, also when it
    // fails: a handler that never reads must not be offered the line for ever.
    struct TDelivery {
        TCustomLineWSocket& socket;
        ~TDelivery()
        {
            if (socket.LineModeActive() && socket.lineLength_ > 0)
                socket.buffer_.Remove(socket.lineLength_);
            socket.lineLength_ = 0;
            socket.delivering_ = false;
        }
    } delivery{*this};
    delivering_ = true;
    lineLength_ = length;
    while (LineModeActive() && lineLength_ > 0) {
        const std::size_t before = lineLength_;
        if (!TCustomTlsWSocket::TriggerDataAvailable(error))
            break;  // no handler: the line is dropped
        if (lineLength_ == before)
            break;
    }
}

void TCustomLineWSocket::DrainBuffer(WORD error)
{
    while (!buffer_.Empty()) {
        const std::size_t before = buffer_.Size();
        if (!TCustomTlsWSocket::TriggerDataAvailable(error) || buffer_.Size() == before)
            break;
    }
}

void TCustomLineWSocket::TriggerSessionClosed(WORD error)
{
    if (!delivering_ && !Destroying()) {
        // As in the receive loop, a failing data handler does not keep the
        // session from being reported closed.
        try {
            if (LineModeActive()) {
                DeliverLines(error);
                if (!buffer_.Empty())  // the last line, without its terminator
                    DeliverLine(buffer_.Size(), error);
            } else {
                DrainBuffer(error);
            }
        } catch (...) {
        }
    }
    buffer_.Clear();
    lineLength_ = 0;
    TCustomTlsWSocket::TriggerSessionClosed(error);
}

void TCustomLineWSocket::TriggerLineLimitExceeded(int length, bool& clearData)
{
    if (OnLineLimitExceeded && !Destroying())
        OnLineLimitExceeded(this, length, clearData);
}
