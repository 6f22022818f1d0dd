#pragma once
// A read-only byte stream over a block of memory (usually a whole file read with ReadWholeFile).
// The position never leaves 0..Size(): seeks beyond the end stop at the end, reads past the end
// return fewer bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kv {

class TByteStream {
public:
    TByteStream() = default;
    // The stream does not own `data`; the bytes must outlive it.
    explicit TByteStream(std::string_view data) : Data_(data) {}

    int64_t Size() const { return static_cast<int64_t>(Data_.size()); }
    int64_t Position() const { return Position_; }
    bool AtEnd() const { return Position_ >= Size(); }
    int64_t Remaining() const { return Size() - Position_; }

    // Moves to `position`, clamped to 0..Size().
    void Seek(int64_t position) { Position_ = std::clamp<int64_t>(position, 0, Size()); }

    // Copies up to `count` bytes to `dest` and returns how many were copied.
    size_t Read(void* dest, size_t count)
    {
        const size_t n = std::min(count, static_cast<size_t>(Remaining()));
        if (n > 0)
            std::memcpy(dest, Data_.data() + Position_, n);
        Position_ += static_cast<int64_t>(n);
        return n;
    }

    // The next `count` bytes (fewer at the end) without copying; advances past them.
    std::string_view ReadView(size_t count)
    {
        const size_t n = std::min(count, static_cast<size_t>(Remaining()));
        const std::string_view view = Data_.substr(static_cast<size_t>(Position_), n);
        Position_ += static_cast<int64_t>(n);
        return view;
    }

    // The bytes from the current position to the end.
    std::string_view Rest() const { return Data_.substr(static_cast<size_t>(Position_)); }

private:
    std::string_view Data_;
    int64_t Position_ = 0;
};

} // namespace kv
