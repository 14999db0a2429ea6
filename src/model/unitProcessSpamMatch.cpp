// The spam test: list entries found in a sender or a subject without regard
// to letter case, over all of Unicode.
#include "../mime/MimeCharset.h"
#include "../text/Utf8Text.h"
#include "unitProcessSpam.h"

namespace {
const std::string& ReplacementUtf8()
{
    static const std::string replacement = [] {
        std::string text;
        AppendUtf8(text, ReplacementCharacter);
        return text;
    }();
    return replacement;
}

// A match that would cover a character lost in a conversion is none: the
// entry would match the loss, not the text.
bool Holds(const std::string& foldedText, const std::string& entry)
{
    return foldedText.find(entry) != std::string::npos && entry.find(ReplacementUtf8()) == std::string::npos;
}

const std::string* FirstFoundIn(const std::string& written, const std::string& decoded,
                                const std::vector<std::string>& entries, const TCaseFold& fold)
{
    if (entries.empty())
        return nullptr;
    const std::string writtenUtf8 = RawTextToUtf8(written);
    const std::string writtenFolded = fold(writtenUtf8);
    const std::string decodedFolded = decoded == writtenUtf8 ? writtenFolded : fold(decoded);
    for (const std::string& entry : entries)
        if (Holds(writtenFolded, entry) || Holds(decodedFolded, entry))
            return &entry;
    return nullptr;
}
}  // namespace

std::vector<std::string> SpamEntries(const std::string& fieldText, const TCaseFold& fold)
{
    std::vector<std::string> entries;
    for (const std::string& line : SplitLines(fieldText))
        if (!line.empty())
            entries.push_back(fold(line));
    return entries;
}

const std::string* FindSpamEntry(const TEmail& email, const std::vector<std::string>& addressEntries,
                                 const std::vector<std::string>& subjectEntries, const TCaseFold& fold)
{
    if (const std::string* entry = FirstFoundIn(email.From, email.DecodedFrom, addressEntries, fold))
        return entry;
    return FirstFoundIn(email.Subject, email.DecodedSubject, subjectEntries, fold);
}

TSpamLists ParseSpamLists(const std::string& addressField, const std::string& subjectField, const TCaseFold& fold)
{
    return {SpamEntries(addressField, fold), SpamEntries(subjectField, fold), fold};
}
