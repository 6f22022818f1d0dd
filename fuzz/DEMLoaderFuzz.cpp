// Feeds arbitrary bytes to the USGS DEM reader: it must fail only with EKorvelaError (or run
// out of memory cleanly), never crash, hang or read out of bounds. Both ways of reading the
// profiles run on every input and must agree: the same grid, range, defect report and message.
#include "dem/DEMLoader.h"
#include "platform/KVError.h"

#include "DEMLoaderPaths.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string>

namespace {

struct TOutcome {
    std::optional<std::string> Message;
    bool OutOfMemory = false;
};

TOutcome Load(std::span<const char> data, kv::TDEMArray& dem, const kv::TDEMReadOptions& options)
{
    TOutcome outcome;
    try {
        kv::LoadDEMStreamWith(data, dem, "fuzz.dem", options);
    } catch (const kv::EKorvelaError& error) {
        outcome.Message = error.what();
    } catch (const std::bad_alloc&) {
        outcome.OutOfMemory = true;
    }
    // Whatever happened, the grid must describe its cells.
    if (dem.Cols() > 0 && dem.Rows() > 0)
        (void)dem.GetValue(dem.Cols() - 1, dem.Rows() - 1);
    return outcome;
}

bool SameCells(const kv::TDEMArray& a, const kv::TDEMArray& b)
{
    if (a.Cols() != b.Cols() || a.Rows() != b.Rows())
        return false;
    if (a.Rows() == 0)
        return true;
    for (int32_t col = 0; col < a.Cols(); ++col)
        if (std::memcmp(a.Column(col), b.Column(col), sizeof(int32_t) * static_cast<size_t>(a.Rows())) != 0)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    kv::TDEMReadOptions inOrder;
    inOrder.InOrder = true;
    kv::TDEMReadOptions parallel;
    parallel.Threads = 1 + static_cast<unsigned>(size % 3);

    kv::TDEMArray expected;
    kv::TDEMArray actual;
    const TOutcome reference = Load(bytes, expected, inOrder);
    const TOutcome found = Load(bytes, actual, parallel);
    if (reference.OutOfMemory || found.OutOfMemory)
        return 0;
    const kv::TDEMInfo& a = actual.Info;
    const kv::TDEMInfo& e = expected.Info;
    const bool agree = found.Message == reference.Message && a.ErrorText == e.ErrorText &&
                       a.ErrorCount == e.ErrorCount && a.DataMin == e.DataMin && a.DataMax == e.DataMax &&
                       (reference.Message.has_value() || SameCells(actual, expected));
    if (!agree)
        std::abort();
    return 0;
}
