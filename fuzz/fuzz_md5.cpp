// MD5 over data given in pieces of sizes picked by the input: the digest
// must not depend on how the data was cut.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/MD5.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string whole = MD5Hex(bytes);
    Check(whole.size() == 32);
    Check(whole.find_first_not_of("0123456789abcdef") == std::string::npos);

    TMD5 md5;
    std::size_t at = 0;
    std::size_t step = data[0];
    while (at < bytes.size()) {
        const std::size_t piece = std::min(bytes.size() - at, 1 + step % 131);
        md5.Update(bytes.data() + at, piece);
        at += piece;
        step = step * 31 + 7;
    }
    Check(MD5DigestToHex(md5.Final()) == whole);
    return 0;
}
