#include "Container.h"

#include "Controls.h"
#include "Dpi.h"
#include "Form.h"

UINT TContainer::Dpi() const
{
    const TForm* form = TForm::FromChild(Handle());
    return form && form != this ? form->Dpi() : WindowDpi(Handle());
}

int TContainer::Scale(int value) const { return ScaleToDpi(value, Dpi()); }

int TContainer::Unscale(int pixels) const
{
    return MulDiv(pixels, static_cast<int>(kDesignDpi), static_cast<int>(Dpi()));
}

TControl* TContainer::ControlOf(HWND child) const
{
    auto it = controls_.find(GetDlgCtrlID(child));
    return it != controls_.end() && it->second->Handle() == child ? it->second : nullptr;
}

bool TContainer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_COMMAND && lParam) {
        auto it = controls_.find(LOWORD(wParam));
        if (it != controls_.end() && it->second->HandleCommand(HIWORD(wParam))) {
            result = 0;
            return true;
        }
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        auto it = controls_.find(static_cast<int>(header->idFrom));
        if (it != controls_.end() && it->second->HandleNotify(*header)) {
            result = 0;
            return true;
        }
    }
    if (message == WM_DRAWITEM && wParam) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        auto it = controls_.find(static_cast<int>(draw->CtlID));
        if (it != controls_.end() && it->second->HandleDrawItem(*draw)) {
            result = TRUE;
            return true;
        }
    }
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        // Controls on a form or a page share its button-face background.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    return TWindowBase::HandleMessage(message, wParam, lParam, result);
}
