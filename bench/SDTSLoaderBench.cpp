// Throughput of the SDTS loader on a 3601 x 3601 grid of 16-bit cells (a 1 arc-second tile),
// written once with the test writer into a temporary folder and loaded from disk.
#include "dem/SDTSLoader.h"
#include "support/SDTSWriter.h"
#include "support/TestData.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

constexpr int32_t TileSize = 3601;

struct TTile {
    kv::test::TTempDir Folder;
    std::filesystem::path CellFile;
    int64_t Bytes = 0;

    explicit TTile(bool repeatMode)
    {
        kv::test::TSDTSTransfer t;
        t.Cols = TileSize;
        t.Rows = TileSize;
        t.RepeatMode = repeatMode;
        t.Cells.resize(static_cast<size_t>(TileSize) * TileSize);
        for (size_t i = 0; i < t.Cells.size(); ++i)
            t.Cells[i] = static_cast<float>(200 + (i * 7919) % 1500);
        CellFile = kv::test::WriteSDTSTransfer(Folder.Path(), "BNCH", t);
        for (const auto& entry : std::filesystem::directory_iterator(Folder.Path()))
            Bytes += static_cast<int64_t>(entry.file_size());
    }
};

void BM_LoadSDTSFile(benchmark::State& state)
{
    static const TTile records(false);
    static const TTile repeated(true);
    const TTile& tile = state.range(0) ? repeated : records;
    kv::TDEMArray dem;
    for (auto _ : state) {
        kv::LoadSDTSFile(tile.CellFile, dem);
        benchmark::DoNotOptimize(dem.Column(0));
    }
    state.SetLabel(state.range(0) ? "R repeat mode" : "one record per row");
    state.SetBytesProcessed(state.iterations() * tile.Bytes);
    state.counters["cells"] = benchmark::Counter(double(TileSize) * double(TileSize) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoadSDTSFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
