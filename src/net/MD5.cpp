#include "MD5.h"

#include <cstring>

namespace {

// floor(abs(sin(i + 1)) * 2^32) for i = 0..63, the additive constants of the
// four rounds.
const std::uint32_t SineTable[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee,
    0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be,
    0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa,
    0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
    0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c,
    0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05,
    0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039,
    0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1,
    0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Left-rotation amounts, four per round.
const int Shifts[4][4] = {
    {7, 12, 17, 22},
    {5, 9, 14, 20},
    {4, 11, 16, 23},
    {6, 10, 15, 21},
};

inline std::uint32_t RotateLeft(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

// Words are read little-endian whatever the host's byte order.
inline std::uint32_t LoadLittleEndian(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void StoreLittleEndian(std::uint32_t value, std::uint8_t* p)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
    p[2] = std::uint8_t(value >> 16);
    p[3] = std::uint8_t(value >> 24);
}

}  // namespace

TMD5::TMD5()
{
    Init();
}

void TMD5::Init()
{
    State[0] = 0x67452301;
    State[1] = 0xefcdab89;
    State[2] = 0x98badcfe;
    State[3] = 0x10325476;
    ByteCount = 0;
    std::memset(Pending, 0, sizeof Pending);
}

void TMD5::Transform(const std::uint8_t block[64])
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLittleEndian(block + 4 * i);

    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
    for (int step = 0; step < 64; ++step) {
        const int round = step / 16;
        std::uint32_t f;
        int word;
        switch (round) {
        case 0:  // F(b,c,d) = (b & c) | (~b & d), words in order
            f = (b & c) | (~b & d);
            word = step;
            break;
        case 1:  // G(b,c,d) = (b & d) | (c & ~d), words 1, 6, 11, ...
            f = (b & d) | (c & ~d);
            word = (5 * step + 1) % 16;
            break;
        case 2:  // H(b,c,d) = b ^ c ^ d, words 5, 8, 11, ...
            f = b ^ c ^ d;
            word = (3 * step + 5) % 16;
            break;
        default:  // I(b,c,d) = c ^ (b | ~d), words 0, 7, 14, ...
            f = c ^ (b | ~d);
            word = (7 * step) % 16;
            break;
        }
        const std::uint32_t rotated = RotateLeft(a + f + x[word] + SineTable[step], Shifts[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    State[0] += a;
    State[1] += b;
    State[2] += c;
    State[3] += d;
}

void TMD5::Update(const void* data, std::size_t length)
{
    // Empty pieces may come with a null pointer, which memcpy must never see.
    if (length == 0)
        return;
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t used = std::size_t(ByteCount % 64);
    ByteCount += length;

    if (used > 0) {
        const std::size_t take = length < 64 - used ? length : 64 - used;
        std::memcpy(Pending + used, bytes, take);
        used += take;
        bytes += take;
        length -= take;
        if (used < 64)
            return;
        Transform(Pending);
    }
    while (length >= 64) {
        Transform(bytes);
        bytes += 64;
        length -= 64;
    }
    if (length > 0)
        std::memcpy(Pending, bytes, length);
}

TMD5Digest TMD5::Final()
{
    const std::uint64_t bitLength = ByteCount * 8;
    // One 0x80 byte, then zeros up to 56 bytes modulo 64, then the length.
    std::uint8_t padding[72] = {0x80};
    const std::size_t used = std::size_t(ByteCount % 64);
    const std::size_t padLength = used < 56 ? 56 - used : 120 - used;
    Update(padding, padLength);

    std::uint8_t lengthBytes[8];
    StoreLittleEndian(std::uint32_t(bitLength), lengthBytes);
    StoreLittleEndian(std::uint32_t(bitLength >> 32), lengthBytes + 4);
    Update(lengthBytes, 8);

    TMD5Digest digest;
    for (int i = 0; i < 4; ++i)
        StoreLittleEndian(State[i], digest.data() + 4 * i);
    return digest;
}

std::string MD5DigestToHex(const TMD5Digest& digest)
{
    static const char hexDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (std::uint8_t byte : digest) {
        text += hexDigits[byte >> 4];
        text += hexDigits[byte & 0x0f];
    }
    return text;
}

std::string MD5Hex(const std::string& data)
{
    TMD5 md5;
    md5.Update(data);
    return MD5DigestToHex(md5.Final());
}
