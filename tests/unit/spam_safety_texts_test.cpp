#include <gtest/gtest.h>

#include "app/unitLanguageImapErrors.h"
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

// The IMAP session's errors follow the language; a longer start is never
// shadowed by a shorter one listed before it.
TEST(ImapErrorTexts, French_TranslatesTheStartAndKeepsTheRest)
{
    ApplyImapErrorTexts(TLanguage::French);
    const std::vector<TImapErrorText> texts = ImapErrorTextsOfRows();
    const auto shown = [&texts](const std::string& english) {
        for (const TImapErrorText& row : texts)
            if (english.rfind(row.English, 0) == 0)
                return *row.Shown + english.substr(std::string(row.English).size());
        return english;
    };
    EXPECT_EQ(shown("the server sent a response too large (a literal of 9999999999 bytes)"),
              "le serveur a envoy\xC3\xA9 une r\xC3\xA9ponse trop grande (a literal of 9999999999 bytes)");
    EXPECT_EQ(shown("the server refused the login: NO [AUTHENTICATIONFAILED] no"),
              "le serveur a refus\xC3\xA9 la connexion : NO [AUTHENTICATIONFAILED] no");
    const std::vector<TImapErrorRow>& rows = ImapErrorRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            EXPECT_NE(std::string(rows[j].english).rfind(rows[i].english, 0), 0u) << rows[j].english;
    ApplyImapErrorTexts(TLanguage::English);
    EXPECT_EQ(*texts.front().Shown, "the server sent a response too large");
}
