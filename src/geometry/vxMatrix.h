#pragma once

#include "vxVector.h"

// 4x4 matrix of four column vectors. Read v1.x, v1.y, ..., v4.w, the sixteen
// floats are an OpenGL column-major matrix: v1..v3 are the images of the
// axes and v4 holds the translation.
class vxMatrix {
  public:
    vxMatrix() { initNewMatrix(); }
    void initNewMatrix();

    vxVector& v1() { return m_v1; }
    vxVector& v2() { return m_v2; }
    vxVector& v3() { return m_v3; }
    vxVector& v4() { return m_v4; }
    const vxVector& v1() const { return m_v1; }
    const vxVector& v2() const { return m_v2; }
    const vxVector& v3() const { return m_v3; }
    const vxVector& v4() const { return m_v4; }
    void setV1(const vxVector& v) { m_v1 = v; }
    void setV2(const vxVector& v) { m_v2 = v; }
    void setV3(const vxVector& v) { m_v3 = v; }
    void setV4(const vxVector& v) { m_v4 = v; }

    void createHomogeneousMatrix();
    // An axis of zero length or with a component that is not finite gives
    // the identity; any other axis is normalised, however long or short.
    void createRotationMatrix(const vxVector& axis, float angle);

    // The sixteen floats in OpenGL order.
    void toArray(float out[16]) const;

    bool operator==(const vxMatrix& o) const = default;

  private:
    vxVector m_v1, m_v2, m_v3, m_v4;
};
