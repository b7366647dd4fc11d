#include "vxMatrix.h"

#include <cmath>

void vxMatrix::initNewMatrix()
{
    m_v1 = m_v2 = m_v3 = m_v4 = vxVector();
}

void vxMatrix::createHomogeneousMatrix()
{
    m_v1.setVector3f(1, 0, 0);
    m_v1.setW(0);
    m_v2.setVector3f(0, 1, 0);
    m_v2.setW(0);
    m_v3.setVector3f(0, 0, 1);
    m_v3.setW(0);
    m_v4.setVector3f(0, 0, 0);
    m_v4.setW(1);
}

void vxMatrix::createRotationMatrix(const vxVector& axis, float angle)
{
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float t = 1.0f - c;

    vxVector n;
    n.setVector3f(axis);
    n.normalizeVector3f();
    const float x = n.x(), y = n.y(), z = n.z();
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || (x == 0 && y == 0 && z == 0)) {
        // No axis to turn about (zero or not finite): leave everything where
        // it is.
        createHomogeneousMatrix();
        return;
    }

    m_v1 = vxVector(t * x * x + c, t * x * y - s * z, t * x * z + s * y, 0);
    m_v2 = vxVector(t * x * y + s * z, t * y * y + c, t * y * z - s * x, 0);
    m_v3 = vxVector(t * x * z - s * y, t * y * z + s * x, t * z * z + c, 0);
    m_v4 = vxVector(0, 0, 0, 1);
}

void vxMatrix::toArray(float out[16]) const
{
    const vxVector* cols[4] = {&m_v1, &m_v2, &m_v3, &m_v4};
    for (int i = 0; i < 4; ++i) {
        out[4 * i + 0] = cols[i]->x();
        out[4 * i + 1] = cols[i]->y();
        out[4 * i + 2] = cols[i]->z();
        out[4 * i + 3] = cols[i]->w();
    }
}
