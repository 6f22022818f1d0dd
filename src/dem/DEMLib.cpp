#include "dem/DEMLib.h"

#include "platform/HugePages.h"
#include "platform/KVError.h"
#include "platform/MemoryStatus.h"
#include "platform/Units.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kv {

T2DIntArray::T2DIntArray(int32_t cols, int32_t rows)
{
    SetSize(cols, rows);
}

void T2DIntArray::SetSize(int32_t cols, int32_t rows)
{
    cols = std::max(cols, 0);
    rows = cols == 0 ? 0 : std::max(rows, 0);
    if (cols == Cols_ && rows == Rows_)
        return;
    const size_t count = static_cast<size_t>(cols) * static_cast<size_t>(rows);
    std::vector<int32_t> cells;
    cells.reserve(count);
    PreferHugePages(cells.data(), count * sizeof(int32_t));
    cells.resize(count, 0);
    const int32_t keepCols = std::min(cols, Cols_);
    const int32_t keepRows = std::min(rows, Rows_);
    for (int32_t c = 0; c < keepCols; ++c) {
        const int32_t* from = Column(c);
        std::copy(from, from + keepRows, cells.data() + static_cast<size_t>(c) * static_cast<size_t>(rows));
    }
    Cells_.swap(cells);
    Cols_ = cols;
    Rows_ = rows;
}

double ElevationInMeters(const TDEMInfo& info, double elevation)
{
    return info.ElevUnits == ucFeet ? elevation * MetersPerFoot : elevation;
}

int64_t GridColumns(const TDEMInfo& info)
{
    if (info.SourceFormat == dfSDTS || info.SourceFormat == dfGDAL)
        return info.ProfileCols;
    return int64_t{info.ProfileRows} * int64_t{info.ProfileCols};
}

void CheckGridSize(int64_t cols, int64_t rows, const std::string& what)
{
    constexpr int64_t maxIndex = std::numeric_limits<int32_t>::max();
    if (cols < 0 || rows < 0)
        throw EKorvelaError(what + " has an invalid grid size: " + std::to_string(cols) + " columns by " +
                            std::to_string(rows) + " rows");
    if (cols > maxIndex || rows > maxIndex)
        throw EKorvelaError(what + " is too large: " + std::to_string(cols) + " columns by " +
                            std::to_string(rows) + " rows");
    const long double bytes = static_cast<long double>(cols) * static_cast<long double>(rows) * sizeof(int32_t);
    const uint64_t available = AvailableMemoryBytes();
    if (bytes > static_cast<long double>(available) ||
        bytes > static_cast<long double>(std::numeric_limits<size_t>::max() / 2))
        throw EKorvelaError(what + " needs " + std::to_string(static_cast<uint64_t>(bytes / (1024.0L * 1024.0L))) +
                            " MiB for its grid of " + std::to_string(cols) + " by " + std::to_string(rows) +
                            " cells, more than the " + std::to_string(available / (1024 * 1024)) +
                            " MiB available");
}

} // namespace kv
