// Long use of one view: loads a set of models in turn, many rounds over,
// through the off-screen view, drawing, picking, selecting, hiding and
// stepping through building phases after each load. After every round it
// measures the display lists (by the books and by asking the GL), the bytes
// held through operator new (our code and the standard library), the heap
// in use and the resident memory, and fails when
//   - the lists are not exactly as many as after the first round, or an
//     emptied scene keeps more than the grid's list;
//   - after the warm-up rounds, the operator-new bytes grow by more than
//     32 KB (less than one scene object per load over a hundred rounds) or
//     the resident memory by more than the slack.
// Under AddressSanitizer freed memory waits in quarantine, so the resident
// memory is only shown; LeakSanitizer checks at exit.
//
//   soak_view [--rounds N] [--set full|small] [--resources DIR]
//             [--warmup N] [--slack-mb N]
//
// full: every model of the resource folder's library and one of 3,000
// catalogue parts. small: two of our test part types, four models of 1 to
// 240 parts and one of 300; quick enough for every test run.
//
// Picking draws from vertex arrays, not display lists: Mesa 22.3's
// llvmpipe keeps about 12 bytes per triangle of every display list replayed
// in selection mode, even after the list and its context are gone, which
// made the resident memory grow with every pick (about 27 MB a round over
// the full set). What is left is the driver's own buffers: over the full
// set its heap grows in equal steps of about 36 MB during the first rounds
// (seen up to round 21), then stays. They belong to the rasteriser's
// threads: with LP_NUM_THREADS=0 the full set keeps to one level (about
// 132 MB) from the first round. So the resident memory is checked after
// the warm-up (10 rounds for the small set, 25 for the full set) with a
// slack of 8 MB for the small set and 48 MB for the full set (one more
// such step).
#include "vxExportFixtures.h"
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
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <malloc.h>
#include <new>
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

void* operator new(std::size_t n)
{
    return allocate(n);
}
void* operator new[](std::size_t n)
{
    return allocate(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return counted(std::malloc(n ? n : 1));
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    return counted(std::malloc(n ? n : 1));
}
void* operator new(std::size_t n, std::align_val_t a)
{
    return allocateAligned(n, a);
}
void* operator new[](std::size_t n, std::align_val_t a)
{
    return allocateAligned(n, a);
}
void operator delete(void* p) noexcept
{
    release(p);
}
void operator delete[](void* p) noexcept
{
    release(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    release(p);
}

namespace {

struct Options {
    int rounds = 100;
    bool full = true;
    std::string resources = KOLBRIK_RESOURCE_DIR;
    int warmup = -1;     // small set 10, full set 25 (see above)
    double slackMb = -1; // small set 8, full set 48 (see above)
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

struct ModelSet {
    std::vector<std::string> files;
    std::string source;
};

// The models to load: the library and a large model of catalogue parts
// (full), or models of generated box types (small); empty when the full
// set finds no library or catalogue.
ModelSet prepare(const Options& o, const TempDir& work)
{
    ModelSet set;
    std::vector<std::string> types;
    std::error_code ec;
    if (o.full) {
        for (auto it = fs::recursive_directory_iterator(o.resources + "/library", ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->path().extension() == ".kmf")
                set.files.push_back(it->path().string());
        for (const auto& e : fs::directory_iterator(o.resources, ec))
            if (e.path().extension() == ".stl" && e.path().stem().string().size() == 5)
                types.push_back(e.path().stem().string());
        if (set.files.empty() || types.empty())
            return {};
        std::sort(set.files.begin(), set.files.end());
        std::sort(types.begin(), types.end());
        vxResources::setResourceFolder(o.resources);
        set.source = std::to_string(set.files.size()) + " library models";
    } else {
        const std::string folder = work.file("resources");
        vxFixture::writeResources(folder);
        types = {"90001", "90003"}; // the block and the plate
        vxResources::setResourceFolder(folder);
        const int sizes[4] = {1, 12, 60, 240};
        for (int k = 0; k < 4; ++k) {
            set.files.push_back(work.file("model" + std::to_string(k) + ".kmf"));
            writeFile(set.files.back(), vxFixture::modelText(sizes[k], types, k, 8));
        }
        set.source = "4 models of 1 to 240 parts";
    }
    const int large = o.full ? 3000 : 300;
    set.files.push_back(work.file("large.kmf"));
    writeFile(set.files.back(), vxFixture::modelText(large, types, 3, 8));
    set.source += " and one of " + std::to_string(large) + " parts, from " + std::to_string(types.size()) +
                  " part types";
    return set;
}

// After a load: fit the model into the view and draw; click in select mode
// on a 4 x 3 grid of points (selecting re-compiles the scene); hide the part
// under the middle; step to the middle phase and back to the last; draw
// after each step.
void exercise(vxOpenGLView& view, vxOffscreenHost& host, Sample& s)
{
    view.fitModel();
    view.drawRect();
    const vxSize points = host.boundsInPoints();
    view.setWorkMode(vxWorkMode::kSelect);
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
    view.setWorkMode(vxWorkMode::kHide);
    vxMouseEvent middle;
    middle.locationInWindow = host.windowPointFromView({points.width / 2, points.height / 2});
    view.mouseDown(middle);
    view.drawRect();
    const std::int32_t last = view.model()->maximumBauphase();
    view.repaintModelWithBauphase(std::max(1, last / 2));
    view.drawRect();
    view.showAll();
    view.repaintModelWithBauphase(last);
    view.setWorkMode(vxWorkMode::kNavigate);
    view.drawRect();
}

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const std::string v = i + 1 < argc ? argv[++i] : std::string();
        if (a == "--rounds")
            o.rounds = std::atoi(v.c_str());
        else if (a == "--set" && (v == "full" || v == "small"))
            o.full = v == "full";
        else if (a == "--resources")
            o.resources = v;
        else if (a == "--warmup")
            o.warmup = std::atoi(v.c_str());
        else if (a == "--slack-mb")
            o.slackMb = std::atof(v.c_str());
        else
            return false;
    }
    if (o.warmup < 0)
        o.warmup = o.full ? 25 : 10;
    if (o.slackMb < 0)
        o.slackMb = o.full ? 48.0 : 8.0;
    return o.rounds >= 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        std::cerr << "usage: soak_view [--rounds N] [--set full|small] [--resources DIR] [--warmup N] "
                     "[--slack-mb N]\n";
        return 2;
    }
    TempDir work;
    const ModelSet set = prepare(o, work);
    if (set.files.empty()) {
        std::cerr << "soak_view: no library or part catalogue in " << o.resources << "\n";
        return 1;
    }

    int failures = 0;
    auto fail = [&](const std::string& why) {
        std::cout << "FAIL: " << why << "\n";
        ++failures;
    };
    std::vector<Sample> samples;
    samples.reserve(static_cast<std::size_t>(o.rounds)); // no growth of our own between measurements
    {
        vxOffscreenView offscreen(640, 480, true);
        vxOffscreenHost& host = offscreen.host;
        vxOpenGLView& view = offscreen.view;
        if (!host.ok()) {
            std::cerr << "soak_view: " << host.error() << "\n";
            return 1;
        }
        std::cout << "soak: " << o.rounds << " rounds over " << set.source << ", " << host.rendererName()
                  << (SOAK_UNDER_ASAN ? ", under AddressSanitizer" : "") << std::endl;

        for (int round = 1; round <= o.rounds; ++round) {
            Sample s;
            const auto start = std::chrono::steady_clock::now();
            for (const std::string& file : set.files) {
                const vxLoadResult r = view.loadModelFromFile(file);
                if (!r) {
                    fail(r.error);
                    continue;
                }
                exercise(view, host, s);
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
                        static_cast<long long>(s.queued), static_cast<long long>(s.glLists),
                        g_highestListName, s.hits, s.picks, s.seconds);
            std::fflush(stdout);

            const Sample& first = samples.front();
            if (s.live != first.live || s.glLists != first.glLists)
                fail("round " + std::to_string(round) + ": " + std::to_string(s.live) + " live lists (" +
                     std::to_string(s.glLists) + " in GL), after round 1 " + std::to_string(first.live) +
                     " (" + std::to_string(first.glLists) + ")");
            if (s.glLists != s.live - s.queued)
                fail("round " + std::to_string(round) + ": the GL holds " + std::to_string(s.glLists) +
                     " lists, the books " + std::to_string(s.live - s.queued));
            if (s.hits == 0)
                fail("round " + std::to_string(round) + ": no pick hit anything");
        }

        // An emptied scene keeps only the grid's list.
        view.sceneObjectList().clear();
        view.setModel(std::make_shared<vxModel>());
        view.drawRect();
        const std::int64_t live = vxGLResources::liveLists(view.contextId());
        const std::int64_t inGl = glListsInContext();
        if (live != 1 || inGl != 1)
            fail("an empty scene keeps " + std::to_string(live) + " lists (" + std::to_string(inGl) +
                 " in GL); only the grid's should be left");
    }

    // Memory after the warm-up rounds.
    if (o.rounds > o.warmup) {
        const Sample& base = samples[static_cast<std::size_t>(o.warmup)];
        double peakRss = 0;
        long long peakNew = 0;
        for (std::size_t i = static_cast<std::size_t>(o.warmup); i < samples.size(); ++i) {
            peakRss = std::max(peakRss, samples[i].rssMb);
            peakNew = std::max(peakNew, samples[i].newBytes);
        }
        if (peakNew - base.newBytes > 32 * 1024)
            fail("bytes held through operator new grew from " + std::to_string(base.newBytes) +
                 " after round " + std::to_string(o.warmup + 1) + " to " + std::to_string(peakNew));
        std::printf("after round %d: operator-new bytes %+lld, resident memory %+.1f MB at most\n",
                    o.warmup + 1, peakNew - base.newBytes, peakRss - base.rssMb);
        if (!SOAK_UNDER_ASAN && peakRss > base.rssMb + o.slackMb)
            fail("resident memory grew from " + std::to_string(base.rssMb) + " MB after round " +
                 std::to_string(o.warmup + 1) + " to " + std::to_string(peakRss) + " MB");
    }
    std::printf("soak: %s\n", failures == 0 ? "passed" : "FAILED");
    return failures == 0 ? 0 : 1;
}
