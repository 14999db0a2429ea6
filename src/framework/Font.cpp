#include "Font.h"

#include "WideText.h"

TScopedFont CreateUiFont(const char* faceName, int height, int weight)
{
    // The default character set lets the system link in the glyphs the face
    // lacks (Cyrillic, CJK...), where a fixed ANSI set would draw boxes.
    return TScopedFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                   Widen(faceName).c_str()));
}
