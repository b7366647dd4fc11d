// The library's benchmark model, the tower crane on its building site
// (over 3,000 parts): building it with the model builder, reading the file
// with its part definitions, turning it into the view's scene, the first
// draw that compiles it and a replayed draw. Off-screen (EGL, Mesa).
#include "vxLibraryModels.h"
#include "vxModel.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <utility>

using namespace vxGen;

namespace {

const std::string kModel = std::string(KOLBRIK_RESOURCE_DIR) + "/library/Showpieces/Tower crane.kmf";

bool haveModel(benchmark::State& state)
{
    if (std::filesystem::exists(kModel))
        return true;
    state.SkipWithError("the build has no model library");
    return false;
}

// Building the model in code and writing its file text.
void BM_BuildShowpiece(benchmark::State& state)
{
    const vxLibraryModel* crane = nullptr;
    for (const auto& m : vxLibraryModels())
        if (m.path == "Showpieces/Tower crane")
            crane = &m;
    std::size_t parts = 0;
    for (auto _ : state) {
        vxModelBuilder b;
        crane->build(b);
        benchmark::DoNotOptimize(b.modelFile());
        parts = b.size();
    }
    state.counters["parts"] = static_cast<double>(parts);
}

// The model file and every part's definition.
void BM_ReadShowpiece(benchmark::State& state)
{
    if (!haveModel(state))
        return;
    vxResources::setResourceFolder(KOLBRIK_RESOURCE_DIR);
    std::size_t parts = 0;
    for (auto _ : state) {
        vxModel model;
        benchmark::DoNotOptimize(model.loadModelFromFile(kModel).ok);
        parts = model.partList().size();
    }
    state.counters["parts"] = static_cast<double>(parts);
}

struct View {
    vxOffscreenView offscreen{1024, 768, false};
    vxOffscreenHost& host = offscreen.host;
    vxOpenGLView& view = offscreen.view;
    std::size_t triangles = 0;
    View()
    {
        vxResources::setResourceFolder(KOLBRIK_RESOURCE_DIR);
        view.loadModelFromFile(kModel);
        for (const auto& o : view.sceneObjectList())
            triangles += std::as_const(*o).verticesList().size();
    }
};

View& view()
{
    static View v;
    return v;
}

void counters(benchmark::State& state)
{
    state.counters["triangles"] = static_cast<double>(view().triangles);
    state.counters["triangles/s"] = benchmark::Counter(static_cast<double>(view().triangles),
                                                       benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(view().host.rendererName());
}

// File -> finished scene list (model, definitions, meshes, objects).
void BM_ShowpieceIntoScene(benchmark::State& state)
{
    if (!haveModel(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(view().view.loadModelFromFile(kModel).ok);
    counters(state);
}

// The first draw after opening it, which compiles the whole scene.
void BM_ShowpieceFirstDraw(benchmark::State& state)
{
    if (!haveModel(state))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        view().view.loadModelFromFile(kModel);
        state.ResumeTiming();
        view().view.drawRect();
    }
    counters(state);
}

// A redraw of the compiled scene (every step of a camera drag).
void BM_ShowpieceReplay(benchmark::State& state)
{
    if (!haveModel(state))
        return;
    view().view.drawRect();
    for (auto _ : state)
        view().view.drawRect();
    counters(state);
}

} // namespace

BENCHMARK(BM_BuildShowpiece)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadShowpiece)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowpieceIntoScene)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowpieceFirstDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowpieceReplay)->Unit(benchmark::kMillisecond);
