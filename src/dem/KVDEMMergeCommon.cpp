#include "KVDEMMergeCommon.h"

#include "platform/KVError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kv {

namespace {

constexpr int GaugeStep = 12;
constexpr double CornerTolerance = 10.0;
// The widest values an I6 field holds.
constexpr int64_t MinFieldValue = -99999;
constexpr int64_t MaxFieldValue = 999999;

std::string FixedText(double value, int decimals)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return "?";
    return std::string(buffer, result.ptr);
}

int ClampToInt(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, 0, std::numeric_limits<int>::max()));
}

} // namespace

TMergeGauge::~TMergeGauge()
{
    // The gauge returns to 0 in every case; a failing callback must not mask the merge's own error.
    try {
        Report(0);
    } catch (...) {
    }
}

void TMergeGauge::Start(int64_t maximum)
{
    Maximum_ = maximum;
    Report(0);
}

void TMergeGauge::Step(int64_t position)
{
    if (position % GaugeStep == 0)
        Report(position);
}

void TMergeGauge::Report(int64_t position)
{
    if (Callbacks_.Progress)
        Callbacks_.Progress(ClampToInt(position), ClampToInt(Maximum_));
}

void CheckPanFactor(double pan)
{
    if (!(pan >= 0.0 && pan <= 1.0))
        throw EKorvelaError("The pan factor must lie between 0 and 1, found " + FixedText(pan, 2));
}

std::string MergedMapName(const std::string& title, const std::string& first, const std::string& second,
                          double pan)
{
    std::string name = title + first + "(" + FixedText((1.0 - pan) * 100.0, 0) + "%) and " + second;
    if (name.size() > 144)
        name.resize(144);
    return name;
}

bool ConfirmCompatible(const TDEMInfo& first, TCorner firstCorner, const TDEMInfo& second, TCorner secondCorner,
                       const TMergeCallbacks& callbacks)
{
    std::string question;
    if (first.GroundRef != second.GroundRef) {
        question = "DEM Files Are Different Types\r\nMerge Anyway?";
    } else {
        const TGroundPoint& a = first.Corners[firstCorner];
        const TGroundPoint& b = second.Corners[secondCorner];
        const double distance = std::hypot(a.East - b.East, a.North - b.North);
        if (!(distance > CornerTolerance))
            return true;
        question = "DEM Files Are " + FixedText(distance, 2) + " Meters Appart\r\nMerge Anyway?";
    }
    return callbacks.Confirm && callbacks.Confirm(question);
}

bool ReadHeadersAndConfirm(TMergeInput& first, TCorner firstCorner, TMergeInput& second, TCorner secondCorner,
                           double pan, const TMergeCallbacks& callbacks)
{
    CheckPanFactor(pan);
    second.ReadHeader();
    first.ReadHeader();
    return ConfirmCompatible(first.Info(), firstCorner, second.Info(), secondCorner, callbacks);
}

void CheckMergedHeader(const TDEMInfo& info)
{
    bool finite = std::isfinite(info.MinElevation) && std::isfinite(info.MaxElevation);
    for (const TGroundPoint& corner : info.Corners)
        finite = finite && std::isfinite(corner.East) && std::isfinite(corner.North);
    if (!finite)
        throw EKorvelaError("The merged corners or elevation bounds exceed the range of numbers a DEM file can hold");
}

int32_t FillerValue(double minElevation)
{
    const double value = std::trunc(minElevation);
    if (!(value >= static_cast<double>(MinFieldValue) && value <= static_cast<double>(MaxFieldValue)))
        throw EKorvelaError("The lowest elevation " + FixedText(minElevation, 2) +
                            " cannot fill the gaps of the merged profiles");
    return static_cast<int32_t>(value);
}

TProfileHeader AsColumn(TProfileHeader header, int64_t column)
{
    if (column < 1 || column > MaxFieldValue)
        throw EKorvelaError("The merged file would hold more than " + std::to_string(MaxFieldValue) +
                            " profiles, more than its column numbers can state");
    header.Row = 1;
    header.Col = static_cast<int32_t>(column);
    return header;
}

void PutElevations(TDEMBlockWriter& writer, std::span<const int32_t> values)
{
    for (const int32_t value : values)
        writer.PutInt(value);
}

void WriteProfile(TDEMBlockWriter& writer, const TProfileHeader& header, std::span<const int32_t> values)
{
    WriteProfileHeader(writer, header);
    PutElevations(writer, values);
    writer.Flush();
}

void CheckMergedLength(int64_t length)
{
    if (length > MaxFieldValue)
        throw EKorvelaError("A merged profile would hold " + std::to_string(length) +
                            " elevations, more than the " + std::to_string(MaxFieldValue) +
                            " a profile can state");
}

} // namespace kv
