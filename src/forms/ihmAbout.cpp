#include "ihmAbout.h"

#include "../app/unitLanguage.h"

TihmAbout* ihmAbout = nullptr;

namespace {
TFormOptions AboutFormOptions()
{
    TFormOptions options;
    options.caption = "About SkarnVale";
    options.clientWidth = 300;
    options.clientHeight = 200;
    return options;
}

// Rows without a control here yet are skipped until the box has them.
void ApplyAboutTexts(TihmAbout& form, TLanguage language)
{
    WriteRows(AboutTexts(), {{"Caption", [&form](const std::string& text) { form.SetCaption(text); }}}, language);
}
}  // namespace

TihmAbout::TihmAbout() : TForm(AboutFormOptions())
{
    ApplyAboutTexts(*this, TLanguage::English);
    // Through the global reference: it is cleared when the system's box goes.
    SetTextApplier(TTextWindow::AboutBox, [](TLanguage language) {
        if (ihmAbout)
            ApplyAboutTexts(*ihmAbout, language);
    });
}
