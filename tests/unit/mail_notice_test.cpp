#include <gtest/gtest.h>

#include "app/unitGlobal.h"
#include "app/unitLanguage.h"
#include "mail/MailNotice.h"
#include "model/unitProcessReuse.h"

namespace {
TEmail Email(const TMailBox* box, const std::string& uidl, const std::string& from, const std::string& subject)
{
    TEmail email;
    email.MailboxId = box->Id;
    email.Uidl = uidl;
    email.From = from;
    email.DecodedFrom = from;
    email.DecodedSubject = subject;
    return email;
}

std::vector<std::string> Senders(const std::vector<const TEmail*>& emails)
{
    std::vector<std::string> senders;
    for (const TEmail* email : emails)
        senders.push_back(email->From);
    return senders;
}
}  // namespace

TEST(NewEmails, UniqueIdsNotSeenBefore_AndWithoutIdsTheLastOnesTheCountGrewBy)
{
    TMailBox home, work;
    const TEmail a = Email(&home, "a", "a@x", ""), b = Email(&home, "b", "b@x", ""), c = Email(&work, "a", "c@x", "");
    const std::set<TMessageIdentity> seen = MessageIdentities({&a});
    // The same id on another mailbox is another message.
    EXPECT_EQ(Senders(NewEmails(seen, 1, {&a, &b, &c})), (std::vector<std::string>{"b@x", "c@x"}));
    EXPECT_TRUE(NewEmails(seen, 1, {&a}).empty());
    const TEmail n1 = Email(&home, "", "n1@x", ""), n2 = Email(&home, "", "n2@x", ""), n3 = Email(&home, "", "n3@x", "");
    EXPECT_EQ(Senders(NewEmails({}, 1, {&n1, &n2, &n3})), (std::vector<std::string>{"n2@x", "n3@x"}));
    EXPECT_TRUE(NewEmails({}, 3, {&n1, &n2}).empty());
}

TEST(MailNotice, CountsTheMessagesAndNamesTheFirstThreeSendersAndSubjects)
{
    const std::vector<TMailSummary> four = {
        {"bob@example.org", "Lunch on Friday"}, {"carol@example.org", ""}, {"dan@example.org", "Minutes"},
        {"eve@example.org", "Hidden"}};
    const TMailNotice notice = NewMailNotice(four, NoticeTextsOfMessages());
    EXPECT_EQ(notice.Title, "4 new messages");
    EXPECT_EQ(notice.Text, "bob@example.org: Lunch on Friday\ncarol@example.org\ndan@example.org: Minutes\nand 1 more");
    EXPECT_EQ(NewMailNotice({four[0]}, NoticeTextsOfMessages()).Title, "One new message");
    EXPECT_EQ(SpamNotice({four[0], four[1]}, NoticeTextsOfMessages()).Title, "2 SPAM messages deleted");
    EXPECT_EQ(SpamNotice({four[0]}, NoticeTextsOfMessages()).Text, "bob@example.org: Lunch on Friday");
}

TEST(MailNotice, LongOrFoldedSubject_OneLineOfSixtyCodePointsWithAnEllipsis)
{
    const std::string omegas(200, 'x');
    const TMailNotice notice = NewMailNotice({{"a@x", "Caf\xC3\xA9\r\n\t" + omegas}}, NoticeTextsOfMessages());
    EXPECT_EQ(notice.Text.find('\n'), std::string::npos);
    EXPECT_EQ(notice.Text.rfind("a@x: Caf\xC3\xA9  ", 0), 0u) << notice.Text;
    // 60 code points, then U+2026.
    EXPECT_EQ(notice.Text.size(), 60 + 1 + 3u);
    EXPECT_EQ(notice.Text.substr(notice.Text.size() - 3), "\xE2\x80\xA6");
}

TEST(MailNotice, InFrench)
{
    ApplyFrenchTexts();
    EXPECT_EQ(NewMailNotice({{"a@x", "s"}, {"b@x", "t"}}, NoticeTextsOfMessages()).Title, "2 nouveaux messages");
    EXPECT_EQ(SpamNotice({{"a@x", "s"}}, NoticeTextsOfMessages()).Title, "Un message SPAM effac\xC3\xA9");
    ApplyEnglishTexts();
}

TEST(MailNotice, DeletedSpam_EachLineNamesItsEntryFirstSoALongSubjectCannotHideIt)
{
    ApplyEnglishTexts();
    const std::string longSubject(80, 's');
    const TMailNotice notice =
        SpamNotice({{"a@spam.example", "Offer", "spam.example"}, {"b@x", longSubject, "sale"}}, NoticeTextsOfMessages());
    EXPECT_EQ(notice.Text.substr(0, notice.Text.find('\n')), "[spam.example] a@spam.example: Offer");
    EXPECT_EQ(notice.Text.find("\n[sale] b@x: sss"), notice.Text.find('\n'));
}
