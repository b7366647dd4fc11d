#include "vxTubePath.h"

#include <algorithm>
#include <cmath>

namespace {

std::int32_t pathLength(const vxTube& tube)
{
    return std::clamp(tube.count(), 0, vxTube::kNodes);
}

} // namespace

vxTubeFault vxTubeFaultOf(const vxTube& tube)
{
    const std::int32_t n = pathLength(tube);
    if (n < 2)
        return vxTubeFault::kTooFewNodes;
    vxVector v;
    for (std::int32_t i = 0; i < n; ++i) {
        tube.getTubeNode(i, v);
        if (!std::isfinite(v.x()) || !std::isfinite(v.y()) || !std::isfinite(v.z()))
            return vxTubeFault::kNodeNotFinite;
    }
    if (!std::isfinite(tube.radius()) || !(tube.radius() > 0.0f))
        return vxTubeFault::kRadiusNotUsable;
    return vxTubeFault::kNone;
}

std::vector<std::array<double, 3>> vxTubeNodes(const vxTube& tube)
{
    std::vector<std::array<double, 3>> nodes;
    if (vxTubeFaultOf(tube) != vxTubeFault::kNone)
        return nodes;
    const std::int32_t n = pathLength(tube);
    nodes.reserve(static_cast<std::size_t>(n));
    vxVector v;
    for (std::int32_t i = 0; i < n; ++i) {
        tube.getTubeNode(i, v);
        const std::array<double, 3> p{v.x(), v.y(), v.z()};
        if (nodes.empty() || nodes.back() != p)
            nodes.push_back(p);
    }
    return nodes;
}
