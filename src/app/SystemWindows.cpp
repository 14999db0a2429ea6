#include "SystemWindows.h"

#include "../forms/ihmAbout.h"
#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "../model/unitProcessWindowFacts.h"
#include "../settings/ihmOptions.h"
#include "ihmMain.h"

#include <utility>

namespace {
template <class TFormClass, class... TArgs>
std::unique_ptr<TFormClass> CreateForm(TFormClass*& globalReference, TArgs&&... args)
{
    auto form = std::make_unique<TFormClass>(std::forward<TArgs>(args)...);
    globalReference = form.get();
    return form;
}

template <class TFormClass>
void DestroyForm(std::unique_ptr<TFormClass>& form, TFormClass*& globalReference)
{
    form.reset();
    globalReference = nullptr;
}
}  // namespace

TSystemWindows::TSystemWindows()
{
    appList_ = CreateForm(ihmAppList);
    main_ = CreateForm(ihmMain, settings_, mail_);
    options_ = CreateForm(ihmOptions, settings_, *main_);
    about_ = CreateForm(ihmAbout);
    mailbox_ = CreateForm(ihmMailbox);
    video_ = CreateForm(ihmVideo);
    // Each form asks through what it is given here, never up into another.
    TihmMain* main = main_.get();
    appList_->Connect(main->KillList, settings_, [main] { main->KillPopupsNow(); });
    TPopupRulesHost rules;
    rules.Rules = &main->PopupRules;
    rules.Log = &main->PopupActions;
    rules.OpenWindowsMatching = [](const TPopupRule& rule) { return OpenWindowsMatching(rule); };
    rules.FactsOf = [](HWND hwnd) { return WindowFactsOf(hwnd); };
    rules.SaveRules = [main] { main->SavePopupRules(); };
    appList_->ConnectRules(rules);
    TihmAppList* appList = appList_.get();
    main->OnPopupAction = [appList] { appList->PopupActionLogged(); };
    mailbox_->Connect(mail_, settings_, {[main] { main->mnpTbEmailProgramClick(); },
                                         [] { ihmOptions->ShowSpamLists(); }});
    video_->Connect(settings_);
}

TSystemWindows::~TSystemWindows()
{
    DestroyForm(options_, ihmOptions);
    DestroyForm(about_, ihmAbout);
    main_->OnPopupAction = nullptr;  // the windows list that showed the actions goes first
    DestroyForm(appList_, ihmAppList);
    DestroyForm(mailbox_, ihmMailbox);
    DestroyForm(video_, ihmVideo);
    DestroyForm(main_, ihmMain);  // writes the kill list back
}
