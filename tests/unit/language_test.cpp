#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/unitGlobal.h"
#include "app/unitLanguage.h"

namespace {
// The "%s" and "%d" placeholders of a text, in the order they stand.
std::string PlaceholderSequence(const std::string& text)
{
    std::string sequence;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (text[i + 1] == 's' || text[i + 1] == 'd')
            sequence += text[i + 1];
        ++i;
    }
    return sequence;
}

// Every row of every text table, each with the table it comes from.
struct TRowView {
    std::string table, key, english, french;
};
std::vector<TRowView> AllRows()
{
    std::vector<TRowView> rows;
    for (const TMessageRow& row : MessageTexts())
        rows.push_back({"messages", row.key, row.english, row.french});
    const std::pair<const char*, const std::vector<TTextRow>*> tables[] = {
        {"tray menu", &TrayMenuTexts()},     {"options dialog", &OptionsTexts()},
        {"about box", &AboutTexts()},        {"windows list", &WindowsListTexts()},
        {"mailboxes window", &MailboxTexts()}};
    for (const auto& table : tables)
        for (const TTextRow& row : *table.second)
            rows.push_back({table.first, row.key, row.english, row.french});
    return rows;
}

std::vector<std::string> KeysOf(const std::vector<TTextRow>& rows)
{
    std::vector<std::string> keys;
    for (const TTextRow& row : rows)
        keys.push_back(row.key);
    return keys;
}

// Leaves English in force and no applier registered, whatever a test did.
class Language : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (int w = 0; w < static_cast<int>(TTextWindow::Count); ++w)
            SetTextApplier(static_cast<TTextWindow>(w), nullptr);
        ApplyEnglishTexts();
    }
};
}  // namespace

TEST_F(Language, InitialMessageText_IsTheEnglishRowOfEachMessage)
{
    // The globals take these texts at start-up, before any table is applied.
    for (const TMessageRow& row : MessageTexts())
        EXPECT_EQ(InitialMessageText(row.text), row.english) << row.key;
    EXPECT_EQ(InitialMessageText(&MsgAlreadyRunning), "Skarnvale is already running.");
    const std::string notAMessage;
    EXPECT_EQ(InitialMessageText(&notAMessage), "");
}

TEST_F(Language, MessagesTable_HasEveryMessageOnceInOrder)
{
    const std::vector<std::string> expected = {
        "VersionText",       "MsgReadError",     "MsgWriteError",      "MsgSettingsWriteError", "MsgNotGoodIdea",
        "MsgAlreadyRunning",
        "MsgDeleteError",    "MsgLoadError",     "MsgConnectError",    "MsgNoMessageOn",    "MsgMessagesOn",
        "MsgSubjectOnList",  "MsgSenderOnList",  "MsgSenderAllowed",   "MsgCopyNotOpened",  "MsgMessageDeleted",  "MsgMessageChanged", "MsgConnectionLost",
        "MsgSecurityUnknown", "MsgOAuthSignInExpired", "MsgPasswordUnreadable", "MsgSignedIn", "MsgNotSignedIn", "MsgSignInExpired",
        "MsgRevocationUnknown", "MsgMessagesFound",  "MsgOneMessageFound", "MsgMailboxesInError",
        "MsgNoMessageFound", "MsgCheckInProgress", "MsgCheckStart",    "MsgCheckEnd",       "MsgSpamStart",
        "MsgSpamEnd",        "MsgBytes",         "MsgMailboxes",       "MsgSpamDeleted",    "MsgSubjectEdition",
        "MsgNewSubject",     "MsgNewMessages",   "MsgOneNewMessage",   "MsgOneSpamDeleted", "MsgMoreMessages",
        "MsgMailboxRemoved", "MsgIdleLost",      "MsgIdleBack",        "MsgIdleNewMail"};
    std::vector<std::string> keys;
    std::set<const std::string*> targets;
    for (const TMessageRow& row : MessageTexts()) {
        keys.push_back(row.key);
        targets.insert(row.text);
    }
    EXPECT_EQ(keys, expected);
    // Two rows filling one global would leave another message never translated.
    EXPECT_EQ(targets.size(), expected.size());
}

TEST_F(Language, SwitchToFrench_ChangesEveryMessageThatDiffers)
{
    ApplyEnglishTexts();
    for (const TMessageRow& row : MessageTexts())
        EXPECT_EQ(*row.text, row.english) << row.key;
    ApplyFrenchTexts();
    for (const TMessageRow& row : MessageTexts()) {
        EXPECT_EQ(*row.text, Windows1252ToUtf8(row.french)) << row.key;
        if (std::string(row.english) != row.french)
            EXPECT_NE(*row.text, row.english) << row.key;
    }
}

TEST_F(Language, SwitchBackToEnglish_RestoresEveryMessage)
{
    ApplyFrenchTexts();
    ApplyEnglishTexts();
    for (const TMessageRow& row : MessageTexts())
        EXPECT_EQ(*row.text, row.english) << row.key;
    EXPECT_EQ(MsgReadError, "Read error on file '%s'");
    EXPECT_EQ(MsgCheckInProgress, "Check in progress...");
}

TEST_F(Language, FrenchMessages_AreTheTablesWindows1252DecodedToUtf8)
{
    ApplyFrenchTexts();
    // "dÈj‡": the table's single bytes 0xE9 and 0xE0 become UTF-8 pairs.
    EXPECT_EQ(MsgAlreadyRunning, "Skarnvale est d\xC3\xA9j\xC3\xA0 actif.");
    EXPECT_EQ(MsgAlreadyRunning.size(), 27u);
    EXPECT_EQ(MsgCheckInProgress.substr(0, 3), "V\xC3\xA9");  // "VÈrification"
    EXPECT_NE(std::string(MsgSpamDeleted).find("effa\xC3\xA7\xC3\xA9s"), std::string::npos);
    EXPECT_EQ(MsgNotGoodIdea, "Je pense que ce n'est pas une bonne id\xC3\xA9" "e :)");
    EXPECT_EQ(MsgConnectError, "Erreur pendant la connexion \xC3\xA0 '%s' : %s (%s)");
    // Two spaces before the mailbox name, as the French wording has them.
    EXPECT_NE(MsgDeleteError.find("sur  '%s'"), std::string::npos);
}

TEST_F(Language, NoTextHoldsUtf8OrControlBytes)
{
    for (const TRowView& row : AllRows()) {
        for (const std::string& text : {row.english, row.french}) {
            for (unsigned char b : text) {
                EXPECT_GE(b, 0x20) << row.table << " " << row.key;
                // 0xC3 leads every UTF-8 pair of the accented letters used here.
                EXPECT_NE(b, 0xC3) << row.table << " " << row.key;
            }
        }
        for (unsigned char b : row.english)
            EXPECT_LT(b, 0x80) << row.table << " " << row.key;
    }
}

TEST_F(Language, EveryRow_HasTheSamePlaceholdersInBothLanguages)
{
    int withPlaceholders = 0;
    for (const TRowView& row : AllRows()) {
        EXPECT_EQ(PlaceholderSequence(row.english), PlaceholderSequence(row.french)) << row.table << " " << row.key;
        if (!PlaceholderSequence(row.english).empty())
            ++withPlaceholders;
    }
    EXPECT_EQ(withPlaceholders, 25);
}

TEST_F(Language, VersionText_IsTheSameInBothLanguages)
{
    ApplyFrenchTexts();
    EXPECT_EQ(VersionText, "2.0");
    ApplyEnglishTexts();
    EXPECT_EQ(VersionText, "2.0");
}

TEST_F(Language, TrayMenu_ListsTheItemsTopToBottom)
{
    std::vector<std::string> keys;
    for (const TTextRow& row : TrayMenuTexts())
        keys.push_back(row.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"mnpTbAbout", "mnpTbActivatePopup", "mnpTbWindowsList",
                                              "mnpTbActivateEmail", "mnpTbMailboxes", "mnpTbMailboxes2",
                                              "mnpTbEmailProgram", "mnpTbActivateSpam", "mnpTbOptions",
                                              "mnpTbQuit"}));
}

TEST_F(Language, TrayMenuCaption_GivesTheCaptionOfEachLanguage)
{
    EXPECT_EQ(TrayMenuCaption("mnpTbQuit", TLanguage::English), "Quit");
    EXPECT_EQ(TrayMenuCaption("mnpTbQuit", TLanguage::French), "Quitter");
    EXPECT_EQ(TrayMenuCaption("mnpTbWindowsList", TLanguage::French), "Liste des fen\xC3\xAA" "tres...");
    EXPECT_EQ(TrayMenuCaption("mnpTbActivateEmail", TLanguage::French), "D\xC3\xA9" "tection des Emails");
    EXPECT_EQ(TrayMenuCaption("mnpTbOptions", TLanguage::French), "Options...");
    EXPECT_EQ(TrayMenuCaption("mnpTbNoSuchItem", TLanguage::English), "");
}

TEST_F(Language, Appliers_RunInWindowOrderBetweenVersionTextAndMessages)
{
    ApplyEnglishTexts();
    std::vector<std::string> calls;
    // Registered out of order: the applying order is the windows' order, not the registration order.
    const TTextWindow windows[] = {TTextWindow::Mailboxes, TTextWindow::TrayMenu, TTextWindow::AboutBox,
                                   TTextWindow::WindowsList, TTextWindow::OptionsDialog};
    for (TTextWindow window : windows) {
        SetTextApplier(window, [&calls, window](TLanguage language) {
            calls.push_back(std::to_string(static_cast<int>(window)) +
                            (language == TLanguage::French ? "F" : "E") + " " + MsgCheckInProgress);
        });
    }
    ApplyFrenchTexts();
    // Messages are written last, so every window still saw the English message.
    EXPECT_EQ(calls, (std::vector<std::string>{"0F Check in progress...", "1F Check in progress...",
                                               "2F Check in progress...", "3F Check in progress...",
                                               "4F Check in progress..."}));
    EXPECT_EQ(MsgCheckInProgress, "V\xC3\xA9" "rification en cours...");
}

TEST_F(Language, RemovedApplier_IsNoLongerCalled)
{
    int calls = 0;
    SetTextApplier(TTextWindow::AboutBox, [&calls](TLanguage) { ++calls; });
    ApplyFrenchTexts();
    SetTextApplier(TTextWindow::AboutBox, nullptr);
    ApplyEnglishTexts();
    EXPECT_EQ(calls, 1);
}

TEST_F(Language, AboutBoxApplier_SeesTheVersionTextAlreadySet)
{
    VersionText.clear();
    std::string seen;
    SetTextApplier(TTextWindow::AboutBox, [&seen](TLanguage) { seen = VersionText; });
    ApplyFrenchTexts();
    EXPECT_EQ(seen, "2.0");
}

TEST_F(Language, ApplierThatRemovesItselfWhileRunning_IsSafe)
{
    int calls = 0;
    SetTextApplier(TTextWindow::TrayMenu, [&calls](TLanguage) {
        ++calls;
        SetTextApplier(TTextWindow::TrayMenu, nullptr);
    });
    ApplyFrenchTexts();
    ApplyEnglishTexts();
    EXPECT_EQ(calls, 1);
}

TEST_F(Language, EveryTable_HasEachKeyOnce)
{
    // A repeated key would write one control twice and leave another row unused.
    std::map<std::string, std::set<std::string>> seen;
    size_t rows = 0;
    for (const TRowView& row : AllRows()) {
        EXPECT_TRUE(seen[row.table].insert(row.key).second) << row.table << " " << row.key;
        EXPECT_FALSE(row.english.empty()) << row.table << " " << row.key;
        EXPECT_FALSE(row.french.empty()) << row.table << " " << row.key;
        ++rows;
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(rows, MessageTexts().size() + 10 + 77 + 6 + 48 + 27);
}

TEST_F(Language, OptionsTable_WritesCaptionAndPagesThenFileDialogsThenControls)
{
    const std::vector<std::string> keys = KeysOf(OptionsTexts());
    ASSERT_GE(keys.size(), 11u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 11),
              (std::vector<std::string>{"Caption", "tsGeneral", "tsMailbox", "tsSpamList", "OpenDialog.Filter",
                                        "OpenDialog.Title", "OpenDialogVideo.Filter", "OpenDialogVideo.Title",
                                        "OpenDialogExe.Filter", "OpenDialogExe.Title", "lblDblClick"}));
    // The SPAM list page's labels end it, the allow list's last.
    EXPECT_EQ(std::vector<std::string>(keys.end() - 3, keys.end()),
              (std::vector<std::string>{"lblEmail", "lblSubject", "lblAllowed"}));
}

TEST_F(Language, DoubleClickActions_AreEightItemsInActionOrder)
{
    std::vector<std::string> english, french;
    for (int i = 0; i < 8; ++i) {
        const std::string key = "zdsConfigDblClick.Items[" + std::to_string(i) + "]";
        english.push_back(TextOf(OptionsTexts(), key, TLanguage::English));
        french.push_back(TextOf(OptionsTexts(), key, TLanguage::French));
    }
    EXPECT_EQ(english, (std::vector<std::string>{"Toggle popup killer", "Windows list", "Toggle Emails detection",
                                                 "Show mailboxes", "Check mailboxes", "Start Email program",
                                                 "Toggle SPAM message killer", "Options"}));
    EXPECT_EQ(french[5], "Lancer le programme Email");
    EXPECT_EQ(french[3], "Voir les bo\xC3\xAE" "tes aux lettres");
    EXPECT_EQ(TextOf(OptionsTexts(), "zdsConfigDblClick.Items[8]", TLanguage::English), "");
}

TEST_F(Language, FrenchWindowTexts_KeepTheirOwnAccentsAndSpacing)
{
    EXPECT_EQ(TextOf(OptionsTexts(), "tsGeneral", TLanguage::French), "G\xC3\xA9" "n\xC3\xA9" "ral");
    // The page and the combo item differ: "Boites" without, "bo√Ætes" with the circumflex.
    EXPECT_EQ(TextOf(OptionsTexts(), "tsMailbox", TLanguage::French), "Boites aux lettres");
    EXPECT_EQ(TextOf(OptionsTexts(), "zdsConfigDblClick.Items[4]", TLanguage::French),
              "V\xC3\xA9" "rifier les bo\xC3\xAE" "tes aux lettres");
    EXPECT_EQ(TextOf(OptionsTexts(), "grpLanguage.Items[1]", TLanguage::French), "Francais");
    EXPECT_EQ(TextOf(OptionsTexts(), "grpIcon", TLanguage::French), "Icone");
    EXPECT_EQ(TextOf(OptionsTexts(), "OpenDialogVideo.Filter", TLanguage::French), "Fichier vid\xC3\xA9" "o (*.AVI)|*.AVI");
    EXPECT_EQ(TextOf(OptionsTexts(), "OpenDialog.Title", TLanguage::French), "Choix d'un fichier WAV");
    EXPECT_EQ(TextOf(WindowsListTexts(), "lblSelectedProcess", TLanguage::French),
              "Liste des fen\xC3\xAA" "tres \xC3\xA0" " d\xC3\xA9" "truire");
    // The count follows the label, so both languages end with a space.
    EXPECT_EQ(TextOf(WindowsListTexts(), "lblNumber", TLanguage::English), "Windows number : ");
    EXPECT_EQ(TextOf(WindowsListTexts(), "lblNumber", TLanguage::French), "Nombre de fen\xC3\xAA" "tres : ");
    EXPECT_EQ(TextOf(MailboxTexts(), "zdsGrid.Columns[1]", TLanguage::French), "Exp\xC3\xA9" "diteur");
    EXPECT_EQ(TextOf(MailboxTexts(), "mnpViewHeader", TLanguage::French), "Voir en-t\xC3\xAA" "te");
    EXPECT_EQ(TextOf(AboutTexts(), "lblVersion", TLanguage::English), "Issue :");
    EXPECT_EQ(TextOf(AboutTexts(), "Caption", TLanguage::French), "A propos");
}

TEST_F(Language, MailboxesCaption_IsTheMailboxesMessageText)
{
    // The window starts with its table caption and later builds it from the
    // message text: both must say the same in each language.
    for (TLanguage language : {TLanguage::English, TLanguage::French}) {
        ApplyTexts(language);
        EXPECT_EQ(TextOf(MailboxTexts(), "Caption", language), MsgMailboxes);
    }
}

TEST_F(Language, WriteRows_CallsSettersInTableOrderAndAnswersUnboundKeys)
{
    std::vector<std::string> written;
    const TTextSetters setters = {
        {"lblNumber", [&written](const std::string& text) { written.push_back("number=" + text); }},
        {"Caption", [&written](const std::string& text) { written.push_back("caption=" + text); }},
        {"lblCurrentProcess", nullptr},
        {"noSuchRow", [&written](const std::string& text) { written.push_back("never " + text); }}};
    const std::vector<std::string> unbound = WriteRows(WindowsListTexts(), setters, TLanguage::French);
    EXPECT_EQ(written, (std::vector<std::string>{"caption=Liste des fen\xC3\xAA" "tres",
                                                 "number=Nombre de fen\xC3\xAA" "tres : "}));
    ASSERT_EQ(unbound.size(), WindowsListTexts().size() - 2);  // every row but the two bound, in table order
    EXPECT_EQ(std::vector<std::string>(unbound.begin(), unbound.begin() + 3),
              (std::vector<std::string>{"lblCurrentProcess", "lblSelectedProcess", "lblEvents"}));
}

TEST_F(Language, WriteRows_WritesRowsWhoseTextsAreEqualInBothLanguages)
{
    int writes = 0;
    const TTextSetters setters = {{"Caption", [&writes](const std::string& text) {
                                       EXPECT_EQ(text, "Options");
                                       ++writes;
                                   }}};
    WriteRows(OptionsTexts(), setters, TLanguage::English);
    WriteRows(OptionsTexts(), setters, TLanguage::French);
    EXPECT_EQ(writes, 2);
}

TEST(FormatText, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(FormatText("%d message(s) found on '%s'", {3, "pop.example"}), "3 message(s) found on 'pop.example'");
    EXPECT_EQ(FormatText("Error during '%s' connection : %s (%s)", {"box", "refused", "10061"}),
              "Error during 'box' connection : refused (10061)");
    EXPECT_EQ(FormatText("%d SPAM messages deleted", {-2}), "-2 SPAM messages deleted");
}

TEST(FormatText, UserTextWithPercentSigns_IsNotReadAsAFormat)
{
    EXPECT_EQ(FormatText("Read error on file '%s'", std::string("C:\\100%s%d%n.txt")),
              "Read error on file 'C:\\100%s%d%n.txt'");
    EXPECT_EQ(FormatText("'%s' : %s", {"%s", "x"}), "'%s' : x");
}

TEST(FormatText, MissingArgumentsAndOtherPercentSequences_AreHarmless)
{
    EXPECT_EQ(FormatText("%s and %s (%d)", {"one"}), "one and  ()");
    EXPECT_EQ(FormatText("100%% %x %", {}), "100% %x %");
    EXPECT_EQ(FormatText("no placeholder", {"extra"}), "no placeholder");
}

TEST(FormatText, SingleTextForm_ReplacesTheFirstPlaceholder)
{
    EXPECT_EQ(FormatText("Write error on file '%s'", std::string("C:\\a.txt")), "Write error on file 'C:\\a.txt'");
    EXPECT_EQ(FormatText("", std::string("x")), "");
}
