// Working with the model as a user does: orbit, zoom, centre, pick, select,
// hide, show all and building phases, driven by mouse events.
#include "vxViewTestSupport.h"

#include <cmath>
#include <numbers>

using namespace vxTest;

namespace {

// Records what the view hands to the part panel.
class RecordingPanel : public vxPartPanel {
  public:
    void selectPart(const std::shared_ptr<vxPart>& part) override
    {
        ++calls;
        last = part;
    }
    void showPanel() override { ++shown; }
    int calls = 0;
    int shown = 0;
    std::shared_ptr<vxPart> last;
};

// A 2 x 2 x 2 cube centred on the mesh origin (model units).
std::vector<StlTriangle> cube()
{
    return box(-10, -10, -10, 10, 10, 10);
}

class Interaction : public ViewTest {
  protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        view.setPartPanelController(&panel);
    }
    void TearDown() override
    {
        view.setPartPanelController(nullptr);
        ViewTest::TearDown();
    }
    // A mouse event at a point in the view's own coordinates.
    vxMouseEvent at(double x, double y, int clicks = 1)
    {
        vxMouseEvent e;
        e.locationInWindow = host.windowPointFromView({x, y});
        e.clickCount = clicks;
        return e;
    }
    void drag(vxPoint from, vxPoint to)
    {
        view.mouseDown(at(from.x, from.y));
        view.mouseDragged(at(to.x, to.y));
    }
    // The view point (points, lower-left origin) where a model point shows.
    vxPoint viewPointOf(const vxVector& p)
    {
        const Pixel px = ViewTest::at(p);
        return {px.x + 0.5, host.pixelHeight() - px.y - 0.5};
    }
    void click(const vxVector& modelPoint, int clicks = 1)
    {
        const vxPoint v = viewPointOf(modelPoint);
        view.mouseDown(at(v.x, v.y, clicks));
    }
    void expectEye(float x, float y, float z, float eps = 1e-4f)
    {
        EXPECT_NEAR(view.cameraPosition().x(), x, eps);
        EXPECT_NEAR(view.cameraPosition().y(), y, eps);
        EXPECT_NEAR(view.cameraPosition().z(), z, eps);
    }

    RecordingPanel panel;
};

} // namespace

TEST_F(Interaction, DraggingOrbitsAndADoubleClickCentresInNavigateModeOnly)
{
    view.cameraPosition().setVector3f(0, 0, 10);
    // 90 points to the left: +90 degrees about the up axis, counter-clockwise
    // seen from above.
    drag({150, 75}, {60, 75});
    expectEye(10, 0, 0);
    EXPECT_EQ(view.lastMousePoint().x, 60);
    EXPECT_GT(host.needsDisplayCount(), 0);

    // 30 points upwards: the elevation from the up axis grows to 120
    // degrees, so the eye sinks below the target.
    view.cameraPosition().setVector3f(0, 0, 10);
    drag({100, 40}, {100, 70});
    const float t = 120.0f * std::numbers::pi_v<float> / 180.0f;
    expectEye(0, 10 * std::cos(t), 10 * std::sin(t));

    // The wheel zooms in every mode, dragging turns in none but Navigate.
    for (int mode : {1, 3, 0, 4}) {
        view.setWorkMode(mode);
        view.cameraPosition().setVector3f(0, 0, 10);
        view.mouseDown(at(100, 40));
        view.mouseDragged(at(20, 90));
        expectEye(0, 0, 10, 0);
        EXPECT_EQ(view.lastMousePoint().x, 100); // the drag did not move it either
        vxMouseEvent e;
        for (double delta : {2.0, -2.0, 0.0}) {
            e.deltaY = delta;
            view.scrollWheel(e);
            expectEye(0, 0, delta > 0 ? 11 : 10);
        }
        EXPECT_EQ(view.cameraPosition(), vxVector(0, 0, 10, 0));
    }
    // After switching back, the next drag starts from the last mouse-down.
    view.setWorkMode(vxWorkMode::kNavigate);
    view.mouseDragged(at(10, 40));
    expectEye(10, 0, 0);

    // The elevation stops short of the poles; degenerate cameras stay put.
    view.cameraPosition().setVector3f(0, 0, 10);
    drag({100, 0}, {100, 500});
    const double bound = std::numbers::pi - 0.025;
    expectEye(0, static_cast<float>(10 * std::cos(bound)), static_cast<float>(10 * std::sin(bound)), 1e-3f);
    const float yAtPole = view.cameraPosition().y();
    view.mouseDragged(at(100, 700));
    EXPECT_NEAR(view.cameraPosition().y(), yAtPole, 1e-4f);
    view.mouseDragged(at(10, 700)); // sideways still turns around the up axis
    EXPECT_NEAR(view.cameraPosition().y(), yAtPole, 1e-3f);
    EXPECT_GT(std::fabs(view.cameraPosition().x()), 0.2f);

    // The other pole, and an eye straight above the target: the orbit axis
    // falls back to X and the eye leaves the pole.
    view.cameraPosition().setVector3f(0, 10, 0);
    drag({100, 500}, {100, 0});
    EXPECT_NEAR(view.cameraPosition().y(), 10 * std::cos(0.025f), 1e-3f);
    EXPECT_NEAR(view.cameraPosition().vectorLength3f(), 10.0f, 1e-3f);

    // Degenerate cameras stay put.
    view.cameraPosition().setVector3f(0, 0, 0); // eye on the target
    drag({10, 10}, {50, 50});
    expectEye(0, 0, 0, 0);
    view.cameraPosition().setVector3f(0, 0, 10);
    view.cameraUp().setVector3f(0, 0, 0); // a file without up entries
    drag({10, 10}, {50, 50});
    expectEye(0, 0, 10, 0);

    // A double click centres the target on a part, and only on a part.
    mesh("31005", cube());
    load({0, 4, -12}, {0, 0, 0}, {{"K31005_a", {1.5f, 0, 0}}});
    draw();
    const vxVector eye = view.cameraPosition();

    view.mouseDown(at(2, 2, 2)); // the background
    EXPECT_EQ(view.cameraTarget(), vxVector(0, 0, 0, 0));

    click({1.5f, 0, -1}, 1); // a single click does nothing
    EXPECT_EQ(view.cameraTarget(), vxVector(0, 0, 0, 0));
    click({1.5f, 0, -1}, 3);
    EXPECT_EQ(view.cameraTarget(), vxVector(0, 0, 0, 0));
    click({1.5f, 0, -1}, 2);
    EXPECT_EQ(view.cameraTarget().x(), 1.5f);
    EXPECT_EQ(view.cameraPosition(), eye); // the eye stays

    // Zooming now moves the eye towards the part.
    vxMouseEvent e;
    e.deltaY = -2;
    view.scrollWheel(e);
    vxVector off;
    off.vectorSubtract3f(view.cameraPosition(), view.cameraTarget());
    vxVector before;
    before.vectorSubtract3f(eye, vxVector(1.5f, 0, 0));
    EXPECT_NEAR(off.vectorLength3f(), before.vectorLength3f() / 1.1f, 1e-3f);
}

// Select picks the nearest part and hands it to the panel (how a selected
// part looks: the test against the plain drawing); Hide hides front to back;
// Show all brings them back.
TEST_F(Interaction, SelectAndHidePickTheNearestPart)
{
    mesh("31005", cube());
    // The far part comes first in the list, the near one second; a tube
    // runs in front of them (tubes have no surface: the click goes through).
    writeFile(dir.file("m.kmf"), kmfFile({0, 0, -12}, {0, 0, 0},
                                         {{"K31005_far", {0, 0, 3}, {0, 1, 0}, {0, 0, 1}, 0x0000ff},
                                          {"K31005_near", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00},
                                          {"K31005_farthest", {0, 0, 6}}},
                                         {0xffffff}) +
                                     crlf({"[TUBE1]", "COUNT=2", "X0=-2", "Z0=-1.5", "X1=2", "Z1=-1.5"}));
    view.set3DGridVisible(0);
    ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    auto& list = view.sceneObjectList();
    ASSERT_EQ(list.size(), 4u);
    draw();
    view.setWorkMode(vxWorkMode::kSelect);
    click({0, 0, -1});
    EXPECT_EQ(view.selectedBauteil(), list[1]);
    EXPECT_TRUE(list[1]->selectedBauteil());
    EXPECT_FALSE(list[0]->selectedBauteil());
    ASSERT_NE(panel.last, nullptr);
    EXPECT_EQ(panel.last, view.model()->partList()[1]);
    EXPECT_EQ(view.displayList(), 0);
    // Both clicks of a double click select it again.
    click({0, 0, -1}, 2);
    EXPECT_EQ(view.selectedBauteil(), list[1]);
    // A click on the background clears the selection and the panel.
    panel.calls = 0;
    view.mouseDown(at(2, 2));
    EXPECT_EQ(view.selectedBauteil(), nullptr);
    EXPECT_EQ(panel.last, nullptr);
    EXPECT_GE(panel.calls, 1);
    view.showPartPanel();
    EXPECT_EQ(panel.shown, 1);

    draw();
    view.setWorkMode(vxWorkMode::kHide);
    std::int32_t shown[3] = {1, 1, 1};
    for (std::size_t hidden : {1, 0, 2}) { // front to back
        click({0, 0, -1});
        shown[hidden] = 0;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(list[k]->visible(), shown[k]) << hidden;
        draw();
    }
    click({0, 0, -1}); // nothing left under the pointer
    EXPECT_TRUE(colorNear(pixelAt(draw(), {0, 0, -1}), kBackground[0], kBackground[1], kBackground[2]));
    // A hidden object stays selected.
    list[2]->setSelectedBauteil(true);
    EXPECT_EQ(view.selectedBauteil(), list[2]);
    view.showAll();
    for (auto& o : list)
        EXPECT_EQ(o->visible(), 1);

    // Picking finds the nearest part through more hit records than the first
    // selection buffer holds, follows triangles changed after an earlier pick,
    // and works on a high-resolution screen.
    host.setDevicePixelRatio(2.0); // 201 x 151 pixels are 100.5 x 75.5 points
    view.reshape();
    std::vector<KmfPart> parts;
    // Listed back to front: the nearest part is the last of twenty.
    for (int i = 19; i >= 0; --i)
        parts.push_back({"K31005_p", {0, 0, 2.5f * i}});
    parts.push_back({"K32000_alone", {0, 0, -5}});
    mesh("32000", cube());
    load({0, 0, -12}, {0, 0, 0}, parts);
    view.cameraPosition().setVector3f(0, 0, -60); // far enough to see through all twenty
    draw();
    const vxPoint v = viewPointOf({0, 0, -1});
    list[20]->setVisible(0); // the list the view holds, now of the new model
    EXPECT_EQ(view.getPickedObject(static_cast<int>(v.x), static_cast<int>(v.y)), list[19]);
    view.setWorkMode(vxWorkMode::kSelect);
    view.mouseDown(at(v.x / 2.0, v.y / 2.0)); // points, not pixels
    EXPECT_EQ(view.selectedBauteil(), list[19]);
    // Hiding the nearest leaves the next one.
    list[19]->setVisible(0);
    EXPECT_EQ(view.getPickedObject(static_cast<int>(v.x), static_cast<int>(v.y)), list[18]);

    // The part alone in front (the only holder of its mesh), moved away.
    list[20]->setVisible(1);
    ASSERT_EQ(view.getPickedObject(static_cast<int>(v.x), static_cast<int>(v.y)), list[20]);
    for (vxVertice& t : list[20]->verticesList())
        for (vxVector* c : {&t.v1(), &t.v2(), &t.v3()})
            c->x() += 50.0f;
    EXPECT_EQ(view.getPickedObject(static_cast<int>(v.x), static_cast<int>(v.y)), list[18]);
}

TEST_F(Interaction, BuildingPhasesHideLaterPartsAndPaintEarlierOnes)
{
    mesh("31005", cube());
    load({0, 0, -12}, {0, 0, 0},
         {{"K31005_a", {-3, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
          {"K31005_b", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 2},
          {"K31005_c", {3, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 3},
          {"K31005_d", {0, 3, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ffff, 0}},
         {0x123456});
    auto& objs = view.sceneObjectList();
    ASSERT_EQ(objs.size(), 5u);
    EXPECT_EQ(view.model()->actualBauphase(), 3);

    view.setPaintOldWhite(true);
    view.repaintModelWithBauphase(2);
    EXPECT_EQ(view.displayList(), 0);
    // The export writes the colours as painted.
    const std::string vrml = view.vrmlText();
    const std::size_t part0 = vrml.find("DEF MAT_0 ");
    ASSERT_NE(part0, std::string::npos);
    EXPECT_EQ(vrml.find("diffuseColor ", part0),
              vrml.find("diffuseColor 1.000000 1.000000 1.000000\r\n", part0));
    EXPECT_EQ(objs[0]->visible(), 1);
    EXPECT_EQ(objs[0]->colorDiffuse(), vxVector(1, 1, 1, 0)); // earlier: white
    EXPECT_EQ(objs[1]->colorDiffuse(), vxVector(0, 1, 0, 0)); // current: own colour
    EXPECT_EQ(objs[2]->visible(), 0);                         // later: hidden
    EXPECT_EQ(objs[2]->colorDiffuse(), vxVector(0, 0, 1, 0)); // colour untouched (0xff0000 is blue)
    EXPECT_EQ(objs[3]->visible(), 1);                         // phase 0 counts as earlier
    EXPECT_EQ(objs[3]->colorDiffuse(), vxVector(1, 1, 1, 0));
    EXPECT_EQ(objs[4]->visible(), 1); // the tube
    vxImage image = draw();
    EXPECT_TRUE(colorNear(pixelAt(image, {3, 0, -1}), kBackground[0], kBackground[1], kBackground[2]));
    const Rgba white = pixelAt(image, {-3, 0, -1});
    EXPECT_GT(white[1], 100); // lit white, not the part's red
    EXPECT_GT(white[0], 100);

    // Without white painting the old colours stay as they last were.
    view.setPaintOldWhite(false);
    view.repaintModelWithBauphase(3);
    EXPECT_EQ(objs[1]->colorDiffuse(), vxVector(0, 1, 0, 0));
    EXPECT_EQ(objs[0]->colorDiffuse(), vxVector(1, 1, 1, 0));
    EXPECT_EQ(objs[2]->visible(), 1);
    view.repaintModelWithBauphase(1);                         // its own phase restores the colour
    EXPECT_EQ(objs[0]->colorDiffuse(), vxVector(1, 0, 0, 0)); // 0x0000ff: red in the lowest byte
    EXPECT_EQ(objs[1]->visible(), 0);

    // A part hidden by hand comes back with a repaint only when its phase
    // is shown; the tube is never touched.
    objs[4]->setVisible(0);
    view.repaintModelWithBauphase(3);
    EXPECT_EQ(objs[4]->visible(), 0);
}
