#include "imaging/ImageLib.h"

#include "imaging/GIFReader.h"
#include "imaging/JPEGReader.h"
#include "imaging/LBMReader.h"
#include "imaging/PCXReader.h"
#include "imaging/PNGReader.h"
#include "imaging/TGAReader.h"
#include "imaging/TIFFLibrary.h"
#include "imaging/TIFFReader.h"
#include "platform/BMPFile.h"
#include "platform/FileIO.h"
#include "platform/TextCase.h"

#include <vector>

namespace kv {

TPictureFormat PictureFormatOf(const std::filesystem::path& fileName)
{
    const std::string extension = fileName.extension().string();
    const auto is = [&](const char* candidate) { return SameTextIgnoringCase(extension, candidate); };
    if (is(".jpg") || is(".jpeg"))
        return pfmJPEG;
    if (is(".tif") || is(".tiff"))
        return pfmTIFF;
    if (is(".gif"))
        return pfmGIF;
    if (is(".png"))
        return pfmPNG;
    if (is(".tga"))
        return pfmTGA;
    if (is(".pcx"))
        return pfmPCX;
    if (is(".lbm"))
        return pfmLBM;
    return pfmBMP;
}

void LoadImageData(TBitmap& bitmap, std::span<const uint8_t> data, const std::string& name,
                   const TImageProgress& progress)
{
    switch (PictureFormatOf(name)) {
    case pfmJPEG: ReadJPEG(data, bitmap, progress, name); break;
    case pfmTIFF:
        try {
            ReadTIFF(data, bitmap, progress, name);
        } catch (const ETIFFUnsupportedError&) {
            ReadTIFFWithLibrary(data, bitmap, progress, name);
        }
        break;
    case pfmGIF: ReadGIF(data, bitmap, progress, name); break;
    case pfmPNG: ReadPNG(data, bitmap, progress, name); break;
    case pfmTGA: ReadTGA(data, bitmap, progress, name); break;
    case pfmPCX: ReadPCX(data, bitmap, progress, name); break;
    case pfmLBM: ReadLBM(data, bitmap, progress, name); break;
    case pfmBMP:
        bitmap = LoadBMPStream({reinterpret_cast<const char*>(data.data()), data.size()}, name);
        break;
    }
}

void LoadImageFile(TBitmap& bitmap, const std::filesystem::path& fileName, const TImageProgress& progress)
{
    const std::vector<char> bytes = ReadWholeFile(fileName);
    LoadImageData(bitmap, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                  fileName.filename().string(), progress);
}

} // namespace kv
