// The dot-matrix liquid-crystal display the options dialog shows its
// counters on. The caption is drawn cell by cell in a character matrix; the
// control sizes itself to its cells, or picks the cells that fit its size.
#pragma once

#include "../framework/GraphicControl.h"
#include "LCD_LabFont.h"
#include "LCD_LabLayout.h"
#include "LCD_LabRender.h"

#include <string>

class TLCDLabel : public TGraphicControl {
public:
    TLCDLabel(TContainer& parent, const TBounds& bounds);

    // The control's text, at most 255 characters.
    std::string Caption() const;
    void SetCaption(const std::string& caption);

    TDotMatrix DotMatrix() const { return settings_.DotMatrix; }
    // CustomFont loads `filename`; when that fails the matrix stays as it was.
    void SetDotMatrix(TDotMatrix value);
    const std::string& filename() const { return filename_; }
    void SetFilename(const std::string& value);

    TPixelSize PixelSize() const { return settings_.PixelSize; }
    void SetPixelSize(TPixelSize value);
    TPixelShape PixelShape() const { return settings_.PixelShape; }
    void SetPixelShape(TPixelShape value);
    int PixelWidth() const { return settings_.PixelWidth; }
    void SetPixelWidth(int value);
    int PixelHeight() const { return settings_.PixelHeight; }
    void SetPixelHeight(int value);
    int PixelSpacing() const { return settings_.PixelSpacing; }
    void SetPixelSpacing(int value);
    int CharSpacing() const { return settings_.CharSpacing; }
    void SetCharSpacing(int value);
    int LineSpacing() const { return settings_.LineSpacing; }
    void SetLineSpacing(int value);
    int BorderSpace() const { return settings_.BorderSpace; }
    void SetBorderSpace(int value);
    int TextLines() const { return settings_.TextLines; }
    void SetTextLines(int value);
    int NoOfChars() const { return settings_.NoOfChars; }
    void SetNoOfChars(int value);

    COLORREF BackGround() const { return settings_.BackGround; }
    void SetBackGround(COLORREF value);
    TMyBorder BorderStyle() const { return settings_.BorderStyle; }
    void SetBorderStyle(TMyBorder value);
    COLORREF BorderColor() const { return settings_.BorderColor; }
    void SetBorderColor(COLORREF value);
    COLORREF PixelOn() const { return settings_.PixelOn; }
    void SetPixelOn(COLORREF value);
    COLORREF PixelOff() const { return settings_.PixelOff; }
    void SetPixelOff(COLORREF value);
    // PixelOn at half brightness: the rim of a shaped dot.
    COLORREF ShadowColor() const { return shadowColor_; }

protected:
    void Paint(HDC dc) override;
    // Reads `filename` into the custom glyphs; false when unreadable or refused.
    bool LoadCustomFont();
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    template <class T>
    void Assign(T& field, T value);
    // Refuses a negative spacing with `message`, otherwise assigns it.
    void AssignSpacing(int& field, int value, const char* message);
    const TLCDFont& Font() const;
    // Works out the cell counts and the size, and takes that size.
    // `drawn`: the settings at the form's DPI, with which the paint draws.
    TLCDGeometry Layout(TLCDSettings& drawn);

    TLCDSettings settings_;
    std::string filename_;
    TLCDFont customFont_;
    TLCDCaptionBuffer caption_{};
    COLORREF shadowColor_ = 0;
    TLCDSize lastPainted_;
    UINT lastDpi_ = 96;  // the DPI of the last layout
};
