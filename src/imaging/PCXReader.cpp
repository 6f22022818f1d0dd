#include "imaging/PCXReader.h"

#include "PictureBytes.h"
#include "PictureSize.h"

#include <algorithm>
#include <vector>

namespace kv {

namespace {

constexpr size_t HeaderSize = 128;
constexpr size_t PaletteOffset = 16;    // the 16-colour table inside the header
constexpr size_t TablePaletteSize = 769; // 0x0C and 256 colours at the end of 8-bit files

struct TPCXHeader {
    uint8_t Encoding = 0;
    uint8_t BitsPerPlane = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t Planes = 0;
    uint16_t BytesPerLine = 0;
};

TPCXHeader ReadHeader(TPictureBytes& in)
{
    TPCXHeader h;
    if (in.U8("the header") != 0x0A)
        throw EKorvelaError(in.Name() + ": not a PCX picture (it does not start with byte 10)");
    in.U8("the header"); // version
    h.Encoding = in.U8("the header");
    h.BitsPerPlane = in.U8("the header");
    const uint16_t xMin = in.U16LE("the header"), yMin = in.U16LE("the header");
    const uint16_t xMax = in.U16LE("the header"), yMax = in.U16LE("the header");
    if (xMax < xMin || yMax < yMin)
        throw EKorvelaError(in.Name() + ": the PCX window (" + std::to_string(xMin) + ", " + std::to_string(yMin) +
                            ") to (" + std::to_string(xMax) + ", " + std::to_string(yMax) + ") is empty");
    h.Width = uint32_t{xMax} - xMin + 1;
    h.Height = uint32_t{yMax} - yMin + 1;
    in.Seek(65);
    h.Planes = in.U8("the header");
    h.BytesPerLine = in.U16LE("the header");
    in.Seek(HeaderSize);
    if (h.Encoding > 1)
        throw EKorvelaError(in.Name() + ": PCX encoding " + std::to_string(h.Encoding) + " is not supported");
    if (h.BytesPerLine < (h.Width * h.BitsPerPlane + 7) / 8)
        throw EKorvelaError(in.Name() + ": a PCX line of " + std::to_string(h.BytesPerLine) +
                            " bytes per plane cannot hold " + std::to_string(h.Width) + " pixels");
    return h;
}

TPixelFormat FormatOf(const TPCXHeader& h, const std::string& name)
{
    const int kind = h.BitsPerPlane * 1000 + h.Planes;
    switch (kind) {
    case 1001: return pf1bit;
    case 1004: return pf4bit; // four bit planes
    case 4001: return pf4bit;
    case 8001: return pf8bit;
    case 8003: return pf24bit;
    case 8004: return pf32bit;
    default:
        throw EKorvelaError(name + ": a PCX picture of " + std::to_string(h.Planes) + " planes of " +
                            std::to_string(h.BitsPerPlane) + " bits is not supported");
    }
}

std::vector<TColor> PaletteOf(const TPCXHeader& h, std::span<const uint8_t> data)
{
    std::vector<TColor> palette;
    if (h.BitsPerPlane == 8 && h.Planes == 1) {
        if (data.size() >= HeaderSize + TablePaletteSize && data[data.size() - TablePaletteSize] == 0x0C) {
            const uint8_t* p = data.data() + data.size() - TablePaletteSize + 1;
            for (int i = 0; i < 256; ++i, p += 3)
                palette.push_back(RGBColor(p[0], p[1], p[2]));
        } else {
            for (uint32_t i = 0; i < 256; ++i) // no table: a grey picture
                palette.push_back(RGBColor(uint8_t(i), uint8_t(i), uint8_t(i)));
        }
    } else if (h.Planes * h.BitsPerPlane == 4) {
        for (int i = 0; i < 16; ++i) {
            const uint8_t* p = data.data() + PaletteOffset + 3 * i;
            palette.push_back(RGBColor(p[0], p[1], p[2]));
        }
    } else if (h.Planes * h.BitsPerPlane == 1) {
        palette = {clBlack, clWhite};
    }
    return palette;
}

// One decoded line of all planes into the bitmap's row.
void PlaceLine(const TPCXHeader& h, const std::vector<uint8_t>& line, uint8_t* row)
{
    const size_t stride = h.BytesPerLine;
    if (h.Planes == 1) {
        std::copy_n(line.data(), (h.Width * h.BitsPerPlane + 7) / 8, row);
    } else if (h.BitsPerPlane == 1) { // four bit planes make one 4-bit index per pixel
        for (uint32_t x = 0; x < h.Width; ++x) {
            uint8_t index = 0;
            for (uint32_t p = 0; p < 4; ++p)
                index |= static_cast<uint8_t>(((line[p * stride + x / 8] >> (7 - x % 8)) & 1) << p);
            row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
    } else { // red, green, blue (and alpha) planes
        const uint32_t bytes = h.Planes;
        for (uint32_t x = 0; x < h.Width; ++x) {
            row[x * bytes] = line[2 * stride + x];
            row[x * bytes + 1] = line[stride + x];
            row[x * bytes + 2] = line[x];
            if (bytes == 4)
                row[x * bytes + 3] = line[3 * stride + x];
        }
    }
}

} // namespace

void ReadPCX(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress, const std::string& name)
{
    TPictureBytes in(data, name);
    const TPCXHeader h = ReadHeader(in);
    const TPixelFormat format = FormatOf(h, name);
    const size_t lineBytes = size_t{h.BytesPerLine} * h.Planes;
    // A run byte pair stands for up to 63 bytes.
    CheckPictureSize(name, h.Width, h.Height, static_cast<double>(lineBytes) / h.Width, data.size(),
                     h.Encoding == 1 ? 32 : 4);
    TBitmap picture(static_cast<int32_t>(h.Width), static_cast<int32_t>(h.Height), format);
    const std::vector<TColor> palette = PaletteOf(h, data);
    if (!palette.empty())
        picture.SetPalette(palette);

    TRowProgress rows(progress, h.Height);
    rows.Start();
    std::span<const uint8_t> body = in.Rest();
    size_t at = 0;
    size_t repeat = 0; // bytes of a run still to give; runs may cross lines
    uint8_t value = 0;
    std::vector<uint8_t> line(lineBytes);
    for (uint32_t y = 0; y < h.Height; ++y) {
        size_t filled = 0;
        while (filled < lineBytes) {
            if (repeat > 0) {
                line[filled++] = value;
                --repeat;
                continue;
            }
            if (at >= body.size())
                break;
            const uint8_t b = body[at++];
            if (h.Encoding == 1 && b >= 0xC0) {
                if (at >= body.size())
                    break;
                repeat = b & 0x3Fu;
                value = body[at++];
            } else {
                line[filled++] = b;
            }
        }
        if (filled < lineBytes)
            break; // cut short: the rows below stay 0
        PlaceLine(h, line, picture.ScanLine(static_cast<int32_t>(y)));
        rows.RowDone();
    }
    bitmap = std::move(picture);
    rows.End();
}

} // namespace kv
