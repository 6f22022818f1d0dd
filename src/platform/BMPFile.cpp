#include "platform/BMPFile.h"

#include "BMPRunLength.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace kv {

namespace {

__extension__ typedef unsigned __int128 TUWide;

constexpr uint32_t biRGB = 0, biRLE8 = 1, biRLE4 = 2, biBitFields = 3;
constexpr uint64_t FileHeaderBytes = 14;
constexpr uint64_t InfoHeaderBytes = 40;

std::string WideToString(TUWide value)
{
    std::string text;
    do {
        text.insert(text.begin(), char('0' + int(value % 10)));
        value /= 10;
    } while (value > 0);
    return text;
}

// Little-endian fields of the file, each checked against its length before it is read.
class TBMPReader {
public:
    TBMPReader(std::span<const char> data, const std::string& name)
        : data_(reinterpret_cast<const uint8_t*>(data.data()), data.size()), name_(name)
    {
    }

    uint64_t Size() const { return data_.size(); }
    std::span<const uint8_t> Bytes(uint64_t offset, uint64_t count) const
    {
        return data_.subspan(size_t(offset), size_t(count));
    }

    [[noreturn]] void Fail(const std::string& sentence) const { throw EKorvelaError(name_ + ": " + sentence); }

    // Throws unless `count` bytes of `what` fit from byte `offset` on.
    void Need(uint64_t offset, TUWide count, const std::string& what) const
    {
        const uint64_t available = offset <= data_.size() ? data_.size() - offset : 0;
        if (count > available)
            Fail("the " + what + " at byte " + std::to_string(offset) + " needs " + WideToString(count) +
                 " bytes, the file has " + std::to_string(available) + " from there");
    }

    uint32_t U16(uint64_t offset) const { return uint32_t(data_[offset]) | (uint32_t(data_[offset + 1]) << 8); }
    uint32_t U32(uint64_t offset) const { return U16(offset) | (U16(offset + 2) << 16); }
    int32_t S32(uint64_t offset) const { return std::bit_cast<int32_t>(U32(offset)); }

private:
    std::span<const uint8_t> data_;
    std::string name_;
};

// One colour channel of a bit-field pixel, scaled to 0 .. 255.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;

    explicit TChannel(uint32_t mask) : Mask(mask)
    {
        if (mask != 0) {
            Shift = std::countr_zero(mask);
            Max = mask >> Shift;
        }
    }
    bool Contiguous() const { return (Max & (Max + 1)) == 0; }
    uint8_t Of(uint32_t pixel) const
    {
        if (Max == 0)
            return 0;
        return uint8_t((uint64_t((pixel & Mask) >> Shift) * 255 + Max / 2) / Max);
    }
};

// "0x0000F800"
std::string Hex(uint32_t value)
{
    const char* digits = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += digits[(value >> shift) & 0xF];
    return text;
}

TPixelFormat FormatOfDepth(uint32_t bits)
{
    switch (bits) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        return pf15bit;
    case 24:
        return pf24bit;
    default:
        return pf32bit;
    }
}

} // namespace

TBitmap LoadBMPStream(std::span<const char> data, const std::string& name)
{
    const TBMPReader in(data, name);
    in.Need(0, FileHeaderBytes, "file header");
    if (in.U16(0) != 0x4D42) // "BM"
        in.Fail("the file starts with the bytes 0x" + Hex(in.U16(0) & 0xFF).substr(8) + " 0x" +
                Hex(in.U16(0) >> 8).substr(8) + " where a bitmap has \"BM\"");
    const uint64_t pixelOffset = in.U32(10);
    in.Need(FileHeaderBytes, 4, "bitmap header");
    const uint64_t headerBytes = in.U32(FileHeaderBytes);
    const uint64_t known[] = {12, 40, 52, 56, 64, 108, 124};
    if (std::find(std::begin(known), std::end(known), headerBytes) == std::end(known))
        in.Fail("the bitmap header at byte 14 gives its size as " + std::to_string(headerBytes) +
                " bytes, which is none of the known 12, 40, 52, 56, 64, 108 and 124");
    in.Need(FileHeaderBytes, headerBytes, "bitmap header");

    int64_t width, height;
    uint32_t bits, compression = biRGB, colorsUsed = 0, imageBytes = 0;
    uint64_t entryBytes = 4;
    if (headerBytes == 12) { // OS/2 1.x: 16-bit sizes, three-byte colour table entries
        width = in.U16(18);
        height = in.U16(20);
        bits = in.U16(24);
        entryBytes = 3;
    } else {
        width = in.S32(18);
        height = in.S32(22);
        bits = in.U16(28);
        compression = in.U32(30);
        imageBytes = in.U32(34);
        colorsUsed = in.U32(46);
    }
    const uint64_t depthOffset = headerBytes == 12 ? 24 : 28;
    if (width < 0)
        in.Fail("the width at byte 18 is " + std::to_string(width) + " pixels");
    if (height == std::numeric_limits<int32_t>::min())
        in.Fail("the height at byte 22 is " + std::to_string(height) + " pixels");
    const bool topDown = height < 0;
    height = topDown ? -height : height;
    // A bitmap without pixels would still drive loops over its other side, however long.
    if (width == 0 || height == 0)
        in.Fail("the bitmap is " + std::to_string(width) + " by " + std::to_string(height) +
                " pixels (bytes 18 to " +
                std::string(headerBytes == 12 ? "21" : "25") + "); a picture needs at least one pixel");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        in.Fail("the bitmap has " + std::to_string(bits) + " bits per pixel (byte " + std::to_string(depthOffset) +
                "); 1, 4, 8, 16, 24 and 32 can be read");
    const bool os2Header = headerBytes == 64;
    if (compression > biBitFields || (os2Header && compression == biBitFields))
        in.Fail("the compression " + std::to_string(compression) +
                " at byte 30 cannot be read; uncompressed, RLE8, RLE4 and bit-field bitmaps can");
    if ((compression == biRLE8 && bits != 8) || (compression == biRLE4 && bits != 4) ||
        (compression == biBitFields && bits != 16 && bits != 32))
        in.Fail("the compression " + std::to_string(compression) + " at byte 30 does not go with " +
                std::to_string(bits) + " bits per pixel");
    const bool runLength = compression == biRLE8 || compression == biRLE4;
    if (runLength && topDown)
        in.Fail("the height at byte 22 is negative (rows top-down), which a run-length bitmap cannot be");

    // Colour masks: in the header from 52 bytes on, else right after a 40-byte header.
    uint64_t tableOffset = FileHeaderBytes + headerBytes;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == biBitFields) {
        uint64_t maskOffset = FileHeaderBytes + InfoHeaderBytes;
        if (headerBytes == InfoHeaderBytes) {
            in.Need(maskOffset, 12, "colour masks");
            tableOffset += 12;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = in.U32(maskOffset + uint64_t(i) * 4);
    }

    if (pixelOffset < tableOffset)
        in.Fail("the pixel data offset at byte 10 is " + std::to_string(pixelOffset) +
                ", inside the headers, which end at byte " + std::to_string(tableOffset));
    if (pixelOffset > in.Size())
        in.Fail("the pixel data offset at byte 10 is " + std::to_string(pixelOffset) + ", beyond the end of the " +
                std::to_string(in.Size()) + "-byte file");

    // The colour table of the formats up to 8 bits: as many entries as declared (all the depth
    // allows when 0), but never reaching into the pixel data.
    std::vector<TColor> palette;
    if (bits <= 8) {
        uint64_t count = colorsUsed != 0 ? colorsUsed : uint64_t(1) << bits;
        if (count > 256)
            in.Fail("the colour count at byte 46 is " + std::to_string(count) + ", more than the 256 a table holds");
        count = std::min(count, (pixelOffset - tableOffset) / entryBytes);
        in.Need(tableOffset, count * entryBytes, "colour table");
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t at = tableOffset + i * entryBytes;
            const std::span<const uint8_t> entry = in.Bytes(at, 3);
            palette.push_back(RGBColor(entry[2], entry[1], entry[0]));
        }
    }

    const TUWide rowBytes = RowBytesFor(width, FormatOfDepth(bits));
    const uint64_t available = in.Size() - pixelOffset;
    if (runLength) {
        // The declared size of the codes must be there; decoding runs to the end-of-bitmap code,
        // even when a writer declared too few bytes.
        in.Need(pixelOffset, imageBytes, "pixel data");
        const uint64_t codeBytes = available;
        // Codes cover at most 255 pixels per two bytes unless they skip; a bitmap far larger than
        // its codes could fill is refused before its memory is taken.
        const TUWide pixelBytes = rowBytes * TUWide(height);
        if (pixelBytes > TUWide(1024 * 1024) + TUWide(codeBytes) * 256)
            in.Fail("the " + std::to_string(codeBytes) + " bytes of run-length data at byte " +
                    std::to_string(pixelOffset) + " are too few for a bitmap of " + std::to_string(width) + " by " +
                    std::to_string(height) + " pixels");
        TBitmap bitmap(int32_t(width), int32_t(height), FormatOfDepth(bits));
        bitmap.SetPalette(std::move(palette));
        DecodeBMPRunLength(in.Bytes(pixelOffset, codeBytes), pixelOffset, name, compression == biRLE4, bitmap);
        return bitmap;
    }

    in.Need(pixelOffset, rowBytes * TUWide(height), "pixel data");
    const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    const bool plain = (bits == 16 && masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F) ||
                       (bits == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF) ||
                       (bits != 16 && bits != 32);
    if (!plain && (!red.Contiguous() || !green.Contiguous() || !blue.Contiguous()))
        in.Fail("the colour masks " + Hex(masks[0]) + ", " + Hex(masks[1]) + " and " + Hex(masks[2]) +
                " are not each one run of bits");
    TBitmap bitmap(int32_t(width), int32_t(height), plain ? FormatOfDepth(bits) : pf32bit);
    if (bits <= 8)
        bitmap.SetPalette(std::move(palette));
    const auto fileRowBytes = size_t(rowBytes);
    for (int64_t y = 0; y < height; ++y) {
        const std::span<const uint8_t> source = in.Bytes(pixelOffset + uint64_t(y) * fileRowBytes, fileRowBytes);
        uint8_t* row = bitmap.ScanLine(int32_t(topDown ? y : height - 1 - y));
        if (plain) {
            if (fileRowBytes > 0)
                std::memcpy(row, source.data(), fileRowBytes);
            continue;
        }
        for (int64_t x = 0; x < width; ++x) {
            const uint8_t* p = source.data() + size_t(x) * (bits / 8);
            const uint32_t pixel = bits == 16 ? uint32_t(p[0]) | (uint32_t(p[1]) << 8)
                                              : uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                                                    (uint32_t(p[3]) << 24);
            bitmap.SetPixel(int32_t(x), int32_t(topDown ? y : height - 1 - y),
                            RGBColor(red.Of(pixel), green.Of(pixel), blue.Of(pixel)));
        }
    }
    return bitmap;
}

TBitmap LoadBMPFile(const std::filesystem::path& fileName)
{
    const std::vector<char> data = ReadWholeFile(fileName);
    return LoadBMPStream(data, fileName.filename().string());
}

std::string FormatBMPData(const TBitmap& bitmap)
{
    const int bits = BitsPerPixel(bitmap.PixelFormat());
    std::vector<TColor> palette;
    if (bits <= 8) {
        palette = bitmap.Palette();
        if (palette.empty())
            palette.assign(size_t(1) << bits, clBlack);
    }
    const uint64_t pixelOffset = FileHeaderBytes + InfoHeaderBytes + palette.size() * 4;
    const uint64_t imageBytes = uint64_t(bitmap.RowBytes()) * uint64_t(bitmap.Height());
    const uint64_t fileBytes = pixelOffset + imageBytes;
    if (fileBytes > std::numeric_limits<uint32_t>::max())
        throw EKorvelaError("A bitmap of " + std::to_string(bitmap.Width()) + " by " + std::to_string(bitmap.Height()) +
                            " pixels is too large for a BMP file");
    std::string out;
    out.reserve(size_t(fileBytes));
    auto u16 = [&](uint32_t v) {
        out += char(v & 0xFF);
        out += char((v >> 8) & 0xFF);
    };
    auto u32 = [&](uint64_t v) {
        u16(uint32_t(v & 0xFFFF));
        u16(uint32_t((v >> 16) & 0xFFFF));
    };
    out += "BM";
    u32(fileBytes);
    u32(0);
    u32(pixelOffset);
    u32(InfoHeaderBytes);
    u32(uint32_t(bitmap.Width()));
    u32(uint32_t(bitmap.Height())); // positive: rows bottom-up
    u16(1);
    u16(uint32_t(bits));
    u32(biRGB);
    u32(imageBytes);
    u32(3780); // 96 pixels per inch, in pixels per metre
    u32(3780);
    u32(palette.size());
    u32(0);
    for (TColor color : palette) {
        out += char(BlueOf(color));
        out += char(GreenOf(color));
        out += char(RedOf(color));
        out += char(0);
    }
    for (int32_t y = bitmap.Height() - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(bitmap.ScanLine(y)), bitmap.RowBytes());
    return out;
}

void SaveBMPFile(const std::filesystem::path& fileName, const TBitmap& bitmap)
{
    WriteFileAtomically(fileName, FormatBMPData(bitmap));
}

} // namespace kv
