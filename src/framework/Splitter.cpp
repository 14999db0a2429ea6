#include "Splitter.h"

#include <windowsx.h>

namespace {
const char kSplitterClass[] = "TSkarnValeSplitter";
}

TSplitter::TSplitter(TWindowBase& parent, const TBounds& bounds)
{
    RegisterClassOnce(kSplitterClass);
    CreateHandle(kSplitterClass, std::string(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, bounds.left, bounds.top,
                 bounds.width, bounds.height, parent.Handle());
}

void TSplitter::SetBounds(const TBounds& bounds)
{
    MoveWindow(Handle(), bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}

void TSplitter::Track(LPARAM position)
{
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    MapWindowPoints(Handle(), GetParent(Handle()), &point, 1);
    if (OnMoved)
        OnMoved(point.y - grabOffset_);
}

bool TSplitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENS)));
        result = TRUE;
        return true;
    case WM_LBUTTONDOWN:
        // The capture keeps the moves coming when the mouse leaves the thin bar.
        dragging_ = true;
        grabOffset_ = GET_Y_LPARAM(lParam);
        SetCapture(Handle());
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        if (dragging_)
            Track(lParam);
        result = 0;
        return true;
    case WM_LBUTTONUP:
        if (dragging_) {
            Track(lParam);
            dragging_ = false;
            ReleaseCapture();
        }
        result = 0;
        return true;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        result = 0;
        return true;
    }
    return TWindowBase::HandleMessage(message, wParam, lParam, result);
}
