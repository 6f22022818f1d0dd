#pragma once
// Sequential reading of a picture file held in memory, every read checked against its end.

#include "platform/KVError.h"

#include <cstdint>
#include <span>
#include <string>

namespace kv {

class TPictureBytes {
public:
    TPictureBytes(std::span<const uint8_t> data, const std::string& name) : Data_(data), Name_(name) {}

    const std::string& Name() const { return Name_; }
    size_t Position() const { return Position_; }
    size_t Remaining() const { return Data_.size() - Position_; }
    std::span<const uint8_t> Rest() const { return Data_.subspan(Position_); }
    void Seek(size_t position) { Position_ = position < Data_.size() ? position : Data_.size(); }

    // Each throws EKorvelaError "<name>: the file ends at byte N inside <what>" when the bytes are
    // not there.
    std::span<const uint8_t> Take(size_t count, const char* what)
    {
        if (count > Remaining())
            throw EKorvelaError(Name_ + ": the file ends at byte " + std::to_string(Data_.size()) + " inside " + what +
                                " (" + std::to_string(count) + " bytes needed from byte " +
                                std::to_string(Position_) + ")");
        const std::span<const uint8_t> bytes = Data_.subspan(Position_, count);
        Position_ += count;
        return bytes;
    }
    uint8_t U8(const char* what) { return Take(1, what)[0]; }
    uint16_t U16LE(const char* what)
    {
        const auto b = Take(2, what);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    uint16_t U16BE(const char* what)
    {
        const auto b = Take(2, what);
        return static_cast<uint16_t>((b[0] << 8) | b[1]);
    }
    uint32_t U32BE(const char* what)
    {
        const auto b = Take(4, what);
        return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
    }

private:
    std::span<const uint8_t> Data_;
    std::string Name_;
    size_t Position_ = 0;
};

} // namespace kv
