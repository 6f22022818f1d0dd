#include "dem/KVDEMMerge.h"

#include "KVDEMMergeCommon.h"
#include "KVDEMMergeInput.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kv {

namespace {

// The seam is measured in profiles 30 ground units apart.
constexpr double SeamProfileSpacing = 30.0;

double Fraction(int64_t part, int32_t whole)
{
    return part == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole);
}

// A seam profile, the `column`-th of the output: the lower-starting one's header (the west
// one on a tie) holding both profiles' elevations, its own first.
void WriteSeamProfile(TDEMBlockWriter& writer, int64_t column, const TMergeInput& west, const TMergeInput& east)
{
    const bool westFirst = west.Profile().Y0 <= east.Profile().Y0;
    const TMergeInput& lower = westFirst ? west : east;
    const TMergeInput& upper = westFirst ? east : west;
    const int64_t length = static_cast<int64_t>(lower.Elevations().size() + upper.Elevations().size());
    CheckMergedLength(length);
    TProfileHeader header = AsColumn(lower.Profile(), column);
    header.M = static_cast<int32_t>(length);
    header.N = 1;
    WriteProfileHeader(writer, header);
    PutElevations(writer, lower.Elevations());
    PutElevations(writer, upper.Elevations());
    writer.Flush();
}

std::string FileNameOf(const std::filesystem::path& path)
{
    return path.filename().string();
}

} // namespace

TWestEastPlan PlanWestEast(int64_t westCount, int64_t eastCount, double westNEEast, double westSEEast, double pan)
{
    CheckPanFactor(pan);
    const int64_t smaller = std::max<int64_t>(std::min(westCount, eastCount), 0);
    const double skew = std::fabs(std::trunc((westNEEast - westSEEast) / SeamProfileSpacing));
    if (!(skew <= static_cast<double>(smaller)))
        throw EKorvelaError("The east edge of the west file is skewed across more profiles than the " +
                            std::to_string(smaller) + " both files hold");
    TWestEastPlan plan;
    plan.Skew = static_cast<int64_t>(skew);
    plan.Common = smaller - plan.Skew;
    plan.Shift = static_cast<int64_t>(std::trunc(static_cast<double>(plan.Common) * pan));
    plan.WestTail = westCount - plan.Shift - plan.Skew;
    plan.GaugeMaximum = plan.WestTail + 2 * plan.Shift;
    return plan;
}

std::optional<std::string> MergeWestEastData(const TMergeSource& westSource, const TMergeSource& eastSource,
                                             double pan, const TMergeCallbacks& callbacks)
{
    TMergeGauge gauge(callbacks);
    TMergeInput east(eastSource.Data, eastSource.Name);
    TMergeInput west(westSource.Data, westSource.Name);
    if (!ReadHeadersAndConfirm(west, cnNE, east, cnNW, pan, callbacks))
        return std::nullopt;

    const TDEMInfo& w = west.Info();
    const TDEMInfo& e = east.Info();
    const TWestEastPlan plan =
        PlanWestEast(west.ProfileCount(), east.ProfileCount(), w.Corners[cnNE].East, w.Corners[cnSE].East, pan);
    gauge.Start(plan.GaugeMaximum);

    TDEMInfo merged = w;
    const double tWest = Fraction(plan.Shift, w.ProfileCols);
    const double tEast = Fraction(plan.Shift, e.ProfileCols);
    merged.Corners[cnSW] = Between(w.Corners[cnSW], w.Corners[cnSE], tWest);
    merged.Corners[cnNW] = Between(w.Corners[cnNW], w.Corners[cnNE], tWest);
    merged.Corners[cnNE] = Between(e.Corners[cnNW], e.Corners[cnNE], tEast);
    merged.Corners[cnSE] = Between(e.Corners[cnSW], e.Corners[cnSE], tEast);
    merged.MinElevation = std::min(w.MinElevation, e.MinElevation);
    merged.MaxElevation = std::max(w.MaxElevation, e.MaxElevation);
    // The result holds as many profiles as the west file, in one row, so that the header
    // also matches the profiles written when the west file had several rows of them.
    merged.ProfileRows = 1;
    merged.ProfileCols = static_cast<int32_t>(west.ProfileCount());
    merged.MapName = MergedMapName("West/East Merged: ", west.Name(), east.Name(), pan);
    CheckMergedHeader(merged);

    TDEMBlockWriter writer;
    writer.Reserve(westSource.Data.size() + TDEMBlockWriter::BlockSize);
    WriteRecordA(writer, merged);

    for (int64_t i = 0; i < plan.Shift; ++i) {
        west.SkipProfile();
        gauge.Step(i);
    }
    int64_t column = 0;
    for (int64_t i = 0; i < plan.WestTail; ++i) {
        west.ReadProfile();
        WriteProfile(writer, AsColumn(west.Profile(), ++column), west.Elevations());
        gauge.Step(plan.Shift + i);
    }
    for (int64_t i = 0; i < plan.Skew; ++i) {
        west.ReadProfile();
        east.ReadProfile();
        WriteSeamProfile(writer, ++column, west, east);
    }
    for (int64_t i = 0; i < plan.Shift; ++i) {
        east.ReadProfile();
        WriteProfile(writer, AsColumn(east.Profile(), ++column), east.Elevations());
        gauge.Step(plan.WestTail + plan.Shift + i);
    }
    writer.PutRaw(west.RestOfFile());
    return writer.TakeOutput();
}

namespace {

using TDataMerge = std::optional<std::string> (*)(const TMergeSource&, const TMergeSource&, double,
                                                  const TMergeCallbacks&);

// Reads both files (the second one first, as the merge opens them), merges them in memory
// and puts the result in place only when the merge succeeded.
bool MergeFiles(TDataMerge merge, const std::filesystem::path& first, const std::filesystem::path& second,
                const std::filesystem::path& output, double pan, const TMergeCallbacks& callbacks)
{
    CheckPanFactor(pan);
    const std::vector<char> secondData = ReadWholeFile(second);
    const std::vector<char> firstData = ReadWholeFile(first);
    const std::optional<std::string> text =
        merge({firstData, FileNameOf(first)}, {secondData, FileNameOf(second)}, pan, callbacks);
    if (!text)
        return false;
    WriteFileAtomically(output, *text);
    return true;
}

} // namespace

bool MergeWestEast(const std::filesystem::path& west, const std::filesystem::path& east,
                   const std::filesystem::path& output, double pan, const TMergeCallbacks& callbacks)
{
    return MergeFiles(&MergeWestEastData, west, east, output, pan, callbacks);
}

bool MergeSouthNorth(const std::filesystem::path& south, const std::filesystem::path& north,
                     const std::filesystem::path& output, double pan, const TMergeCallbacks& callbacks)
{
    return MergeFiles(&MergeSouthNorthData, south, north, output, pan, callbacks);
}

} // namespace kv
