// VRML export of a 2,000-part model: the text assembled in memory, and the
// whole export with its atomic write, in bytes per second.
#include "vxExportFixtures.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// The model loads once: catalogue parts when the build made them, else our
// own test parts, in a temporary folder.
struct Scene {
    std::string dir;
    vxFixture::NullHost host;
    vxOpenGLView view{host};
    std::string source;

    Scene()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kolbrik-bench-XXXXXX").string();
        dir = ::mkdtemp(tmpl.data());
        std::string folder = vxResources::resourceFolderPath();
        std::vector<std::string> types = vxFixture::partTypesIn(folder);
        source = "catalogue parts";
        if (types.empty()) {
            folder = dir;
            types = vxFixture::writeResources(folder);
            source = "test parts";
        }
        vxFixture::write(dir + "/model.kmf", vxFixture::modelText(2000, types));
        view.awakeFromNib();
        vxResources::setResourceFolder(folder);
        view.loadModelFromFile(dir + "/model.kmf");
        vxResources::setResourceFolder("");
    }
    ~Scene()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

void describe(benchmark::State& state, std::size_t bytes)
{
    std::size_t triangles = 0;
    for (const auto& o : scene().view.sceneObjectList())
        triangles += static_cast<const vxBaseSceneObject&>(*o).verticesList().size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["parts"] = static_cast<double>(scene().view.sceneObjectList().size());
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetLabel(scene().source);
}

void BM_VrmlText(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = scene().view.vrmlText();
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    describe(state, bytes);
}
BENCHMARK(BM_VrmlText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportAsVRML(benchmark::State& state)
{
    const std::string target = scene().dir + "/model.wrl";
    for (auto _ : state) {
        if (!scene().view.exportAsVRML(target))
            state.SkipWithError("export failed");
    }
    describe(state, static_cast<std::size_t>(std::filesystem::file_size(target)));
}
BENCHMARK(BM_ExportAsVRML)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
