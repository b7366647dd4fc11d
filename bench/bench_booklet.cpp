// Building-instruction booklets of library models as kolbrik instructions
// writes them: the tower crane on its building site (over 3,000 parts, the
// benchmark model) and the castle. Seconds in all, per page and per step
// (pages hold as many steps as fit), the file's size and the process's peak
// resident memory. Off-screen (EGL, Mesa), Qt's "offscreen" platform.
#include "vxBooklet.h"
#include "vxResources.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

void booklet(benchmark::State& state, const std::string& model)
{
    const std::string path = std::string(KOLBRIK_RESOURCE_DIR) + "/library/" + model + ".kmf";
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the build has no model library");
        return;
    }
    static int argc = 3;
    static char name[] = "bench", platform[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    static QGuiApplication app(argc, argv);
    vxResources::setResourceFolder(KOLBRIK_RESOURCE_DIR);
    const std::string out = (std::filesystem::temp_directory_path() / "kolbrik-bench-booklet.pdf").string();
    int pages = 0;
    std::size_t steps = 0;
    double seconds = 0, searching = 0;
    int makes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        vxBookletPictures pictures;
        if (!pictures.ok() || !pictures.load(path)) {
            state.SkipWithError("the model cannot be drawn");
            return;
        }
        vxBooklet b(pictures, QString::fromStdString(model));
        // The step model is made once the picture size is chosen, and once
        // more where another size saves pages: the time until the last is
        // the search for every step's view.
        double searched = 0;
        b.setStepsHook([&](vxBookletSteps&) {
            searched = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ++makes;
        });
        if (!vxWriteBookletPdf(b, out, QPageSize(QPageSize::A4))) {
            state.SkipWithError("the booklet cannot be written");
            return;
        }
        searching += searched;
        pages = b.pageCount();
        steps = b.stepModel().steps.size();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["pages"] = pages;
    state.counters["s_per_page"] = seconds / static_cast<double>(state.iterations()) / std::max(pages, 1);
    // Pages hold several steps, as many as fit: the time per step compares
    // booklets laid out differently.
    state.counters["s_per_step"] = seconds / static_cast<double>(state.iterations()) /
                                   static_cast<double>(std::max<std::size_t>(steps, 1));
    // Of that, choosing the views (loading and the step model).
    state.counters["s_views"] = searching / static_cast<double>(state.iterations());
    state.counters["step_makes"] = makes / static_cast<double>(state.iterations());
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(out)) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    std::filesystem::remove(out);
}

void BM_BookletCastle(benchmark::State& state)
{
    booklet(state, "Showpieces/Castle");
}

void BM_BookletShowpieceCrane(benchmark::State& state)
{
    booklet(state, "Showpieces/Tower crane");
}

} // namespace

// The castle first: the peak memory of the crane's run includes it.
BENCHMARK(BM_BookletCastle)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_BookletShowpieceCrane)->Unit(benchmark::kSecond)->Iterations(1);
