#include "MailNotice.h"

#include "../text/FormatText.h"
#include "../text/Utf8Text.h"
#include "../model/unitProcessEmail.h"

namespace {
// `text` cut to `length` code points, an ellipsis saying so; line breaks,
// which a header may hold, become spaces.
std::string NoticeLine(const std::string& text, std::size_t length)
{
    std::string line;
    std::size_t pos = 0, count = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t c = NextCodePoint(text, pos);
        if (++count > length) {
            line += "\xE2\x80\xA6";  // U+2026
            break;
        }
        if (c == '\r' || c == '\n' || c == '\t')
            line += ' ';
        else if (c == ReplacementCharacter)
            AppendUtf8(line, c);
        else
            line.append(text, start, pos - start);
    }
    return line;
}

// A header value without the blanks around it (the one after the colon).
std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string NoticeText(const std::vector<TMailSummary>& messages, const std::string& moreMessages)
{
    std::string text;
    for (std::size_t i = 0; i < messages.size() && i < NoticeLines; ++i) {
        const TMailSummary& m = messages[i];
        // The entry first: a long subject is cut at the end of the line.
        const std::string named = m.Subject.empty() ? m.Sender : m.Sender + ": " + m.Subject;
        const std::string line = m.Why.empty() ? named : "[" + m.Why + "] " + named;
        text += (i ? "\n" : "") + NoticeLine(line, NoticeLineLength);
    }
    if (messages.size() > NoticeLines)
        text += "\n" + NoticeLine(FormatText(moreMessages, {static_cast<int>(messages.size() - NoticeLines)}),
                                  NoticeLineLength);
    return text;
}
}  // namespace

TMailSummary SummaryOf(const TEmail& email)
{
    return {Trimmed(GetDecodedEmailAddress(email)), Trimmed(email.DecodedSubject), std::string()};
}

std::vector<TMailSummary> SummariesOf(const std::vector<const TEmail*>& emails)
{
    std::vector<TMailSummary> summaries;
    for (const TEmail* email : emails)
        summaries.push_back(SummaryOf(*email));
    return summaries;
}

TMailNotice NewMailNotice(const std::vector<TMailSummary>& fresh, const TMailNoticeTexts& texts)
{
    const int count = static_cast<int>(fresh.size());
    return {count == 1 ? texts.OneNewMessage : FormatText(texts.NewMessages, {count}),
            NoticeText(fresh, texts.MoreMessages)};
}

TMailNotice SpamNotice(const std::vector<TMailSummary>& deleted, const TMailNoticeTexts& texts)
{
    const int count = static_cast<int>(deleted.size());
    return {count == 1 ? texts.OneSpamDeleted : FormatText(texts.SpamDeleted, {count}),
            NoticeText(deleted, texts.MoreMessages)};
}
