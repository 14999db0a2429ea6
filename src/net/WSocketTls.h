// The TLS layer of the socket chain, over the platform's own TLS (SChannel
// through SSPI). It sits below line mode: the layers above send and receive
// plain bytes as before, while this layer encrypts what is sent and decrypts
// what arrives, record by record, without ever blocking.
//
// Two ways in: with SslEnable the handshake starts as soon as the TCP
// connection is made, and OnSessionConnected fires only when it has ended
// (implicit TLS); StartTls() starts it on a connection already in use
// (STLS), and OnTlsDone reports its end. A failure reports
// WSocketErrorTls, says why in TlsErrorText() and ends the connection.
//
// The server's certificate is checked here, not by SChannel
// (WSocketTlsCert.cpp): with TlsFingerprint, exactly the certificate of that
// SHA-256 fingerprint is accepted; without, the chain must lead to a trusted
// root of the system store, be valid today, not be revoked and name
// TlsServerName, a DNS name or an address. TLS 1.2 or 1.3, never older.
#pragma once

#include <windows.h>
#include <security.h>

#include <string>

#include "WSocketSocks.h"

// Error code of a TLS failure (handshake, certificate, record); not a Winsock code.
constexpr WORD WSocketErrorTls = 12100;

class TCustomTlsWSocket : public TCustomSocksWSocket {
public:
    TCustomTlsWSocket() = default;
    ~TCustomTlsWSocket() override;

    // Settings of the next connection.
    bool SslEnable = false;
    std::string TlsServerName;   // the name the certificate must carry
    std::string TlsFingerprint;  // a pinned certificate, see TlsFingerprint.h

    // Starts the handshake on the connected socket; OnTlsDone reports its end.
    virtual void StartTls();
    bool TlsActive() const { return tlsState_ == TlsOn; }
    // Why the last handshake failed, in plain words; empty when none did.
    const std::string& TlsErrorText() const { return tlsError_; }
    // SHA-256 fingerprint of the server's certificate, once the handshake got it.
    const std::string& TlsPeerFingerprint() const { return peerFingerprint_; }
    // The last accepted certificate's revocation could not be checked (no
    // answer from its CRL or OCSP server): accepted, but worth a warning.
    bool TlsRevocationUnknown() const { return revocationUnknown_; }
    // What a handshake still running waits for, in plain words; empty when none runs.
    std::string TlsHandshakeStall() const;
    // Renegotiations the server asked for and the platform could not carry out.
    int TlsRenegotiationsDeclined() const { return renegotiationsDeclined_; }

    TSocketErrorEvent OnTlsDone;

    int Send(const void* data, int length) override;
    int RcvdCount() override;
    void Connect() override;

protected:
    bool TriggerDataAvailable(WORD error) override;
    void TriggerSessionConnected(WORD error) override;
    void TriggerSessionClosed(WORD error) override;
    int DoRecv(void* buffer, int size, int flags) override;
    bool HasBufferedData() const override { return !plainIn_.empty(); }
    void InternalClose(bool shutFirst, WORD error) override;
    void AssignDefaultValue() override;

private:
    enum TTlsState { TlsOff, TlsHandshake, TlsOn, TlsFailed };

    // Handshake (WSocketTlsHandshake.cpp).
    void BeginHandshake();
    void ContinueHandshake();
    SECURITY_STATUS HandshakeStep(SecBuffer* in);
    void Renegotiate();
    wchar_t* TargetName();
    void HandshakeDone();
    bool SendToken(SecBuffer& token);
    void SendCloseNotify();
    void FailTls(const std::string& text);
    void EndTlsStep(WORD error);
    void FreeSession();
    // Certificate check (WSocketTlsCert.cpp); empty when the server is accepted.
    std::string CheckServerCertificate();

    // Records.
    void ReadRaw();
    void DecryptRecords();
    int SendEncrypted(const char* data, int length);

    TTlsState tlsState_ = TlsOff;
    bool implicit_ = false;        // this handshake answers the TCP connection
    bool renegotiating_ = false;   // a handshake asked for by the server mid-session
    bool peerClosedTls_ = false;   // the server sent its close notify
    CredHandle credentials_ = {};
    CtxtHandle context_ = {};
    bool haveCredentials_ = false, haveContext_ = false;
    SecPkgContext_StreamSizes sizes_ = {};
    std::string rawIn_;        // received bytes not yet decrypted
    std::string plainIn_;      // decrypted bytes not yet read above
    std::string pendingOut_;   // plain bytes sent during a handshake
    std::string tlsError_;
    std::string peerFingerprint_;
    std::wstring targetName_;     // TlsServerName as the platform takes it
    std::size_t handshakeBytes_ = 0;  // received during the handshake in hand
    bool revocationUnknown_ = false;
    int renegotiationsDeclined_ = 0;
};
