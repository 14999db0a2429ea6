// The layout of a list window: one grid filling the client area above a row
// of equal buttons along its bottom edge, and the smallest size that keeps
// the row whole. Sizes are in pixels already scaled to the window's DPI.
#pragma once

#include <windows.h>

#include <initializer_list>

class TControl;

struct TGridButtonsMetrics {
    int inset = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
};

void PlaceGridAboveButtons(HWND form, TControl& grid, std::initializer_list<TControl*> buttons,
                           const TGridButtonsMetrics& metrics);
// Answers WM_GETMINMAXINFO with this smallest tracking size.
void SetMinimumTrackSize(LPARAM minMaxInfo, int width, int height);
