// The shipped model library as the build generated it: every model loads,
// its parts exist and are joined, its phases and camera are right, and its
// preview is the view's own drawing of it: drawn again here, off-screen,
// exactly as the window shows a model after opening it, every one comes out
// the same. And, independently of the drawing code, what a preview shows
// lies where the model is: inside the projections of its parts' placed
// bounding boxes, by the camera of the file.
#include "vxBmp.h"
#include "vxDefinition.h"
#include "vxModel.h"
#include "vxPartsList.h"
#include "vxStlFile.h"
#include "vxViewTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <numeric>

namespace fs = std::filesystem;

namespace {

using vxGen::vxFrame;
using vxGen::vxMesh;
using vxGen::vxVec3;

const std::string& kResources = vxTest::kBuiltResources;

vxVec3 of(const vxVector& v)
{
    return {v.x(), v.y(), v.z()};
}

// The viewer's placement of a part: its frame's X axis on up x direction,
// Y on up, Z on direction; part frame millimetres become centimetres.
vxFrame placement(const vxPart& p)
{
    const vxVec3 up = of(p.up()), dir = of(p.direction());
    return {of(p.position()), cross(up, dir) * 0.1, up * 0.1, dir * 0.1};
}

// A part type's mesh file moved by its definition's offset, read once.
const vxMesh& partMesh(const vxPart& p)
{
    static std::map<std::string, vxMesh> cache;
    auto it = cache.find(p.shortName());
    if (it == cache.end()) {
        const vxDefinition& d = p.definition();
        const std::string bytes = vxTest::readFile(kResources + "/" + p.shortName() + ".stl");
        it = cache.emplace(p.shortName(), vxTest::readStl(bytes, {d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ}))
                 .first;
    }
    return it->second;
}

// The pairs of joined parts: a connection of one meets a connection of the
// other kind (pin, hole) of the other within 0.1 mm, or an axle of one runs
// through the other's bore or hole.
std::vector<std::pair<std::size_t, std::size_t>> joinedPairs(const vxModel& m)
{
    struct Seat {
        std::size_t part;
        const vxConnection* c;
        vxVec3 at, normal;
    };
    static std::map<std::string, vxDefinition> definitions;
    const auto& parts = m.partList();
    std::vector<Seat> seats;
    std::map<std::array<long, 3>, std::vector<std::size_t>> grid; // by the millimetre
    auto cell = [](vxVec3 p) {
        return std::array<long, 3>{std::lround(p.x * 10), std::lround(p.y * 10), std::lround(p.z * 10)};
    };
    for (std::size_t i = 0; i < parts.size(); ++i) {
        auto [it, added] = definitions.try_emplace(parts[i]->shortName(), parts[i]->definition());
        if (added)
            it->second.ReadConnections();
        const vxFrame pl = placement(*parts[i]);
        for (const auto& c : it->second.m_ConnectionList) {
            seats.push_back({i, c.get(), pl.point({c->m_X, c->m_Y, c->m_Z}),
                             normalized(pl.direction({c->m_PN, c->m_RN, c->m_TN}))});
            grid[cell(seats.back().at)].push_back(seats.size() - 1);
        }
    }
    const double tolerance = 0.01; // cm
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (const Seat& s : seats) {
        const auto c = cell(s.at);
        for (long dx = -1; dx <= 1; ++dx)
            for (long dy = -1; dy <= 1; ++dy)
                for (long dz = -1; dz <= 1; ++dz) {
                    auto it = grid.find({c[0] + dx, c[1] + dy, c[2] + dz});
                    for (std::size_t o : it == grid.end() ? std::vector<std::size_t>{} : it->second)
                        if (seats[o].part != s.part && seats[o].c->m_Typ != s.c->m_Typ &&
                            length(seats[o].at - s.at) <= tolerance)
                            pairs.emplace_back(s.part, seats[o].part);
                }
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::vector<vxVec3> ends;
        for (const Seat& s : seats)
            if (s.part == i && s.c->m_Name == "axle")
                ends.push_back(s.at);
        if (ends.size() != 2)
            continue;
        const double axle = length(ends[1] - ends[0]);
        const vxVec3 u = (ends[1] - ends[0]) * (1.0 / axle);
        for (const Seat& s : seats) {
            if (s.part == i || (s.c->m_Name != "bore" && s.c->m_Name != "hole") ||
                std::abs(dot(s.normal, u)) < 0.999)
                continue;
            const double t = dot(s.at - ends[0], u);
            if (t >= -tolerance && t <= axle + tolerance && length(s.at - (ends[0] + u * t)) <= tolerance)
                pairs.emplace_back(i, s.part);
        }
    }
    return pairs;
}

// Builds the model step by step as the building instructions show it: after
// every phase the parts so far must hang together with the first one (no
// part waits in the air for its support). Returns the first phase that
// leaves a part loose with that part, or {0, 0}.
std::pair<int, std::size_t> firstLooseStep(const vxModel& model,
                                           const std::vector<std::pair<std::size_t, std::size_t>>& pairs)
{
    const auto& parts = model.partList();
    std::vector<std::size_t> parent(parts.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](std::size_t i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    std::multimap<int, std::pair<std::size_t, std::size_t>> byStep;
    for (const auto& [a, b] : pairs)
        byStep.emplace(std::max(parts[a]->phase(), parts[b]->phase()), std::make_pair(a, b));
    for (int phase = 1; phase <= model.maximumBauphase(); ++phase) {
        for (auto [it, end] = byStep.equal_range(phase); it != end; ++it)
            parent[find(it->second.first)] = find(it->second.second);
        for (std::size_t i = 0; i < parts.size(); ++i)
            if (parts[i]->phase() <= phase && find(i) != find(0))
                return {phase, i};
    }
    return {0, 0};
}

// The model stands on the ground in the middle of the grid, and the view's
// camera (look-at with up +y, the view's lens, 4:3) sees all of it from
// above at an angle, filling the picture.
void checkPlaceAndCamera(const vxModel& model)
{
    const double f = 1.0 / std::tan(vxLens::kFieldOfView / 2 * std::numbers::pi / 180.0), aspect = 4.0 / 3.0;
    const vxVec3 eye = of(model.cameraPosition()), forward = normalized(of(model.cameraTarget()) - eye);
    EXPECT_LT(forward.y, -0.1);
    EXPECT_GT(std::min(std::abs(forward.x), std::abs(forward.z)), 0.15) << "not a three-quarter view";
    const vxVec3 side = normalized(cross(forward, {0, 1, 0})), up = cross(side, forward);
    vxVec3 lo{1e30, 1e30, 1e30}, hi = lo * -1.0;
    double span = 0;
    int outside = 0;
    for (const auto& p : model.partList()) {
        const vxFrame pl = placement(*p);
        for (const vxVec3& v : partMesh(*p).vertices) {
            const vxVec3 w = pl.point(v), q = w - eye;
            lo = {std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
            hi = {std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
            const double depth = dot(q, forward);
            const double x = std::abs(dot(q, side) * f / aspect / depth),
                         y = std::abs(dot(q, up) * f / depth);
            span = std::max({span, x, y});
            outside += depth <= vxLens::kNearPlane || depth >= vxLens::kFarPlane || x > 1.0 || y > 1.0;
        }
    }
    EXPECT_NEAR(lo.y, 0.0, 0.01);
    EXPECT_NEAR((lo.x + hi.x) / 2, 0.0, 0.5);
    EXPECT_NEAR((lo.z + hi.z) / 2, 0.0, 0.5);
    EXPECT_EQ(outside, 0) << "corners the camera does not see";
    EXPECT_GT(span, 0.6) << "the model does not fill the picture";
}

// The preview, read back, is the picture drawn now, and shows nothing
// outside the pixel rectangles around the parts' placed boxes (one pixel
// wider all round).
void checkPreview(const std::string& file, vxOffscreenHost& host, vxOpenGLView& view)
{
    view.drawRect();
    const vxImage drawn = host.readPixels();
    const vxGen::vxBmpImage bmp = vxGen::vxReadBmp(fs::path(file).replace_extension(".bmp").string());
    ASSERT_EQ(bmp.width, drawn.width);
    ASSERT_EQ(bmp.height, drawn.height);
    const int w = bmp.width, h = bmp.height;
    vxImage preview{w, h, {}};
    for (std::size_t i = 0; i < bmp.rgb.size(); i += 3)
        preview.rgba.insert(preview.rgba.end(), {bmp.rgb[i], bmp.rgb[i + 1], bmp.rgb[i + 2], 255});
    long differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto p = drawn.pixel(x, y);
            differing +=
                !vxTest::colorNear(preview.pixel(x, y), p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 2);
        }
    EXPECT_LT(differing, w * h / 100);

    std::vector<bool> covered(std::size_t(w) * std::size_t(h), false);
    const vxVector eye = view.cameraPosition(), target = view.cameraTarget();
    vxVector forward;
    forward.vectorSubtract3f(target, eye);
    forward.normalizeVector3f();
    for (const auto& o : view.sceneObjectList()) {
        const vxBounds box = o->worldBounds();
        if (box.empty)
            continue;
        int x0 = w, y0 = h, x1 = -1, y1 = -1;
        for (int k = 0; k < 8; ++k) {
            const vxVector c((k & 1 ? box.max : box.min).x(), (k & 2 ? box.max : box.min).y(),
                             (k & 4 ? box.max : box.min).z());
            vxVector rel;
            rel.vectorSubtract3f(c, eye);
            if (forward.vectorDotProduct3f(forward, rel) < vxLens::kNearPlane) { // at or behind it
                x0 = y0 = 0;
                x1 = w - 1;
                y1 = h - 1;
                break;
            }
            const vxTest::Pixel p = vxTest::project(eye, target, w, h, c);
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
        for (int y = std::max(y0 - 1, 0); y <= std::min(y1 + 1, h - 1); ++y)
            for (int x = std::max(x0 - 1, 0); x <= std::min(x1 + 1, w - 1); ++x)
                covered[std::size_t(y) * std::size_t(w) + std::size_t(x)] = true;
    }
    long shown = 0, outside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!vxTest::colorNear(preview.pixel(x, y), vxTest::kBackground[0], vxTest::kBackground[1],
                                   vxTest::kBackground[2], 2)) {
                ++shown;
                outside += !covered[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            }
    EXPECT_GT(shown, w * h / 50) << "the preview shows the model";
    EXPECT_EQ(outside, 0) << "pixels where no part is";
}

} // namespace

TEST(Library, EveryModelIsSoundAndItsPreviewIsTheViewsDrawing)
{
    if (!KOLBRIK_LIBRARY_BUILT)
        GTEST_SKIP() << "this build does not generate the resource folder";
    vxTest::ResourceFolder folder(kResources);
    vxOffscreenView offscreen(320, 240, false);
    ASSERT_TRUE(offscreen.host.ok()) << offscreen.host.error();
    const std::vector<std::string> files = vxTest::libraryModels(kResources);
    ASSERT_GE(files.size(), 24u);
    std::size_t largest = 0;
    for (const fs::path file : files) {
        SCOPED_TRACE(fs::relative(file, kResources).string());
        const std::string text = vxTest::readFile(file.string());
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'))
            << "not CR LF lines";
        EXPECT_EQ(text.find("=-0\r"), std::string::npos);
        const vxLoadResult loaded = offscreen.view.loadModelFromFile(file.string());
        ASSERT_TRUE(loaded) << loaded.error;
        const vxModel& model = *offscreen.view.model();
        const auto& parts = model.partList();
        ASSERT_GT(parts.size(), 1u);
        largest = std::max(largest, parts.size());
        // Parts listed in building order, the first in phase 1, no phase empty.
        const std::int32_t top = model.maximumBauphase();
        std::vector<int> perPhase(static_cast<std::size_t>(std::max(top, 1)) + 1, 0);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const vxPart& p = *parts[i];
            EXPECT_TRUE(p.definition().found()) << p.partName();
            EXPECT_FALSE(partMesh(p).triangles.empty()) << p.partName();
            ASSERT_TRUE(i == 0 ? p.phase() == 1 : p.phase() >= parts[i - 1]->phase())
                << "part " << i + 1 << " phase " << p.phase();
            ++perPhase[static_cast<std::size_t>(p.phase())];
        }
        EXPECT_GE(top, 2);
        EXPECT_EQ(std::count(perPhase.begin() + 1, perPhase.end(), 0), 0) << "an empty phase";
        // Steps a builder can follow: 3 to 25 parts each, none loose.
        for (std::size_t phase = 1; phase < perPhase.size(); ++phase)
            EXPECT_TRUE(perPhase[phase] >= 3 && perPhase[phase] <= 25)
                << "phase " << phase << " adds " << perPhase[phase] << " parts";
        // The parts lists of the phases hold every part once.
        std::int32_t listed = 0;
        for (const auto& [phase, list] : vxMakePhasePartsLists(model)) {
            listed += vxPartsListTotal(list);
            EXPECT_EQ(vxPartsListTotal(list), perPhase[static_cast<std::size_t>(phase)]) << "phase " << phase;
        }
        EXPECT_EQ(listed, model.count());
        const auto pairs = joinedPairs(model);
        std::vector<bool> joined(parts.size(), false);
        for (const auto& [a, b] : pairs)
            joined[a] = joined[b] = true;
        for (std::size_t i = 1, loose = 0; i < joined.size(); ++i)
            if (!joined[i] && ++loose <= 5)
                ADD_FAILURE() << "part " << i + 1 << " (" << parts[i]->partName()
                              << ") meets no connection of another part";
        const auto [loosePhase, loosePart] = firstLooseStep(model, pairs);
        EXPECT_EQ(loosePhase, 0) << "after phase " << loosePhase << ", part " << loosePart + 1 << " ("
                                 << parts[loosePart]->partName() << ") hangs in the air";
        for (const auto& t : model.tubeList())
            EXPECT_TRUE(t->count() >= 2 && t->radius() > 0.0f) << "a cable without nodes or thickness";
        checkPlaceAndCamera(model);
        checkPreview(file, offscreen.host, offscreen.view);
    }
    EXPECT_GE(largest, 3000u) << "the benchmark model";
}
