#include "ihmAbout.h"

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
}  // namespace

TihmAbout::TihmAbout() : TForm(AboutFormOptions()) {}
