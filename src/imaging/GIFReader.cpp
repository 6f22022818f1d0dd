#include "imaging/GIFReader.h"

#include "PictureSize.h"
#include "platform/KVError.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kv {

namespace {

// LZW with a full table repeats strings of up to 4096 bytes for every 12-bit code.
constexpr uint64_t MaxExpansion = 2800;

struct TMemoryReader {
    std::span<const uint8_t> Data;
    size_t Position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int size)
{
    auto* reader = static_cast<TMemoryReader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(std::max(size, 0)), reader->Data.size() - reader->Position);
    if (n > 0)
        std::memcpy(buffer, reader->Data.data() + reader->Position, n);
    reader->Position += n;
    return static_cast<int>(n);
}

// giflib's text for an error code; it has none for some codes.
std::string ErrorText(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "error " + std::to_string(code);
}

class TGIFFile {
public:
    TGIFFile(TMemoryReader& reader, const std::string& name)
    {
        int error = 0;
        Gif = DGifOpen(&reader, ReadFromMemory, &error);
        if (!Gif)
            throw EKorvelaError(name + ": not a readable GIF picture (" + ErrorText(error) + ")");
    }
    ~TGIFFile()
    {
        int error = 0;
        DGifCloseFile(Gif, &error);
    }
    TGIFFile(const TGIFFile&) = delete;
    TGIFFile& operator=(const TGIFFile&) = delete;

    GifFileType* Gif = nullptr;
};

std::vector<TColor> PaletteOf(const ColorMapObject* map)
{
    std::vector<TColor> palette(256, clBlack);
    if (map)
        for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
            palette[static_cast<size_t>(i)] = RGBColor(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    return palette;
}

// Rows of an interlaced image arrive in four passes.
std::vector<int32_t> RowOrder(int32_t height, bool interlaced)
{
    std::vector<int32_t> order;
    order.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int32_t y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    const int32_t starts[] = {0, 4, 2, 1};
    const int32_t steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int32_t y = starts[pass]; y < height; y += steps[pass])
            order.push_back(y);
    return order;
}

} // namespace

void ReadGIF(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress, const std::string& name)
{
    TMemoryReader reader{data};
    TGIFFile file(reader, name);
    GifFileType* gif = file.Gif;
    const auto fail = [&](const char* what) {
        throw EKorvelaError(name + ": " + what + " (" + ErrorText(gif->Error) + ")");
    };

    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            fail("the GIF picture is damaged");
        if (type == TERMINATE_RECORD_TYPE)
            throw EKorvelaError(name + ": the GIF file holds no picture");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* extension = nullptr;
            if (DGifGetExtension(gif, &code, &extension) == GIF_ERROR)
                fail("the GIF picture is damaged");
            while (extension)
                if (DGifGetExtensionNext(gif, &extension) == GIF_ERROR)
                    fail("the GIF picture is damaged");
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            fail("the GIF picture is damaged");
        const GifImageDesc& image = gif->Image;
        // The logical screen, grown to hold the image should the file understate it.
        const int64_t width = std::max<int64_t>(gif->SWidth, int64_t{image.Left} + image.Width);
        const int64_t height = std::max<int64_t>(gif->SHeight, int64_t{image.Top} + image.Height);
        CheckPictureSize(name, static_cast<uint64_t>(width), static_cast<uint64_t>(height), 1, data.size(),
                         MaxExpansion);
        TBitmap picture(static_cast<int32_t>(width), static_cast<int32_t>(height), pf8bit);
        picture.SetPalette(PaletteOf(image.ColorMap ? image.ColorMap : gif->SColorMap));
        const auto background = static_cast<uint8_t>(gif->SBackGroundColor);
        for (int32_t y = 0; y < picture.Height(); ++y)
            std::memset(picture.ScanLine(y), background, static_cast<size_t>(picture.Width()));

        TRowProgress rows(progress, image.Height);
        rows.Start();
        std::vector<GifPixelType> line(static_cast<size_t>(std::max(image.Width, 0)));
        // An image of no width leaves the screen in its background colour.
        for (const int32_t y : RowOrder(image.Width > 0 ? image.Height : 0, image.Interlace)) {
            // A picture cut short keeps the rows it has.
            if (DGifGetLine(gif, line.data(), image.Width) == GIF_ERROR)
                break;
            std::memcpy(picture.ScanLine(image.Top + y) + image.Left, line.data(), line.size());
            rows.RowDone();
        }
        bitmap = std::move(picture);
        rows.End();
        return;
    }
}

} // namespace kv
