// Tube surfaces: round, closed, along a smooth path through the nodes, and
// nothing for tubes that cannot be drawn.
#include "vxModel.h"
#include "vxTubePath.h"
#include "vxTubeSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <tuple>

namespace {

vxTube tubeThrough(const std::vector<std::array<float, 3>>& nodes, float radius = 1.0f)
{
    vxTube t;
    t.setRadius(radius);
    t.setCount(static_cast<std::int32_t>(nodes.size()));
    for (std::size_t i = 0; i < nodes.size(); ++i)
        t.setTubeNode(static_cast<std::int32_t>(i), nodes[i][0], nodes[i][1], nodes[i][2]);
    return t;
}

double dist(const vxVector& a, const vxVector& b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y(), a.z() - b.z());
}

// Every edge of the surface belongs to exactly two triangles, once in each
// direction: the surface is closed and its faces all turn the same way.
bool closedAndOriented(const std::vector<vxVertice>& triangles)
{
    using Corner = std::tuple<float, float, float>;
    std::map<std::pair<Corner, Corner>, int> edges;
    auto c = [](const vxVector& v) { return Corner{v.x(), v.y(), v.z()}; };
    for (const vxVertice& t : triangles) {
        const Corner k[3] = {c(t.v1()), c(t.v2()), c(t.v3())};
        for (int i = 0; i < 3; ++i)
            ++edges[{k[i], k[(i + 1) % 3]}];
    }
    for (const auto& [edge, n] : edges)
        if (n != 1 || edges.count({edge.second, edge.first}) == 0)
            return false;
    return true;
}

} // namespace

TEST(TubeSurface, AStraightTubeIsARoundClosedCylinderOfItsRadiusBetweenItsEnds)
{
    const vxTube tube = tubeThrough({{0, 0, 0}, {10, 0, 0}}, 0.5f);
    const std::vector<vxVertice> surface = vxTubeSurface(tube);
    ASSERT_FALSE(surface.empty());
    EXPECT_TRUE(closedAndOriented(surface));
    float lowX = INFINITY, highX = -INFINITY;
    for (const vxVertice& t : surface) {
        // Faces turn outwards: the triangle's own normal agrees with its
        // corners' normals, which have unit length.
        const vxVector* v[3] = {&t.v1(), &t.v2(), &t.v3()};
        const vxVector* n[3] = {&t.n1(), &t.n2(), &t.n3()};
        vxVector e1, e2, face;
        e1.vectorSubtract3f(*v[1], *v[0]);
        e2.vectorSubtract3f(*v[2], *v[0]);
        face.vectorCrossProduct3f(e1, e2);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(n[k]->vectorLength3f(), 1.0f, 1e-5f);
            EXPECT_GT(face.vectorDotProduct3f(face, *n[k]), 0.0f);
            lowX = std::min(lowX, v[k]->x());
            highX = std::max(highX, v[k]->x());
            const double fromAxis = std::hypot(v[k]->y(), v[k]->z());
            if (std::abs(n[k]->x()) < 1e-6f) { // the side: on the radius, normal out from the axis
                EXPECT_NEAR(fromAxis, 0.5, 1e-5);
                EXPECT_NEAR(n[k]->y() * 0.5f, v[k]->y(), 1e-5f);
                EXPECT_NEAR(n[k]->z() * 0.5f, v[k]->z(), 1e-5f);
            } else { // an end disc
                EXPECT_NEAR(std::abs(n[k]->x()), 1.0f, 1e-6f);
                EXPECT_LE(fromAxis, 0.5 + 1e-5);
            }
        }
    }
    EXPECT_FLOAT_EQ(lowX, 0.0f);
    EXPECT_FLOAT_EQ(highX, 10.0f);
}

TEST(TubeSurface, ABentTubeRunsSmoothlyThroughItsNodesWithoutTwisting)
{
    const std::vector<std::array<float, 3>> nodes = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {10, 10, 10}};
    const vxTube tube = tubeThrough(nodes, 0.25f);
    const std::vector<vxVertice> surface = vxTubeSurface(tube);
    ASSERT_FALSE(surface.empty());
    EXPECT_TRUE(closedAndOriented(surface));
    // Each node is the centre of a ring of corners at the radius.
    for (const auto& n : nodes) {
        const vxVector node(n[0], n[1], n[2]);
        int onRing = 0;
        for (const vxVertice& t : surface)
            for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()})
                onRing += std::abs(dist(*v, node) - 0.25) < 1e-4;
        EXPECT_GE(onRing, 12) << n[0] << ", " << n[1] << ", " << n[2];
    }
    // Rings between the nodes make the bends round: more rings than nodes,
    // and the path cuts the sharp corners of the node polygon (no corner
    // reaches the outside of the corner at (10, 0, 0)).
    EXPECT_GT(surface.size(), 2u * 12u * (nodes.size() - 1) + 2u * 12u);
    for (const vxVertice& t : surface)
        EXPECT_FALSE(t.v1().x() > 10.25f + 1e-4f && t.v1().y() < -0.25f - 1e-4f);
    // No twist: the corners of one ring are joined to the same corners of
    // the next, so every side edge is shorter than a step between nodes.
    for (const vxVertice& t : surface)
        for (const auto& [a, b] : {std::pair(&t.v1(), &t.v2()), std::pair(&t.v2(), &t.v3())})
            EXPECT_LT(dist(*a, *b), 10.0 + 0.5);
}

TEST(TubeSurface, TubesThatCannotBeDrawnHaveNoSurfaceAndTheirFaultIsNamed)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    vxTube one = tubeThrough({{0, 0, 0}});
    vxTube none = tubeThrough({});
    vxTube notANumber = tubeThrough({{0, 0, 0}, {1, nan, 0}, {2, 0, 0}});
    vxTube infinite = tubeThrough({{0, 0, 0}, {INFINITY, 0, 0}});
    vxTube thin = tubeThrough({{0, 0, 0}, {1, 0, 0}}, 0.0f);
    vxTube nanRadius = tubeThrough({{0, 0, 0}, {1, 0, 0}}, nan);
    vxTube samePlace = tubeThrough({{1, 1, 1}, {1, 1, 1}});
    const struct {
        const vxTube* tube;
        vxTubeFault fault;
    } cases[] = {{&one, vxTubeFault::kTooFewNodes},
                 {&none, vxTubeFault::kTooFewNodes},
                 {&notANumber, vxTubeFault::kNodeNotFinite},
                 {&infinite, vxTubeFault::kNodeNotFinite},
                 {&thin, vxTubeFault::kRadiusNotUsable},
                 {&nanRadius, vxTubeFault::kRadiusNotUsable},
                 {&samePlace, vxTubeFault::kNone}};
    for (const auto& c : cases) {
        EXPECT_EQ(vxTubeFaultOf(*c.tube), c.fault);
        EXPECT_TRUE(vxTubeSurface(*c.tube).empty());
    }
    // A node beyond COUNT is not on the path; a COUNT beyond the nodes a
    // tube holds uses them all.
    vxTube beyond = tubeThrough({{0, 0, 0}, {1, 0, 0}});
    beyond.setTubeNode(2, nan, 0, 0);
    EXPECT_EQ(vxTubeFaultOf(beyond), vxTubeFault::kNone);
    EXPECT_EQ(vxTubeNodes(beyond).size(), 2u);
    beyond.setCount(1000);
    EXPECT_EQ(vxTubeFaultOf(beyond), vxTubeFault::kNodeNotFinite);
    for (int k = 0; k < vxTube::kNodes; ++k)
        beyond.setTubeNode(k, static_cast<float>(k), 0, 0);
    EXPECT_EQ(vxTubeNodes(beyond).size(), static_cast<std::size_t>(vxTube::kNodes));
}

TEST(TubeSurface, ManyLongTubesAreMadeCoarserToStayWithinTheBudget)
{
    std::vector<vxTube> tubes(20000);
    std::vector<const vxTube*> pointers;
    for (std::size_t i = 0; i < tubes.size(); ++i) {
        tubes[i].setRadius(0.1f);
        tubes[i].setCount(vxTube::kNodes);
        for (int k = 0; k < vxTube::kNodes; ++k) // a zigzag: every node turns
            tubes[i].setTubeNode(k, static_cast<float>(k), static_cast<float>(k % 2), static_cast<float>(i));
        pointers.push_back(&tubes[i]);
    }
    const vxTubeDetail fine = vxTubeDetailFor({pointers.begin(), pointers.begin() + 1});
    EXPECT_EQ(fine, vxTubeDetail{});
    const vxTubeDetail coarse = vxTubeDetailFor(pointers);
    EXPECT_GT(coarse.stride, 1u);
    const std::size_t each = vxTubeSurface(tubes[0], coarse).size();
    EXPECT_LE(each * tubes.size(), kTubeTriangleBudget);
    EXPECT_GT(each, 0u);
    EXPECT_GT(vxTubeSurface(tubes[0], fine).size(), each * 4);
}
