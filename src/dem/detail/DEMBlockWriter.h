#pragma once
// Writes USGS DEM text: fixed-width fields appended to 1024-byte blocks. A field that would
// make the block longer than 1023 characters first flushes it; flushing pads the block with
// blanks to 1024 characters. No line breaks are written. Numbers always use ".".

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Field texts, exactly as they stand in a block.
std::string FormatI6(int64_t value);   // right-aligned in 6; throws EKorvelaError when it does not fit
std::string FormatD24(double value);   // 1.5 -> "   1.500000000000000D+00", 0 -> "   0.0" + 18 blanks
std::string FormatE12(double value);   // 30 -> "3.000000E+01", 0 -> "0.0" + 9 blanks
std::string FormatA(std::string_view text, int width); // right-aligned, cut to width

class TDEMBlockWriter {
public:
    static constexpr int BlockSize = 1024;

    // Appends one field; flushes first when the block would grow past 1023 characters.
    void Put(std::string_view field);
    void PutInt(int64_t value) { Put(FormatI6(value)); }
    void PutD24(double value) { Put(FormatD24(value)); }
    void PutE12(double value) { Put(FormatE12(value)); }

    // Pads the current block to 1024 characters and moves it to the output. An empty block
    // writes nothing.
    void Flush();

    // Appends raw bytes to the output after flushing (a trailing record copied as it is).
    void PutRaw(std::string_view bytes);

    // Everything flushed so far.
    const std::string& Output() const { return Output_; }
    std::string TakeOutput() { return std::move(Output_); }
    void Reserve(size_t bytes) { Output_.reserve(bytes); }

private:
    std::string Output_;
    size_t BlockStart_ = 0; // offset in Output_ of the block being filled
    bool BlockOpen_ = false;
};

} // namespace kv
