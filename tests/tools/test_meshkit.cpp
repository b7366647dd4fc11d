#include "vxMeshKit.h"
#include "vxShapes.h"
#include "vxStlFile.h"
#include "vxTriangulate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

namespace {

constexpr double kPi = std::numbers::pi;

vxRing ring(const std::vector<vxVec2>& pts, int firstId)
{
    vxRing r;
    r.points = pts;
    for (std::size_t i = 0; i < pts.size(); ++i)
        r.ids.push_back(firstId + static_cast<int>(i));
    return r;
}

// Checks a triangulation of outer + holes: every triangle counter-clockwise
// and well shaped, the areas adding up to the polygon's, the count n + 2h - 2
// and every corner used.
void expectTriangulates(const std::vector<vxVec2>& outer, const std::vector<std::vector<vxVec2>>& holes)
{
    std::vector<vxVec2> all = outer;
    vxRing o = ring(outer, 0);
    std::vector<vxRing> hs;
    double area = std::fabs(signedArea2(outer));
    for (const auto& h : holes) {
        hs.push_back(ring(h, static_cast<int>(all.size())));
        all.insert(all.end(), h.begin(), h.end());
        area -= std::fabs(signedArea2(h));
    }
    std::vector<std::array<int, 3>> tris;
    ASSERT_TRUE(triangulatePolygon(o, hs, tris));
    EXPECT_EQ(tris.size(), all.size() + 2 * holes.size() - 2);
    double sum = 0.0;
    std::set<int> used;
    for (const auto& t : tris) {
        const vxVec2 a = all[static_cast<std::size_t>(t[0])], b = all[static_cast<std::size_t>(t[1])],
                     c = all[static_cast<std::size_t>(t[2])];
        const double twice = cross2(b - a, c - a);
        EXPECT_GT(twice, 0.0);
        sum += twice;
        used.insert(t.begin(), t.end());
    }
    EXPECT_NEAR(sum, area, 1e-9 * std::max(1.0, area));
    EXPECT_EQ(used.size(), all.size());
}

// A closed tetrahedron, outward-oriented.
vxMesh tetrahedron(vxVec3 o = {0, 0, 0})
{
    vxMesh m;
    for (vxVec3 p : {vxVec3{0, 0, 0}, vxVec3{1, 0, 0}, vxVec3{0, 1, 0}, vxVec3{0, 0, 1}})
        m.addVertex(p + o);
    m.addTriangle(0, 2, 1);
    m.addTriangle(0, 1, 3);
    m.addTriangle(0, 3, 2);
    m.addTriangle(1, 2, 3);
    return m;
}

} // namespace

TEST(Triangulate, ConvexConcaveAndCollinearPolygons)
{
    expectTriangulates({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {});
    // A comb with deep notches and collinear corners along its base.
    expectTriangulates({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 3}, {3.5, 3}, {3.5, 1}, {2.5, 1}, {2.5, 3},
                        {1.5, 3}, {1.5, 1}, {0.5, 1}, {0.5, 3}, {0, 3}},
                       {});
    // Given clockwise: the result is still counter-clockwise.
    expectTriangulates({{0, 1}, {1, 1}, {1, 0}, {0, 0}}, {});
}

TEST(Triangulate, HolesInARowAndNextToEachOther)
{
    // A strut: a row of round holes at the same height, bridges landing on
    // earlier holes.
    std::vector<std::vector<vxVec2>> holes;
    for (int i = 0; i < 6; ++i)
        holes.push_back(circlePoints({15.0 * i, 0}, 2.05, 24));
    expectTriangulates(reversed(circlePoints({0, 0}, 5, 8)), {});
    std::vector<vxVec2> outline{{-5, -5}, {80, -5}, {80, 5}, {-5, 5}};
    expectTriangulates(outline, holes);
    // Square holes whose corners share x and y with each other.
    expectTriangulates({{0, 0}, {10, 0}, {10, 10}, {0, 10}},
                       {{{1, 1}, {4, 1}, {4, 4}, {1, 4}}, {{6, 1}, {9, 1}, {9, 4}, {6, 4}},
                        {{1, 6}, {4, 6}, {4, 9}, {1, 9}}, {{6, 6}, {9, 6}, {9, 9}, {6, 9}}});
}

TEST(Triangulate, RejectsBrokenInput)
{
    std::vector<std::array<int, 3>> tris;
    EXPECT_FALSE(triangulatePolygon(ring({{0, 0}, {1, 0}}, 0), {}, tris));
    vxRing bad = ring({{0, 0}, {1, 0}, {1, 1}}, 0);
    bad.ids.pop_back();
    EXPECT_FALSE(triangulatePolygon(bad, {}, tris));
}

TEST(MeshCheck, AcceptsAClosedShellAndFindsEachFault)
{
    const vxMeshReport good = checkMesh(tetrahedron(), true);
    EXPECT_TRUE(good.solid()) << good.summary();
    EXPECT_NEAR(good.volume, 1.0 / 6.0, 1e-12);

    vxMesh open = tetrahedron();
    open.triangles.pop_back();
    EXPECT_EQ(checkMesh(open, false).boundaryEdges, 3u);

    vxMesh flipped = tetrahedron();
    std::swap(flipped.triangles[0][1], flipped.triangles[0][2]);
    EXPECT_EQ(checkMesh(flipped, false).misorientedEdges, 3u);
    EXPECT_FALSE(checkMesh(flipped, false).closedManifold());

    vxMesh inside = tetrahedron();
    for (auto& t : inside.triangles)
        std::swap(t[1], t[2]);
    const vxMeshReport inv = checkMesh(inside, false);
    EXPECT_TRUE(inv.closedManifold());
    EXPECT_LT(inv.volume, 0.0);
    EXPECT_FALSE(inv.solid());

    vxMesh sliver = tetrahedron();
    sliver.vertices[3] = {0.5, 0.5, 1e-6};
    EXPECT_GT(checkMesh(sliver, false).degenerateTriangles, 0u);

    // Two shells touching in one vertex: that vertex is not manifold.
    vxMesh bow = tetrahedron();
    vxMesh other = tetrahedron();
    vxFrame pointMirror;
    pointMirror.ex = {-1, 0, 0};
    pointMirror.ey = {0, -1, 0};
    pointMirror.ez = {0, 0, -1};
    other.transform(pointMirror);
    bow.append(other);
    for (auto& t : bow.triangles)
        for (auto& i : t)
            if (i == 4)
                i = 0;  // both apexes at the origin become one vertex
    EXPECT_EQ(checkMesh(bow, false).nonManifoldVertices, 1u);

    // Two shells crossing each other.
    vxMesh crossing = tetrahedron();
    crossing.append(tetrahedron({0.2, 0.2, 0.2}));
    const vxMeshReport x = checkMesh(crossing, true);
    EXPECT_TRUE(x.closedManifold());
    EXPECT_EQ(x.components, 2u);
    EXPECT_GT(x.selfIntersections, 0u);
    EXPECT_FALSE(x.solid());
}

TEST(MeshCheck, DistanceAndInside)
{
    vxMesh t = tetrahedron();
    EXPECT_NEAR(distanceToSurface(t, {0.1, 0.1, -0.5}), 0.5, 1e-12);
    EXPECT_NEAR(distanceToSurface(t, {0.2, 0.2, 0.0}), 0.0, 1e-12);
    EXPECT_TRUE(insideSolid(t, {0.1, 0.1, 0.1}));
    EXPECT_FALSE(insideSolid(t, {0.5, 0.5, 0.5}));
    EXPECT_FALSE(insideSolid(t, {-0.1, 0.1, 0.1}));
}

TEST(Shapes, LatheIsAClosedSolidOfTheRightVolume)
{
    const int n = 32;
    const double r = 2.0, h = 10.0;
    vxMesh rod = buildLathe({{0, 0}, {r, 0}, {r, h}, {0, h}}, false, n);
    const vxMeshReport rep = checkMesh(rod, true);
    ASSERT_TRUE(rep.solid()) << rep.summary();
    EXPECT_NEAR(rep.volume, 0.5 * n * r * r * std::sin(2 * kPi / n) * h, 1e-9);

    // A tube (closed loop off the axis): a ring of genus one.
    vxMesh tube = buildLathe({{1, 0}, {2, 0}, {2, 3}, {1, 3}}, true, n);
    const vxMeshReport t = checkMesh(tube, true);
    ASSERT_TRUE(t.solid()) << t.summary();
    EXPECT_NEAR(t.volume, 0.5 * n * (4.0 - 1.0) * std::sin(2 * kPi / n) * 3.0, 1e-9);
}

TEST(Shapes, PrismWithPinSocketAndThroughBore)
{
    vxPrism p;
    p.outer = {{-10, -5}, {10, -5}, {10, 5}, {-10, 5}};
    p.holes.push_back(circlePoints({6, 0}, 2, 24));
    p.z0 = 0;
    p.z1 = 8;
    vxFeature pin;
    pin.face = vxPrism::kTop;
    pin.at = {-5, 0};
    pin.profile = {{1.5, 0}, {1.5, 4}, {0, 5}};
    vxFeature socket;
    socket.face = vxPrism::kBottom;
    socket.at = {-5, 0};
    socket.profile = {{1.5, 0}, {1.5, -3}, {0, -3}};
    vxFeature bore;  // across the part, from the front side face to the back one
    bore.face = vxPrism::side(0);
    bore.at = {10, 4};
    bore.profile = {{1.0, 0}, {1.0, -10}};
    bore.endFace = vxPrism::side(2);
    p.features = {pin, socket, bore};
    vxMesh m;
    std::string error;
    ASSERT_TRUE(buildPrism(p, m, &error)) << error;
    const vxMeshReport r = checkMesh(m, true);
    EXPECT_TRUE(r.solid()) << r.summary();
    EXPECT_TRUE(insideSolid(m, {-5, 0, 10}));   // in the pin
    EXPECT_FALSE(insideSolid(m, {-5, 0, 1}));   // in the socket
    EXPECT_FALSE(insideSolid(m, {0, 0, 4}));    // in the bore
    EXPECT_FALSE(insideSolid(m, {6, 0, 4}));    // in the hole

    // A feature that does not reach its end face is refused.
    p.features[2].profile = {{1.0, 0}, {1.0, -9}};
    vxMesh bad;
    EXPECT_FALSE(buildPrism(p, bad, &error));
    // So is a clockwise outline.
    p.features.clear();
    p.outer = reversed(p.outer);
    EXPECT_FALSE(buildPrism(p, bad, &error));
}

TEST(Shapes, MirroringFrameKeepsTheMeshOutward)
{
    vxMesh m = tetrahedron();
    vxFrame mirror;
    mirror.ex = {-1, 0, 0};
    m.transform(mirror);
    EXPECT_TRUE(checkMesh(m, false).solid());
}

TEST(Stl, BinaryLayout)
{
    vxMesh m = tetrahedron();
    const std::string bytes = stlBytes(m, "test header", {10, 20, 30});
    ASSERT_EQ(bytes.size(), 84u + 4 * 50u);
    const vxTest::StlFile f = vxTest::parseStl(bytes);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.header, "test header" + std::string(69, ' '));
    EXPECT_EQ(f.count, 4u);
    EXPECT_EQ(f.corners[0][0], (std::array<float, 3>{10, 20, 30}));
    EXPECT_EQ(f.corners[3][2], (std::array<float, 3>{10, 20, 31}));
    const float s = static_cast<float>(1 / std::sqrt(3.0));
    EXPECT_FLOAT_EQ(f.normals[3][0], s);
    EXPECT_FLOAT_EQ(f.normals[0][2], -1.0f);
    for (auto a : f.attributes)
        EXPECT_EQ(a, 0);
    EXPECT_EQ(stlBytes(m, std::string(100, 'x'), {}).substr(0, 81), std::string(80, 'x') + '\x04');
}
