#pragma once
// The two ways the USGS DEM reader reads profiles, for the tests, benchmarks and fuzzers that
// compare them. LoadDEMStream chooses by itself.
//
// In order: one profile after the other through TDEMBlockReader, the reference.
// Found first: a cheap scan finds every profile's blocks and parses its header, then chunks of
// columns are parsed in parallel straight from the data. The scan expects line breaks only
// between blocks; when it meets anything it cannot vouch for (a line break inside a block, a
// field it cannot read, data that ends early), the profiles are read in order instead, so
// that every result, defect count and message is the one the in-order reading gives.

#include "dem/DEMLib.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace kv {

enum TDEMReadPath : uint8_t {
    rpInOrder,    // asked for, or too few profiles to find first
    rpFoundFirst, // found first, parsed in parallel
    rpFellBack,   // found first, then read in order after all
};

struct TDEMReadOptions {
    bool InOrder = false; // never find the profiles first
    unsigned Threads = 0; // 0: as many as pay off, at most hardware_concurrency; else exactly this many chunks
};

// LoadDEMStream with the path chosen by `options`; returns the path taken when the load succeeds.
TDEMReadPath LoadDEMStreamWith(std::span<const char> data, TDEMArray& dem, std::string_view name,
                               const TDEMReadOptions& options);

} // namespace kv
