// The rules file is the user's to edit: any bytes must read without a fault,
// and what is written from them must read back to the same file, so that a
// save never loses or moves a line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/PopupRuleFile.h"

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
    return 0;
}
