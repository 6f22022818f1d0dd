// Tracing the contours of a full 1500 x 1500 topo grid of real terrain, beside gdal_contour on a
// GeoTIFF of the same grid in the same run.
//
// The terrain is the Jacksboro sample (403 x 343 cells of 3 arc-seconds, 236 to 1076 m of real
// USGS elevations) resampled bilinearly to 1500 x 1500 cells, each value rounded to a 32-bit
// float so that the Float32 GeoTIFF handed to gdal_contour holds exactly the same grid.
//
// Like with like: gdal_contour reads the file, traces the levels and writes them as lines into a
// file; BM_TraceContoursToFile traces the same levels and writes every segment (level and both
// ends as 32-bit floats) into a file. The gdal_contour figure includes starting the process and
// reading the 9 MB GeoTIFF; BM_GDALContourStartup measures starting it alone on a 2 x 2 grid.
// On a shared machine compare CPU time: ours is the benchmark's CPU column, gdal_contour's the
// child_cpu_ms counter (user and system time of the finished child processes).
// BM_TraceContours is the page's own work: the segments drawn into its picture.
#include "dem/KVDemReader.h"
#include "mapview/Colorbar.h"
#include "mapview/TopoContours.h"
#include "support/TestData.h"

#include <benchmark/benchmark.h>
#include <gdal.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

const kv::TTopoGrid& Terrain()
{
    static const kv::TTopoGrid grid = [] {
        kv::TDEMArray dem;
        kv::LoadDEMByExtension(kv::test::SamplesDir() / "jacksboro.dem", dem);
        kv::TTopoGrid g;
        g.SetSize(kv::TopoCapacity, kv::TopoCapacity);
        const double sx = double(dem.Cols() - 1) / (kv::TopoCapacity - 1);
        const double sy = double(dem.Rows() - 1) / (kv::TopoCapacity - 1);
        for (int32_t c = 0; c < kv::TopoCapacity; ++c)
            for (int32_t r = 0; r < kv::TopoCapacity; ++r) {
                // Topo row 0 is the north: the grid's last row.
                const double x = c * sx;
                const double y = (dem.Rows() - 1) - r * sy;
                const auto i = std::min(int32_t(x), dem.Cols() - 2);
                const auto j = std::min(int32_t(y), dem.Rows() - 2);
                const double fx = x - i;
                const double fy = y - j;
                const double south = dem.GetValue(i, j) + (dem.GetValue(i + 1, j) - dem.GetValue(i, j)) * fx;
                const double north =
                    dem.GetValue(i, j + 1) + (dem.GetValue(i + 1, j + 1) - dem.GetValue(i, j + 1)) * fx;
                g.Set(c, r, double(float(south + (north - south) * fy)));
            }
        return g;
    }();
    return grid;
}

struct TFiles {
    kv::test::TTempDir Dir;
    std::string GeoTIFF = (Dir / "terrain.tif").string();
    std::string Tiny = (Dir / "tiny.tif").string();
    std::string Out = (Dir / "out").string();
};

void WriteGeoTIFF(const std::string& fileName, int32_t cols, int32_t rows, const std::vector<float>& rowMajor)
{
    GDALAllRegister();
    GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), fileName.c_str(), cols, rows, 1, GDT_Float32, nullptr);
    double transform[6] = {0, 1, 0, 0, 0, 1}; // one unit per cell, north up: the picture's own coordinates
    GDALSetGeoTransform(ds, transform);
    if (GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, 0, cols, rows, const_cast<float*>(rowMajor.data()), cols,
                     rows, GDT_Float32, 0, 0) != CE_None)
        std::abort();
    GDALClose(ds);
}

const TFiles& Files()
{
    static const TFiles* files = [] {
        auto* f = new TFiles;
        const kv::TTopoGrid& grid = Terrain();
        std::vector<float> cells(size_t(grid.Cols()) * grid.Rows());
        for (int32_t r = 0; r < grid.Rows(); ++r)
            for (int32_t c = 0; c < grid.Cols(); ++c)
                cells[size_t(r) * grid.Cols() + c] = float(grid.Get(c, r));
        WriteGeoTIFF(f->GeoTIFF, grid.Cols(), grid.Rows(), cells);
        WriteGeoTIFF(f->Tiny, 2, 2, {300, 310, 320, 330});
        return f;
    }();
    return *files;
}

// state.range(0): the interval in metres.
void BM_TraceContours(benchmark::State& state)
{
    const kv::TTopoGrid& grid = Terrain();
    kv::TBitmap bitmap(grid.Cols(), grid.Rows(), kv::pf32bit);
    kv::TCanvas canvas(bitmap);
    kv::TColorBar bar;
    bar.SetRange(1076, 236);
    kv::TContourOptions options;
    options.Spacing = 1;
    options.Interval = double(state.range(0));
    options.Bar = &bar;
    int64_t segments = 0;
    options.SegmentCount = &segments;
    for (auto _ : state)
        benchmark::DoNotOptimize(kv::TraceContours(grid, canvas, options, [] { return false; }));
    state.counters["segments"] = benchmark::Counter(double(segments), benchmark::Counter::kIsRate);
    state.counters["per_run"] = double(segments) / double(state.iterations());
}
BENCHMARK(BM_TraceContours)->Arg(10)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TraceContoursToFile(benchmark::State& state)
{
    const kv::TTopoGrid& grid = Terrain();
    const std::string out = Files().Out + ".seg";
    kv::TContourOptions options;
    options.Spacing = 1;
    options.Interval = double(state.range(0));
    int64_t segments = 0;
    std::vector<float> buffer;
    for (auto _ : state) {
        std::FILE* file = std::fopen(out.c_str(), "wb");
        buffer.clear();
        kv::TraceContourSegments(grid, options, [&](double level, double x1, double y1, double x2, double y2) {
            buffer.insert(buffer.end(), {float(level), float(x1), float(y1), float(x2), float(y2)});
            if (buffer.size() >= 5 * 65536) {
                std::fwrite(buffer.data(), sizeof(float), buffer.size(), file);
                buffer.clear();
            }
            ++segments;
        });
        std::fwrite(buffer.data(), sizeof(float), buffer.size(), file);
        std::fclose(file);
    }
    state.counters["segments"] = benchmark::Counter(double(segments), benchmark::Counter::kIsRate);
    state.counters["per_run"] = double(segments) / double(state.iterations());
}
BENCHMARK(BM_TraceContoursToFile)->Arg(10)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime();

double ChildCPUSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void RunGDALContour(benchmark::State& state, const std::string& input, const std::string& format,
                    const std::string& extension)
{
    const std::string out = Files().Out + extension;
    const double childBefore = ChildCPUSeconds();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(out);
        for (const char* part : {".shx", ".dbf", ".prj"})
            std::filesystem::remove(Files().Out + part);
        const std::string command = "gdal_contour -q -i " + std::to_string(state.range(0)) + " -a elev -f '" + format +
                                    "' '" + input + "' '" + out + "' >/dev/null 2>&1";
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("gdal_contour failed (is gdal-bin installed?)");
            return;
        }
    }
    // The work happens in the child process, which the benchmark's own CPU time leaves out.
    state.counters["child_cpu_ms"] = (ChildCPUSeconds() - childBefore) * 1000.0 / double(state.iterations());
}

void BM_GDALContourShapefile(benchmark::State& state)
{
    RunGDALContour(state, Files().GeoTIFF, "ESRI Shapefile", ".shp");
}
BENCHMARK(BM_GDALContourShapefile)->Arg(10)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GDALContourGeoJSON(benchmark::State& state)
{
    RunGDALContour(state, Files().GeoTIFF, "GeoJSON", ".geojson");
}
BENCHMARK(BM_GDALContourGeoJSON)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GDALContourStartup(benchmark::State& state)
{
    RunGDALContour(state, Files().Tiny, "ESRI Shapefile", ".shp");
}
BENCHMARK(BM_GDALContourStartup)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
