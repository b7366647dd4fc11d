// Tubes drawn as round tubes along their paths while the view shows them;
// never picked; with tubes off the picture is the one without them.
#include "vxViewTestSupport.h"

#include <algorithm>

using namespace vxTest;

namespace {

class Tubes : public ViewTest {
  protected:
    // A grey slab facing the camera, and behind nothing else; the file's
    // tube sections follow.
    void loadWithTubes(const std::string& tubeSections, std::int32_t tubes)
    {
        mesh("31005", box(-50, -50, -5, 50, 50, 5));
        std::vector<std::int32_t> colours(static_cast<std::size_t>(tubes), 0x0000ff); // red
        std::string text =
            kmfFile({0, 0, -30}, {0, 0, 0}, {{"K31005_slab", {0, 0, 0}}}, colours) + tubeSections;
        writeFile(dir.file("t.kmf"), text);
        view.set3DGridVisible(0);
        ASSERT_TRUE(view.loadModelFromFile(dir.file("t.kmf")));
    }
    bool red(const Rgba& p) { return p[0] > 150 && p[1] < 60 && p[2] < 60; }
};

// A tube from (-8, 0, -2) over (0, 2, -2) to (8, 0, -2), radius 0.5: its
// ends reach beyond the slab (x from -5 to 5).
const std::string kArch = crlf({"[TUBE1]", "RADIUS=0,5", "COUNT=3", "X0=-8", "Y0=0", "Z0=-2", "X1=0", "Y1=2",
                                "Z1=-2", "X2=8", "Y2=0", "Z2=-2"});

} // namespace

TEST_F(Tubes, ATubeShowsRoundInItsColourAlongItsPathAndClicksPassThroughIt)
{
    loadWithTubes(kArch, 1);
    const vxImage off = draw();
    view.setShowTubes(true);
    const vxImage on = draw();

    // Along the path: at the nodes and between them (the curve runs
    // through the nodes; half-way between the first two it lies within a
    // radius of the chord).
    for (const vxVector& p : {vxVector(-7.5f, 0.19f, -2), vxVector(0, 2, -2), vxVector(-4, 1.1f, -2),
                              vxVector(4, 1.1f, -2), vxVector(7.5f, 0.19f, -2)})
        EXPECT_TRUE(red(pixelAt(on, p))) << p.x() << ", " << p.y();
    // Off the path the slab (or the background) as without tubes.
    for (const vxVector& p : {vxVector(0, -3, -0.5f), vxVector(0, 4, -0.5f), vxVector(-8, 3, -0.5f)}) {
        EXPECT_EQ(pixelAt(on, p), pixelAt(off, p));
        EXPECT_FALSE(red(pixelAt(on, p)));
    }
    // Round: across the tube the light changes, brightest in the middle.
    const Pixel top = at(vxVector(0, 2.5f, -2)), bottom = at(vxVector(0, 1.5f, -2));
    int brightest = 0, darkest = 255, brightestRow = -1;
    for (int y = top.y + 1; y < bottom.y; ++y) {
        const Rgba p = on.pixel(top.x, y);
        ASSERT_TRUE(red(p) || p[0] > 100) << y;
        if (p[0] > brightest)
            brightest = p[0], brightestRow = y;
        darkest = std::min<int>(darkest, p[0]);
    }
    EXPECT_GT(brightest - darkest, 30);
    EXPECT_NEAR(brightestRow, (top.y + bottom.y) / 2.0, 2.0);

    // Clicks pass through: the slab behind the tube, nothing beside it.
    const auto pick = [&](const vxVector& p) {
        const Pixel px = at(p);
        return view.getPickedObject(px.x, host.pixelHeight() - 1 - px.y);
    };
    EXPECT_EQ(pick(vxVector(0, 2, -2)), view.sceneObjectList()[0]);
    EXPECT_EQ(pick(vxVector(-7.5f, 0.19f, -2)), nullptr);
    // Picks are the same with tubes shown and not, everywhere.
    std::vector<const vxBaseSceneObject*> shown, hidden;
    for (int y = 0; y < host.pixelHeight(); y += 5)
        for (int x = 0; x < host.pixelWidth(); x += 5)
            shown.push_back(view.getPickedObject(x, y).get());
    view.setShowTubes(false);
    for (int y = 0; y < host.pixelHeight(); y += 5)
        for (int x = 0; x < host.pixelWidth(); x += 5)
            hidden.push_back(view.getPickedObject(x, y).get());
    EXPECT_EQ(shown, hidden);

    // With tubes off the picture is the one of the model without its tube.
    EXPECT_EQ(draw().rgba, off.rgba);
    loadWithTubes("", 0);
    EXPECT_EQ(draw().rgba, off.rgba);
}

TEST_F(Tubes, HiddenTubesAndTubesWithBadNodesDrawNothing)
{
    const std::string bad = crlf({"[TUBE2]", "RADIUS=1", "COUNT=1", "X0=0", "[TUBE3]", "RADIUS=1", "COUNT=2",
                                  "X0=-4", "Y0=0", "Z0=-2", "X1=4", "Y1=1e39", "Z1=-2"});
    loadWithTubes(kArch + bad, 3);
    const vxImage off = draw();
    view.setShowTubes(true);
    ASSERT_NE(draw().rgba, off.rgba);
    view.sceneObjectList()[1]->setVisible(0); // the good tube
    EXPECT_EQ(draw().rgba, off.rgba);
    view.showAll();
    EXPECT_NE(draw().rgba, off.rgba);
    ASSERT_EQ(view.tubeObjects().size(), 3u);
    EXPECT_TRUE(view.tubeObjects()[1]->surface()->triangles.empty());
    EXPECT_TRUE(view.tubeObjects()[2]->surface()->triangles.empty());
    // Their triangle lists, which picks and exports read, stay empty.
    for (const auto& tube : view.tubeObjects())
        EXPECT_TRUE(std::as_const(*tube).verticesList().empty());
}
