#pragma once
// Joins two neighbouring USGS DEM files into a third, side by side (west and east) or one
// above the other (south and north). The result has the size of the first input and covers
// a window slid across the seam by the pan factor: 0 keeps the first file's area, 1 moves
// the window fully onto the second file, 0.5 centres it on the seam. The files are merged
// as text, profile by profile, without building a grid. The result numbers its profiles in
// the order written (row 1, columns 1 to n), whatever their numbers in the inputs.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace kv {

struct TMergeCallbacks {
    // Asked when the files look incompatible; the text is the question shown to the user.
    // Returning false (or having no Confirm) refuses the merge.
    std::function<bool(const std::string& question)> Confirm;
    // The gauge: called with 0 at the start, at every 12th step, and with 0 at the end.
    std::function<void(int position, int maximum)> Progress;
};

// Merges the west and east files into `output`. Returns false when the caller refused the
// merge; `output` is then left as it was. The output is written (atomically) only when the
// merge succeeded. Throws EKorvelaError: "Cannot open file <name>", "Stream read error", a
// field conversion message, a pan factor outside 0..1, or input whose sizes do not add up.
bool MergeWestEast(const std::filesystem::path& west, const std::filesystem::path& east,
                   const std::filesystem::path& output, double pan, const TMergeCallbacks& callbacks);

// Merges the south and north files into `output`; otherwise as MergeWestEast.
bool MergeSouthNorth(const std::filesystem::path& south, const std::filesystem::path& north,
                     const std::filesystem::path& output, double pan, const TMergeCallbacks& callbacks);

// One input held in memory; `Name` is the file name (without folder) used in the map name.
struct TMergeSource {
    std::span<const char> Data;
    std::string Name;
};

// The merges on files held in memory: the output file's text, or nothing when the caller
// refused. Throw as the file versions do (except for opening files).
std::optional<std::string> MergeWestEastData(const TMergeSource& west, const TMergeSource& east, double pan,
                                             const TMergeCallbacks& callbacks);
std::optional<std::string> MergeSouthNorthData(const TMergeSource& south, const TMergeSource& north, double pan,
                                               const TMergeCallbacks& callbacks);

// How the west-east merge walks the profiles of both files.
struct TWestEastPlan {
    int64_t Skew = 0;         // profiles along the seam that both files share in part
    int64_t Common = 0;       // profiles the window can slide over
    int64_t Shift = 0;        // west profiles dropped and east profiles added
    int64_t WestTail = 0;     // west profiles copied unchanged
    int64_t GaugeMaximum = 0;
};

// skew = |trunc((westNEEast - westSEEast) / 30)|, common = min(counts) - skew,
// shift = trunc(common x pan), westTail = westCount - shift - skew, gauge = westTail + 2 shift.
// Throws EKorvelaError when the pan factor lies outside 0..1 or the skew exceeds the
// profiles of either file.
TWestEastPlan PlanWestEast(int64_t westCount, int64_t eastCount, double westNEEast, double westSEEast, double pan);

// "West/East Merged: " + first + "(" + (1 - pan) x 100 without decimals + "%) and " + second,
// cut to 144 characters (`title` gives the first part).
std::string MergedMapName(const std::string& title, const std::string& first, const std::string& second,
                          double pan);

} // namespace kv
