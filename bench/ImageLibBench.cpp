// Picture decoding rates: the program's own TIFF reader on a 2048 x 2048 RGB scan, uncompressed,
// PackBits and LZW, beside libtiff reading the same PackBits and LZW files.
#include "imaging/TIFFLibrary.h"
#include "imaging/TIFFReader.h"
#include "support/TestData.h"

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <map>
#include <vector>

namespace {

constexpr uint32_t Size = 2048;

// A map-like picture: smooth colour fields with sharp lines, so that compression is realistic.
const std::vector<uint8_t>& Scan(uint16_t compression)
{
    static std::map<uint16_t, std::vector<uint8_t>> files;
    auto& bytes = files[compression];
    if (!bytes.empty())
        return bytes;
    kv::test::TTempDir folder;
    const std::string name = (folder / "scan.tif").string();
    TIFF* tif = TIFFOpen(name.c_str(), "wl");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, Size);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, Size);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16);
    std::vector<uint8_t> row(Size * 3);
    for (uint32_t y = 0; y < Size; ++y) {
        for (uint32_t x = 0; x < Size; ++x) {
            const bool line = (x % 97 == 0) || (y % 89 == 0);
            row[3 * x] = line ? 0 : static_cast<uint8_t>(200 + (x / 256) * 5);
            row[3 * x + 1] = line ? 0 : static_cast<uint8_t>(180 + (y / 256) * 7);
            row[3 * x + 2] = line ? 0 : 150;
        }
        TIFFWriteScanline(tif, row.data(), y, 0);
    }
    TIFFClose(tif);
    const std::string text = kv::test::ReadFileText(name);
    bytes.assign(text.begin(), text.end());
    return bytes;
}

void Report(benchmark::State& state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * Size * Size * 3);
    state.counters["pixels/s"] = benchmark::Counter(double(state.iterations()) * Size * Size, benchmark::Counter::kIsRate);
}

void BM_ReadTIFF(benchmark::State& state)
{
    const auto& bytes = Scan(static_cast<uint16_t>(state.range(0)));
    kv::TBitmap bitmap;
    for (auto _ : state) {
        kv::ReadTIFF(bytes, bitmap);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    Report(state);
}
BENCHMARK(BM_ReadTIFF)->Arg(COMPRESSION_NONE)->Arg(COMPRESSION_PACKBITS)->Arg(COMPRESSION_LZW)->Unit(benchmark::kMillisecond);

void BM_ReadTIFFWithLibtiff(benchmark::State& state)
{
    const auto& bytes = Scan(static_cast<uint16_t>(state.range(0)));
    kv::TBitmap bitmap;
    for (auto _ : state) {
        kv::ReadTIFFWithLibrary(bytes, bitmap);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    Report(state);
}
BENCHMARK(BM_ReadTIFFWithLibtiff)->Arg(COMPRESSION_PACKBITS)->Arg(COMPRESSION_LZW)->Unit(benchmark::kMillisecond);

} // namespace
