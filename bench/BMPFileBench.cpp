// Reading rate of the BMP reader on 2048 x 2048 pictures held in memory, in MB/s of file.
#include "platform/BMPFile.h"
#include "support/BMPFixtures.h"

#include <benchmark/benchmark.h>

#include <span>
#include <string>

namespace {

constexpr int32_t Side = 2048;

std::string Picture(kv::TPixelFormat format)
{
    kv::TBitmap bitmap(Side, Side, format);
    for (int32_t y = 0; y < Side; ++y)
        for (int32_t x = 0; x < Side; ++x)
            bitmap.SetValue(x, y, uint32_t(x * 31 + y * 17) & bitmap.ValueMask());
    return kv::FormatBMPData(bitmap);
}

// Run-length codes of the same size: every row runs of 64 pixels, then the end of the row.
std::string RunLengthPicture()
{
    std::string codes;
    for (int32_t y = 0; y < Side; ++y) {
        for (int32_t x = 0; x < Side; x += 64)
            codes += {char(64), char((x + y) & 0xFF)};
        codes += {'\0', '\0'};
    }
    codes += {'\0', '\1'};
    return kv::test::BuildBMP({.Width = Side, .Height = Side, .Bits = 8, .Compression = 1, .Pixels = codes});
}

void Read(benchmark::State& state, const std::string& file)
{
    for (auto _ : state) {
        const kv::TBitmap bitmap = kv::LoadBMPStream(std::span<const char>(file.data(), file.size()), "bench.bmp");
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
    state.counters["pixels"] = benchmark::Counter(double(Side) * Side * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

void BM_LoadBMPStream(benchmark::State& state)
{
    static const std::string files[] = {Picture(kv::pf24bit), Picture(kv::pf8bit)};
    Read(state, files[state.range(0)]);
}
BENCHMARK(BM_LoadBMPStream)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadBMPStreamRLE8(benchmark::State& state)
{
    static const std::string file = RunLengthPicture();
    Read(state, file);
}
BENCHMARK(BM_LoadBMPStreamRLE8)->Unit(benchmark::kMillisecond);

void BM_FormatBMPData(benchmark::State& state)
{
    kv::TBitmap bitmap(Side, Side, kv::pf24bit);
    for (auto _ : state) {
        const std::string data = kv::FormatBMPData(bitmap);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(bitmap.RowBytes() * Side));
}
BENCHMARK(BM_FormatBMPData)->Unit(benchmark::kMillisecond);

} // namespace
