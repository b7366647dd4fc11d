// The 3D view on a generated model of 100,000 parts (the catalogue's part
// types of at most 200 triangles on a grid, ten building phases), measured
// in replay frames: every benchmark times its event and a replayed frame of
// the same scene in the same iteration, and reports their ratio ("frames"),
// which holds up on a busy machine better than the times do. The replay
// frame itself is compared with a probe that draws the same triangles,
// placed on the CPU, from one vertex buffer. Off-screen (EGL, Mesa).
//
// Run it alone: a frame takes a second or more on a software renderer, and
// the probe's buffer takes about a gigabyte.
#define GL_GLEXT_PROTOTYPES
#include "vxHugeModel.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <utility>

namespace {

constexpr std::int64_t kParts = 100000;
constexpr std::uint32_t kMaxTriangles = 200;

using Clock = std::chrono::steady_clock;

// Wall time and the CPU time of the whole process (the renderer's threads
// included): the work a step costs, which other programs on the machine
// disturb less than the wall time.
struct Times {
    double wall = 0, cpu = 0;
};

double processCpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Stopwatch {
    Clock::time_point wall = Clock::now();
    double cpu = processCpu();
    Times elapsed() const
    {
        return {std::chrono::duration<double>(Clock::now() - wall).count(), processCpu() - cpu};
    }
};

struct Fixture {
    std::string folder = (std::filesystem::temp_directory_path() / "kolbrik-bench-huge-view").string();
    vxBench::HugeModel model;
    vxOffscreenHost host{1024, 768};
    vxOpenGLView view{host};
    std::size_t types = 0;

    Fixture()
    {
        std::filesystem::create_directories(folder);
        const auto catalogue = vxBench::catalogueTypes(KOLBRIK_RESOURCE_DIR, kMaxTriangles);
        types = catalogue.size();
        model = vxBench::writeHugeModel(folder + "/huge.kmf", kParts, catalogue);
        vxResources::setResourceFolder(KOLBRIK_RESOURCE_DIR);
        view.prepare();
        view.awakeFromNib();
        view.set3DGridVisible(0);
        view.reshape();
        load();
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    void load()
    {
        view.loadModelFromFile(model.path);
        view.setWorkMode(vxWorkMode::kNavigate);
    }
    Times frame()
    {
        const Stopwatch t;
        view.drawRect();
        return t.elapsed();
    }
    vxMouseEvent centreClick()
    {
        vxMouseEvent e;
        e.locationInWindow = host.windowPointFromView({host.pixelWidth() / 2.0, host.pixelHeight() / 2.0});
        e.clickCount = 1;
        return e;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// The ratio of the event's time to a replay frame's, over the iterations.
struct Ratio {
    Times event, replay;
    int n = 0;
    void add(Times e, Times r)
    {
        event.wall += e.wall;
        event.cpu += e.cpu;
        replay.wall += r.wall;
        replay.cpu += r.cpu;
        ++n;
    }
    void report(benchmark::State& state, const std::string& name = "frames")
    {
        Fixture& f = fixture();
        state.counters[name] = replay.wall > 0 ? event.wall / replay.wall : 0;
        state.counters[name + "_cpu"] = replay.cpu > 0 ? event.cpu / replay.cpu : 0;
        state.counters["replay_s"] = n ? replay.wall / n : 0;
        state.counters["triangles"] = static_cast<double>(f.model.triangles);
        state.SetLabel(std::to_string(f.model.parts) + " parts of " + std::to_string(f.types) + " types, " +
                       f.host.rendererName());
    }
};

// The first frame of a freshly loaded model (the meshes' geometry compiled).
void BM_HugeFirstFrame(benchmark::State& state)
{
    Fixture& f = fixture();
    Ratio ratio;
    for (auto _ : state) {
        state.PauseTiming();
        f.load();
        state.ResumeTiming();
        const Times first = f.frame();
        state.PauseTiming();
        ratio.add(first, f.frame());
        state.ResumeTiming();
    }
    ratio.report(state);
}

// A click on the part in the middle in a work mode, then the next frame.
void clickAndNextFrame(benchmark::State& state, std::int32_t mode)
{
    Fixture& f = fixture();
    f.frame();
    Ratio ratio;
    for (auto _ : state) {
        const Stopwatch t;
        f.view.setWorkMode(mode);
        f.view.mouseDown(f.centreClick());
        f.view.drawRect();
        const Times event = t.elapsed();
        state.PauseTiming();
        ratio.add(event, f.frame());
        state.ResumeTiming();
    }
    ratio.report(state);
}

// A select-mode click on the part in the middle, then the frame showing it.
void BM_HugeSelectClickAndNextFrame(benchmark::State& state)
{
    clickAndNextFrame(state, vxWorkMode::kSelect);
    fixture().view.deselectAllBauteile();
}

// A hide-mode click on the part in the middle, then the frame without it.
void BM_HugeHideClickAndNextFrame(benchmark::State& state)
{
    clickAndNextFrame(state, vxWorkMode::kHide);
    fixture().view.showAll();
}

// A phase step (back from the last phase, hiding a tenth of the parts, then
// forward again, showing them; earlier phases painted white when the
// argument is 1), each plus the next frame.
void BM_HugePhaseStepAndNextFrame(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setPaintOldWhite(state.range(0) != 0);
    const std::int32_t last = f.view.model()->maximumBauphase();
    f.frame();
    Ratio ratio;
    std::int32_t phase = last;
    for (auto _ : state) {
        phase = phase == last ? last - 1 : last;
        const Stopwatch t;
        f.view.repaintModelWithBauphase(phase);
        f.view.drawRect();
        const Times event = t.elapsed();
        state.PauseTiming();
        ratio.add(event, f.frame());
        state.ResumeTiming();
    }
    f.view.setPaintOldWhite(false);
    f.load();
    ratio.report(state);
}

// One pick under the middle of the view.
void BM_HugePick(benchmark::State& state)
{
    Fixture& f = fixture();
    f.frame();
    Ratio ratio;
    int hits = 0;
    for (auto _ : state) {
        const Stopwatch t;
        hits += f.view.getPickedObject(f.host.pixelWidth() / 2, f.host.pixelHeight() / 2) != nullptr;
        const Times event = t.elapsed();
        state.PauseTiming();
        ratio.add(event, f.frame());
        state.ResumeTiming();
    }
    state.counters["hit"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
    ratio.report(state);
}

// A frame drawn while the camera moves (simplified meshes, parts under a
// pixel or two left out) against the full frame, at 1600 x 1000: "frames"
// is the moving frame's share of the full one.
void BM_HugeMovingFrameAt1600x1000(benchmark::State& state)
{
    Fixture& f = fixture();
    f.host.resize(1600, 1000);
    f.view.reshape();
    f.frame();
    f.view.setMovingFrameForced(true);
    f.frame(); // the simplified meshes compiled
    Ratio ratio;
    for (auto _ : state) {
        f.view.setMovingFrameForced(true);
        const Times moving = f.frame();
        state.PauseTiming();
        f.view.setMovingFrameForced(false);
        ratio.add(moving, f.frame());
        state.ResumeTiming();
    }
    f.view.setMovingFrameForced(false);
    f.host.resize(1024, 768);
    f.view.reshape();
    ratio.report(state);
}

// The reference: every visible triangle of the scene placed on the CPU into
// one vertex buffer (float corners, byte normals) and drawn with one call,
// in one material, after the same clear, camera and light as a frame.
class OneBufferProbe {
  public:
    explicit OneBufferProbe(Fixture& f) : m_f(f)
    {
        for (const auto& o : f.view.sceneObjectList())
            m_vertices += 3 * std::as_const(*o).verticesList().size();
        glGenBuffers(1, &m_buffer);
        glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_vertices * sizeof(Vertex)), nullptr,
                     GL_STATIC_DRAW);
        std::vector<Vertex> piece;
        GLintptr at = 0;
        for (const auto& o : f.view.sceneObjectList()) {
            piece.clear();
            const vxMatrix& m = o->localMatrix();
            for (const vxVertice& t : std::as_const(*o).verticesList()) {
                vxVector n = t.n1();
                n.setW(0.0f);
                n.vectorTransform3f(m);
                n.normalizeVector3f();
                for (const vxVector* c : {&t.v1(), &t.v2(), &t.v3()}) {
                    vxVector p = *c;
                    p.setW(1.0f);
                    p.vectorTransform3f(m);
                    piece.push_back({{p.x(), p.y(), p.z()},
                                     {static_cast<GLbyte>(std::lround(n.x() * 127)),
                                      static_cast<GLbyte>(std::lround(n.y() * 127)),
                                      static_cast<GLbyte>(std::lround(n.z() * 127)), 0}});
                }
            }
            const auto bytes = static_cast<GLsizeiptr>(piece.size() * sizeof(Vertex));
            glBufferSubData(GL_ARRAY_BUFFER, at, bytes, piece.data());
            at += bytes;
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    ~OneBufferProbe() { glDeleteBuffers(1, &m_buffer); }
    Times frame()
    {
        std::vector<std::shared_ptr<vxBaseSceneObject>> scene;
        const Stopwatch t;
        scene.swap(m_f.view.sceneObjectList());
        m_f.view.drawRect(); // clear, camera, light; nothing drawn
        scene.swap(m_f.view.sceneObjectList());
        glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), nullptr);
        glNormalPointer(GL_BYTE, sizeof(Vertex), reinterpret_cast<const void*>(offsetof(Vertex, normal)));
        const float diffuse[4] = {0.8f, 0.3f, 0.2f, 0.0f};
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(m_vertices));
        glPopClientAttrib();
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glFinish();
        return t.elapsed();
    }

  private:
    struct Vertex {
        float position[3];
        GLbyte normal[4];
    };
    Fixture& m_f;
    GLuint m_buffer = 0;
    std::size_t m_vertices = 0;
};

// A replay frame (every camera step) against the one-buffer probe, timed
// alternately in the same iteration.
void BM_HugeReplayFrameVsOneBuffer(benchmark::State& state)
{
    Fixture& f = fixture();
    f.frame();
    OneBufferProbe probe(f);
    probe.frame();
    Ratio ratio;
    for (auto _ : state) {
        const Times replay = f.frame();
        state.PauseTiming();
        ratio.add(replay, probe.frame());
        state.ResumeTiming();
    }
    ratio.report(state, "per_one_buffer_frame");
    state.counters["replay_s"] = ratio.n ? ratio.event.wall / ratio.n : 0;
    state.counters["one_buffer_s"] = ratio.n ? ratio.replay.wall / ratio.n : 0;
}

} // namespace

BENCHMARK(BM_HugeReplayFrameVsOneBuffer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
BENCHMARK(BM_HugeFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_HugeSelectClickAndNextFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_HugeHideClickAndNextFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_HugePhaseStepAndNextFrame)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(BM_HugeMovingFrameAt1600x1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_HugePick)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
