#include <gtest/gtest.h>

#include <algorithm>

#include "app/unitLanguagePopupRules.h"
#include "model/PopupActionLog.h"
#include "model/PopupRule.h"
#include "model/PopupRuleFile.h"
#include "text/CaseFold.h"
#include "text/FormatText.h"

namespace {
// A stand-in for the platform's comparison that, unlike ASCII case folding,
// finds É and é equal: so the tests see that letters are compared by the
// comparison given, not byte by byte.
int AccentCaseCompare(const std::string& a, const std::string& b)
{
    auto fold = [](std::string s) {
        for (std::size_t at; (at = s.find("\xC3\x89")) != std::string::npos;)  // É -> é
            s.replace(at, 2, "\xC3\xA9");
        return FoldAsciiCase(s);
    };
    return fold(a).compare(fold(b));
}

bool Matches(const std::string& pattern, const std::string& title)
{
    return TitleMatches(pattern, title, AccentCaseCompare);
}

TPopupRule Rule(const std::string& pattern, const std::string& program = "", const std::string& windowClass = "")
{
    TPopupRule rule;
    rule.TitlePattern = pattern;
    rule.Program = program;
    rule.WindowClass = windowClass;
    return rule;
}
}  // namespace

TEST(PopupRulePattern, WholeTitle_CaseIgnoredByTheComparisonGiven)
{
    EXPECT_TRUE(Matches("Special Offer", "SPECIAL OFFER"));
    EXPECT_TRUE(Matches("\xC3\x89" "cran", "\xC3\xA9" "CRAN"));  // Écran, éCRAN
    EXPECT_FALSE(Matches("Offer", "Special Offer"));
    EXPECT_FALSE(Matches("Special Offer", "Special Offer "));
}

TEST(PopupRulePattern, StarIsAnyRun_QuestionMarkOneCodePoint)
{
    EXPECT_TRUE(Matches("Update*", "Update available"));
    EXPECT_TRUE(Matches("Update*", "Update"));
    EXPECT_TRUE(Matches("*offer*", "A special OFFER today"));
    EXPECT_TRUE(Matches("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(Matches("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(Matches("Step ? of 3", "Step 2 of 3"));
    EXPECT_FALSE(Matches("Step ? of 3", "Step 12 of 3"));
    EXPECT_TRUE(Matches("Caf?", "Caf\xC3\xA9"));       // é is one character, two bytes
    EXPECT_FALSE(Matches("Caf??", "Caf\xC3\xA9"));
    EXPECT_TRUE(Matches("?*?", "ab"));
    EXPECT_FALSE(Matches("?*?", "a"));
}

TEST(PopupRulePattern, EmptyPatternIsAnyTitle_ButTheRuleMustNameSomething)
{
    EXPECT_TRUE(RuleMatches(Rule("", "setup.exe"), {"Anything", "SETUP.EXE", "Dlg"}, AccentCaseCompare));
    EXPECT_FALSE(RuleMatches(Rule("", "setup.exe"), {"Anything", "other.exe", "Dlg"}, AccentCaseCompare));
    EXPECT_TRUE(RuleMatches(Rule("*", "", "#32770"), {"x", "a.exe", "#32770"}, AccentCaseCompare));
    EXPECT_FALSE(IsSpecificEnough(Rule("")));
    EXPECT_FALSE(IsSpecificEnough(Rule("**")));
    EXPECT_TRUE(IsSpecificEnough(Rule("*a")));
    EXPECT_TRUE(IsSpecificEnough(Rule("*", "setup.exe")));
    EXPECT_TRUE(IsSpecificEnough(Rule("", "", "#32770")));
}

TEST(PopupRules, FirstEnabledMatchWins_AnswersFollowEdits)
{
    TPopupRules rules(AccentCaseCompare, FoldAsciiCase);
    const int first = rules.Add(Rule("Update*"));
    rules.Add(Rule("*", "setup.exe"));
    const TWindowFacts window{"Update ready", "setup.exe", "Dlg"};
    EXPECT_EQ(rules.Match(window), 0);
    rules.Find(first)->Enabled = false;
    EXPECT_EQ(rules.Match(window), 1);
    rules.Items()[1].Program = "other.exe";
    EXPECT_EQ(rules.Match(window), -1);
    EXPECT_FALSE(rules.Items().empty());
    EXPECT_TRUE(rules.AnyEnabled());
    rules.Items()[1].Enabled = false;
    EXPECT_FALSE(rules.AnyEnabled());
}

TEST(PopupRules, IdsStayWithTheirRules_HitsCounted)
{
    TPopupRules rules;
    const int a = rules.Add(Rule("A"));
    const int b = rules.Add(Rule("B"));
    rules.Items().erase(rules.Items().begin());
    EXPECT_EQ(rules.Find(a), nullptr);
    ASSERT_NE(rules.Find(b), nullptr);
    EXPECT_GT(rules.Add(Rule("C")), b);
    rules.RecordHit(b, "2026-12-10 08:00:00");
    EXPECT_EQ(rules.Find(b)->Hits, 1);
    EXPECT_EQ(rules.Find(b)->LastHit, "2026-12-10 08:00:00");
}

TEST(PopupRuleFile, RoundTrip_BomHeaderTabsAndEscapes)
{
    TPopupRuleFile file;
    TPopupRule press = Rule("Update\tavailable *", "setup.exe", "#32770");
    press.Action = TPopupAction::PressButton;
    press.Button = "Later";
    press.Hits = 12;
    press.LastHit = "2026-12-10 08:01:02";
    file.Rules.Add(press);
    TPopupRule hide = Rule("C:\\Temp\\*");
    hide.Action = TPopupAction::Hide;
    hide.Enabled = false;
    file.Rules.Add(hide);
    const std::string bytes = FormatPopupRuleFile(file);
    EXPECT_EQ(bytes, "\xEF\xBB\xBFOn\tAction\tTitle\tProgram\tClass\tButton\tHits\tLastHit\r\n"
                     "on\tpress\tUpdate\\tavailable *\tsetup.exe\t#32770\tLater\t12\t2026-12-10 08:01:02\r\n"
                     "off\thide\tC:\\\\Temp\\\\*\t\t\t\t0\t\r\n");
    TPopupRuleFile back;
    ParsePopupRuleFile(bytes, back);
    ASSERT_EQ(back.Rules.Items().size(), 2u);
    EXPECT_TRUE(back.Unreadable.empty());
    const TPopupRule& read = back.Rules.Items()[0];
    EXPECT_EQ(read.TitlePattern, "Update\tavailable *");
    EXPECT_EQ(read.Action, TPopupAction::PressButton);
    EXPECT_EQ(read.Button, "Later");
    EXPECT_EQ(read.Hits, 12);
    EXPECT_EQ(back.Rules.Items()[1].TitlePattern, "C:\\Temp\\*");
    EXPECT_FALSE(back.Rules.Items()[1].Enabled);
    EXPECT_EQ(FormatPopupRuleFile(back), bytes);
}

TEST(PopupRuleFile, UnreadableLinesAreReportedAndWrittenBackInPlace)
{
    const std::string bytes = "\xEF\xBB\xBFOn\tAction\tTitle\tProgram\tClass\tButton\tHits\tLastHit\r\n"
                              "on\tclose\tAd*\t\t\t\t1\t\r\n"
                              "on\texplode\tNews\t\t\t\t0\t\r\n"           // unknown action
                              "on\tclose\t*\t\t\t\t0\t\r\n"                // about every window
                              "on\tpress\tUpdate\t\t\t\t0\t\r\n"           // no button to press
                              "on\tclose\tTwo\tcolumns\r\n"                // too few columns
                              "on\tminimise\tBad \\q escape\t\t\t\r\n"     // unknown escape
                              "on\thide\tHand written\tapp.exe\t\t\r\n";  // counters left out: read
    TPopupRuleFile file;
    ParsePopupRuleFile(bytes, file);
    ASSERT_EQ(file.Rules.Items().size(), 2u);
    EXPECT_EQ(file.Rules.Items()[1].Program, "app.exe");
    ASSERT_EQ(file.Unreadable.size(), 5u);
    EXPECT_EQ(file.Unreadable[0].first, 3);
    EXPECT_EQ(file.Unreadable[0].second, "on\texplode\tNews\t\t\t\t0\t");
    EXPECT_EQ(file.Unreadable[4].first, 7);
    // Written back, every line stands where it stood.
    const std::string written = FormatPopupRuleFile(file);
    EXPECT_EQ(written, "\xEF\xBB\xBFOn\tAction\tTitle\tProgram\tClass\tButton\tHits\tLastHit\r\n"
                       "on\tclose\tAd*\t\t\t\t1\t\r\n"
                       "on\texplode\tNews\t\t\t\t0\t\r\n"
                       "on\tclose\t*\t\t\t\t0\t\r\n"
                       "on\tpress\tUpdate\t\t\t\t0\t\r\n"
                       "on\tclose\tTwo\tcolumns\r\n"
                       "on\tminimise\tBad \\q escape\t\t\t\r\n"
                       "on\thide\tHand written\tapp.exe\t\t\t0\t\r\n");
    TPopupRuleFile again;
    ParsePopupRuleFile(written, again);
    EXPECT_EQ(FormatPopupRuleFile(again), written);
}

TEST(PopupRuleFile, WithoutBomOrHeader_LfEndings_BadUtf8KeptAsItWas)
{
    TPopupRuleFile file;
    ParsePopupRuleFile("on\tclose\tA\t\t\t\n\non\tclose\tB\xFF\t\t\t\n", file);
    ASSERT_EQ(file.Rules.Items().size(), 1u);
    ASSERT_EQ(file.Unreadable.size(), 1u);
    EXPECT_EQ(file.Unreadable[0].second, "on\tclose\tB\xFF\t\t\t");
    EXPECT_NE(FormatPopupRuleFile(file).find("on\tclose\tB\xFF\t\t\t\r\n"), std::string::npos);
}

TEST(PopupActionLog, KeepsTheLast200_OldestDropped)
{
    TPopupActionLog log;
    for (int i = 0; i < 205; ++i) {
        TPopupActionEntry entry;
        entry.Title = std::to_string(i);
        log.Add(entry);
    }
    ASSERT_EQ(log.Entries().size(), TPopupActionLog::Capacity);
    EXPECT_EQ(log.Entries().front().Title, "5");
    EXPECT_EQ(log.Entries().back().Title, "204");
}

TEST(PopupRuleTexts, BothLanguages_SamePlaceholders_CannotActReadsAsLogged)
{
    for (const TMessageRow& row : PopupRuleMessageTexts()) {
        const std::string english = row.In(TLanguage::English), french = row.In(TLanguage::French);
        EXPECT_NE(english, french) << row.key;
        EXPECT_EQ(std::count(english.begin(), english.end(), '%'), std::count(french.begin(), french.end(), '%'))
            << row.key;
    }
    EXPECT_EQ(FormatText(MsgPopupCannotAct, "Setup"), "cannot act on Setup (administrator)");
    EXPECT_EQ(PopupActionText(TPopupAction::PressButton, "Later"), "press 'Later'");
}

TEST(PopupRules, EditThroughAKeptPointer_AnswersAskedAgainAfterCheckEdits)
{
    TPopupRules rules;
    TPopupRule* kept = rules.Find(rules.Add(Rule("Update*")));
    const TWindowFacts window{"Update ready", "setup.exe", "Dlg"};
    EXPECT_EQ(rules.Match(window), 0);
    kept->Enabled = false;
    rules.CheckEdits();
    EXPECT_EQ(rules.Match(window), -1);
    kept->Enabled = true;
    kept->TitlePattern = "Other*";
    rules.CheckEdits();
    EXPECT_EQ(rules.Match(window), -1);
}
