// Mail in every charset of the platform: read from a maildrop on
// 127.0.0.2:110, each sender and subject decodes as it was written and the
// grid gives it back as wide text; the spam run deletes exactly the messages
// holding a Cyrillic or a CJK entry in any letter case; the detail view shows
// a body decoded from its transfer encoding and charset.
#include "mail_watch_support.h"
#include "test_mailbox_window.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/WideText.h"

namespace {
const char kHome[] = "127.0.0.2";

struct TWrittenMail {
    const char* from;     // the From and Subject values as sent
    const char* subject;
    const char* shownFrom;  // what the grid shows
    const char* shownSubject;
};

// Encoded words in each charset, alternately B and Q, and raw 8-bit values.
const TWrittenMail kMails[] = {
    {"=?utf-8?Q?=D0=A1=D0=B5=D1=80=D0=B3=D0=B5=D0=B9_=D0=98=D0=B2=D0=B0=D0=BD=D0=BE=D0=B2?=", "=?UTF-8?B?0J/RgNC40LLQtdGCINC40Lcg0JzQvtGB0LrQstGLIPCfmIA=?=",
     " Сергей Иванов", " Привет из Москвы 😀"},
    {"=?iso-8859-1?B?Wm/r?=", "=?iso-8859-1?Q?Caf=E9_au_lait_=E0_5?=",
     " Zoë", " Café au lait à 5"},
    {"=?iso-8859-2?Q?=A3ukasz?=", "=?iso-8859-2?B?WmG/87PmIGfqtmyxIGphvPE=?=",
     " Łukasz", " Zażółć gęślą jaźń"},
    {"=?ISO-8859-3?B?1W9y9Q==?=", "=?iso-8859-3?Q?=A1a=F5ar?=",
     " Ġorġ", " Ħaġar"},
    {"=?iso-8859-4?Q?=ABirts?=", "=?ISO-8859-4?B?0+9saXM=?=",
     " Ģirts", " Ķīlis"},
    {"=?iso-8859-5?B?vNDT0NfY3Q==?=", "=?iso-8859-5?Q?=B1=DE=DB=EC=E8=D0=EF_=C0=B5=BA=BB=B0=BC=B0?=",
     " Магазин", " Большая РЕКЛАМА"},
    {"=?iso-8859-6?Q?=C3=CD=E5=CF?=", "=?iso-8859-6?B?5dHNyMc=?=",
     " أحمد", " مرحبا"},
    {"=?ISO-8859-7?B?0+/23+E=?=", "=?iso-8859-7?Q?=CA=E1=EB=E7=EC=DD=F1=E1_=EA=FC=F3=EC=E5?=",
     " Σοφία", " Καλημέρα κόσμε"},
    {"=?iso-8859-8?Q?=E3=E5=E3?=", "=?ISO-8859-8?B?+ezl7SDy5ezt?=",
     " דוד", " שלום עולם"},
    {"=?iso-8859-9?B?3vxrcvw=?=", "=?iso-8859-9?Q?G=FCnayd=FDn_=DDstanbul?=",
     " Şükrü", " Günaydın İstanbul"},
    {"=?iso-8859-10?Q?=C1=BF=BF=E1?=", "=?iso-8859-10?B?U+FtaSC/IP8=?=",
     " Áŋŋá", " Sámi ŋ ĸ"},
    {"=?ISO-8859-11?B?ysGq0sI=?=", "=?iso-8859-11?Q?=CA=C7=D1=CA=B4=D5?=",
     " สมชาย", " สวัสดี"},
    {"=?iso-8859-13?Q?=DBla?=", "=?ISO-8859-13?B?wP51b2xhcw==?=",
     " Ūla", " Ąžuolas"},
    {"=?iso-8859-14?B?3ndlbg==?=", "=?iso-8859-14?Q?=A1wrdd_=D0yn?=",
     " Ŷwen", " Ḃwrdd Ŵyn"},
    {"=?iso-8859-15?Q?=BEves?=", "=?iso-8859-15?B?UHJpeCA1pCC9dXZyZQ==?=",
     " Ÿves", " Prix 5€ œuvre"},
    {"=?ISO-8859-16?B?qnRlZmFu?=", "=?iso-8859-16?Q?=AAtiri_=BAi_=FE=E3ri?=",
     " Ștefan", " Știri și țări"},
    {"=?windows-1250?Q?Ji=F8=ED?=", "=?WINDOWS-1250?B?UPjtbGmaIJ5sdZ1vdehr/Q==?=",
     " Jiří", " Příliš žluťoučký"},
    {"=?windows-1251?B?0OXk4Or26P8=?=", "=?windows-1251?Q?=CD=EE=E2=EE=F1=F2=E8_=ED=E5=E4=E5=EB=E8?=",
     " Редакция", " Новости недели"},
    {"=?windows-1252?Q?J=FCrgen?=", "=?windows-1252?B?QW5nZWJvdCCWIDWA?=",
     " Jürgen", " Angebot – 5€"},
    {"=?WINDOWS-1253?B?zd/q7/I=?=", "=?windows-1253?Q?=C5=E9=E4=DE=F3=E5=E9=F2?=",
     " Νίκος", " Ειδήσεις"},
    {"=?windows-1254?Q?=C7a=F0r=FD?=", "=?WINDOWS-1254?B?SGFmdGFs/WsgaGFiZXJsZXI=?=",
     " Çağrı", " Haftalık haberler"},
    {"=?windows-1255?B?7vnk?=", "=?windows-1255?Q?=E7=E3=F9=E5=FA?=",
     " משה", " חדשות"},
    {"=?windows-1256?Q?=DA=E1=ED?=", "=?windows-1256?B?w87Ix9E=?=",
     " علي", " أخبار"},
    {"=?WINDOWS-1257?B?SvtyYXTr?=", "=?windows-1257?Q?=DEinios?=",
     " Jūratė", " Žinios"},
    {"=?windows-1258?Q?=D5n?=", "=?WINDOWS-1258?B?0PRuZyDdbmc=?=",
     " Ơn", " Đông Ưng"},
    {"=?koi8-r?B?78zYx8E=?=", "=?koi8-r?Q?=F7=D3=D4=D2=C5=DE=C1_=D7_=D0=D1=D4=CE=C9=C3=D5?=",
     " Ольга", " Встреча в пятницу"},
    {"=?koi8-u?Q?=E2=CF=C7=C4=C1=CE?=", "=?koi8-u?B?vcHOz8sgpiCn1sHL?=",
     " Богдан", " Ґанок і їжак"},
    {"=?SHIFT_JIS?B?k2OShg==?=", "=?shift_jis?Q?=89=EF=8Bc=82=CC=97\\=92=E8?=",
     " 田中", " 会議の予定"},
    {"=?iso-2022-jp?Q?=1B$B;3ED=1B(B?=", "=?ISO-2022-JP?B?GyRCRnxLXDhsJE4kKkNOJGkkOxsoQg==?=",
     " 山田", " 日本語のお知らせ"},
    {"=?euc-jp?B?urTGow==?=", "=?euc-jp?Q?=C5=EC=B5=FE=A4=CE=C5=B7=B5=A4?=",
     " 佐藤", " 東京の天気"},
    {"=?gb2312?Q?=CD=F5=CE=B0?=", "=?gb2312?B?1tjSqs7EvP4=?=",
     " 王伟", " 重要文件"},
    {"=?GBK?B?ycy80g==?=", "=?gbk?Q?=B9=E3=B8=E6=B5=AF=B4=B0=D3=C5=BB=DD?=",
     " 商家", " 广告弹窗优惠"},
    {"=?gb18030?Q?=C0=EE=C4=C8?=", "=?GB18030?B?1tDOxNPKvP4glDn8Ng==?=",
     " 李娜", " 中文邮件 😀"},
    {"=?big5?B?s6+kaqTl?=", "=?big5?Q?=C1c=C5=E9=A4=A4=A4=E5?=",
     " 陳大文", " 繁體中文"},
    {"=?euc-kr?Q?=B1=E8=C3=B6=BC=F6?=", "=?euc-kr?B?vsiz58fPvLy/5A==?=",
     " 김철수", " 안녕하세요"},
    {"=?WINDOWS-1251?B?zODj4Ofo7Q==?=", "=?windows-1251?Q?=D1=EA=E8=E4=EA=E8!_=D0=E5=EA=EB=E0=EC=E0_=E4=ED=FF?=",
     " Магазин", " Скидки! Реклама дня"},
    {"=?utf-8?Q?=F0=9F=A6=84_=D0=95=D0=B4=D0=B8=D0=BD=D0=BE=D1=80=D0=BE=D0=B3?=", "=?UTF-8?B?8J+mhCBVbmljb3JuIOKckw==?=",
     " 🦄 Единорог", " 🦄 Unicorn ✓"},
    // Raw 8-bit header bytes: UTF-8 when they are valid UTF-8, else Windows-1252.
    {"Дмитрий", "Ещё реклама 🎉", " Дмитрий", " Ещё реклама 🎉"},
    {"Ren\xE9" "e", "Caf\xE9 \x96 \x80" "5", " Renée", " Café – €5"},
    // Bytes that cannot be decoded are U+FFFD, in a multi-byte charset as in UTF-8.
    {"=?shift_jis?B?k/qBIA==?=", "=?utf-8?Q?Bad_=FF_byte?=", " 日\xEF\xBF\xBD ", " Bad \xEF\xBF\xBD byte"},
};

// The messages that hold "Реклама" or "广告" in their subject, in any case.
const int kSpamNumbers[] = {6, 32, 36, 38};

std::vector<TMaildropMessage> Mails()
{
    std::vector<TMaildropMessage> messages;
    for (const TWrittenMail& mail : kMails)
        messages.push_back(MakeMessage("c" + std::to_string(messages.size() + 1), mail.from, mail.subject));
    return messages;
}

// A cell as the list view gives it to any program: in UTF-16.
std::string WideCell(int column, int row)
{
    wchar_t text[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(ihmMailbox->zdsGrid.Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return Narrow(text);
}

using MailboxWindow = MailboxWindowTest;
}  // namespace

TEST_F(MailWatchTest, EveryCharset_SendersAndSubjectsDecodeAsWritten)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Mails());
    AddMailbox("Home", kHome);
    watch.CheckAllMailboxes(false);

    const int count = static_cast<int>(std::size(kMails));
    ASSERT_EQ(watch.Emails.Count(), count);
    for (int i = 0; i < count; ++i) {
        const TEmail& email = Email(i);
        ASSERT_TRUE(email.Number >= 1 && email.Number <= count);
        const TWrittenMail& mail = kMails[email.Number - 1];
        EXPECT_EQ(email.DecodedFrom, mail.shownFrom) << "message " << email.Number;
        EXPECT_EQ(email.DecodedSubject, mail.shownSubject) << "message " << email.Number;
    }
}

TEST_F(MailboxWindow, EveryCharset_GridGivesSendersAndSubjectsBackAsWideText)
{
    const int count = static_cast<int>(std::size(kMails));
    for (int n = 1; n <= count; ++n)
        AddEmail("home", n, std::string(" ") + kMails[n - 1].from, std::string(" ") + kMails[n - 1].subject);
    ihmMailbox->FillMailGrid();

    ASSERT_EQ(ihmMailbox->zdsGrid.RowCount(), count);
    for (int row = 0; row < count; ++row) {
        const std::string subject = WideCell(2, row);
        const auto mail = std::find_if(std::begin(kMails), std::end(kMails),
                                       [&](const TWrittenMail& m) { return subject == m.shownSubject; });
        ASSERT_NE(mail, std::end(kMails)) << "row " << row << ": " << subject;
        EXPECT_EQ(WideCell(1, row), mail->shownFrom) << "row " << row;
    }
}

TEST_F(MailWatchTest, SpamRunWithCyrillicAndCjkEntries_DeletesExactlyTheMessagesHoldingThem)
{
    TPop3Maildrop home(kHome);
    home.SetMessages(Mails());
    AddMailbox("Home", kHome);
    settings.SpamSubjects = "Реклама\r\n广告";
    watch.CheckAllMailboxes(false);

    watch.DeleteSpamEmails();

    std::vector<std::string> expected;
    for (auto n = std::rbegin(kSpamNumbers); n != std::rend(kSpamNumbers); ++n)
        expected.push_back("DELE " + std::to_string(*n));
    EXPECT_EQ(Deletions(home), expected);
    EXPECT_EQ(home.Messages().size(), std::size(kMails) - std::size(kSpamNumbers));
}

TEST_F(MailboxWindow, DetailView_ShowsTheFirstTextPartDecodedAndNamesTheOthers)
{
    TEmail& invoice = AddEmail("home", 1, " =?koi8-r?B?8M/T1MHX3cnL?= <billing@example.ru>", " =?windows-1251?B?0fe48g==?=");
    invoice.Header = "From: =?koi8-r?B?8M/T1MHX3cnL?= <billing@example.ru>\r\nSubject: =?windows-1251?B?0fe48g==?=\r\n"
                     "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b1\"\r\n";
    invoice.Body = "--b1\r\nContent-Type: text/plain; charset=windows-1251\r\n"
                   "Content-Transfer-Encoding: base64\r\n\r\n"
                   "xO7h8PvpIOTl7fwhDQrR97jyIOLuIOLr7ubl7ejoLg0K\r\n"
                   "--b1\r\nContent-Type: application/pdf; name=\"=?utf-8?B?0KHRh9GR0YIucGRm?=\"\r\n"
                   "Content-Transfer-Encoding: base64\r\n\r\nJVBERi0=\r\n--b1--\r\n";
    ihmMailbox->FillMailGrid();
    ihmMailbox->zdsGrid.SetSelected(0);
    ihmMailbox->zdsGridClick();

    const std::vector<std::string> lines = MailLines();
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "From :  Поставщик <billing@example.ru>");
    EXPECT_EQ(lines[3], "Subject :  Счёт");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 10),
              (std::vector<std::string>{"Attachments : ", "Счёт.pdf", "", "Добрый день!", "Счёт во вложении."}));
}
