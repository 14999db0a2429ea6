// The mail watch under test, without windows: settings of the test's own,
// Winsock for the test's maildrops, mailboxes pointing at them and a
// recording stand-in for the screens that reads the log back as lines.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
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
    // What the last new-mail tick and the last spam cycle named.
    std::vector<TMailSummary> Fresh, SpamRemoved;
    // The guard's lines, as its balloon shows them.
    std::vector<std::string> GuardKept;
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
    bool NewMailArrived(const std::vector<TMailSummary>& fresh) override
    {
        ++NewMail;
        Fresh = fresh;
        return true;
    }
    void SpamDeleted() override { ++SpamDeletions; }
    void SpamCycleDeleted(const std::vector<TMailSummary>& deleted) override { SpamRemoved = deleted; }
    void SpamGuardKept(const std::string& line) override { GuardKept.push_back(line); }
};

class MailWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(0x0101, &data), 0);
        settings.EmailLines = 2;
        watch.AddScreen(screen);
        // The copies of each test in a folder of its own, never beside the test program.
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        quarantine = std::string(temp) + "skarnvale-quarantine-" + std::to_string(GetCurrentProcessId()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveQuarantine();
        watch.QuarantineFolder = quarantine;
        // The guard's question answered by the test, never by a box nobody sees.
        watch.ConfirmSpamDeletion = [this](const std::string& question) {
            questions.push_back(question);
            return confirmAnswer;
        };
    }
    void TearDown() override
    {
        RemoveQuarantine();
        WSACleanup();
    }

    // The files of the quarantine folder with `suffix`, by name.
    std::vector<std::string> QuarantineFiles(const std::string& suffix) const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((quarantine + "\\*" + suffix).c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do
            names.push_back(data.cFileName);
        while (FindNextFileA(find, &data));
        FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string QuarantineText(const std::string& name) const
    {
        std::string bytes;
        HANDLE file = CreateFileA((quarantine + "\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return bytes;
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
            bytes.append(chunk, read);
        CloseHandle(file);
        return bytes;
    }
    void RemoveQuarantine() const
    {
        for (const char* suffix : {".eml", ".txt"})
            for (const std::string& name : QuarantineFiles(suffix)) {
                SetFileAttributesA((quarantine + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA((quarantine + "\\" + name).c_str());
            }
        SetFileAttributesA(quarantine.c_str(), FILE_ATTRIBUTE_DIRECTORY);
        RemoveDirectoryA(quarantine.c_str());
    }

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
    std::string quarantine;
    std::vector<std::string> questions;
    bool confirmAnswer = false;
    TRecordingScreen screen;
};
