#include "gl/GLFonts.h"

#include <algorithm>

namespace kv {

void TGL3DFont::SetDepth(double depth)
{
    if (depth == Depth_)
        return;
    Depth_ = depth;
    Built_ = false;
}

void TGL3DFont::SetGlyphMetrics(const TGlyphMetricsTable& metrics)
{
    Metrics_ = metrics;
    Built_ = true;
}

void TGL3DFont::Assign(const TGL3DFont& source)
{
    if (&source == this)
        return;
    Name = source.Name;
    Bold = source.Bold;
    Italic = source.Italic;
    Underline = source.Underline;
    StrikeOut = source.StrikeOut;
    Charset = source.Charset;
    Height = source.Height;
    FixedPitch = source.FixedPitch;
    Color = source.Color;
    Depth_ = source.Depth_;
    Built_ = false;
}

std::string GlyphCodes(const std::string& line)
{
    std::string codes;
    codes.reserve(line.size());
    bool multiByte = false;
    for (size_t i = 0; i < line.size();) {
        const auto lead = static_cast<uint8_t>(line[i]);
        if (lead < 0x80) {
            codes.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                              : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                             : 0;
        if (length == 0 || i + length > line.size())
            return line;
        uint32_t code = lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(line[i + k]);
            if ((next & 0xC0) != 0x80)
                return line;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        const uint32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return line;
        codes.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
        multiByte = true;
        i += length;
    }
    return multiByte ? codes : line;
}

TGL3DString::TGL3DString() = default;

void TGL3DString::Assign(const TGLObject& source)
{
    if (&source == this)
        return;
    ResetAll();
    TGLRenderer::Assign(source);
    if (const auto* text = dynamic_cast<const TGL3DString*>(&source)) {
        Font.Assign(text->Font);
        SetText(text->Text());
        SetJustify(text->Justify());
        SetLineSpacing(text->LineSpacing());
        SetShowLineBreaks(text->ShowLineBreaks());
        SetRenderMode(text->RenderMode());
        SetColor(text->GetColor());
    }
}

void TGL3DString::ResetAll()
{
    TGLRenderer::ResetAll();
    Text_.clear();
}

void TGL3DString::SetText(const std::string& text)
{
    if (text == Text_)
        return;
    Text_ = text;
    Changed();
}

void TGL3DString::SetJustify(uint8_t justify)
{
    if (justify == Justify_)
        return;
    Justify_ = justify;
    Changed();
}

void TGL3DString::SetLineSpacing(double spacing)
{
    if (spacing == LineSpacing_)
        return;
    LineSpacing_ = spacing;
    Changed();
}

void TGL3DString::SetShowLineBreaks(bool show)
{
    if (show == ShowLineBreaks_)
        return;
    ShowLineBreaks_ = show;
    Changed();
}

std::vector<std::string> TGL3DString::TextLines() const
{
    if (!ShowLineBreaks_)
        return {Text_};
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < Text_.size()) {
        const size_t brk = Text_.find_first_of("\r\n", start);
        if (brk == std::string::npos) {
            lines.push_back(Text_.substr(start));
            break;
        }
        lines.push_back(Text_.substr(start, brk - start));
        start = brk + ((Text_[brk] == '\r' && brk + 1 < Text_.size() && Text_[brk + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

TGL3DLayout TGL3DString::Layout() const
{
    TGL3DLayout layout;
    if (!Font.Built())
        return layout;
    const double h = Font.Metrics('A').BlackBoxY;
    layout.LineHeight = h;
    const std::vector<std::string> lines = TextLines();
    double width = 0;
    for (const std::string& line : lines) {
        TGL3DLine laid;
        laid.Text = GlyphCodes(line);
        for (const char c : laid.Text)
            laid.Width += Font.Metrics(static_cast<uint8_t>(c)).CellIncX;
        width = std::max(width, laid.Width);
        layout.Lines.push_back(std::move(laid));
    }
    const double count = double(layout.Lines.size());
    const double height = count == 0 ? 0 : h * count + (count - 1) * LineSpacing_;
    layout.BoxMin = {0, 0, 0};
    layout.BoxMax = {width, height, -Font.Depth()};
    layout.BoxSize = VectorSubtract(layout.BoxMax, layout.BoxMin);
    for (size_t i = 0; i < layout.Lines.size(); ++i) {
        TGL3DLine& line = layout.Lines[i];
        double x = 0;
        if (Justify_ == jsRight)
            x = -line.Width;
        else if (Justify_ == jsCentre)
            x = -line.Width / 2;
        line.Origin = {x, height / 2 - h - (h + LineSpacing_) * double(i), 0};
    }
    return layout;
}

int32_t TGLStringList3D::NewString()
{
    auto text = std::make_unique<TGL3DString>();
    text->SetName("String3D-" + std::to_string(Count() + 1));
    text->Reset();
    text->LightEmission = {0, 0, 0, 0};
    text->LightSpecular = {0.5f, 0.5f, 0.5f, 1.0f};
    text->LightShininess = 10.0f;
    return Add(std::move(text));
}

} // namespace kv
