#include "platform/MemoryStatus.h"

#include <cstdio>
#include <cstring>
#include <sys/sysinfo.h>

namespace kv {

namespace {

// MemAvailable + SwapFree from /proc/meminfo, in bytes; 0 when unreadable.
uint64_t MemInfoAvailable()
{
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (!file)
        return 0;
    uint64_t total = 0;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        unsigned long long kib = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1 || std::sscanf(line, "SwapFree: %llu kB", &kib) == 1)
            total += static_cast<uint64_t>(kib) * 1024;
    }
    std::fclose(file);
    return total;
}

} // namespace

uint64_t AvailableMemoryBytes()
{
    if (const uint64_t bytes = MemInfoAvailable())
        return bytes;
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return uint64_t{1} << 30;
    const uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    const uint64_t bytes = (static_cast<uint64_t>(info.freeram) + info.bufferram + info.freeswap) * unit;
    return bytes ? bytes : 1;
}

} // namespace kv
