#include "ihmVideo.h"

TihmVideo* ihmVideo = nullptr;

namespace {
TFormOptions VideoFormOptions()
{
    TFormOptions options;
    options.caption = "";
    options.clientWidth = 160;
    options.clientHeight = 120;
    return options;
}
}  // namespace

TihmVideo::TihmVideo() : TForm(VideoFormOptions()) {}
