// What the catalogue's pass over every part cannot show: the mesh checker
// it relies on finds each kind of fault, and the triangulator copes with
// rows of holes that no current part has all of.
#include "vxMeshKit.h"
#include "vxShapes.h"
#include "vxTriangulate.h"

#include <gtest/gtest.h>

#include <set>

using namespace vxGen;

TEST(MeshCheck, FindsEachFaultOfAClosedShell)
{
    auto tetrahedron = [](vxVec3 o) {
        vxMesh m;
        for (vxVec3 p : {vxVec3{0, 0, 0}, vxVec3{1, 0, 0}, vxVec3{0, 1, 0}, vxVec3{0, 0, 1}})
            m.addVertex(p + o);
        for (auto t : {std::array{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}})
            m.addTriangle(t[0], t[1], t[2]);
        return m;
    };
    const vxMesh good = tetrahedron({0, 0, 0});
    EXPECT_TRUE(checkMesh(good, true).solid()) << checkMesh(good, true).summary();
    EXPECT_TRUE(insideSolid(good, {0.1, 0.1, 0.1}));
    EXPECT_FALSE(insideSolid(good, {0.5, 0.5, 0.5}));
    EXPECT_NEAR(distanceToSurface(good, {0.1, 0.1, -0.5}), 0.5, 1e-12);

    vxMesh open = good, flipped = good, inverted = good, sliver = good, crossing = good;
    open.triangles.pop_back();
    std::swap(flipped.triangles[0][1], flipped.triangles[0][2]);
    for (auto& t : inverted.triangles)
        std::swap(t[1], t[2]);
    sliver.vertices[3] = {0.5, 0.5, 1e-6};
    crossing.append(tetrahedron({0.2, 0.2, 0.2}));
    EXPECT_EQ(checkMesh(open, false).boundaryEdges, 3u);
    EXPECT_EQ(checkMesh(flipped, false).misorientedEdges, 3u);
    EXPECT_LT(checkMesh(inverted, false).volume, 0.0);
    EXPECT_GT(checkMesh(sliver, false).degenerateTriangles, 0u);
    EXPECT_GT(checkMesh(crossing, true).selfIntersections, 0u);
    for (const vxMesh* m : {&open, &flipped, &inverted, &sliver, &crossing})
        EXPECT_FALSE(checkMesh(*m, true).solid());
}

TEST(Triangulate, HolesInARowAndCornersInLine)
{
    auto ring = [](const std::vector<vxVec2>& pts, int firstId) {
        vxRing r{pts, {}};
        for (std::size_t i = 0; i < pts.size(); ++i)
            r.ids.push_back(firstId + static_cast<int>(i));
        return r;
    };
    // A strut with a row of round holes at one height, and a square with
    // square holes whose corners share x and y.
    std::vector<std::vector<vxVec2>> strut;
    for (int i = 0; i < 6; ++i)
        strut.push_back(circlePoints({15.0 * i, 0}, 2.05, 24));
    const std::vector<std::vector<vxVec2>> squares{{{1, 1}, {4, 1}, {4, 4}, {1, 4}},
                                                   {{6, 1}, {9, 1}, {9, 4}, {6, 4}},
                                                   {{1, 6}, {4, 6}, {4, 9}, {1, 9}},
                                                   {{6, 6}, {9, 6}, {9, 9}, {6, 9}}};
    for (const auto& [outer, holes] :
         {std::pair{std::vector<vxVec2>{{-5, -5}, {80, -5}, {80, 5}, {-5, 5}}, strut},
          {std::vector<vxVec2>{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, squares}}) {
        // Every triangle counter-clockwise, n + 2h - 2 of them covering the
        // polygon's area and using every corner.
        std::vector<vxVec2> all = outer;
        std::vector<vxRing> rings;
        double area = signedArea2(outer);
        for (const auto& h : holes) {
            rings.push_back(ring(h, static_cast<int>(all.size())));
            all.insert(all.end(), h.begin(), h.end());
            area -= std::fabs(signedArea2(h));
        }
        std::vector<std::array<int, 3>> tris;
        ASSERT_TRUE(triangulatePolygon(ring(outer, 0), rings, tris));
        EXPECT_EQ(tris.size(), all.size() + 2 * holes.size() - 2);
        double sum = 0.0;
        std::set<int> used;
        for (const auto& t : tris) {
            const vxVec2 a = all[std::size_t(t[0])], b = all[std::size_t(t[1])], c = all[std::size_t(t[2])];
            EXPECT_GT(cross2(b - a, c - a), 0.0);
            sum += cross2(b - a, c - a);
            used.insert(t.begin(), t.end());
        }
        EXPECT_NEAR(sum, area, 1e-9 * area);
        EXPECT_EQ(used.size(), all.size());
    }
}
