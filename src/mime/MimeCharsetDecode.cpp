// Bytes of a mail charset as UTF-8: what the program decodes itself, and
// the rest handed to the platform's converter.
#include "../text/Utf8Text.h"
#include "MimeCharset.h"
#include "MimeCharsetTables.h"

namespace {
constexpr char kEscape = '\x1B';

void AppendReplacement(std::string& utf8) { AppendUtf8(utf8, ReplacementCharacter); }

bool DecodeByTable(const char16_t* upperHalf, const std::string& bytes, std::string& utf8)
{
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        AppendUtf8(utf8, byte < 0xA0 ? char32_t(byte) : char32_t(upperHalf[byte - 0xA0]));
    }
    return true;
}

// ISO-2022-JP switches between character sets by escape sequences. Its
// two-byte sets are JIS X 0208 and 0212, which EUC-JP writes with the high
// bit set: each run of them is handed to the platform as EUC-JP.
class TIso2022JpDecoder {
public:
    TIso2022JpDecoder(const TCodePageConverter& convert, std::string& utf8) : convert_(convert), utf8_(utf8) {}

    bool Decode(const std::string& bytes)
    {
        for (std::size_t i = 0; i < bytes.size();) {
            if (bytes[i] == kEscape) {
                const std::size_t length = Designation(bytes, i);
                if (length == 0) {
                    if (!Replace())
                        return false;
                    ++i;
                } else {
                    i += length;
                }
                continue;
            }
            if (!Character(bytes, i))
                return false;
        }
        return Flush();
    }

private:
    enum TSet { Ascii, Katakana, Jis0208, Jis0212 };

    // The length of the designation at `at`, after switching to its set; 0
    // for an escape this decoder does not know.
    std::size_t Designation(const std::string& bytes, std::size_t at)
    {
        static const struct {
            const char* sequence;
            TSet set;
        } kDesignations[] = {
            {"\x1B(B", Ascii},   {"\x1B(J", Ascii},   {"\x1B(I", Katakana},
            {"\x1B$@", Jis0208}, {"\x1B$B", Jis0208}, {"\x1B$(D", Jis0212},
        };
        for (const auto& designation : kDesignations) {
            const std::string sequence = designation.sequence;
            if (bytes.compare(at, sequence.size(), sequence) == 0) {
                set_ = designation.set;
                return sequence.size();
            }
        }
        return 0;
    }

    bool Character(const std::string& bytes, std::size_t& i)
    {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        const bool graphic = byte >= 0x21 && byte <= 0x7E;
        if (byte >= 0x80 || (graphic && set_ == Katakana && byte > 0x5F)) {
            ++i;
            return Replace();
        }
        if (!graphic || set_ == Ascii) {
            ++i;
            if (!Flush())
                return false;
            utf8_ += static_cast<char>(byte);
            return true;
        }
        if (set_ == Katakana) {
            ++i;
            if (!Flush())
                return false;
            AppendUtf8(utf8_, char32_t(0xFF61 + (byte - 0x21)));
            return true;
        }
        const unsigned char second = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (second < 0x21 || second > 0x7E) {
            ++i;
            return Replace();
        }
        if (set_ == Jis0212)
            euc_ += '\x8F';
        euc_ += static_cast<char>(byte | 0x80);
        euc_ += static_cast<char>(second | 0x80);
        i += 2;
        return true;
    }

    bool Replace()
    {
        if (!Flush())
            return false;
        AppendReplacement(utf8_);
        return true;
    }

    bool Flush()
    {
        if (euc_.empty())
            return true;
        std::string converted;
        if (!convert_ || !convert_(CodePage::EucJp, euc_, converted))
            return false;
        utf8_ += converted;
        euc_.clear();
        return true;
    }

    const TCodePageConverter& convert_;
    std::string& utf8_;
    TSet set_ = Ascii;
    std::string euc_;
};

// GB18030 where the platform lacks its code page: one- and two-byte
// characters are GBK's, the four-byte ones of the planes beyond the BMP
// count up from U+10000; those of the BMP need the platform's table and
// are U+FFFD without it.
bool DecodeGb18030WithGbk(const std::string& bytes, const TCodePageConverter& convert, std::string& utf8)
{
    std::string gbk;
    const auto flush = [&] {
        std::string converted;
        if (!gbk.empty() && !convert(CodePage::Gbk, gbk, converted))
            return false;
        utf8 += converted;
        gbk.clear();
        return true;
    };
    const auto at = [&](std::size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    const auto isDigit = [](unsigned byte) { return byte >= 0x30 && byte <= 0x39; };
    const auto isLead = [](unsigned byte) { return byte >= 0x81 && byte <= 0xFE; };
    for (std::size_t i = 0; i < bytes.size();) {
        if (isLead(at(i)) && isDigit(at(i + 1)) && isLead(at(i + 2)) && isDigit(at(i + 3))) {
            if (!flush())
                return false;
            const unsigned long linear = ((at(i) - 0x81) * 10ul + (at(i + 1) - 0x30)) * 1260ul +
                                         (at(i + 2) - 0x81) * 10ul + (at(i + 3) - 0x30);
            const unsigned long firstBeyondBmp = 0x90 - 0x81;  // lead byte 0x90 starts the planes
            const unsigned long codePoint = 0x10000 + linear - firstBeyondBmp * 10ul * 1260ul;
            const bool beyondBmp = at(i) >= 0x90 && codePoint <= 0x10FFFF;
            AppendUtf8(utf8, beyondBmp ? char32_t(codePoint) : ReplacementCharacter);
            i += 4;
        } else {
            gbk += bytes[i++];
        }
    }
    return flush();
}
}  // namespace

std::string RawTextToUtf8(const std::string& bytes)
{
    return IsValidUtf8(bytes) ? bytes : Windows1252ToUtf8(bytes);
}

bool DecodeCodePage(unsigned codePage, const std::string& bytes, const TCodePageConverter& convert,
                    std::string& utf8)
{
    utf8.clear();
    if (codePage == CodePage::Utf8) {
        utf8 = SanitizeUtf8(bytes);
        return true;
    }
    if (codePage == CodePage::Windows1252) {
        utf8 = Windows1252ToUtf8(bytes);
        return true;
    }
    if (const char16_t* upperHalf = Iso8859UpperHalf(codePage))
        return DecodeByTable(upperHalf, bytes, utf8);
    if (codePage == CodePage::Iso2022Jp)
        return TIso2022JpDecoder(convert, utf8).Decode(bytes);
    if (!convert)
        return false;
    if (convert(codePage, bytes, utf8))
        return true;
    utf8.clear();
    return codePage == CodePage::Gb18030 && DecodeGb18030WithGbk(bytes, convert, utf8);
}
