#include "IconImage.h"
#include "WideText.h"

#include "Container.h"

TIconImage::TIconImage(TContainer& parent, const TBounds& bounds, const char* resourceName)
    : TControl(parent, "STATIC", SS_ICON | SS_REALSIZECONTROL, 0, bounds),
      icon_(static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), Widen(resourceName).c_str(), IMAGE_ICON, parent.Scale(bounds.width),
                     parent.Scale(bounds.height), 0)))
{
    SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_.Handle()), 0);
    // The static may have resized itself to the icon; keep the placed size.
    SetWindowPos(Handle(), nullptr, parent.Scale(bounds.left), parent.Scale(bounds.top), parent.Scale(bounds.width),
                 parent.Scale(bounds.height), SWP_NOZORDER | SWP_NOACTIVATE);
}
