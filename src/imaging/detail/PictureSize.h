#pragma once
// The memory rule every picture decoder follows: a picture may be far larger than its file
// (compression), but not beyond what the file's bytes could expand to, and never beyond the
// memory the machine has. Checked before the bitmap is allocated.

#include <cstdint>
#include <string>

namespace kv {

// Throws EKorvelaError naming `name` when a width x height picture of `bytesPerPixel` bytes is
// empty, too large for the bitmap's 32-bit sizes, more than `maxExpansion` times the file's
// `fileBytes` (with a floor of 1 MB, so tiny files always load), or more than is available.
void CheckPictureSize(const std::string& name, uint64_t width, uint64_t height, double bytesPerPixel,
                      uint64_t fileBytes, uint64_t maxExpansion);

} // namespace kv
