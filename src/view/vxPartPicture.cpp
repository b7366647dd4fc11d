#include "vxPartPicture.h"

#include "vxOpenGLView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

// From the front (the default camera looks along +z), the right and above:
// the direction from the part to the eye.
vxVector eyeLine()
{
    vxVector eye(-1.0f, 0.9f, -1.3f);
    eye.normalizeVector3f();
    return eye;
}

// The part's box, when it has one.
const vxBounds* meshBox(const vxBaseSceneObject& object)
{
    if (!object.sharedMesh() || object.sharedMesh()->triangles.empty())
        return nullptr;
    const vxBounds& box = object.sharedMesh()->bounds();
    return box.empty ? nullptr : &box;
}

// Centres the object at the origin and puts the camera on the eye line at
// distance, looking at the origin.
void centre(vxOpenGLView& view, vxBaseSceneObject& object, const vxBounds& box, double distance)
{
    const vxVector c = box.centre();
    object.position().setVector3f(-c.x(), -c.y(), -c.z());
    object.rebuildMatrix();
    vxVector eye = eyeLine();
    eye.scaleVector3f(static_cast<float>(distance));
    view.cameraPosition().setVector3f(eye);
    view.cameraTarget().setVector3f(0.0f, 0.0f, 0.0f);
}

double tanHalfFieldOfView()
{
    return std::tan(vxLens::kFieldOfView / 2.0 * std::numbers::pi / 180.0);
}

} // namespace

bool vxFramePartPicture(vxOpenGLView& view, vxBaseSceneObject& object)
{
    const vxBounds* box = meshBox(object);
    if (!box)
        return false;
    const vxVector c = box->centre();
    vxVector half(box->max.x() - c.x(), box->max.y() - c.y(), box->max.z() - c.z());
    const float radius = std::max(half.vectorLength3f(), 0.01f);
    const double halfAngle = vxLens::kFieldOfView / 2.0 * std::numbers::pi / 180.0;
    centre(view, object, *box, static_cast<float>(radius / std::sin(halfAngle) * 1.06));
    return true;
}

bool vxMeasurePartPicture(const vxBaseSceneObject& object, vxPartPictureExtent& extent)
{
    const vxBounds* box = meshBox(object);
    if (!box)
        return false;
    // The picture's right and up for a camera on the eye line, the world's
    // y up.
    vxVector forward = eyeLine(), right, up;
    forward.scaleVector3f(-1.0f);
    right.vectorCrossProduct3f(forward, vxVector(0.0f, 1.0f, 0.0f));
    right.normalizeVector3f();
    up.vectorCrossProduct3f(right, forward);
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (int i = 0; i < 8; ++i) {
        const vxVector corner((i & 1) ? box->max.x() : box->min.x(), (i & 2) ? box->max.y() : box->min.y(),
                              (i & 4) ? box->max.z() : box->min.z());
        const double x = right.vectorDotProduct3f(right, corner), y = up.vectorDotProduct3f(up, corner);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    std::array<double, 3> edges{box->max.x() - box->min.x(), box->max.y() - box->min.y(),
                                box->max.z() - box->min.z()};
    std::sort(edges.begin(), edges.end());
    extent = {maxX - minX, maxY - minY, edges[2], edges[1]};
    return true;
}

bool vxFramePartPictureAtScale(vxOpenGLView& view, vxBaseSceneObject& object, double halfHeight)
{
    const vxBounds* box = meshBox(object);
    if (!box || !(halfHeight > 0.0) || !std::isfinite(halfHeight))
        return false;
    // Without perspective the picture shows the target's plane as the
    // perspective would at the eye's distance: that distance sets the scale
    // (depth is clipped as far in front of the eye as behind it).
    view.setOrthographic(true);
    centre(view, object, *box, halfHeight / tanHalfFieldOfView());
    return true;
}

vxVector vxPartPictureColor(const vxVector& color)
{
    const float lift = 0.3f;
    vxVector c(color.x(), color.y(), color.z());
    if (std::max({c.x(), c.y(), c.z()}) < lift)
        c.setVector3f(std::max(c.x(), lift), std::max(c.y(), lift), std::max(c.z(), lift));
    return c;
}
