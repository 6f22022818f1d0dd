#include "imaging/TIFFReader.h"

#include "PackBits.h"
#include "PictureSize.h"
#include "TIFFLZW.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kv {

namespace {

constexpr uint16_t TagWidth = 256, TagHeight = 257, TagBitsPerSample = 258, TagCompression = 259,
                   TagPhotometric = 262, TagStripOffsets = 273, TagSamplesPerPixel = 277,
                   TagRowsPerStrip = 278, TagColorMap = 320, TagTileWidth = 322, TagTileOffsets = 324;
constexpr uint16_t TypeLong = 4;
constexpr uint32_t CompressionNone = 1, CompressionLZW = 5, CompressionPackBits = 32773;
constexpr uint32_t PhotometricWhiteIsZero = 0, PhotometricSeparated = 5;

// The first image directory, as far as the reader uses it. Sizes are 32-bit: a picture wider
// than 65535 pixels is read at its real width.
struct TTIFFInfo {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t Photometric = 1;
    uint32_t RowsPerStrip = 0; // 0: the tag is missing, the whole image is one strip
    bool HaveRowsPerStrip = false;
    uint32_t StripCount = 0;
    uint32_t SamplesPerPixel = 1;
    uint32_t Compression = 1;
    uint32_t BitsPerSample = 1;
    uint32_t StripOffsets = 0;
    bool Tiled = false;
    std::array<TColor, 256> Palette{};
};

// Numbers of the file in its byte order, every read checked against the data.
class TTIFFData {
public:
    TTIFFData(std::span<const uint8_t> data) : Data_(data) {}

    void SetBigEndian(bool big) { BigEndian_ = big; }
    bool BigEndian() const { return BigEndian_; }
    size_t Size() const { return Data_.size(); }
    std::span<const uint8_t> From(uint64_t offset) const
    {
        return offset < Data_.size() ? Data_.subspan(static_cast<size_t>(offset)) : std::span<const uint8_t>();
    }

    uint16_t U16(uint64_t offset, const char* what) const
    {
        Need(offset, 2, what);
        const uint8_t* p = Data_.data() + offset;
        return BigEndian_ ? static_cast<uint16_t>((p[0] << 8) | p[1]) : static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t U32(uint64_t offset, const char* what) const
    {
        Need(offset, 4, what);
        const uint8_t* p = Data_.data() + offset;
        if (BigEndian_)
            return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
        return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
    }

private:
    void Need(uint64_t offset, uint64_t bytes, const char* what) const
    {
        if (offset + bytes > Data_.size())
            throw EKorvelaError("Invalid TIF File: " + std::string(what) + " at byte " + std::to_string(offset) +
                                " lies beyond the end of the file (" + std::to_string(Data_.size()) + " bytes)");
    }

    std::span<const uint8_t> Data_;
    bool BigEndian_ = false;
};

void ReadColorMap(const TTIFFData& file, uint32_t offset, TTIFFInfo& info)
{
    const uint32_t n = info.BitsPerSample >= 8 ? 256 : (1u << info.BitsPerSample);
    for (uint32_t channel = 0; channel < 3; ++channel)
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t high = file.U16(offset + 2ull * (channel * n + i), "the colour map") >> 8;
            const int shift = channel == 0 ? 0 : channel == 1 ? 8 : 16; // red, green, blue
            info.Palette[i] = (info.Palette[i] & ~(0xFFu << shift)) | (high << shift);
        }
}

TTIFFInfo ReadDirectory(const TTIFFData& file, uint32_t directory)
{
    TTIFFInfo info;
    for (uint32_t i = 0; i < 256; ++i)
        info.Palette[i] = RGBColor(uint8_t(i), uint8_t(i), uint8_t(i));
    const uint16_t entries = file.U16(directory, "the image directory");
    for (uint32_t e = 0; e < entries; ++e) {
        const uint64_t at = directory + 2ull + 12ull * e;
        const uint16_t tag = file.U16(at, "a directory entry");
        const uint16_t type = file.U16(at + 2, "a directory entry");
        const uint32_t count = file.U32(at + 4, "a directory entry");
        const uint32_t field = file.U32(at + 8, "a directory entry");
        // A big-endian SHORT stands in the first two bytes of the value field.
        const uint32_t value = (type == TypeLong || !file.BigEndian()) ? field : field >> 16;
        switch (tag) {
        case TagWidth: info.Width = value; break;
        case TagHeight: info.Height = value; break;
        case TagBitsPerSample:
            info.BitsPerSample = count <= 1 ? value : file.U16(field, "the bits per sample");
            break;
        case TagCompression: info.Compression = value; break;
        case TagPhotometric: info.Photometric = value; break;
        case TagStripOffsets:
            info.StripOffsets = value;
            info.StripCount = count;
            break;
        case TagSamplesPerPixel: info.SamplesPerPixel = value; break;
        case TagRowsPerStrip:
            info.RowsPerStrip = value;
            info.HaveRowsPerStrip = true;
            break;
        case TagColorMap: ReadColorMap(file, field, info); break;
        case TagTileWidth:
        case TagTileOffsets: info.Tiled = true; break;
        default: break;
        }
    }
    return info;
}

TPixelFormat FormatFor(uint32_t bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf15bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: throw EKorvelaError("Unsupported Bits/Pixel: " + std::to_string(bitsPerPixel));
    }
}

// How many times its size a strip of this compression can at most expand to.
uint64_t MaxExpansion(uint32_t compression)
{
    switch (compression) {
    case CompressionPackBits: return 64;  // two bytes repeat one byte 128 times
    case CompressionLZW: return 1400;     // a 12-bit code stands for up to about 3800 bytes
    default: return 4;                    // raw data, of which at least a quarter must be there
    }
}

// Puts one row as the file holds it into the bitmap's layout.
void ConvertRow(uint8_t* row, uint32_t width, uint32_t bitsPerPixel, uint32_t photometric)
{
    switch (bitsPerPixel) {
    case 8:
        if (photometric == PhotometricWhiteIsZero)
            for (uint32_t x = 0; x < width; ++x)
                row[x] = static_cast<uint8_t>(255 - row[x]);
        break;
    case 16:
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t v = row[2 * x] | (uint32_t{row[2 * x + 1]} << 8);
            const uint32_t grey = (v / 2048) * 1057; // the top 5 bits in red, green and blue
            row[2 * x] = static_cast<uint8_t>(grey & 0xFF);
            row[2 * x + 1] = static_cast<uint8_t>(grey >> 8);
        }
        break;
    case 24:
        for (uint32_t x = 0; x < width; ++x)
            std::swap(row[3 * x], row[3 * x + 2]);
        break;
    case 32:
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = row + 4 * x;
            if (photometric == PhotometricSeparated) {
                const uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
                p[0] = static_cast<uint8_t>(255 - std::min<uint32_t>(255, y + k));
                p[1] = static_cast<uint8_t>(255 - std::min<uint32_t>(255, m + k));
                p[2] = static_cast<uint8_t>(255 - std::min<uint32_t>(255, c + k));
            } else {
                std::swap(p[0], p[2]);
            }
        }
        break;
    default: break; // 1 and 4 bits: the palette gives the colours
    }
}

// Decodes strips into the picture, row after row, top row first.
class TStripDecoder {
public:
    TStripDecoder(const TTIFFData& file, const TTIFFInfo& info, size_t rowBytes, uint32_t bitsPerPixel,
                  TBitmap& picture, TRowProgress& progress)
        : File_(file), Info_(info), RowBytes_(rowBytes), BitsPerPixel_(bitsPerPixel), Picture_(picture),
          Progress_(progress)
    {
    }

    // Decodes `rows` rows from `offset`; false when the strip ended early.
    bool Strip(uint64_t offset, uint32_t rows)
    {
        const std::span<const uint8_t> data = File_.From(offset);
        switch (Info_.Compression) {
        case CompressionNone: return Raw(data, rows);
        case CompressionLZW: return LZW(data, rows);
        case CompressionPackBits: return PackBits(data, rows);
        default:
            throw ETIFFUnsupportedError("Unsupported Compression = " + std::to_string(Info_.Compression));
        }
    }

private:
    uint8_t* NextRow() { return NextRow_ < Info_.Height ? Picture_.ScanLine(static_cast<int32_t>(NextRow_)) : nullptr; }
    void RowDone(uint8_t* row)
    {
        ConvertRow(row, Info_.Width, BitsPerPixel_, Info_.Photometric);
        ++NextRow_;
        Progress_.RowDone();
    }

    bool Raw(std::span<const uint8_t> data, uint32_t rows)
    {
        for (uint32_t r = 0; r < rows; ++r) {
            uint8_t* row = NextRow();
            if (!row)
                return true;
            if (data.size() < RowBytes_)
                return false;
            std::copy_n(data.data(), RowBytes_, row);
            data = data.subspan(RowBytes_);
            RowDone(row);
        }
        return true;
    }

    bool LZW(std::span<const uint8_t> data, uint32_t rows)
    {
        rows = std::min(rows, Info_.Height - NextRow_);
        std::vector<uint8_t> strip(static_cast<size_t>(rows) * RowBytes_, 0);
        DecodeTIFFLZW(data, strip);
        for (uint32_t r = 0; r < rows; ++r) {
            uint8_t* row = NextRow();
            std::copy_n(strip.data() + static_cast<size_t>(r) * RowBytes_, RowBytes_, row);
            RowDone(row);
        }
        return true;
    }

    bool PackBits(std::span<const uint8_t> data, uint32_t rows)
    {
        size_t at = 0;
        for (uint32_t r = 0; r < rows; ++r) {
            uint8_t* row = NextRow();
            if (!row)
                return true;
            if (!UnpackBitsRow(data, at, {row, RowBytes_}))
                return false;
            RowDone(row);
        }
        return true;
    }

    const TTIFFData& File_;
    const TTIFFInfo& Info_;
    size_t RowBytes_;
    uint32_t BitsPerPixel_;
    TBitmap& Picture_;
    TRowProgress& Progress_;
    uint32_t NextRow_ = 0;
};

} // namespace

void ReadTIFF(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress, const std::string& name)
{
    TTIFFData file(data);
    if (data.size() < 8)
        throw EKorvelaError("Invalid TIF File");
    const uint16_t mark = static_cast<uint16_t>(data[0] | (data[1] << 8));
    file.SetBigEndian(mark == 0x4D4D);
    const uint16_t version = file.U16(2, "the version");
    if (mark != 0x4949 && mark != 0x4D4D && version != 42)
        throw EKorvelaError("Invalid TIF File");
    const uint32_t directory = file.U32(4, "the first directory offset");
    if (directory == 0)
        return;
    TTIFFInfo info = ReadDirectory(file, directory);
    if (info.Tiled && info.StripCount == 0)
        throw ETIFFUnsupportedError(name + ": the picture is stored in tiles");

    const uint64_t bitsPerPixel = uint64_t{info.SamplesPerPixel} * info.BitsPerSample;
    if (bitsPerPixel == 1) {
        const bool whiteIsZero = info.Photometric == PhotometricWhiteIsZero;
        info.Palette[0] = whiteIsZero ? clWhite : clBlack;
        info.Palette[1] = whiteIsZero ? clBlack : clWhite;
    }
    const TPixelFormat format = FormatFor(bitsPerPixel > 32 ? 0 : static_cast<uint32_t>(bitsPerPixel));
    if (info.Width == 0 || info.Height == 0)
        throw EKorvelaError("Width or Height is Zero");
    CheckPictureSize(name, info.Width, info.Height, static_cast<double>(bitsPerPixel) / 8.0, data.size(),
                     MaxExpansion(info.Compression));
    const uint64_t rowBytes = (uint64_t{info.Width} * bitsPerPixel + 7) / 8;

    TBitmap picture(static_cast<int32_t>(info.Width), static_cast<int32_t>(info.Height), format);
    if (bitsPerPixel <= 8)
        picture.SetPalette(std::vector<TColor>(info.Palette.begin(), info.Palette.begin() + (1 << bitsPerPixel)));

    TRowProgress rows(progress, info.Height);
    rows.Start();
    TStripDecoder decoder(file, info, static_cast<size_t>(rowBytes), static_cast<uint32_t>(bitsPerPixel), picture,
                          rows);
    const uint32_t rowsPerStrip = info.HaveRowsPerStrip ? info.RowsPerStrip : info.Height;
    if (info.StripCount == 1) {
        decoder.Strip(info.StripOffsets, info.Height);
    } else {
        for (uint32_t s = 0; s < info.StripCount; ++s) {
            const uint64_t first = uint64_t{s} * rowsPerStrip;
            if (first >= info.Height)
                break;
            const uint64_t tableEntry = uint64_t{info.StripOffsets} + 4ull * s;
            if (tableEntry + 4 > data.size())
                break; // a cut-off strip table ends the picture like cut-off data
            const uint32_t offset = file.U32(tableEntry, "the strip table");
            if (!decoder.Strip(offset, static_cast<uint32_t>(std::min<uint64_t>(rowsPerStrip, info.Height - first))))
                break;
        }
    }
    bitmap = std::move(picture);
    rows.End();
}

} // namespace kv
