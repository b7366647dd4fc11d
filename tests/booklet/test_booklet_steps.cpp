// The booklet's steps: which parts each step adds, its callouts, and the
// render settings of its pictures.
#include "vxBookletTestSupport.h"

#include <algorithm>
#include <numeric>
#include <set>

using namespace vxTest;

namespace {

using BookletSteps = BookletModel;

const vxBookletPictureSize kSize{150, 100, 200};

// Part type, colour and count of every entry, in order.
std::vector<std::string> rows(const std::vector<vxPartsListEntry>& list)
{
    std::vector<std::string> out;
    for (const auto& e : list)
        out.push_back(std::to_string(e.count) + "x " + e.shortName + " " + vxColorHex(e.color) + " " +
                      e.name + " " + e.number);
    return out;
}

} // namespace

// One step per phase that adds parts, in building order whatever the order
// in the file (phase 0 counts with the first), numbered 1, 2, 3 whatever
// the phase numbers; every part in exactly one step, the callouts those of
// the parts list of its phase.
TEST_F(BookletSteps, FollowTheBuildingPhasesWithTheirPartsAndCallouts)
{
    const vxModel& model = load({{"K32000_plate", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 0},
                                 {"K31005_a", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                                 {"K31005_b", {2, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 7},
                                 {"K31005_c", {4, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 7},
                                 {"K31005_d", {6, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 3},
                                 {"K99999_e", {8, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 7}});
    const vxBookletSteps steps = vxMakeBookletSteps(model, vxBookletFraming(model), kSize);

    ASSERT_EQ(steps.steps.size(), 3u);
    const std::vector<std::vector<std::size_t>> parts = {{0, 1}, {4}, {2, 3, 5}};
    const std::int32_t phases[] = {1, 3, 7};
    std::vector<std::size_t> every;
    for (std::size_t i = 0; i < 3; ++i) {
        const vxBookletStep& step = steps.steps[i];
        EXPECT_EQ(step.phase, phases[i]);
        EXPECT_EQ(step.number, static_cast<int>(i) + 1);
        EXPECT_EQ(step.parts, parts[i]) << "step " << i;
        const auto list = vxMakePartsList(model, step.phase);
        EXPECT_EQ(rows(step.callouts), rows(list));
        EXPECT_EQ(vxPartsListTotal(step.callouts), static_cast<std::int32_t>(step.parts.size()));
        for (const auto& e : step.callouts)
            for (const std::size_t p : e.parts)
                EXPECT_NE(std::find(step.parts.begin(), step.parts.end(), p), step.parts.end());
        every.insert(every.end(), step.parts.begin(), step.parts.end());
    }
    std::sort(every.begin(), every.end());
    std::vector<std::size_t> all(6);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(every, all);
    // Two blocks of one colour are one callout; the unknown part is counted.
    const auto& last = steps.steps[2].callouts;
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(rows({last[0]}), (std::vector<std::string>{"2x 31005 #00ff00 Building block 15 31005"}));
    EXPECT_EQ(last[1].shortName, "99999");
    EXPECT_FALSE(last[1].found);
    EXPECT_EQ(rows(steps.partsList), rows(vxMakePartsList(model, std::nullopt)));
}

// Every step has its main picture first: the model at the end of its
// phase, the new parts highlighted, at the picture's size on paper, seen
// from the three-quarter direction nearest the model's own, framed on the
// step's parts; without measuring, no step turns. The cover's picture is
// the whole model without the highlight.
TEST_F(BookletSteps, EveryPictureCarriesTheSettingsThatDrawIt)
{
    const vxModel& model = load({{"K32000_plate", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 1},
                                 {"K31005_a", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2},
                                 {"K31005_b", {0, 2, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 3}});
    const vxBookletFraming framing(model);
    const vxBookletSteps steps = vxMakeBookletSteps(model, framing, kSize);
    ASSERT_EQ(steps.steps.size(), 3u);
    const vxVector along = vxNearestBookletDirection(framing.direction()).along();
    for (const vxBookletStep& step : steps.steps) {
        ASSERT_EQ(step.pictures.size(), 1u);
        const vxBookletPicture& main = step.pictures.front();
        EXPECT_EQ(main.role, vxBookletPicture::Role::Main);
        EXPECT_EQ(step.picture(vxBookletPicture::Role::Main), &main);
        EXPECT_FALSE(main.enlarges);
        const vxBookletRender& r = main.render;
        EXPECT_EQ(r.phase, step.phase);
        EXPECT_TRUE(r.highlight);
        EXPECT_FALSE(r.seeThrough);
        EXPECT_TRUE(r.leftOut.empty());
        EXPECT_EQ(r.width, 1181); // 150 mm at 200 dpi
        EXPECT_EQ(r.height, 787);
        EXPECT_EQ(r.fieldOfView, 30.0);
        EXPECT_EQ(r.up.y(), 1.0f);
        vxVector d;
        d.vectorSubtract3f(r.target, r.eye);
        d.normalizeVector3f();
        EXPECT_NEAR(d.vectorDotProduct3f(d, along), 1.0, 1e-5);
        EXPECT_EQ(step.turnDegrees, 0.0);
        EXPECT_FALSE(step.turnOver);
    }
    // The plate's corners lie inside its step's picture; the blocks lie in
    // the middle of theirs, seen closer than the plate.
    for (const vxVector& p : {vxVector(-10, -0.5f, -10), vxVector(10, -0.5f, 10), vxVector(10, 0.5f, -10),
                              vxVector(-10, 0.5f, 10)}) {
        const Seen s = seenIn(steps.steps[0].pictures[0].render, p);
        EXPECT_TRUE(s.inFront && std::abs(s.x) <= 1 && std::abs(s.y) <= 1) << s.x << ", " << s.y;
    }
    auto distance = [](const vxBookletRender& r) {
        vxVector d;
        d.vectorSubtract3f(r.target, r.eye);
        return d.vectorLength3f();
    };
    for (const std::size_t i : {1, 2}) {
        const vxBookletRender& r = steps.steps[i].pictures[0].render;
        const Seen s = seenIn(r, vxVector(0, static_cast<float>(i), 0));
        EXPECT_TRUE(s.inFront && std::abs(s.x) < 0.3 && std::abs(s.y) < 0.5) << s.x << ", " << s.y;
        EXPECT_LT(distance(r), distance(steps.steps[0].pictures[0].render));
    }
    const vxBookletRender cover = vxWholeModelRender(framing, 3, false, 1181, 787);
    EXPECT_FALSE(cover.highlight);
}

// With measuring: the step looks from the first direction, from the step
// before's on, that shows every new part large enough, turns the model
// only then (and says how), comes closer while parts are too small, and
// shows the parts no direction shows in an extra picture through the
// earlier parts, before the step's other parts cover them.
TEST_F(BookletSteps, MeasuringChoosesTheDirectionAndTheFraming)
{
    const vxModel& model = load({{"K32000_plate", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 1},
                                 {"K31005_a", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2},
                                 {"K31005_b", {0, 2, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 3},
                                 {"K31005_c", {0, 3, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 4},
                                 {"K31005_d", {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 4}});
    const vxBookletFraming framing(model);
    const vxBookletDirection first = vxNearestBookletDirection(framing.direction());
    const int back = (first.azimuth + 2) % 4;
    // A stand-in for the pictures: part 2 shows only from the back, part 4
    // from nowhere but see-through; every shown part covers 300 pixels at
    // a distance of 20 and less further away.
    std::vector<vxBookletRender> measured;
    int fine = 0;
    double pinWithin = 1e9;
    const vxBookletMeasure measure = [&](const vxBookletRender& r, bool fineCount,
                                         const std::vector<std::size_t>&) {
        if (fineCount)
            ++fine; // a part near the rule, counted again
        else
            measured.push_back(r);
        vxVector d;
        d.vectorSubtract3f(r.target, r.eye);
        const double distance = d.vectorLength3f();
        d.normalizeVector3f();
        const vxBookletDirection seen = vxNearestBookletDirection(d);
        std::vector<double> counts(5, 300.0 * 400.0 / (distance * distance));
        if (seen.azimuth != back)
            counts[2] = 0;
        if (!r.seeThrough || distance > pinWithin)
            counts[4] = 0;
        counts[0] = 1e4; // the plate is large from anywhere
        return counts;
    };
    const vxBookletSteps steps = vxMakeBookletSteps(model, framing, kSize, measure);
    ASSERT_EQ(steps.steps.size(), 4u);
    auto direction = [](const vxBookletRender& r) {
        vxVector d;
        d.vectorSubtract3f(r.target, r.eye);
        return vxNearestBookletDirection(d);
    };
    EXPECT_EQ(direction(steps.steps[0].pictures[0].render), first);
    EXPECT_EQ(direction(steps.steps[1].pictures[0].render), first);
    EXPECT_EQ(steps.steps[1].turnDegrees, 0.0);
    // Step 3 turns the model half round; step 4 keeps that side.
    EXPECT_EQ(direction(steps.steps[2].pictures[0].render).azimuth, back);
    EXPECT_EQ(std::abs(steps.steps[2].turnDegrees), 180.0);
    EXPECT_FALSE(steps.steps[2].turnOver);
    EXPECT_EQ(direction(steps.steps[3].pictures[0].render).azimuth, back);
    EXPECT_EQ(steps.steps[3].turnDegrees, 0.0);
    for (const vxBookletStep& step : steps.steps) {
        const vxBookletRender& r = step.pictures[0].render;
        vxVector d;
        d.vectorSubtract3f(r.target, r.eye);
        if (step.number > 1) {
            EXPECT_LE(d.vectorLength3f(), 20.0 * std::sqrt(300.0 / kMeasuredPartPixels) + 1e-3)
                << "close enough in step " << step.number;
        }
    }
    // Part 4 in an extra picture, see-through, without part 3.
    ASSERT_EQ(steps.steps[3].pictures.size(), 2u);
    const vxBookletPicture& extra = steps.steps[3].pictures[1];
    EXPECT_EQ(extra.role, vxBookletPicture::Role::Extra);
    EXPECT_TRUE(extra.render.seeThrough);
    EXPECT_EQ(extra.render.leftOut, std::vector<std::size_t>{3});
    EXPECT_EQ(extra.render.phase, 4);
    // A handful of measures a step, not every framing of every direction.
    EXPECT_LT(measured.size(), 30u);
    EXPECT_LE(fine, static_cast<int>(measured.size()));

    // A part too small to cover a pixel from the extra picture's first
    // framing (a pin seen from afar) gets its picture all the same: seen
    // through, nothing hides it, so the picture comes closer.
    auto distance = [](const vxBookletRender& r) {
        vxVector d;
        d.vectorSubtract3f(r.target, r.eye);
        return static_cast<double>(d.vectorLength3f());
    };
    pinWithin = 0.6 * distance(extra.render);
    const vxBookletSteps closer = vxMakeBookletSteps(model, framing, kSize, measure);
    ASSERT_EQ(closer.steps[3].pictures.size(), 2u);
    EXPECT_LE(distance(closer.steps[3].pictures[1].render), pinWithin);
}

// A model without parts has no steps and an empty parts list.
TEST_F(BookletSteps, AModelWithoutPartsHasNoSteps)
{
    const vxModel& model = load({});
    const vxBookletSteps steps = vxMakeBookletSteps(model, vxBookletFraming(model), kSize);
    EXPECT_TRUE(steps.steps.empty());
    EXPECT_TRUE(steps.partsList.empty());
}

// Tubes are fitted in the step that adds the last of the parts at their
// ends, in the last step when no part is near them; their length is that
// of their node path in millimetres, their thickness their radius, and the
// parts list groups them by colour, thickness and length.
TEST_F(BookletSteps, TubesAreFittedWhereTheirEndsAreAddedWithTheirLengths)
{
    std::string text = kmfFile({-30, 25, -40}, {5, 0, 0},
                               {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 1},
                                {"K31005_b", {5, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 2},
                                {"K31005_c", {10, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 3}},
                               {0, 0, 0, 0});
    // Nodes beyond COUNT do not count.
    const char* tubes[] = {
        "[TUBE1]\r\nRADIUS=0,2\r\nCOLOR=2105540\r\nCOUNT=2\r\nX0=0,5\r\nX1=4,5\r\nX2=90\r\n",
        "[TUBE2]\r\nRADIUS=0,2\r\nCOLOR=2105540\r\nCOUNT=3\r\nX0=0\r\nY0=0,6\r\nX1=0\r\nY1=3,6\r\nX2="
        "10\r\nY2=0,6\r\n",
        "[TUBE3]\r\nRADIUS=0,3\r\nCOLOR=0\r\nCOUNT=2\r\nX0=0\r\nY0=20\r\nX1=3\r\nY1=24\r\n",
        "[TUBE4]\r\nRADIUS=0,2\r\nCOLOR=2105540\r\nCOUNT=2\r\nX0=5\r\nY0=0,6\r\nX1=9\r\nY1=0,6\r\n"};
    for (const char* t : tubes)
        text += t;
    writeFile(dir.file("t.kmf"), text);
    ASSERT_TRUE(view.loadModelFromFile(dir.file("t.kmf")));
    const vxModel& model = *view.model();
    EXPECT_DOUBLE_EQ(std::round(vxTubeLengthMm(*model.tubeList()[1])), 134.0);
    const vxBookletSteps steps = vxMakeBookletSteps(model, vxBookletFraming(model), kSize);
    ASSERT_EQ(steps.steps.size(), 3u);
    EXPECT_EQ(steps.steps[0].tubes, std::vector<std::size_t>{});
    EXPECT_EQ(steps.steps[1].tubes, std::vector<std::size_t>{0});
    EXPECT_EQ(steps.steps[2].tubes, (std::vector<std::size_t>{1, 2, 3})) << "tube 3 is near no part";

    // Two red tubes of 40 mm, 2 mm thick, are one row; a black one and a
    // red one of another length are rows of their own.
    std::vector<std::string> list;
    for (const vxBookletTubeEntry& e : steps.tubeList)
        list.push_back(std::to_string(e.count) + "x " + e.colorName.english + " " +
                       std::to_string(static_cast<int>(e.lengthMm)) + " mm, " +
                       std::to_string(static_cast<int>(e.thicknessMm)) + " mm");
    EXPECT_EQ(list, (std::vector<std::string>{"1x black 50 mm, 3 mm", "2x red 40 mm, 2 mm",
                                              "1x red 134 mm, 2 mm"}));
    ASSERT_EQ(steps.steps[2].tubeCallouts.size(), 3u);
    EXPECT_EQ(steps.steps[1].tubeCallouts.at(0).count, 1);
}
