#include "vxPartPicture.h"

#include "vxOpenGLView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

bool vxFramePartPicture(vxOpenGLView& view, vxBaseSceneObject& object)
{
    if (!object.sharedMesh() || object.sharedMesh()->triangles.empty())
        return false;
    const vxBounds& box = object.sharedMesh()->bounds();
    if (box.empty)
        return false;
    const vxVector centre = box.centre();
    vxVector half(box.max.x() - centre.x(), box.max.y() - centre.y(), box.max.z() - centre.z());
    const float radius = std::max(half.vectorLength3f(), 0.01f);

    object.position().setVector3f(-centre.x(), -centre.y(), -centre.z());
    object.rebuildMatrix();

    // From the front (the default camera looks along +z), the right and above.
    vxVector eye(-1.0f, 0.9f, -1.3f);
    eye.normalizeVector3f();
    const double halfAngle = vxLens::kFieldOfView / 2.0 * std::numbers::pi / 180.0;
    eye.scaleVector3f(static_cast<float>(radius / std::sin(halfAngle) * 1.06));
    view.cameraPosition().setVector3f(eye);
    view.cameraTarget().setVector3f(0.0f, 0.0f, 0.0f);
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
