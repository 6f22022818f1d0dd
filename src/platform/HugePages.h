#pragma once
// Advice that a large block of memory be backed by huge pages.

#include <cstddef>

namespace kv {

// Asks for the pages of a block of at least 4 MB to be backed by huge pages where the system
// offers them (Linux's transparent huge pages): a block of hundreds of megabytes then costs a few
// hundred page faults instead of tens of thousands, which on virtual machines dominate the time to
// fill it. Advice only: smaller blocks, other systems and a refusal change nothing.
void PreferHugePages(void* data, size_t bytes);

} // namespace kv
