#include "SystemWindows.h"

#include "../forms/ihmAbout.h"
#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "../settings/ihmOptions.h"
#include "ihmMain.h"

namespace {
template <class TFormClass>
std::unique_ptr<TFormClass> CreateForm(TFormClass*& globalReference)
{
    auto form = std::make_unique<TFormClass>();
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
    main_ = CreateForm(ihmMain);
    options_ = CreateForm(ihmOptions);
    about_ = CreateForm(ihmAbout);
    mailbox_ = CreateForm(ihmMailbox);
    video_ = CreateForm(ihmVideo);
}

TSystemWindows::~TSystemWindows()
{
    DestroyForm(options_, ihmOptions);
    DestroyForm(about_, ihmAbout);
    DestroyForm(appList_, ihmAppList);
    DestroyForm(mailbox_, ihmMailbox);
    DestroyForm(video_, ihmVideo);
    DestroyForm(main_, ihmMain);  // writes the kill list back
}
