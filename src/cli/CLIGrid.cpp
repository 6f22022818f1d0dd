#include "cli/CLICommon.h"

#include "gdalio/KVElevationFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string>

namespace kv::cli {

const char* const GridHelp =
    "Usage: korvela3d-cli grid FILE [--summary]\n"
    "\n"
    "Prints the elevation grid of FILE: first a line \"cols,rows\", then one line per\n"
    "grid row from the northernmost down to row 0, each the cells from west to east\n"
    "joined by \",\". A cell without data prints as -2147483648.\n"
    "With --summary: the \"cols,rows\" line, then the counts of valid and void cells\n"
    "and the lowest and highest valid elevation. A FILE starting with '-' goes after '--'.\n";

namespace {

void PrintSummary(const TDEMArray& dem)
{
    int64_t valid = 0;
    int32_t low = 0;
    int32_t high = 0;
    for (int32_t c = 0; c < dem.Cols(); ++c) {
        const int32_t* column = dem.Column(c);
        for (int32_t r = 0; r < dem.Rows(); ++r) {
            const int32_t v = column[r];
            if (v == VoidValue)
                continue;
            low = valid == 0 ? v : std::min(low, v);
            high = valid == 0 ? v : std::max(high, v);
            ++valid;
        }
    }
    const int64_t cells = int64_t{dem.Cols()} * dem.Rows();
    std::printf("valid cells: %lld\nvoid cells: %lld\n", static_cast<long long>(valid),
                static_cast<long long>(cells - valid));
    if (valid > 0)
        std::printf("elevations: %d to %d\n", low, high);
}

void PrintRows(const TDEMArray& dem)
{
    std::string line;
    char number[16];
    for (int32_t r = dem.Rows() - 1; r >= 0; --r) {
        line.clear();
        for (int32_t c = 0; c < dem.Cols(); ++c) {
            if (c > 0)
                line += ',';
            const auto result = std::to_chars(number, number + sizeof number, dem.GetValue(c, r));
            line.append(number, result.ptr);
        }
        line += '\n';
        // Output that cannot be written (a full disk) ends the listing at once.
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size())
            throw EKorvelaError(OutputErrorMessage(errno));
    }
}

} // namespace

int RunGrid(const TArgs& args)
{
    const TSplitArgs split = SplitArgs(args);
    bool summary = false;
    for (const TOption& option : split.Options) {
        if (option.Name == "--summary")
            summary = true;
        else
            throw EUsageError{"unknown option '" + option.Name + "'"};
    }
    if (split.Operands.empty())
        throw EUsageError{"grid needs a FILE"};
    if (split.Operands.size() > 1)
        throw EUsageError{"grid takes one file"};
    const std::string& file = split.Operands.front();

    TDEMArray dem;
    LoadElevationFile(file, dem, TerminalProgress("reading"));
    std::printf("%d,%d\n", dem.Cols(), dem.Rows());
    if (summary)
        PrintSummary(dem);
    else
        PrintRows(dem);
    return 0;
}

} // namespace kv::cli
