// The booklet's step views drawn and measured off-screen: every new part
// large enough in one of its step's pictures, new parts that stand out
// whatever their colour, and pictures that depend on their render alone.
#include "vxBookletPictures.h"
#include "vxBookletTestSupport.h"

#include <QImage>

#include <algorithm>
#include <map>

using namespace vxTest;

namespace {

const vxBookletPictureSize kSize{100, 75, 200};

class BookletViews : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(pictures.ok()) << pictures.error();
        part("31005", "Building block 15", box(-5, -5, -5, 5, 5, 5));
        part("32000", "Base plate 200", box(-100, -5, -100, 100, 5, 100));
        part("37001", "Double pin", box(-1.5f, -1.5f, -4, 1.5f, 1.5f, 4));
    }
    void part(const std::string& number, const std::string& name, const std::vector<StlTriangle>& mesh)
    {
        writeFile(res.file(number + ".stl"), stlFile(mesh));
        writeFile(res.file(number + ".def"), crlf({"[COMMON]", "NAME=" + name, "ORGNUMBER=" + number}));
    }
    const vxModel& load(const std::vector<KmfPart>& parts)
    {
        writeFile(dir.file("m.kmf"), kmfFile({-30, 25, -40}, {0, 0, 0}, parts));
        EXPECT_TRUE(pictures.load(dir.file("m.kmf")));
        return pictures.model();
    }
    vxBookletSteps steps()
    {
        return vxMakeBookletSteps(pictures.model(), pictures.framing(), kSize, pictures.measure());
    }

    // The most pixels the part covers in one of the step's pictures, counted
    // at the pictures' own size.
    std::uint32_t largest(const vxBookletStep& step, std::size_t part)
    {
        std::uint32_t most = 0;
        for (const vxBookletPicture& p : step.pictures) {
            const std::vector<std::uint32_t> counts = pictures.countPixels(p.render, 1.0);
            if (part < counts.size())
                most = std::max(most, counts[part]);
        }
        return most;
    }
    void expectEveryNewPartVisible(const vxBookletSteps& s)
    {
        for (const vxBookletStep& step : s.steps)
            for (const std::size_t i : step.parts)
                EXPECT_GE(largest(step, i), kLeastPartPixels) << "part " << i << " in step " << step.number;
    }

    TempDir res;
    TempDir dir;
    ResourceFolder folder{res.path()};
    vxBookletPictures pictures;
};

// A light-grey base, two light-grey blocks, then white blocks and
// light-grey blocks on it.
const std::vector<KmfPart> kPaleModel = {
    {"K32000_base", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xc8c8c8, 1},
    {"K31005_a", {-3, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0xc8c8c8, 1},
    {"K31005_b", {3, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0xc8c8c8, 1},
    {"K31005_white1", {-3, 2, 0}, {0, 1, 0}, {0, 0, 1}, 0xffffff, 2},
    {"K31005_white2", {3, 2, 0}, {0, 1, 0}, {0, 0, 1}, 0xffffff, 2},
    {"K31005_pale1", {-3, 3, 0}, {0, 1, 0}, {0, 0, 1}, 0xd8d8d8, 3},
    {"K31005_pale2", {0, 1, 6}, {0, 1, 0}, {0, 0, 1}, 0xd8d8d8, 3},
};

// A pin in the joint between two blocks fitted in the same step, and a pin
// pushed into a block of an earlier step: no view shows either.
const std::vector<KmfPart> kPinModel = {
    {"K32000_base", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 1},
    {"K31005_a", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2},
    {"K37001_pin", {0, 1, 0.5f}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2},
    {"K31005_b", {0, 1, 1}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2},
    {"K37001_pin2", {0, 1, 1}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 3},
    {"K31005_c", {0, 2, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 3},
};

double luminance(QRgb c)
{
    return 0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c);
}

} // namespace

// Every part a step adds covers at least 200 pixels of one of its step's
// pictures, counted part by part at the picture's size; white and pale
// parts on a pale model too.
TEST_F(BookletViews, EveryNewPartShowsLargeEnoughInItsStep)
{
    load(kPaleModel);
    const vxBookletSteps s = steps();
    ASSERT_EQ(s.steps.size(), 3u);
    expectEveryNewPartVisible(s);
    for (const vxBookletStep& step : s.steps) {
        ASSERT_FALSE(step.pictures.empty());
        EXPECT_EQ(step.pictures.front().role, vxBookletPicture::Role::Main);
        EXPECT_TRUE(step.pictures.front().render.highlight);
    }
}

// Pins no direction shows get an extra picture: the pin in the joint before
// the step's blocks cover it, the pin in an earlier block through it.
TEST_F(BookletViews, PartsNoDirectionShowsGetAPictureThroughWhatCoversThem)
{
    load(kPinModel);
    const vxBookletSteps s = steps();
    ASSERT_EQ(s.steps.size(), 3u);
    expectEveryNewPartVisible(s);

    const vxBookletPicture* joint = s.steps[1].picture(vxBookletPicture::Role::Extra);
    ASSERT_NE(joint, nullptr);
    EXPECT_TRUE(joint->render.seeThrough);
    EXPECT_EQ(joint->render.phase, 2);
    EXPECT_EQ(joint->render.leftOut, (std::vector<std::size_t>{1, 3})) << "the blocks not fitted yet";
    const vxBookletPicture* inside = s.steps[2].picture(vxBookletPicture::Role::Extra);
    ASSERT_NE(inside, nullptr);
    EXPECT_TRUE(inside->render.seeThrough);
    // The main pictures show the steps as built, without see-through.
    for (const vxBookletStep& step : s.steps) {
        EXPECT_FALSE(step.pictures.front().render.seeThrough);
        EXPECT_TRUE(step.pictures.front().render.leftOut.empty());
    }
    EXPECT_EQ(s.steps[0].picture(vxBookletPicture::Role::Extra), nullptr);
}

// New white and light-grey parts stand clearly apart from the light-grey
// parts before them: the earlier parts are greyed and darkened, not faded
// toward the white paper.
TEST_F(BookletViews, NewPalePartsStandOutFromAPaleModel)
{
    load(kPaleModel);
    const vxBookletSteps s = steps();
    ASSERT_EQ(s.steps.size(), 3u);
    for (const int stepIndex : {1, 2}) {
        const vxBookletStep& step = s.steps[static_cast<std::size_t>(stepIndex)];
        const vxBookletRender& r = step.pictures.front().render;
        const QImage image = pictures.draw(r);
        ASSERT_FALSE(image.isNull());
        auto pixel = [&](const vxVector& p) {
            const Seen at = seenIn(r, p);
            EXPECT_TRUE(at.inFront && std::abs(at.x) < 1 && std::abs(at.y) < 1);
            return image.pixel(static_cast<int>((at.x + 1) / 2 * r.width),
                               static_cast<int>((1 - at.y) / 2 * r.height));
        };
        // The middles of the faces the eye sees of a new block, and of the
        // sides of the earlier block at (-3, 1, 0) and the base's top.
        auto faces = [&](const vxVector& c, const vxVector& top) {
            const vxVector eye = r.eye;
            double sum = luminance(pixel(top));
            sum += luminance(pixel(vxVector(c.x() + (eye.x() > c.x() ? 0.5f : -0.5f), c.y(), c.z())));
            sum += luminance(pixel(vxVector(c.x(), c.y(), c.z() + (eye.z() > c.z() ? 0.5f : -0.5f))));
            return sum / 3;
        };
        const vxVector added = pictures.model().partList()[step.parts.front()]->position();
        const double fresh = faces(added, vxVector(added.x(), added.y() + 0.5f, added.z()));
        const double old = faces(vxVector(-3, 1, 0), vxVector(0, 0.5f, -3));
        EXPECT_GT(fresh - old, 60.0) << "step " << step.number;
    }
}

// A picture depends on its render alone: drawn after other pictures and
// after measuring, it has exactly the pixels it has drawn first by a fresh
// renderer.
TEST_F(BookletViews, APictureIsTheSameWhateverWasDrawnOrMeasuredBefore)
{
    load(kPinModel);
    const vxBookletSteps s = steps(); // measures
    std::vector<const vxBookletRender*> renders;
    for (const vxBookletStep& step : s.steps)
        for (const vxBookletPicture& p : step.pictures)
            renders.push_back(&p.render);
    ASSERT_GE(renders.size(), 4u);
    std::vector<QImage> drawn;
    for (const vxBookletRender* r : renders) {
        pictures.countPixels(*renders.front(), 0.25);
        drawn.push_back(pictures.draw(*r));
    }
    vxBookletPictures fresh;
    ASSERT_TRUE(fresh.load(dir.file("m.kmf")));
    for (std::size_t i = renders.size(); i-- > 0;) {
        const QImage again = fresh.draw(*renders[i]);
        ASSERT_FALSE(again.isNull());
        EXPECT_TRUE(again == drawn[i]) << "picture " << i;
    }
}
