#include "TIFFLZW.h"

#include "platform/KVError.h"

#include <array>
#include <cstring>

namespace kv {

namespace {

constexpr uint32_t ClearCode = 256;
constexpr uint32_t EndCode = 257;
constexpr uint32_t FirstFreeCode = 258;
constexpr uint32_t TableSize = 4096;

// Every entry is its prefix's string plus one byte; strings are written back to front.
struct TEntry {
    uint16_t Prefix = 0;
    uint8_t Last = 0;
    uint8_t First = 0;
    uint16_t Length = 0;
};

class TBitReader {
public:
    explicit TBitReader(std::span<const uint8_t> input) : Input_(input) {}

    // False at the end of the input.
    bool Read(int width, uint32_t& code)
    {
        while (Count_ < width) {
            if (Position_ >= Input_.size())
                return false;
            Buffer_ = (Buffer_ << 8) | Input_[Position_++];
            Count_ += 8;
        }
        Count_ -= width;
        code = static_cast<uint32_t>(Buffer_ >> Count_) & ((1u << width) - 1);
        return true;
    }

private:
    std::span<const uint8_t> Input_;
    size_t Position_ = 0;
    uint64_t Buffer_ = 0;
    int Count_ = 0;
};

} // namespace

size_t DecodeTIFFLZW(std::span<const uint8_t> input, std::span<uint8_t> output)
{
    std::array<TEntry, TableSize> table{};
    for (uint32_t i = 0; i < 256; ++i)
        table[i] = {0, static_cast<uint8_t>(i), static_cast<uint8_t>(i), 1};
    std::array<uint8_t, TableSize> text{}; // one string, back to front

    TBitReader bits(input);
    uint32_t next = FirstFreeCode;
    int width = 9;
    bool havePrevious = false;
    uint32_t previous = 0;
    size_t written = 0;
    uint32_t code = 0;

    while (bits.Read(width, code) && code != EndCode) {
        if (code == ClearCode) {
            next = FirstFreeCode;
            width = 9;
            havePrevious = false;
            continue;
        }
        if (code > next || (code >= FirstFreeCode && !havePrevious) || (code == next && next >= TableSize))
            throw EKorvelaError("Invalid LZW Code");
        // The code just being defined is the previous string followed by its own first byte.
        const bool pending = code == next;
        const TEntry& known = pending ? table[previous] : table[code];
        const uint8_t first = known.First;
        size_t length = known.Length;
        uint32_t walk = pending ? previous : code;
        size_t at = length;
        for (;;) {
            text[--at] = table[walk].Last;
            if (at == 0)
                break;
            walk = table[walk].Prefix;
        }
        if (pending)
            text[length++] = first;

        const size_t room = output.size() - written;
        const size_t copied = length < room ? length : room;
        if (copied > 0)
            std::memcpy(output.data() + written, text.data(), copied);
        written += copied;

        if (havePrevious && next < TableSize) {
            const TEntry& base = table[previous];
            table[next] = {static_cast<uint16_t>(previous), text[0], base.First,
                           static_cast<uint16_t>(base.Length + 1)};
            ++next;
        }
        if (next == (1u << width) - 1 && width < 12)
            ++width;
        previous = code;
        havePrevious = true;
    }
    return written;
}

} // namespace kv
