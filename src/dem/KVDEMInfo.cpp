#include "dem/KVDEMInfo.h"

#include <charconv>

namespace kv {

std::string UnitName(int code)
{
    switch (code) {
    case ucRadians: return "Radians";
    case ucFeet: return "Feet";
    case ucMeters: return "Meters";
    case ucArcSeconds: return "Arc-Seconds";
    default: return "";
    }
}

std::string FormatGeneral(double x)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    return text == "-0" ? "0" : text;
}

std::vector<std::string> DEMInfoLines(const TDEMInfo& info, double colorSpacing, const TUnits& units)
{
    const auto elevation = [&](double x) { return FormatElevation(ElevationInMeters(info, x), 8, 0, units); };
    const auto integer = [](int64_t x) { return std::to_string(x); };
    const auto& c = info.Corners;

    std::vector<std::string> lines;
    lines.push_back("Map Name: " + info.MapName);
    lines.push_back("Columns: " + integer(GridColumns(info)));
    lines.push_back("High Point: " + elevation(info.MaxElevation));
    lines.push_back("Low Point: " + elevation(info.MinElevation));
    lines.push_back("Color Spacing: " + elevation(colorSpacing));
    lines.push_back("Level Code: " + integer(info.LevelCode));
    lines.push_back("Pattern: " + integer(info.PatternCode));
    lines.push_back("Ground Ref: " + integer(info.GroundRef));
    lines.push_back("Zone: " + integer(info.Zone));
    std::string projection = "Projection:";
    for (double p : info.ProjParams)
        projection += " " + FormatGeneral(p);
    lines.push_back(projection);
    lines.push_back("Ground Units: " + UnitName(info.GroundUnits));
    lines.push_back("Elevation Units: " + UnitName(info.ElevUnits));
    lines.push_back("Poly Sides: " + integer(info.PolySides));
    lines.push_back("SW Corner East: " + FormatGeneral(c[cnSW].East));
    lines.push_back("SW Corner North: " + FormatGeneral(c[cnSW].North));
    lines.push_back("NW Corner East: " + FormatGeneral(c[cnNW].East));
    lines.push_back("NW Corner North: " + FormatGeneral(c[cnNW].North));
    lines.push_back("NE Corner East: " + FormatGeneral(c[cnNE].East));
    lines.push_back("NE Corner North: " + FormatGeneral(c[cnNE].North));
    lines.push_back("SE Corner East: " + FormatGeneral(c[cnSE].East));
    lines.push_back("SE Corner North: " + FormatGeneral(c[cnSE].North));
    lines.push_back("Min Elevation: " + FormatGeneral(info.MinElevation));
    lines.push_back("Max Elevation: " + FormatGeneral(info.MaxElevation));
    lines.push_back("Angle: " + FormatGeneral(info.Angle));
    lines.push_back("Accuracy: " + integer(info.Accuracy));
    std::string resolution = "Resolution:";
    for (double r : info.Resolution)
        resolution += "    " + FormatGeneral(r);
    lines.push_back(resolution);
    lines.push_back("Rows: " + integer(info.ProfileRows));
    lines.push_back("Cols: " + integer(info.ProfileCols));
    lines.push_back("Profile Width: " + integer(int64_t{info.ProfileRows} * info.ProfileCols));
    return lines;
}

std::vector<std::string> DEMErrorLines(const TDEMInfo& info)
{
    std::vector<std::string> lines;
    std::string_view text = info.ErrorText;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end);
        // One CR LF (or a lone CR or LF) ends a line.
        if (text.size() >= 2 && text[0] == '\r' && text[1] == '\n')
            text.remove_prefix(2);
        else
            text.remove_prefix(1);
    }
    return lines;
}

} // namespace kv
