// Writes the benchmark's sample grid as a USGS DEM file, for timing whole processes against
// other tools: MakeBenchDEM FILE [SIZE] writes a SIZE x SIZE grid (3601 unless given).
#include "dem/DEMWriter.h"
#include "platform/KVError.h"
#include "support/DEMFixtures.h"

#include <charconv>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: MakeBenchDEM FILE [SIZE]\n");
        return 1;
    }
    int32_t size = 3601;
    if (argc == 3) {
        const char* end = argv[2] + std::strlen(argv[2]);
        const auto result = std::from_chars(argv[2], end, size);
        if (result.ec != std::errc() || result.ptr != end || size < 1 || size > 20000) {
            std::fprintf(stderr, "MakeBenchDEM: SIZE must be a number from 1 to 20000\n");
            return 1;
        }
    }
    try {
        kv::SaveDEMFile(argv[1], kv::test::MakeSampleDEM(size, size));
    } catch (const kv::EKorvelaError& error) {
        std::fprintf(stderr, "MakeBenchDEM: %s\n", error.what());
        return 1;
    }
    return 0;
}
