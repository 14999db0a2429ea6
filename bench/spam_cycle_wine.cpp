// One spam cycle through the mail watch, as "Erase all SPAM messages" runs
// it, over a mailbox whose every message is spam: the check that finds them,
// then the cycle timed (its copies when DAYS is above 0, written to FOLDER).
//   bench_spam_cycle_wine.exe SERVER USER PASSWORD DAYS FOLDER
#include <winsock.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/unitGlobal.h"
#include "mail/MailWatch.h"
#include "settings/Settings.h"

namespace {
// The watch's log on stderr, so that a run that deletes nothing says why.
class TLogScreen : public IMailScreen {
public:
    void MailLogLine(const std::string& line) override { std::fprintf(stderr, "%s\n", line.c_str()); }
};
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s SERVER USER PASSWORD DAYS FOLDER\n", argv[0]);
        return 2;
    }
    WSADATA data;
    WSAStartup(0x0101, &data);
    TSettings settings;
    settings.EmailLines = 0;
    settings.SpamAddresses = "spam.example";
    settings.SpamKeepDays = std::atoi(argv[4]);
    auto mailbox = std::make_unique<TMailBox>();
    mailbox->MailboxName = "Bench";
    mailbox->Server = argv[1];
    mailbox->User = argv[2];
    mailbox->Password = argv[3];
    settings.Mailboxes.Add(std::move(mailbox));
    TMailWatch watch(settings, MailTextsOfMessages());
    watch.QuarantineFolder = argv[5];
    TLogScreen log;
    watch.AddScreen(log);
    // Every message is spam here: the guard's question is answered yes.
    watch.ConfirmSpamDeletion = [](const std::string&) { return true; };
    watch.CheckAllMailboxes(false);
    const int found = watch.Emails.Count();
    const DWORD start = GetTickCount();
    const int deleted = watch.DeleteSpamEmails();
    std::printf("spam_cycle days=%s found=%d deleted=%d seconds=%.3f\n", argv[4], found, deleted,
                (GetTickCount() - start) / 1000.0);
    WSACleanup();
    return deleted == found ? 0 : 1;
}
