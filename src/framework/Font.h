// GDI font owned by RAII, so no caller deletes a font by hand.
#pragma once

#include <windows.h>

#include <memory>

struct TFontDeleter {
    void operator()(HFONT font) const
    {
        if (font)
            DeleteObject(font);
    }
};
using TScopedFont = std::unique_ptr<std::remove_pointer<HFONT>::type, TFontDeleter>;

// A font by face name and height in pixels (negative: character height).
TScopedFont CreateUiFont(const char* faceName, int height, int weight = FW_NORMAL);
