// The TLS layer's data path: records received are decrypted as they become
// whole, plain bytes sent are cut into records and encrypted. The handshake
// is in WSocketTlsHandshake.cpp, the certificate check in WSocketTlsCert.cpp.
#include "WSocketTls.h"

#include <algorithm>

#include "WSocketLoader.h"

namespace {
// Received bytes held while no record is whole. A record is at most about
// 18 KB and a handshake flight a few tens; more is a hostile server.
constexpr std::size_t MaxRawHeld = 1 << 20;
constexpr char TlsAlertRecord = 21;
}  // namespace

TCustomTlsWSocket::~TCustomTlsWSocket() { FreeSession(); }

void TCustomTlsWSocket::AssignDefaultValue()
{
    TCustomSocksWSocket::AssignDefaultValue();
    FreeSession();
}

void TCustomTlsWSocket::Connect()
{
    FreeSession();
    tlsError_.clear();
    peerFingerprint_.clear();
    revocationUnknown_ = false;
    renegotiationsDeclined_ = 0;
    TCustomSocksWSocket::Connect();
}

void TCustomTlsWSocket::TriggerSessionConnected(WORD error)
{
    if (error == 0 && SslEnable && tlsState_ == TlsOff) {
        // The session is the upper layers' only once the handshake is done.
        implicit_ = true;
        BeginHandshake();
        return;
    }
    TCustomSocksWSocket::TriggerSessionConnected(error);
}

void TCustomTlsWSocket::StartTls()
{
    if (state_ != wsConnected || tlsState_ != TlsOff) {
        RaiseException("StartTls: the socket is not connected in clear");
        return;
    }
    implicit_ = false;
    tlsError_.clear();
    peerFingerprint_.clear();
    BeginHandshake();
}

void TCustomTlsWSocket::TriggerSessionClosed(WORD error)
{
    if (tlsState_ == TlsHandshake && !renegotiating_)
        FailTls("the server closed the connection during the TLS handshake");
    TCustomSocksWSocket::TriggerSessionClosed(error);
}

bool TCustomTlsWSocket::TriggerDataAvailable(WORD error)
{
    if (tlsState_ == TlsOff || tlsState_ == TlsOn)
        return TCustomSocksWSocket::TriggerDataAvailable(error);
    // Handshake bytes are this layer's own; nothing above sees them.
    ReadRaw();
    return true;
}

int TCustomTlsWSocket::RcvdCount()
{
    if (tlsState_ == TlsOff)
        return TCustomSocksWSocket::RcvdCount();
    return static_cast<int>(plainIn_.size());
}

int TCustomTlsWSocket::DoRecv(void* buffer, int size, int flags)
{
    if (tlsState_ == TlsOff)
        return TCustomSocksWSocket::DoRecv(buffer, size, flags);
    if (plainIn_.empty())
        ReadRaw();
    if (plainIn_.empty() || size <= 0) {
        Winsock::WSASetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    const std::size_t count = std::min(plainIn_.size(), static_cast<std::size_t>(size));
    plainIn_.copy(static_cast<char*>(buffer), count);
    plainIn_.erase(0, count);
    consumed_ += static_cast<std::int64_t>(count);
    return static_cast<int>(count);
}

void TCustomTlsWSocket::ReadRaw()
{
    if (hSocket_ == INVALID_SOCKET || peerClosedTls_)
        return;
    char chunk[16384 + 2048];
    const int received = TCustomSocksWSocket::DoRecv(chunk, sizeof chunk, 0);
    if (received <= 0)
        return;
    rawIn_.append(chunk, static_cast<std::size_t>(received));
    if (tlsState_ == TlsHandshake) {
        handshakeBytes_ += static_cast<std::size_t>(received);
        ContinueHandshake();
    } else if (tlsState_ == TlsOn) {
        DecryptRecords();
    }
    if (rawIn_.size() > MaxRawHeld && tlsState_ != TlsFailed)
        FailTls("the server sent a TLS record too long to be read");
}

void TCustomTlsWSocket::DecryptRecords()
{
    while (tlsState_ == TlsOn && !rawIn_.empty()) {
        // The record's type is in clear in its header (TLS 1.2).
        const bool alert = rawIn_[0] == TlsAlertRecord;
        SecBuffer buffers[4] = {{static_cast<unsigned long>(rawIn_.size()), SECBUFFER_DATA, &rawIn_[0]},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = DecryptMessage(&context_, &description, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return;  // the rest of the record is still on its way
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED) {
            FailTls("a TLS record could not be decrypted");
            return;
        }
        // Decrypted in place: take the plain bytes before the rest moves up.
        std::string extra;
        std::size_t plain = 0;
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0) {
                plainIn_.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
                plain += buffer.cbBuffer;
            } else if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer > 0) {
                extra.assign(rawIn_.data() + rawIn_.size() - buffer.cbBuffer, buffer.cbBuffer);
            }
        }
        rawIn_ = std::move(extra);
        // Windows says SEC_I_CONTEXT_EXPIRED for the close notify; Wine
        // answers SEC_E_OK with no data for the alert that carries it.
        if (status == SEC_I_CONTEXT_EXPIRED || (status == SEC_E_OK && alert && plain == 0)) {
            // The server's close notify: nothing more comes, and a server that
            // keeps the TCP connection open must not hold the session.
            peerClosedTls_ = true;
            rawIn_.clear();
            CloseDelayed();
            return;
        }
        if (status == SEC_I_RENEGOTIATE)
            Renegotiate();
    }
}

int TCustomTlsWSocket::Send(const void* data, int length)
{
    if (tlsState_ == TlsOff || state_ != wsConnected)
        return TCustomSocksWSocket::Send(data, length);
    if (length <= 0)
        return 0;
    if (tlsState_ == TlsHandshake) {
        // Goes out once the handshake is done, encrypted.
        pendingOut_.append(static_cast<const char*>(data), static_cast<std::size_t>(length));
        return length;
    }
    if (tlsState_ == TlsFailed) {
        Winsock::WSASetLastError(WSAENOTCONN);
        SocketError("Send");
        return -1;
    }
    return SendEncrypted(static_cast<const char*>(data), length);
}

int TCustomTlsWSocket::SendEncrypted(const char* data, int length)
{
    std::string records;
    const unsigned long most = sizes_.cbMaximumMessage > 0 ? sizes_.cbMaximumMessage : 16384;
    for (int done = 0; done < length;) {
        const unsigned long part = std::min(most, static_cast<unsigned long>(length - done));
        std::string record(sizes_.cbHeader + part + sizes_.cbTrailer, '\0');
        record.replace(sizes_.cbHeader, part, data + done, part);
        SecBuffer buffers[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
                                {part, SECBUFFER_DATA, &record[sizes_.cbHeader]},
                                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[sizes_.cbHeader + part]},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
        if (EncryptMessage(&context_, 0, &description, 0) != SEC_E_OK) {
            FailTls("a TLS record could not be encrypted");
            return -1;
        }
        records.append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        done += static_cast<int>(part);
    }
    return TCustomSocksWSocket::Send(records.data(), static_cast<int>(records.size())) < 0 ? -1 : length;
}

void TCustomTlsWSocket::InternalClose(bool shutFirst, WORD error)
{
    // A local close tells the server first, as TLS asks; an abort does not.
    if (shutFirst && tlsState_ == TlsOn && !peerClosedTls_ && state_ == wsConnected && hSocket_ != INVALID_SOCKET) {
        try {
            SendCloseNotify();
        } catch (...) {
        }
    }
    TCustomSocksWSocket::InternalClose(shutFirst, error);
}
