#pragma once
// Reads a USGS DEM file as a sequence of 1024-byte blocks of fixed-width fields.
//
// Line breaks are not data: a carriage return or line feed, together with any run of
// CR and LF after it, is skipped while a block fills, and counted by the kind of its first
// byte. Files with or without line breaks between (or inside) records thus read alike.
// The file may end in the padding of its last block: only a field that lies beyond the
// end of the data raises "Stream read error".

#include "platform/KVError.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kv {

// A field that could not be read. The message is the plain one ("Stream read error", or the
// conversion's "'<text>' is not a valid integer value"); the other members say where, so that a
// reader which knows the record around the field can name it.
class EDEMFieldError : public EKorvelaError {
public:
    EDEMFieldError(const std::string& message, size_t offset, bool endOfData, const char* field)
        : EKorvelaError(message), Offset_(offset), EndOfData_(endOfData), Field_(field)
    {
    }

    // Offset in the data of the field's first byte; when the data ended first, its size.
    size_t Offset() const { return Offset_; }
    bool EndOfData() const { return EndOfData_; }
    // The name the caller gave the field ("the y spacing"), or null.
    const char* Field() const { return Field_; }

private:
    size_t Offset_;
    bool EndOfData_;
    const char* Field_;
};

class TDEMBlockReader {
public:
    static constexpr int BlockSize = 1024;

    explicit TDEMBlockReader(std::span<const char> data) : Data_(data) {}

    // Starts a new block at the stream's current position (record B starts a block).
    void ReadBlock();

    // A field of `width` characters; a field that would reach the block's last byte or
    // beyond is taken from a new block. The returned view lives until the next read.
    // `field`, a name with static storage, is carried by the EDEMFieldError a failure throws.
    std::string_view ReadField(int width, const char* field = nullptr);

    int32_t ReadInt(int width, const char* field = nullptr);                          // I<width>
    double ReadReal(int width, bool emptyIsZero = true, const char* field = nullptr); // D<width>, E<width>
    std::string ReadText(int width, const char* field = nullptr);                     // A<width>, blanks folded

    // Skips `count` fields of `width` characters, as reading them would, without converting.
    void SkipFields(int64_t count, int width);

    int32_t CarriageReturns() const { return CarriageReturns_; }
    int32_t LineFeeds() const { return LineFeeds_; }

    // Offset in the data just past the last block read.
    size_t StreamPosition() const { return StreamPos_; }

    // Bytes of data in the current block: BlockSize, less only where the data ended.
    int BlockLength() const { return BlockLen_; }

    // Offset in the data of the current block's byte `blockPos` (0 <= blockPos < BlockLength()).
    size_t DataOffsetOf(int blockPos) const;

private:
    std::span<const char> Data_;
    size_t StreamPos_ = 0;
    size_t BlockStart_ = 0; // where the current block began to fill
    char Block_[BlockSize] = {};
    int BlockLen_ = 0;   // bytes of Block_ that hold data; < BlockSize only at the end of the file
    int BlockPos_ = BlockSize;
    bool HaveBlock_ = false;
    int32_t CarriageReturns_ = 0;
    int32_t LineFeeds_ = 0;
};

} // namespace kv
