// Long use of one view: loads a set of models in turn, many rounds over,
// through the off-screen view, drawing, picking, selecting, hiding and
// stepping through building phases after each load. After every round it
// measures the display lists (by the books and by asking the GL), the bytes
// held through operator new (our code and the standard library), the heap
// in use and the resident memory, and fails when
//   - the lists are not exactly as many as after the first round, or an
//     emptied scene keeps more than the grid's list;
//   - after the warm-up rounds, the operator-new bytes grow by more than
//     --cxx-slack-kb (32 KB: less than one scene object per load over a
//     hundred rounds) or the resident memory by more than --slack-mb.
// Under AddressSanitizer freed memory waits in quarantine, so the resident
// memory is only shown; LeakSanitizer checks at exit.
//
//   soak_view [--rounds N] [--set full|small] [--large N] [--resources DIR]
//             [--steps load|draw|all] [--warmup N] [--slack-mb N]
//             [--cxx-slack-kb N] [--csv FILE]
//
// full: every model of the resource folder's library; without a library,
// four models made from the part catalogue (or from generated part types of
// 48 to 768 triangles when there is no catalogue either); plus one large
// model of --large parts (3,000). small: generated part types of 48 to 192
// triangles, four models of 1 to 240 parts and one of 300; quick enough for
// every test run.
//
// Picking draws from vertex arrays, not display lists: Mesa 22.3's
// llvmpipe keeps about 12 bytes per triangle of every display list replayed
// in selection mode, even after the list and its context are gone, which
// made the resident memory grow with every pick (about 27 MB a round over
// the full set). What is left is the driver's own buffers: over the full
// set its heap grows in equal steps of about 36 MB during the first rounds
// (seen up to round 21), then stays. They belong to the rasteriser's
// threads: with LP_NUM_THREADS=0 the full set keeps to one level (about
// 132 MB) from the first round. So the resident memory is checked
// after the warm-up (10 rounds for the small set, 25 for the full set)
// with a slack of 8 MB for the small set and 48 MB for the full set (one
// more such step).
#include "vxGLResources.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <new>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif
#ifndef SOAK_UNDER_ASAN
#define SOAK_UNDER_ASAN 0
#endif

namespace fs = std::filesystem;
using namespace vxTest;

// Bytes held through operator new: the C++ side of the process (our code,
// the standard library, and LLVM inside the GL driver), without the C
// allocations of the driver itself.
namespace {
std::atomic<long long> g_newBytes{0};

void* counted(void* p)
{
    if (p)
        g_newBytes += static_cast<long long>(::malloc_usable_size(p));
    return p;
}
void* allocate(std::size_t n)
{
    if (void* p = counted(std::malloc(n ? n : 1)))
        return p;
    throw std::bad_alloc();
}
void* allocateAligned(std::size_t n, std::align_val_t a)
{
    void* p = nullptr;
    const std::size_t align = std::max(static_cast<std::size_t>(a), sizeof(void*));
    if (::posix_memalign(&p, align, n ? n : 1) != 0)
        throw std::bad_alloc();
    return counted(p);
}
void release(void* p) noexcept
{
    if (p) {
        g_newBytes -= static_cast<long long>(::malloc_usable_size(p));
        std::free(p);
    }
}
} // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return counted(std::malloc(n ? n : 1)); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return counted(std::malloc(n ? n : 1)); }
void* operator new(std::size_t n, std::align_val_t a) { return allocateAligned(n, a); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocateAligned(n, a); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { release(p); }

namespace {

struct Options {
    int rounds = 100;
    bool full = true;
    int large = -1;
    std::string resources = KOLBRIK_RESOURCE_DIR;
    int warmup = -1; // small set 10, full set 25 (see above)
    double slackMb = -1; // small set 8, full set 48 (see above)
    double cxxSlackKb = 32.0;
    std::string csv;
    std::string steps = "all"; // load, draw or all: what follows each load
};

struct Sample {
    double rssMb = 0;
    double heapMb = 0;
    long long newBytes = 0;
    std::int64_t live = 0;
    std::int64_t queued = 0;
    std::int64_t glLists = 0;
    int picks = 0;
    int hits = 0;
    double seconds = 0;
};

double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double heapMb()
{
    const struct mallinfo2 m = ::mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

// Display lists that exist in the current context, asked of the GL itself:
// a cross-check of the books. Names are probed up to the highest one the
// GL has handed out so far (a fresh name is at least that high, or reused).
GLuint g_highestListName = 0;

std::int64_t glListsInContext()
{
    GLuint& highest = g_highestListName;
    const GLuint probe = glGenLists(1);
    if (probe != 0) {
        glDeleteLists(probe, 1);
        highest = std::max(highest, probe);
    }
    std::int64_t n = 0;
    for (GLuint id = 1; id <= highest; ++id)
        n += glIsList(id) ? 1 : 0;
    return n;
}

// A box whose six faces are each cut into n x n squares (12 n^2 triangles).
std::vector<StlTriangle> tessellatedBox(float sx, float sy, float sz, int n)
{
    std::vector<StlTriangle> out;
    const float size[3] = {sx, sy, sz};
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const float sign = side ? 1.0f : -1.0f;
            std::array<float, 3> normal{0, 0, 0};
            normal[static_cast<std::size_t>(axis)] = sign;
            auto corner = [&](int i, int j) {
                std::array<float, 3> p{};
                p[static_cast<std::size_t>(axis)] = sign * size[axis] / 2;
                p[static_cast<std::size_t>(u)] = (static_cast<float>(i) / n - 0.5f) * size[u];
                p[static_cast<std::size_t>(v)] = (static_cast<float>(j) / n - 0.5f) * size[v];
                return p;
            };
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    auto a = corner(i, j), b = corner(i + 1, j), c = corner(i + 1, j + 1), d = corner(i, j + 1);
                    if (side) {
                        out.push_back({normal, a, b, c});
                        out.push_back({normal, a, c, d});
                    } else {
                        out.push_back({normal, a, c, b});
                        out.push_back({normal, a, d, c});
                    }
                }
        }
    return out;
}

// Parts on a square field, turned four ways, many colours and phases,
// seen from above at an angle.
std::string fieldModel(const std::vector<std::string>& types, int parts, int tubes, unsigned seed)
{
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(parts)))));
    const float spacing = 1.25f;
    const float extent = side * spacing;
    std::vector<KmfPart> list;
    const std::array<float, 3> dirs[4] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}};
    for (int i = 0; i < parts; ++i) {
        KmfPart p;
        p.name = "K" + types[(static_cast<unsigned>(i) * 7u + seed) % types.size()] + "_p" + std::to_string(i);
        p.position = {(static_cast<float>(i % side) - side / 2.0f) * spacing, 0.0f,
                      (static_cast<float>(i / side) - side / 2.0f) * spacing};
        p.direction = dirs[(static_cast<unsigned>(i) + seed) % 4];
        p.color = static_cast<std::int32_t>((static_cast<unsigned>(i + 1) * 2654435761u + seed) % 16777216u);
        p.phase = 1 + i * 8 / std::max(parts, 1);
        list.push_back(p);
    }
    std::vector<std::int32_t> tubeColors(static_cast<std::size_t>(tubes), 0x3366cc);
    return kmfFile({0.3f * extent, 0.9f * extent + 6, -1.1f * extent - 6}, {0, 0, 0}, list, tubeColors);
}

struct ModelSet {
    std::vector<std::string> files;
    std::string source;
};

// Every .kmf below folder, sorted.
std::vector<std::string> modelsBelow(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->path().extension() == ".kmf" && it->is_regular_file(ec))
            files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> catalogueTypes(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().extension() == ".stl" && e.path().stem().string().size() == 5)
            names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

ModelSet prepare(const Options& o, const TempDir& work)
{
    ModelSet set;
    const int large = o.large >= 0 ? o.large : (o.full ? 3000 : 300);
    std::vector<std::string> types;
    if (o.full) {
        set.files = modelsBelow(o.resources + "/library");
        types = catalogueTypes(o.resources);
    }
    if (!types.empty()) {
        vxResources::setResourceFolder(o.resources);
    } else {
        // Part types of our own: boxes of 48 to 768 (small set: 192) triangles.
        const std::string folder = work.file("resources");
        fs::create_directories(folder);
        for (int t = 0; t < 10; ++t) {
            types.push_back(std::to_string(50000 + t));
            writeFile(folder + "/" + types.back() + ".stl",
                      stlFile(tessellatedBox(8.0f + static_cast<float>(t), 6.0f, 8.0f, o.full ? 2 + (t % 4) * 2 : 2 + t % 3)));
            writeFile(folder + "/" + types.back() + ".def",
                      crlf({"[COMMON]", "NAME=Box " + std::to_string(t), "[OFFSET]", "Y=3"}));
        }
        vxResources::setResourceFolder(folder);
    }
    if (!set.files.empty()) {
        set.source = std::to_string(set.files.size()) + " library models";
    } else {
        const int sizes[4] = {1, 12, 60, 240};
        for (int k = 0; k < 4; ++k) {
            set.files.push_back(work.file("model" + std::to_string(k) + ".kmf"));
            writeFile(set.files.back(), fieldModel(types, sizes[k], k, static_cast<unsigned>(k)));
        }
        set.source = "4 models of 1 to 240 parts";
    }
    if (large > 0) {
        set.files.push_back(work.file("large.kmf"));
        writeFile(set.files.back(), fieldModel(types, large, 3, 99));
        set.source += " and one of " + std::to_string(large) + " parts";
    }
    set.source += ", from " + std::to_string(types.size()) +
                  (vxResources::resourceFolderPath() == o.resources ? " catalogue part types" : " generated part types");
    return set;
}

// After a load: draw; click in select mode on a 4 x 3 grid of points
// (selecting re-compiles the scene); hide the part under the middle; step
// to the middle phase and back to the last; draw after each step.
void exercise(vxOpenGLView& view, vxOffscreenHost& host, Sample& s)
{
    view.drawRect();
    const vxSize points = host.boundsInPoints();
    view.setWorkMode(1);
    for (int gy = 1; gy <= 3; ++gy)
        for (int gx = 1; gx <= 4; ++gx) {
            const vxPoint p{points.width * gx / 5.0, points.height * gy / 4.0};
            ++s.picks;
            if (view.getPickedObject(static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)))
                ++s.hits;
            vxMouseEvent click;
            click.locationInWindow = host.windowPointFromView(p);
            view.mouseDown(click);
        }
    view.drawRect();
    view.setWorkMode(3);
    vxMouseEvent middle;
    middle.locationInWindow = host.windowPointFromView({points.width / 2, points.height / 2});
    view.mouseDown(middle);
    view.drawRect();
    const std::int32_t last = view.model()->maximumBauphase();
    view.repaintModelWithBauphase(std::max(1, last / 2));
    view.drawRect();
    view.showAll();
    view.repaintModelWithBauphase(last);
    view.setWorkMode(2);
    view.drawRect();
}

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--rounds") o.rounds = std::atoi(value().c_str());
        else if (a == "--set") {
            const std::string v = value();
            if (v != "full" && v != "small")
                return false;
            o.full = v == "full";
        } else if (a == "--large") o.large = std::atoi(value().c_str());
        else if (a == "--resources") o.resources = value();
        else if (a == "--warmup") o.warmup = std::atoi(value().c_str());
        else if (a == "--slack-mb") o.slackMb = std::atof(value().c_str());
        else if (a == "--cxx-slack-kb") o.cxxSlackKb = std::atof(value().c_str());
        else if (a == "--csv") o.csv = value();
        else if (a == "--steps") {
            o.steps = value();
            if (o.steps != "load" && o.steps != "draw" && o.steps != "all")
                return false;
        }
        else return false;
    }
    if (o.warmup < 0)
        o.warmup = o.full ? 25 : 10;
    return o.rounds >= 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        std::cerr << "usage: soak_view [--rounds N] [--set full|small] [--large N] [--resources DIR]\n"
                     "                 [--steps load|draw|all] [--warmup N] [--slack-mb N]\n"
                     "                 [--cxx-slack-kb N] [--csv FILE]\n";
        return 2;
    }
    TempDir work;
    const ModelSet set = prepare(o, work);

    int failures = 0;
    auto fail = [&](const std::string& why) {
        std::cout << "FAIL: " << why << "\n";
        ++failures;
    };
    std::vector<Sample> samples;
    samples.reserve(static_cast<std::size_t>(o.rounds)); // no growth of our own between measurements
    {
        vxOffscreenHost host(640, 480);
        if (!host.ok()) {
            std::cerr << "soak_view: " << host.error() << "\n";
            return 1;
        }
        vxOpenGLView view(host);
        view.prepare();
        view.awakeFromNib();
        view.reshape();
        std::cout << "soak: " << o.rounds << " rounds over " << set.source << ", "
                  << host.rendererName() << (SOAK_UNDER_ASAN ? ", under AddressSanitizer" : "") << std::endl;

        for (int round = 1; round <= o.rounds; ++round) {
            Sample s;
            const auto start = std::chrono::steady_clock::now();
            for (const std::string& file : set.files) {
                const vxLoadResult r = view.loadModelFromFile(file);
                if (!r) {
                    fail(r.error);
                    continue;
                }
                if (o.steps == "all")
                    exercise(view, host, s);
                else if (o.steps == "draw")
                    view.drawRect();
            }
            s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            s.rssMb = residentMb();
            s.heapMb = heapMb();
            s.newBytes = g_newBytes.load();
            s.live = vxGLResources::liveLists(view.contextId());
            s.queued = vxGLResources::queuedLists(view.contextId());
            view.makeContextCurrent();
            s.glLists = glListsInContext();
            samples.push_back(s);

            std::printf("round %3d: rss %6.1f MB, heap %6.1f MB, C++ %10lld B, lists %lld live, %lld queued, "
                        "%lld in GL (names to %u), picks %d/%d, %.2f s\n",
                        round, s.rssMb, s.heapMb, s.newBytes, static_cast<long long>(s.live),
                        static_cast<long long>(s.queued), static_cast<long long>(s.glLists), g_highestListName,
                        s.hits, s.picks, s.seconds);
            std::fflush(stdout);

            const Sample& first = samples.front();
            if (s.live != first.live || s.glLists != first.glLists)
                fail("round " + std::to_string(round) + ": " + std::to_string(s.live) + " live lists (" +
                     std::to_string(s.glLists) + " in GL), after round 1 " + std::to_string(first.live) + " (" +
                     std::to_string(first.glLists) + ")");
            if (s.glLists != s.live - s.queued)
                fail("round " + std::to_string(round) + ": the GL holds " + std::to_string(s.glLists) +
                     " lists, the books " + std::to_string(s.live - s.queued));
            if (s.hits == 0 && o.steps == "all")
                fail("round " + std::to_string(round) + ": no pick hit anything");
        }

        // An emptied scene keeps only the grid's list.
        view.sceneObjectList().clear();
        view.setModel(std::make_shared<vxModel>());
        view.drawRect();
        const std::int64_t live = vxGLResources::liveLists(view.contextId());
        const std::int64_t inGl = glListsInContext();
        std::printf("emptied: lists %lld live, %lld in GL\n", static_cast<long long>(live),
                    static_cast<long long>(inGl));
        if (live != 1 || inGl != 1)
            fail("an empty scene keeps " + std::to_string(live) + " lists (" + std::to_string(inGl) +
                 " in GL); only the grid's should be left");
    }

    // Memory after the warm-up rounds.
    const Sample& first = samples.front();
    const Sample& last = samples.back();
    if (o.rounds > o.warmup) {
        const Sample& base = samples[static_cast<std::size_t>(o.warmup)];
        double peakRss = 0;
        long long peakNew = 0;
        for (std::size_t i = static_cast<std::size_t>(o.warmup); i < samples.size(); ++i) {
            peakRss = std::max(peakRss, samples[i].rssMb);
            peakNew = std::max(peakNew, samples[i].newBytes);
        }
        if (static_cast<double>(peakNew - base.newBytes) > o.cxxSlackKb * 1024)
            fail("bytes held through operator new grew from " + std::to_string(base.newBytes) + " after round " +
                 std::to_string(o.warmup + 1) + " to " + std::to_string(peakNew));
        const double slack = o.slackMb >= 0 ? o.slackMb : (o.full ? 48.0 : 8.0);
        std::printf("after round %d: operator-new bytes %+lld, resident memory %+.1f MB at most\n", o.warmup + 1,
                    peakNew - base.newBytes, peakRss - base.rssMb);
        if (!SOAK_UNDER_ASAN && slack >= 0 && peakRss > base.rssMb + slack)
            fail("resident memory grew from " + std::to_string(base.rssMb) + " MB after round " +
                 std::to_string(o.warmup + 1) + " to " + std::to_string(peakRss) + " MB");
    }
    std::printf("round 1: rss %.1f MB, heap %.1f MB, C++ %lld B, %lld lists; "
                "round %d: rss %.1f MB, heap %.1f MB, C++ %lld B, %lld lists\n",
                first.rssMb, first.heapMb, first.newBytes, static_cast<long long>(first.live), o.rounds, last.rssMb,
                last.heapMb, last.newBytes, static_cast<long long>(last.live));

    if (!o.csv.empty()) {
        std::ofstream csv(o.csv);
        csv << "round,rss_mb,heap_mb,new_bytes,live_lists,gl_lists,seconds\n";
        for (std::size_t i = 0; i < samples.size(); ++i)
            csv << i + 1 << "," << samples[i].rssMb << "," << samples[i].heapMb << "," << samples[i].newBytes << ","
                << samples[i].live << "," << samples[i].glLists << "," << samples[i].seconds << "\n";
    }
    std::printf("soak: %s\n", failures == 0 ? "passed" : "FAILED");
    return failures == 0 ? 0 : 1;
}
