// The server certificate check of the TLS layer, done as a browser does:
// the chain must reach a trusted root of the system store, be within its
// dates and name the server. SChannel is told not to check (some systems'
// SChannel, Wine's among them, accept anything by default), and the chain's
// own trust status is read as well as the policy's verdict, since a policy
// check alone has been seen to pass a chain that reaches no trusted root.
#include "WSocketTls.h"

#include <schannel.h>
#include <wincrypt.h>

#include <vector>

#include "TlsFingerprint.h"

namespace {
// The plain-words reason for a policy error or a chain trust status.
std::string RefusalReason(DWORD policyError, DWORD trustStatus)
{
    switch (policyError) {
    case 0:
        break;
    case static_cast<DWORD>(CERT_E_EXPIRED):
        return "certificate expired";
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
        return "certificate is for another name";
    default:
        return "certificate not trusted";
    }
    // Revocation is not asked for, so its unknown state is no failure.
    trustStatus &= ~static_cast<DWORD>(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
    if (trustStatus == CERT_TRUST_NO_ERROR)
        return std::string();
    if (trustStatus & CERT_TRUST_IS_NOT_TIME_VALID)
        return "certificate expired";
    return "certificate not trusted";
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(length > 0 ? static_cast<std::size_t>(length) : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide.data();
}

// The verdict on a certificate's chain: empty when it is accepted.
std::string CheckChain(PCCERT_CONTEXT certificate, const std::string& serverName)
{
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0, nullptr,
                                 &chain) ||
        !chain)
        return "certificate not trusted";

    std::wstring name = Wide(serverName);
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = &name[0];
    CERT_CHAIN_POLICY_PARA policyPara = {};
    policyPara.cbSize = sizeof policyPara;
    policyPara.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS policyStatus = {};
    policyStatus.cbSize = sizeof policyStatus;
    std::string reason;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara, &policyStatus))
        reason = "certificate not trusted";
    else
        reason = RefusalReason(policyStatus.dwError, chain->TrustStatus.dwErrorStatus);
    CertFreeCertificateChain(chain);
    return reason;
}
}  // namespace

std::string TCustomTlsWSocket::CheckServerCertificate()
{
    PCCERT_CONTEXT certificate = nullptr;
    if (QueryContextAttributesA(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
        !certificate)
        return "the server sent no certificate";
    const TSHA256Digest digest = SHA256(certificate->pbCertEncoded, certificate->cbCertEncoded);
    peerFingerprint_ = FormatFingerprint(digest);
    std::string reason = CheckChain(certificate, TlsServerName);
    CertFreeCertificateContext(certificate);
    // The user's own server: this one certificate, exactly, is accepted.
    if (!reason.empty() && FingerprintMatches(TlsFingerprint, digest))
        reason.clear();
    return reason;
}
