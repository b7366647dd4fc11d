// Building the part catalogue and its pieces: all designs, one cap
// triangulation, the mesh check and the STL writer.
#include "vxPartCatalog.h"
#include "vxPartDesigns.h"
#include "vxShapes.h"
#include "vxTriangulate.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

using namespace vxGen;

namespace {

void BM_BuildAllDesigns(benchmark::State& state)
{
    const auto designs = vxPartDesigns();
    std::size_t triangles = 0;
    for (auto _ : state) {
        triangles = 0;
        for (const auto& d : designs)
            triangles += d.build().mesh.triangles.size();
        benchmark::DoNotOptimize(triangles);
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["parts"] = static_cast<double>(designs.size());
}
BENCHMARK(BM_BuildAllDesigns)->Unit(benchmark::kMillisecond);

// The cap of a 40-tooth gear: an outline of 600 corners round a bore.
void BM_TriangulateGearCap(benchmark::State& state)
{
    vxRing outer, bore;
    const int z = 40;
    for (int i = 0; i < z * 15; ++i) {
        const double a = 2 * std::numbers::pi * i / (z * 15), r = (i % 15 < 7) ? 31.5 : 28.1;
        outer.points.push_back({r * std::cos(a), r * std::sin(a)});
        outer.ids.push_back(i);
    }
    bore.points = reversed(circlePoints({0, 0}, 2.05, 24));
    for (int i = 0; i < 24; ++i)
        bore.ids.push_back(z * 15 + i);
    std::vector<std::array<int, 3>> tris;
    for (auto _ : state) {
        tris.clear();
        benchmark::DoNotOptimize(triangulatePolygon(outer, {bore}, tris));
    }
    state.counters["triangles"] = static_cast<double>(tris.size());
}
BENCHMARK(BM_TriangulateGearCap)->Unit(benchmark::kMicrosecond);

void BM_CheckBlockMesh(benchmark::State& state)
{
    const vxMesh& m = vxPartCatalog::mesh("31005");
    for (auto _ : state)
        benchmark::DoNotOptimize(checkMesh(m, state.range(0) != 0));
    state.counters["triangles"] = static_cast<double>(m.triangles.size());
}
BENCHMARK(BM_CheckBlockMesh)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_WriteAllMeshes(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const auto& p : vxPartCatalog::partTypes())
            bytes += vxPartCatalog::meshBytes(p).size() + vxPartCatalog::definitionText(p).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_WriteAllMeshes)->Unit(benchmark::kMillisecond);

} // namespace
