// The mailboxes window on the real system windows: emails put straight into
// the main form's list, read back through the grid and text area controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "forms/ihmMailbox.h"
#include "framework/CodePage.h"
#include "graphic_capture.h"
#include "message_box_watcher.h"
#include "model/unitProcessEmail.h"
#include "system_fixture.h"

class MailboxWindowTest : public SystemTest {
protected:
    TMailBox& Mailbox(const std::string& name)
    {
        for (auto& mailbox : mailboxes_)
            if (mailbox->MailboxName == name)
                return *mailbox;
        mailboxes_.push_back(std::make_unique<TMailBox>());
        mailboxes_.back()->MailboxName = name;
        mailboxes_.back()->Name = name;
        return *mailboxes_.back();
    }

    TEmail& AddEmail(const std::string& mailbox, int number, const std::string& from, const std::string& subject)
    {
        auto email = std::make_unique<TEmail>();
        email->MailboxId = Mailbox(mailbox).Id;
        email->MailboxName = mailbox;
        email->Number = number;
        email->Name = MakeEmailKey(mailbox, number);
        email->From = from;
        email->Subject = subject;
        email->To = " me@example.org";
        DecodeEmailFields(*email, ConvertCodePageToUtf8);
        email->Size = "1234";
        email->Header = "From:" + from + "\r\nDate: Tue, 1 Dec 2026 14:05:00 +0100\r\n";
        email->Body = "Body of " + subject + "\r\n";
        TEmail& added = *email;
        ihmMain->Mail.Emails.Add(std::move(email));
        return added;
    }

    static TListGrid& Grid() { return ihmMailbox->zdsGrid; }

    // Pure red pixels in the band of one grid row, as the grid paints it.
    static int RedPixelsInRow(int row)
    {
        const RECT band = Grid().RowRect(row);
        const TCapture capture = CaptureClient(Grid().Handle());
        int red = 0;
        for (int y = std::max(0, static_cast<int>(band.top)); y < band.bottom && y < capture.height; ++y)
            for (int x = 0; x < capture.width; ++x)
                if (capture.At(x, y) == RGB(255, 0, 0))
                    ++red;
        return red;
    }

    static void ShowWindowAndWait()
    {
        ihmMailbox->Show();
        ASSERT_TRUE(PumpUntil([] { return ihmMailbox->Visible(); }));
    }

    static std::vector<std::string> MailLines() { return ihmMailbox->zdsMail.Lines(); }

private:
    std::vector<std::unique_ptr<TMailBox>> mailboxes_;
};
