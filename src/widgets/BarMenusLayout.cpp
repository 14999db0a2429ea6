#include "BarMenusLayout.h"

#include <cmath>

int RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    long long result = static_cast<long long>(floor);
    if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0)))
        ++result;
    return static_cast<int>(result);
}

int CenteredOffset(int space, int size) { return RoundHalfEven((space - size) / 2.0 - 0.5); }

TColor GradientRowColor(TColor start, TColor end, int y, int height)
{
    // A bar of no height has no rows to spread the colours over; answering the
    // start colour keeps the division away from zero.
    if (height <= 0)
        return start;
    auto step = [&](int from, int to) { return from + (to - from) * y / height; };
    return RgbColor(step(RedOf(start), RedOf(end)), step(GreenOf(start), GreenOf(end)),
                    step(BlueOf(start), BlueOf(end)));
}

TBarPoint BitmapPosition(TVertAlignment vert, THorzAlignment horz, int offsetX, int offsetY, int w, int h,
                         int barWidth, int barHeight)
{
    TBarPoint at{offsetX, offsetY};
    switch (vert) {
    case TVertAlignment::vaTop: break;
    case TVertAlignment::vaBottom: at.y = barHeight + offsetY - h; break;
    case TVertAlignment::vaMiddle: at.y = (barHeight - h) / 2 + offsetY; break;
    }
    switch (horz) {
    case THorzAlignment::haLeft: break;
    case THorzAlignment::haRight: at.x = barWidth + offsetX - w; break;
    case THorzAlignment::haCenter: at.x = (barWidth - w) / 2 + offsetX; break;
    }
    return at;
}

TBarPoint TileStart(TVertAlignment vert, THorzAlignment horz, int offsetX, int offsetY, int w, int h,
                    int barWidth, int barHeight)
{
    TBarPoint at{0, 0};
    if (w <= 0 || h <= 0)
        return at;
    if (horz != THorzAlignment::haLeft) {
        at.x = -(w - barWidth % w);
        if (horz == THorzAlignment::haCenter)
            at.x /= 2;
    }
    if (vert != TVertAlignment::vaTop) {
        at.y = -(h - barHeight % h);
        if (vert == TVertAlignment::vaMiddle)
            at.y /= 2;
    }
    at.x += offsetX;
    at.y += offsetY;
    // Whole steps back until the first tile touches the bar's first pixel.
    if (at.x > 0)
        at.x -= ((at.x + w - 1) / w) * w;
    if (at.y > 0)
        at.y -= ((at.y + h - 1) / h) * h;
    return at;
}

std::vector<TBarPoint> TilePositions(TVertAlignment vert, THorzAlignment horz, int offsetX, int offsetY, int w,
                                     int h, int barWidth, int barHeight)
{
    std::vector<TBarPoint> tiles;
    if (w <= 0 || h <= 0)
        return tiles;
    const TBarPoint start = TileStart(vert, horz, offsetX, offsetY, w, h, barWidth, barHeight);
    for (int y = start.y; y <= barHeight; y += h)
        for (int x = start.x; x <= barWidth; x += w)
            tiles.push_back({x, y});
    return tiles;
}

TBarRect ItemArea(const TBarRect& item, bool onBar, int barWidth, int space, TSide side, bool shortLines, int dpi)
{
    TBarRect area = item;
    if (onBar) {
        const int share = barWidth + space;
        area.right -= share;
        if (side == TSide::sLeft) {
            area.left += share;
            area.right += share;
        }
    }
    if (shortLines)
        area.right -= BarLength(10, dpi);
    return area;
}

int BarColumnLeft(const TBarRect& item, int barWidth, TSide side)
{
    return side == TSide::sLeft ? item.left : item.left + item.Width() - barWidth;
}

int TotalHeight(const std::vector<int>& itemHeights)
{
    int total = 0;
    for (int height : itemHeights)
        if (height > 0)
            total += height;
    return total;
}

int BarOffsetOf(const std::vector<int>& itemHeights, std::size_t index)
{
    int offset = 0;
    for (std::size_t i = 0; i < index && i < itemHeights.size(); ++i)
        if (itemHeights[i] > 0)
            offset += itemHeights[i];
    return offset;
}

int SeparatorHeight(bool hasText, int dpi) { return BarLength(hasText ? 14 : 12, dpi); }

TBarPoint CaptionPosition(TVertAlignment alignment, TDirection direction, int offsetY, int textLength,
                          int textHeight, int barWidth, int barHeight, int bitmapBelow)
{
    TBarPoint at{CenteredOffset(barWidth, textHeight), 0};
    switch (alignment) {
    case TVertAlignment::vaTop: at.y = offsetY + textLength; break;
    case TVertAlignment::vaBottom: at.y = barHeight - offsetY - bitmapBelow; break;
    case TVertAlignment::vaMiddle: at.y = RoundHalfEven((barHeight + textLength) / 2.0 - 0.5); break;
    }
    if (direction == TDirection::dUpToDown) {
        at.y -= textLength;
        at.x += textHeight + 1;
    }
    return at;
}

void TBarFont::SetSize(int points, int pixelsPerInch)
{
    // Rounded to the nearest pixel, as the platform's MulDiv does.
    const long long scaled = static_cast<long long>(points) * pixelsPerInch;
    Height = -static_cast<int>((scaled + (scaled >= 0 ? 36 : -36)) / 72);
}

bool TBarFont::operator==(const TBarFont& other) const
{
    return Name == other.Name && Height == other.Height && Color == other.Color && Bold == other.Bold &&
           Italic == other.Italic && Underline == other.Underline && StrikeOut == other.StrikeOut &&
           Pitch == other.Pitch;
}
