#include "IconImage.h"

#include "Container.h"

#include <utility>

TIconImage::TIconImage(TContainer& parent, const TBounds& bounds, const char* resourceName)
    : TControl(parent, "STATIC", SS_ICON | SS_REALSIZECONTROL, 0, bounds), resourceName_(resourceName)
{
    ShowIcon(parent.Scale(bounds.left), parent.Scale(bounds.top), parent.Scale(bounds.width),
             parent.Scale(bounds.height));
}

void TIconImage::DpiChanged()
{
    RECT place = {};
    GetWindowRect(Handle(), &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(Handle()), reinterpret_cast<POINT*>(&place), 2);
    ShowIcon(place.left, place.top, place.right - place.left, place.bottom - place.top);
}

void TIconImage::ShowIcon(int left, int top, int width, int height)
{
    TIcon previous = std::move(icon_);
    icon_ = TIcon::Load(resourceName_, width);
    SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_.Handle()), 0);
    // The static may have resized itself to the icon; keep the placed size.
    SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
