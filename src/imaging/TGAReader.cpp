#include "imaging/TGAReader.h"

#include "PictureBytes.h"
#include "PictureSize.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kv {

namespace {

enum TTGAKind { tkNone = 0, tkMapped = 1, tkTrueColor = 2, tkGrey = 3 };

struct TTGAHeader {
    uint8_t IDLength = 0;
    uint8_t MapType = 0;
    uint8_t ImageType = 0;
    uint16_t MapFirst = 0;
    uint16_t MapLength = 0;
    uint8_t MapEntryBits = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t PixelBits = 0;
    uint8_t Descriptor = 0;

    TTGAKind Kind() const { return static_cast<TTGAKind>(ImageType & 7); }
    bool RunLength() const { return (ImageType & 8) != 0; }
    bool TopDown() const { return (Descriptor & 0x20) != 0; }
    bool RightToLeft() const { return (Descriptor & 0x10) != 0; }
};

TTGAHeader ReadHeader(TPictureBytes& in)
{
    TTGAHeader h;
    h.IDLength = in.U8("the header");
    h.MapType = in.U8("the header");
    h.ImageType = in.U8("the header");
    h.MapFirst = in.U16LE("the header");
    h.MapLength = in.U16LE("the header");
    h.MapEntryBits = in.U8("the header");
    in.Take(4, "the header"); // the origin, which places nothing in a single picture
    h.Width = in.U16LE("the header");
    h.Height = in.U16LE("the header");
    h.PixelBits = in.U8("the header");
    h.Descriptor = in.U8("the header");
    return h;
}

// A colour of `bits` (15, 16, 24 or 32) bits as the file stores it.
TColor ColorOfEntry(std::span<const uint8_t> p, int bits)
{
    if (bits <= 16) {
        const uint32_t v = p[0] | (uint32_t{p[1]} << 8);
        const auto scale = [](uint32_t five) { return static_cast<uint8_t>((five << 3) | (five >> 2)); };
        return RGBColor(scale((v >> 10) & 31), scale((v >> 5) & 31), scale(v & 31));
    }
    return RGBColor(p[2], p[1], p[0]);
}

TPixelFormat FormatOf(const TTGAHeader& h, const std::string& name)
{
    const auto unsupported = [&]() -> TPixelFormat {
        throw EKorvelaError(name + ": a TGA picture of image type " + std::to_string(h.ImageType) + " at " +
                            std::to_string(h.PixelBits) + " bits per pixel is not supported");
    };
    switch (h.Kind()) {
    case tkMapped:
    case tkGrey: return h.PixelBits == 8 ? pf8bit : unsupported();
    case tkTrueColor:
        switch (h.PixelBits) {
        case 15:
        case 16: return pf15bit;
        case 24: return pf24bit;
        case 32: return pf32bit;
        default: return unsupported();
        }
    default: return unsupported();
    }
}

} // namespace

void ReadTGA(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress, const std::string& name)
{
    TPictureBytes in(data, name);
    const TTGAHeader h = ReadHeader(in);
    const TPixelFormat format = FormatOf(h, name);
    const size_t pixelBytes = (h.PixelBits + 7u) / 8u;
    // Runs of 128 pixels cost 1 + pixelBytes bytes.
    CheckPictureSize(name, h.Width, h.Height, static_cast<double>(pixelBytes), data.size(), h.RunLength() ? 128 : 4);
    in.Take(h.IDLength, "the image identification");

    std::vector<TColor> palette;
    if (h.MapType == 1) {
        const size_t entryBytes = (h.MapEntryBits + 7u) / 8u;
        if (h.MapEntryBits != 15 && h.MapEntryBits != 16 && h.MapEntryBits != 24 && h.MapEntryBits != 32)
            throw EKorvelaError(name + ": colour map entries of " + std::to_string(h.MapEntryBits) +
                                " bits are not supported");
        const std::span<const uint8_t> map = in.Take(entryBytes * h.MapLength, "the colour map");
        if (h.Kind() == tkMapped) {
            palette.assign(256, clBlack);
            for (size_t i = 0; i < h.MapLength; ++i)
                if (h.MapFirst + i < 256)
                    palette[h.MapFirst + i] = ColorOfEntry(map.subspan(i * entryBytes), h.MapEntryBits);
        }
    }
    if (h.Kind() == tkGrey)
        for (uint32_t i = 0; i < 256; ++i)
            palette.push_back(RGBColor(uint8_t(i), uint8_t(i), uint8_t(i)));
    if (h.Kind() == tkMapped && palette.empty())
        throw EKorvelaError(name + ": the colour-mapped TGA picture has no colour map");

    TBitmap picture(h.Width, h.Height, format);
    if (!palette.empty())
        picture.SetPalette(palette);

    // Pixels in file order into a packed buffer, then rows placed by the corner order.
    std::vector<uint8_t> pixels(size_t{h.Width} * h.Height * pixelBytes, 0);
    const std::span<const uint8_t> rest = in.Rest();
    size_t at = 0;
    size_t out = 0;
    if (!h.RunLength()) {
        out = std::min(pixels.size(), rest.size());
        std::memcpy(pixels.data(), rest.data(), out);
    } else {
        while (out < pixels.size() && at < rest.size()) {
            const uint8_t packet = rest[at++];
            const size_t count = (packet & 0x7Fu) + 1;
            const size_t bytes = std::min(count * pixelBytes, pixels.size() - out);
            if (packet & 0x80) {
                if (rest.size() - at < pixelBytes)
                    break;
                for (size_t i = 0; i < bytes; ++i)
                    pixels[out + i] = rest[at + i % pixelBytes];
                at += pixelBytes;
            } else {
                const size_t available = std::min(bytes, rest.size() - at);
                std::memcpy(pixels.data() + out, rest.data() + at, available);
                at += count * pixelBytes;
                if (available < bytes)
                    break;
            }
            out += bytes;
        }
    }

    TRowProgress rows(progress, h.Height);
    rows.Start();
    const size_t rowBytes = size_t{h.Width} * pixelBytes;
    for (uint32_t fileRow = 0; fileRow < h.Height; ++fileRow) {
        const auto y = static_cast<int32_t>(h.TopDown() ? fileRow : h.Height - 1u - fileRow);
        uint8_t* row = picture.ScanLine(y);
        const uint8_t* source = pixels.data() + fileRow * rowBytes;
        if (!h.RightToLeft()) {
            std::memcpy(row, source, rowBytes);
        } else {
            for (size_t x = 0; x < h.Width; ++x)
                std::memcpy(row + x * pixelBytes, source + (h.Width - 1 - x) * pixelBytes, pixelBytes);
        }
        if (format == pf15bit) // the top bit is attribute (alpha), not colour
            for (size_t x = 0; x < h.Width; ++x)
                row[2 * x + 1] &= 0x7F;
        rows.RowDone();
    }
    bitmap = std::move(picture);
    rows.End();
}

} // namespace kv
