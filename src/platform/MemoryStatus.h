#pragma once
// What the machine can give us, so that sizes read from files are checked before allocating.

#include <cstdint>

namespace kv {

// Bytes of memory the process can still reasonably allocate: the available physical memory
// plus free swap, as the system reports it. Never 0.
uint64_t AvailableMemoryBytes();

} // namespace kv
