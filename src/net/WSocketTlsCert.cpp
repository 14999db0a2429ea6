// The server certificate check of the TLS layer. SChannel is told not to
// check (some systems' SChannel, Wine's among them, accept anything by
// default), and the check is the program's own:
// - with a pinned fingerprint, that one certificate and no other, whatever
//   its chain, dates and names: the user said "this one";
// - otherwise the chain must reach a trusted root of the system store, be
//   within its dates, not be revoked (by CRLs fetched fresh, TlsRevocation.h;
//   the chain's own trust status is read as well as the policy's verdict,
//   since a policy check alone has been seen to pass a chain that reaches no
//   trusted root), and name the server in its
//   subject alternative names: a DNS name or an IP address, compared here
//   (TlsNames.h), since a chain engine may compare DNS names only.
// The chain parameters with their time limit for CRL and OCSP servers.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include "WSocketTls.h"

#include <schannel.h>
#include <wincrypt.h>

#include <cstddef>
#include <set>

#include "CertExtension.h"
#include "TlsFingerprint.h"
#include "TlsNames.h"
#include "TlsRevocation.h"

namespace {
// How long the revocation check may wait for a CRL or OCSP server: it runs
// on the GUI thread, and an unknown state is no refusal.
constexpr DWORD RevocationWaitMs = 1500;
// SECURITY_FLAG_IGNORE_CERT_CN_INVALID of the SSL policy (wininet.h's value).
constexpr DWORD PolicyIgnoresNames = 0x00001000;
constexpr DWORD RevocationUnknownStatus = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

// "certificate not valid yet" or "certificate expired": which end of its
// dates the certificate is out of today.
std::string DatesReason(PCCERT_CONTEXT certificate)
{
    return CertVerifyTimeValidity(nullptr, certificate->pCertInfo) < 0 ? "certificate not valid yet"
                                                                        : "certificate expired";
}

// The plain-words reason for a chain trust status (revocation unknown aside).
std::string TrustReason(DWORD trustStatus, PCCERT_CONTEXT certificate)
{
    trustStatus &= ~RevocationUnknownStatus;
    if (trustStatus == CERT_TRUST_NO_ERROR)
        return std::string();
    if (trustStatus & CERT_TRUST_IS_REVOKED)
        return "certificate revoked";
    if (trustStatus & CERT_TRUST_IS_NOT_TIME_VALID)
        return DatesReason(certificate);
    return "certificate not trusted";
}

std::string PolicyReason(DWORD policyError, PCCERT_CONTEXT certificate)
{
    switch (policyError) {
    case 0:
        return std::string();
    case static_cast<DWORD>(CERT_E_EXPIRED):
        return DatesReason(certificate);
    case static_cast<DWORD>(CRYPT_E_REVOKED):
        return "certificate revoked";
    case static_cast<DWORD>(CRYPT_E_REVOCATION_OFFLINE):
    case static_cast<DWORD>(CRYPT_E_NO_REVOCATION_CHECK):
    case static_cast<DWORD>(CERT_E_REVOCATION_FAILURE):
        // Unknown, reported as a warning: a revoked certificate is refused
        // from the chain's own status before the policy is asked.
        return std::string();
    default:
        return "certificate not trusted";
    }
}

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; text && *text; ++text)
        narrow += *text < 128 ? static_cast<char>(*text) : '?';  // a DNS entry is ASCII; '?' matches nothing
    return narrow;
}

// The DNS and IP address entries of the certificate's subject alternative names.
TCertificateNames AlternativeNames(PCCERT_CONTEXT certificate)
{
    TCertificateNames names;
    const auto decoded =
        DecodeCertExtension<CERT_ALT_NAME_INFO>(certificate, szOID_SUBJECT_ALT_NAME2, X509_ALTERNATE_NAME);
    if (!decoded.Value)
        return names;
    for (DWORD i = 0; i < decoded.Value->cAltEntry; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = decoded.Value->rgAltEntry[i];
        if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME)
            names.Dns.push_back(Narrow(entry.pwszDNSName));
        else if (entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
                 (entry.IPAddress.cbData == 4 || entry.IPAddress.cbData == 16))
            names.Ip.emplace_back(entry.IPAddress.pbData, entry.IPAddress.pbData + entry.IPAddress.cbData);
    }
    return names;
}

// Certificates found revoked in this run, by fingerprint. A revocation is
// for good, and Wine's chain engine (8.0) answers "not revoked" for a
// certificate whose revocation it found before (see TlsRevocation.h).
std::set<std::string>& RevokedSeen()
{
    static std::set<std::string> revoked;
    return revoked;
}

struct TChainVerdict {
    std::string Refusal;  // empty: accepted
    bool RevocationUnknown = false;
};

// The chain to a root of the system store, its revocation asked of the chain
// engine or not.
PCCERT_CHAIN_CONTEXT BuildChain(PCCERT_CONTEXT certificate, bool askRevocation)
{
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    chainPara.dwUrlRetrievalTimeout = RevocationWaitMs;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    const DWORD flags = askRevocation ? CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT |
                                            CERT_CHAIN_REVOCATION_ACCUMULATIVE_TIMEOUT
                                      : 0;
    bool built = CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, flags,
                                         nullptr, &chain);
    if (!built && GetLastError() == static_cast<DWORD>(E_INVALIDARG)) {
        // A chain engine that knows only the first fields: without the time limit.
        chainPara.cbSize = offsetof(CERT_CHAIN_PARA, RequestedIssuancePolicy);
        built = CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, flags,
                                        nullptr, &chain);
    }
    return built ? chain : nullptr;
}

// The chain's verdict, names aside (checked by the caller). Revocation is
// answered by the CRLs the chain names, fetched fresh here; the chain
// engine, whose answers may come from a cache of the platform's, is asked
// only for a certificate that names no CRL.
TChainVerdict CheckChain(PCCERT_CONTEXT certificate)
{
    PCCERT_CHAIN_CONTEXT chain = BuildChain(certificate, false);
    if (!chain)
        return {"certificate not trusted"};
    const TRevocationAnswer fresh = FreshCrlAnswer(chain, RevocationWaitMs);
    if (fresh == TRevocationAnswer::NoCrl) {
        CertFreeCertificateChain(chain);
        chain = BuildChain(certificate, true);
        if (!chain)
            return {"certificate not trusted"};
    }

    // The names are this layer's to check: none is given to the policy.
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = PolicyIgnoresNames;
    CERT_CHAIN_POLICY_PARA policyPara = {};
    policyPara.cbSize = sizeof policyPara;
    policyPara.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    policyPara.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS policyStatus = {};
    policyStatus.cbSize = sizeof policyStatus;
    TChainVerdict verdict;
    const DWORD trust = chain->TrustStatus.dwErrorStatus;
    // The chain's status first: it tells revoked and not-yet-valid apart.
    verdict.Refusal = TrustReason(trust, certificate);
    if (verdict.Refusal.empty() && fresh == TRevocationAnswer::Revoked)
        verdict.Refusal = "certificate revoked";
    if (verdict.Refusal.empty()) {
        if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara, &policyStatus))
            verdict.Refusal = "certificate not trusted";
        else
            verdict.Refusal = PolicyReason(policyStatus.dwError, certificate);
    }
    if (fresh == TRevocationAnswer::NoCrl)
        verdict.RevocationUnknown = (trust & RevocationUnknownStatus) != 0 ||
                                    policyStatus.dwError == static_cast<DWORD>(CRYPT_E_REVOCATION_OFFLINE) ||
                                    policyStatus.dwError == static_cast<DWORD>(CRYPT_E_NO_REVOCATION_CHECK) ||
                                    policyStatus.dwError == static_cast<DWORD>(CERT_E_REVOCATION_FAILURE);
    else
        verdict.RevocationUnknown = fresh == TRevocationAnswer::Unknown;
    CertFreeCertificateChain(chain);
    return verdict;
}
}  // namespace

std::string TCustomTlsWSocket::CheckServerCertificate()
{
    PCCERT_CONTEXT certificate = nullptr;
    if (QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
        !certificate)
        return "the server sent no certificate";
    const TSHA256Digest digest = SHA256(certificate->pbCertEncoded, certificate->cbCertEncoded);
    peerFingerprint_ = FormatFingerprint(digest);
    std::string reason;
    if (FingerprintPinned(TlsFingerprint)) {
        // The user's own choice of certificate: this one, exactly, and no other.
        if (!FingerprintMatches(TlsFingerprint, digest))
            reason = "certificate does not match the pinned fingerprint";
    } else {
        const TChainVerdict verdict = CheckChain(certificate);
        reason = verdict.Refusal;
        if (reason == "certificate revoked")
            RevokedSeen().insert(peerFingerprint_);
        else if (RevokedSeen().count(peerFingerprint_))
            reason = "certificate revoked";
        if (reason.empty() && !CertificateNamesServer(AlternativeNames(certificate), TlsServerName))
            reason = "certificate is for another name";
        revocationUnknown_ = reason.empty() && verdict.RevocationUnknown;
    }
    CertFreeCertificateContext(certificate);
    return reason;
}
