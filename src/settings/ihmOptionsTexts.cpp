#include "ihmOptionsTexts.h"

#include <map>
#include <tuple>

#include "ihmOptions.h"

namespace {
// The double-click actions, one combo item each, in the tray controller's order.
const int kDoubleClickActions = 8;
// The mailbox's security modes: none, STLS, TLS.
const int kSecurityModes = 3;
// The sign-in choices: password, Microsoft, Google, other OAuth 2.0, iCloud.
const int kSignInChoices = 5;
// The protocols: POP3, IMAP.
const int kProtocols = 2;

std::string ItemKey(const std::string& control, int index)
{
    return control + ".Items[" + std::to_string(index) + "]";
}
}  // namespace

std::vector<std::string> ApplyOptionsTexts(TihmOptions& form, TLanguage language)
{
    TTextSetters setters;
    setters["Caption"] = [&form](const std::string& text) { form.SetCaption(text); };
    for (auto sheet : {std::make_pair("tsGeneral", &form.tsGeneral), std::make_pair("tsMailbox", &form.tsMailbox),
                       std::make_pair("tsSpamList", &form.tsSpamList)})
        setters[sheet.first] = [page = sheet.second](const std::string& text) { page->SetCaption(text); };
    for (auto dialog : {std::make_pair("OpenDialog", &form.OpenDialog),
                        std::make_pair("OpenDialogVideo", &form.OpenDialogVideo),
                        std::make_pair("OpenDialogExe", &form.OpenDialogExe)}) {
        TOpenDialog* target = dialog.second;
        setters[std::string(dialog.first) + ".Filter"] = [target](const std::string& text) { target->Filter = text; };
        setters[std::string(dialog.first) + ".Title"] = [target](const std::string& text) { target->Title = text; };
    }
    for (auto label : {std::make_pair("lblDblClick", &form.lblDblClick),
                       std::make_pair("lblEmailProgram", &form.lblEmailProgram),
                       std::make_pair("lblInterval", &form.lblInterval), std::make_pair("lblUnit", &form.lblUnit),
                       std::make_pair("lblSoundOnKill", &form.lblSoundOnKill),
                       std::make_pair("lblSoundFile", &form.lblSoundFile),
                       std::make_pair("lblCounter", &form.lblCounter),
                       std::make_pair("lblLedEmail", &form.lblLedEmail),
                       std::make_pair("lblIntervalEmail", &form.lblIntervalEmail),
                       std::make_pair("lblUnitEmail", &form.lblUnitEmail),
                       std::make_pair("lblSoundFileEmail", &form.lblSoundFileEmail),
                       std::make_pair("lblVideoFileEmail", &form.lblVideoFileEmail),
                       std::make_pair("lblNoBorderVideo", &form.lblNoBorderVideo),
                       std::make_pair("lblEmailLines", &form.lblEmailLines),
                       std::make_pair("lblSoundOnKillSpam", &form.lblSoundOnKillSpam),
                       std::make_pair("lblSoundFileSpam", &form.lblSoundFileSpam),
                       std::make_pair("lblCounterSpam", &form.lblCounterSpam),
                       std::make_pair("lblSpamKeepDays", &form.lblSpamKeepDays),
                       std::make_pair("lblName", &form.lblName), std::make_pair("lblServer", &form.lblServer),
                       std::make_pair("lblUser", &form.lblUser), std::make_pair("lblPassword", &form.lblPassword),
                       std::make_pair("lblSecurity", &form.lblSecurity), std::make_pair("lblPort", &form.lblPort),
                       std::make_pair("lblFingerprint", &form.lblFingerprint),
                       std::make_pair("lblSignIn", &form.lblSignIn), std::make_pair("lblClientId", &form.lblClientId),
                       std::make_pair("lblClientSecret", &form.lblClientSecret),
                       std::make_pair("lblAuthorizationUrl", &form.lblAuthorizationUrl),
                       std::make_pair("lblTokenUrl", &form.lblTokenUrl), std::make_pair("lblScope", &form.lblScope),
                       std::make_pair("lblProtocol", &form.lblProtocol), std::make_pair("lblFolder", &form.lblFolder),
                       std::make_pair("lblEmail", &form.lblEmail), std::make_pair("lblSubject", &form.lblSubject),
                       std::make_pair("lblAllowed", &form.lblAllowed)})
        setters[label.first] = [target = label.second](const std::string& text) { target->SetCaption(text); };
    for (auto control : {std::make_pair("zdsStayOnTop", static_cast<TControl*>(&form.zdsStayOnTop)),
                         std::make_pair("zdsShowIpAddr", static_cast<TControl*>(&form.zdsShowIpAddr)),
                         std::make_pair("zdsStartWithWindows", static_cast<TControl*>(&form.zdsStartWithWindows)),
                         std::make_pair("zdsBalloonNotification", static_cast<TControl*>(&form.zdsBalloonNotification)),
                         std::make_pair("btnAdd", static_cast<TControl*>(&form.btnAdd)),
                         std::make_pair("btnDelete", static_cast<TControl*>(&form.btnDelete)),
                         std::make_pair("btnSignIn", static_cast<TControl*>(&form.btnSignIn)),
                         std::make_pair("grpLanguage", static_cast<TControl*>(&form.grpLanguage)),
                         std::make_pair("grpIcon", static_cast<TControl*>(&form.grpIcon))})
        setters[control.first] = [target = control.second](const std::string& text) { target->SetText(text); };
    for (auto group : {std::make_pair("grpLanguage", &form.grpLanguage), std::make_pair("grpIcon", &form.grpIcon)}) {
        for (int i = 0; i < 2; ++i)
            setters[ItemKey(group.first, i)] = [target = group.second, i](const std::string& text) {
                target->SetItemCaption(i, text);
            };
    }
    // A combo's items are replaced all at once; SetItems selects the same
    // index again, so the chosen action or mode survives a language switch.
    std::map<TComboBox*, std::vector<std::string>> comboItems;
    for (auto combo : {std::make_tuple("zdsConfigDblClick", &form.zdsConfigDblClick, kDoubleClickActions),
                       std::make_tuple("zdsSecurity", &form.zdsSecurity, kSecurityModes),
                       std::make_tuple("zdsSignIn", &form.zdsSignIn, kSignInChoices),
                       std::make_tuple("zdsProtocol", &form.zdsProtocol, kProtocols)})
        for (int i = 0; i < std::get<2>(combo); ++i)
            setters[ItemKey(std::get<0>(combo), i)] = [&comboItems, target = std::get<1>(combo), i](
                                                          const std::string& text) {
                std::vector<std::string>& items = comboItems[target];
                if (static_cast<int>(items.size()) <= i)
                    items.resize(static_cast<size_t>(i) + 1);
                items[static_cast<size_t>(i)] = text;
            };

    std::vector<std::string> unbound = WriteRows(OptionsTexts(), setters, language);
    for (auto& combo : comboItems)
        combo.first->SetItems(combo.second);
    // The status is a message text: shown again in the new language.
    form.ShowSignInStatus(form.SelectedMailbox(), &language);
    return unbound;
}
