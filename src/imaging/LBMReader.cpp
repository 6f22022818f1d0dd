#include "imaging/LBMReader.h"

#include "PackBits.h"
#include "PictureBytes.h"
#include "PictureSize.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace kv {

namespace {

constexpr uint32_t ModeHoldAndModify = 0x800;
constexpr uint32_t ModeExtraHalfBrite = 0x80;

struct TBitmapHeader {
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t Planes = 0;
    uint8_t Masking = 0;
    uint8_t Compression = 0;
};

struct TLBMFile {
    bool Chunky = false; // PBM: one byte per pixel instead of bit planes
    std::optional<TBitmapHeader> Header;
    std::vector<TColor> Colors;
    uint32_t ViewMode = 0;
    std::span<const uint8_t> Body;
};

TLBMFile ReadChunks(TPictureBytes& in)
{
    TLBMFile file;
    const auto form = in.Take(4, "the IFF header");
    in.U32BE("the IFF header");
    const auto kind = in.Take(4, "the IFF header");
    const std::string formText(form.begin(), form.end()), kindText(kind.begin(), kind.end());
    if (formText != "FORM" || (kindText != "ILBM" && kindText != "PBM "))
        throw EKorvelaError(in.Name() + ": not an IFF picture (FORM ILBM or PBM)");
    file.Chunky = kindText == "PBM ";
    while (in.Remaining() >= 8) {
        const auto id = in.Take(4, "a chunk header");
        const std::string chunk(id.begin(), id.end());
        const uint32_t size = in.U32BE("a chunk header");
        // The body may be cut short; every other chunk must be whole.
        const std::span<const uint8_t> bytes =
            chunk == "BODY" ? in.Take(std::min<size_t>(size, in.Remaining()), "the body") : in.Take(size, chunk.c_str());
        if (size % 2 == 1 && in.Remaining() > 0)
            in.Take(1, "a pad byte");
        if (chunk == "BMHD") {
            if (bytes.size() < 20)
                throw EKorvelaError(in.Name() + ": the BMHD chunk has " + std::to_string(bytes.size()) +
                                    " bytes, 20 needed");
            TPictureBytes h(bytes, in.Name());
            TBitmapHeader header;
            header.Width = h.U16BE("BMHD");
            header.Height = h.U16BE("BMHD");
            h.Take(4, "BMHD");
            header.Planes = h.U8("BMHD");
            header.Masking = h.U8("BMHD");
            header.Compression = h.U8("BMHD");
            file.Header = header;
        } else if (chunk == "CMAP") {
            for (size_t i = 0; i + 3 <= bytes.size() && file.Colors.size() < 256; i += 3)
                file.Colors.push_back(RGBColor(bytes[i], bytes[i + 1], bytes[i + 2]));
        } else if (chunk == "CAMG" && bytes.size() >= 4) {
            file.ViewMode = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
        } else if (chunk == "BODY") {
            file.Body = bytes;
            break;
        }
    }
    if (!file.Header)
        throw EKorvelaError(in.Name() + ": the IFF picture has no BMHD chunk");
    return file;
}

std::vector<TColor> PaletteOf(const TLBMFile& file)
{
    std::vector<TColor> palette = file.Colors;
    if (palette.empty())
        for (uint32_t i = 0; i < 256; ++i)
            palette.push_back(RGBColor(uint8_t(i), uint8_t(i), uint8_t(i)));
    // Extra half-brite: the upper 32 colours are the lower ones at half brightness.
    if (file.ViewMode & ModeExtraHalfBrite) {
        palette.resize(32, clBlack);
        for (size_t i = 0; i < 32; ++i)
            palette.push_back(RGBColor(RedOf(palette[i]) / 2, GreenOf(palette[i]) / 2, BlueOf(palette[i]) / 2));
    }
    palette.resize(256, clBlack);
    return palette;
}

} // namespace

void ReadLBM(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress, const std::string& name)
{
    TPictureBytes in(data, name);
    const TLBMFile file = ReadChunks(in);
    const TBitmapHeader& h = *file.Header;
    if (file.ViewMode & ModeHoldAndModify)
        throw EKorvelaError(name + ": hold-and-modify IFF pictures are not supported");
    const bool deep = h.Planes == 24;
    if (!file.Chunky && !deep && (h.Planes == 0 || h.Planes > 8))
        throw EKorvelaError(name + ": an IFF picture of " + std::to_string(h.Planes) + " bit planes is not supported");
    if (file.Chunky && h.Planes != 8)
        throw EKorvelaError(name + ": a PBM picture of " + std::to_string(h.Planes) + " bits is not supported");
    if (h.Compression > 1)
        throw EKorvelaError(name + ": IFF compression " + std::to_string(h.Compression) + " is not supported");

    // Rows of bit planes are padded to 16 bits, chunky rows to an even width.
    const size_t planeBytes = file.Chunky ? (h.Width + 1u) & ~1u : ((h.Width + 15u) / 16u) * 2u;
    const size_t planes = file.Chunky ? 1 : h.Planes + (h.Masking == 1 ? 1u : 0u);
    const size_t rowBytes = planeBytes * planes;
    CheckPictureSize(name, h.Width, h.Height, deep ? 3.0 : 1.0, data.size(), h.Compression == 1 ? 64 : 4);
    TBitmap picture(h.Width, h.Height, deep ? pf24bit : pf8bit);
    if (!deep)
        picture.SetPalette(PaletteOf(file));

    TRowProgress rows(progress, h.Height);
    rows.Start();
    std::vector<uint8_t> line(rowBytes);
    size_t at = 0;
    for (int32_t y = 0; y < h.Height; ++y) {
        if (h.Compression == 1) {
            bool whole = true;
            for (size_t p = 0; p < planes && whole; ++p)
                whole = UnpackBitsRow(file.Body, at, std::span<uint8_t>(line).subspan(p * planeBytes, planeBytes));
            if (!whole)
                break;
        } else {
            if (file.Body.size() - at < rowBytes)
                break;
            std::copy_n(file.Body.data() + at, rowBytes, line.data());
            at += rowBytes;
        }
        uint8_t* row = picture.ScanLine(y);
        if (file.Chunky) {
            std::copy_n(line.data(), h.Width, row);
        } else {
            for (uint32_t x = 0; x < h.Width; ++x) {
                uint32_t value = 0;
                for (uint32_t p = 0; p < h.Planes; ++p)
                    value |= uint32_t((line[p * planeBytes + x / 8] >> (7 - x % 8)) & 1) << p;
                if (deep) { // planes 0-7 red, 8-15 green, 16-23 blue
                    row[3 * x] = static_cast<uint8_t>(value >> 16);
                    row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
                    row[3 * x + 2] = static_cast<uint8_t>(value);
                } else {
                    row[x] = static_cast<uint8_t>(value);
                }
            }
        }
        rows.RowDone();
    }
    bitmap = std::move(picture);
    rows.End();
}

} // namespace kv
