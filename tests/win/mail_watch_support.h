// The mail watch under test, without windows: settings of the test's own,
// Winsock for the test's maildrops, mailboxes pointing at them and a
// recording stand-in for the screens that reads the log back as lines.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/unitGlobal.h"
#include "mail/MailWatch.h"
#include "model/unitProcessSpam.h"
#include "pop3_maildrop.h"
#include "settings/Settings.h"

// The DELE commands a maildrop received, in order.
inline std::vector<std::string> Deletions(TPop3Maildrop& maildrop)
{
    std::vector<std::string> deles;
    for (const std::string& command : maildrop.AllCommands())
        if (command.rfind("DELE", 0) == 0)
            deles.push_back(command);
    return deles;
}

// What the mail watch told its screens.
class TRecordingScreen : public IMailScreen {
public:
    std::vector<std::string> Log;
    std::vector<std::string> Statuses;
    int NewMail = 0;
    int SpamDeletions = 0;
    bool Working = false;
    // Runs as each line is logged: what happens elsewhere at that moment.
    std::function<void(const std::string&)> OnLogLine;

    void MailLogLine(const std::string& line) override
    {
        Log.push_back(line);
        if (OnLogLine)
            OnLogLine(line);
    }
    void MailLogCleared() override { Log.clear(); }
    void MailStatusChanged(const std::string& status) override { Statuses.push_back(status); }
    void MailActivity(bool working) override { Working = working; }
    bool NewMailArrived() override
    {
        ++NewMail;
        return true;
    }
    void SpamDeleted() override { ++SpamDeletions; }
};

class MailWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(0x0101, &data), 0);
        settings.EmailLines = 2;
        watch.AddScreen(screen);
    }
    void TearDown() override { WSACleanup(); }

    TMailBox& AddMailbox(const std::string& name, const std::string& server, const std::string& password = "secret")
    {
        auto mailbox = std::make_unique<TMailBox>();
        mailbox->MailboxName = name;
        mailbox->Server = server;
        mailbox->User = "alice";
        mailbox->Password = password;
        TMailBox& added = *mailbox;
        settings.Mailboxes.Add(std::move(mailbox));
        return added;
    }

    std::vector<std::string> Log() const { return screen.Log; }
    const std::string& Status() const { return screen.Statuses.back(); }
    TEmail& Email(int index) const { return *watch.Emails.ItemAs<TEmail>(index); }

    static std::vector<std::string> Subjects(TPop3Maildrop& maildrop)
    {
        std::vector<std::string> subjects;
        for (const TMaildropMessage& message : maildrop.Messages()) {
            const size_t at = message.Text.find("Subject: ");
            subjects.push_back(message.Text.substr(at + 9, message.Text.find("\r\n", at) - at - 9));
        }
        return subjects;
    }

    static std::vector<TMaildropMessage> Numbered(int count, const std::string& prefix = "m")
    {
        std::vector<TMaildropMessage> messages;
        for (int n = 1; n <= count; ++n)
            messages.push_back(MakeMessage(prefix + std::to_string(n), "Friend <friend@example.org>",
                                           "Note " + std::to_string(n)));
        return messages;
    }

    TSettings settings;
    TMailWatch watch{settings, MailTextsOfMessages()};
    TRecordingScreen screen;
};
