// The VRML export: exact text, numbering, shared meshes, the locale, and
// the file written.
#include "vxExportFixtures.h"
#include "vxOpenGLView.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

namespace {

using vxFixture::tri;
using vxTest::crlf;

std::shared_ptr<vxBaseSceneObject> object(std::vector<vxVertice> triangles)
{
    auto o = std::make_shared<vxBaseSceneObject>();
    o->setVerticesList(std::move(triangles));
    return o;
}

class VrmlExport : public ::testing::Test {
  protected:
    vxHeadlessHost host;
    vxOpenGLView view{host};
    void SetUp() override { view.awakeFromNib(); }
};

} // namespace

// The text to the letter, in any locale: a scene without triangles is the
// header alone; an object without triangles is skipped but counted.
// Turning a part's Y axis up and its Z axis to -X gives the matrix a -0.0
// (0 * -1 - 0 * 0), which prints with its sign.
TEST_F(VrmlExport, TheTextToTheLetterInAnyLocale)
{
    const std::string header =
        crlf({"#VRML V1.0 ascii", "#this document was created by Kolbrik viewer for MacOSX"});
    EXPECT_EQ(view.vrmlText(), header);
    view.sceneObjectList() = {object({}), std::make_shared<vxTubeSceneObject>()};
    EXPECT_EQ(view.vrmlText(), header);

    auto o = object({tri({-0.0f, 1e-7f, -1e-7f}, {0.0078125f, -2.5f, 123456.7890625f}, {-0.0f, -0.0f, -0.0f}),
                     tri({1, 0, 0}, {1, 1, 0}, {0, 1, 0})});
    o->up().setVector3f(0, 1, 0);
    o->direction().setVector3f(-1, 0, 0);
    o->position().setVector3f(-0.0f, 0.75f, -3.0f);
    o->rebuildMatrix();
    o->colorAmbient() = vxVector(0.2f, 0.0f, 0.0f);
    o->colorDiffuse() = vxVector(-0.0f, 1.0f / 3.0f, 2.0f / 3.0f);
    o->colorEmission() = vxVector(0.0f, 0.0f, 1.0f);
    view.sceneObjectList() = {object({}), o};

    const std::string expected =
        header + crlf({" TransformSeparator {",
                       "DEF MAT_1 Material",
                       "{",
                       "  ambientColor 0.200000 0.000000 0.000000",
                       "  diffuseColor -0.000000 0.333333 0.666667",
                       "  specularColor 0.000000 0.000000 0.000000",
                       "  emissiveColor 0.000000 0.000000 1.000000",
                       "  shininess 0",
                       "  transparency 0",
                       "}",
                       "MatrixTransform ",
                       "{ matrix",
                       "0.000000 -0.000000 1.000000 0.000000",
                       "0.000000 1.000000 0.000000 0.000000",
                       "-1.000000 0.000000 0.000000 0.000000",
                       "-0.000000 0.750000 -3.000000 1.000000",
                       "}",
                       "Coordinate3",
                       "{",
                       "  point [",
                       "-0.000000 0.000000 -0.000000 0.007812 -2.500000 123456.789062 -0.000000 -0.000000 "
                       "-0.000000",
                       "1.000000 0.000000 0.000000 1.000000 1.000000 0.000000 0.000000 1.000000 0.000000",
                       "  ]",
                       "}",
                       "DEF part2 IndexedFaceSet",
                       "{",
                       "  coordIndex [ ",
                       "0,1,2,-1,3,4,5,-1,  ]",
                       "}",
                       "}"});
    EXPECT_EQ(view.vrmlText(), expected);
    vxTest::GermanLocale german;
    ASSERT_TRUE(german.ok) << "the de_DE.UTF-8 locale is missing (scripts/deps.sh generates it)";
    EXPECT_EQ(view.vrmlText(), expected);
}

TEST_F(VrmlExport, NumbersSkipObjectsWithoutTrianglesIgnoreVisibilityKeepMeshesSharedAndGoIntoTheFile)
{
    auto a = object({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0})});
    auto b = object({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}),
                     tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0})});
    b->setVisible(0);
    auto tube = std::make_shared<vxTubeSceneObject>();
    tube->colorDiffuse() = vxVector(1, 0, 0);
    auto sharing = std::make_shared<vxBaseSceneObject>(); // a part of a's type
    sharing->setSharedMesh(a->sharedMesh());
    sharing->position().setVector3f(1, 2, 0);
    sharing->rebuildMatrix();
    view.sceneObjectList() = {a, object({}), b, tube, sharing};

    const std::string text = view.vrmlText();
    EXPECT_NE(text.find("DEF MAT_0 Material\r\n"), std::string::npos);
    EXPECT_NE(text.find("DEF part1 IndexedFaceSet\r\n"), std::string::npos);
    EXPECT_NE(text.find("DEF MAT_2 Material\r\n"), std::string::npos);
    EXPECT_NE(text.find("DEF part3 IndexedFaceSet\r\n{\r\n  coordIndex [ \r\n0,1,2,-1,3,4,5,-1,6,7,8,-1,  "
                        "]\r\n}\r\n}\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("MAT_1"), std::string::npos);
    EXPECT_EQ(text.find("MAT_3"), std::string::npos);
    EXPECT_EQ(text.find("part2"), std::string::npos);
    EXPECT_NE(text.find("DEF part5 IndexedFaceSet"), std::string::npos);
    EXPECT_EQ(sharing->sharedMesh(), a->sharedMesh()); // reading did not unshare it
    // The text of a shared mesh, made once, is what a private copy writes.
    auto copy = object(std::as_const(*a).verticesList());
    copy->setLocalMatrix(sharing->localMatrix());
    view.sceneObjectList().back() = copy;
    EXPECT_EQ(view.vrmlText(), text);
    // The file ends with the last block (no closing line); every line ends
    // in CR LF.
    EXPECT_TRUE(text.ends_with("0,1,2,-1,  ]\r\n}\r\n}\r\n"));
    std::string bare = text;
    for (std::size_t p; (p = bare.find("\r\n")) != std::string::npos;)
        bare.erase(p, 2);
    EXPECT_EQ(bare.find_first_of("\r\n"), std::string::npos);

    // The file holds the text; a failed write names the file and the reason
    // and leaves the old file and nothing beside it (the writer's own cases are
    // the atomic file's).
    vxTest::TempDir dir;
    const std::string target = dir.file("out.wrl");
    vxTest::writeFile(target, std::string(100000, 'x'));
    ASSERT_TRUE(view.exportAsVRML(target));
    EXPECT_EQ(vxTest::readFile(target), view.vrmlText());

    const vxWriteResult r = view.exportAsVRML(dir.file("missing/out.wrl"));
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error, "cannot write " + dir.file("missing/out.wrl") + ": No such file or directory");
    EXPECT_EQ(vxTest::entries(dir.path()), std::set<std::string>{"out.wrl"});
}
