// The options dialog's own event handlers: closing saves, the interval fields,
// the enabling rules, the file pickers, play and view buttons, counters, LEDs
// and the mailbox editor.
#include <stdexcept>

#include "../app/Divers.h"
#include "../app/unitLanguage.h"
#include "../framework/Dpapi.h"
#include "../framework/Files.h"
#include "../model/unitProcessEmail.h"
#include "../oauth/OAuthProviders.h"
#include "SettingsValues.h"
#include "ihmOptions.h"

void TihmOptions::ConnectEvents()
{
    OnKeyDown = [this](WPARAM key) {
        if (key != VK_ESCAPE)
            return false;
        FormClose();
        return true;
    };
    OnClose = [this] { FormClose(); };
    // Task Manager or the setup may have changed the entry while the dialog was hidden.
    OnShow = [this] { ShowStartWithWindows(); };
    // Every change the user makes goes into the copy and is applied at once.
    // The values read where they are used (stay on top, the body lines, the
    // video's border, the file names) are put back with no step of their own.
    zdsConfigDblClick.OnChange = [this] { SetConfigDblClick(zdsConfigDblClick.ItemIndex()); };
    zdsStayOnTop.OnClick = [this] {
        draft_.ListStayOnTop = zdsStayOnTop.Checked();
        PutBack();
    };
    zdsShowIpAddr.OnClick = [this] { SetAddressIp(zdsShowIpAddr.Checked()); };
    grpLanguage.OnClick = [this] { SetFrench(grpLanguage.ItemIndex() == 1); };
    grpIcon.OnClick = [this] { SetTaskPopup(grpIcon.ItemIndex() == 0); };
    // Whatever the registry took, the box then shows the entry as it is.
    zdsStartWithWindows.OnClick = [this] {
        host_.SetStartWithWindows(zdsStartWithWindows.Checked());
        ShowStartWithWindows();
    };
    zdsInterval.OnChange = [this] { SetInterval(DecodeInteger(zdsInterval.Text(), DefaultInterval)); };
    zdsIntervalEmail.OnChange = [this] { SetIntervalEmail(DecodeInteger(zdsIntervalEmail.Text(), 5000)); };
    zdsEmailLines.OnChange = [this] {
        draft_.EmailLines = DecodeInteger(zdsEmailLines.Text(), DefaultEmailLines);
        PutBack();
    };
    zdsSoundOnKill.OnClick = [this] { SetSoundOnKill(zdsSoundOnKill.Checked()); };
    zdsSoundOnEmail.OnClick = [this] { SetSoundOnEmail(zdsSoundOnEmail.Checked()); };
    zdsSoundOnKillSpam.OnClick = [this] { SetSoundOnKillSpam(zdsSoundOnKillSpam.Checked()); };
    for (auto [box, field] : {std::pair<TCheckBox*, bool TSettings::*>{&zdsNoBorderVideo, &TSettings::NoBorderVideo},
                              {&zdsBalloonNotification, &TSettings::BalloonNotification}})
        box->OnClick = [this, box = box, field = field] {
            draft_.*field = box->Checked();
            PutBack();
        };
    for (auto [edit, field] : {std::pair<TEdit*, std::string TSettings::*>{&zdsEmailProgram, &TSettings::EmailProgram},
                               {&zdsSoundFile, &TSettings::SoundFile},
                               {&zdsSoundFileEmail, &TSettings::SoundFileEmail},
                               {&zdsVideoFileEmail, &TSettings::VideoFileEmail},
                               {&zdsSoundFileSpam, &TSettings::SoundFileSpam}})
        edit->OnChange = [this, edit = edit, field = field] {
            draft_.*field = edit->Text();
            PutBack();
        };
    // The lists' step tells the mailboxes window; the fields already show the text.
    zdsEmail.OnChange = [this] {
        draft_.SpamAddresses = zdsEmail.Text();
        Apply();
    };
    zdsSubject.OnChange = [this] {
        draft_.SpamSubjects = zdsSubject.Text();
        Apply();
    };
    zdsAllowed.OnChange = [this] {
        draft_.SpamAllowed = zdsAllowed.Text();
        Apply();
    };
    zdsSpamKeepDays.OnChange = [this] {
        draft_.SpamKeepDays = DecodeInteger(zdsSpamKeepDays.Text(), QuarantineDefaultDays);
        PutBack();
    };

    btnMailProgram.OnClick = [this] { PickFile(zdsEmailProgram, OpenDialogExe); };
    btnSoundFile.OnClick = [this] { PickFile(zdsSoundFile, OpenDialog); };
    btnSoundFileEmail.OnClick = [this] { PickFile(zdsSoundFileEmail, OpenDialog); };
    btnVideoFileEmail.OnClick = [this] { PickFile(zdsVideoFileEmail, OpenDialogVideo); };
    btnSoundFileSpam.OnClick = [this] { PickFile(zdsSoundFileSpam, OpenDialog); };
    btnPlaySoundFile.OnClick = [this] { PlayIfDevice(zdsSoundFile.Text()); };
    btnPlaySoundFileEmail.OnClick = [this] { PlayIfDevice(zdsSoundFileEmail.Text()); };
    btnPlaySoundFileSpam.OnClick = [this] { PlayIfDevice(zdsSoundFileSpam.Text()); };
    btnViewVideoFileEmail.OnClick = [this] { btnViewVideoFileEmailClick(); };
    btnReset.OnClick = [this] { SetCounter(0); };
    btnResetSpam.OnClick = [this] { SetCounterSpam(0); };

    zdsLedPopup.OnDblClick = [this] { host_.ToggleSwitch(TSwitch::Killer); };
    zdsLedEmail.OnDblClick = [this] { host_.ToggleSwitch(TSwitch::Mail); };
    zdsLedSpam.OnDblClick = [this] { host_.ToggleSwitch(TSwitch::Spam); };

    zdsMailboxList.OnClick = [this] { zdsMailboxListClick(); };
    btnAdd.OnClick = [this] { btnAddClick(); };
    btnDelete.OnClick = [this] { btnDeleteClick(); };
    zdsName.OnExit = [this] { StoreMailboxField(zdsName, &TMailBox::MailboxName); };
    zdsServer.OnExit = [this] { StoreMailboxField(zdsServer, &TMailBox::Server); };
    zdsUser.OnExit = [this] { StoreMailboxField(zdsUser, &TMailBox::User); };
    zdsPassword.OnExit = [this] { StoreMailboxField(zdsPassword, &TMailBox::Password); };
    zdsSecurity.OnChange = [this] { zdsSecurityChange(); };
    zdsPort.OnExit = [this] { StoreMailboxField(zdsPort, &TMailBox::Port); };
    zdsFingerprint.OnExit = [this] { StoreMailboxField(zdsFingerprint, &TMailBox::Fingerprint); };
    zdsProtocol.OnChange = [this] { zdsProtocolChange(); };
    zdsFolder.OnExit = [this] { StoreMailboxField(zdsFolder, &TMailBox::Folder); };
    zdsSignIn.OnChange = [this] { zdsSignInChange(); };
    zdsClientId.OnExit = [this] { StoreMailboxField(zdsClientId, &TMailBox::ClientId); };
    zdsAuthorizationUrl.OnExit = [this] { StoreProviderField(zdsAuthorizationUrl, &TMailBox::AuthorizationUrl); };
    zdsTokenUrl.OnExit = [this] { StoreProviderField(zdsTokenUrl, &TMailBox::TokenUrl); };
    zdsScope.OnExit = [this] { StoreProviderField(zdsScope, &TMailBox::Scope); };
    zdsClientSecret.OnExit = [this] { zdsClientSecretExit(); };
    btnSignIn.OnClick = [this] { btnSignInClick(); };
}

void TihmOptions::FormClose()
{
    // A mailbox edit that still has the focus has not stored its text yet:
    // store it now, as leaving it would, so the save below holds it.
    const HWND focus = GetFocus();
    for (TEdit* edit :
         {&zdsName, &zdsServer, &zdsUser, &zdsPassword, &zdsPort, &zdsFingerprint, &zdsClientId, &zdsClientSecret,
          &zdsAuthorizationUrl, &zdsTokenUrl, &zdsScope, &zdsFolder})
        if (focus == edit->Handle() && edit->OnExit)
            edit->OnExit();
    host_.SaveSettings();
    Hide();
}

void TihmOptions::PickFile(TEdit& edit, TOpenDialog& dialog)
{
    const std::string text = edit.Text();
    if (!text.empty()) {
        const size_t split = text.find_last_of("\\:");
        if (split != std::string::npos) {
            SetCurrentFolder(text.substr(0, split + 1));
            dialog.FileName = text.substr(split + 1);
        } else {
            dialog.FileName = text;
        }
    }
    if (!dialog.Execute())
        return;
    edit.SetText(FileExists(dialog.FileName) ? dialog.FileName : std::string());
}

void TihmOptions::PlayIfDevice(const std::string& fileName)
{
    if (HasWaveDevice())
        PlaySoundFile(fileName);
}

void TihmOptions::btnViewVideoFileEmailClick() { host_.PreviewVideo(VideoFileEmail(), NoBorderVideo()); }

TMailBox* TihmOptions::SelectedMailbox() const
{
    const int index = zdsMailboxList.ItemIndex();
    if (index < 0 || index >= draft_.Mailboxes.Count())
        return nullptr;
    return draft_.Mailboxes.ItemAs<TMailBox>(index);
}

void TihmOptions::MailboxesEdited()
{
    mailboxesEdited_ = true;
    Apply();
}

void TihmOptions::zdsMailboxListClick()
{
    TMailBox* mailbox = SelectedMailbox();
    if (!mailbox)
        return;
    // The copy shows the settings' mailbox as it is now.
    const TMailBox* configured = MailboxById(Mailboxes, mailbox->Id);
    if (!mailboxesEdited_ && configured)
        *mailbox = *configured;
    SetMailboxEdits(true, mailbox);
}

void TihmOptions::btnAddClick()
{
    static const char kNewMailbox[] = "New mailbox";  // the same in both languages
    auto mailbox = std::make_unique<TMailBox>();
    mailbox->MailboxName = kNewMailbox;
    // A new mailbox is encrypted unless the user says otherwise.
    mailbox->Security = MailboxSecurityImplicit;
    mailbox->Port = UsualMailboxPort(MailboxSecurityImplicit);
    const TMailBox* added = mailbox.get();
    draft_.Mailboxes.Add(std::move(mailbox));
    zdsMailboxList.SetItemIndex(zdsMailboxList.Add(kNewMailbox));
    SetMailboxEdits(true, added);
    MailboxesEdited();
}

void TihmOptions::btnDeleteClick()
{
    const int index = zdsMailboxList.ItemIndex();
    if (index < 0 || index >= draft_.Mailboxes.Count())
        return;
    draft_.Mailboxes.Delete(index);
    zdsMailboxList.Delete(index);
    zdsMailboxList.SetItemIndex(-1);
    SetMailboxEdits(draft_.Mailboxes.Count() > 0, nullptr);
    MailboxesEdited();
}

void TihmOptions::StoreMailboxField(TEdit& edit, std::string TMailBox::*field)
{
    TMailBox* mailbox = SelectedMailbox();
    if (!mailbox)
        return;
    mailbox->*field = edit.Text();
    if (field == &TMailBox::Port) {
        // What is not a port is shown as the port that will be used.
        mailbox->Port = DecodeMailboxPort(mailbox->Port);
        edit.SetText(mailbox->Port);
    }
    if (field == &TMailBox::Folder) {
        mailbox->Folder = DecodeMailboxFolder(mailbox->Folder);
        edit.SetText(mailbox->Folder);
    }
    if (field == &TMailBox::MailboxName) {
        const int index = zdsMailboxList.ItemIndex();
        zdsMailboxList.Delete(index);
        zdsMailboxList.Insert(index, mailbox->MailboxName);
        zdsMailboxList.SetItemIndex(index);
    }
    MailboxesEdited();
}

void TihmOptions::zdsSecurityChange()
{
    TMailBox* mailbox = SelectedMailbox();
    const int security = zdsSecurity.ItemIndex();
    if (!mailbox || security < 0)
        return;
    // The field as it stands: a port typed and not yet left counts as typed.
    mailbox->Port =
        DecodeMailboxPort(PortAfterSecurityChange(zdsPort.Text(), mailbox->Security, security, mailbox->Protocol));
    mailbox->Security = security;
    mailbox->UnknownSecurity.clear();
    zdsPort.SetText(mailbox->Port);
    MailboxesEdited();
}

void TihmOptions::zdsProtocolChange()
{
    TMailBox* mailbox = SelectedMailbox();
    const int protocol = zdsProtocol.ItemIndex();
    if (!mailbox || protocol < 0 || protocol == mailbox->Protocol)
        return;
    const int security = mailbox->Security == MailboxSecurityUnknown ? MailboxSecurityImplicit : mailbox->Security;
    mailbox->Port = DecodeMailboxPort(PortAfterProtocolChange(zdsPort.Text(), security, mailbox->Protocol, protocol));
    // A provider's POP3 server has its IMAP twin, and back.
    for (TOAuthProviderKind kind : {providerMicrosoft, providerGoogle, providerICloud})
        if (const TOAuthPreset* preset = OAuthPresetOf(kind)) {
            const char* from = protocol == MailboxProtocolImap ? preset->Server : preset->ImapServer;
            const char* to = protocol == MailboxProtocolImap ? preset->ImapServer : preset->Server;
            if (*from && *to && mailbox->Server == from) {
                mailbox->Server = to;
                break;
            }
        }
    mailbox->Protocol = protocol;
    zdsServer.SetText(mailbox->Server);
    zdsPort.SetText(mailbox->Port);
    zdsFolder.SetText(mailbox->Folder);
    MailboxesEdited();
}

std::vector<TControl*> TihmOptions::MailboxEditors()
{
    return {&zdsName,        &zdsServer, &zdsUser,     &zdsPassword,     &zdsSecurity, &zdsPort,
            &zdsFingerprint, &zdsSignIn, &zdsClientId, &zdsClientSecret, &btnSignIn,
            &zdsAuthorizationUrl, &zdsTokenUrl, &zdsScope, &zdsProtocol, &zdsFolder};
}

void TihmOptions::SetMailboxEdits(bool enabled, const TMailBox* mailbox)
{
    zdsName.SetText(mailbox ? mailbox->MailboxName : "");
    zdsServer.SetText(mailbox ? mailbox->Server : "");
    zdsUser.SetText(mailbox ? mailbox->User : "");
    zdsPassword.SetText(mailbox ? mailbox->Password : "");
    zdsSecurity.SetItemIndex(mailbox ? mailbox->Security : -1);
    zdsPort.SetText(mailbox ? mailbox->Port : "");
    zdsFingerprint.SetText(mailbox ? mailbox->Fingerprint : "");
    zdsProtocol.SetItemIndex(mailbox ? mailbox->Protocol : -1);
    zdsFolder.SetText(mailbox ? mailbox->Folder : "");
    zdsSignIn.SetItemIndex(mailbox ? SignInChoice(*mailbox) : -1);
    zdsClientId.SetText(mailbox ? mailbox->ClientId : "");
    ShowProvider(mailbox);
    std::string secret;  // stays empty unless it reads back
    if (mailbox)
        DpapiUnprotect(mailbox->ProtectedClientSecret, secret);
    zdsClientSecret.SetText(secret);
    for (TControl* editor : MailboxEditors())
        editor->SetEnabled(enabled);
    ShowSignInStatus(mailbox);
}
