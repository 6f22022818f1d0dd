#include "support/GDALPeer.h"

#include "dem/DEMLoader.h"
#include "support/TestData.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>

namespace kv::test {

namespace {

bool RunsCleanly(const std::string& command)
{
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The next blank-separated number of `text` from `pos`; throws on anything else.
double NextNumber(std::string_view text, size_t& pos)
{
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (error != std::errc())
        throw std::runtime_error("GDAL's XYZ output holds no number at: " + std::string(text.substr(pos, 40)));
    pos = static_cast<size_t>(end - text.data());
    return value;
}

} // namespace

std::string GDALMissingReason()
{
    if (RunsCleanly("gdal_translate --version >/dev/null 2>&1"))
        return {};
    return "gdal_translate is not installed (scripts/install-deps.sh installs gdal-bin), so no peer can "
           "read our files back";
}

TPeerGrid ReadWithGDAL(const std::filesystem::path& fileName, const std::filesystem::path& scratch,
                       bool arcSeconds)
{
    const std::filesystem::path xyz = scratch / "peer.xyz";
    const std::filesystem::path errors = scratch / "peer-errors.txt";
    if (!RunsCleanly("gdal_translate -q -of XYZ " + ShellQuoted(fileName.string()) + " " + ShellQuoted(xyz.string()) +
                     " 2>" + ShellQuoted(errors.string())))
        throw std::runtime_error("GDAL does not read " + fileName.filename().string() + ": " +
                                 ReadFileText(errors));

    // One line "x y z" per cell, the northern row first, each row from west to east.
    const std::string text = ReadFileText(xyz);
    std::vector<double> xs, ys, zs;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        const std::string_view line(text.data() + pos, (end == std::string::npos ? text.size() : end) - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (line.find_first_not_of(" \r") == std::string_view::npos)
            continue;
        size_t at = 0;
        xs.push_back(NextNumber(line, at));
        ys.push_back(NextNumber(line, at));
        zs.push_back(NextNumber(line, at));
    }
    TPeerGrid grid;
    while (static_cast<size_t>(grid.Cols) < ys.size() && ys[grid.Cols] == ys.front())
        ++grid.Cols;
    if (grid.Cols == 0 || zs.size() % grid.Cols != 0)
        throw std::runtime_error("GDAL's XYZ output of " + fileName.filename().string() + " is not a grid");
    grid.Rows = static_cast<int32_t>(zs.size() / grid.Cols);
    grid.Values.resize(zs.size());
    for (int32_t line = 0; line < grid.Rows; ++line)
        for (int32_t col = 0; col < grid.Cols; ++col)
            grid.Values[static_cast<size_t>(grid.Rows - 1 - line) * grid.Cols + col] =
                zs[static_cast<size_t>(line) * grid.Cols + col];
    const double unit = arcSeconds ? 3600.0 : 1.0;
    grid.WestX = xs.front() * unit;
    grid.SouthY = ys.back() * unit;
    grid.XSpacing = grid.Cols > 1 ? (xs[1] - xs[0]) * unit : 0.0;
    grid.YSpacing = grid.Rows > 1 ? (ys.front() - ys[grid.Cols]) * unit : 0.0;
    return grid;
}

std::vector<std::string> PeerDifferences(const TDEMArray& ours, const TPeerGrid& peer, double toleranceCells)
{
    std::vector<std::string> differences;
    const TDEMInfo& info = ours.Info;
    if (peer.Cols != ours.Cols() || peer.Rows < ours.Rows()) {
        differences.push_back("the peer reads " + std::to_string(peer.Cols) + " x " + std::to_string(peer.Rows) +
                              " cells, we read " + std::to_string(ours.Cols()) + " x " +
                              std::to_string(ours.Rows()));
        return differences;
    }
    const double xOffset = (peer.WestX - info.Corners[cnSW].East) / info.Resolution[0];
    const double yOffset = (peer.SouthY - BaseNorthOf(info)) / info.Resolution[1];
    if (!(std::fabs(xOffset) <= toleranceCells + 1e-6 && std::fabs(yOffset) <= toleranceCells + 1e-6))
        differences.push_back("the peer places the south-west cell " + std::to_string(xOffset) + " columns and " +
                              std::to_string(yOffset) + " rows away from ours");
    int64_t count = 0;
    for (int32_t col = 0; col < ours.Cols(); ++col)
        for (int32_t row = 0; row < ours.Rows(); ++row) {
            const int32_t value = ours.GetValue(col, row);
            const double theirs = peer.At(col, row);
            const bool same = value == VoidValue ? theirs <= -32767.0 : theirs == static_cast<double>(value);
            if (same)
                continue;
            if (++count <= 10)
                differences.push_back("cell (" + std::to_string(col) + ", " + std::to_string(row) + "): ours " +
                                      std::to_string(value) + ", the peer's " + std::to_string(theirs));
        }
    if (count > 10)
        differences.push_back(std::to_string(count) + " cells differ in all");
    return differences;
}

} // namespace kv::test
