#include "ihmMailbox.h"

TihmMailbox* ihmMailbox = nullptr;

namespace {
TFormOptions MailboxFormOptions()
{
    TFormOptions options;
    options.caption = "Mailboxes";
    options.clientWidth = 600;
    options.clientHeight = 400;
    return options;
}
}  // namespace

TihmMailbox::TihmMailbox() : TForm(MailboxFormOptions()) {}
