// The TLS layer's handshake with SChannel: credentials, the token exchange
// driven by received data, the end of the handshake and the close notify.
#include "WSocketTls.h"

#include <schannel.h>

#include <cstdio>

namespace {
constexpr unsigned long ContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                         ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                         ISC_REQ_MANUAL_CRED_VALIDATION;

std::string StatusText(const char* what, SECURITY_STATUS status)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    return std::string(what) + " (error " + code + ")";
}

// An output token that SSPI allocated, freed on every path.
struct TOutToken {
    SecBuffer buffers[2] = {{0, SECBUFFER_TOKEN, nullptr}, {0, SECBUFFER_ALERT, nullptr}};
    SecBufferDesc description = {SECBUFFER_VERSION, 2, buffers};
    ~TOutToken()
    {
        for (SecBuffer& buffer : buffers)
            if (buffer.pvBuffer)
                FreeContextBuffer(buffer.pvBuffer);
    }
};
}  // namespace

void TCustomTlsWSocket::FreeSession()
{
    if (haveContext_)
        DeleteSecurityContext(&context_);
    if (haveCredentials_)
        FreeCredentialsHandle(&credentials_);
    haveContext_ = haveCredentials_ = false;
    tlsState_ = TlsOff;
    implicit_ = renegotiating_ = peerClosedTls_ = false;
    sizes_ = {};
    rawIn_.clear();
    plainIn_.clear();
    pendingOut_.clear();
}

void TCustomTlsWSocket::BeginHandshake()
{
    tlsState_ = TlsHandshake;
    SCHANNEL_CRED settings = {};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    // The certificate is checked by this layer (WSocketTlsCert.cpp); no
    // client certificate is ever offered.
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry;
    SECURITY_STATUS status = AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND,
                                                       nullptr, &settings, nullptr, nullptr, &credentials_, &expiry);
    if (status != SEC_E_OK) {
        FailTls(StatusText("TLS is not available", status));
        return;
    }
    haveCredentials_ = true;
    TOutToken out;
    unsigned long attributes = 0;
    status = InitializeSecurityContextA(&credentials_, nullptr, const_cast<char*>(TlsServerName.c_str()),
                                        ContextRequest, 0, 0, nullptr, 0, &context_, &out.description, &attributes,
                                        &expiry);
    if (status != SEC_I_CONTINUE_NEEDED) {
        FailTls(StatusText("the TLS handshake could not start", status));
        return;
    }
    haveContext_ = true;
    SendToken(out.buffers[0]);
}

bool TCustomTlsWSocket::SendToken(SecBuffer& token)
{
    if (token.cbBuffer == 0 || !token.pvBuffer)
        return true;
    return TCustomSocksWSocket::Send(token.pvBuffer, static_cast<int>(token.cbBuffer)) >= 0;
}

void TCustomTlsWSocket::ContinueHandshake()
{
    // One received flight may finish the handshake and carry the first
    // records after it; a client-certificate request is answered without one.
    for (int round = 0; tlsState_ == TlsHandshake && round < 16; ++round) {
        if (rawIn_.empty())
            return;
        // A record starts with its content type, 20 to 24: anything else (a
        // "+OK" greeting) is a server speaking in clear on this port, which
        // would otherwise be waited on until the time-out.
        const unsigned char contentType = static_cast<unsigned char>(rawIn_[0]);
        if (contentType < 20 || contentType > 24) {
            FailTls("the server does not answer in TLS on this port");
            return;
        }
        SecBuffer in[2] = {{static_cast<unsigned long>(rawIn_.size()), SECBUFFER_TOKEN, &rawIn_[0]},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDescription = {SECBUFFER_VERSION, 2, in};
        TOutToken out;
        unsigned long attributes = 0;
        TimeStamp expiry;
        const SECURITY_STATUS status =
            InitializeSecurityContextA(&credentials_, &context_, const_cast<char*>(TlsServerName.c_str()),
                                       ContextRequest, 0, 0, &inDescription, 0, nullptr, &out.description,
                                       &attributes, &expiry);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return;  // wait for the rest of the flight
        // Tokens go out on every path: a failure may carry the alert that tells the server.
        if (!SendToken(out.buffers[0]))
            return;
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED && status != SEC_I_INCOMPLETE_CREDENTIALS) {
            FailTls(StatusText("the TLS handshake failed", status));
            return;
        }
        if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0 && in[1].cbBuffer < rawIn_.size())
            rawIn_.erase(0, rawIn_.size() - in[1].cbBuffer);
        else if (status != SEC_I_INCOMPLETE_CREDENTIALS)
            rawIn_.clear();
        if (status == SEC_E_OK)
            HandshakeDone();
    }
}

void TCustomTlsWSocket::HandshakeDone()
{
    if (QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
        FailTls("the TLS session gave no record sizes");
        return;
    }
    // Checked after every handshake: a renegotiation may bring another certificate.
    const std::string refusal = CheckServerCertificate();
    if (!refusal.empty()) {
        FailTls(refusal);
        return;
    }
    tlsState_ = TlsOn;
    std::string waiting;
    waiting.swap(pendingOut_);
    EndTlsStep(0);
    if (!waiting.empty() && tlsState_ == TlsOn)
        SendEncrypted(waiting.data(), static_cast<int>(waiting.size()));
    // Records that came with the end of the handshake.
    if (tlsState_ == TlsOn && !rawIn_.empty())
        DecryptRecords();
}

void TCustomTlsWSocket::EndTlsStep(WORD error)
{
    if (renegotiating_) {
        renegotiating_ = false;  // the session goes on, unseen above
        return;
    }
    if (implicit_)
        TCustomSocksWSocket::TriggerSessionConnected(error);
    else if (OnTlsDone && !Destroying())
        OnTlsDone(this, error);
}

void TCustomTlsWSocket::FailTls(const std::string& text)
{
    const bool duringHandshake = tlsState_ == TlsHandshake;
    tlsState_ = TlsFailed;
    tlsError_ = text;
    rawIn_.clear();
    pendingOut_.clear();
    if (duringHandshake)
        EndTlsStep(WSocketErrorTls);
    else
        renegotiating_ = false;
    // Nothing more may pass on this connection, not even a goodbye.
    if (state_ != wsClosed && hSocket_ != INVALID_SOCKET)
        Abort();
}

void TCustomTlsWSocket::SendCloseNotify()
{
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control = {sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc controlDescription = {SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&context_, &controlDescription) != SEC_E_OK)
        return;
    TOutToken out;
    unsigned long attributes = 0;
    TimeStamp expiry;
    const SECURITY_STATUS status =
        InitializeSecurityContextA(&credentials_, &context_, const_cast<char*>(TlsServerName.c_str()), ContextRequest,
                                   0, 0, nullptr, 0, nullptr, &out.description, &attributes, &expiry);
    if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)
        SendToken(out.buffers[0]);
    tlsState_ = TlsFailed;  // nothing is sent after the close notify
}
