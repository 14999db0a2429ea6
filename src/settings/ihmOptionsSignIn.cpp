// The mailbox editor's sign-in: the choice of password or an OAuth 2.0
// provider, whose preset fills in the mailbox, the client's id and secret,
// and the browser sign-in with its status.
#include "../app/unitGlobal.h"
#include "../app/unitLanguage.h"
#include "../framework/Dpapi.h"
#include "../model/unitProcessEmail.h"
#include "../oauth/OAuthProviders.h"
#include "SettingsValues.h"
#include "ihmOptions.h"

namespace {
// The combo's items after "Password", in order.
const TOAuthProviderKind ChoiceKinds[] = {providerPassword, providerMicrosoft, providerGoogle, providerOther,
                                          providerICloud};
const int kICloudChoice = 4;

std::string TextIn(const std::string& message, const TLanguage* language)
{
    if (language)
        for (const TMessageRow& row : MessageTexts())
            if (row.text == &message)
                return row.In(*language);
    return message;
}
}  // namespace

int TihmOptions::SignInChoice(const TMailBox& mailbox)
{
    if (mailbox.Auth != MailboxAuthOAuth) {
        // iCloud's app password is a password: its server tells it apart.
        const TOAuthPreset* icloud = OAuthPresetOf(providerICloud);
        return mailbox.Protocol == MailboxProtocolImap && mailbox.Server == icloud->ImapServer ? kICloudChoice : 0;
    }
    const TOAuthProviderKind kind = OAuthKindOf(mailbox.AuthorizationUrl.c_str(), mailbox.TokenUrl.c_str());
    for (int i = 1; i < kICloudChoice; ++i)
        if (ChoiceKinds[i] == kind)
            return i;
    return 3;
}

void TihmOptions::zdsSignInChange()
{
    TMailBox* mailbox = SelectedMailbox();
    const int choice = zdsSignIn.ItemIndex();
    if (!mailbox || choice < 0 || choice > kICloudChoice || choice == SignInChoice(*mailbox))
        return;
    const bool oauth = choice != 0 && choice != kICloudChoice;
    mailbox->Auth = oauth ? MailboxAuthOAuth : MailboxAuthPassword;
    if (const TOAuthPreset* preset = OAuthPresetOf(ChoiceKinds[choice])) {
        if (oauth) {
            mailbox->AuthorizationUrl = preset->AuthorizationUrl;
            mailbox->TokenUrl = preset->TokenUrl;
            mailbox->Scope = preset->Scope;
        }
        // iCloud serves no POP3: its preset brings IMAP.
        if (!*preset->Server)
            mailbox->Protocol = MailboxProtocolImap;
        const bool imap = mailbox->Protocol == MailboxProtocolImap;
        mailbox->Server = imap ? preset->ImapServer : preset->Server;
        mailbox->Port = imap ? preset->ImapPort : preset->Port;
        mailbox->Security = MailboxSecurityImplicit;
        mailbox->UnknownSecurity.clear();
        zdsServer.SetText(mailbox->Server);
        zdsPort.SetText(mailbox->Port);
        zdsSecurity.SetItemIndex(mailbox->Security);
        zdsProtocol.SetItemIndex(mailbox->Protocol);
        ShowProvider(mailbox);
    }
    // Another provider's tokens are no good here: signed in again from scratch.
    if (oauth) {
        mailbox->ProtectedRefreshToken.clear();
        host_.ForgetMailboxSession(mailbox->Id);
    }
    MailboxesEdited();
    ShowSignInStatus(mailbox);
}

void TihmOptions::ShowProvider(const TMailBox* mailbox)
{
    zdsAuthorizationUrl.SetText(mailbox ? mailbox->AuthorizationUrl : "");
    zdsTokenUrl.SetText(mailbox ? mailbox->TokenUrl : "");
    zdsScope.SetText(mailbox ? mailbox->Scope : "");
}

void TihmOptions::StoreProviderField(TEdit& edit, std::string TMailBox::*field)
{
    TMailBox* mailbox = SelectedMailbox();
    if (!mailbox || mailbox->*field == edit.Text())
        return;
    mailbox->*field = edit.Text();
    if (mailbox->Auth == MailboxAuthOAuth)
        zdsSignIn.SetItemIndex(SignInChoice(*mailbox));
    MailboxesEdited();
}

void TihmOptions::zdsClientSecretExit()
{
    TMailBox* mailbox = SelectedMailbox();
    if (!mailbox)
        return;
    const std::string secret = zdsClientSecret.Text();
    mailbox->ProtectedClientSecret = secret.empty() ? std::string() : DpapiProtect(secret);
    MailboxesEdited();
}

void TihmOptions::btnSignInClick()
{
    TMailBox* mailbox = SelectedMailbox();
    // The sign-in waits for the browser with the dialog usable: one at a time.
    if (!mailbox || signingIn_ || mailbox->Auth != MailboxAuthOAuth)
        return;
    StoreMailboxField(zdsClientId, &TMailBox::ClientId);
    StoreProviderField(zdsAuthorizationUrl, &TMailBox::AuthorizationUrl);
    StoreProviderField(zdsTokenUrl, &TMailBox::TokenUrl);
    StoreProviderField(zdsScope, &TMailBox::Scope);
    zdsClientSecretExit();
    // Signed in on a copy: the dialog stays usable while the browser is out,
    // and the copy of the settings may be dropped meanwhile (Discard).
    TMailBox working = *mailbox;
    signingIn_ = true;
    std::string error;
    const bool ok = host_.SignInMailbox(working, error);
    signingIn_ = false;
    bool stillEdited = false;
    for (int i = 0; i < draft_.Mailboxes.Count(); ++i)
        stillEdited = stillEdited || draft_.Mailboxes.ItemAs<TMailBox>(i) == mailbox;
    if (ok && stillEdited) {
        mailbox->ProtectedRefreshToken = working.ProtectedRefreshToken;
        MailboxesEdited();
    } else if (ok) {
        // The copy was dropped meanwhile: the mailbox keeps its refresh
        // token, and an access token of another sign-in is no good with it.
        host_.ForgetMailboxSession(working.Id);
    }
    // The dialog may show another mailbox by now.
    ShowSignInStatus(SelectedMailbox());
    if (!ok && stillEdited && mailbox == SelectedMailbox())
        lblSignInStatus.SetCaption(MsgNotSignedIn + ": " + error);
}

void TihmOptions::ShowSignInStatus(const TMailBox* mailbox, const TLanguage* language)
{
    if (!mailbox || mailbox->Auth != MailboxAuthOAuth) {
        lblSignInStatus.SetCaption("");
        return;
    }
    const TOAuthStatus status = host_.MailboxSignInStatus(*mailbox);
    lblSignInStatus.SetCaption(TextIn(status == oauthSignedIn  ? MsgSignedIn
                                      : status == oauthExpired ? MsgSignInExpired
                                                               : MsgNotSignedIn,
                                      language));
}
