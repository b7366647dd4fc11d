// Scene objects without a context: placement, the STL reader, shared
// meshes.
#include "vxBaseSceneObject.h"
#include "vxModel.h"
#include "vxSTLReader.h"
#include "vxTestMesh.h"

#include <gtest/gtest.h>

namespace {

// Three records with distinct values, so that each one's position shows.
std::vector<vxTest::StlTriangle> threeRecords()
{
    std::vector<vxTest::StlTriangle> t;
    for (int i = 0; i < 3; ++i) {
        const float b = 100.0f * static_cast<float>(i + 1);
        t.push_back({{0, 0, b},
                     {b + 1, b + 2, b + 3},
                     {b + 4, b + 5, b + 6},
                     {b + 7, b + 8, b + 9},
                     static_cast<std::uint16_t>(0xBEEF)});
    }
    return t;
}

} // namespace

TEST(StlReader, ReadsRecordsAtTheirPositionsWithOffsetsAndTheFacetNormalAndNoMore)
{
    std::string file = vxTest::stlFile(threeRecords(), 2);
    std::vector<vxVertice> out;
    EXPECT_EQ(vxAppendSTLTriangles(file, 0, 0, 0, out), 2u); // the count, not the data, decides
    ASSERT_EQ(out.size(), 2u);
    // Record 2 starts at byte 134; the normal goes unchanged (not
    // normalised) into all three normals.
    EXPECT_EQ(out[1].v1(), vxVector(20.1f, 20.2f, 20.3f, 0));
    EXPECT_EQ(out[1].v3(), vxVector(20.7f, 20.8f, 20.9f, 0));
    for (const vxVector* n : {&out[0].n1(), &out[0].n2(), &out[0].n3()})
        EXPECT_EQ(*n, vxVector(0, 0, 100, 0));

    // The offset is added before the division by ten; nothing is emptied first.
    vxAppendSTLTriangles(vxTest::stlFile({{{0, 0, 2}, {10, 20, 30}, {0, 0, 0}, {0, 0, 0}}}), -10, 0, 5, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].v1(), vxVector(0.0f, 2.0f, 3.5f, 0));
    EXPECT_EQ(out[2].v2(), vxVector(-1.0f, 0.0f, 0.5f, 0));

    // It never reads past the data, at any length of a file.
    const std::string full = vxTest::stlFile(threeRecords());
    std::vector<vxVertice> all;
    vxAppendSTLTriangles(full, 1, 2, 3, all);
    ASSERT_EQ(all.size(), 3u);
    for (std::size_t len = 0; len <= full.size(); ++len) {
        // An exact-size heap copy, so that a read past the end shows under ASan.
        std::vector<char> bytes(full.begin(), full.begin() + static_cast<long>(len));
        std::vector<vxVertice> read;
        const std::size_t n = vxAppendSTLTriangles(std::string_view(bytes.data(), len), 1, 2, 3, read);
        const std::size_t whole = len < 84 ? 0 : (len - 84) / 50;
        ASSERT_EQ(n, whole) << "length " << len;
        ASSERT_EQ(read.size(), whole);
        for (std::size_t i = 0; i < whole; ++i)
            EXPECT_EQ(read[i], all[i]) << "length " << len;
    }
    // A huge declared count reads only what is there; a count of 0 reads nothing.
    out.clear();
    EXPECT_EQ(vxAppendSTLTriangles(vxTest::stlFile(threeRecords(), 0xFFFFFFFFll), 0, 0, 0, out), 3u);
    EXPECT_EQ(vxAppendSTLTriangles(vxTest::stlFile(threeRecords(), 0), 0, 0, 0, out), 0u);
}

TEST(SceneObject, ASharedMeshIsCopiedBeforeAnObjectChangesItAndTheMatrixTurnsXToUpCrossDirection)
{
    vxBaseSceneObject a, b;
    a.setVerticesList({vxVertice(), vxVertice()});
    b.setSharedMesh(a.sharedMesh());
    EXPECT_EQ(a.sharedMesh(), b.sharedMesh());
    // Reading through the const accessor shares on.
    EXPECT_EQ(std::as_const(a).verticesList().size(), 2u);
    EXPECT_EQ(a.sharedMesh(), b.sharedMesh());

    b.verticesList().pop_back();
    EXPECT_NE(a.sharedMesh(), b.sharedMesh());
    EXPECT_EQ(a.verticesList().size(), 2u);
    EXPECT_EQ(b.verticesList().size(), 1u);

    // A mesh held by one object only is changed in place.
    const vxSharedMesh* before = b.sharedMesh().get();
    b.verticesList().push_back(vxVertice());
    EXPECT_EQ(b.sharedMesh().get(), before);

    // The matrix turns X to up x direction and keeps the homogeneous parts;
    // vectors are used as given: neither normalised nor made perpendicular;
    // the w of the inputs never reaches the matrix.
    vxBaseSceneObject o;
    o.up().setVector3f(0, 2, 0);
    o.up().setW(7);
    o.direction().setVector3f(0, 1, 3);
    o.position().setVector3f(5, 0, 0);
    o.rebuildMatrix();
    EXPECT_EQ(o.localMatrix().v1(), vxVector(6, 0, 0, 0));
    EXPECT_EQ(o.localMatrix().v2(), vxVector(0, 2, 0, 0));
    EXPECT_EQ(o.localMatrix().v3(), vxVector(0, 1, 3, 0));
    EXPECT_EQ(o.localMatrix().v4(), vxVector(5, 0, 0, 1));
}

// The last part of the first count whose scene object is the very object.
TEST(SceneObject, ThePartOfASceneObjectIsTheLastOfTheCountThatHasIt)
{
    vxModel m;
    ASSERT_TRUE(m.loadModelFromText(std::string("[COMMON]\r\nCOUNT=3\r\n")));
    auto one = std::make_shared<vxBaseSceneObject>();
    auto two = std::make_shared<vxBaseSceneObject>();
    auto& parts = m.partList();
    parts[0]->setBaseSceneObject(one);
    parts[1]->setBaseSceneObject(one);
    parts[2]->setBaseSceneObject(two);
    EXPECT_EQ(m.selectPartFromSceneObject(one.get()), parts[1]);
    EXPECT_EQ(m.selectPartFromSceneObject(two.get()), parts[2]);
    m.setCount(2);
    EXPECT_EQ(m.selectPartFromSceneObject(two.get()), nullptr);
    EXPECT_EQ(m.selectPartFromSceneObject(nullptr), nullptr);
    vxBaseSceneObject stranger;
    EXPECT_EQ(m.selectPartFromSceneObject(&stranger), nullptr);
}
