// Display-list life cycle of scene objects and their meshes, in a real
// (off-screen) context.
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

// Objects keep no list of their own: a mesh is compiled once when first
// drawn (never while hidden), whatever its objects do. A mesh drawn in
// another context is compiled anew there; its old list waits to be deleted
// in its own context, and a forgotten context's lists are dropped, never
// deleted elsewhere.
TEST_F(SceneGL, AMeshIsCompiledOncePerContextAndItsListDeletedOnlyInItsOwn)
{
    vxBaseSceneObject obj, other;
    obj.setVerticesList(boxTriangles());
    other.setSharedMesh(obj.sharedMesh());
    obj.setVisible(0);
    obj.renderObject(0);
    EXPECT_EQ(live(), 0); // nothing drawn, nothing compiled
    for (int round = 0; round < 3; ++round) {
        obj.setSelectedBauteil(round == 1);
        obj.setVisible(round == 2 ? 0 : 1);
        obj.colorDiffuse().setVector3f(1, 0, static_cast<float>(round));
        obj.renderObject(0);
        other.renderObject(1);
    }
    EXPECT_EQ(live(), 1);
    EXPECT_EQ(queued(), 0);

    vxOffscreenHost second(16, 16);
    ASSERT_TRUE(second.ok());
    const auto secondCtx = vxGLResources::newContextId();
    second.makeCurrent();
    vxGLResources::setCurrentContext(secondCtx);
    obj.setVisible(1);
    obj.renderObject(0);
    EXPECT_EQ(vxGLResources::liveLists(secondCtx), 1);
    EXPECT_EQ(queued(), 1);
    vxGLResources::deleteQueuedLists(secondCtx);
    EXPECT_EQ(queued(), 1);

    use();
    vxGLResources::deleteQueuedLists(ctx);
    EXPECT_EQ(live(), 0);

    vxGLResources::forgetContext(secondCtx);
    obj.setSharedMesh(nullptr);
    other.setSharedMesh(nullptr);
    EXPECT_EQ(vxGLResources::queuedLists(secondCtx), 0);
}
