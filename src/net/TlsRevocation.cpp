#include "TlsRevocation.h"

#include "CertExtension.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {
// A CRL fetched in this run, with the issuer whose signature it carries.
struct TFetchedCrl {
    PCCRL_CONTEXT Crl = nullptr;
    std::vector<BYTE> Issuer;  // the signing certificate's bytes
};

// By address. A CRL is asked again once past its next update, or when
// another issuer's certificate names the same address.
std::map<std::wstring, TFetchedCrl>& FetchedCrls()
{
    static std::map<std::wstring, TFetchedCrl> fetched;
    return fetched;
}

bool SameIssuer(const TFetchedCrl& fetched, PCCERT_CONTEXT issuer)
{
    return fetched.Issuer.size() == issuer->cbCertEncoded &&
           std::equal(fetched.Issuer.begin(), fetched.Issuer.end(), issuer->pbCertEncoded);
}

FILETIME Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return now;
}

// Signed by this issuer, issued for it, and current: issued already and,
// where it says when the next one comes, not past that.
bool CrlTrusted(PCCRL_CONTEXT crl, PCCERT_CONTEXT issuer)
{
    if (!CertCompareCertificateName(X509_ASN_ENCODING, &issuer->pCertInfo->Subject, &crl->pCrlInfo->Issuer))
        return false;
    if (!CryptVerifyCertificateSignatureEx(0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CRL,
                                           const_cast<CRL_CONTEXT*>(crl), CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
                                           const_cast<CERT_CONTEXT*>(issuer), 0, nullptr))
        return false;
    const FILETIME now = Now();
    if (CompareFileTime(&crl->pCrlInfo->ThisUpdate, &now) > 0)
        return false;
    const FILETIME& next = crl->pCrlInfo->NextUpdate;
    return (next.dwLowDateTime == 0 && next.dwHighDateTime == 0) || CompareFileTime(&now, &next) < 0;
}

// The http addresses of the certificate's CRL distribution points.
std::vector<std::wstring> CrlAddresses(PCCERT_CONTEXT certificate)
{
    std::vector<std::wstring> addresses;
    const auto points =
        DecodeCertExtension<CRL_DIST_POINTS_INFO>(certificate, szOID_CRL_DIST_POINTS, X509_CRL_DIST_POINTS);
    if (!points.Present)
        return addresses;
    if (!points.Value)
        return {L""};  // names a CRL the program cannot read: no answer, not "none"
    for (DWORD i = 0; i < points.Value->cDistPoint; ++i) {
        const CRL_DIST_POINT_NAME& name = points.Value->rgDistPoint[i].DistPointName;
        if (name.dwDistPointNameChoice != CRL_DIST_POINT_FULL_NAME)
            continue;
        for (DWORD j = 0; j < name.FullName.cAltEntry; ++j) {
            const CERT_ALT_NAME_ENTRY& entry = name.FullName.rgAltEntry[j];
            if (entry.dwAltNameChoice == CERT_ALT_NAME_URL && entry.pwszURL)
                addresses.emplace_back(entry.pwszURL);
        }
    }
    if (addresses.empty())
        addresses.emplace_back();
    return addresses;
}

// A CRL for this issuer at this address: the one fetched earlier in this run
// while it is current, else one fetched now from the network.
PCCRL_CONTEXT CurrentCrl(const std::wstring& address, PCCERT_CONTEXT issuer, DWORD& waitMs)
{
    std::map<std::wstring, TFetchedCrl>& fetched = FetchedCrls();
    auto known = fetched.find(address);
    if (known != fetched.end()) {
        if (SameIssuer(known->second, issuer) && CrlTrusted(known->second.Crl, issuer))
            return known->second.Crl;
        CertFreeCRLContext(known->second.Crl);
        fetched.erase(known);
    }
    if (address.empty() || waitMs == 0)
        return nullptr;
    const DWORD started = GetTickCount();
    void* object = nullptr;
    const BOOL got = CryptRetrieveObjectByUrlW(address.c_str(), CONTEXT_OID_CRL, CRYPT_WIRE_ONLY_RETRIEVAL, waitMs,
                                               &object, nullptr, nullptr, nullptr, nullptr);
    const DWORD spent = GetTickCount() - started;
    waitMs = spent >= waitMs ? 0 : waitMs - spent;
    PCCRL_CONTEXT crl = got ? static_cast<PCCRL_CONTEXT>(object) : nullptr;
    if (!crl)
        return nullptr;
    if (!CrlTrusted(crl, issuer)) {
        CertFreeCRLContext(crl);
        return nullptr;
    }
    TFetchedCrl& kept = fetched[address];
    kept.Crl = crl;
    kept.Issuer.assign(issuer->pbCertEncoded, issuer->pbCertEncoded + issuer->cbCertEncoded);
    return crl;
}

// One certificate against the CRLs of its issuer: the first current CRL decides.
TRevocationAnswer CertificateAnswer(PCCERT_CONTEXT certificate, PCCERT_CONTEXT issuer, DWORD& waitMs)
{
    const std::vector<std::wstring> addresses = CrlAddresses(certificate);
    if (addresses.empty())
        return TRevocationAnswer::NoCrl;
    for (const std::wstring& address : addresses) {
        PCCRL_CONTEXT crl = CurrentCrl(address, issuer, waitMs);
        if (!crl)
            continue;
        PCRL_ENTRY entry = nullptr;
        if (!CertFindCertificateInCRL(certificate, crl, 0, nullptr, &entry))
            continue;
        return entry ? TRevocationAnswer::Revoked : TRevocationAnswer::Good;
    }
    return TRevocationAnswer::Unknown;
}
}  // namespace

TRevocationAnswer FreshCrlAnswer(PCCERT_CHAIN_CONTEXT chain, DWORD waitMs)
{
    if (!chain || chain->cChain == 0)
        return TRevocationAnswer::Unknown;
    const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
    bool unknown = false, withoutCrl = false;
    // Each certificate but the root, with the one above it as its issuer.
    for (DWORD i = 0; i + 1 < simple->cElement; ++i) {
        const TRevocationAnswer answer =
            CertificateAnswer(simple->rgpElement[i]->pCertContext, simple->rgpElement[i + 1]->pCertContext, waitMs);
        if (answer == TRevocationAnswer::Revoked)
            return answer;
        unknown = unknown || answer == TRevocationAnswer::Unknown;
        withoutCrl = withoutCrl || answer == TRevocationAnswer::NoCrl;
    }
    if (unknown)
        return TRevocationAnswer::Unknown;
    return withoutCrl ? TRevocationAnswer::NoCrl : TRevocationAnswer::Good;
}
