#include "dem/DEMLib.h"

#include "platform/KVError.h"
#include "platform/MemoryStatus.h"
#include "platform/Units.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kv {

namespace {

// Asks for the memory of a large grid to be backed by huge pages where the system offers them
// (Linux's transparent huge pages): a 3601 x 3601 grid then costs a few dozen page faults
// instead of 13,000, which on virtual machines dominate the time to load it.
void PreferHugePages([[maybe_unused]] void* data, [[maybe_unused]] size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t hugePage = uintptr_t{2} << 20;
    if (bytes < 2 * hugePage)
        return;
    constexpr uintptr_t page = 4096;
    const auto start = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(page - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE); // advice only: failure is harmless
#endif
}

} // namespace

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
