#include "vxPartPicture.h"

#include "vxOpenGLView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

bool vxFramePartPicture(vxOpenGLView& view, vxBaseSceneObject& object)
{
    const auto& triangles = std::as_const(object).verticesList();
    float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                   std::numeric_limits<float>::max()};
    float hi[3] = {-lo[0], -lo[1], -lo[2]};
    for (const vxVertice& t : triangles) {
        for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()}) {
            const float c[3] = {v->x(), v->y(), v->z()};
            for (int k = 0; k < 3; ++k) {
                if (!std::isfinite(c[k]))
                    continue;
                lo[k] = std::min(lo[k], c[k]);
                hi[k] = std::max(hi[k], c[k]);
            }
        }
    }
    if (triangles.empty() || lo[0] > hi[0] || lo[1] > hi[1] || lo[2] > hi[2])
        return false;
    const vxVector centre((lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2);
    vxVector half(hi[0] - centre.x(), hi[1] - centre.y(), hi[2] - centre.z());
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
