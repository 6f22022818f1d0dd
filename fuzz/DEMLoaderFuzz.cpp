// Feeds arbitrary bytes to the USGS DEM reader: it must fail only with EKorvelaError (or run
// out of memory cleanly), never crash, hang or read out of bounds.
#include "dem/DEMLoader.h"
#include "platform/KVError.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kv::TDEMArray dem;
    try {
        kv::LoadDEMStream(std::span<const char>(reinterpret_cast<const char*>(data), size), dem);
    } catch (const kv::EKorvelaError&) {
    } catch (const std::bad_alloc&) {
    }
    // Whatever happened, the grid must describe its cells.
    if (dem.Cols() > 0 && dem.Rows() > 0)
        (void)dem.GetValue(dem.Cols() - 1, dem.Rows() - 1);
    return 0;
}
