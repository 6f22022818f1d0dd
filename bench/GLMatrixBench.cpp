// Throughput of the matrix operations the scene engine runs per vertex (transforming points, as
// merging meshes does) and per object and frame (products and inverses).
#include "gl/GLMatrix.h"
#include "gl/GLQuatLib.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int PointCount = 1000000;

kv::Matrix4x4 SomeTransform()
{
    kv::Matrix4x4 a = kv::MatrixFromAxes({1, 0.2, 0}, {-0.2, 1, 0.1}, {0, -0.1, 1});
    a[12] = 5;
    a[13] = -3;
    a[14] = 2;
    return a;
}

void BM_TransformPoints(benchmark::State& state)
{
    std::vector<kv::Vector3D> points(PointCount);
    for (int i = 0; i < PointCount; ++i)
        points[static_cast<size_t>(i)] = {i * 0.5, i * 0.25, -i * 0.125};
    const kv::Matrix4x4 a = SomeTransform();
    for (auto _ : state) {
        for (kv::Vector3D& p : points)
            p = kv::TransformPoint(a, p);
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(state.iterations() * PointCount);
}
BENCHMARK(BM_TransformPoints)->Unit(benchmark::kMillisecond);

void BM_MultiplyMatrices(benchmark::State& state)
{
    kv::Matrix4x4 a = SomeTransform();
    const kv::Matrix4x4 b = kv::MatrixInvert(SomeTransform());
    for (auto _ : state) {
        a = kv::MatrixMultiply(a, b);
        benchmark::DoNotOptimize(a);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MultiplyMatrices);

void BM_InvertMatrix(benchmark::State& state)
{
    const kv::Matrix4x4 a = SomeTransform();
    for (auto _ : state)
        benchmark::DoNotOptimize(kv::MatrixInvert(a));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InvertMatrix);

// What every mouse-drag step costs: a matrix's quaternion, a product and Euler angles.
void BM_RotationStep(benchmark::State& state)
{
    const kv::Matrix4x4 parent = SomeTransform();
    const kv::Quaternion step = kv::QuaternionFromEuler(3, 4, 0);
    for (auto _ : state) {
        const kv::Quaternion p = kv::QuaternionFromMatrix(parent);
        const kv::Quaternion relative =
            kv::QuaternionMultiply(kv::QuaternionMultiply(kv::QuaternionConjugate(p), step), p);
        benchmark::DoNotOptimize(kv::QuaternionToEuler(relative));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RotationStep);

} // namespace
