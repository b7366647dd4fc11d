// `kolbrik info` on generated models of 100,000 and 1,000,000 parts (every
// part type of the catalogue on a grid), run as its own process: its peak
// resident memory per part beyond a model naming each type once (the
// distinct definitions), and its time against processes that read the
// file's bytes once (see readOnce): in CPU time (user + system, both threads
// of a load that reads its parts with two: *_ratio) and in wall time
// (*_wall_ratio). With the argument 1 every definition file is padded by
// 8 KB, which should change neither.
#include "vxHugeModel.h"
#include "vxTextFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
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

Run info(const std::string& model, const std::string& resources)
{
    return measure([&] {
        ::execl(KOLBRIK_CLI, KOLBRIK_CLI, "info", model.c_str(), "--resources", resources.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    });
}

// The baselines, each a process of its own (forked, so without the start of
// a program that links the viewer's libraries, which `version` measures):
// the viewer's reader (the file's bytes read once into memory, as a load
// does); a plain read() of the whole file into a fresh buffer; and one pass
// over the bytes, read a piece at a time into one buffer and looked at
// (lines counted), which touches no more memory than the piece.
Run readOnce(const std::string& model)
{
    return measure([&] { ::_exit(readWholeFile(model, 1ull << 30).ok ? 0 : 1); });
}

Run readPlain(const std::string& model)
{
    return measure([&] {
        const int fd = ::open(model.c_str(), O_RDONLY);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0)
            ::_exit(1);
        std::vector<char> bytes(static_cast<std::size_t>(st.st_size));
        std::size_t have = 0;
        for (ssize_t n = 1; n > 0 && have < bytes.size();
             have += static_cast<std::size_t>(std::max<ssize_t>(n, 0)))
            n = ::read(fd, bytes.data() + have, bytes.size() - have);
        ::_exit(have == bytes.size() ? 0 : 1);
    });
}

Run passOnce(const std::string& model)
{
    return measure([&] {
        const int fd = ::open(model.c_str(), O_RDONLY);
        std::vector<char> piece(1 << 20);
        std::size_t lines = 0;
        for (ssize_t n; (n = ::read(fd, piece.data(), piece.size())) > 0;)
            lines += static_cast<std::size_t>(std::count(piece.data(), piece.data() + n, '\n'));
        ::_exit(fd >= 0 && lines > 0 ? 0 : 1);
    });
}

Run version()
{
    return measure([&] {
        ::execl(KOLBRIK_CLI, KOLBRIK_CLI, "--version", static_cast<char*>(nullptr));
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
// iterations counts for each of the two processes.
void BM_KolbrikInfo(benchmark::State& state)
{
    Fixture& f = fixture();
    const auto& m = f.model(state.range(0));
    const std::string resources = state.range(1) ? f.padded : std::string(KOLBRIK_RESOURCE_DIR);
    const Run base = info(f.distinct, resources);
    auto fastest = [](Run& best, const Run& r) {
        best = {std::min(best.wall, r.wall), std::min(best.cpu, r.cpu), std::max(best.peakKB, r.peakKB)};
    };
    Run best{1e9, 1e9, 0}, read{1e9, 1e9, 0}, plain{1e9, 1e9, 0}, pass{1e9, 1e9, 0}, start{1e9, 1e9, 0};
    for (auto _ : state) {
        const Run r = info(m.path, resources);
        const Run runs[] = {readOnce(m.path), readPlain(m.path), passOnce(m.path), version()};
        if (r.peakKB < 0 ||
            std::any_of(std::begin(runs), std::end(runs), [](const Run& b) { return b.peakKB < 0; })) {
            state.SkipWithError("a process failed");
            return;
        }
        state.SetIterationTime(r.wall);
        fastest(best, r);
        fastest(read, runs[0]);
        fastest(plain, runs[1]);
        fastest(pass, runs[2]);
        fastest(start, runs[3]);
    }
    const double extra = static_cast<double>(best.peakKB - base.peakKB) * 1024.0;
    state.counters["bytes_per_part"] =
        extra / static_cast<double>(m.parts - static_cast<std::int64_t>(f.types.size()));
    state.counters["peak_MB"] = static_cast<double>(best.peakKB) / 1024.0;
    state.counters["info_cpu_s"] = best.cpu;
    state.counters["read_cpu_s"] = read.cpu;
    state.counters["cpu_ratio"] = best.cpu / std::max(read.cpu, 1e-6);
    state.counters["plain_read_cpu_s"] = plain.cpu;
    state.counters["plain_ratio"] = best.cpu / std::max(plain.cpu, 1e-6);
    state.counters["pass_cpu_s"] = pass.cpu;
    state.counters["pass_ratio"] = best.cpu / std::max(pass.cpu, 1e-6);
    state.counters["start_cpu_s"] = start.cpu;
    state.counters["wall_ratio"] = best.wall / std::max(read.wall, 1e-6);
    state.counters["plain_wall_ratio"] = best.wall / std::max(plain.wall, 1e-6);
    state.counters["pass_wall_ratio"] = best.wall / std::max(pass.wall, 1e-6);
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
