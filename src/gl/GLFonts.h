#pragma once
// Extruded 3D text as plain data: the text, its font description and extrusion depth, and the
// layout of its lines. The glyph outlines and their metrics come from the viewer, which builds
// them with the font service of its toolkit and hands the metrics in (SetGlyphMetrics); until
// then the font is not built and a string lays out as empty and draws nothing.

#include "gl/GLObjectList.h"
#include "gl/GLRenderer.h"
#include "gl/Vector.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

enum TGL3DJustify : uint8_t { jsLeft = 0, jsRight = 1, jsCentre = 2 };

// The measures of one glyph, in the glyph's own units.
struct TGlyphMetrics {
    float BlackBoxX = 0;
    float BlackBoxY = 0;
    float OriginX = 0;
    float OriginY = 0;
    float CellIncX = 0;
    float CellIncY = 0;
    bool operator==(const TGlyphMetrics&) const = default;
};

using TGlyphMetricsTable = std::array<TGlyphMetrics, 256>;

// An outline font for 3D text: the toolkit's font description, the extrusion depth and, once the
// viewer has built the glyphs, their metrics for the character codes 0..255.
class TGL3DFont {
public:
    std::string Name = "Arial";
    bool Bold = true;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int32_t Charset = 0;
    int32_t Height = 16;
    bool FixedPitch = false;
    uint32_t Color = 0xFF0000;

    double Depth() const { return Depth_; }
    // A different depth marks the glyphs for rebuilding.
    void SetDepth(double depth);
    bool Built() const { return Built_; }
    // The glyphs were built: their metrics, and the font counts as built.
    void SetGlyphMetrics(const TGlyphMetricsTable& metrics);
    // The glyphs must be built again (at the next draw).
    void Invalidate() { Built_ = false; }
    const TGlyphMetrics& Metrics(uint8_t code) const { return Metrics_[code]; }
    // Copies the description and depth; the copy must build its own glyphs.
    void Assign(const TGL3DFont& source);

private:
    double Depth_ = 0.2;
    bool Built_ = false;
    TGlyphMetricsTable Metrics_{};
};

// The glyph codes (0..255, one byte each) that draw a line of text. Text is UTF-8 in this program,
// so a well-formed UTF-8 line is decoded, with characters beyond 255 drawn as "?"; a line that is
// not UTF-8 (a single-byte text from elsewhere) is drawn byte for byte.
std::string GlyphCodes(const std::string& line);

// One line of a laid-out string: its glyph codes and where it starts.
struct TGL3DLine {
    std::string Text;
    double Width = 0;
    // Translation of the line before its glyphs are drawn.
    Vector3D Origin;
};

struct TGL3DLayout {
    // Height of a line: the black-box height of "A".
    double LineHeight = 0;
    // Corners (0,0,0) and (W, H, -Depth), and their difference.
    Vector3D BoxMin;
    Vector3D BoxMax;
    Vector3D BoxSize;
    std::vector<TGL3DLine> Lines;
};

class TGL3DString : public TGLRenderer {
public:
    TGL3DString();

    std::unique_ptr<TGLObject> Create() const override { return std::make_unique<TGL3DString>(); }
    // ResetAll, the renderer's state, then (from a 3D string) font, text, justification, line
    // spacing, line breaks, render mode and colour.
    void Assign(const TGLObject& source) override;
    // The font colour.
    uint32_t GetColor() const override { return Font.Color; }
    // The renderer's ResetAll, then the text emptied.
    void ResetAll() override;
    void SetColor(uint32_t color) override { Font.Color = color; }

    const std::string& Text() const { return Text_; }
    void SetText(const std::string& text);
    uint8_t Justify() const { return Justify_; }
    void SetJustify(uint8_t justify);
    double LineSpacing() const { return LineSpacing_; }
    void SetLineSpacing(double spacing);
    bool ShowLineBreaks() const { return ShowLineBreaks_; }
    void SetShowLineBreaks(bool show);

    // The lines of the text: split at CR LF, CR or LF (a final break adds no empty line) when
    // ShowLineBreaks, else the whole text as one line.
    std::vector<std::string> TextLines() const;
    // The layout from the font's metrics; empty when the font is not built.
    TGL3DLayout Layout() const;

    TGL3DFont Font;

private:
    std::string Text_;
    uint8_t Justify_ = jsCentre;
    double LineSpacing_ = 0.1;
    bool ShowLineBreaks_ = true;
};

// The owning list of 3D strings.
class TGLStringList3D : public TGLObjectList {
public:
    // A 3D string named "String3D-" + (the count before adding + 1), reset, with the material
    // defaults, added; returns its index.
    int32_t NewString();
    TGL3DString* String(int32_t index) const { return static_cast<TGL3DString*>(Items(index)); }

protected:
    std::unique_ptr<TGLObject> NewItem() const override { return std::make_unique<TGL3DString>(); }
};

} // namespace kv
