// Trees, figures, signs, the dome, the star and the fence.

#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

// --- Decoration ----------------------------------------------------------------

namespace {

// A turned figure standing up on a ball pin; outside is its profile from
// the neck's foot upwards, ending on the axis.
vxPartBuild standingLathe(const std::vector<vxVec2>& outside, int segments)
{
    vxPartBuild b;
    std::vector<vxVec2> prof = pinDownProfile(0.0);
    append(prof, outside);
    b.mesh = buildLathe(prof, false, segments);
    b.connections.push_back(
        connection(Kind::Pin, "pin underneath", {0, 0, 0}, -kZ, kY, 2 * K::kPinBallRadius, K::kPinLength));
    place(b, zToUp());
    return b;
}

} // namespace

vxPartBuild firTree()
{
    return standingLathe(
        {{5, 0}, {5, 2}, {2, 2}, {2, 6}, {11, 6}, {4, 14}, {9, 14}, {3, 21}, {6.5, 21}, {0, 30}}, 48);
}

vxPartBuild figure()
{
    std::vector<vxVec2> o{{5, 0}, {5, 2}, {4, 2}, {3.6, 12}, {4, 13}, {3.6, 14.5}, {1.6, 15}};
    const double hr = 3.3, hc = 19.5, join = std::asin(1.6 / hr);
    for (int i = 0; i <= 12; ++i) {
        const double a = join + (kPi - join) * i / 12;
        o.push_back({i == 12 ? 0.0 : hr * std::sin(a), hc - hr * std::cos(a)});
    }
    return standingLathe(o, 32);
}

// A sign 30 x 22.5 x 4 standing on a ball pin under the middle of its
// bottom edge.
vxPartBuild signPlate()
{
    vxPartBuild b;
    const double w = 2 * K::kGrid, h = 22.5, t = 4.0;
    const BoxProfile box = boxProfile(w, h, 1.5, {}, {0, h / 2});
    vxPrism p;
    p.outer = box.pts;
    p.z0 = -t / 2;
    p.z1 = t / 2;
    p.features.push_back(pinOn(vxPrism::side(box.sideEdge[0]), {-box.sideStart[0].x, 0}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(connection(Kind::Pin, "pin under the bottom edge", {0, 0, 0}, -kY, kZ,
                                       2 * K::kPinBallRadius, K::kPinLength));
    return b;
}

// A half sphere of radius 15 with a socket in the middle of its base.
vxPartBuild dome()
{
    vxPartBuild b;
    const double r = 15.0;
    std::vector<vxVec2> prof{
        {0, K::kSocketDepth}, {K::kSocketRadius, K::kSocketDepth}, {K::kSocketRadius, 0}};
    append(prof, arcPoints({0, 0}, r, 0, kPi / 2, 16));
    prof.back() = {0, r};
    b.mesh = buildLathe(prof, false, roundSegments(r));
    b.connections.push_back(connection(Kind::Socket, "socket in the base", {0, 0, 0}, -kZ, kY,
                                       2 * K::kSocketRadius, K::kSocketDepth));
    place(b, zToUp());
    return b;
}

// A five-pointed star 5 thick with a ball pin on its back.
vxPartBuild star()
{
    vxPartBuild b;
    vxPrism p;
    for (int i = 0; i < 10; ++i) {
        const double a = kPi / 2 + kPi * i / 5, r = (i % 2 == 0) ? 15.0 : 6.5;
        p.outer.push_back({r * std::cos(a), r * std::sin(a)});
    }
    p.z0 = 0;
    p.z1 = 5;
    p.features.push_back(pinOn(vxPrism::kBottom, {0, 0}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(
        connection(Kind::Pin, "pin on the back", {0, 0, 0}, -kZ, kY, 2 * K::kPinBallRadius, K::kPinLength));
    return b;
}

// A picket fence 30 long, 4 thick, on two ball pins 15 apart (the origin
// is the left pin's seat).
vxPartBuild fence()
{
    vxPartBuild b;
    vxPrism p;
    p.outer = {{-15, 0}, {15, 0}, {15, 5}, {12.5, 5}};
    const double pickets[4] = {10.5, 3.5, -3.5, -10.5};
    for (int k = 0; k < 4; ++k) {
        const double c = pickets[k];
        if (k > 0)
            p.outer.push_back({c + 2, 15});
        append(p.outer, {{c + 2, 20}, {c, 23}, {c - 2, 20}});
        if (k < 3)
            p.outer.push_back({c - 2, 15});
    }
    append(p.outer, {{-12.5, 5}, {-15, 5}});
    for (int k = 0; k < 3; ++k) {
        const double x0 = pickets[k + 1] + 2, x1 = pickets[k] - 2;
        p.holes.push_back({{x0, 5}, {x1, 5}, {x1, 12}, {x0, 12}});
    }
    p.z0 = -2;
    p.z1 = 2;
    p.features.push_back(pinOn(vxPrism::side(0), {7.5, 0}));
    p.features.push_back(pinOn(vxPrism::side(0), {22.5, 0}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(
        connection(Kind::Pin, "pin, left", {-7.5, 0, 0}, -kY, kZ, 2 * K::kPinBallRadius, K::kPinLength));
    b.connections.push_back(
        connection(Kind::Pin, "pin, right", {7.5, 0, 0}, -kY, kZ, 2 * K::kPinBallRadius, K::kPinLength));
    place(b, translation({7.5, 0, 0}));
    return b;
}

} // namespace vxGen::vxDesign
