// The rules file is the user's to edit: any bytes must read without a fault,
// and what is written from them must read back to the same file, so that a
// save never loses or moves a line. A title pattern and a title (the input's
// first line and the rest) match alike through the comparison and through
// the folded texts the rules turn windows away with.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/PopupRuleFile.h"
#include "text/CaseFold.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TPopupRuleFile first;
    ParsePopupRuleFile(std::string(reinterpret_cast<const char*>(data), size), first);
    for (const TPopupRule& rule : first.Rules.Items())
        if (!IsSpecificEnough(rule))
            std::abort();
    const std::string written = FormatPopupRuleFile(first);
    TPopupRuleFile second;
    ParsePopupRuleFile(written, second);
    if (FormatPopupRuleFile(second) != written || second.Rules.Items().size() != first.Rules.Items().size() ||
        second.Unreadable.size() != first.Unreadable.size())
        std::abort();

    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = text.find('\n');
    TPopupRule rule;
    rule.TitlePattern = text.substr(0, cut);
    const TWindowFacts window{cut == std::string::npos ? std::string() : text.substr(cut + 1), "", ""};
    TPopupRules rules(AsciiCompareText, FoldAsciiCase);
    rules.Add(rule);
    if ((rules.Match(window) == 0) != TitleMatches(rule.TitlePattern, window.Title, AsciiCompareText))
        std::abort();
    return 0;
}
