#include <gtest/gtest.h>

#include "app/unitLanguageSpamSafety.h"
#include "text/FormatText.h"

namespace {
// The placeholders of a text in order, so both languages take the same arguments.
std::string Placeholders(const std::string& text)
{
    std::string found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && (text[i + 1] == 's' || text[i + 1] == 'd'))
            found += text[i + 1];
    return found;
}

const TMessageRow& Row(const std::string* text)
{
    for (const TMessageRow& row : SpamSafetyMessageTexts())
        if (row.text == text)
            return row;
    throw std::runtime_error("no row");
}
}  // namespace

TEST(SpamSafetyTexts, GuardLine_English_ReadsAsTheLogShowsIt)
{
    EXPECT_EQ(FormatText(Row(&MsgSpamGuardKept).In(TLanguage::English), {412, 430, "Work"}),
              "The SPAM lists mark 412 of 430 messages of 'Work': none deleted. Check the lists, then use Erase all "
              "SPAM messages.");
}

TEST(SpamSafetyTexts, GuardLine_French_Utf8WithItsAccents)
{
    EXPECT_EQ(FormatText(Row(&MsgSpamGuardKept).In(TLanguage::French), {412, 430, "Work"}),
              "Les listes de SPAM d\xC3\xA9signent 412 des 430 messages de 'Work' : aucun n'a \xC3\xA9t\xC3\xA9 "
              "effac\xC3\xA9. V\xC3\xA9rifiez les listes, puis utilisez Effacer tous les messages de SPAM.");
}

TEST(SpamSafetyTexts, EveryRow_BothLanguages_SamePlaceholdersInTheSameOrder)
{
    for (const TMessageRow& row : SpamSafetyMessageTexts()) {
        const std::string english = row.In(TLanguage::English);
        const std::string french = row.In(TLanguage::French);
        EXPECT_FALSE(english.empty()) << row.key;
        EXPECT_FALSE(french.empty()) << row.key;
        EXPECT_NE(english, french) << row.key;
        EXPECT_EQ(Placeholders(english), Placeholders(french)) << row.key;
    }
}

TEST(SpamSafetyTexts, TextsStartInEnglish_AndReachTheMailWatchByReference)
{
    EXPECT_EQ(MsgSpamSubjectList, "SPAM subjects list");
    const TSpamSafetyTexts texts = SpamSafetyTextsOfMessages();
    EXPECT_EQ(&texts.SpamGuardKept, &MsgSpamGuardKept);
    EXPECT_EQ(&texts.CopyNotWritten, &MsgCopyNotWritten);
    EXPECT_EQ(FormatText(texts.SpamDeletedWhy, {"bob@x.org", "Wholesale", texts.SubjectList, "sale"}),
              "A message was deleted: from bob@x.org, \"Wholesale\" (SPAM subjects list: \"sale\")");
}
