#include "ihmMailbox.h"

#include "../app/unitLanguage.h"

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

// Once a status refresh has built the caption (the mailboxes text, " - " and
// the check status), a switch leaves it: the next refresh rebuilds it in the
// new language. Only the bare caption of either language is rewritten.
bool CaptionIsBare(const std::string& caption)
{
    return caption.empty() || caption == TextOf(MailboxTexts(), "Caption", TLanguage::English) ||
           caption == TextOf(MailboxTexts(), "Caption", TLanguage::French);
}

// Rows without a control here yet are skipped until the window has them.
void ApplyMailboxTexts(TihmMailbox& form, TLanguage language)
{
    WriteRows(MailboxTexts(),
              {{"Caption",
                [&form](const std::string& text) {
                    if (CaptionIsBare(form.Caption()))
                        form.SetCaption(text);
                }}},
              language);
}
}  // namespace

TihmMailbox::TihmMailbox() : TForm(MailboxFormOptions())
{
    ApplyMailboxTexts(*this, TLanguage::English);
    // Through the global reference: it is cleared when the system's window goes.
    SetTextApplier(TTextWindow::Mailboxes, [](TLanguage language) {
        if (ihmMailbox)
            ApplyMailboxTexts(*ihmMailbox, language);
    });
}
