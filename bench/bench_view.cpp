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
#include <chrono>
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

// The Showpieces crane at 1600 x 1000, as the window shows it after opening.
struct Crane {
    vxOffscreenView offscreen{1600, 1000, false};
    vxOpenGLView& view = offscreen.view;
    bool loaded = false;
    std::size_t triangles = 0;

    Crane()
    {
        vxResources::setResourceFolder(KOLBRIK_RESOURCE_DIR);
        const std::string path = std::string(KOLBRIK_RESOURCE_DIR) + "/library/Showpieces/Tower crane.kmf";
        // Loads as the command line does, then as the window does (making
        // the simplified meshes).
        for (bool simplifying : {false, true}) {
            view.setSimplifyWhileMoving(simplifying);
            const auto t = std::chrono::steady_clock::now();
            loaded = offscreen.host.ok() && view.loadModelFromFile(path).ok;
            loadSeconds[simplifying] =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
        }
        view.setSimplifyWhileMoving(false);
        for (const auto& o : view.sceneObjectList())
            triangles += std::as_const(*o).verticesList().size();
    }
    double loadSeconds[2] = {0, 0};
    double frame(bool moving)
    {
        view.setMovingFrameForced(moving);
        const auto t = std::chrono::steady_clock::now();
        view.drawRect();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
    }
    // Pixels that are not the background.
    std::vector<bool> covered()
    {
        const vxImage image = offscreen.host.readPixels();
        const std::uint8_t* bg = &image.rgba[0];
        std::vector<bool> mask(image.rgba.size() / 4);
        for (std::size_t i = 0; i < mask.size(); ++i)
            mask[i] = std::memcmp(&image.rgba[4 * i], bg, 3) != 0;
        return mask;
    }
};

// The crane drawn in the argument's style (0 Classic, 1 Outlined, with
// samples); nullptr, with the benchmark failed, without the crane.
Crane* craneFor(benchmark::State& state)
{
    static Crane c;
    if (!c.loaded) {
        state.SkipWithError("the Showpieces crane is not in the build's resources");
        return nullptr;
    }
    c.view.setDrawStyle(state.range(0) ? vxDrawStyle::kOutlined : vxDrawStyle::kClassic);
    c.offscreen.host.setSamples(state.range(0) ? vxOffscreenHost::kAntiAliasSamples : 0);
    return &c;
}

// A frame drawn while the camera moves against the full frame of the same
// camera, timed alternately (argument: 0 Classic, 1 Outlined). "moving_per_full"
// is the goal's ratio; "silhouette_iou" compares the two pictures' covered
// pixels.
void BM_CraneMovingFrameVsFull(benchmark::State& state)
{
    Crane* crane = craneFor(state);
    if (!crane)
        return;
    Crane& c = *crane;
    c.frame(false);
    c.frame(true);
    double moving = 0, full = 0;
    for (auto _ : state) {
        moving += c.frame(true);
        state.PauseTiming();
        full += c.frame(false);
        state.ResumeTiming();
    }
    c.frame(false);
    const std::vector<bool> fullMask = c.covered();
    c.frame(true);
    const std::vector<bool> movingMask = c.covered();
    std::size_t both = 0, either = 0;
    for (std::size_t i = 0; i < fullMask.size(); ++i) {
        both += fullMask[i] && movingMask[i];
        either += fullMask[i] || movingMask[i];
    }
    std::size_t simplified[2] = {0, 0};
    for (const auto& o : c.view.sceneObjectList())
        if (o->sharedMesh())
            for (int level = 0; level < 2; ++level)
                simplified[level] += o->sharedMesh()->drawings.simplifiedTriangles(level);
    const auto n = static_cast<double>(state.iterations());
    state.counters["moving_per_full"] = full > 0 ? moving / full : 0;
    state.counters["moving_s"] = moving / n;
    state.counters["full_s"] = full / n;
    state.counters["silhouette_iou"] = either ? static_cast<double>(both) / static_cast<double>(either) : 1.0;
    state.counters["triangles"] = static_cast<double>(c.triangles);
    state.counters["simplified_triangles"] = static_cast<double>(simplified[0]);
    state.counters["coarse_triangles"] = static_cast<double>(simplified[1]);
    state.counters["load_s"] = c.loadSeconds[0];
    state.counters["load_simplifying_s"] = c.loadSeconds[1];
    state.SetLabel(std::string("Tower crane, 1600x1000, ") + (state.range(0) ? "Outlined, " : "Classic, ") +
                   c.offscreen.host.rendererName());
    c.view.setDrawStyle(vxDrawStyle::kClassic);
    c.offscreen.host.setSamples(0);
    c.view.setMovingFrameForced(false);
}

// Orbiting the crane as a drag does, with the window's moving frames: the
// frames per second while the camera turns.
void BM_CraneOrbit(benchmark::State& state)
{
    Crane* crane = craneFor(state);
    if (!crane)
        return;
    Crane& c = *crane;
    c.view.setSimplifyWhileMoving(true);
    for (auto _ : state) {
        c.view.moveCameraAround(0.0f, 2.0f);
        c.view.noteCameraMotion();
        c.view.drawRect();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(std::string("Tower crane, 1600x1000, ") + (state.range(0) ? "Outlined" : "Classic"));
    c.view.setSimplifyWhileMoving(false);
    c.view.setDrawStyle(vxDrawStyle::kClassic);
    c.offscreen.host.setSamples(0);
}

} // namespace

BENCHMARK(BM_CraneMovingFrameVsFull)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(BM_CraneOrbit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_Pick)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SelectClickAndNextFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PhaseRepaintAndNextFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadModelIntoScene)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstDrawAfterLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecompileDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplayDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
