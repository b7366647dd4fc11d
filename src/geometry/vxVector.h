#pragma once

// Four-component single-precision vector used for points, directions and
// colours. Operations write their result into the receiver, in place.
class vxMatrix;

class vxVector {
  public:
    vxVector() { initNewVector(); }
    vxVector(float x, float y, float z, float w = 0.0f) : m_x(x), m_y(y), m_z(z), m_w(w) {}

    void initNewVector() { m_x = m_y = m_z = m_w = 0.0f; }

    float& x() { return m_x; }
    float& y() { return m_y; }
    float& z() { return m_z; }
    float& w() { return m_w; }
    float x() const { return m_x; }
    float y() const { return m_y; }
    float z() const { return m_z; }
    float w() const { return m_w; }
    void setX(float f) { m_x = f; }
    void setY(float f) { m_y = f; }
    void setZ(float f) { m_z = f; }
    void setW(float f) { m_w = f; }

    void setVector3f(float x, float y, float z);
    void setVector3f(const vxVector& a);
    void vectorSubtract3f(const vxVector& a, const vxVector& b);
    void vectorAdd3f(const vxVector& a, const vxVector& b);
    float vectorLength3f() const;
    float vectorNorm() const;
    void scaleVector3f(float s);
    // A zero-length vector, or one with a component that is not finite, is
    // left unchanged. Lengths beyond the float range normalise as well.
    void normalizeVector3f();
    // The receiver must not be a or b (x is written before y and z are read).
    void vectorCrossProduct3f(const vxVector& a, const vxVector& b);
    float vectorDotProduct3f(const vxVector& a, const vxVector& b) const;
    void vectorTransform3f(const vxMatrix& m);
    // Turns the receiver by -angle (radians) about axis in the right-hand sense.
    void rotateVector3f(const vxVector& axis, float angle);
    void makeXVector();
    void makeYVector();
    void makeZVector();
    void vectorCombine(const vxVector& a, const vxVector& b, float s, float t);

    bool operator==(const vxVector& o) const = default;

  private:
    float m_x, m_y, m_z, m_w;
};
