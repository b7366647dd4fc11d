// Flat struts with holes.

#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

namespace {

constexpr double kStrutThickness = 3.0;

// A flat strut lying on y = 0 (3 mm thick) with holes at the given points
// of its (x, -z) plane; outline counter-clockwise in the same plane.
vxPartBuild strut(const std::vector<vxVec2>& outline, const std::vector<vxVec2>& holes, vxVec2 along)
{
    vxPartBuild b;
    vxPrism p;
    p.outer = outline;
    for (const auto& h : holes)
        p.holes.push_back(circlePoints(h, K::kHoleDiameter / 2, 24));
    p.z0 = 0.0;
    p.z1 = kStrutThickness;
    if (!prism(b, p))
        return b;
    int n = 0;
    for (const auto& h : holes) {
        ++n;
        b.connections.push_back(connection(Kind::Hole, "hole " + std::to_string(n) + ", underside",
                                           {h.x, h.y, 0}, -kZ, {along.x, along.y, 0}, K::kHoleDiameter,
                                           kStrutThickness));
        b.connections.push_back(connection(Kind::Hole, "hole " + std::to_string(n) + ", top side",
                                           {h.x, h.y, kStrutThickness}, kZ, {along.x, along.y, 0},
                                           K::kHoleDiameter, kStrutThickness));
    }
    place(b, zToUp());
    return b;
}

} // namespace

vxPartBuild straightStrut(int holes)
{
    std::vector<vxVec2> h;
    for (int i = 0; i < holes; ++i)
        h.push_back({0, i * K::kGrid});
    return strut(stadium(h.front(), h.back(), kStrutHalfWidth), h, {0, 1});
}

vxPartBuild diagonalStrut(int cells)
{
    std::vector<vxVec2> h;
    for (int i = 0; i <= cells; ++i)
        h.push_back({i * K::kGrid, i * K::kGrid});
    return strut(stadium(h.front(), h.back(), kStrutHalfWidth), h, {std::sqrt(0.5), std::sqrt(0.5)});
}

// An L: holes from (0,0) up to (0, 30) and on to (30, 30); round ends and a
// round outer corner.
vxPartBuild angleStrut()
{
    const double g = K::kGrid, r = kStrutHalfWidth, L = 2 * g;
    std::vector<vxVec2> o{{r, 0}, {r, L - r}};
    append(o, arcPoints({L, L}, r, -kPi / 2, kPi / 2, 16));
    o.pop_back();
    o.push_back({L, L + r});
    append(o, arcPoints({0, L}, r, kPi / 2, kPi, 8));
    o.pop_back();
    o.push_back({-r, L});
    append(o, arcPoints({0, 0}, r, kPi, 2 * kPi, 16));
    o.pop_back();
    return strut(o, {{0, 0}, {0, g}, {0, L}, {g, L}, {L, L}}, {0, 1});
}

} // namespace vxGen::vxDesign
