#include "vxMatrix.h"
#include "vxVector.h"
#include "vxVertice.h"

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

TEST(Geometry, NewValuesAreAllZero)
{
    expectVec(vxVector(), 0, 0, 0, 0);
    vxVertice t;
    expectVec(t.v1(), 0, 0, 0, 0);
    expectVec(t.n3(), 0, 0, 0, 0);
    float a[16];
    vxMatrix().toArray(a);
    for (float f : a)
        EXPECT_EQ(f, 0.0f);
}

TEST(Geometry, ThreeComponentOperationsKeepW)
{
    vxVector v(9, 9, 9, 0.5f);
    v.setVector3f(vxVector(1, 2, 3, 7));
    expectVec(v, 1, 2, 3, 0.5f);

    vxVector r(0, 0, 0, 0.25f);
    r.vectorSubtract3f(vxVector(5, 5, 5), vxVector(1, 2, 3));
    expectVec(r, 4, 3, 2, 0.25f);
    r.vectorAdd3f(r, vxVector(1, 1, 1));
    expectVec(r, 5, 4, 3, 0.25f);
    r.scaleVector3f(2);
    expectVec(r, 10, 8, 6, 0.25f);
    r.vectorCombine(vxVector(1, 0, 0), vxVector(0, 1, 0), 1.0f, 2.0f);
    expectVec(r, 1, 2, 0, 0.25f);

    vxVector n(1, 2, 2);
    EXPECT_EQ(n.vectorNorm(), 9.0f);
    EXPECT_EQ(n.vectorLength3f(), 3.0f);
    EXPECT_EQ(r.vectorDotProduct3f(vxVector(1, 2, 3), vxVector(4, 5, 6)), 32.0f);
}

TEST(Geometry, CrossProductClearsWAndMakeAxisVectors)
{
    vxVector r(7, 7, 7, 1.0f);
    r.vectorCrossProduct3f(vxVector(1, 0, 0), vxVector(0, 1, 0));
    expectVec(r, 0, 0, 1, 0);
    r.vectorCrossProduct3f(vxVector(0, 1, 0), vxVector(1, 0, 0));
    expectVec(r, 0, 0, -1, 0);
    vxVector m(3, 3, 3, 3);
    m.makeXVector();
    expectVec(m, 1, 0, 0, 0);
    m.makeYVector();
    expectVec(m, 0, 1, 0, 0);
    m.makeZVector();
    expectVec(m, 0, 0, 1, 0);
}

TEST(Geometry, NormalizeAndZeroLength)
{
    vxVector v(3, 0, 4, 0.5f);
    v.normalizeVector3f();
    expectVec(v, 0.6f, 0, 0.8f, 0.5f, 1e-7f);
    vxVector z(0, 0, 0, 2);
    z.normalizeVector3f();
    expectVec(z, 0, 0, 0, 2);
}

TEST(Geometry, RotationSenseIsClockwiseSeenFromAxisTip)
{
    const float half = static_cast<float>(std::numbers::pi / 2);
    vxVector v(1, 0, 0);
    v.rotateVector3f(vxVector(0, 0, 1), half);
    expectVec(v, 0, -1, 0, 0, 1e-6f);
    vxVector u(1, 0, 0);
    u.rotateVector3f(vxVector(0, 0, 2), half);
    expectVec(u, 0, -1, 0, 0, 1e-6f);
    // The axis given is not changed.
    vxVector axis(0, 0, 2);
    vxMatrix m;
    m.createRotationMatrix(axis, 1.0f);
    expectVec(axis, 0, 0, 2, 0);
    expectVec(m.v4(), 0, 0, 0, 1);
    // A zero axis turns nothing.
    vxVector p(1, 2, 3, 1);
    p.rotateVector3f(vxVector(0, 0, 0), 1.0f);
    expectVec(p, 1, 2, 3, 1);
}

TEST(Geometry, RotationMatrixEntriesMatchFormula)
{
    vxMatrix m;
    const float angle = 0.7f;
    m.createRotationMatrix(vxVector(1, 2, 3), angle);
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float t = 1.0f - c;
    vxVector n(1, 2, 3);
    n.normalizeVector3f();
    const float x = n.x(), y = n.y(), z = n.z();
    EXPECT_EQ(m.v1().x(), t * x * x + c);
    EXPECT_EQ(m.v1().y(), t * x * y - s * z);
    EXPECT_EQ(m.v2().z(), t * y * z - s * x);
    EXPECT_EQ(m.v3().x(), t * x * z - s * y);
    EXPECT_EQ(m.v3().z(), t * z * z + c);
}

TEST(Geometry, TransformUsesColumnsAndW)
{
    vxMatrix m;
    m.createHomogeneousMatrix();
    float a[16];
    m.toArray(a);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(a[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    vxVector v(1.5f, -2, 3, 0.5f);
    v.vectorTransform3f(m);
    expectVec(v, 1.5f, -2, 3, 0.5f);
    m.v4() = vxVector(1, 2, 3, 1);
    vxVector p(0, 0, 0, 1);
    p.vectorTransform3f(m);
    expectVec(p, 1, 2, 3, 1);
    vxVector d(0, 0, 0, 0);
    d.vectorTransform3f(m);
    expectVec(d, 0, 0, 0, 0);
    // v1 is the image of X: a non-trivial basis.
    m.v1() = vxVector(0, 1, 0, 0);
    m.v2() = vxVector(0, 0, 1, 0);
    m.v3() = vxVector(1, 0, 0, 0);
    vxVector q(1, 0, 0, 1);
    q.vectorTransform3f(m);
    expectVec(q, 1, 3, 3, 1);
}
