// Counting the pixels each part covers, and the booklet's look of the phase
// highlight, checked against the view's own pictures.
#include "vxViewTestSupport.h"

using namespace vxTest;

namespace {

// Pixels that differ between two pictures of one size.
std::size_t differing(const vxImage& a, const vxImage& b)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i + 3 < a.rgba.size() && i + 3 < b.rgba.size(); i += 4)
        n += a.rgba[i] != b.rgba[i] || a.rgba[i + 1] != b.rgba[i + 1] || a.rgba[i + 2] != b.rgba[i + 2];
    return n;
}

} // namespace

// Seen from the front, a unit cube covers the square its front face
// projects to; a cube behind it covers nothing, unless only the shown
// phase counts; hidden parts count nothing.
TEST_F(ViewTest, CountsThePixelsEachPartCoversFromTheCamera)
{
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    load({0, 0, -10}, {0, 0, 0},
         {{"K31005_left", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
          {"K31005_behind", {-1.95f, 0, 3}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2},
          {"K31005_right", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xffffff, 2}});
    view.repaintModelWithBauphase(2);
    const int w = host.pixelWidth(), h = host.pixelHeight();
    const std::vector<std::uint32_t> counts = view.partPixelCounts(w, h);
    ASSERT_EQ(counts.size(), 3u);
    // The front face, and the side face turned toward the eye (a
    // trapezoid).
    const Pixel lo = at(vxVector(1, -0.5f, -0.5f)), hi = at(vxVector(2, 0.5f, -0.5f));
    const Pixel backLo = at(vxVector(1, -0.5f, 0.5f)), backHi = at(vxVector(1, 0.5f, 0.5f));
    const double square =
        static_cast<double>(std::abs(hi.x - lo.x)) * std::abs(hi.y - lo.y) +
        (std::abs(hi.y - lo.y) + std::abs(backHi.y - backLo.y)) / 2.0 * std::abs(backLo.x - lo.x);
    EXPECT_NEAR(counts[2], square, 0.04 * square);
    EXPECT_NEAR(counts[0], counts[2], 0.03 * square) << "the same size at the same depth";
    EXPECT_EQ(counts[1], 0u) << "behind the left cube";

    // Only the shown phase hides: the cube behind shows, the front one is
    // not drawn.
    const std::vector<std::uint32_t> through = view.partPixelCounts(w, h, true);
    EXPECT_EQ(through[0], 0u);
    EXPECT_GT(through[1], 0.5 * counts[0] * 10 / 13);
    EXPECT_EQ(through[2], counts[2]);

    // Counting only some parts counts them as the whole picture does, from
    // any side, also where a part reaches out of the picture.
    for (const vxVector eye :
         {vxVector(0, 0, -10), vxVector(-6, 4, -7), vxVector(9, -3, 2), vxVector(-1.5f, 0, -2)}) {
        view.cameraPosition().setVector3f(eye);
        for (const bool shownOnly : {false, true}) {
            const std::vector<std::uint32_t> all = view.partPixelCounts(w, h, shownOnly);
            for (const std::vector<std::size_t>& only :
                 std::vector<std::vector<std::size_t>>{{0}, {1}, {2}, {0, 2}, {1, 2}}) {
                const std::vector<std::uint32_t> some = view.partPixelCounts(w, h, shownOnly, &only);
                for (const std::size_t i : only)
                    EXPECT_NEAR(some[i], all[i], 2.0)
                        << "part " << i << " seen from " << eye.x() << "," << eye.y();
            }
        }
    }
    view.cameraPosition().setVector3f(vxVector(0, 0, -10));

    // A smaller picture counts about the share of its pixels.
    const std::vector<std::uint32_t> third = view.partPixelCounts(w / 3, h / 3);
    EXPECT_NEAR(third[2] * 9.0, counts[2], 0.15 * counts[2]);

    // Later phases are not there.
    view.repaintModelWithBauphase(1);
    EXPECT_EQ(view.partPixelCounts(w, h)[2], 0u);
}

// Counting draws into a framebuffer of its own and puts every state back:
// the next picture has exactly the pixels it has without the counting, in
// both styles, with the highlight in either look, with samples.
TEST_F(ViewTest, ThePictureAfterCountingIsTheSameByteForByte)
{
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    load({-4, 3, -6}, {0, 0, 0},
         {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
          {"K31005_b", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0xd0d0d0, 2}});
    view.repaintModelWithBauphase(2);
    view.highlight().setEnabled(true);
    for (const int samples : {0, vxOffscreenHost::kAntiAliasSamples}) {
        ASSERT_TRUE(host.setSamples(samples));
        view.reshape();
        for (const vxDrawStyle style : {vxDrawStyle::kClassic, vxDrawStyle::kOutlined})
            for (const auto look : {vxPhaseHighlight::Look::kFaded, vxPhaseHighlight::Look::kBooklet}) {
                view.setDrawStyle(style);
                view.highlight().setLook(look);
                const vxImage before = draw();
                view.partPixelCounts(40, 30);
                view.partPixelCounts(300, 200, true);
                EXPECT_EQ(draw().rgba, before.rgba) << "samples " << samples;
            }
    }
}

// The window keeps its look (earlier parts faded toward the background) by
// default; the booklet's look greys and darkens the earlier parts instead,
// outlines the new ones, and see-through draws the new parts over the
// earlier ones that hide them.
TEST_F(ViewTest, TheBookletLookGreysEarlierPartsAndOutlinesNewOnes)
{
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    load({0, 0, -10}, {0, 0, 0},
         {{"K31005_old", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xd0d0d0, 1},
          {"K31005_new", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xffffff, 2},
          {"K31005_hidden", {1.5f, 0, 3}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 2}});
    view.setDrawStyle(vxDrawStyle::kOutlined);
    view.repaintModelWithBauphase(2);
    view.highlight().setEnabled(true);
    EXPECT_EQ(view.highlight().look(), vxPhaseHighlight::Look::kFaded);
    const vxImage faded = draw();

    view.highlight().setLook(vxPhaseHighlight::Look::kBooklet);
    const vxImage booklet = draw();
    const vxVector oldFace(1.5f, 0, -0.5f), newFace(-1.5f, 0, -0.5f);
    auto luminance = [](const Rgba& c) { return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]; };
    // Faded, the pale old part is as light as the white new one; in the
    // booklet's look far darker.
    EXPECT_LT(luminance(pixelAt(faded, newFace)) - luminance(pixelAt(faded, oldFace)), 40);
    EXPECT_GT(luminance(pixelAt(booklet, newFace)) - luminance(pixelAt(booklet, oldFace)), 80);
    // A dark outline just outside the new part, on the background.
    const Pixel edge = at(vxVector(-2, 0, -0.5f));
    bool dark = false;
    for (int dx = 1; dx <= 3; ++dx) {
        const Rgba c = booklet.pixel(edge.x + dx, edge.y);
        dark = dark || luminance(c) < 60;
    }
    EXPECT_TRUE(dark) << "outline left of the new part";
    EXPECT_TRUE(
        colorNear(pixelAt(booklet, vxVector(0, 2.5f, 0)), kBackground[0], kBackground[1], kBackground[2]))
        << "the background stays";

    // See-through: the blue part behind the old one shows.
    view.highlight().setSeeThrough(true);
    const Rgba through = pixelAt(draw(), oldFace);
    EXPECT_GT(through[2], through[0] + 60);
    view.highlight().setSeeThrough(false);
    EXPECT_EQ(draw().rgba, booklet.rgba);

    // Back to the window's look: its pixels exactly.
    view.highlight().setLook(vxPhaseHighlight::Look::kFaded);
    EXPECT_EQ(differing(draw(), faded), 0u);
}
