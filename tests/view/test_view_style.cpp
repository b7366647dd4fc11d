// The Outlined drawing style and the frames the view draws while the camera
// moves, checked on the pixels of off-screen pictures.
#include "vxViewTestSupport.h"

#include <numbers>
#include <set>

using namespace vxTest;

namespace {

// A sphere of radius r (mesh units) around (0, r, 0): slices around the
// y axis, stacks from pole to pole, outward normals.
std::vector<StlTriangle> sphere(float r, int slices, int stacks)
{
    auto point = [&](int i, int j) {
        const double theta = std::numbers::pi * j / stacks;
        const double phi = 2 * std::numbers::pi * i / slices;
        return std::array<float, 3>{static_cast<float>(r * std::sin(theta) * std::cos(phi)),
                                    static_cast<float>(r + r * std::cos(theta)),
                                    static_cast<float>(r * std::sin(theta) * std::sin(phi))};
    };
    auto normal = [&](std::array<float, 3> a, std::array<float, 3> b, std::array<float, 3> c) {
        const float m[3] = {(a[0] + b[0] + c[0]) / 3, (a[1] + b[1] + c[1]) / 3 - r, (a[2] + b[2] + c[2]) / 3};
        const float len = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
        return std::array<float, 3>{m[0] / len, m[1] / len, m[2] / len};
    };
    std::vector<StlTriangle> t;
    for (int j = 0; j < stacks; ++j)
        for (int i = 0; i < slices; ++i) {
            const auto a = point(i, j), b = point(i + 1, j), c = point(i + 1, j + 1), d = point(i, j + 1);
            if (j > 0)
                t.push_back({normal(a, c, b), a, c, b});
            if (j < stacks - 1)
                t.push_back({normal(a, d, c), a, d, c});
        }
    return t;
}

// Which pixels show something other than the background.
std::vector<bool> covered(const vxImage& image)
{
    std::vector<bool> mask(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            mask[static_cast<std::size_t>(y * image.width + x)] =
                !colorNear(image.pixel(x, y), kBackground[0], kBackground[1], kBackground[2], 2);
    return mask;
}

double intersectionOverUnion(const std::vector<bool>& a, const std::vector<bool>& b)
{
    std::size_t both = 0, either = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    return either == 0 ? 1.0 : static_cast<double>(both) / static_cast<double>(either);
}

std::size_t distinctColours(const vxImage& image)
{
    std::set<std::uint32_t> colours;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Rgba p = image.pixel(x, y);
            colours.insert(static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 |
                           p[2]);
        }
    return colours.size();
}

int brightness(const Rgba& p)
{
    return p[0] + p[1] + p[2];
}

const Rgba kBackgroundPixel = {235, 232, 217, 0};

// The objects the pointer finds on a grid of view points, as indices into
// the scene list (-1: none).
std::vector<int> picks(vxOpenGLView& view)
{
    std::vector<int> found;
    for (int y = 2; y < 151; y += 9)
        for (int x = 2; x < 201; x += 9) {
            const auto object = view.getPickedObject(x, y);
            const auto& list = view.sceneObjectList();
            const auto it = std::find(list.begin(), list.end(), object);
            found.push_back(object ? static_cast<int>(it - list.begin()) : -1);
        }
    return found;
}

} // namespace

// Two cubes of one colour, one on the other: Classic shows one face, the
// Outlined style a dark line where they meet, and their faces as before.
TEST_F(ViewTest, OutlinedDrawsADarkLineWhereTwoStackedCubesOfOneColourMeet)
{
    mesh("31005", box(-10, 0, -10, 10, 20, 10));
    load({3, 5, -12}, {0, 2, 0},
         {{"K31005_c", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x40c0e0},
          {"K31005_c", {0, 2, 0}, {0, 1, 0}, {0, 0, 1}, 0x40c0e0}});
    const vxImage classic = draw();
    view.setDrawStyle(vxDrawStyle::kOutlined);
    const vxImage outlined = draw();

    const Pixel joint = at(vxVector(0, 2, -1));
    auto darkest = [&](const vxImage& image) {
        int least = 3 * 255;
        for (int dy = -2; dy <= 2; ++dy)
            least = std::min(least, brightness(image.pixel(joint.x, joint.y + dy)));
        return least;
    };
    const int face = brightness(classic.pixel(joint.x, joint.y - 6));
    EXPECT_GT(darkest(classic), face - 6);
    EXPECT_LT(darkest(outlined), face / 2);
    // Away from the lines the faces keep their colour.
    for (const vxVector& inside : {vxVector(0, 1, -1), vxVector(0, 3, -1)})
        EXPECT_NEAR(brightness(pixelAt(outlined, inside)), brightness(pixelAt(classic, inside)), 6);
}

// With samples in the framebuffer the Outlined style smooths its edges;
// Classic draws one sample per pixel there, byte for byte as without them.
TEST_F(ViewTest, OutlinedEdgesAreAntiAliasedWhileClassicStaysOneSamplePerPixel)
{
    mesh("31005", box(-10, 0, -10, 10, 20, 10));
    load({7, 9, -12}, {0, 1, 0}, {{"K31005_c", {0, 0, 0}, {0, 1, 0}, {0.5f, 0, 0.866f}, 0x2080e0}});
    const vxImage single = draw();
    ASSERT_TRUE(host.setSamples(vxOffscreenHost::kAntiAliasSamples)) << host.error();
    EXPECT_GT(host.samples(), 1);
    const vxImage classic = draw();
    EXPECT_EQ(classic.rgba, single.rgba);
    EXPECT_LE(distinctColours(classic), 4u); // the background and three faces

    view.setDrawStyle(vxDrawStyle::kOutlined);
    const vxImage smoothed = draw();
    ASSERT_TRUE(host.setSamples(0));
    const vxImage jagged = draw();
    // The edges' pixels mix the colours on either side.
    EXPECT_GT(distinctColours(smoothed), distinctColours(jagged) + 10);
    const Pixel left = at(vxVector(-1, 1, -1)); // a corner of the cube's outline
    int mixed = 0;
    for (int x = 0; x < left.x + 8; ++x) {
        const int b = brightness(smoothed.pixel(x, left.y));
        mixed += b > brightness(jagged.pixel(x, left.y)) + 30 && b < brightness(kBackgroundPixel) - 30;
    }
    EXPECT_GT(mixed, 0);
}

// Curved surfaces are lit smoothly in the Outlined style; flat facets in
// Classic. Switching back and forth leaves Classic's pixels as they were,
// and the pointer finds the same parts in both styles.
TEST_F(ViewTest, SwitchingStylesKeepsClassicPixelsAndPicks)
{
    mesh("31005", box(-10, 0, -10, 10, 20, 10));
    mesh("31006", sphere(10, 24, 12));
    load({4, 6, -14}, {0, 1, 0},
         {{"K31005_c", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x40c0e0},
          {"K31006_s", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c0}});
    const vxImage classic = draw();
    const std::vector<int> classicPicks = picks(view);
    view.setDrawStyle(vxDrawStyle::kOutlined);
    const vxImage outlined = draw();
    EXPECT_NE(outlined.rgba, classic.rgba);
    EXPECT_EQ(picks(view), classicPicks);
    EXPECT_GT(std::count(classicPicks.begin(), classicPicks.end(), 0), 5);
    EXPECT_GT(std::count(classicPicks.begin(), classicPicks.end(), 1), 5);

    // Down the sphere's middle, neighbouring rows differ by a little in the
    // Outlined style; Classic's facets jump.
    auto largestStep = [&](const vxImage& image) {
        const Pixel top = at(vxVector(1.5f, 1.6f, -0.8f)), bottom = at(vxVector(1.5f, 0.4f, -0.8f));
        int largest = 0;
        for (int y = top.y; y < bottom.y; ++y)
            largest = std::max(
                largest, std::abs(brightness(image.pixel(top.x, y + 1)) - brightness(image.pixel(top.x, y))));
        return largest;
    };
    EXPECT_LT(largestStep(outlined), largestStep(classic));

    view.setDrawStyle(vxDrawStyle::kClassic);
    EXPECT_EQ(draw().rgba, classic.rgba);
}

// Selection, the phase highlight and hidden parts in the Outlined style:
// the selected part magenta, the shown phase's parts (lines included) as
// without the highlight, hidden parts not at all.
TEST_F(ViewTest, OutlinedShowsSelectionHighlightAndHiddenParts)
{
    mesh("31005", box(-10, 0, -10, 10, 20, 10));
    std::vector<KmfPart> parts = {{"K31005_c", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x40c0e0, 1},
                                  {"K31005_c", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x40c0e0, 2}};
    load({3, 5, -12}, {0, 1, 0}, parts);
    view.setDrawStyle(vxDrawStyle::kOutlined);
    const vxImage plain = draw();

    view.highlight().setEnabled(true);
    const vxImage highlighted = draw();
    const Pixel first = at(vxVector(-1.5f, 1, -1)), second = at(vxVector(1.5f, 1, -1));
    EXPECT_NE(highlighted.pixel(first.x, first.y), plain.pixel(first.x, first.y)); // faded
    const Pixel right = at(vxVector(2.5f, 1, -1)); // the second cube's right edge
    for (int dx = -8; dx <= 8; ++dx)
        EXPECT_EQ(highlighted.pixel(right.x + dx, right.y), plain.pixel(right.x + dx, right.y)) << dx;
    EXPECT_EQ(highlighted.pixel(second.x, second.y), plain.pixel(second.x, second.y));
    view.highlight().setEnabled(false);

    view.sceneObjectList()[1]->setSelectedBauteil(true);
    const Rgba selected = draw().pixel(second.x, second.y);
    EXPECT_GT(selected[0], 2 * selected[1]);
    EXPECT_GT(selected[2], 2 * selected[1]);

    view.sceneObjectList()[1]->setVisible(0);
    EXPECT_TRUE(colorNear(draw().pixel(second.x, second.y), kBackground[0], kBackground[1], kBackground[2]));
}

// The moving frame: curved meshes simplified to well under half their
// triangles, the silhouette within two percent of the full frame's.
TEST_F(ViewTest, AMovingFrameKeepsTheSilhouetteWithSimplifiedMeshes)
{
    mesh("31005", box(-10, 0, -10, 10, 20, 10));
    mesh("31006", sphere(10, 96, 48));
    load({4, 6, -14}, {0, 1, 0},
         {{"K31005_c", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x40c0e0},
          {"K31006_s", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c0},
          {"K31006_s", {0, 2, 1}, {0, 1, 0}, {0, 0, 1}, 0x20c020}});
    for (vxDrawStyle style : {vxDrawStyle::kClassic, vxDrawStyle::kOutlined}) {
        view.setDrawStyle(style);
        view.setMovingFrameForced(false);
        const vxImage full = draw();
        EXPECT_FALSE(view.lastFrameMoving());
        view.setMovingFrameForced(true);
        const vxImage moving = draw();
        EXPECT_TRUE(view.lastFrameMoving());
        EXPECT_NE(moving.rgba, full.rgba);
        EXPECT_GE(intersectionOverUnion(covered(full), covered(moving)), 0.98);
    }
    const auto& sphereMesh = *view.sceneObjectList()[1]->sharedMesh();
    EXPECT_LT(sphereMesh.drawings.simplifiedTriangles(), sphereMesh.triangles.size() / 2);
    EXPECT_GT(sphereMesh.drawings.simplifiedTriangles(), 20u);
}

// A part smaller than a pixel or two is left out of moving frames only.
TEST_F(ViewTest, AMovingFrameLeavesOutPartsSmallerThanAPixelOrTwo)
{
    mesh("31005", box(-10, 0, -10, 10, 20, 10));
    mesh("31007", box(-0.2f, 0, -0.2f, 0.2f, 0.4f, 0.2f));
    load({0, 1, -30}, {0, 1, 0},
         {{"K31005_c", {-2, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x40c0e0},
          {"K31007_t", {3, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x000000}});
    const vxImage full = draw();
    view.setMovingFrameForced(true);
    const vxImage moving = draw();
    const Pixel tiny = at(vxVector(3, 1.02f, 0));
    EXPECT_LT(brightness(full.pixel(tiny.x, tiny.y)), 200);
    EXPECT_TRUE(colorNear(moving.pixel(tiny.x, tiny.y), kBackground[0], kBackground[1], kBackground[2]));
    const Pixel big = at(vxVector(-2, 1, -1));
    EXPECT_EQ(moving.pixel(big.x, big.y), full.pixel(big.x, big.y));
}

// While the camera moves the view draws moving frames and asks for a redraw
// once it rests; the frame then is the still frame, byte for byte. Without
// simplifyWhileMoving (pictures, the command line) motion changes nothing.
TEST_F(ViewTest, TheStillFrameAfterMotionIsTheFullFrameByteForByte)
{
    mesh("31006", sphere(10, 96, 48));
    load({4, 6, -14}, {0, 1, 0}, {{"K31006_s", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c0}});
    double now = 100.0;
    view.setClock([&now] { return now; });
    for (vxDrawStyle style : {vxDrawStyle::kClassic, vxDrawStyle::kOutlined}) {
        view.setDrawStyle(style);
        view.moveCameraAround(5, 10);
        view.noteCameraMotion();
        view.setSimplifyWhileMoving(false);
        const vxImage still = draw();
        EXPECT_FALSE(view.lastFrameMoving());

        view.setSimplifyWhileMoving(true);
        vxMouseEvent e;
        e.locationInWindow = host.windowPointFromView({100, 75});
        view.mouseDown(e);
        e.locationInWindow = host.windowPointFromView({100, 75});
        view.mouseDragged(e); // no distance: the camera stays, yet it moved
        host.takeNeedsDisplay();
        now += 0.05;
        const vxImage moving = draw();
        EXPECT_TRUE(view.lastFrameMoving());
        EXPECT_TRUE(host.takeNeedsDisplay()); // the full frame is asked for
        EXPECT_NE(moving.rgba, still.rgba);
        now += vxOpenGLView::kStillSeconds + 0.01;
        const vxImage rested = draw();
        EXPECT_FALSE(view.lastFrameMoving());
        EXPECT_EQ(rested.rgba, still.rgba);
        now += 1.0;
    }
}

// Picks hit the full meshes, whatever frame was drawn last.
TEST_F(ViewTest, PicksUseTheFullMeshesInMovingFrames)
{
    mesh("31006", sphere(10, 96, 48));
    load({4, 6, -14}, {0, 1, 0}, {{"K31006_s", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c0}});
    draw();
    std::vector<std::optional<vxVector>> full;
    for (double x = 70; x <= 130; x += 6)
        full.push_back(view.pickPoint({x, 75}));
    view.setMovingFrameForced(true);
    draw();
    std::size_t i = 0;
    for (double x = 70; x <= 130; x += 6, ++i) {
        const auto p = view.pickPoint({x, 75});
        ASSERT_EQ(p.has_value(), full[i].has_value()) << x;
        if (p) {
            EXPECT_EQ(*p, *full[i]) << x;
        }
    }
    EXPECT_TRUE(full[full.size() / 2].has_value());
}
