#include "unitLanguage.h"
#include "unitLanguageImapErrors.h"

#include <array>

#include "unitGlobal.h"
#include "unitLanguagePopupRules.h"
#include "unitLanguageSpamSafety.h"

namespace {
// One applier per window; a slot stays empty until its window exists.
std::array<TTextApplier, static_cast<size_t>(TTextWindow::Count)>& Appliers()
{
    static std::array<TTextApplier, static_cast<size_t>(TTextWindow::Count)> appliers;
    return appliers;
}
}  // namespace

std::string TextOf(const std::vector<TTextRow>& rows, const std::string& key, TLanguage language)
{
    for (const TTextRow& row : rows) {
        if (key == row.key)
            return row.In(language);
    }
    return std::string();
}

std::vector<std::string> WriteRows(const std::vector<TTextRow>& rows, const TTextSetters& setters,
                                   TLanguage language)
{
    std::vector<std::string> unbound;
    for (const TTextRow& row : rows) {
        const auto setter = setters.find(row.key);
        if (setter == setters.end() || !setter->second)
            unbound.push_back(row.key);
        else
            setter->second(row.In(language));
    }
    return unbound;
}

std::string InitialMessageText(const std::string* message)
{
    for (const TMessageRow& row : MessageTexts()) {
        if (row.text == message)
            return row.english;
    }
    return std::string();
}

void SetTextApplier(TTextWindow window, TTextApplier applier)
{
    Appliers()[static_cast<size_t>(window)] = std::move(applier);
}

void ApplyTexts(TLanguage language)
{
    for (const TMessageRow& row : MessageTexts()) {
        if (row.text == &VersionText)
            VersionText = row.In(language);
    }
    // A copy, so an applier may replace its own slot while it runs.
    const auto appliers = Appliers();
    for (const TTextApplier& apply : appliers) {
        if (apply)
            apply(language);
    }
    for (const TMessageRow& row : MessageTexts()) {
        if (row.text != &VersionText)
            *row.text = row.In(language);
    }
    for (const TMessageRow& row : SpamSafetyMessageTexts())
        *row.text = row.In(language);
    for (const TMessageRow& row : PopupRuleMessageTexts())
        *row.text = row.In(language);
    ApplyImapErrorTexts(language);
}

void ApplyEnglishTexts() { ApplyTexts(TLanguage::English); }

void ApplyFrenchTexts() { ApplyTexts(TLanguage::French); }
