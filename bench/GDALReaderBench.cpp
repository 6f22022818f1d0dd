// Reading a 3601 x 3601 Int16 GeoTIFF (a 1 arc-second tile) into the grid, beside GDAL alone
// reading the same file into an array: the difference is what the mapping costs (turning rows
// into columns, south up, voids). Two layouts: tiled and Deflate-compressed as the export writes
// it, and plain strips, where decoding costs nothing and the mapping shows most.
#include "gdalio/GDALReader.h"
#include "support/GDALFixtures.h"
#include "support/TestData.h"

#include <benchmark/benchmark.h>
#include <gdal.h>

#include <filesystem>
#include <vector>

namespace {

constexpr int32_t TileSize = 3601;

struct TTile {
    kv::test::TTempDir Folder;
    std::filesystem::path File;

    explicit TTile(bool compressed)
    {
        kv::test::TRasterFixture s;
        s.Cols = s.Rows = TileSize;
        s.Type = GDT_Int16;
        s.CRS = "EPSG:4326";
        s.GeoTransform = {8.0, 1.0 / 3600, 0.0, 47.0, 0.0, -1.0 / 3600};
        s.HasNoData = true;
        s.NoData = -32768;
        s.Values.resize(size_t{TileSize} * TileSize);
        for (size_t i = 0; i < s.Values.size(); ++i)
            s.Values[i] = i % 5003 == 0 ? -32768.0 : double(200 + (i * 7919) % 1500);
        if (compressed)
            s.Options = {"TILED=YES", "BLOCKXSIZE=256", "BLOCKYSIZE=256", "COMPRESS=DEFLATE", "PREDICTOR=2"};
        File = Folder / "tile.tif";
        kv::test::WriteRaster(File, s);
    }
};

const TTile& Tile(int64_t compressed)
{
    static const TTile tiled(true);
    static const TTile strips(false);
    return compressed ? tiled : strips;
}

void SetCounters(benchmark::State& state)
{
    state.SetLabel(state.range(0) ? "tiled, Deflate" : "strips, uncompressed");
    state.counters["cells"] = benchmark::Counter(
        double(TileSize) * double(TileSize) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// GDAL alone: open, read band 1 into an Int16 array, close.
void BM_GDALRasterIO(benchmark::State& state)
{
    const TTile& tile = Tile(state.range(0));
    GDALAllRegister();
    std::vector<int16_t> cells(size_t{TileSize} * TileSize);
    for (auto _ : state) {
        GDALDatasetH ds = GDALOpen(tile.File.c_str(), GA_ReadOnly);
        if (GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, TileSize, TileSize, cells.data(), TileSize, TileSize,
                         GDT_Int16, 0, 0) != CE_None)
            state.SkipWithError("read failed");
        GDALClose(ds);
        benchmark::DoNotOptimize(cells.data());
    }
    SetCounters(state);
}
BENCHMARK(BM_GDALRasterIO)->Arg(1)->Arg(0)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_LoadGDALFile(benchmark::State& state)
{
    const TTile& tile = Tile(state.range(0));
    kv::TDEMArray dem;
    for (auto _ : state) {
        kv::LoadGDALFile(tile.File, dem);
        benchmark::DoNotOptimize(dem.Column(0));
    }
    SetCounters(state);
}
BENCHMARK(BM_LoadGDALFile)->Arg(1)->Arg(0)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace
