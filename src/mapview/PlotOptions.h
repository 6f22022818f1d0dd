#pragma once
// The map's plot options: which of colour, shading and contours the map shows, the shading's
// contrast and light direction, and the contour interval of the last drawing. The dialog that
// edits them lives in the application; its rules are here, as plain functions.

#include "platform/KVIni.h"

#include <cstdint>

namespace kv {

// Where the light of the shaded relief comes from (the codes the program stores).
enum TLightDirection : uint8_t { ldN = 0, ldS = 1, ldE = 2, ldW = 3, ldNE = 4, ldNW = 5, ldSE = 6, ldSW = 7 };

struct TPlotOptions {
    bool Colored = true;                // colour by elevation
    bool Contoured = true;              // contour pixels
    bool Shaded = false;                // shaded relief (drawn over the colour)
    int32_t Contrast = 3;               // 0 "Very Light" .. 6 "Very Dark"
    uint8_t LightDirection = ldNW;      // TLightDirection; not stored in the settings file
    int32_t ImageContourInterval = 100; // recomputed by every drawing
    bool operator==(const TPlotOptions&) const = default;
};

// The built-in options with the settings file's modes and contrast. The light always starts
// from the north-west.
TPlotOptions PlotOptionsFromSettings(const TUserSettings& settings);

// The three check boxes of the dialog.
enum TPlotModeBox { mbColored, mbShaded, mbContoured };

struct TPlotModes {
    bool Colored = false;
    bool Shaded = false;
    bool Contoured = false;
    bool operator==(const TPlotModes&) const = default;
};

// The boxes after the user clicked `clicked` (`checked` already shows the click): at least one
// mode stays on, and colour and shading exclude each other. Clicking colour with nothing left
// checks contours; clicking shading or contours with nothing left checks colour; checking colour
// while shading is on unchecks shading, and the other way round.
TPlotModes ClickPlotMode(TPlotModes checked, TPlotModeBox clicked);

// "Very Light" .. "Very Dark"; "Medium" for a contrast outside 0 .. 6.
const char* ContrastName(int32_t contrast);
// The contrast the shading uses: the value itself in 0 .. 6, else 3 ("Medium", as shown).
int32_t EffectiveContrast(int32_t contrast);
// "N", "S", "E", "W", "NE", "NW", "SE", "SW"; an empty text for any other code.
const char* LightDirectionName(uint8_t direction);

} // namespace kv
