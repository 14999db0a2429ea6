#include "LCD_Lab.h"

#include "../framework/Dialogs.h"

TLCDLabel::TLCDLabel(TContainer& parent, const TBounds& bounds) : TGraphicControl(parent, "TLCDLabel", bounds)
{
    shadowColor_ = LCDShadowColor(settings_.PixelOn);
    // The counts set the size first; bounds of another size choose the
    // counts that fit them. Bounds are 96-DPI pixels, so they choose there:
    // the rounded dots of another DPI might fit one cell fewer.
    TLCDSettings counts = settings_;
    const TLCDGeometry geometry = LCDGeometry(counts, Font());
    lastPainted_ = LCDSizeFromCounts(counts, geometry);
    if (bounds.width <= 0 || bounds.height <= 0)
        SetBounds({bounds.left, bounds.top, lastPainted_.Width, lastPainted_.Height});
    else
        LCDLayout(settings_, geometry, TLCDSize{bounds.width, bounds.height}, TLCDSize{});
    // As laid out at 96 DPI: the first layout at another keeps the counts.
    lastDpi_ = 96;
    PaintNow();
}

std::string TLCDLabel::Caption() const { return Text().substr(0, 255); }

void TLCDLabel::SetCaption(const std::string& caption)
{
    if (caption == Text())
        return;
    SetText(caption);
    caption_ = LCDCaptionBuffer(caption);
    PaintNow();
}

template <class T>
void TLCDLabel::Assign(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    PaintNow();
}

void TLCDLabel::AssignSpacing(int& field, int value, const char* message)
{
    if (value < 0) {
        MessageDlg(message, TMsgDlgType::Error);
        return;
    }
    Assign(field, value);
}

void TLCDLabel::SetPixelSize(TPixelSize value) { Assign(settings_.PixelSize, value); }

void TLCDLabel::SetPixelShape(TPixelShape value) { Assign(settings_.PixelShape, value); }

void TLCDLabel::SetPixelWidth(int value)
{
    if (settings_.PixelSize != pixCustom)
        return;
    if (value < 1) {
        MessageDlg("Display pixel width must be 1 or greater!", TMsgDlgType::Error);
        return;
    }
    Assign(settings_.PixelWidth, value);
}

void TLCDLabel::SetPixelHeight(int value)
{
    if (settings_.PixelSize != pixCustom)
        return;
    if (value < 1) {
        MessageDlg("Display pixel height must be 1 or greate!", TMsgDlgType::Error);
        return;
    }
    Assign(settings_.PixelHeight, value);
}

void TLCDLabel::SetPixelSpacing(int value)
{
    AssignSpacing(settings_.PixelSpacing, value, "Pixel spacing can't be less than zero!");
}

void TLCDLabel::SetCharSpacing(int value)
{
    AssignSpacing(settings_.CharSpacing, value, "Character spacing can't be less than zero!");
}

void TLCDLabel::SetLineSpacing(int value)
{
    AssignSpacing(settings_.LineSpacing, value, "Line spacing can't be less than zero!");
}

void TLCDLabel::SetBorderSpace(int value)
{
    AssignSpacing(settings_.BorderSpace, value, "Border spacing can't be less than zero!");
}

void TLCDLabel::SetTextLines(int value)
{
    if (value < 1) {
        MessageDlg("Display needs at least on line!", TMsgDlgType::Error);
        return;
    }
    Assign(settings_.TextLines, value);
}

void TLCDLabel::SetNoOfChars(int value)
{
    if (value < 1) {
        MessageDlg("Display needs at least one character!", TMsgDlgType::Error);
        return;
    }
    Assign(settings_.NoOfChars, value);
}

void TLCDLabel::SetBackGround(COLORREF value) { Assign<std::uint32_t>(settings_.BackGround, value); }

void TLCDLabel::SetBorderStyle(TMyBorder value) { Assign(settings_.BorderStyle, value); }

void TLCDLabel::SetBorderColor(COLORREF value) { Assign<std::uint32_t>(settings_.BorderColor, value); }

void TLCDLabel::SetPixelOn(COLORREF value)
{
    if (settings_.PixelOn == value)
        return;
    settings_.PixelOn = value;
    shadowColor_ = LCDShadowColor(value);
    PaintNow();
}

void TLCDLabel::SetPixelOff(COLORREF value) { Assign<std::uint32_t>(settings_.PixelOff, value); }
