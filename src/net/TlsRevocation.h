// Whether a server's certificate chain is revoked, by the CRLs its
// certificates name, fetched by this program and checked against each
// certificate's own issuer.
//
// The platform's chain engine answers revocation too, but from caches of its
// own that outlive the program (Wine keeps a revocation answer per
// certificate on disk, shared by every program of the prefix, 32-bit and
// 64-bit alike), and such a cached answer has been seen to say "not revoked"
// for a certificate the same CRL lists. Before a password goes to a server,
// the answer must be one this program got fresh: a CRL fetched from the
// network (never from the platform's cache) in this run, signed by the
// certificate's issuer and within its dates, kept only until its next update.
#pragma once

#include <windows.h>
#include <wincrypt.h>

enum class TRevocationAnswer {
    Good,     // every certificate is absent from a fresh CRL of its issuer
    Revoked,  // a fresh CRL of its issuer lists a certificate of the chain
    Unknown,  // a CRL named could not be fetched, read or trusted: no fresh answer
    NoCrl,    // a certificate names no CRL (OCSP alone, or nothing): the chain engine must answer
};

// The chain's first simple chain, leaf to root (the root itself is not
// asked); at most waitMs spent on fetching, over all the CRLs.
TRevocationAnswer FreshCrlAnswer(PCCERT_CHAIN_CONTEXT chain, DWORD waitMs);
