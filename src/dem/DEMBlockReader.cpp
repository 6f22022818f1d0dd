#include "DEMBlockReader.h"

#include "DEMFields.h"
#include "platform/KVError.h"

#include <algorithm>
#include <cstring>

namespace kv {

namespace {

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

size_t TDEMBlockReader::DataOffsetOf(int blockPos) const
{
    // Count the block's bytes again from where it began, stepping over line breaks.
    size_t pos = BlockStart_;
    int seen = 0;
    while (pos < Data_.size()) {
        if (IsLineBreak(Data_[pos])) {
            ++pos;
            continue;
        }
        if (seen == blockPos)
            return pos;
        ++seen;
        ++pos;
    }
    return Data_.size();
}

void TDEMBlockReader::ReadBlock()
{
    int filled = 0;
    BlockStart_ = StreamPos_;
    const char* data = Data_.data();
    const size_t size = Data_.size();
    while (filled < BlockSize && StreamPos_ < size) {
        const char c = data[StreamPos_];
        if (IsLineBreak(c)) {
            (c == '\r' ? CarriageReturns_ : LineFeeds_)++;
            while (StreamPos_ < size && IsLineBreak(data[StreamPos_]))
                ++StreamPos_;
            continue;
        }
        // Copy the run up to the next line break in one go.
        size_t run = std::min<size_t>(static_cast<size_t>(BlockSize - filled), size - StreamPos_);
        const char* start = data + StreamPos_;
        for (size_t i = 0; i < run; ++i) {
            if (IsLineBreak(start[i])) {
                run = i;
                break;
            }
        }
        std::memcpy(Block_ + filled, start, run);
        filled += static_cast<int>(run);
        StreamPos_ += run;
    }
    BlockLen_ = filled;
    BlockPos_ = 0;
    HaveBlock_ = true;
}

std::string_view TDEMBlockReader::ReadField(int width, const char* field)
{
    if (!HaveBlock_ || BlockPos_ + width > BlockSize - 1)
        ReadBlock();
    if (BlockPos_ + width > BlockLen_)
        throw EDEMFieldError("Stream read error", Data_.size(), true, field);
    const std::string_view text(Block_ + BlockPos_, static_cast<size_t>(width));
    BlockPos_ += width;
    return text;
}

int32_t TDEMBlockReader::ReadInt(int width, const char* field)
{
    const std::string_view text = ReadField(width, field);
    int32_t value = 0;
    if (!TryParseIntField(text, value))
        throw EDEMFieldError(InvalidIntegerMessage(text), DataOffsetOf(BlockPos_ - width), false, field);
    return value;
}

double TDEMBlockReader::ReadReal(int width, bool emptyIsZero, const char* field)
{
    const std::string_view text = ReadField(width, field);
    double value = 0.0;
    if (!TryParseRealField(text, emptyIsZero, value))
        throw EDEMFieldError(InvalidRealMessage(text), DataOffsetOf(BlockPos_ - width), false, field);
    return value;
}

std::string TDEMBlockReader::ReadText(int width, const char* field)
{
    return FoldBlanks(ReadField(width, field));
}

void TDEMBlockReader::SkipFields(int64_t count, int width)
{
    for (int64_t i = 0; i < count; ++i)
        ReadField(width);
}

} // namespace kv
