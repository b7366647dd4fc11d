#pragma once

#include "vxVector.h"

// One triangle: three corners in drawing order and a normal per corner.
class vxVertice {
  public:
    vxVertice() { initNewVertice(); }
    void initNewVertice() { m_v1 = m_v2 = m_v3 = m_n1 = m_n2 = m_n3 = vxVector(); }

    vxVector& v1() { return m_v1; }
    vxVector& v2() { return m_v2; }
    vxVector& v3() { return m_v3; }
    vxVector& n1() { return m_n1; }
    vxVector& n2() { return m_n2; }
    vxVector& n3() { return m_n3; }
    const vxVector& v1() const { return m_v1; }
    const vxVector& v2() const { return m_v2; }
    const vxVector& v3() const { return m_v3; }
    const vxVector& n1() const { return m_n1; }
    const vxVector& n2() const { return m_n2; }
    const vxVector& n3() const { return m_n3; }
    void setV1(const vxVector& v) { m_v1 = v; }
    void setV2(const vxVector& v) { m_v2 = v; }
    void setV3(const vxVector& v) { m_v3 = v; }
    void setN1(const vxVector& v) { m_n1 = v; }
    void setN2(const vxVector& v) { m_n2 = v; }
    void setN3(const vxVector& v) { m_n3 = v; }

    bool operator==(const vxVertice& o) const = default;

  private:
    vxVector m_v1, m_v2, m_v3, m_n1, m_n2, m_n3;
};
