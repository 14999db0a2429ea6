// SHA-256 (FIPS 180-4), used to name a server's TLS certificate by its
// fingerprint: the digest of the certificate's DER bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using TSHA256Digest = std::array<std::uint8_t, 32>;

TSHA256Digest SHA256(const void* data, std::size_t length);
