// Feeds arbitrary bytes to the DEM merge as two input files: only EKorvelaError may come out,
// nothing may crash, hang, read out of bounds or allocate beyond what the input justifies.
//
// Layout: byte 0 picks the merge (bit 0: south-north), whether the compatibility question is
// answered yes (bit 1) and the pan factor (bits 2..7, 0 to 1 in 63 steps); bytes 1-2 (little
// endian) say where the first file ends; the rest is the two files.
#include "dem/KVDEMMerge.h"
#include "platform/KVError.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const uint8_t mode = data[0];
    const size_t split = static_cast<size_t>(data[1]) | (static_cast<size_t>(data[2]) << 8);
    const std::span<const char> files(reinterpret_cast<const char*>(data + 3), size - 3);
    const size_t firstSize = split < files.size() ? split : files.size();
    const kv::TMergeSource first{files.first(firstSize), "first.dem"};
    const kv::TMergeSource second{files.subspan(firstSize), "second.dem"};
    const double pan = static_cast<double>(mode >> 2) / 63.0;
    kv::TMergeCallbacks callbacks;
    const bool yes = (mode & 2) != 0;
    callbacks.Confirm = [yes](const std::string&) { return yes; };
    try {
        if (mode & 1)
            (void)kv::MergeSouthNorthData(first, second, pan, callbacks);
        else
            (void)kv::MergeWestEastData(first, second, pan, callbacks);
    } catch (const kv::EKorvelaError&) {
    }
    return 0;
}
