// DirectX X files: saving and loading a 1,000,000-triangle scene as a text .x (bytes per second
// of the text), and reading a 500,000-triangle text .x file from disk beside the same file read
// by `assimp info` (the assimp-utils peer, a whole process, when it is installed).
#include "SceneBenchGrid.h"
#include "WriteBench.h"
#include "platform/FileIO.h"
#include "scenefiles/GLXFileReader.h"
#include "scenefiles/GLXFileWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

const kv::TGLBaseFrame& Scene()
{
    static const auto scene = kv::bench::GridScene(500, 1000);
    return *scene;
}

const std::string& Text()
{
    static const std::string text = kv::XFileText(Scene());
    return text;
}

void BM_SaveXFile(benchmark::State& state)
{
    kv::bench::MeasureWrite(state, [] { return kv::XFileText(Scene()); });
}
BENCHMARK(BM_SaveXFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadXFile(benchmark::State& state)
{
    const std::string& text = Text();
    for (auto _ : state) {
        kv::TGLBaseFrame base;
        kv::ReadXFile(base, text);
        benchmark::DoNotOptimize(base.Meshes().Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadXFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The 500,000-triangle file, written once into the temporary folder.
const std::filesystem::path& HalfMillionFile()
{
    static const std::filesystem::path file = [] {
        const auto scene = kv::bench::GridScene(500, 500);
        auto path = std::filesystem::temp_directory_path() / "korvela3d-bench-500k.x";
        kv::SaveXFile(*scene, path);
        return path;
    }();
    return file;
}

void BM_ReadHalfMillionXFile(benchmark::State& state)
{
    const auto& file = HalfMillionFile();
    for (auto _ : state) {
        kv::TGLBaseFrame base;
        kv::LoadXFile(base, file);
        benchmark::DoNotOptimize(base.Meshes().Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(file)));
}
BENCHMARK(BM_ReadHalfMillionXFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_AssimpInfoHalfMillionXFile(benchmark::State& state)
{
    const auto& file = HalfMillionFile();
    if (!std::filesystem::exists("/usr/bin/assimp")) {
        state.SkipWithError("assimp-utils is not installed");
        return;
    }
    const std::string command = "/usr/bin/assimp info '" + file.string() + "' >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("assimp info failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(file)));
}
BENCHMARK(BM_AssimpInfoHalfMillionXFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
