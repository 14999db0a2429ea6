// The tray controller as the mail watch's screen: the tray tip with the local
// addresses when asked, the blinking icon while a server is talked to, the
// notification of new mail and the spam counter with its sound.
#include <winsock.h>

#include <cstring>

#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"
#include "../settings/ihmOptions.h"
#include "AddressText.h"
#include "Divers.h"
#include "unitGlobal.h"
#include "ihmMain.h"

void TihmMain::MailStatusChanged(const std::string& mailStatus)
{
    std::string status = mailStatus;
    if (Settings.AddressIp) {
        const std::string addresses = GetAddressText();
        if (!addresses.empty())
            status += "\r\n" + addresses;
    }
    utlTB.SetTip(status);
}

void TihmMain::MailActivity(bool working)
{
    if (working)
        utlIcon.SetEnabled(true);
    else
        UpdateTrayIcon();
}

bool TihmMain::ShowMailNotice(const TMailNotice& notice, bool silent)
{
    // The user may have switched the watch off while the check ran.
    return Settings.MailNotification && Settings.BalloonNotification &&
           utlTB.ShowBalloon(notice.Title, notice.Text, silent);
}

bool TihmMain::NewMailArrived(const std::vector<TMailSummary>& fresh)
{
    // Said also when the window is up: it may be behind others, and the
    // notice names what came; the program's own sound replaces the shell's.
    const bool ownSound = ihmMailbox && !ihmMailbox->Visible() && HasWaveDevice() &&
                          FileExists(Settings.SoundFileEmail);
    if (!fresh.empty())
        ShowMailNotice(NewMailNotice(fresh, NoticeTextsOfMessages()), ownSound);
    if (!ihmMailbox || ihmMailbox->Visible())
        return true;
    ShowForm(ihmMailbox);
    // The user may have switched the watch off while the check ran.
    if (!Settings.MailNotification)
        return true;
    if (HasWaveDevice() && FileExists(Settings.SoundFileEmail))
        PlaySoundFile(Settings.SoundFileEmail);
    if (ihmVideo && FileExists(Settings.VideoFileEmail)) {
        try {
            ihmVideo->ShowEmailVideo(Settings.VideoFileEmail, Settings.NoBorderVideo);
        } catch (const std::exception& error) {
            MessageDlg(error.what(), TMsgDlgType::Error);
            return false;
        }
    }
    return true;
}

void TihmMain::SpamDeleted()
{
    // The mail watch counted it in the settings.
    if (ihmOptions)
        ihmOptions->ShowCounters();
    if (Settings.SoundOnKillSpam && HasWaveDevice() && FileExists(Settings.SoundFileSpam))
        PlaySoundFile(Settings.SoundFileSpam);
}

void TihmMain::SpamCycleDeleted(const std::vector<TMailSummary>& deleted)
{
    ShowMailNotice(SpamNotice(deleted, NoticeTextsOfMessages()),
                   Settings.SoundOnKillSpam && HasWaveDevice() && FileExists(Settings.SoundFileSpam));
}

void TihmMain::SpamGuardKept(const std::string& line)
{
    ShowMailNotice({MsgSpamStart, line}, false);
}

void TihmMain::CheckNow()
{
    CountBeforeCheck = Mail.Emails.Count();
    Mail.CheckAllMailboxes(false);
    if (Mail.Emails.Count() != CountBeforeCheck)
        ShowForm(ihmMailbox);
}

std::vector<std::string> GetLocalAddresses()
{
    std::vector<std::string> addresses;
    WSADATA data;
    if (WSAStartup(0x0102, &data) != 0)
        return addresses;
    char name[256] = {};
    if (gethostname(name, sizeof name) == 0) {
        const hostent* host = gethostbyname(name);
        if (host && host->h_addrtype == AF_INET && host->h_addr_list) {
            for (char** entry = host->h_addr_list; *entry; ++entry) {
                in_addr address;
                std::memcpy(&address, *entry, sizeof address);
                addresses.push_back(inet_ntoa(address));
            }
        }
    }
    WSACleanup();
    return addresses;
}

std::string GetAddressText() { return JoinAddressText(GetLocalAddresses()); }
