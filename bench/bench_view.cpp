// The 3D view on a generated model of 2,000 parts: reading the file into a
// finished scene, the first draw (which compiles every display list), and a
// replayed draw, each with triangles per second. Off-screen (EGL, Mesa).
//
// The parts come from the build's part catalogue when it holds meshes;
// otherwise from ten generated part types of 768 triangles each.
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kParts = 2000;

void putFloat(std::string& s, float f)
{
    char b[4];
    std::memcpy(b, &f, 4);
    s.append(b, 4);
}

// A box whose six faces are each cut into n x n squares (12 n^2 triangles).
std::string tessellatedBox(float sx, float sy, float sz, int n)
{
    std::string body;
    std::uint32_t count = 0;
    const float size[3] = {sx, sy, sz};
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const float sign = side ? 1.0f : -1.0f;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    auto corner = [&](int a, int b) {
                        float p[3];
                        p[axis] = sign * size[axis] / 2;
                        p[u] = (static_cast<float>(i + a) / n - 0.5f) * size[u];
                        p[v] = (static_cast<float>(j + b) / n - 0.5f) * size[v];
                        return std::vector<float>{p[0], p[1], p[2]};
                    };
                    float normal[3] = {0, 0, 0};
                    normal[axis] = sign;
                    const std::vector<std::vector<float>> quads[2] = {
                        {corner(0, 0), corner(1, 0), corner(1, 1)},
                        {corner(0, 0), corner(1, 1), corner(0, 1)}};
                    for (const auto& tri : quads) {
                        for (float f : normal)
                            putFloat(body, f);
                        for (int k = side ? 0 : 2, step = side ? 1 : -1, c = 0; c < 3; ++c, k += step)
                            for (float f : tri[static_cast<std::size_t>(k)])
                                putFloat(body, f);
                        body.append(2, '\0');
                        ++count;
                    }
                }
        }
    std::string file(80, ' ');
    file.append(reinterpret_cast<const char*>(&count), 4);
    return file + body;
}

struct Fixture {
    std::string folder;
    std::string modelPath;
    std::string source;
    vxOffscreenView offscreen{1024, 768, false};
    vxOffscreenHost& host = offscreen.host;
    vxOpenGLView& view = offscreen.view;
    std::size_t triangles = 0;

    Fixture()
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(KOLBRIK_RESOURCE_DIR, ec))
            if (e.path().extension() == ".stl" && e.path().stem().string().size() == 5)
                names.push_back(e.path().stem().string());
        std::sort(names.begin(), names.end());
        if (!names.empty()) {
            vxResources::setResourceFolder(KOLBRIK_RESOURCE_DIR);
            source = "the part catalogue (" + std::to_string(names.size()) + " types)";
        } else {
            folder = (std::filesystem::temp_directory_path() / "kolbrik-bench-view").string();
            std::filesystem::create_directories(folder);
            for (int t = 0; t < 10; ++t) {
                names.push_back(std::to_string(50000 + t));
                std::ofstream(folder + "/" + names.back() + ".stl", std::ios::binary)
                    << tessellatedBox(8.0f + static_cast<float>(t), 6.0f, 8.0f, 8);
            }
            vxResources::setResourceFolder(folder);
            source = "10 generated part types";
        }
        if (folder.empty())
            folder = (std::filesystem::temp_directory_path() / "kolbrik-bench-view").string();
        std::filesystem::create_directories(folder);

        // 50 x 40 parts on the ground, turned four ways, many colours.
        std::string text = "[CAMERA]\r\nPOSITIONX=30\r\nPOSITIONY=60\r\nPOSITIONZ=-90\r\nTARGETX=0\r\n"
                           "TARGETY=0\r\nTARGETZ=0\r\nUPY=1\r\n[COMMON]\r\nCOUNT=" +
                           std::to_string(kParts) + "\r\nTUBECOUNT=0\r\n";
        const char* turns[4][6] = {{"0", "1", "0", "0", "0", "1"},
                                   {"0", "1", "0", "1", "0", "0"},
                                   {"0", "1", "0", "0", "0", "-1"},
                                   {"0", "1", "0", "-1", "0", "0"}};
        for (int i = 0; i < kParts; ++i) {
            const char* const* t = turns[i % 4];
            text += "[PART" + std::to_string(i + 1) + "]\r\nNAME=K" +
                    names[static_cast<std::size_t>(i) % names.size()] +
                    "_p\r\nXPOS=" + std::to_string((i % 50) * 2 - 50) +
                    "\r\nYPOS=0\r\nZPOS=" + std::to_string((i / 50) * 2 - 40) + "\r\nXUP=" + t[0] +
                    "\r\nYUP=" + t[1] + "\r\nZUP=" + t[2] + "\r\nXDIR=" + t[3] + "\r\nYDIR=" + t[4] +
                    "\r\nZDIR=" + t[5] +
                    "\r\nPHASE=1\r\nCOLOR=" + std::to_string((i * 2654435761u) % 16777216) + "\r\n";
        }
        modelPath = folder + "/bench-view.kmf";
        std::ofstream(modelPath, std::ios::binary) << text;

        view.loadModelFromFile(modelPath);
        for (const auto& o : view.sceneObjectList())
            triangles += std::as_const(*o).verticesList().size();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void setCounters(benchmark::State& state)
{
    Fixture& f = fixture();
    state.counters["triangles"] = static_cast<double>(f.triangles);
    state.counters["triangles/s"] =
        benchmark::Counter(static_cast<double>(f.triangles), benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(f.source + ", " + f.host.rendererName());
}

// File -> finished scene list: model, definitions, meshes, objects.
void BM_LoadModelIntoScene(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        const vxLoadResult r = f.view.loadModelFromFile(f.modelPath);
        benchmark::DoNotOptimize(r.ok);
    }
    f.view.drawRect();
    setCounters(state);
}

// The first draw after a load: every object's drawing and every shared
// geometry is compiled (and executed) once.
void BM_FirstDrawAfterLoad(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.view.loadModelFromFile(f.modelPath);
        state.ResumeTiming();
        f.view.drawRect();
    }
    setCounters(state);
}

// A redraw after a look change (scene marker reset): objects recompile,
// their shared geometry is replayed.
void BM_RecompileDraw(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.drawRect();
    for (auto _ : state) {
        f.view.setDisplayList(0);
        f.view.drawRect();
    }
    setCounters(state);
}

// A redraw of a compiled scene (every drag step of the camera).
void BM_ReplayDraw(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.drawRect();
    for (auto _ : state)
        f.view.drawRect();
    setCounters(state);
}

// The middle of the picture, where the model is, in view points.
vxMouseEvent centreClick(Fixture& f, int clicks = 1)
{
    vxMouseEvent e;
    e.locationInWindow = f.host.windowPointFromView({f.host.pixelWidth() / 2.0, f.host.pixelHeight() / 2.0});
    e.clickCount = clicks;
    return e;
}

// One pick under the pointer (selection mode over every visible object).
void BM_Pick(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.drawRect();
    std::size_t hits = 0;
    for (auto _ : state) {
        auto o = f.view.getPickedObject(f.host.pixelWidth() / 2, f.host.pixelHeight() / 2);
        hits += o != nullptr;
    }
    state.counters["hit"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
    setCounters(state);
}

// A select-mode click on a part, then the frame that shows it selected.
void BM_SelectClickAndNextFrame(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setWorkMode(1);
    f.view.drawRect();
    for (auto _ : state) {
        f.view.mouseDown(centreClick(f));
        f.view.drawRect();
    }
    f.view.deselectAllBauteile();
    f.view.setWorkMode(2);
    setCounters(state);
}

// A building-phase repaint, then the frame that shows it.
void BM_PhaseRepaintAndNextFrame(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.drawRect();
    std::int32_t phase = 1;
    for (auto _ : state) {
        f.view.repaintModelWithBauphase(phase);
        f.view.drawRect();
        phase = phase == 1 ? 0 : 1;
    }
    f.view.repaintModelWithBauphase(1);
    setCounters(state);
}

} // namespace

BENCHMARK(BM_Pick)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SelectClickAndNextFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PhaseRepaintAndNextFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadModelIntoScene)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstDrawAfterLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecompileDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplayDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
