// Every export format of the library's tower crane and of a generated model
// of 100,000 parts (the part types the library uses, in turn, over a grid):
// seconds, MB/s, the file's size, the peak memory beyond the loaded model,
// processor seconds of all threads, and the time `dd conv=fsync` takes to
// write as many bytes to the same disk.
// One iteration each: the 100,000-part files run to gigabytes; files below
// 256 MB are written seven times, and the medians are given.
//
//   bench_export [--benchmark_filter=crane]
#include "vxExport.h"
#include "vxExportFixtures.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <regex>
#include <set>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
const std::string kResources = KOLBRIK_RESOURCE_DIR;

// Peak and current resident memory in bytes (VmHWM, VmRSS).
std::pair<double, double> memory()
{
    std::ifstream status("/proc/self/status");
    double peak = 0, now = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            peak = std::stod(line.substr(6)) * 1024;
        if (line.rfind("VmRSS:", 0) == 0)
            now = std::stod(line.substr(6)) * 1024;
    }
    return {peak, now};
}

// Processor seconds of all threads so far, user and system.
double cpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return s(u.ru_utime) + s(u.ru_stime);
}

// Starts a new peak at the current resident memory.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Model {
    vxHeadlessHost host;
    vxOpenGLView view{host};
    bool loaded = false;

    explicit Model(const std::string& file)
    {
        view.awakeFromNib();
        vxResources::setResourceFolder(kResources);
        loaded = fs::exists(file) && view.loadModelFromFile(file).ok;
        vxResources::setResourceFolder("");
    }
};

// A folder for the files, removed at the end.
const std::string& scratch()
{
    static const struct Folder {
        std::string path;
        Folder()
        {
            std::string tmpl = (fs::temp_directory_path() / "kolbrik-bench-XXXXXX").string();
            path = ::mkdtemp(tmpl.data());
        }
        ~Folder() { fs::remove_all(path); }
    } folder;
    return folder.path;
}

Model& crane()
{
    static Model m(kResources + "/library/Showpieces/Tower crane.kmf");
    return m;
}

Model& grid()
{
    static Model m([] {
        std::set<std::string> used;
        for (const auto& e : fs::recursive_directory_iterator(kResources + "/library")) {
            if (e.path().extension() != ".kmf")
                continue;
            std::ifstream in(e.path(), std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            static const std::regex name(R"(NAME=K(\d{5}))");
            for (std::sregex_iterator i(text.begin(), text.end(), name), end; i != end; ++i)
                if (fs::exists(kResources + "/" + (*i)[1].str() + ".stl"))
                    used.insert((*i)[1].str());
        }
        const std::string file = scratch() + "/grid.kmf";
        vxTest::writeFile(file, vxFixture::modelText(100000, {used.begin(), used.end()}));
        return file;
    }());
    return m;
}

// Files below this size are written several times and the median time is
// kept, the dd of the same bytes too: one run of a few milliseconds says
// little on a shared machine.
constexpr std::uint64_t kSmallFile = 256u << 20;
constexpr int kSmallFileRuns = 7;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds that dd takes to write and sync `bytes` bytes beside the exports
// (the median of `runs` runs).
double ddSeconds(std::uint64_t bytes, int runs)
{
    const std::string target = scratch() + "/dd.bin";
    std::vector<double> times;
    for (int k = 0; k < runs; ++k) {
        const auto start = std::chrono::steady_clock::now();
        const std::string command = "dd if=/dev/zero of=" + target +
                                    " bs=1M iflag=count_bytes count=" + std::to_string(bytes) +
                                    " conv=fsync status=none";
        const int status = std::system(command.c_str());
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        fs::remove(target);
        if (status != 0)
            return -1;
    }
    return median(times);
}

void exportModel(benchmark::State& state, Model& (*model)(), vxExportFormat format)
{
    Model& m = model();
    if (!m.loaded) {
        state.SkipWithError("the build has no model library");
        return;
    }
    const std::string ext(vxExportExtension(format));
    const std::string path = scratch() + "/out." + ext;
    std::uint64_t bytes = 0;
    std::vector<double> seconds, cpu;
    double peak = 0;
    for (auto _ : state) {
        // Until the first run has told the size, the file counts as small.
        for (int run = 0; run < (bytes < kSmallFile ? kSmallFileRuns : 1); ++run) {
            fs::remove(path); // each run writes a new file, as dd does
            ::malloc_trim(0); // what earlier runs freed is not counted as in use
            const double before = memory().second;
            resetPeak();
            const double cpuBefore = cpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            const vxWriteResult r = vxExportModel(m.view.exportSource(), path, format);
            seconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            cpu.push_back(cpuSeconds() - cpuBefore);
            peak = std::max(peak, memory().first - before);
            if (!r) {
                state.SkipWithError(r.error.c_str());
                return;
            }
            bytes = fs::file_size(path);
            if (format == vxExportFormat::kObj)
                bytes += fs::file_size(scratch() + "/out.mtl");
        }
        state.SetIterationTime(median(seconds));
    }
    fs::remove(path);
    const double time = median(seconds);
    const double dd = ddSeconds(bytes, static_cast<int>(seconds.size()));
    state.counters["runs"] = static_cast<double>(seconds.size());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["MB/s"] = static_cast<double>(bytes) / 1e6 / time;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["cpu_s"] = median(cpu); // all threads
    state.counters["dd_s"] = dd;
    state.counters["x_dd"] = time / dd;
}

const int registered = [] {
    const std::pair<const char*, Model& (*)()> models[] = {{"crane", crane}, {"grid100k", grid}};
    for (const auto& [name, model] : models)
        for (const vxExportFormatInfo& f : kExportFormats)
            benchmark::RegisterBenchmark(
                ("BM_Export/" + std::string(name) + "/" + std::string(f.extension)).c_str(),
                [model = model, f = f.format](benchmark::State& s) { exportModel(s, model, f); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kSecond);
    return 0;
}();

} // namespace
