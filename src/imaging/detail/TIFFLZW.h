#pragma once
// LZW decoding of one TIFF strip: codes most significant bit first, 9 to 12 bits wide, Clear
// (256) and EndOfInformation (257), the width growing one code early.

#include <cstdint>
#include <span>

namespace kv {

// Decodes `input` into `output`, dropping what does not fit; stops at EndOfInformation or at the
// end of the input. Returns the bytes written. Throws EKorvelaError "Invalid LZW Code" for a
// code beyond the next free one (or a first code that refers to the table).
size_t DecodeTIFFLZW(std::span<const uint8_t> input, std::span<uint8_t> output);

} // namespace kv
