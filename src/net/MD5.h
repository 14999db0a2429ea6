// MD5 message digest (RFC 1321), used by the POP3 client for the APOP login.
// Data may be given in any number of pieces; the digest is the same as for
// the whole data given at once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using TMD5Digest = std::array<std::uint8_t, 16>;

class TMD5 {
public:
    TMD5();

    // Starts a new digest; the object can be reused after Final.
    void Init();
    void Update(const void* data, std::size_t length);
    void Update(const std::string& data) { Update(data.data(), data.size()); }
    // Pads the data, appends its bit length and returns the 16 digest bytes.
    // The object must be Init-ed again before further use.
    TMD5Digest Final();

private:
    void Transform(const std::uint8_t block[64]);

    std::uint32_t State[4];
    std::uint64_t ByteCount;  // bytes given so far; the length is counted modulo 2^64 bits
    std::uint8_t Pending[64];  // bytes of an incomplete block
};

// The 16 digest bytes as 32 lower-case hexadecimal digits.
std::string MD5DigestToHex(const TMD5Digest& digest);

// Digest of a byte string, as 32 lower-case hexadecimal digits.
std::string MD5Hex(const std::string& data);
