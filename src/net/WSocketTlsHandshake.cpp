// The TLS layer's handshake with SChannel: credentials, the token exchange
// driven by received data, the end of the handshake, a renegotiation asked
// for by the server and the close notify.
#include "WSocketTls.h"

// SCH_CREDENTIALS, the credentials that can enable TLS 1.3.
#define SCHANNEL_USE_BLACKLISTS
#include <subauth.h>
#include <schannel.h>

#include <cstdio>

#include "TlsNames.h"

namespace {
constexpr unsigned long ContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                         ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                         ISC_REQ_MANUAL_CRED_VALIDATION;
// TLS 1.2 and, where the platform has it, 1.3; nothing older.
constexpr DWORD AllowedProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
// The certificate is checked by this layer (WSocketTlsCert.cpp); no client
// certificate is ever offered.
constexpr DWORD CredentialFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;

// Wine's SChannel (8.0) cannot follow a renegotiation: any call of the
// handshake after SEC_I_RENEGOTIATE puts its TLS library back into the
// handshake, and the next record of the session fails. Wine is known by the
// function its ntdll exports for the purpose.
bool PlatformFollowsRenegotiation()
{
    static const bool follows = !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    return follows;
}

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

// The credentials for TLS 1.2 and 1.3: the newer structure, which alone can
// enable 1.3 where the platform has it, then the older one with 1.2 alone.
SECURITY_STATUS AcquireCredentials(CredHandle& credentials)
{
    TimeStamp expiry;
    TLS_PARAMETERS versions = {};
    versions.grbitDisabledProtocols = ~AllowedProtocols;
    SCH_CREDENTIALS modern = {};
    modern.dwVersion = SCH_CREDENTIALS_VERSION;
    modern.dwFlags = CredentialFlags;
    modern.cTlsParameters = 1;
    modern.pTlsParameters = &versions;
    SECURITY_STATUS status = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                                       SECPKG_CRED_OUTBOUND, nullptr, &modern, nullptr, nullptr,
                                                       &credentials, &expiry);
    if (status == SEC_E_OK)
        return status;
    SCHANNEL_CRED older = {};
    older.dwVersion = SCHANNEL_CRED_VERSION;
    older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    older.dwFlags = CredentialFlags;
    return AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                     &older, nullptr, nullptr, &credentials, &expiry);
}
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
    handshakeBytes_ = 0;
    sizes_ = {};
    rawIn_.clear();
    plainIn_.clear();
    pendingOut_.clear();
}

wchar_t* TCustomTlsWSocket::TargetName()
{
    // The name goes out in the client hello (SNI): only a DNS name is sent,
    // an address never (RFC 6066).
    targetName_.clear();
    if (!ParseIpAddress(TlsServerName).empty())
        return nullptr;
    for (char c : TlsServerName)
        targetName_ += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return targetName_.empty() ? nullptr : &targetName_[0];
}

void TCustomTlsWSocket::BeginHandshake()
{
    tlsState_ = TlsHandshake;
    handshakeBytes_ = 0;
    revocationUnknown_ = false;
    SECURITY_STATUS status = AcquireCredentials(credentials_);
    if (status != SEC_E_OK) {
        FailTls(StatusText("TLS is not available", status));
        return;
    }
    haveCredentials_ = true;
    TOutToken out;
    unsigned long attributes = 0;
    TimeStamp expiry;
    status = InitializeSecurityContextW(&credentials_, nullptr, TargetName(), ContextRequest, 0, 0, nullptr, 0,
                                        &context_, &out.description, &attributes, &expiry);
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

SECURITY_STATUS TCustomTlsWSocket::HandshakeStep(SecBuffer* in)
{
    SecBufferDesc inDescription = {SECBUFFER_VERSION, 2, in};
    TOutToken out;
    unsigned long attributes = 0;
    TimeStamp expiry;
    const SECURITY_STATUS status =
        InitializeSecurityContextW(&credentials_, &context_, TargetName(), ContextRequest, 0, 0, &inDescription, 0,
                                   nullptr, &out.description, &attributes, &expiry);
    // Tokens go out on every path: a failure may carry the alert that tells the server.
    if (status != SEC_E_INCOMPLETE_MESSAGE && !SendToken(out.buffers[0]))
        return SEC_E_INTERNAL_ERROR;
    return status;
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
        const SECURITY_STATUS status = HandshakeStep(in);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return;  // wait for the rest of the flight
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


void TCustomTlsWSocket::Renegotiate()
{
    // The server asks for a new handshake (a TLS 1.2 HelloRequest, or a TLS
    // 1.3 message after the handshake): the platform answers from what is
    // held, possibly nothing. Where it cannot (Wine's SChannel fails every
    // such call), the request is declined as TLS 1.2 allows: the session
    // goes on in its keys, nothing is sent, and the server may carry on or
    // end it.
    if (!PlatformFollowsRenegotiation()) {
        renegotiationsDeclined_++;
        return;
    }
    SecBuffer in[2] = {{static_cast<unsigned long>(rawIn_.size()), SECBUFFER_TOKEN,
                        rawIn_.empty() ? nullptr : &rawIn_[0]},
                       {0, SECBUFFER_EMPTY, nullptr}};
    if (rawIn_.empty())
        in[0].BufferType = SECBUFFER_EMPTY;
    const SECURITY_STATUS status = HandshakeStep(in);
    if (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK || status == SEC_E_INCOMPLETE_MESSAGE) {
        if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0 && in[1].cbBuffer < rawIn_.size())
            rawIn_.erase(0, rawIn_.size() - in[1].cbBuffer);
        else if (status != SEC_E_INCOMPLETE_MESSAGE)
            rawIn_.clear();
        renegotiating_ = true;
        tlsState_ = TlsHandshake;
        if (status == SEC_E_OK)
            HandshakeDone();
        return;
    }
    renegotiationsDeclined_++;
}

void TCustomTlsWSocket::HandshakeDone()
{
    if (QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
        FailTls("the TLS session gave no record sizes");
        return;
    }
    SecPkgContext_ConnectionInfo connection = {};
    if (QueryContextAttributesW(&context_, SECPKG_ATTR_CONNECTION_INFO, &connection) == SEC_E_OK &&
        (connection.dwProtocol & AllowedProtocols) == 0) {
        FailTls("the server speaks no TLS version above 1.1");
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

std::string TCustomTlsWSocket::TlsHandshakeStall() const
{
    if (tlsState_ != TlsHandshake)
        return std::string();
    if (renegotiating_)
        return "the server did not end the renegotiation it asked for";
    return handshakeBytes_ == 0 ? "the server did not answer the TLS client hello"
                                : "the server stopped in the middle of the TLS handshake";
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
    const bool duringHandshake = tlsState_ == TlsHandshake && !renegotiating_;
    tlsState_ = TlsFailed;
    tlsError_ = text;
    rawIn_.clear();
    pendingOut_.clear();
    renegotiating_ = false;
    if (duringHandshake)
        EndTlsStep(WSocketErrorTls);
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
        InitializeSecurityContextW(&credentials_, &context_, TargetName(), ContextRequest, 0, 0, nullptr, 0, nullptr,
                                   &out.description, &attributes, &expiry);
    if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)
        SendToken(out.buffers[0]);
    tlsState_ = TlsFailed;  // nothing is sent after the close notify
}
