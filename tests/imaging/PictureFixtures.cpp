#include "PictureFixtures.h"

#include "support/TestData.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <stdexcept>
#include <tiffio.h>

namespace kv::test {

TBytes WriteTIFF(const TTIFFFixture& fixture)
{
    TTempDir folder;
    const std::string file = (folder / "fixture.tif").string();
    TIFF* tif = TIFFOpen(file.c_str(), fixture.BigEndian ? "wb" : "wl");
    if (!tif)
        throw std::runtime_error("libtiff cannot create the fixture");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, fixture.Width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, fixture.Height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, fixture.BitsPerSample);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, fixture.SamplesPerPixel);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, fixture.Photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, fixture.Compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (fixture.SamplesPerPixel == 4 && fixture.Photometric == PHOTOMETRIC_RGB) {
        const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (!fixture.ColorMap.empty()) {
        const size_t n = fixture.ColorMap.size() / 3;
        TIFFSetField(tif, TIFFTAG_COLORMAP, fixture.ColorMap.data(), fixture.ColorMap.data() + n, fixture.ColorMap.data() + 2 * n);
    }
    const size_t rowBytes = (size_t{fixture.Width} * fixture.BitsPerSample * fixture.SamplesPerPixel + 7) / 8;
    if (fixture.TileSize > 0) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, fixture.TileSize);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, fixture.TileSize);
        const size_t pixelBytes = rowBytes / fixture.Width;
        std::vector<uint8_t> tile(size_t{fixture.TileSize} * fixture.TileSize * pixelBytes);
        for (uint32_t ty = 0; ty < fixture.Height; ty += fixture.TileSize)
            for (uint32_t tx = 0; tx < fixture.Width; tx += fixture.TileSize) {
                std::fill(tile.begin(), tile.end(), 0);
                for (uint32_t y = 0; y < fixture.TileSize && ty + y < fixture.Height; ++y)
                    for (uint32_t x = 0; x < fixture.TileSize && tx + x < fixture.Width; ++x)
                        std::memcpy(&tile[(y * fixture.TileSize + x) * pixelBytes],
                                    &fixture.Pixels[(ty + y) * rowBytes + (tx + x) * pixelBytes], pixelBytes);
                TIFFWriteEncodedTile(tif, TIFFComputeTile(tif, tx, ty, 0, 0), tile.data(),
                                     static_cast<tmsize_t>(tile.size()));
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, fixture.RowsPerStrip ? fixture.RowsPerStrip : fixture.Height);
        for (uint32_t y = 0; y < fixture.Height; ++y) {
            std::vector<uint8_t> row(fixture.Pixels.begin() + static_cast<long>(y * rowBytes),
                                     fixture.Pixels.begin() + static_cast<long>((y + 1) * rowBytes));
            TIFFWriteScanline(tif, row.data(), y, 0);
        }
    }
    TIFFClose(tif);
    const std::string text = ReadFileText(file);
    return TBytes(text.begin(), text.end());
}

TBytes WritePNG(uint32_t width, uint32_t height, bool alpha, const TBytes& pixels)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("libpng cannot size the fixture");
    TBytes bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("libpng cannot write the fixture");
    bytes.resize(size);
    return bytes;
}

TBytes WriteJPEG(uint32_t width, uint32_t height, const TBytes& rgb)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPLE*>(rgb.data() + size_t{info.next_scanline} * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    TBytes bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

namespace {

int WriteToVector(GifFileType* gif, const GifByteType* data, int size)
{
    auto* out = static_cast<TBytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

} // namespace

TBytes WriteGIF(uint32_t width, uint32_t height, const TBytes& indices, bool interlaced)
{
    TBytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    const GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifPutScreenDesc(gif, static_cast<int>(width), static_cast<int>(height), 2, 0, map);
    EGifPutImageDesc(gif, 0, 0, static_cast<int>(width), static_cast<int>(height), interlaced, nullptr);
    // Interlaced rows are written in the order of the four passes.
    std::vector<uint32_t> order;
    if (interlaced) {
        for (uint32_t y = 0; y < height; y += 8) order.push_back(y);
        for (uint32_t y = 4; y < height; y += 8) order.push_back(y);
        for (uint32_t y = 2; y < height; y += 4) order.push_back(y);
        for (uint32_t y = 1; y < height; y += 2) order.push_back(y);
    } else {
        for (uint32_t y = 0; y < height; ++y) order.push_back(y);
    }
    for (uint32_t y : order)
        EGifPutLine(gif, const_cast<GifPixelType*>(indices.data() + size_t{y} * width), static_cast<int>(width));
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

} // namespace kv::test
