#include "mapview/PlotOptions.h"

namespace kv {

TPlotOptions PlotOptionsFromSettings(const TUserSettings& settings)
{
    TPlotOptions options;
    options.Colored = settings.Colored;
    options.Contoured = settings.Contoured;
    options.Shaded = settings.Shaded;
    options.Contrast = settings.Contrast;
    return options;
}

TPlotModes ClickPlotMode(TPlotModes checked, TPlotModeBox clicked)
{
    const bool none = !checked.Colored && !checked.Shaded && !checked.Contoured;
    switch (clicked) {
    case mbColored:
        if (none)
            checked.Contoured = true;
        if (checked.Shaded && checked.Colored)
            checked.Shaded = false;
        break;
    case mbShaded:
        if (none)
            checked.Colored = true;
        if (checked.Shaded && checked.Colored)
            checked.Colored = false;
        break;
    case mbContoured:
        if (none)
            checked.Colored = true;
        break;
    }
    return checked;
}

int32_t EffectiveContrast(int32_t contrast)
{
    return contrast >= 0 && contrast <= 6 ? contrast : 3;
}

const char* ContrastName(int32_t contrast)
{
    static const char* const names[] = {"Very Light",  "Light", "Medium Light", "Medium",
                                        "Medium Dark", "Dark",  "Very Dark"};
    return names[EffectiveContrast(contrast)];
}

const char* LightDirectionName(uint8_t direction)
{
    static const char* const names[] = {"N", "S", "E", "W", "NE", "NW", "SE", "SW"};
    return direction < 8 ? names[direction] : "";
}

} // namespace kv
