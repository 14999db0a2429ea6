#include "ihmAbout.h"

#include "../app/unitGlobal.h"
#include "../app/unitLanguage.h"
#include "../framework/Dpi.h"

TihmAbout* ihmAbout = nullptr;

namespace {
const char kAuthorName[] = "The SkarnVale team";
const char kHomePage[] = "https://skarnvale.example.org";
const char kAuthorMail[] = "author@example.org";

TFormOptions AboutFormOptions()
{
    TFormOptions options;
    options.caption = "About";
    options.clientWidth = 273;
    options.clientHeight = 162;
    options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    options.exStyle = WS_EX_TOOLWINDOW;
    options.fontName = "Arial";
    options.fontHeight = -11;  // 8 points
    return options;
}

// Gives an auto-sized label its own font and sizes it again to its text.
void SetLabelFont(TLabel& label, HFONT font)
{
    SendMessageW(label.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    label.SetCaption(label.Text());
}

void ApplyAboutTexts(TihmAbout& form, TLanguage language)
{
    WriteRows(AboutTexts(),
              {{"Caption", [&form](const std::string& text) { form.SetCaption(text); }},
               {"zdsAppDescription", [&form](const std::string& text) { form.zdsAppDescription.SetCaption(text); }},
               {"lblVersion", [&form](const std::string& text) { form.lblVersion.SetCaption(text); }},
               {"lblAuteur", [&form](const std::string& text) { form.lblAuteur.SetCaption(text); }},
               {"urlWebSite", [&form](const std::string& text) { form.urlWebSite.SetCaption(text); }},
               {"urlMail", [&form](const std::string& text) { form.urlMail.SetCaption(text); }}},
              language);
    // The version has no row of its own: the tables set VersionText first.
    form.zdsVersion.SetCaption(VersionText);
}
}  // namespace

TihmAbout::TihmAbout()
    : TForm(AboutFormOptions()),
      fontAppName_(CreateUiFont("Arial Black", ScaleToDpi(-19, SystemDpi()))),
      fontBold_(CreateUiFont("Arial", ScaleToDpi(-11, SystemDpi()), FW_BOLD)),
      pnlConteneur(*this, {4, 4, 265, 154}),
      imgIcon(*this, {16, 16, 32, 32}, "MAINICON"),
      lblAppName(*this, {56, 14, 0, 0}, "SkarnVale"),
      zdsAppDescription(*this, {56, 38, 0, 0}),
      lblVersion(*this, {16, 63, 0, 0}),
      zdsVersion(*this, {80, 63, 0, 0}),
      lblAuteur(*this, {16, 79, 0, 0}),
      zdsAuteur(*this, {80, 79, 0, 0}, kAuthorName),
      urlWebSite(*this, 16, 116),
      urlMail(*this, 14, 132),
      lblDate(*this, {16, 95, 0, 0}, "Date :"),
      Label2(*this, {80, 95, 0, 0}, "16/09/2002")
{
    SetLabelFont(lblAppName, fontAppName_.get());
    SetLabelFont(lblVersion, fontBold_.get());
    SetLabelFont(lblAuteur, fontBold_.get());
    SetLabelFont(lblDate, fontBold_.get());

    // The home page carries its whole address, scheme included.
    urlWebSite.SetFontName("Verdana");
    urlWebSite.URLType = utCustom;
    urlWebSite.SetURL(kHomePage);
    urlMail.SetFontName("Verdana");
    urlMail.URLType = utMail;
    urlMail.SetURL(kAuthorMail);

    ApplyAboutTexts(*this, TLanguage::English);
    // Through the global reference: it is cleared when the system's box goes.
    SetTextApplier(TTextWindow::AboutBox, [](TLanguage language) {
        if (ihmAbout)
            ApplyAboutTexts(*ihmAbout, language);
    });
    OnKeyDown = [this](WPARAM key) { return FormKeyDown(key); };
}

TihmAbout::~TihmAbout() = default;

bool TihmAbout::FormKeyDown(WPARAM key)
{
    if (key != VK_ESCAPE)
        return false;
    Hide();
    return true;
}
