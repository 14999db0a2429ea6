#include "IconImage.h"
#include "WideText.h"

TIconImage::TIconImage(TContainer& parent, const TBounds& bounds, const char* resourceName)
    : TControl(parent, "STATIC", SS_ICON | SS_REALSIZECONTROL, 0, bounds),
      icon_(static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), Widen(resourceName).c_str(), IMAGE_ICON, bounds.width, bounds.height, 0)))
{
    SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_.Handle()), 0);
    // The static may have resized itself to the icon; keep the placed size.
    SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
