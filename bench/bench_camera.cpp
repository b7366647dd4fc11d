// Computing a new camera: fit and each standard view, on the library's
// tower crane and on generated models of 10,000 parts whose meshes have 12
// or 3,072 triangles each. The first fit after a load finds the box of
// every shared mesh (its cost grows with the triangles); later ones only
// turn eight corners per visible part, so their time must not depend on
// the triangle count. No drawing: the view runs on a host without GL.
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

const std::string kCrane = std::string(KOLBRIK_RESOURCE_DIR) + "/library/Showpieces/Tower crane.kmf";

// A binary STL of n small triangles spread through a 10 x 10 x 10 mm cube.
std::string mesh(std::uint32_t n)
{
    std::string s(80, ' ');
    s.append(reinterpret_cast<const char*>(&n), 4);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f * 10.0f - 5.0f;
    };
    for (std::uint32_t i = 0; i < n; ++i) {
        float f[12] = {0, 0, 1};
        for (int k = 3; k < 12; ++k)
            f[k] = next();
        s.append(reinterpret_cast<const char*>(f), sizeof f);
        s.append(2, '\0');
    }
    return s;
}

// A folder with ten part types of `triangles` each and a model of 10,000
// parts on a 100 x 100 grid, turned four ways.
std::string generatedModel(std::uint32_t triangles)
{
    const auto folder =
        std::filesystem::temp_directory_path() / ("kolbrik-bench-camera-" + std::to_string(triangles));
    std::filesystem::create_directories(folder);
    for (int t = 0; t < 10; ++t)
        std::ofstream(folder / (std::to_string(60000 + t) + ".stl"), std::ios::binary) << mesh(triangles);
    std::string text =
        "[CAMERA]\r\nPOSITIONX=30\r\nPOSITIONY=60\r\nPOSITIONZ=-90\r\nTARGETX=0\r\nTARGETY=0\r\n"
        "TARGETZ=0\r\nUPY=1\r\n[COMMON]\r\nCOUNT=10000\r\nTUBECOUNT=0\r\n";
    const char* dirs[4] = {"XDIR=0\r\nZDIR=1", "XDIR=1\r\nZDIR=0", "XDIR=0\r\nZDIR=-1", "XDIR=-1\r\nZDIR=0"};
    for (int i = 0; i < 10000; ++i)
        text += "[PART" + std::to_string(i + 1) + "]\r\nNAME=K" + std::to_string(60000 + i % 10) +
                "_p\r\nXPOS=" + std::to_string(i % 100 - 50) +
                "\r\nYPOS=0.5\r\nZPOS=" + std::to_string(i / 100 - 50) + "\r\nYUP=1\r\n" + dirs[i % 4] +
                "\r\nPHASE=1\r\nCOLOR=255\r\n";
    std::ofstream((folder / "m.kmf"), std::ios::binary) << text;
    return folder.string();
}

struct Loaded {
    vxHeadlessHost host;
    vxOpenGLView view{host};
    std::string folder; // the resource folder of its parts
    std::string path;
    std::size_t triangles = 0;
};

// The model of a benchmark argument: 0 the crane, 12 or 3072 a generated
// model with meshes of that many triangles. Loaded once and kept.
Loaded* model(benchmark::State& state)
{
    static std::map<std::int64_t, std::unique_ptr<Loaded>> models;
    const std::int64_t which = state.range(0);
    auto& slot = models[which];
    if (!slot) {
        slot = std::make_unique<Loaded>();
        if (which == 0) {
            slot->folder = KOLBRIK_RESOURCE_DIR;
            slot->path = kCrane;
        } else {
            slot->folder = generatedModel(static_cast<std::uint32_t>(which));
            slot->path = slot->folder + "/m.kmf";
        }
        vxResources::setResourceFolder(slot->folder);
        if (!std::filesystem::exists(slot->path) || !slot->view.loadModelFromFile(slot->path)) {
            state.SkipWithError("the model is missing (a build without the library?)");
            slot.reset();
            return nullptr;
        }
        for (const auto& o : slot->view.sceneObjectList())
            slot->triangles += std::as_const(*o).verticesList().size();
    }
    vxResources::setResourceFolder(slot->folder);
    state.counters["parts"] = static_cast<double>(slot->view.sceneObjectList().size());
    state.counters["triangles"] = static_cast<double>(slot->triangles);
    return slot.get();
}

// The first fit after a load: every shared mesh's box is found.
void BM_FirstFitAfterLoad(benchmark::State& state)
{
    Loaded* m = model(state);
    if (!m)
        return;
    for (auto _ : state) {
        state.PauseTiming();
        m->view.loadModelFromFile(m->path);
        state.ResumeTiming();
        benchmark::DoNotOptimize(m->view.fitModel());
    }
}

void BM_FitModel(benchmark::State& state)
{
    Loaded* m = model(state);
    if (!m)
        return;
    m->view.fitModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(m->view.fitModel());
}

// Range 1: the standard view (front, back, left, right, top, bottom, iso).
void BM_StandardView(benchmark::State& state)
{
    Loaded* m = model(state);
    if (!m)
        return;
    const auto which = static_cast<vxStandardView>(state.range(1));
    m->view.fitModel();
    for (auto _ : state) {
        m->view.showStandardView(which);
        benchmark::DoNotOptimize(m->view.cameraPosition());
    }
}

} // namespace

BENCHMARK(BM_FirstFitAfterLoad)->Arg(0)->Arg(12)->Arg(3072)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FitModel)->Arg(0)->Arg(12)->Arg(3072)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_StandardView)
    ->ArgsProduct({{0, 12, 3072}, {0, 1, 2, 3, 4, 5, 6}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
