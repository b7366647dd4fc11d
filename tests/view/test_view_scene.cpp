// Scene assembly, start values, and shared meshes drawing and picking
// exactly what the plain one-triangle-at-a-time drawing gives.
#include "vxGLResources.h"
#include "vxViewTestSupport.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <functional>
#include <set>
#include <string>

using namespace vxTest;

namespace {

// The object drawn one triangle at a time, each under its own name load,
// with the object's current state: the reference our display lists must match.
void plainRender(const vxBaseSceneObject& o, std::int32_t name)
{
    if (!o.visible())
        return;
    float m[16];
    o.localMatrix().toArray(m);
    glPushMatrix();
    glMultMatrixf(m);
    auto material = [](GLenum what, float r, float g, float b, float a) {
        const float v[4] = {r, g, b, a};
        glMaterialfv(GL_FRONT, what, v);
    };
    const vxVector& a = o.colorAmbient();
    const vxVector& d = o.colorDiffuse();
    const vxVector& e = o.colorEmission();
    material(GL_AMBIENT, a.x(), a.y(), a.z(), a.w());
    if (o.selectedBauteil())
        material(GL_DIFFUSE, 1, 0, 1, 1);
    else
        material(GL_DIFFUSE, d.x(), d.y(), d.z(), d.w());
    material(GL_EMISSION, e.x(), e.y(), e.z(), e.w());
    for (const vxVertice& t : o.verticesList()) {
        glLoadName(static_cast<GLuint>(name));
        glBegin(GL_TRIANGLES);
        glNormal3f(t.n1().x(), t.n1().y(), t.n1().z());
        glVertex3f(t.v1().x(), t.v1().y(), t.v1().z());
        glVertex3f(t.v2().x(), t.v2().y(), t.v2().z());
        glVertex3f(t.v3().x(), t.v3().y(), t.v3().z());
        glEnd();
    }
    glPopMatrix();
}

// The name of the nearest hit at pixel (x, y) (from the bottom) when
// drawAll draws in selection mode; -1 for none. A large buffer, so that the
// plain drawing's many records never overflow it.
long nearestHit(const std::function<void()>& drawAll, double x, double y)
{
    static GLuint buffer[1 << 14];
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(1 << 14, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, y, 0.01, 0.01, viewport);
    gluPerspective(30.0, double(viewport[2]) / viewport[3], 0.2, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    drawAll();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    const GLint hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);
    glPopName();
    long best = -1;
    GLuint bestDepth = 0xFFFFFFFFu;
    const GLuint* r = buffer;
    for (GLint h = 0; h < hits; ++h) {
        const GLuint names = r[0];
        if (r[1] < bestDepth) {
            bestDepth = r[1];
            best = names ? static_cast<long>(r[3]) : -1;
        }
        r += 3 + names;
    }
    return best;
}

// An irregular mesh: slanted faces, a normal that is not of unit length.
std::vector<StlTriangle> wedge()
{
    return {{{0, 0, -1}, {0, 0, 0}, {0, 10, 0}, {10, 0, 0}},
            {{0.5f, 0.5f, 0.7f}, {10, 0, 0}, {0, 10, 0}, {0, 0, 8}},
            {{-1, 0, 0}, {0, 0, 0}, {0, 0, 8}, {0, 10, 0}},
            {{0, -2, 0}, {0, 0, 0}, {10, 0, 0}, {0, 0, 8}}};
}

} // namespace

// The window side has no GL context before it is shown.
TEST(ViewSetUp, StartsWithTheDefaultCameraColoursAndAnEmptySceneWithoutAContext)
{
    vxHeadlessHost host;
    vxOpenGLView view(host);
    view.setWorkMode(vxWorkMode::kSelect);
    view.setPaintOldWhite(true);
    view.cameraPosition().setVector3f(5, 5, 5);
    view.awakeFromNib();
    EXPECT_FALSE(view.paintOldWhite());
    EXPECT_EQ(view.workMode(), 2);
    ASSERT_NE(view.model(), nullptr);
    EXPECT_EQ(view.model()->count(), 0);
    EXPECT_TRUE(view.sceneObjectList().empty());
    EXPECT_EQ(view.cameraPosition(), vxVector(0, 1, -10, 0));
    EXPECT_EQ(view.displayList(), 0);
    EXPECT_EQ(host.needsDisplayCount(), 1) << "the set-up asks for its first frame";

    // The background needs no recompile; the grid settings do; each asks
    // for one frame.
    view.setDisplayList(1);
    view.set3DBackgroundColor(1, 1, 1);
    EXPECT_EQ(view.displayList(), 1);
    view.set3DGridColor(0, 0, 1);
    EXPECT_EQ(view.gridColor(), vxVector(0, 0, 1, 1));
    EXPECT_EQ(view.displayList(), 0);
    EXPECT_EQ(host.needsDisplayCount(), 3);

    // Loading needs no context either; a failed load asks for nothing.
    TempDir dir;
    writeFile(dir.file("m.kmf"), kmfFile({1, 2, 3}, {0, 0, 0}, {{"K31005_a"}}));
    ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    EXPECT_EQ(view.sceneObjectList().size(), 1u);
    EXPECT_EQ(host.needsDisplayCount(), 4);
    EXPECT_FALSE(view.loadModelFromFile(dir.file("missing.kmf")));
    EXPECT_EQ(host.needsDisplayCount(), 4);
}

// The progress counts the parts up and changes nothing: the same scene,
// part for part, with or without it.
TEST_F(ViewTest, ALoadBuildsOneObjectPerPartThenOnePerTubeAndANewOneStartsAfresh)
{
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block", "[OFFSET]", "X=10", "Y=0", "Z=-5"}));
    view.cameraPosition().setW(0.5f);
    std::vector<std::pair<std::int32_t, std::int32_t>> progress;
    view.setLoadProgress([&](std::int32_t done, std::int32_t total) { progress.emplace_back(done, total); });
    host.takeNeedsDisplay();
    std::vector<KmfPart> parts = {{"K99999_nomesh", {9, 9, 9}},
                                  {"K31005_a", {1, 0, 0}, {0, 0, 1}, {1, 0, 0}, 0x8000ff},
                                  {"K31005_b", {-1, 0, 0}}};
    for (int i = 0; i < 40; ++i)
        parts.push_back({"K31005_p", {0.5f * i, 0, 0}, {0, 1, 0}, {0, 0, 1}, i * 1000, 1 + i / 10});
    load({1, 2, -9}, {0, 1, 0}, parts, {0x00ff00});
    EXPECT_TRUE(host.takeNeedsDisplay());
    EXPECT_EQ(view.displayList(), 0);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(43, 43));
    for (std::size_t i = 1; i < progress.size(); ++i)
        EXPECT_LE(progress[i - 1].first, progress[i].first);
    const std::string withProgress = view.vrmlText();
    view.setLoadProgress(nullptr);
    ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    EXPECT_EQ(view.vrmlText(), withProgress);
    EXPECT_EQ(view.model()->maximumBauphase(), 4);

    EXPECT_EQ(view.cameraPosition(), vxVector(1, 2, -9, 0.5f)); // w is the view's own
    EXPECT_EQ(view.cameraTarget(), vxVector(0, 1, 0, 0));

    auto& list = view.sceneObjectList();
    ASSERT_EQ(list.size(), 44u);
    auto& partList = view.model()->partList();
    for (std::size_t i = 0; i < 43; ++i)
        EXPECT_EQ(partList[i]->baseSceneObject(), list[i]);
    EXPECT_TRUE(list[0]->verticesList().empty()); // missing mesh, index kept
    EXPECT_EQ(list[0]->position(), vxVector(9, 9, 9, 0));

    const vxBaseSceneObject& a = *list[1];
    ASSERT_EQ(a.verticesList().size(), 12u);
    EXPECT_EQ(a.verticesList()[0].v1(), vxVector(1.5f, -0.5f, -1.0f, 0)); // offsets from the definition
    EXPECT_EQ(a.colorDiffuse(), vxVector(1.0f, 0, 128 / 255.0f, 0));
    EXPECT_EQ(a.localMatrix().v1(), vxVector(0, 1, 0, 0));
    EXPECT_EQ(a.localMatrix().v4(), vxVector(1, 0, 0, 1));
    EXPECT_EQ(a.colorAmbient(), vxVector());
    // Parts of one type share one mesh.
    EXPECT_EQ(list[1]->sharedMesh(), list[2]->sharedMesh());

    auto* tube = dynamic_cast<vxTubeSceneObject*>(list[43].get());
    ASSERT_NE(tube, nullptr);
    EXPECT_TRUE(tube->verticesList().empty());
    EXPECT_EQ(tube->colorDiffuse(), vxVector(0, 1, 0, 0));
    vxMatrix identity;
    identity.createHomogeneousMatrix();
    EXPECT_EQ(tube->localMatrix(), identity);

    // A new load starts afresh; a failed one changes nothing.
    writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block"})); // no offset
    view.cameraPosition().setW(0);
    load({0, 0, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff}, {"K31005_b"}});
    draw();
    view.sceneObjectList()[0]->setSelectedBauteil(true);
    view.sceneObjectList()[1]->setVisible(0);
    view.sceneObjectList()[0]->colorDiffuse().setVector3f(1, 1, 1);
    view.cameraPosition().setVector3f(3, 3, 3);

    ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    const auto scene = view.sceneObjectList();
    ASSERT_EQ(scene.size(), 2u);
    for (const auto& o : scene) {
        EXPECT_EQ(o->visible(), 1);
        EXPECT_FALSE(o->selectedBauteil());
    }
    EXPECT_EQ(scene[0]->colorDiffuse(), vxVector(1, 0, 0, 0));
    EXPECT_EQ(view.cameraPosition(), vxVector(0, 0, -10, 0));
    EXPECT_TRUE(colorNear(pixelAt(draw(), vxVector(0, 0, -0.5f)), 1, 0, 0));

    view.cameraPosition().setVector3f(3, 3, 3);
    view.setDisplayList(5);
    const vxLoadResult r = view.loadModelFromFile(dir.file("missing.kmf"));
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("missing.kmf"), std::string::npos);
    EXPECT_EQ(view.sceneObjectList(), scene);
    EXPECT_EQ(view.model()->count(), 2);
    EXPECT_EQ(view.cameraPosition(), vxVector(3, 3, 3, 0));
    EXPECT_EQ(view.displayList(), 5);
}

// After the first frame and after every change a click or a phase step
// makes, the picture and the picks are exactly those of drawing every
// triangle the plain way with each object's current state.
TEST_F(ViewTest, PartsSharingMeshesDrawAndPickExactlyAsThePlainDrawingOfEveryTriangle)
{
    mesh("31005", box(-5, -5, -5, 5, 5, 5));
    mesh("32000", box(0, -2, -2, 40, 2, 2));
    mesh("33000", wedge());
    const std::array<std::array<float, 3>, 4> ups = {{{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {0, -1, 0}}};
    const std::array<std::array<float, 3>, 4> dirs = {{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}}};
    const char* names[3] = {"K31005_block", "K32000_bar", "K33000_wedge"};
    std::vector<KmfPart> parts;
    for (int i = 0; i < 48; ++i) {
        KmfPart p;
        p.name = names[i % 3];
        p.position = {float(i % 6) * 0.9f - 2.5f, float(i / 12) * 0.7f, float((i / 6) % 2) * 0.8f - 0.4f};
        p.up = ups[static_cast<std::size_t>(i % 4)];
        p.direction = dirs[static_cast<std::size_t>(i % 4)];
        p.color = (i * 0x2f1d37) & 0xffffff;
        p.phase = 1 + i % 4;
        parts.push_back(p);
    }
    load({4, 5, -9}, {0, 1, 0}, parts);
    auto& list = view.sceneObjectList();
    std::set<const vxSharedMesh*> meshes;
    for (const auto& o : list)
        meshes.insert(o->sharedMesh().get());
    EXPECT_EQ(meshes.size(), 3u);

    auto theirs = [&] {
        for (std::size_t i = 0; i < list.size(); ++i)
            plainRender(*list[i], static_cast<std::int32_t>(i));
    };
    std::vector<std::pair<int, int>> hitPoints; // where the last comparison hit a part
    auto sameAsPlain = [&](const std::string& step, int pickStep) {
        SCOPED_TRACE(step);
        const vxImage ours = draw();
        // The same picture drawn the plain way, on the same camera and light.
        const auto scene = list;
        list.clear();
        view.drawRect();
        list = scene;
        theirs();
        glFinish();
        const vxImage plain = host.readPixels();
        ASSERT_EQ(ours.rgba.size(), plain.rgba.size());
        std::size_t differing = 0, background = 0;
        for (std::size_t i = 0; i < ours.rgba.size(); ++i)
            differing += ours.rgba[i] != plain.rgba[i];
        EXPECT_EQ(differing, 0u);
        for (int y = 0; y < ours.height; ++y)
            for (int x = 0; x < ours.width; ++x)
                background += colorNear(ours.pixel(x, y), kBackground[0], kBackground[1], kBackground[2]);
        EXPECT_LT(background, static_cast<std::size_t>(ours.width * ours.height) * 9 / 10) << "nearly empty";

        // Picks: the view's (one name per object, corners from vertex arrays,
        // only objects near the pointer) find the same nearest object as one
        // name per triangle drawn the plain way, all over the picture.
        view.drawRect();
        hitPoints.clear();
        for (int y = 2; y < host.pixelHeight(); y += pickStep)
            for (int x = 2; x < host.pixelWidth(); x += pickStep) {
                const auto picked = view.getPickedObject(x, y);
                long index = -1;
                for (std::size_t i = 0; i < list.size(); ++i)
                    if (list[i] == picked)
                        index = static_cast<long>(i);
                ASSERT_EQ(index, nearestHit(theirs, x, y)) << "at " << x << ", " << y;
                if (index >= 0)
                    hitPoints.emplace_back(x, y);
            }
        EXPECT_GT(hitPoints.size(), 10u);
    };
    auto click = [&](std::int32_t mode, std::size_t which) {
        ASSERT_GT(hitPoints.size(), which);
        const auto [x, y] = hitPoints[which];
        vxMouseEvent e;
        e.locationInWindow = host.windowPointFromView({double(x), double(y)});
        e.clickCount = 1;
        view.setWorkMode(mode);
        view.mouseDown(e);
    };

    sameAsPlain("first frame", 6);
    EXPECT_EQ(vxGLResources::liveLists(view.contextId()), 3); // one per mesh
    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"select", [&] { click(vxWorkMode::kSelect, hitPoints.size() / 2); }},
        {"select another", [&] { click(vxWorkMode::kSelect, hitPoints.size() / 3); }},
        {"hide", [&] { click(vxWorkMode::kHide, hitPoints.size() / 2); }},
        {"phase 2, earlier phases white",
         [&] {
             view.setPaintOldWhite(true);
             view.repaintModelWithBauphase(2);
         }},
        {"phase 3", [&] { view.repaintModelWithBauphase(3); }},
        {"refresh at phase 4",
         [&] {
             view.showAll();
             view.repaintModelWithBauphase(4);
         }},
    };
    for (const auto& [name, change] : steps) {
        change();
        sameAsPlain(name, 12);
    }
    EXPECT_EQ(vxGLResources::liveLists(view.contextId()), 3);
}
