// Building blocks, angle blocks and plates.

#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

// --- Building blocks ---------------------------------------------------------

vxPartBuild block(const BlockSpec& s)
{
    vxPartBuild b;
    const double w = K::kGrid, rc = 1.0;
    std::array<std::vector<double>, 4> grooves;
    for (std::size_t k = 0; k < 4; ++k)
        if (s.grooveSides[k])
            grooves[k] = {w / 2};
    const BoxProfile box = boxProfile(w, w, rc, grooves);
    vxPrism p;
    p.outer = box.pts;
    p.z0 = -s.length;
    p.z1 = 0.0;
    p.features.push_back(pinOn(vxPrism::kTop, {0, 0}));
    b.connections.push_back(connection(Kind::Pin, "pin on the front face", {0, 0, 0}, kZ, kY,
                                       2 * K::kPinBallRadius, K::kPinLength));
    if (s.socket) {
        p.features.push_back(socketOn(vxPrism::kBottom, {0, 0}));
        b.connections.push_back(connection(Kind::Socket, "socket in the back face", {0, 0, -s.length}, -kZ,
                                           kY, 2 * K::kSocketRadius, K::kSocketDepth));
    }
    if (s.backPin) {
        p.features.push_back(pinOn(vxPrism::kBottom, {0, 0}));
        b.connections.push_back(connection(Kind::Pin, "pin on the back face", {0, 0, -s.length}, -kZ, kY,
                                           2 * K::kPinBallRadius, K::kPinLength));
    }
    int n = 0;
    for (double z : s.topPins) {
        // Side 2 (top) runs -x from (w/2 - rc, w/2).
        p.features.push_back(pinOn(vxPrism::side(box.sideEdge[2]), {box.sideStart[2].x, z}));
        b.connections.push_back(connection(Kind::Pin, "pin on the top face " + std::to_string(++n),
                                           {0, w / 2, z}, kY, kZ, 2 * K::kPinBallRadius, K::kPinLength));
    }
    if (s.crossBore) {
        vxFeature f;
        f.face = vxPrism::side(box.sideEdge[1]); // right side, runs +y from (w/2, -w/2 + rc)
        f.at = {w / 2 - rc, s.boreAt};
        f.profile = {{K::kHoleDiameter / 2, 0.0}, {K::kHoleDiameter / 2, -w}};
        f.endFace = vxPrism::side(box.sideEdge[3]);
        p.features.push_back(f);
        b.connections.push_back(connection(Kind::Bore, "cross bore, right end", {w / 2, 0, s.boreAt}, kX, kY,
                                           K::kHoleDiameter, w));
        b.connections.push_back(connection(Kind::Bore, "cross bore, left end", {-w / 2, 0, s.boreAt}, -kX, kY,
                                           K::kHoleDiameter, w));
    }
    if (!prism(b, p))
        return b;
    addBoxGrooves(b, box, grooves, p.z0, p.z1, kBlockSides);
    return b;
}

// --- Angle blocks ----------------------------------------------------------

// A wedge 15 wide: the front face (pin) stands square to Z at z = 0; the
// back face (groove across it) is turned by angle about X, so a part held
// in that groove points its pin up by angle.
vxPartBuild angleBlock(double angleDeg)
{
    vxPartBuild b;
    const double a = angleDeg * kDeg, half = K::kGrid / 2;
    const double c = std::max(half, half * std::sin(a) + 3.0); // depth of the back face's centre
    // Profile in (part z, part y), counter-clockwise.
    const vxVec2 fb{0, -half}, ft{0, half};
    const vxVec2 bt{-c - half * std::sin(a), half * std::cos(a)},
        bb{-c + half * std::sin(a), -half * std::cos(a)};
    vxPrism p;
    p.outer = {fb, ft, bt};
    appendGroove(p.outer, bt, (bb - bt) * (1.0 / K::kGrid), half);
    p.outer.push_back(bb);
    p.z0 = -half;
    p.z1 = half;
    p.features.push_back(pinOn(vxPrism::side(0), {half, 0}));
    b.connections.push_back(connection(Kind::Pin, "pin on the front face", {0, 0, 0}, {1, 0, 0}, {0, 1, 0},
                                       2 * K::kPinBallRadius, K::kPinLength));
    b.connections.push_back(connection(Kind::Groove, "groove across the back face", {-c, 0, 0},
                                       {-std::cos(a), -std::sin(a), 0}, {0, 0, 1}, 2 * K::kGrooveRadius,
                                       K::kGrooveDepth));
    if (!prism(b, p))
        return b;
    place(b, profileInZY());
    return b;
}

// --- Plates ------------------------------------------------------------------

// A building plate 4 mm thick with ball pins on its underside at every cell
// (cells 15 mm apart in x and -z; the origin is the first pin's seat).
vxPartBuild buildingPlate(int cellsX, int cellsZ)
{
    vxPartBuild b;
    const double g = K::kGrid, t = 4.0, ch = 0.6;
    const double x0 = -g / 2, x1 = cellsX * g - g / 2;
    vxPrism p;
    p.outer = {{x0, 0}, {x1, 0}, {x1, t - ch}, {x1 - ch, t}, {x0 + ch, t}, {x0, t - ch}};
    p.z0 = g / 2 - cellsZ * g;
    p.z1 = g / 2;
    for (int i = 0; i < cellsX; ++i)
        for (int j = 0; j < cellsZ; ++j) {
            p.features.push_back(pinOn(vxPrism::side(0), {i * g - x0, -j * g}));
            b.connections.push_back(
                connection(Kind::Pin, "pin under cell " + std::to_string(i + 1) + "," + std::to_string(j + 1),
                           {i * g, 0, -j * g}, -kY, kZ, 2 * K::kPinBallRadius, K::kPinLength));
        }
    prism(b, p);
    return b;
}

// A base plate 7.5 mm thick with grooves along Z on its top at every 15 mm
// (the origin is the first groove's first cell, on the top face).
vxPartBuild basePlate(int cellsX, int cellsZ)
{
    vxPartBuild b;
    const double g = K::kGrid, t = 7.5, w = cellsX * g;
    std::array<std::vector<double>, 4> grooves;
    for (int i = 0; i < cellsX; ++i)
        grooves[2].push_back(w - g / 2 - i * g); // side 2 runs -x from x = w - 7.5
    const BoxProfile box = boxProfile(w, t, 0.8, grooves, {w / 2 - g / 2, -t / 2});
    vxPrism p;
    p.outer = box.pts;
    p.z0 = g / 2 - cellsZ * g;
    p.z1 = g / 2;
    if (!prism(b, p))
        return b;
    for (int i = 0; i < cellsX; ++i)
        for (int j = 0; j < cellsZ; ++j)
            b.connections.push_back(connection(
                Kind::Groove, "groove " + std::to_string(i + 1) + ", cell " + std::to_string(j + 1),
                {i * g, 0, -j * g}, kY, kZ, 2 * K::kGrooveRadius, K::kGrooveDepth));
    return b;
}

} // namespace vxGen::vxDesign
