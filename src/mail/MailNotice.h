// The message the tray icon shows when the timer's check finds new mail or
// the spam cycle removed messages: a title that counts them and the first
// senders and subjects, one line each.
#pragma once

#include <string>
#include <vector>

class TEmail;

// A message as the notice names it: the sender a reader is shown and the
// decoded subject, both UTF-8.
struct TMailSummary {
    std::string Sender;
    std::string Subject;
    // The list entry that marked a deleted message, shown before it; empty for new mail.
    std::string Why;
};

struct TMailNotice {
    std::string Title;
    std::string Text;
};

TMailSummary SummaryOf(const TEmail& email);
std::vector<TMailSummary> SummariesOf(const std::vector<const TEmail*>& emails);

// How many messages a notice names; the others are counted on a last line.
constexpr std::size_t NoticeLines = 3;
// The longest line of a notice, in code points: the shell's field holds 255
// UTF-16 units, so the lines and the count line always fit whole.
constexpr std::size_t NoticeLineLength = 60;

// The message texts a notice is written with, in the language of the interface.
struct TMailNoticeTexts {
    const std::string& NewMessages;      // "%d new messages"
    const std::string& OneNewMessage;
    const std::string& SpamDeleted;      // "%d SPAM messages deleted"
    const std::string& OneSpamDeleted;
    const std::string& MoreMessages;     // "and %d more"
};

// "3 new messages" with "sender: subject" lines.
TMailNotice NewMailNotice(const std::vector<TMailSummary>& fresh, const TMailNoticeTexts& texts);
// "2 SPAM messages deleted" with the same lines for what was removed.
TMailNotice SpamNotice(const std::vector<TMailSummary>& deleted, const TMailNoticeTexts& texts);
