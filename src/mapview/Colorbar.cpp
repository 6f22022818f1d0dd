#include "mapview/Colorbar.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace kv {

namespace {

std::vector<TColor> FromRGB(std::initializer_list<std::array<uint8_t, 3>> rgb)
{
    std::vector<TColor> colors;
    for (const auto& c : rgb)
        colors.push_back(RGBColor(c[0], c[1], c[2]));
    return colors;
}

// Boundary position in pixels on a bar `height` tall; 64-bit so tall bars cannot overflow.
int32_t PositionToPixels(int32_t position, int32_t height)
{
    return static_cast<int32_t>(int64_t{height} * position / BarPositionScale);
}

int32_t PixelsToPosition(int32_t y, int32_t height)
{
    return static_cast<int32_t>(int64_t{BarPositionScale} * y / std::max(height, 1));
}

std::string FixedText(double value, int32_t decimals)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, std::clamp(decimals, 0, 17));
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    if (text.find_first_not_of("-0.") == std::string::npos && !text.empty() && text[0] == '-')
        text.erase(0, 1); // no "-0"
    return text;
}

} // namespace

std::vector<TColor> PaletteColors(TColorCount count)
{
    switch (count) {
    case dc12:
        return FromRGB({{0, 0, 0},
                        {128, 0, 0},
                        {255, 0, 0},
                        {255, 255, 0},
                        {128, 128, 0},
                        {0, 255, 0},
                        {0, 128, 0},
                        {0, 128, 128},
                        {0, 255, 255},
                        {0, 0, 255},
                        {0, 0, 128},
                        {128, 0, 128},
                        {255, 0, 255}});
    case dc20:
        return FromRGB({{0, 0, 0},     {255, 255, 255}, {191, 191, 191}, {160, 160, 160}, {191, 128, 191},
                        {208, 0, 208}, {208, 0, 160},   {255, 0, 0},     {255, 127, 0},   {255, 191, 0},
                        {255, 255, 0}, {191, 255, 0},   {127, 255, 0},   {0, 255, 63},    {0, 255, 191},
                        {0, 255, 255}, {0, 191, 255},   {0, 127, 255},   {0, 0, 208},     {0, 0, 128}});
    case dc24:
        return FromRGB({{0, 0, 0},     {255, 0, 0},   {255, 63, 0},  {255, 127, 0}, {255, 191, 0}, {255, 255, 0},
                        {191, 255, 0}, {127, 255, 0}, {63, 255, 0},  {0, 255, 0},   {0, 255, 63},  {0, 255, 127},
                        {0, 255, 191}, {0, 255, 255}, {0, 191, 255}, {0, 127, 255}, {0, 63, 255},  {0, 0, 255},
                        {63, 0, 255},  {127, 0, 255}, {191, 0, 255}, {255, 0, 255}, {255, 0, 191}, {255, 0, 127}});
    case dc30:
        return FromRGB({{0, 0, 0},       {255, 255, 255}, {208, 208, 208}, {191, 191, 191}, {160, 160, 160},
                        {128, 128, 128}, {208, 64, 208},  {255, 0, 255},   {208, 0, 208},   {128, 0, 128},
                        {208, 0, 64},    {255, 0, 0},     {255, 63, 0},    {255, 127, 0},   {255, 191, 0},
                        {255, 255, 0},   {191, 255, 0},   {127, 255, 0},   {63, 255, 0},    {0, 255, 0},
                        {0, 255, 63},    {0, 255, 127},   {0, 255, 191},   {0, 255, 255},   {0, 191, 255},
                        {0, 127, 255},   {0, 63, 255},    {0, 0, 255},     {0, 0, 208},     {0, 0, 128}});
    case dc32: {
        std::vector<TColor> colors{clBlack};
        for (int green = 240; green >= 0; green -= 16)
            colors.push_back(RGBColor(255, static_cast<uint8_t>(green), 0));
        for (int red = 240; red >= 0; red -= 16)
            colors.push_back(RGBColor(static_cast<uint8_t>(red), 0, 0));
        return colors;
    }
    }
    return PaletteColors(dc20);
}

TColorBar::TColorBar()
{
    LoadPalette();
    SpaceEvenly();
}

void TColorBar::Invalidate() const
{
    if (OnInvalidate)
        OnInvalidate();
}

void TColorBar::SetEntryColor(int32_t index, TColor color)
{
    if (index < 0 || index >= Count())
        return;
    entries_[size_t(index)].Color = color;
    Invalidate();
}

void TColorBar::SetColorCount(TColorCount count)
{
    if (count == colorCount_)
        return;
    colorCount_ = count;
    LoadPalette();
    SpaceEvenly();
}

void TColorBar::SetRange(double top, double bottom)
{
    top_ = top;
    bottom_ = bottom;
    RecomputeValues();
    Invalidate();
}

void TColorBar::RecomputeValues()
{
    const double span = top_ - bottom_;
    for (TColorBarEntry& entry : entries_)
        entry.Value = top_ - entry.Position / double(BarPositionScale) * span;
}

void TColorBar::LoadPalette()
{
    const std::vector<TColor> colors = PaletteColors(colorCount_);
    entries_.resize(colors.size(), TColorBarEntry{clBlack, BarPositionScale, 0.0});
    for (size_t i = 0; i < colors.size(); ++i)
        entries_[i].Color = colors[i];
    Selected = std::clamp(Selected, 1, Count() - 1);
    RecomputeValues();
    Invalidate();
}

void TColorBar::SpaceEvenly()
{
    const int32_t n = Count();
    for (int32_t i = 0; i < n; ++i)
        entries_[i].Position = i * BarPositionScale / (n - 1);
    RecomputeValues();
    Invalidate();
}

void TColorBar::SpreadEvenly(int32_t first, int32_t last)
{
    first = std::max(first, 0);
    last = std::min(last, Count() - 1);
    if (first >= last)
        return;
    const int64_t from = entries_[first].Position;
    const int64_t to = entries_[last].Position;
    for (int32_t i = first + 1; i < last; ++i)
        entries_[i].Position = static_cast<int32_t>(from + (i - first) * (to - from) / (last - first));
    RecomputeValues();
    Invalidate();
}

void TColorBar::Gradient(int32_t first, int32_t last)
{
    first = std::max(first, 1);
    last = std::min(last, Count() - 1);
    if (first > last)
        std::swap(first, last);
    if (last - first + 1 <= 2)
        return;
    const TColor a = entries_[first].Color;
    const TColor b = entries_[last].Color;
    const double steps = last - first + 1;
    const double dr = (RedOf(b) - RedOf(a)) / steps;
    const double dg = (GreenOf(b) - GreenOf(a)) / steps;
    const double db = (BlueOf(b) - BlueOf(a)) / steps;
    const auto component = [](double x) { return static_cast<uint8_t>(std::clamp(std::round(x), 0.0, 255.0)); };
    for (int32_t i = first + 1; i < last; ++i) {
        const double k = i - first;
        entries_[i].Color =
            RGBColor(component(RedOf(a) + dr * k), component(GreenOf(a) + dg * k), component(BlueOf(a) + db * k));
    }
    Invalidate();
}

void TColorBar::MoveBoundary(int32_t index, int32_t position, int32_t height)
{
    const int32_t n = Count();
    if (index < 0 || index >= n)
        return;
    const int32_t g = 2 * (BarPositionScale / std::max(height, 1));
    entries_[index].Position = std::clamp(position, 0, BarPositionScale);
    for (int32_t i = index + 1; i < n; ++i)
        if (entries_[i].Position <= entries_[i - 1].Position)
            entries_[i].Position = std::min(entries_[i - 1].Position + g, BarPositionScale);
    for (int32_t i = index - 1; i >= 0; --i)
        if (entries_[i].Position >= entries_[i + 1].Position)
            entries_[i].Position = std::max(entries_[i + 1].Position - g, 0);
    RecomputeValues();
    Invalidate();
}

TColor TColorBar::GetBandColor(double value) const
{
    const int32_t n = Count();
    for (int32_t i = 0; i + 1 < n; ++i) {
        const double a = entries_[i].Value;
        const double b = entries_[i + 1].Value;
        if (value >= std::min(a, b) && value <= std::max(a, b))
            return entries_[i + 1].Color;
    }
    // Outside the bar: the end band on the value's side.
    const double topValue = entries_.front().Value;
    const double bottomValue = entries_.back().Value;
    const bool nearerTop = std::fabs(value - topValue) < std::fabs(value - bottomValue);
    return nearerTop ? entries_[1].Color : entries_[n - 1].Color;
}

TColor TColorBar::GetLevelColor(double value) const
{
    if (!(value > entries_.front().Value))
        for (int32_t i = 1; i < Count(); ++i)
            if (value >= entries_[i].Value)
                return entries_[i].Color;
    return entries_.front().Color;
}

int32_t TColorBar::BoundaryY(int32_t index, int32_t height) const
{
    return PositionToPixels(entries_[index].Position, height);
}

std::optional<int32_t> TColorBar::BoundaryAt(int32_t y, int32_t height) const
{
    const int32_t first = AdjustEnds ? 0 : 1;
    const int32_t last = AdjustEnds ? Count() - 1 : Count() - 2;
    for (int32_t i = first; i <= last; ++i)
        if (std::abs(int64_t{y} - BoundaryY(i, height)) <= 1)
            return i;
    return std::nullopt;
}

std::optional<int32_t> TColorBar::BandAt(int32_t y, int32_t height) const
{
    for (int32_t i = 1; i < Count(); ++i)
        if (BoundaryY(i - 1, height) <= y && y <= BoundaryY(i, height))
            return i;
    return std::nullopt;
}

TCursor TColorBar::MouseDown(int32_t y, int32_t height)
{
    if (!Adjustable)
        return crDefault;
    if (const std::optional<int32_t> boundary = BoundaryAt(y, height)) {
        dragIndex_ = boundary;
        dragY_ = y;
        Invalidate();
        return crVSplit;
    }
    if (const std::optional<int32_t> band = BandAt(y, height); band && *band != Selected) {
        Selected = *band;
        if (OnChangeSelect)
            OnChangeSelect(Selected);
        Invalidate();
    }
    return crDefault;
}

TCursor TColorBar::MouseMove(int32_t y, int32_t height)
{
    if (!Adjustable)
        return crDefault;
    if (dragIndex_) {
        dragY_ = y;
        const int32_t p = PixelsToPosition(y, height);
        if (OnChangingBar)
            OnChangingBar(*dragIndex_, top_ - p / double(BarPositionScale) * (top_ - bottom_), p);
        Invalidate();
        return crVSplit;
    }
    return BoundaryAt(y, height) ? crVSplit : crDefault;
}

TCursor TColorBar::MouseUp(int32_t y, int32_t height, bool spread)
{
    if (!Adjustable || !dragIndex_)
        return crDefault;
    const int32_t index = *dragIndex_;
    dragIndex_.reset();
    MoveBoundary(index, PixelsToPosition(y, height), height);
    if (spread) {
        SpreadEvenly(0, index);
        SpreadEvenly(index, Count() - 1);
    }
    if (OnChangeSpread)
        OnChangeSpread();
    return BoundaryAt(y, height) ? crVSplit : crDefault;
}

std::optional<int32_t> TColorBar::DragLine() const
{
    if (!dragIndex_)
        return std::nullopt;
    return dragY_;
}

void PaintColorBar(TCanvas& canvas, const TColorBar& bar, int32_t width, int32_t height, bool enabled,
                   TTextPainter* text)
{
    const TPen savedPen = canvas.Pen;
    const TBrush savedBrush = canvas.Brush;
    const TColor savedFontColor = canvas.Font.Color;
    const std::vector<TColorBarEntry>& entries = bar.Entries();
    for (int32_t i = 1; i < bar.Count(); ++i) {
        const int32_t top = bar.BoundaryY(i - 1, height);
        const int32_t bottom = bar.BoundaryY(i, height);
        const TColor color = entries[i].Color;
        const int mean = (RedOf(color) + GreenOf(color) + BlueOf(color)) / 3;
        canvas.Pen = TPen{mean >= 50 ? clBlack : clGray, 1, psSolid, pmCopy};
        canvas.Brush = TBrush{color, bsSolid};
        canvas.Rectangle({0, top - 1, width, bottom});
        if (bar.LabelBars && text) {
            const std::string label = FixedText(entries[i].Value * bar.ScaleFactor, bar.Decimals);
            const TPoint extent = text->TextExtent(canvas, label);
            if (extent.Y + 1 < bottom - top) {
                const TRect inner{1, top, width - 1, bottom - 1};
                canvas.Font.Color = RGBColor(RedOf(color) >= 128 ? 0 : 255, GreenOf(color) >= 128 ? 0 : 255,
                                             BlueOf(color) >= 128 ? 0 : 255);
                text->TextOut(canvas, inner.Left + static_cast<int32_t>((inner.Width() - extent.X) / 2),
                              inner.Top + static_cast<int32_t>((inner.Height() - extent.Y) / 2), label);
            }
        }
    }
    if (enabled && bar.Selected >= 1 && bar.Selected < bar.Count()) {
        canvas.Pen = TPen{clBlack, 1, psDot, pmNot};
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(
            {1, bar.BoundaryY(bar.Selected - 1, height) + 1, width - 1, bar.BoundaryY(bar.Selected, height) - 1});
    }
    if (const std::optional<int32_t> y = bar.DragLine()) {
        canvas.Pen = TPen{clBlack, 1, psSolid, pmNot};
        canvas.Line({0, *y}, {width, *y}, leOmitLast);
    }
    canvas.Pen = savedPen;
    canvas.Brush = savedBrush;
    canvas.Font.Color = savedFontColor;
}

} // namespace kv
