// What the view draws, checked on the pixels of an off-screen picture.
#include "vxGLResources.h"
#include "vxViewTestSupport.h"

#include <GL/gl.h>

using namespace vxTest;

namespace {

const float* kBg = kBackground;

// A bar along the mesh's X axis from 0 to 4 model units, 0.4 thick.
std::vector<StlTriangle> bar()
{
    return box(0, -2, -2, 40, 2, 2);
}

} // namespace

// The grid keeps one display list while it shows and none while it does
// not, however often it is switched; the background shows around it.
TEST_F(ViewTest, TheGridShowsInItsColourOnlyWhileItsFlagIsExactlyOneOverTheBackground)
{
    // The line x = 0 runs through the middle column from the default camera.
    const vxVector onLine(0, 0, -3.5f);
    const vxVector between(0.5f, 0, -3.5f);
    vxImage image = draw();
    EXPECT_TRUE(colorNear(pixelAt(image, onLine), 0.5f, 0.5f, 0.5f));
    EXPECT_TRUE(colorNear(pixelAt(image, between), kBg[0], kBg[1], kBg[2]));
    EXPECT_NE(view.gridDisplayList(), 0);
    EXPECT_EQ(vxGLResources::liveLists(view.contextId()), 1);

    view.set3DGridColor(1, 0, 0);
    EXPECT_EQ(view.displayList(), 0);
    image = draw();
    EXPECT_TRUE(colorNear(pixelAt(image, onLine), 1, 0, 0));

    view.set3DGridVisible(2); // only 1 shows the grid
    image = draw();
    EXPECT_TRUE(colorNear(pixelAt(image, onLine), kBg[0], kBg[1], kBg[2]));
    EXPECT_EQ(view.gridDisplayList(), 0);
    EXPECT_EQ(vxGLResources::liveLists(view.contextId()), 0);
    for (int round = 0; round < 3; ++round) {
        view.toggle3DGridVisible();
        EXPECT_EQ(view.gridVisible(), 0);
        draw();
        view.toggle3DGridVisible();
        EXPECT_EQ(view.gridVisible(), 1);
        image = draw();
    }
    EXPECT_TRUE(colorNear(pixelAt(image, onLine), 1, 0, 0));
    EXPECT_EQ(vxGLResources::liveLists(view.contextId()), 1);

    // Without the grid, the background, cleared with alpha zero.
    view.set3DGridVisible(0);
    image = draw();
    ASSERT_EQ(image.width, 201);
    ASSERT_EQ(image.height, 151);
    for (Pixel p : {Pixel{0, 0}, Pixel{200, 0}, Pixel{0, 150}, Pixel{200, 150}, Pixel{100, 75}}) {
        EXPECT_TRUE(colorNear(image.pixel(p.x, p.y), kBg[0], kBg[1], kBg[2]));
        EXPECT_EQ(image.pixel(p.x, p.y)[3], 0);
    }
    view.set3DBackgroundColor(0.2f, 0.4f, 0.6f);
    EXPECT_EQ(view.backgroundColor(), vxVector(0.2f, 0.4f, 0.6f, 1.0f));
    image = draw();
    EXPECT_TRUE(colorNear(image.pixel(0, 0), 0.2f, 0.4f, 0.6f));
    EXPECT_EQ(image.pixel(0, 0)[3], 0); // the clear never takes the stored alpha
}

TEST_F(ViewTest, APartShowsInItsDiffuseColourWhereItsUpAndDirectionTurnIt)
{
    mesh("31005", bar());
    // up = z and direction = x turn the mesh's X axis to y: the bar stands
    // upright on (1, 0, 0), its mesh -Y face looking at the camera on -z.
    load({0, 0, -20}, {0, 0, 0}, {{"K31005_bar", {1, 0, 0}, {0, 0, 1}, {1, 0, 0}, 0x0000ff}});
    const vxImage image = draw();
    EXPECT_TRUE(colorNear(pixelAt(image, vxVector(1, 2, -0.2f)), 1, 0, 0));
    EXPECT_TRUE(colorNear(pixelAt(image, vxVector(1, 3.5f, -0.2f)), 1, 0, 0));
    // Not lying along x (no turn), nor standing on the other side (mirror).
    EXPECT_TRUE(colorNear(pixelAt(image, vxVector(3, 0, -0.2f)), kBg[0], kBg[1], kBg[2]));
    EXPECT_TRUE(colorNear(pixelAt(image, vxVector(-1, 2, -0.2f)), kBg[0], kBg[1], kBg[2]));
    EXPECT_TRUE(colorNear(pixelAt(image, vxVector(1, -2, -0.2f)), kBg[0], kBg[1], kBg[2]));
}

TEST_F(ViewTest, TheLightComesFromTheCameraSideAndTheDrawIgnoresTheCamerasUpVector)
{
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    load({-6, 0, -8}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xffffff}});
    const vxVector front(0, 0, -0.5f), side(-0.5f, 0, 0);
    vxImage image = draw();
    // Lambert: the brightness of a face is the cosine to the camera's direction.
    EXPECT_TRUE(colorNear(pixelAt(image, front), 0.8f, 0.8f, 0.8f));
    EXPECT_TRUE(colorNear(pixelAt(image, side), 0.6f, 0.6f, 0.6f));

    view.cameraPosition().setVector3f(-8, 0, -6);
    image = draw();
    EXPECT_TRUE(colorNear(pixelAt(image, front), 0.6f, 0.6f, 0.6f));
    EXPECT_TRUE(colorNear(pixelAt(image, side), 0.8f, 0.8f, 0.8f));

    // With the target moved, the light still comes from the eye's direction
    // as seen from the origin.
    view.cameraTarget().setVector3f(0, 0.1f, 0);
    image = draw();
    EXPECT_TRUE(colorNear(pixelAt(image, side), 0.8f, 0.8f, 0.8f));

    // The draw keeps the world's y axis up on screen whatever up vector the
    // file's camera has.
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    const std::vector<KmfPart> parts = {{"K31005_a", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff},
                                        {"K31005_b", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}};
    load({2, 3, -10}, {0, 0, 0}, parts);
    const vxImage upright = draw();
    writeFile(dir.file("m.kmf"),
              kmfFile({2, 3, -10}, {0, 0, 0}, parts) + crlf({"[CAMERA]", "UPX=1", "UPY=0"}));
    ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    EXPECT_EQ(view.cameraUp(), vxVector(1, 0, 0, 0));
    EXPECT_TRUE(draw().rgba == upright.rgba);
    EXPECT_TRUE(colorNear(pixelAt(upright, vxVector(0, 1, -0.5f)), 1, 0, 0, 60)); // the red part above
}

TEST_F(ViewTest, BoundsInPointsAndPixelsFollowTheDevicePixelRatio)
{
    host.setDevicePixelRatio(2.0);
    ASSERT_TRUE(host.resize(120, 80));
    view.reshape();
    EXPECT_EQ(host.boundsInPixels().width, 120);
    EXPECT_EQ(host.boundsInPoints().width, 60);
    EXPECT_EQ(host.boundsInPoints().height, 40);
    // Window points from the top left to view points from the bottom left.
    const vxPoint p = host.convertFromWindow({10, 5});
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 35);
    EXPECT_EQ(host.windowPointFromView(p).y, 5);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 120); // the viewport is in pixels
    EXPECT_EQ(viewport[3], 80);

    // The projection uses the pixel aspect ratio: grid crossings land where
    // the lens with that aspect puts them, also after a resize.
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            ASSERT_TRUE(host.resize(91, 151));
            view.reshape();
        }
        view.drawRect();
        const vxImage image = host.readPixels();
        for (const vxVector& crossing : {vxVector(0, 0, -3), vxVector(1, 0, -3), vxVector(-2, 0, 4)}) {
            const Pixel q =
                project(view.cameraPosition(), view.cameraTarget(), image.width, image.height, crossing);
            EXPECT_TRUE(colorAround(image, q, 0.5f, 0.5f, 0.5f))
                << "round " << round << " x " << crossing.x() << " at " << q.x << ", " << q.y;
        }
    }
}

// Highlight new parts is laid over the frame: off, nothing changes; on,
// the shown phase's parts keep their exact pixels, everything else drawn
// fades 70 % toward the background, the background stays; marked parts are
// tinted. No colour a scene object holds changes.
TEST_F(ViewTest, HighlightFadesEarlierPhasesOverTheFrameAndChangesNoColour)
{
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    load({0, 0, -10}, {0, 0, 0},
         {{"K31005_old", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
          {"K31005_new", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 2}});
    const vxVector oldPart(1.5f, 0, -0.5f), newPart(-1.5f, 0, -0.5f), empty(0, 2.5f, 0);
    view.repaintModelWithBauphase(2);
    const vxImage plain = draw();
    auto colours = [&] {
        std::vector<vxVector> c;
        for (const auto& o : view.sceneObjectList())
            c.insert(c.end(), {o->colorAmbient(), o->colorDiffuse(), o->colorEmission()});
        return c;
    };
    const auto before = colours();

    view.highlight().setEnabled(true);
    const vxImage lit = draw();
    EXPECT_EQ(lit.pixel(at(newPart).x, at(newPart).y), plain.pixel(at(newPart).x, at(newPart).y));
    EXPECT_EQ(lit.pixel(at(empty).x, at(empty).y), plain.pixel(at(empty).x, at(empty).y));
    const Rgba was = pixelAt(plain, oldPart);
    EXPECT_TRUE(colorNear(pixelAt(lit, oldPart), (was[0] / 255.0f) * 0.3f + kBg[0] * 0.7f,
                          (was[1] / 255.0f) * 0.3f + kBg[1] * 0.7f, (was[2] / 255.0f) * 0.3f + kBg[2] * 0.7f,
                          2));
    EXPECT_EQ(colours(), before);

    // Phase 1: the former old part is the new one and keeps its pixels.
    view.repaintModelWithBauphase(1);
    const vxImage one = draw();
    view.highlight().setEnabled(false);
    EXPECT_EQ(one.rgba, draw().rgba);

    // Marked parts are tinted; cleared, and with the highlight off, every
    // pixel is as if there were no highlight at all.
    view.repaintModelWithBauphase(2);
    view.highlight().setMarked({view.sceneObjectList()[1]});
    const Rgba marked = pixelAt(draw(), newPart);
    EXPECT_GT(marked[2], 150); // the green part tinted toward cyan
    EXPECT_LT(marked[0], 100);
    view.highlight().setMarkShown(false);
    EXPECT_EQ(draw().rgba, plain.rgba);
    view.highlight().clearMarked();
    view.highlight().setMarkShown(true);
    EXPECT_EQ(draw().rgba, plain.rgba);
    EXPECT_EQ(colours(), before);
}
