// The mail watch under test: the system's windows, Winsock for the test's
// maildrops, mailboxes pointing at them and the log read back as lines.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/ihmMailbox.h"
#include "model/unitProcessSpam.h"
#include "pop3_maildrop.h"
#include "system_fixture.h"

class MailWatchTest : public SystemTest {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(0x0101, &data), 0);
        SystemTest::SetUp();
        ihmOptions->SetEmailLines(2);
    }
    void TearDown() override
    {
        SystemTest::TearDown();
        WSACleanup();
    }

    TMailBox& AddMailbox(const std::string& name, const std::string& server, const std::string& password = "secret")
    {
        auto mailbox = std::make_unique<TMailBox>();
        mailbox->MailboxName = name;
        mailbox->Server = server;
        mailbox->User = "alice";
        mailbox->Password = password;
        TMailBox& added = *mailbox;
        ihmOptions->Mailboxes.Add(std::move(mailbox));
        return added;
    }

    static std::vector<std::string> Log() { return SplitLines(ihmMailbox->zdsMail.Text()); }

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
};
