#include "LCD_Lab.h"

TLCDLabel::TLCDLabel(TContainer& parent, const TBounds& bounds)
    : TControl(parent, "STATIC", SS_CENTER | SS_CENTERIMAGE, WS_EX_CLIENTEDGE, bounds)
{
}
