// Display-list life cycle of scene objects, in a real (off-screen) context.
#include "vxBaseSceneObject.h"
#include "vxGLResources.h"
#include "vxOffscreenHost.h"
#include "vxSTLReader.h"
#include "vxTestMesh.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

std::vector<vxVertice> boxTriangles()
{
    std::vector<vxVertice> t;
    vxAppendSTLTriangles(vxTest::stlFile(vxTest::box(-5, -5, -5, 5, 5, 5)), 0, 0, 0, t);
    return t;
}

class SceneGL : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.ok()) << host.error();
        ctx = vxGLResources::newContextId();
        use();
    }
    void TearDown() override { vxGLResources::forgetContext(ctx); }
    void use()
    {
        host.makeCurrent();
        vxGLResources::setCurrentContext(ctx);
    }
    std::int64_t live() const { return vxGLResources::liveLists(ctx); }
    std::int64_t queued() const { return vxGLResources::queuedLists(ctx); }

    vxOffscreenHost host{16, 16};
    vxGLResources::ContextId ctx = 0;
};

} // namespace

// Meshes compiled once however many objects share them, and lists that do
// not pile up over loads and redraws: tests/view/test_view_scene.cpp and
// test_view_draw.cpp.
TEST_F(SceneGL, TheDrawingIsKeptUntilVisibilityOrSelectionReallyChanges)
{
    vxBaseSceneObject obj;
    obj.setVerticesList(boxTriangles());
    obj.renderObject(0);
    const std::int32_t first = obj.displayList();
    EXPECT_NE(first, 0);
    EXPECT_EQ(obj.displayListContext(), ctx);
    EXPECT_EQ(live(), 2); // the object's drawing and its mesh's geometry

    // Drawn again, with the same values again or after other setters: kept.
    obj.renderObject(0);
    obj.setVisible(1);
    obj.setSelectedBauteil(false);
    obj.colorDiffuse().setVector3f(1, 0, 0);
    obj.setPosition(vxVector(1, 2, 3));
    EXPECT_EQ(obj.displayList(), first);

    // A real change discards it; the list is deleted once the owner of the
    // context deletes its queue.
    obj.setSelectedBauteil(true);
    EXPECT_EQ(obj.displayList(), 0);
    EXPECT_EQ(queued(), 1);
    obj.renderObject(0);
    vxGLResources::deleteQueuedLists(ctx);
    EXPECT_EQ(live(), 2);
    EXPECT_EQ(queued(), 0);
}

TEST_F(SceneGL, ADrawingOfAnotherContextIsNeverReplayedNorDeletedHere)
{
    vxBaseSceneObject obj;
    obj.setVerticesList(boxTriangles());
    obj.renderObject(0);
    EXPECT_EQ(live(), 2);

    vxOffscreenHost other(16, 16);
    ASSERT_TRUE(other.ok());
    const auto otherCtx = vxGLResources::newContextId();
    other.makeCurrent();
    vxGLResources::setCurrentContext(otherCtx);
    obj.renderObject(0);
    EXPECT_EQ(obj.displayListContext(), otherCtx);
    EXPECT_EQ(vxGLResources::liveLists(otherCtx), 2);
    // The first context's lists wait for their own context.
    EXPECT_EQ(queued(), 2);
    vxGLResources::deleteQueuedLists(otherCtx);
    EXPECT_EQ(queued(), 2);

    use();
    vxGLResources::deleteQueuedLists(ctx);
    EXPECT_EQ(live(), 0);

    // A forgotten context's lists are dropped, never deleted elsewhere.
    vxGLResources::forgetContext(otherCtx);
    obj.discardDrawing();
    EXPECT_EQ(vxGLResources::queuedLists(otherCtx), 0);
}
