// `kolbrik info` on generated models of 100,000 and 1,000,000 parts (every
// part type of the catalogue on a grid), run as its own process: its peak
// resident memory per part beyond a model naming each type once (the
// distinct definitions; the goal: at most 512 bytes), its CPU time (user +
// system) and its wall time. With KOLBRIK_BENCH_BASE set to the `kolbrik`
// of another build (today's main, say), that one runs on the same models in
// the same iterations, turn about, and wall_vs_base and cpu_vs_base compare
// the two (the goal at 1,000,000 parts: a wall time at most 1.3 times the
// base's). With the argument 1 every definition file is padded by 8 KB,
// which should change none of it.
#include "vxHugeModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double wall = 0; // seconds
    double cpu = 0;  // user + system seconds
    long peakKB = 0; // largest resident set
};

double cpuSeconds(const rusage& u)
{
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs child() in a new process with its output thrown away.
template <class Child> Run measure(Child child)
{
    const auto t = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        child();
        ::_exit(0);
    }
    int status = 0;
    rusage u{};
    ::wait4(pid, &status, 0, &u);
    Run r;
    r.wall = std::chrono::duration<double>(Clock::now() - t).count();
    r.cpu = cpuSeconds(u);
    r.peakKB = u.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        r.peakKB = -1;
    return r;
}

Run info(const char* cli, const std::string& model, const std::string& resources)
{
    return measure([&] {
        ::execl(cli, cli, "info", model.c_str(), "--resources", resources.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    });
}

struct Fixture {
    std::string folder = (std::filesystem::temp_directory_path() / "kolbrik-bench-huge-model").string();
    std::string padded = folder + "/padded";
    std::vector<vxBench::PartType> types = vxBench::catalogueTypes(KOLBRIK_RESOURCE_DIR);
    std::string distinct;
    std::map<std::int64_t, vxBench::HugeModel> models;

    Fixture()
    {
        std::filesystem::create_directories(padded);
        // The definitions again, each followed by 8 KB of a section no pass
        // reads; the meshes as they are.
        for (const auto& t : types) {
            std::error_code ec;
            std::filesystem::create_symlink(std::string(KOLBRIK_RESOURCE_DIR) + "/" + t.shortName + ".stl",
                                            padded + "/" + t.shortName + ".stl", ec);
            std::ifstream in(std::string(KOLBRIK_RESOURCE_DIR) + "/" + t.shortName + ".def",
                             std::ios::binary);
            std::ofstream out(padded + "/" + t.shortName + ".def", std::ios::binary);
            out << in.rdbuf() << "[NOTES]\r\n";
            for (int i = 0; i < 8192 / 64; ++i)
                out << "NOTE=" << std::string(57, 'n') << "\r\n";
        }
        distinct =
            vxBench::writeHugeModel(folder + "/distinct.kmf", static_cast<std::int64_t>(types.size()), types)
                .path;
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    const vxBench::HugeModel& model(std::int64_t parts)
    {
        auto it = models.find(parts);
        if (it == models.end())
            it = models
                     .emplace(parts, vxBench::writeHugeModel(folder + "/" + std::to_string(parts) + ".kmf",
                                                             parts, types))
                     .first;
        return it->second;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Arguments: parts, padded definitions (0 or 1). The fastest of the
// iterations counts for each process.
void BM_KolbrikInfo(benchmark::State& state)
{
    Fixture& f = fixture();
    const auto& m = f.model(state.range(0));
    const std::string resources = state.range(1) ? f.padded : std::string(KOLBRIK_RESOURCE_DIR);
    const char* const base = std::getenv("KOLBRIK_BENCH_BASE");
    const Run distinct = info(KOLBRIK_CLI, f.distinct, resources);
    auto fastest = [](Run& best, const Run& r) {
        best = {std::min(best.wall, r.wall), std::min(best.cpu, r.cpu), std::max(best.peakKB, r.peakKB)};
    };
    Run best{1e9, 1e9, 0}, baseBest{1e9, 1e9, 0};
    for (auto _ : state) {
        const Run r = info(KOLBRIK_CLI, m.path, resources);
        const Run b = base ? info(base, m.path, resources) : Run{};
        if (r.peakKB < 0 || b.peakKB < 0) {
            state.SkipWithError("a process failed");
            return;
        }
        state.SetIterationTime(r.wall);
        fastest(best, r);
        fastest(baseBest, b);
    }
    const double extra = static_cast<double>(best.peakKB - distinct.peakKB) * 1024.0;
    state.counters["bytes_per_part"] =
        extra / static_cast<double>(m.parts - static_cast<std::int64_t>(f.types.size()));
    state.counters["peak_MB"] = static_cast<double>(best.peakKB) / 1024.0;
    state.counters["info_cpu_s"] = best.cpu;
    state.counters["info_wall_s"] = best.wall;
    if (base) {
        state.counters["base_cpu_s"] = baseBest.cpu;
        state.counters["base_wall_s"] = baseBest.wall;
        state.counters["cpu_vs_base"] = best.cpu / std::max(baseBest.cpu, 1e-6);
        state.counters["wall_vs_base"] = best.wall / std::max(baseBest.wall, 1e-6);
    }
    state.SetLabel(std::to_string(m.bytes / (1024 * 1024)) + " MB file, " + std::to_string(f.types.size()) +
                   " types" + (state.range(1) ? ", definitions padded by 8 KB" : ""));
}

} // namespace

BENCHMARK(BM_KolbrikInfo)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
