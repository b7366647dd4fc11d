// What the pass over the library cannot show: the model builder refuses a
// part that is not joined, its camera frames any model tightly, meshed gears
// put their teeth into the gaps, the preview bitmaps are laid out as other
// programs read them, the generator writes the same files on every run, and
// every model's steps follow the order a person builds in (the check itself
// proved on models built wrongly on purpose).
#include "vxBmp.h"
#include "vxKit.h"
#include "vxLens.h"
#include "vxLibraryModels.h"
#include "vxModelBuilder.h"
#include "vxStepCheck.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <numbers>

using namespace vxGen;
namespace fs = std::filesystem;

TEST(ModelBuilder, RefusesLoosePartsAndPartsCutOffFromTheFirst)
{
    vxModelBuilder b;
    const int plate = b.place("32101", vxFrame{}, vxColor::Grey);
    b.attach("31003", "pin", plate, "g1.1", vxColor::Red);
    EXPECT_TRUE(b.problems().empty());
    // A block 0.2 mm off its groove is not joined, and no file is written.
    const int off = b.attach("31003", "pin", plate, "g3.3", vxColor::Red);
    b.move(off, {0.2, 0, 0});
    ASSERT_EQ(b.problems().size(), 1u);
    EXPECT_NE(b.problems()[0].find("part 3 (31003"), std::string::npos) << b.problems()[0];
    EXPECT_THROW(b.modelFile(), vxModelError);
    b.move(off, {-0.2, 0, 0});
    EXPECT_TRUE(b.problems().empty());
    // Two blocks joined to each other but to nothing else.
    const int a = b.place("31003", vxFrameAt({500, 0, 0}, {0, 1, 0}, {0, 0, 1}), vxColor::Red);
    b.attach("31003", "pin", a, "socket", vxColor::Red);
    ASSERT_EQ(b.problems().size(), 2u);
    EXPECT_NE(b.problems()[0].find("not connected with the first part"), std::string::npos)
        << b.problems()[0];
}

// The steps of a model: for each step its parts.
std::map<int, std::vector<std::size_t>> stepParts(const vxModelBuilder& b)
{
    std::map<int, std::vector<std::size_t>> steps;
    for (const auto& [part, step] : b.steps())
        steps[step].push_back(part);
    return steps;
}

bool mentions(const vxStepReport& r, const std::string& text)
{
    return std::any_of(r.problems.begin(), r.problems.end(),
                       [&](const std::string& p) { return p.find(text) != std::string::npos; });
}

TEST(ModelBuilder, WallsRiseCourseByCourseAndPinsGoInWithTheirCover)
{
    // A wall of four columns eight blocks high, made column by column in one
    // phase: it is built course by course, each step a whole band of courses.
    vxModelBuilder b;
    const int plate = b.place("32103", vxFrame{}, vxColor::Green);
    for (int cell = 2; cell <= 5; ++cell)
        vxKit::column(b, plate, vxKit::g(4, cell), "31003", 8, vxColor::Red);
    // A pin made early (phase 1) in the top of the first column, and the
    // block it holds made in a later phase.
    const int pin = b.attach("37001", "pin back", 8, "socket", vxColor::Red);
    b.nextPhase();
    b.nextPhase();
    for (int cell = 6; cell <= 8; ++cell)
        b.attach("39001", "pin", plate, vxKit::g(7, cell), vxColor::Green);
    b.nextPhase();
    const int dome = b.attach("39007", "socket", pin, "pin", vxColor::Red);
    b.attach("39007", "socket", b.attach("37001", "pin back", 16, "socket", vxColor::Red), "pin",
             vxColor::Red);
    b.attach("31001", "pin", 24, "socket", vxColor::Red);
    ASSERT_TRUE(b.problems().empty());

    const auto steps = stepParts(b);
    ASSERT_GE(steps.size(), 3u);
    double lastTop = -1e9;
    for (int s : {1, 2}) {
        double low = 1e9, high = -1e9;
        for (std::size_t i : steps.at(s))
            if (b.part(static_cast<int>(i)).type->shortName == "31003") {
                low = std::min(low, b.part(static_cast<int>(i)).frame.origin.y);
                high = std::max(high, b.part(static_cast<int>(i)).frame.origin.y);
            }
        EXPECT_GT(low, lastTop) << "step " << s << " reaches below the courses of the step before";
        EXPECT_LE(high - low, 4 * 15.0 + 0.1) << "step " << s << " is not one band of courses";
        lastTop = high;
    }
    int pinStep = 0, domeStep = 0;
    for (const auto& [part, step] : b.steps()) {
        pinStep = part == static_cast<std::size_t>(pin) ? step : pinStep;
        domeStep = part == static_cast<std::size_t>(dome) ? step : domeStep;
    }
    EXPECT_EQ(pinStep, domeStep) << "the pin goes in with the dome that covers it";
    const vxStepReport r = vxCheckSteps(b);
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
}

TEST(StepCheck, FindsColumnsBuiltAloneAndStepsInPlacesApart)
{
    // Column by column, a phase each: the first column rises beside the
    // places of the others.
    {
        vxModelBuilder b;
        const int plate = b.place("32103", vxFrame{}, vxColor::Green);
        for (int cell = 2; cell <= 5; ++cell) {
            b.nextPhase();
            vxKit::column(b, plate, vxKit::g(4, cell), "31003", 6, vxColor::Red);
        }
        const vxStepReport r = vxCheckSteps(b);
        EXPECT_TRUE(mentions(r, "step 1: a stack of 6 parts rises beside part"))
            << ::testing::PrintToString(r.problems);
    }
    // A tree at one end of a long site and a block column at the other in
    // one step; three trees there are fine (repeated units), as is a step
    // within one plate.
    {
        vxModelBuilder b;
        const int first = b.place("32103", vxFrame{}, vxColor::Green);
        const auto plates = vxKit::site(b, first, 4, 1, 0, 0, vxColor::Green, -1);
        b.nextPhase();
        b.attach("39001", "pin", plates[0][0], vxKit::g(2, 2), vxColor::Green);
        vxKit::column(b, plates[0][3], vxKit::g(7, 7), "31003", 3, vxColor::Red);
        b.nextPhase();
        for (int c : {0, 1, 3})
            b.attach("39001", "pin", plates[0][static_cast<std::size_t>(c)], vxKit::g(5, 5), vxColor::Green);
        const vxStepReport r = vxCheckSteps(b);
        ASSERT_EQ(r.problems.size(), 1u) << ::testing::PrintToString(r.problems);
        EXPECT_TRUE(mentions(r, "works in 2 places apart")) << r.problems.front();
    }
    // Places apart, as boxes.
    {
        std::vector<std::pair<const vxPartType*, vxBox>> parts;
        vxBox a, c;
        a.add(vxVec3{0, 0, 0});
        a.add(vxVec3{10, 10, 10});
        c.add(vxVec3{500, 0, 0});
        c.add(vxVec3{510, 10, 10});
        parts.emplace_back(vxPartCatalog::find("39001"), a);
        parts.emplace_back(vxPartCatalog::find("39001"), c);
        EXPECT_TRUE(vxInOneArea(parts, 600.0)) << "two trees: alike";
        parts.emplace_back(vxPartCatalog::find("31003"), c);
        std::size_t places = 0;
        EXPECT_FALSE(vxInOneArea(parts, 600.0, &places));
        EXPECT_EQ(places, 2u);
        EXPECT_TRUE(vxInOneArea(parts, 1200.0)) << "within half the model";
        parts.emplace_back(vxPartCatalog::find("38009"), a);
        EXPECT_FALSE(vxInOneArea(parts, 600.0)) << "plugs do not join places";
    }
}

TEST(ModelBuilder, EveryLibraryModelIsBuiltInABuildersOrder)
{
    std::size_t largest = 0;
    for (const vxLibraryModel& m : vxLibraryModels()) {
        SCOPED_TRACE(m.path);
        vxModelBuilder b;
        m.build(b);
        ASSERT_TRUE(b.problems().empty()) << b.problems().front();
        largest = std::max(largest, b.size());
        const vxStepReport r = vxCheckSteps(b);
        EXPECT_GE(r.steps, 2);
        for (const std::string& p : r.problems)
            ADD_FAILURE() << p;
    }
    EXPECT_GE(largest, 3000u) << "the benchmark model";
}

TEST(ModelBuilder, CameraFramesEveryCornerTouchingTheMargin)
{
    auto boxes = [](std::initializer_list<std::pair<vxVec3, vxVec3>> list) {
        std::vector<vxVec3> corners;
        for (const auto& [lo, hi] : list)
            for (int k = 0; k < 8; ++k)
                corners.push_back({k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z});
        return corners;
    };
    struct Case {
        const char* name;
        std::vector<vxVec3> points;
        double azimuth, elevation;
    };
    const Case cases[] = {
        {"long bar", boxes({{{-30, 0, -1}, {30, 2, 1}}}), 35, 24},
        {"tall tower", boxes({{{-1, 0, -1}, {1, 40, 1}}}), -40, 30},
        {"flat plate from high above", boxes({{{-20, 0, -20}, {20, 0.5, 20}}}), 90, 60},
        {"two blocks apart, from low in front",
         boxes({{{-25, 0, 5}, {-20, 3, 9}}, {{18, 0, -12}, {22, 9, -8}}}), 0, 10},
    };
    // The view's projection: look-at with up +y, the lens's vertical field
    // of view, a 4:3 picture.
    const double f = 1.0 / std::tan(vxLens::kFieldOfView / 2.0 * std::numbers::pi / 180.0),
                 aspect = 4.0 / 3.0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The search starts at the middle of the bounds, as the builder's does.
        vxVec3 lo = c.points[0], hi = lo;
        for (const vxVec3& p : c.points) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        const vxCameraFit fit = vxFitCamera(c.points, (lo + hi) * 0.5, c.azimuth, c.elevation);
        const vxVec3 forward = normalized(fit.target - fit.eye);
        const double az = c.azimuth * std::numbers::pi / 180.0, el = c.elevation * std::numbers::pi / 180.0;
        EXPECT_LT(length(forward -
                         vxVec3{-std::sin(az) * std::cos(el), -std::sin(el), std::cos(az) * std::cos(el)}),
                  1e-9);
        const vxVec3 side = normalized(cross(forward, {0, 1, 0})), up = cross(side, forward);
        double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
        for (const vxVec3& p : c.points) {
            const vxVec3 q = p - fit.eye;
            const double depth = dot(q, forward);
            ASSERT_GT(depth, vxLens::kNearPlane);
            ASSERT_LT(depth, vxLens::kFarPlane);
            const double x = dot(q, side) * f / aspect / depth, y = dot(q, up) * f / depth;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
        EXPECT_LE(std::max({-minX, maxX, -minY, maxY}), kCameraMargin + 1e-6)
            << "a corner outside the margin";
        EXPECT_NEAR(std::max(maxX - minX, maxY - minY) / 2, kCameraMargin, 1e-3) << "not framed tightly";
        EXPECT_NEAR(minX + maxX, 0.0, 1e-3) << "not centred across";
        EXPECT_NEAR(minY + maxY, 0.0, 1e-3) << "not centred up and down";
    }
}

TEST(ModelBuilder, MeshedGearsPutTeethIntoGaps)
{
    // Corners of the small gear's teeth (pulled 0.3 mm towards its axis)
    // inside the big gear's solid.
    auto clashes = [](const vxModelBuilder& b, int big, int small) {
        const vxFrame& fa = b.part(big).frame;
        const vxFrame& fb = b.part(small).frame;
        const vxMesh& ma = vxPartCatalog::mesh(b.part(big).type->shortName);
        int n = 0;
        for (const vxVec3& v : vxPartCatalog::mesh(b.part(small).type->shortName).vertices) {
            const double r = std::hypot(v.x, v.y);
            if (r < 5.0)
                continue;
            const vxVec3 w = fb.point({v.x * (r - 0.3) / r, v.y * (r - 0.3) / r, v.z}) - fa.origin;
            n += insideSolid(ma, {dot(w, fa.ex), dot(w, fa.ey), dot(w, fa.ez)});
        }
        return n;
    };
    for (const auto& [big, small] : {std::pair{"36005", "36005"}, {"36007", "36001"}, {"36009", "36003"}}) {
        SCOPED_TRACE(std::string(big) + " with " + small);
        vxModelBuilder b;
        const double za = vxPartCatalog::find(big)->teeth, zb = vxPartCatalog::find(small)->teeth;
        const int a = b.place(big, vxFrameAt({0, 100, 0}, {0, 0, 1}, {0, 1, 0}), vxColor::Red);
        b.turn(a, {0, 100, 0}, {0, 0, 1}, 7.0);
        const int g =
            b.place(small, vxFrameAt({(za + zb) * 0.75, 100, 0}, {0, 0, 1}, {0, 1, 0}), vxColor::Black);
        vxKit::meshGears(b, g, a);
        EXPECT_LE(clashes(b, a, g), 1);
        // Half a tooth further the teeth run into each other.
        b.turn(g, b.part(g).frame.origin, {0, 0, 1}, 180.0 / zb);
        EXPECT_GT(clashes(b, a, g), 4);
    }
}

TEST(Bitmap, WritesBottomUpPaddedRows)
{
    // 3 x 2 pixels: rows of 9 bytes padded to 12, the bottom row first,
    // blue-green-red.
    const std::uint8_t rgba[] = {255, 0,  0,  255, 0,  255, 0,  255, 0,  0,  255, 255,  // top row
                                 10,  20, 30, 255, 40, 50,  60, 255, 70, 80, 90,  255}; // bottom row
    const std::string bytes = vxBmpBytes(3, 2, rgba);
    ASSERT_EQ(bytes.size(), 54u + 24u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(bytes[30], 0); // uncompressed
    EXPECT_EQ(bytes.substr(54, 12), std::string("\x1e\x14\x0a\x3c\x32\x28\x5a\x50\x46\0\0\0", 12));
    EXPECT_EQ(bytes.substr(66, 3), std::string("\0\0\xff", 3));
}

// The generator writes the same files on every run, the build's are not
// stale, and a model it no longer makes goes away with its picture and its
// kit folder once empty; nothing else does.
TEST(LibraryGenerator, WritesTheSameFilesOnEveryRunAndRemovesOnlyItsOwn)
{
    vxTest::TempDir a, b;
    const std::string out = b.file("out"), stampFile = b.file("stamp.txt");
    auto modelgen = [](const std::string& to, const std::string& stamp) {
        const auto r = vxTest::runCommand(std::string("'") + KOLBRIK_MODELGEN + "' --out '" + to + "'" +
                                          (stamp.empty() ? "" : " --stamp '" + stamp + "'"));
        EXPECT_EQ(r.status, 0) << r.out;
    };
    modelgen(a.path(), "");
    modelgen(out, stampFile);
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(a.path())) {
        if (e.path().extension() != ".kmf")
            continue;
        ++files;
        const std::string rel = fs::relative(e.path(), a.path()).generic_string();
        const std::string text = vxTest::readFile(e.path().string());
        EXPECT_EQ(text, vxTest::readFile(out + "/" + rel)) << rel;
        if (KOLBRIK_LIBRARY_BUILT) {
            EXPECT_EQ(text, vxTest::readFile(vxTest::kBuiltResources + "/library/" + rel))
                << "the build's " << rel << " is stale";
        }
    }
    EXPECT_GE(files, 24u);

    const std::string stamp = vxTest::readFile(stampFile);
    EXPECT_NE(stamp.find("Showpieces/Tower crane.kmf\n"), std::string::npos);
    for (const char* f :
         {"/Old/Gone.kmf", "/Old/Gone.bmp", "/Old/Mine.txt", "/Lost/Kit/Gone.kmf", "/../Outside.kmf"})
        vxTest::writeFile(out + f, "x");
    vxTest::writeFile(stampFile, stamp + "Old/Gone.kmf\nLost/Kit/Gone.kmf\n../Outside.kmf\n");
    modelgen(out, stampFile);
    EXPECT_FALSE(fs::exists(out + "/Old/Gone.kmf") || fs::exists(out + "/Old/Gone.bmp") ||
                 fs::exists(out + "/Lost"));
    EXPECT_TRUE(fs::exists(out + "/Old/Mine.txt") && fs::exists(b.file("Outside.kmf")));
    EXPECT_EQ(vxTest::readFile(stampFile), stamp);
}
