#include "GridButtonsLayout.h"

#include <algorithm>

#include "Controls.h"

void PlaceGridAboveButtons(HWND form, TControl& grid, std::initializer_list<TControl*> buttons,
                           const TGridButtonsMetrics& metrics)
{
    RECT client = {};
    GetClientRect(form, &client);
    const int inset = metrics.inset;
    const int width = std::max(0, static_cast<int>(client.right) - 2 * inset);
    const int buttonTop = std::max(inset, static_cast<int>(client.bottom) - inset - metrics.buttonHeight);
    MoveWindow(grid.Handle(), inset, inset, width, std::max(0, buttonTop - 2 * inset), TRUE);
    int left = inset;
    for (TControl* button : buttons) {
        MoveWindow(button->Handle(), left, buttonTop, metrics.buttonWidth, metrics.buttonHeight, TRUE);
        left += metrics.buttonWidth + inset;
    }
}

void SetMinimumTrackSize(LPARAM minMaxInfo, int width, int height)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(minMaxInfo);
    info->ptMinTrackSize.x = width;
    info->ptMinTrackSize.y = height;
}
