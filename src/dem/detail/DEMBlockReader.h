#pragma once
// Reads a USGS DEM file as a sequence of 1024-byte blocks of fixed-width fields.
//
// Line breaks are not data: a carriage return or line feed, together with any run of
// CR and LF after it, is skipped while a block fills, and counted by the kind of its first
// byte. Files with or without line breaks between (or inside) records thus read alike.
// The file may end in the padding of its last block: only a field that lies beyond the
// end of the data raises "Stream read error".

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kv {

class TDEMBlockReader {
public:
    static constexpr int BlockSize = 1024;

    explicit TDEMBlockReader(std::span<const char> data) : Data_(data) {}

    // Starts a new block at the stream's current position (record B starts a block).
    void ReadBlock();

    // A field of `width` characters; a field that would reach the block's last byte or
    // beyond is taken from a new block. The returned view lives until the next read.
    std::string_view ReadField(int width);

    int32_t ReadInt(int width);                         // I<width>
    double ReadReal(int width, bool emptyIsZero = true); // D<width> and E<width>
    std::string ReadText(int width);                    // A<width>, blanks folded

    // Skips `count` fields of `width` characters, as reading them would, without converting.
    void SkipFields(int64_t count, int width);

    int32_t CarriageReturns() const { return CarriageReturns_; }
    int32_t LineFeeds() const { return LineFeeds_; }

    // Offset in the data just past the last block read.
    size_t StreamPosition() const { return StreamPos_; }

private:
    [[noreturn]] static void ThrowReadError();

    std::span<const char> Data_;
    size_t StreamPos_ = 0;
    char Block_[BlockSize] = {};
    int BlockLen_ = 0;   // bytes of Block_ that hold data; < BlockSize only at the end of the file
    int BlockPos_ = BlockSize;
    bool HaveBlock_ = false;
    int32_t CarriageReturns_ = 0;
    int32_t LineFeeds_ = 0;
};

} // namespace kv
