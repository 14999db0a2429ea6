// Which MIME charsets the header decoder reads, and as which Windows code page.
#include <cstdlib>
#include <string>

#include "Pop3Header.h"
#include "Pop3HeaderWords.h"

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
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 4 || key.compare(0, prefix.size(), prefix) != 0)
        return -1;
    for (std::size_t i = prefix.size(); i < key.size(); ++i)
        if (key[i] < '0' || key[i] > '9')
            return -1;
    return std::atoi(key.c_str() + prefix.size());
}

// Latin-1 and ASCII labels are read as Windows-1252, their superset, as mail
// programs do: senders write 1252's characters (the euro) under those names.
const struct {
    const char* key;
    unsigned codePage;
} kNamedCharsets[] = {
    {"utf8", 65001},   {"usascii", AnsiCodePage}, {"ascii", AnsiCodePage},   {"latin1", AnsiCodePage},
    {"l1", AnsiCodePage}, {"cp819", AnsiCodePage}, {"ibm819", AnsiCodePage}, {"csisolatin1", AnsiCodePage},
    {"latin2", 28592}, {"latin9", 28605},        {"koi8r", 20866},         {"koi8u", 21866},
};
}  // namespace

unsigned Pop3CharsetCodePage(const std::string& charset)
{
    const std::string key = CharsetKey(charset);
    for (const auto& named : kNamedCharsets)
        if (key == named.key)
            return named.codePage;
    const int iso = NumberAfter(key, "iso8859");
    if (iso == 1)
        return AnsiCodePage;
    if ((iso >= 2 && iso <= 9) || iso == 13 || iso == 15)
        return 28590 + iso;
    for (const char* prefix : {"windows", "cp", "xcp"}) {
        const int windows = NumberAfter(key, prefix);
        if (windows >= 1250 && windows <= 1258)
            return static_cast<unsigned>(windows);
    }
    return 0;
}
