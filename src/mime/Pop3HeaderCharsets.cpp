// Which MIME charsets the decoder reads, and as which Windows code page: the
// names of the IANA registry and those mail programs write, as a table.
#include <cstdlib>
#include <string>

#include "MimeCharset.h"
#include "Pop3Header.h"

namespace {
// Names compared without letter case, '-' and '_': "ISO_8859-1" is "iso88591".
std::string CharsetKey(const std::string& charset)
{
    std::string key;
    for (char c : Pop3LowerCase(charset.substr(0, charset.find('*'))))
        if (c != '-' && c != '_')
            key += c;
    return key;
}

// The number after `prefix` in `key`, or -1.
int NumberAfter(const std::string& key, const std::string& prefix)
{
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 5 || key.compare(0, prefix.size(), prefix) != 0)
        return -1;
    for (std::size_t i = prefix.size(); i < key.size(); ++i)
        if (key[i] < '0' || key[i] > '9')
            return -1;
    return std::atoi(key.c_str() + prefix.size());
}

// Latin-1 and ASCII labels are read as Windows-1252, their superset, as mail
// programs do: senders write 1252's characters (the euro) under those names.
// The East Asian labels are read as their Windows supersets too (GB2312 as
// GBK, EUC-KR as the unified Hangul code, Shift_JIS as Windows-31J).
const struct {
    const char* key;
    unsigned codePage;
} kNamedCharsets[] = {
    {"utf8", CodePage::Utf8},
    {"utf7", 65000},
    {"usascii", CodePage::Windows1252},
    {"ascii", CodePage::Windows1252},
    {"ansix3.41968", CodePage::Windows1252},
    {"latin1", CodePage::Windows1252},
    {"l1", CodePage::Windows1252},
    {"cp819", CodePage::Windows1252},
    {"ibm819", CodePage::Windows1252},
    {"csisolatin1", CodePage::Windows1252},
    {"latin2", 28592},
    {"l2", 28592},
    {"latin3", 28593},
    {"latin4", 28594},
    {"cyrillic", 28595},
    {"arabic", 28596},
    {"greek", 28597},
    {"hebrew", 28598},
    {"iso88598i", 28598},
    {"iso88596i", 28596},
    {"latin5", 28599},
    {"latin6", CodePage::Iso8859_10},
    {"latin7", 28603},
    {"latin8", CodePage::Iso8859_14},
    {"latin9", 28605},
    {"latin10", CodePage::Iso8859_16},
    {"koi8r", 20866},
    {"koi8u", 21866},
    {"koi8ru", 21866},
    {"shiftjis", 932},
    {"sjis", 932},
    {"xsjis", 932},
    {"mskanji", 932},
    {"windows31j", 932},
    {"cswindows31j", 932},
    {"eucjp", CodePage::EucJp},
    {"xeucjp", CodePage::EucJp},
    {"iso2022jp", CodePage::Iso2022Jp},
    {"csiso2022jp", CodePage::Iso2022Jp},
    {"gb2312", CodePage::Gbk},
    {"csgb2312", CodePage::Gbk},
    {"euccn", CodePage::Gbk},
    {"xeuccn", CodePage::Gbk},
    {"gbk", CodePage::Gbk},
    {"cp936", CodePage::Gbk},
    {"ms936", CodePage::Gbk},
    {"gb18030", CodePage::Gb18030},
    {"big5", 950},
    {"big5hkscs", 950},
    {"csbig5", 950},
    {"xxbig5", 950},
    {"euckr", 949},
    {"cseuckr", 949},
    {"ksc56011987", 949},
    {"uhc", 949},
    {"johab", 1361},
    {"tis620", 874},
    {"windows874", 874},
    {"ibm437", 437},
    {"ibm850", 850},
    {"ibm852", 852},
    {"ibm866", 866},
    {"cp866", 866},
    {"macintosh", 10000},
    {"mac", 10000},
    {"xmaccyrillic", 10007},
};

// ISO-8859 parts by number; 11 is Thai as Windows writes it, 12 never was.
unsigned Iso8859CodePage(int part)
{
    switch (part) {
    case 1:
        return CodePage::Windows1252;
    case 10:
        return CodePage::Iso8859_10;
    case 11:
        return 874;
    case 13:
        return 28603;
    case 14:
        return CodePage::Iso8859_14;
    case 15:
        return 28605;
    case 16:
        return CodePage::Iso8859_16;
    default:
        return part >= 2 && part <= 9 ? 28590 + static_cast<unsigned>(part) : 0;
    }
}
}  // namespace

unsigned Pop3CharsetCodePage(const std::string& charset)
{
    const std::string key = CharsetKey(charset);
    for (const auto& named : kNamedCharsets)
        if (key == named.key)
            return named.codePage;
    const int iso = NumberAfter(key, "iso8859");
    if (iso >= 0)
        return Iso8859CodePage(iso);
    for (const char* prefix : {"windows", "cp", "xcp"}) {
        const int windows = NumberAfter(key, prefix);
        if (windows >= 1250 && windows <= 1258)
            return static_cast<unsigned>(windows);
    }
    return 0;
}
