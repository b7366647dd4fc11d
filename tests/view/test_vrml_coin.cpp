// Our exports read back by Coin, a VRML 1.0 reader we did not write: the
// triangles it finds, their materials and where its transforms put them
// must be what our scene holds.
#include "vxExportFixtures.h"
#include "vxOpenGLView.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/SoPrimitiveVertex.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShape.h>

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <set>

namespace {

// One shape as seen by a reader.
struct Shape {
    long triangles = 0;
    float diffuse[3] = {0, 0, 0};
    vxFixture::Box box; // of the corners in world space
};

// What a reader saw: shapes by node name, all triangles.
struct Reading {
    bool vrml1 = false;
    std::map<std::string, Shape> shapes;
    long triangles = 0;
};

void onTriangle(void* data, SoCallbackAction* action, const SoPrimitiveVertex* a, const SoPrimitiveVertex* b,
                const SoPrimitiveVertex* c)
{
    auto* reading = static_cast<Reading*>(data);
    Shape& shape = reading->shapes[action->getCurPathTail()->getName().getString()];
    ++shape.triangles;
    ++shape.box.triangles;
    ++reading->triangles;
    SbColor ambient, diffuse, specular, emission;
    float shininess, transparency;
    action->getMaterial(ambient, diffuse, specular, emission, shininess, transparency);
    for (int k = 0; k < 3; ++k)
        shape.diffuse[k] = diffuse[k];
    const SbMatrix& m = action->getModelMatrix();
    for (const SoPrimitiveVertex* v : {a, b, c}) {
        SbVec3f world;
        m.multVecMatrix(v->getPoint(), world);
        shape.box.add(world[0], world[1], world[2]);
    }
}

Reading readWithCoin(SoInput& in)
{
    Reading r;
    SoSeparator* root = SoDB::readAll(&in);
    if (!root)
        return r;
    root->ref();
    r.vrml1 = in.isFileVRML1();
    SoCallbackAction triangles;
    triangles.addTriangleCallback(SoShape::getClassTypeId(), onTriangle, &r);
    triangles.apply(root);
    root->unref();
    return r;
}

Reading readFileWithCoin(const std::string& path)
{
    SoInput in;
    if (!in.openFile(path.c_str()))
        return {};
    return readWithCoin(in);
}

Reading readTextWithCoin(const std::string& text)
{
    SoInput in;
    in.setBuffer(text.data(), text.size());
    return readWithCoin(in);
}

// The same, from our scene: corners moved by each object's placement
// matrix as points (w = 1).
Reading fromScene(const vxOpenGLView& view)
{
    Reading r;
    r.vrml1 = true;
    const auto& list = view.sceneObjectList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const vxBaseSceneObject& o = *list[i];
        if (o.verticesList().empty())
            continue;
        Shape& shape = r.shapes["part" + std::to_string(i + 1)];
        shape.diffuse[0] = o.colorDiffuse().x();
        shape.diffuse[1] = o.colorDiffuse().y();
        shape.diffuse[2] = o.colorDiffuse().z();
        vxFixture::addPlaced(shape.box, o);
        shape.triangles = static_cast<long>(shape.box.triangles);
        r.triangles += shape.triangles;
    }
    return r;
}

// Six decimals in the file and float arithmetic on both sides.
void expectNear(double ours, double theirs, const std::string& what)
{
    EXPECT_NEAR(ours, theirs, 2e-5 * std::max(1.0, std::fabs(ours))) << what;
}

void expectSame(const Reading& ours, const Reading& coin)
{
    ASSERT_TRUE(coin.vrml1) << "Coin did not read the text as VRML 1.0";
    EXPECT_EQ(coin.triangles, ours.triangles);
    ASSERT_EQ(coin.shapes.size(), ours.shapes.size());
    for (const auto& [name, s] : ours.shapes) {
        ASSERT_TRUE(coin.shapes.count(name)) << name;
        const Shape& c = coin.shapes.at(name);
        EXPECT_EQ(c.triangles, s.triangles) << name;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(c.diffuse[k], s.diffuse[k], 1e-6) << name;
            expectNear(s.box.min[k], c.box.min[k], name + " min");
            expectNear(s.box.max[k], c.box.max[k], name + " max");
        }
    }
}

using vxFixture::tri;

std::shared_ptr<vxBaseSceneObject> placed(std::vector<vxVertice> mesh, vxVector up, vxVector direction,
                                          vxVector position, vxVector colour)
{
    auto o = std::make_shared<vxBaseSceneObject>();
    o->setVerticesList(std::move(mesh));
    o->up().setVector3f(up);
    o->direction().setVector3f(direction);
    o->position().setVector3f(position);
    o->rebuildMatrix();
    o->colorDiffuse().setVector3f(colour);
    return o;
}

std::vector<vxVertice> boxMesh(float sx, float sy, float sz)
{
    std::vector<vxVertice> mesh;
    for (const auto& f : vxTest::box(0, 0, 0, sx, sy, sz))
        mesh.push_back(tri({f.a[0], f.a[1], f.a[2]}, {f.b[0], f.b[1], f.b[2]}, {f.c[0], f.c[1], f.c[2]}));
    return mesh;
}

class CoinReadsExports : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { SoDB::init(); }
    vxHeadlessHost host;
    vxOpenGLView view{host};
    void SetUp() override { view.awakeFromNib(); }
};

} // namespace

TEST_F(CoinReadsExports, SmallScenes)
{
    // The two-object example: an object without triangles, then one with two.
    view.sceneObjectList() = {
        std::make_shared<vxBaseSceneObject>(),
        placed({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), tri({1, 0, 0}, {1, 1, 0}, {0, 1, 0})}, {0, 1, 0},
               {0, 0, 1}, {1, 2, 3}, {1, 0.5f, 0.25f})};
    expectSame(fromScene(view), readTextWithCoin(view.vrmlText()));

    // Turned and moved parts with gaps in the numbering, a hidden part and a
    // tube, with -0.0 in the matrices, and a part turned 30 degrees about X
    // (a rotation that maps no axis onto an axis).
    const float c = std::cos(0.5235988f), s = std::sin(0.5235988f);
    auto hidden = placed(boxMesh(1, 2, 3), {0, 0, -1}, {0, 1, 0}, {-4, 0, 2.5f}, {0, 0, 1});
    hidden->setVisible(0);
    view.sceneObjectList() = {
        placed(boxMesh(1.5f, 1.5f, 3), {0, 1, 0}, {-1, 0, 0}, {-0.0f, 0.75f, -3}, {1, 0, 0}),
        std::make_shared<vxBaseSceneObject>(),
        placed(boxMesh(6, 0.3f, 6), {1, 0, 0}, {0, 0, -1}, {10, -2, 0}, {0, 1, 0}),
        hidden,
        std::make_shared<vxTubeSceneObject>(),
        placed(boxMesh(2, 1, 4), {0, c, s}, {0, -s, c}, {0.5f, 1, -2}, {1, 1, 0}),
    };
    const Reading ours = fromScene(view);
    ASSERT_EQ(ours.shapes.size(), 4u);
    expectSame(ours, readTextWithCoin(view.vrmlText()));

    // The file the export writes reads the same as the text.
    vxTest::TempDir dir;
    ASSERT_TRUE(view.exportAsVRML(dir.file("scene.wrl")));
    expectSame(ours, readFileWithCoin(dir.file("scene.wrl")));
}

TEST_F(CoinReadsExports, FullModel)
{
    // A model of catalogue parts when the build has made the catalogue, else
    // of our own test parts; some parts name a mesh that does not exist, and
    // tubes follow the parts.
    vxTest::TempDir own;
    std::string folder = vxTest::kBuiltResources;
    std::vector<std::string> types = vxFixture::partTypesIn(folder);
    if (types.empty()) {
        folder = own.path();
        types = vxFixture::writeResources(folder);
    }
    vxTest::TempDir dir;
    vxTest::writeFile(dir.file("model.kmf"), vxFixture::modelText(300, types, 3, 5, 17));
    {
        vxTest::ResourceFolder resources(folder);
        ASSERT_TRUE(view.loadModelFromFile(dir.file("model.kmf")));
    }
    ASSERT_EQ(view.sceneObjectList().size(), 303u);

    auto distinctMeshes = [this] {
        std::set<const vxSharedMesh*> meshes;
        for (const auto& o : view.sceneObjectList())
            meshes.insert(o->sharedMesh().get());
        return meshes.size();
    };
    const std::size_t shared = distinctMeshes();
    const Reading ours = fromScene(view);
    EXPECT_EQ(ours.shapes.size(), 300u - 300 / 17);
    EXPECT_LT(shared, ours.shapes.size()); // parts of one type share their mesh
    EXPECT_GT(ours.triangles, 300 * 12);
    ASSERT_TRUE(view.exportAsVRML(dir.file("model.wrl")));
    expectSame(ours, readFileWithCoin(dir.file("model.wrl")));
    EXPECT_EQ(distinctMeshes(), shared); // the export copied no mesh
}
