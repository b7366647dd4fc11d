// Where the booklet's pictures look from and what they frame: the fitted
// camera, the booklet's direction, the model's proportions and close-ups.
#include "vxBookletTestSupport.h"

#include <algorithm>

using namespace vxTest;

namespace {

vxBookletRender renderOf(const vxBookletCamera& c, int width, int height)
{
    vxBookletRender r;
    r.eye = c.eye;
    r.target = c.target;
    r.width = width;
    r.height = height;
    return r;
}

vxVector unit(float x, float y, float z)
{
    vxVector v(x, y, z);
    v.normalizeVector3f();
    return v;
}

void expectDirection(const vxVector& got, const vxVector& want)
{
    EXPECT_NEAR(got.x(), want.x(), 1e-5);
    EXPECT_NEAR(got.y(), want.y(), 1e-5);
    EXPECT_NEAR(got.z(), want.z(), 1e-5);
}

using BookletFraming = BookletModel;

} // namespace

// The points fill the picture up to the margin on the side that limits
// them, centred, seen along the direction asked for; without points the
// camera looks at the origin from 10 away.
TEST(BookletCamera, FramesEveryPointCentredWithinTheMargin)
{
    std::vector<vxVector> points;
    for (int i = 0; i < 8; ++i)
        points.emplace_back(i & 1 ? 14.0f : 4.0f, i & 2 ? 3.0f : 1.0f, i & 4 ? -2.0f : -6.0f);
    points.emplace_back(9.0f, 2.5f, -4.0f);
    const vxVector direction = unit(1, -0.5f, 1);
    for (const double aspect : {1.5, 0.4}) {
        const vxBookletRender r =
            renderOf(vxFitBookletCamera(points, direction, aspect, 0.1), static_cast<int>(100 * aspect), 100);
        double minX = 2, maxX = -2, minY = 2, maxY = -2;
        for (const vxVector& p : points) {
            const Seen s = seenIn(r, p);
            ASSERT_TRUE(s.inFront);
            minX = std::min(minX, s.x);
            maxX = std::max(maxX, s.x);
            minY = std::min(minY, s.y);
            maxY = std::max(maxY, s.y);
        }
        EXPECT_GE(minX, -0.8 - 1e-3) << aspect;
        EXPECT_LE(maxX, 0.8 + 1e-3) << aspect;
        EXPECT_GE(minY, -0.8 - 1e-3) << aspect;
        EXPECT_LE(maxY, 0.8 + 1e-3) << aspect;
        EXPECT_NEAR(std::max(maxX - minX, maxY - minY), 1.6, 0.02) << aspect;
        EXPECT_NEAR(minX + maxX, 0, 0.02) << aspect;
        EXPECT_NEAR(minY + maxY, 0, 0.02) << aspect;
        vxVector seen;
        seen.vectorSubtract3f(r.target, r.eye);
        seen.normalizeVector3f();
        expectDirection(seen, direction);
    }
    const vxBookletCamera none = vxFitBookletCamera({}, direction, 1.0);
    EXPECT_NEAR(none.eye.vectorLength3f(), 10.0, 1e-4);
    EXPECT_EQ(none.target.vectorLength3f(), 0.0f);
}

// The booklet looks from the file's camera, unless it looks straight down;
// then from the front, right and above.
TEST_F(BookletFraming, LooksFromTheFilesCameraUnlessItLooksStraightDown)
{
    load({{"K31005_a", {0, 0, 0}}}, {-30, 25, -40});
    expectDirection(vxBookletFraming(*view.model()).direction(), unit(30, -25, 40));
    load({{"K31005_a", {0, 0, 0}}}, {0, 40, 0});
    expectDirection(vxBookletFraming(*view.model()).direction(), unit(1, -0.9f, 1.3f));
}

// A row of blocks seen from the front is wide, a tower tall.
TEST_F(BookletFraming, TheModelsProportionsAreThoseItShows)
{
    std::vector<KmfPart> row, tower;
    for (int i = 0; i < 8; ++i) {
        row.push_back({"K31005_" + std::to_string(i), {static_cast<float>(i), 0, 0}});
        tower.push_back({"K31005_" + std::to_string(i), {0, static_cast<float>(i), 0}});
    }
    load(row, {3.5f, 0.5f, -40});
    EXPECT_GT(vxBookletFraming(*view.model()).modelAspect(), 5.0);
    load(tower, {0.5f, 3.5f, -40});
    EXPECT_LT(vxBookletFraming(*view.model()).modelAspect(), 0.2);
}

// A close-up frames the parts with at least a tenth of the model around
// them each way and lies where they are in the whole-model picture;
// parts without a shape give none.
TEST_F(BookletFraming, CloseUpsFrameThePartsWithTheirSurroundings)
{
    load({{"K32000_plate", {0, 0, 0}}, {"K31005_block", {9.5f, 1, 9.5f}}, {"K99999_unknown", {0, 2, 0}}});
    const vxBookletFraming framing(*view.model());
    const float least = std::sqrt(20.0f * 20 + 2 * 2 + 20 * 20) * 0.1f; // the diagonal of plate and block

    const std::vector<vxVector> block = framing.closeUpPoints({1});
    ASSERT_EQ(block.size(), 8u);
    vxBounds box;
    for (const vxVector& p : block)
        box.add(p.x(), p.y(), p.z());
    EXPECT_NEAR(box.max.x() - box.min.x(), least, 1e-3);
    EXPECT_NEAR(box.max.y() - box.min.y(), least, 1e-3);
    EXPECT_NEAR(box.centre().x(), 9.5f, 1e-4);
    EXPECT_NEAR(box.centre().z(), 9.5f, 1e-4);
    // The plate is larger than that: its own box, only its thickness grown.
    const std::vector<vxVector> plate = framing.closeUpPoints({0});
    box = vxBounds();
    for (const vxVector& p : plate)
        box.add(p.x(), p.y(), p.z());
    EXPECT_NEAR(box.max.x() - box.min.x(), 20.0f, 1e-4);
    EXPECT_NEAR(box.max.y() - box.min.y(), least, 1e-3);

    const auto area = framing.areaOf(block, 1.5);
    ASSERT_TRUE(area);
    EXPECT_GT(area->width, 0.0);
    EXPECT_LT(area->width, 0.3);
    EXPECT_LT(area->height, 0.3);
    EXPECT_GE(area->x, 0.0);
    EXPECT_LE(area->x + area->width, 1.0 + 1e-9);
    // Around where the whole-model picture shows the block.
    const Seen at = seenIn(vxWholeModelRender(framing, 1, false, 150, 100), vxVector(9.5f, 1, 9.5f));
    EXPECT_NEAR(area->x + area->width / 2, (at.x + 1) / 2, 0.02);
    EXPECT_NEAR(area->y + area->height / 2, (1 - at.y) / 2, 0.02);

    EXPECT_TRUE(framing.closeUpPoints({2}).empty()); // no shape
    EXPECT_TRUE(framing.closeUpPoints({7}).empty()); // no such part
    EXPECT_FALSE(framing.areaOf({}, 1.5));
}
