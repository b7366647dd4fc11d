#include "vxVector.h"

#include "vxMatrix.h"

#include <algorithm>
#include <cmath>
#include <limits>

void vxVector::setVector3f(float x, float y, float z)
{
    m_x = x;
    m_y = y;
    m_z = z;
}

void vxVector::setVector3f(const vxVector& a)
{
    m_x = a.m_x;
    m_y = a.m_y;
    m_z = a.m_z;
}

void vxVector::vectorSubtract3f(const vxVector& a, const vxVector& b)
{
    m_x = a.m_x - b.m_x;
    m_y = a.m_y - b.m_y;
    m_z = a.m_z - b.m_z;
}

void vxVector::vectorAdd3f(const vxVector& a, const vxVector& b)
{
    m_x = a.m_x + b.m_x;
    m_y = a.m_y + b.m_y;
    m_z = a.m_z + b.m_z;
}

float vxVector::vectorLength3f() const
{
    return std::sqrt(m_x * m_x + m_y * m_y + m_z * m_z);
}

float vxVector::vectorNorm() const
{
    return m_x * m_x + m_y * m_y + m_z * m_z;
}

void vxVector::scaleVector3f(float s)
{
    m_x = s * m_x;
    m_y = s * m_y;
    m_z = s * m_z;
}

void vxVector::normalizeVector3f()
{
    const float norm = vectorNorm();
    if (std::isfinite(norm) && norm >= std::numeric_limits<float>::min()) {
        scaleVector3f(1.0f / std::sqrt(norm));
        return;
    }
    // The squared length overflows or underflows a float (or the vector is
    // zero or not finite): divide by the largest component first.
    const float largest = std::max({std::fabs(m_x), std::fabs(m_y), std::fabs(m_z)});
    if (largest == 0.0f || !std::isfinite(largest) || !std::isfinite(m_x + m_y + m_z))
        return; // nothing to normalise: left as it is
    m_x /= largest;
    m_y /= largest;
    m_z /= largest;
    scaleVector3f(1.0f / vectorLength3f());
}

void vxVector::vectorCrossProduct3f(const vxVector& a, const vxVector& b)
{
    m_x = a.m_y * b.m_z - a.m_z * b.m_y;
    m_y = a.m_z * b.m_x - a.m_x * b.m_z;
    m_z = a.m_x * b.m_y - a.m_y * b.m_x;
    m_w = 0.0f;
}

float vxVector::vectorDotProduct3f(const vxVector& a, const vxVector& b) const
{
    return a.m_x * b.m_x + a.m_y * b.m_y + a.m_z * b.m_z;
}

void vxVector::vectorTransform3f(const vxMatrix& m)
{
    const float x = m_x, y = m_y, z = m_z, w = m_w;
    m_x = x * m.v1().x() + y * m.v2().x() + z * m.v3().x() + w * m.v4().x();
    m_y = x * m.v1().y() + y * m.v2().y() + z * m.v3().y() + w * m.v4().y();
    m_z = x * m.v1().z() + y * m.v2().z() + z * m.v3().z() + w * m.v4().z();
    m_w = x * m.v1().w() + y * m.v2().w() + z * m.v3().w() + w * m.v4().w();
}

void vxVector::rotateVector3f(const vxVector& axis, float angle)
{
    vxMatrix m;
    m.createRotationMatrix(axis, angle);
    vectorTransform3f(m);
}

void vxVector::makeXVector()
{
    m_x = 1.0f;
    m_y = m_z = m_w = 0.0f;
}

void vxVector::makeYVector()
{
    m_y = 1.0f;
    m_x = m_z = m_w = 0.0f;
}

void vxVector::makeZVector()
{
    m_z = 1.0f;
    m_x = m_y = m_w = 0.0f;
}

void vxVector::vectorCombine(const vxVector& a, const vxVector& b, float s, float t)
{
    m_x = s * a.m_x + t * b.m_x;
    m_y = s * a.m_y + t * b.m_y;
    m_z = s * a.m_z + t * b.m_z;
}
