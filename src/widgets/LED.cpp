#include "LED.h"

TLED::TLED(TContainer& parent, int left, int top, COLORREF color)
    : TControl(parent, "STATIC", SS_NOTIFY | SS_CENTER, WS_EX_CLIENTEDGE, {left, top, 26, 13}), color_(color)
{
    Show();
}

void TLED::SetLit(bool value)
{
    lit_ = value;
    Show();
}

void TLED::SetEnabledState(bool value)
{
    SetEnabled(value);
    Show();
}

void TLED::Show() { SetText(!Enabled() ? "" : lit_ ? "ON" : "off"); }

bool TLED::HandleCommand(WORD code)
{
    if (code != STN_DBLCLK || !OnDblClick)
        return false;
    OnDblClick();
    return true;
}
