#include "vxMatrix.h"
#include "vxVector.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

void expectVec(const vxVector& v, float x, float y, float z, float w, float eps = 0.0f)
{
    EXPECT_NEAR(v.x(), x, eps);
    EXPECT_NEAR(v.y(), y, eps);
    EXPECT_NEAR(v.z(), z, eps);
    EXPECT_NEAR(v.w(), w, eps);
}

} // namespace

TEST(Geometry, ThreeComponentOperationsAndTransformsKeepW)
{
    vxVector v(9, 9, 9, 0.5f);
    v.setVector3f(vxVector(1, 2, 3, 7));
    expectVec(v, 1, 2, 3, 0.5f);

    vxVector r(0, 0, 0, 0.25f);
    r.vectorSubtract3f(vxVector(5, 5, 5), vxVector(1, 2, 3));
    expectVec(r, 4, 3, 2, 0.25f);
    r.vectorAdd3f(r, vxVector(1, 1, 1));
    r.scaleVector3f(2);
    expectVec(r, 10, 8, 6, 0.25f);
    r.vectorCombine(vxVector(1, 0, 0), vxVector(0, 1, 0), 1.0f, 2.0f);
    expectVec(r, 1, 2, 0, 0.25f);
    vxVector n(3, 0, 4, 0.5f);
    n.normalizeVector3f();
    expectVec(n, 0.6f, 0, 0.8f, 0.5f, 1e-7f);
    vxVector z(0, 0, 0, 2);
    z.normalizeVector3f();
    expectVec(z, 0, 0, 0, 2);
    // Lengths whose square overflows or underflows a float normalise too.
    for (float scale : {1e20f, 1e-30f, 3e37f, 1e-38f}) {
        vxVector big(3 * scale, 0, -4 * scale, 0.5f);
        big.normalizeVector3f();
        expectVec(big, 0.6f, 0, -0.8f, 0.5f, 1e-6f);
    }

    EXPECT_EQ(vxVector(1, 2, 2).vectorNorm(), 9.0f);
    EXPECT_EQ(vxVector(1, 2, 2).vectorLength3f(), 3.0f);
    EXPECT_EQ(r.vectorDotProduct3f(vxVector(1, 2, 3), vxVector(4, 5, 6)), 32.0f);
    // The cross product is right-handed and clears w.
    vxVector c(7, 7, 7, 1.0f);
    c.vectorCrossProduct3f(vxVector(0, 1, 0), vxVector(1, 0, 0));
    expectVec(c, 0, 0, -1, 0);

    // A transform takes the matrix's columns: v1 is the image of X, and v4
    // is added as often as w says.
    vxMatrix m;
    m.createHomogeneousMatrix();
    float a[16];
    m.toArray(a);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(a[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    // v1 is the image of X, v4 is added as often as w says.
    m.v1() = vxVector(0, 1, 0, 0);
    m.v2() = vxVector(0, 0, 1, 0);
    m.v3() = vxVector(1, 0, 0, 0);
    m.v4() = vxVector(1, 2, 3, 1);
    vxVector q(1, 0, 0, 1);
    q.vectorTransform3f(m);
    expectVec(q, 1, 3, 3, 1);
    vxVector d(1, 0, 0, 0);
    d.vectorTransform3f(m);
    expectVec(d, 0, 1, 0, 0);
}

TEST(Geometry, RotationSenseIsClockwiseSeenFromAxisTip)
{
    const float quarter = static_cast<float>(std::numbers::pi / 2);
    struct Case {
        vxVector axis, from, to;
        float angle;
    };
    const Case cases[] = {
        {vxVector(0, 0, 2), vxVector(1, 0, 0), vxVector(0, -1, 0), quarter}, // the axis need not be a unit
        {vxVector(1, 0, 0), vxVector(0, 1, 0), vxVector(0, 0, -1), quarter},
        {vxVector(0, 1, 0), vxVector(0, 0, 1), vxVector(-1, 0, 0), quarter},
        // A third of a turn about the diagonal moves each axis to the one
        // before it, so every entry of the matrix counts.
        {vxVector(1, 1, 1), vxVector(1, 0, 0), vxVector(0, 0, 1), quarter * 4 / 3},
        {vxVector(1, 1, 1), vxVector(0, 1, 0), vxVector(1, 0, 0), quarter * 4 / 3},
        {vxVector(1, 1, 1), vxVector(0, 0, 1), vxVector(0, 1, 0), quarter * 4 / 3},
        {vxVector(0, 0, 0), vxVector(1, 2, 3, 1), vxVector(1, 2, 3, 1), 1.0f}, // no axis turns nothing
        {vxVector(INFINITY, 0, 0), vxVector(1, 2, 3, 1), vxVector(1, 2, 3, 1), 1.0f},
        // Axes whose squared length leaves the float range turn all the same.
        {vxVector(0, 0, 1e20f), vxVector(1, 0, 0), vxVector(0, -1, 0), quarter},
        {vxVector(1e-30f, 0, 0), vxVector(0, 1, 0), vxVector(0, 0, -1), quarter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "about " << c.axis.x() << "," << c.axis.y() << "," << c.axis.z() << " from "
                     << c.from.x() << "," << c.from.y() << "," << c.from.z());
        vxVector v = c.from;
        v.rotateVector3f(c.axis, c.angle);
        expectVec(v, c.to.x(), c.to.y(), c.to.z(), c.to.w(), 1e-6f);
    }
    // The axis given is not changed.
    vxVector axis(0, 0, 2);
    vxMatrix m;
    m.createRotationMatrix(axis, 1.0f);
    expectVec(axis, 0, 0, 2, 0);
    expectVec(m.v4(), 0, 0, 0, 1);
}
