#include "CanvasText.h"

#include "WideText.h"

int DrawCanvasText(HDC canvas, const std::string& text, RECT& box, UINT format)
{
    const std::wstring wide = Widen(text);
    return DrawTextW(canvas, wide.c_str(), static_cast<int>(wide.size()), &box, format);
}

SIZE CanvasTextExtent(HDC canvas, const std::string& text)
{
    const std::wstring wide = Widen(text);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(canvas, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

void ExtCanvasTextOut(HDC canvas, int x, int y, const RECT& clip, const std::string& text)
{
    const std::wstring wide = Widen(text);
    ExtTextOutW(canvas, x, y, ETO_CLIPPED, &clip, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
}
