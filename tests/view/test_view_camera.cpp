// Fit, standard views, pan, zoom towards the pointer, the orthographic
// projection, reset and gliding camera moves, checked in drawn pictures.
#include "../../bench/vxHugeModel.h"
#include "vxViewTestSupport.h"

#include <GL/glu.h>

using namespace vxTest;

namespace {

// A 2 x 2 x 2 cube centred on the mesh origin, and thin slabs across x, y, z.
const std::vector<StlTriangle> kCube = box(-10, -10, -10, 10, 10, 10);

// The hue of a pixel: one of r g b y c m w (white or grey), ? for dark.
char hue(const Rgba& p)
{
    const int m = std::max({p[0], p[1], p[2]});
    if (m < 60)
        return '?';
    const bool r = p[0] > m / 2, g = p[1] > m / 2, b = p[2] > m / 2;
    return r && g && b ? 'w' : r && g ? 'y' : g && b ? 'c' : r && b ? 'm' : r ? 'r' : g ? 'g' : 'b';
}

class Camera : public ViewTest {
  protected:
    // Where a model point shows in the last drawn picture, through the GL's
    // own matrices: x from the left, y from the bottom (view points).
    vxPoint shown(const vxVector& p, double* depth = nullptr)
    {
        GLdouble m[16], pr[16], x = 0, y = 0, z = 0;
        GLint vp[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        gluProject(p.x(), p.y(), p.z(), m, pr, vp, &x, &y, &z);
        if (depth)
            *depth = z;
        return {x, y};
    }
    vxMouseEvent event(vxPoint p, vxMouseButton button = vxMouseButton::kLeft, unsigned modifiers = 0)
    {
        vxMouseEvent e;
        e.locationInWindow = host.windowPointFromView(p);
        e.button = button;
        e.modifiers = modifiers;
        return e;
    }
    vxCameraPose pose() { return {view.cameraPosition(), view.cameraTarget()}; }
    vxVector offset() // from the target to the eye
    {
        vxVector v;
        v.vectorSubtract3f(view.cameraPosition(), view.cameraTarget());
        return v;
    }
};

void expectSameDirection(vxVector a, vxVector b)
{
    a.normalizeVector3f();
    b.normalizeVector3f();
    EXPECT_NEAR(a.x(), b.x(), 1e-4f);
    EXPECT_NEAR(a.y(), b.y(), 1e-4f);
    EXPECT_NEAR(a.z(), b.z(), 1e-4f);
}

} // namespace

TEST_F(Camera, FitAndTheStandardViewsFillTheViewShowingTheNamedSideTheRightWayUp)
{
    mesh("31005", kCube);
    const struct {
        const char* name;
        bool selection, orthographic;
        int width, height;
    } cases[] = {{"model, perspective, wide", false, false, 201, 151},
                 {"model, orthographic, tall", false, true, 120, 200},
                 {"selection, perspective, very wide", true, false, 300, 80},
                 {"selection, orthographic, wide", true, true, 201, 151}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(host.resize(c.width, c.height));
        view.reshape();
        // A and D show, C (far away) is hidden; the boxes, worked out here:
        const vxBounds selected{{2, 0, 1}, {4, 2, 3}, false};
        const std::vector<vxBounds> shownParts = {selected, {{-4, 0, 5}, {-2, 2, 7}, false}};
        load({9, 7, -12}, {0, 0, 0},
             {{"K31005_A", {3, 1, 2}, {0, 1, 0}, {0, 0, 1}, 0x0000ff},
              {"K31005_D", {-3, 1, 6}, {0, 1, 0}, {0, 0, 1}, 0x00ff00},
              {"K31005_C", {40, 1, 40}, {0, 1, 0}, {0, 0, 1}, 0xff0000}});
        view.sceneObjectList()[2]->setVisible(0);
        view.setOrthographic(c.orthographic);
        const vxVector before = offset();
        if (c.selection) {
            EXPECT_FALSE(view.fitSelection()); // nothing selected yet
            view.sceneObjectList()[0]->setSelectedBauteil(true);
            EXPECT_TRUE(view.fitSelection());
        } else {
            EXPECT_TRUE(view.fitModel());
        }
        const vxImage image = draw();
        expectSameDirection(offset(), before);

        // Every corner of the shown parts' own boxes inside, the outermost
        // at the margin (90 %).
        const std::vector<vxBounds> boxes = c.selection ? std::vector<vxBounds>{selected} : shownParts;
        double outermost = 0;
        for (const vxBounds& box : boxes)
            for (int k = 0; k < 8; ++k) {
                const vxPoint p = shown({k & 1 ? box.max.x() : box.min.x(), k & 2 ? box.max.y() : box.min.y(),
                                         k & 4 ? box.max.z() : box.min.z()});
                outermost = std::max(
                    {outermost, std::fabs(2 * p.x / c.width - 1), std::fabs(2 * p.y / c.height - 1)});
            }
        EXPECT_NEAR(outermost, 0.9, 0.005);

        // In the picture: the model does not touch the border; the selected part
        // (magenta) reaches the margin on one axis.
        int x0 = c.width, x1 = -1, y0 = c.height, y1 = -1;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const Rgba p = image.pixel(x, y);
                const bool border = x == 0 || y == 0 || x == c.width - 1 || y == c.height - 1;
                EXPECT_FALSE(!c.selection && border &&
                             !colorNear(p, kBackground[0], kBackground[1], kBackground[2]))
                    << x << ", " << y;
                if (hue(p) == 'm')
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        // Picking sees what the picture shows (edges aside).
        int agree = 0, samples = 0;
        for (int y = 3; y < c.height; y += 9)
            for (int x = 3; x < c.width; x += 9, ++samples)
                agree += colorNear(image.pixel(x, c.height - 1 - y), kBackground[0], kBackground[1],
                                   kBackground[2]) == !view.getPickedObject(x, y);
        EXPECT_GE(agree, samples * 95 / 100);
        if (c.selection) {
            EXPECT_GE(std::max(double(x1 - x0 + 1) / c.width, double(y1 - y0 + 1) / c.height), 0.88);
        }
    }

    // The standard views show the named side the right way up.
    mesh("31005", kCube);
    mesh("31101", box(-2, -6, -6, 2, 6, 6)); // slabs across x, y and z
    mesh("31102", box(-6, -2, -6, 6, 2, 6));
    mesh("31103", box(-6, -6, -2, 6, 6, 2));
    // A grey cube marked on each side: front (-z) green, back yellow, left
    // (+x) red, right cyan, top blue, bottom magenta.
    load({9, 7, -12}, {0, 0, 0},
         {{"K31005_cube", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080},
          {"K31103_front", {0, 1, -1.2f}, {0, 1, 0}, {0, 0, 1}, 0x00ff00},
          {"K31103_back", {0, 1, 1.2f}, {0, 1, 0}, {0, 0, 1}, 0x00ffff},
          {"K31101_left", {1.2f, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff},
          {"K31101_right", {-1.2f, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0xffff00},
          {"K31102_top", {0, 2.2f, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000},
          {"K31102_bottom", {0, -0.2f, 0}, {0, 1, 0}, {0, 0, 1}, 0xff00ff}});
    // Where a hue lies in the picture: l r (left or right half), t b (top
    // or bottom half); the hue in the middle; hues that must not show.
    const struct {
        vxStandardView which;
        char middle;
        const char* placed; // pairs of hue and half
        const char* hidden;
    } views[] = {{vxStandardView::kFront, 'g', "rlcr", "y"},  {vxStandardView::kBack, 'y', "rrcl", "g"},
                 {vxStandardView::kLeft, 'r', "gryl", "c"},   {vxStandardView::kRight, 'c', "glyr", "r"},
                 {vxStandardView::kTop, 'b', "gbyt", "m"},    {vxStandardView::kBottom, 'm', "gtyb", "b"},
                 {vxStandardView::kIso, 'w', "gbbtcr", "rym"}};
    for (const auto& c : views) {
        SCOPED_TRACE(static_cast<int>(c.which));
        view.showStandardView(c.which);
        const vxImage image = draw();
        const int w = image.width, h = image.height;
        EXPECT_EQ(hue(image.pixel(w / 2, h / 2)), c.middle);
        for (const char* p = c.placed; *p; p += 2) {
            double sx = 0, sy = 0, n = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (hue(image.pixel(x, y)) == p[0])
                        sx += x, sy += y, ++n;
            ASSERT_GT(n, 0) << p[0];
            const char half =
                p[1] == 'l' || p[1] == 'r' ? (sx / n < w / 2.0 ? 'l' : 'r') : (sy / n < h / 2.0 ? 't' : 'b');
            EXPECT_EQ(half, p[1]) << p[0];
        }
        for (const char* q = c.hidden; *q; ++q)
            for (int y = 0; y < h; y += 2)
                for (int x = 0; x < w; x += 2)
                    ASSERT_NE(hue(image.pixel(x, y)), *q) << x << ", " << y;
    }
}

TEST_F(Camera, PanAndZoomTowardsThePointerKeepThePointUnderIt)
{
    mesh("31005", kCube);
    const struct {
        const char* name;
        vxMouseButton button;
        unsigned modifiers;
        std::int32_t mode;
        bool orthographic;
    } cases[] = {
        {"middle button, select mode, perspective", vxMouseButton::kMiddle, 0, vxWorkMode::kSelect, false},
        {"Shift + left, navigate mode, orthographic", vxMouseButton::kLeft, vxModifier::kShift,
         vxWorkMode::kNavigate, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load({9, 7, -12}, {0, 0, 0}, {{"K31005_A", {0, 1, 0}}, {"K31005_B", {-3, 1, 4}}});
        view.setOrthographic(c.orthographic);
        view.setWorkMode(c.mode);
        draw();
        const vxPoint top = shown({0, 2, 0}); // the top of part A, on a whole pixel
        const vxPoint from{std::round(top.x), std::round(top.y)};
        const std::optional<vxVector> point = view.pickPoint(from);
        ASSERT_TRUE(point);
        const vxVector before = offset();
        const vxPoint to{from.x - 40, from.y + 25};
        view.mouseDown(event(from, c.button, c.modifiers));
        view.mouseDragged(event({from.x - 10, from.y + 5}, c.button, c.modifiers));
        view.mouseDragged(event(to, c.button, c.modifiers));
        view.mouseUp(event(to, c.button));
        draw();
        const vxPoint now = shown(*point);
        EXPECT_NEAR(now.x, to.x, 0.5);
        EXPECT_NEAR(now.y, to.y, 0.5);
        expectSameDirection(offset(), before); // moved, not turned or zoomed
        EXPECT_NEAR(offset().vectorLength3f(), before.vectorLength3f(), 1e-4f);
        EXPECT_EQ(view.getPickedObject(static_cast<int>(to.x), static_cast<int>(to.y)),
                  view.sceneObjectList()[0]);
        EXPECT_EQ(view.selectedBauteil(), nullptr); // the press did not select
    }

    // The wheel can zoom towards the pointer: the point under it stays.
    view.setOrthographic(false);
    view.setZoomTowardPointer(true);
    draw();
    double depth = 0;
    shown(view.cameraTarget(), &depth);
    const vxPoint pointer{30, 120};
    GLdouble m[16], pr[16], x, y, z;
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    gluUnProject(pointer.x, pointer.y, depth, m, pr, vp, &x, &y, &z); // on the target's plane
    const float distance = offset().vectorLength3f();
    vxMouseEvent e = event(pointer);
    e.deltaY = -2;
    view.scrollWheel(e);
    draw();
    const vxPoint now = shown({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
    EXPECT_NEAR(now.x, pointer.x, 0.2);
    EXPECT_NEAR(now.y, pointer.y, 0.2);
    EXPECT_NEAR(offset().vectorLength3f(), distance / 1.1f, 1e-3f);
}

TEST_F(Camera, ResetGivesTheFilesCameraAndMovesGlideUnlessFramesAreSlow)
{
    // Without a model nothing is fitted; a standard view turns around the target.
    EXPECT_FALSE(view.fitModel());
    view.showStandardView(vxStandardView::kFront);
    EXPECT_EQ(view.cameraPosition(), vxVector(0, 0, -std::sqrt(101.0f)));

    mesh("31005", kCube);
    load({9.25f, 7.5f, -12.125f}, {0.5f, 0.25f, 0}, {{"K31005_A", {0, 1, 0}}});
    view.moveCameraAround(20, 30);
    view.panBy(5, 7, 10);
    view.fitModel();
    view.resetView();
    EXPECT_EQ(view.cameraPosition(), vxVector(9.25f, 7.5f, -12.125f));
    EXPECT_EQ(view.cameraTarget(), vxVector(0.5f, 0.25f, 0));

    double now = 0;
    view.setClock([&now] { return now; });
    view.setSmoothTransitions(true);
    draw();
    const vxCameraPose start{view.cameraPosition(), view.cameraTarget()};
    const vxCameraPose end =
        view.fittedCamera(view.visibleBoxes(), vxOpenGLView::standardViewDirection(vxStandardView::kTop));
    host.takeNeedsDisplay();
    view.showStandardView(vxStandardView::kTop);
    EXPECT_TRUE(view.cameraTransitionRunning());
    EXPECT_EQ(view.cameraPosition(), start.position); // moves with the draws
    now = 0.125;
    EXPECT_TRUE(host.takeNeedsDisplay());
    draw();
    EXPECT_TRUE(host.takeNeedsDisplay()); // the draw asks for the next step
    EXPECT_NE(view.cameraPosition(), start.position);
    EXPECT_NE(view.cameraPosition(), end.position);
    now = 0.3;
    draw();
    EXPECT_FALSE(view.cameraTransitionRunning());
    EXPECT_EQ(view.cameraPosition(), end.position);
    EXPECT_EQ(view.cameraTarget(), end.target);

    // The wheel during a glide wins.
    view.resetView();
    now = 0.4;
    draw();
    vxMouseEvent e;
    e.deltaY = 2;
    view.scrollWheel(e);
    const vxVector zoomed = view.cameraPosition();
    now = 0.5;
    draw();
    EXPECT_FALSE(view.cameraTransitionRunning());
    EXPECT_EQ(view.cameraPosition(), zoomed);

    // After a frame of more than 100 ms, moves jump.
    view.setClock([&now] { return now += 0.11; });
    draw();
    view.resetView();
    EXPECT_FALSE(view.cameraTransitionRunning());
    EXPECT_EQ(view.cameraPosition(), vxVector(9.25f, 7.5f, -12.125f));
}

// A model that reaches further from the eye than the lens's far plane moves
// the plane out: fitted, both ends of a 3,000-unit row of 200-unit cubes
// show and can be picked, in either projection.
TEST_F(Camera, AModelLongerThanTheFarPlaneStaysInSightWhenFitted)
{
    mesh("31005", box(-1000, -1000, -1000, 1000, 1000, 1000));
    load({9, 7, -12}, {0, 0, 0},
         {{"K31005_near", {0, 100, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff},
          {"K31005_far", {3000, 100, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000}});
    for (const bool orthographic : {false, true}) {
        SCOPED_TRACE(orthographic ? "orthographic" : "perspective");
        view.setOrthographic(orthographic);
        ASSERT_TRUE(view.fitModel());
        const vxImage image = draw();
        for (const char wanted : {'r', 'b'}) {
            int n = 0, sx = 0, sy = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    if (hue(image.pixel(x, y)) == wanted)
                        ++n, sx += x, sy += y;
            ASSERT_GT(n, 0) << wanted;
            const auto picked = view.getPickedObject(sx / n, image.height - 1 - sy / n);
            EXPECT_EQ(picked, view.sceneObjectList()[wanted == 'r' ? 0 : 1]) << wanted; // COLOR is BGR
        }
    }
}

// A file camera that shows nothing (none given, or straight above the
// target) gives way to the model fitted in the three-quarter view, which
// Reset returns to; a camera that shows the model is kept as the file has it.
TEST_F(Camera, AFileCameraThatShowsNothingGivesWayToTheFittedThreeQuarterView)
{
    mesh("31005", kCube);
    const std::vector<KmfPart> parts = {{"K31005_a", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff},
                                        {"K31005_b", {6, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000}};
    for (const std::array<float, 3> eye : {std::array<float, 3>{0, 0, 0}, {0, 50, 0}}) {
        SCOPED_TRACE(eye[1]);
        load(eye, {0, 0, 0}, parts);
        const vxCameraPose fitted =
            view.fittedCamera(view.visibleBoxes(), vxOpenGLView::standardViewDirection(vxStandardView::kIso));
        EXPECT_EQ(pose(), fitted);
        const vxImage image = draw();
        int red = 0, blue = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                red += hue(image.pixel(x, y)) == 'r', blue += hue(image.pixel(x, y)) == 'b';
        EXPECT_GT(red, 0);
        EXPECT_GT(blue, 0);
        view.showStandardView(vxStandardView::kFront);
        view.resetView();
        EXPECT_EQ(pose(), fitted);
    }
    load({9, 7, -12}, {0, 0, 0}, parts);
    EXPECT_EQ(pose(), (vxCameraPose{vxVector(9, 7, -12), vxVector(0, 0, 0)}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(vxOpenGLView::cameraShowsAnything(vxVector(nan, 1, 1), vxVector(0, 0, 0)));
}

// A fit frames the parts' own boxes, not the box around them all: seen
// from below, a tower (a narrow column under a wide platform) fills the
// picture although the box's near corners are as wide as the platform.
// Every standard view fills at least 80 % of one axis and cuts nothing.
TEST_F(Camera, EveryStandardViewOfATallModelFillsTheViewWithoutCuttingIt)
{
    mesh("31005", box(-10, -10, -10, 10, 10, 10));
    mesh("31101", box(-80, -5, -80, 80, 5, 80)); // the platform
    std::vector<KmfPart> parts;
    for (int k = 0; k < 12; ++k)
        parts.push_back({"K31005_column", {0, 1.0f + 2 * k, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080});
    parts.push_back({"K31101_platform", {0, 24.5f, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff});
    load({30, 20, -40}, {0, 10, 0}, parts);
    for (const vxStandardView which :
         {vxStandardView::kBottom, vxStandardView::kTop, vxStandardView::kFront, vxStandardView::kBack,
          vxStandardView::kLeft, vxStandardView::kRight, vxStandardView::kIso}) {
        SCOPED_TRACE(static_cast<int>(which));
        view.showStandardView(which);
        const vxImage image = draw();
        int x0 = image.width, x1 = -1, y0 = image.height, y1 = -1;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (!colorNear(image.pixel(x, y), kBackground[0], kBackground[1], kBackground[2])) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        EXPECT_GT(x0, 0);
        EXPECT_GT(y0, 0);
        EXPECT_LT(x1, image.width - 1);
        EXPECT_LT(y1, image.height - 1);
        EXPECT_GE(std::max(double(x1 - x0 + 1) / image.width, double(y1 - y0 + 1) / image.height), 0.8);
    }
}

// A model that reaches far beyond the lens's far plane moves the near plane
// out too, so that the depth buffer tells apart two parts touching face to
// face in a fitted model of 100,000 parts: the nearer one shows whole, the
// same over two draws from slightly different distances.
TEST_F(Camera, PartsTouchingFaceToFaceInAFittedHugeModelDoNotFlicker)
{
    mesh("31005", box(-10, -10, -10, 10, 10, 10));
    mesh("31101", box(-10000, -10000, -10000, 10000, 10000, 10000)); // 2,000 units wide
    mesh("31102", box(-8000, -8000, -50, 8000, 8000, 50));           // 10 units thick
    const std::string path = dir.file("huge.kmf");
    const std::int64_t grid = 99998;
    vxBench::writeHugeModel(path, grid, {{"31005", "cube", 12}}, 25.0f);
    std::string text = readFile(path);
    const std::string count = "COUNT=" + std::to_string(grid) + "\r\n";
    ASSERT_NE(text.find(count), std::string::npos);
    text.replace(text.find(count), count.size(), "COUNT=" + std::to_string(grid + 2) + "\r\n");
    // In front of the grid (z from -3950): a blue block, and against its
    // front face (z = -4500) a red plate.
    for (const KmfPart& p : {KmfPart{"K31101_block", {0, 1000, -3500}, {0, 1, 0}, {0, 0, 1}, 0xff0000},
                             KmfPart{"K31102_plate", {0, 1000, -4505}, {0, 1, 0}, {0, 0, 1}, 0x0000ff}}) {
        const std::string one = kmfFile({0, 0, -1}, {0, 0, 0}, {p});
        text += "[PART" + std::to_string(grid + (p.name == "K31101_block" ? 1 : 2)) + "]" +
                one.substr(one.find("[PART1]") + 7);
    }
    writeFile(path, text);
    view.set3DGridVisible(0);
    ASSERT_TRUE(view.loadModelFromFile(path));
    ASSERT_EQ(view.sceneObjectList().size(), static_cast<std::size_t>(grid + 2));
    view.showStandardView(vxStandardView::kFront);
    EXPECT_GT(view.farPlane(), vxLens::kFarPlane);

    // The plate's middle, a little inside its edges.
    const Pixel a = at(vxVector(-700, 1700, -4510)), b = at(vxVector(700, 300, -4510));
    auto plate = [&](const vxImage& image, std::vector<Rgba>& pixels) {
        int blue = 0;
        for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
            for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x) {
                pixels.push_back(image.pixel(x, y));
                blue += hue(image.pixel(x, y)) == 'b';
            }
        return blue;
    };
    std::vector<Rgba> first, second;
    EXPECT_EQ(plate(draw(), first), 0);
    ASSERT_GT(first.size(), 100u);
    for (const Rgba& p : first)
        ASSERT_EQ(hue(p), 'r');
    // A step back of a thousandth of the distance.
    vxVector back;
    back.vectorSubtract3f(view.cameraPosition(), view.cameraTarget());
    back.scaleVector3f(0.001f);
    vxVector eye;
    eye.vectorAdd3f(view.cameraPosition(), back);
    view.moveCameraTo({eye, view.cameraTarget()});
    EXPECT_EQ(plate(draw(), second), 0);
    EXPECT_EQ(second, first);
}
