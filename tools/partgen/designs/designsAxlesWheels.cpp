// Axles, hubs, collars, the crank, wheels, rims, tyres and the pulley.

#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

// --- Axles and hubs ----------------------------------------------------------

vxPartBuild axle(double length)
{
    vxPartBuild b;
    const double r = K::kAxleDiameter / 2, ch = 0.4;
    b.mesh = buildLathe({{0, 0}, {r - ch, 0}, {r, ch}, {r, length - ch}, {r - ch, length}, {0, length}},
                        false, 24);
    b.connections.push_back(connection(Kind::Axle, "axle end", {0, 0, 0}, -kZ, kY, K::kAxleDiameter, 0));
    b.connections.push_back(connection(Kind::Axle, "axle end", {0, 0, length}, kZ, kY, K::kAxleDiameter, 0));
    return b;
}

vxPartBuild hub15()
{
    return boredLathe({{7.1, 0}, {7.5, 0.4}, {7.5, 2.5}, {4.5, 2.5}, {4.5, 9.6}, {4.1, 10}}, 10, 40);
}

vxPartBuild hexHub()
{
    vxPartBuild b;
    vxPrism p;
    p.outer = circlePoints({0, 0}, 5.0 / std::cos(kPi / 6), 6, kPi / 6); // 10 across flats
    p.holes.push_back(circlePoints({0, 0}, K::kHoleDiameter / 2, 24));
    p.z0 = 0;
    p.z1 = 7.5;
    if (prism(b, p))
        addBoreEnds(b, 0, 7.5);
    return b;
}

vxPartBuild collar()
{
    return boredLathe({{4.1, 0}, {4.5, 0.4}, {4.5, 4.6}, {4.1, 5}}, 5, 32);
}

vxPartBuild coupling()
{
    return boredLathe({{3.6, 0}, {4, 0.4}, {4, 9}, {4.6, 9.4}, {4.6, 10.6}, {4, 11}, {4, 19.6}, {3.6, 20}},
                      20, 32);
}

// A crank arm 30 long (bore at the origin) with a round handle standing up
// at its far end.
vxPartBuild crank()
{
    vxPartBuild b;
    const double L = 2 * K::kGrid, t = 5.0;
    vxPrism p;
    p.outer = stadium({0, 0}, {0, L}, kStrutHalfWidth);
    p.holes.push_back(circlePoints({0, 0}, K::kHoleDiameter / 2, 24));
    p.z0 = 0;
    p.z1 = t;
    vxFeature handle;
    handle.face = vxPrism::kTop;
    handle.at = {0, L};
    handle.profile = {{2.5, 0}, {2.5, 11.5}, {2.0, 12}, {0, 12}};
    p.features.push_back(handle);
    if (!prism(b, p))
        return b;
    addBoreEnds(b, 0, t);
    b.connections[0].reference = b.connections[1].reference = {0, 1, 0};
    place(b, zToUp());
    return b;
}

// --- Wheels and tyres ----------------------------------------------------------

namespace {

// Tread: the ring corners on the tread lie lower every fourth segment.
vxRadiusFn tread(double treadRadius, double depth)
{
    return [=](std::size_t, int segment, double r) {
        return (std::fabs(r - treadRadius) < 1e-9 && segment % 4 == 3) ? r - depth : r;
    };
}

} // namespace

vxPartBuild wheel30()
{
    return boredLathe({{5, 0},
                       {5, 3.5},
                       {12, 3.5},
                       {12, 1},
                       {14.5, 1},
                       {15, 1.5},
                       {15, 8.5},
                       {14.5, 9},
                       {12, 9},
                       {12, 6.5},
                       {5, 6.5},
                       {5, 10}},
                      10, 56);
}

namespace {

std::vector<vxVec2> rimOutside(const RimSize& s)
{
    const double seat0 = 2.0, seat1 = s.width - 2.0;
    return {{s.hubR, 0},
            {s.hubR, s.web0},
            {s.webR, s.web0},
            {s.rimIn, 0.5},
            {s.flangeR, 0.5},
            {s.flangeR, seat0},
            {s.seatR, seat0},
            {s.seatR, seat1},
            {s.flangeR, seat1},
            {s.flangeR, s.width - 0.5},
            {s.rimIn, s.width - 0.5},
            {s.webR, s.web1},
            {s.hubR, s.web1},
            {s.hubR, s.hubH}};
}

} // namespace

vxPartBuild rim(const RimSize& s)
{
    vxPartBuild b = boredLathe(rimOutside(s), s.hubH, roundSegments(s.flangeR));
    b.connections.push_back(
        connection(Kind::Rim, "tyre seat", {0, 0, s.width / 2}, kZ, kY, 2 * s.seatR, s.width - 4.0));
    return b;
}

namespace {

// A tyre centred on the origin: inner radius ri, outer radius ro, width w.
std::vector<vxVec2> tyreSection(double ri, double ro, double w, double h0)
{
    const double sh = (ro - ri) * 0.3;
    return {{ri, h0},           {ro - 2 * sh, h0},        {ro - sh, h0 + w * 0.05}, {ro, h0 + w * 0.2},
            {ro, h0 + w * 0.8}, {ro - sh, h0 + w * 0.95}, {ro - 2 * sh, h0 + w},    {ri, h0 + w}};
}

} // namespace

vxPartBuild tyre(double ri, double ro, double w)
{
    vxPartBuild b;
    b.mesh = buildLathe(tyreSection(ri, ro, w, -w / 2), true, 96, tread(ro, 0.8));
    b.connections.push_back(connection(Kind::Tyre, "rim seat", {0, 0, 0}, kZ, kY, 2 * ri, w));
    return b;
}

// Rim and tyre in one: the rim's profile with the tyre's outside in place
// of the seat.
vxPartBuild wheelSet(const RimSize& s, double tyreOuter)
{
    std::vector<vxVec2> o = rimOutside(s);
    const double seat0 = 2.0, seat1 = s.width - 2.0;
    std::vector<vxVec2> out;
    for (const auto& p : o) {
        if (p.x == s.seatR)
            continue; // the seat lies inside the tyre
        if (p.x == s.flangeR && p.y == seat1) {
            const auto t = tyreSection(s.flangeR, tyreOuter, seat1 - seat0, seat0);
            // The tyre's outside between its two inner corners.
            for (std::size_t i = 1; i + 1 < t.size(); ++i)
                out.push_back(t[i]);
        }
        out.push_back(p);
    }
    return boredLathe(out, s.hubH, 96, tread(tyreOuter, 0.8));
}

vxPartBuild pulley()
{
    return boredLathe(
        {{14.6, 0}, {15, 0.4}, {15, 1.5}, {12.5, 3.5}, {15, 5.5}, {15, 6.6}, {14.6, 7}, {5, 7}, {5, 10}}, 10,
        56);
}

} // namespace vxGen::vxDesign
