// The cost of reading 10,000 headers as people do: decoding the sender, the
// recipient and the subject of each (encoded words in UTF-8, KOI8-R,
// Windows-1251, ISO-8859-1, Shift_JIS, GB2312, ISO-2022-JP and raw 8-bit
// values), then testing each against spam lists of 100 entries (half
// addresses, half subjects; ASCII, Cyrillic and CJK). Prints the median of
// 11 rounds of each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "mail_decode.h"

namespace {
constexpr int kEmails = 10000;
constexpr int kRounds = 11;

// Subjects and senders as they come: one in each form, cycled.
const char* const kSubjects[] = {
    " =?UTF-8?B?0J/RgNC40LLQtdGCINC40Lcg0JzQvtGB0LrQstGLIPCfmIA=?=",
    " =?koi8-r?Q?=F7=D3=D4=D2=C5=DE=C1_=D7_=D0=D1=D4=CE=C9=C3=D5?=",
    " =?windows-1251?B?ze7i7vHy6CDt5eTl6+g=?=",
    " =?iso-8859-1?Q?Caf=E9_au_lait_=E0_5?=",
    " =?shift_jis?B?ie+LY4LMl1yS6A==?=",
    " =?gb2312?B?1tjSqs7EvP4=?=",
    " =?ISO-2022-JP?B?GyRCRnxLXDhsJE4kKkNOJGkkOxsoQg==?=",
    " Weekly report number 42 for the team",
    " Ещё одно письмо 🎉",
    " Caf\xE9 \x96 \x80" "5",
};
const char* const kSenders[] = {
    " =?utf-8?Q?=D0=A1=D0=B5=D1=80=D0=B3=D0=B5=D0=B9?= <sergei@example.ru>",
    " \"Bob Smith\" <bob@example.com>",
    " =?gb2312?B?zfXOsA==?= <wang@example.cn>",
    " =?iso-8859-1?Q?Zo=EB?= <zoe@example.fr>",
};

template <typename F>
double MedianMilliseconds(F&& round)
{
    std::vector<double> samples;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        round();
        const auto stop = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::nth_element(samples.begin(), samples.begin() + kRounds / 2, samples.end());
    return samples[kRounds / 2];
}
}  // namespace

int main()
{
    const TCodePageConverter convert = MailDecodeConverter();
    const TCaseFold fold = MailDecodeFold();
    std::vector<TEmail> emails(kEmails);
    for (int i = 0; i < kEmails; ++i) {
        emails[i].From = kSenders[i % std::size(kSenders)];
        emails[i].To = " me@example.org";
        emails[i].Subject = kSubjects[i % std::size(kSubjects)];
    }
    // 100 entries that match nothing, so that every email is tested against
    // all of them, as most mail is.
    std::string addresses, subjects;
    for (int i = 0; i < 50; ++i) {
        addresses += "spammer" + std::to_string(i) + "@junk.example\r\n";
        subjects += (i % 3 == 0 ? "Реклама номер " : i % 3 == 1 ? "广告 " : "Cheap offer ") + std::to_string(i) + "\r\n";
    }

    const double decode = MedianMilliseconds([&] {
        for (TEmail& email : emails)
            DecodeEmailFields(email, convert);
    });
    int spam = 0;
    const double match = MedianMilliseconds([&] {
        const TSpamLists lists = ParseSpamLists(addresses, subjects, fold);
        spam = 0;
        for (const TEmail& email : emails)
            spam += lists.Marks(email) ? 1 : 0;
    });
    std::printf("platform: %s\n", MailDecodePlatformName());
    std::printf("decoding From, To and Subject of %d emails: %8.2f ms (%.2f us an email)\n", kEmails, decode,
                decode * 1000 / kEmails);
    std::printf("spam test of %d emails against 100 entries: %8.2f ms (%.2f us an email), %d spam\n", kEmails, match,
                match * 1000 / kEmails, spam);
    return 0;
}
