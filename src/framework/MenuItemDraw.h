// The framework's own look of an owner-drawn menu item: a column for the
// image or check mark, the caption (bold for the default item) and its
// shortcut, greyed when disabled, on the highlight colour when selected.
#pragma once

#include <windows.h>

#include "Font.h"

class TMenuItem;
class TImageList;

// The font the platform uses for menus, bold or not.
TScopedFont CreateMenuFont(bool bold);

// Width and height the item needs, without the platform's own additions.
void MeasureMenuItem(const TMenuItem& item, HDC canvas, int& width, int& height);
// Draws the item into `rect`; `state` holds the platform's ODS_ flags.
void DrawMenuItem(const TMenuItem& item, const TImageList* images, HDC canvas, const RECT& rect, UINT state);
