// Text on a device context: the program's UTF-8 drawn and measured through
// the UTF-16 GDI calls.
#pragma once

#include <windows.h>

#include <string>

// DrawTextW of `text`; answers the height drawn, as DrawText does.
int DrawCanvasText(HDC canvas, const std::string& text, RECT& box, UINT format);
// The extent of `text` in the selected font.
SIZE CanvasTextExtent(HDC canvas, const std::string& text);
// ExtTextOutW of `text` at (x, y), clipped to `clip`.
void ExtCanvasTextOut(HDC canvas, int x, int y, const RECT& clip, const std::string& text);
