// Double pins, spacers, the angle connector and the axle clip.

#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

// --- Connectors ----------------------------------------------------------------

// Two ball pins back to back with their seats at the origin: joins two
// grooves face to face.
vxPartBuild doublePin()
{
    vxPartBuild b;
    std::vector<vxVec2> prof = pinDownProfile(0.0);
    prof.pop_back(); // the neck runs straight on into the upper pin
    append(prof, pinProfile(0.0));
    prof.erase(prof.begin() + static_cast<long>(kBallSteps) + 1); // (neck, 0) lies on the straight neck
    b.mesh = buildLathe(prof, false, 24);
    b.connections.push_back(
        connection(Kind::Pin, "pin, front", {0, 0, 0}, kZ, kY, 2 * K::kPinBallRadius, K::kPinLength));
    b.connections.push_back(
        connection(Kind::Pin, "pin, back", {0, 0, 0}, -kZ, kY, 2 * K::kPinBallRadius, K::kPinLength));
    return b;
}

// A round spacer of the given length and radius with a ball pin on each
// end (the origin is the back pin's seat).
vxPartBuild spacer(double length, double r)
{
    vxPartBuild b;
    std::vector<vxVec2> prof = pinDownProfile(0.0);
    append(prof, {{r - 0.4, 0}, {r, 0.4}, {r, length - 0.4}, {r - 0.4, length}});
    append(prof, pinProfile(length));
    b.mesh = buildLathe(prof, false, roundSegments(r));
    b.connections.push_back(
        connection(Kind::Pin, "pin, back", {0, 0, 0}, -kZ, kY, 2 * K::kPinBallRadius, K::kPinLength));
    b.connections.push_back(
        connection(Kind::Pin, "pin, front", {0, 0, length}, kZ, kY, 2 * K::kPinBallRadius, K::kPinLength));
    return b;
}

// An L of two 15 mm cubes' worth: the front arm's pin points +Z, the upper
// arm's pin points +Y; grooves across the back and the bottom.
vxPartBuild angleConnector()
{
    vxPartBuild b;
    const double g = K::kGrid, h = g / 2;
    // Profile in (part z, part y), counter-clockwise.
    vxPrism p;
    p.outer = {{0, -h}, {0, h}, {-g, h}, {-g, h + g}, {-2 * g, h + g}};
    appendGroove(p.outer, {-2 * g, h + g}, {0, -1}, h);
    appendGroove(p.outer, {-2 * g, h + g}, {0, -1}, h + g);
    p.outer.push_back({-2 * g, -h});
    appendGroove(p.outer, {-2 * g, -h}, {1, 0}, h);
    appendGroove(p.outer, {-2 * g, -h}, {1, 0}, h + g);
    p.z0 = -h;
    p.z1 = h;
    p.features.push_back(pinOn(vxPrism::side(0), {h, 0})); // front face, runs +y from (0, -h)
    p.features.push_back(pinOn(vxPrism::side(3), {h, 0})); // upper face, runs -z from (-g, h + g)
    b.connections.push_back(connection(Kind::Pin, "pin on the front face", {0, 0, 0}, {1, 0, 0}, {0, 1, 0},
                                       2 * K::kPinBallRadius, K::kPinLength));
    b.connections.push_back(connection(Kind::Pin, "pin on the upper face", {-g - h, h + g, 0}, {0, 1, 0},
                                       {1, 0, 0}, 2 * K::kPinBallRadius, K::kPinLength));
    const double grooveY[2] = {g, 0};
    for (int i = 0; i < 2; ++i)
        b.connections.push_back(connection(
            Kind::Groove, "groove across the back face " + std::to_string(i + 1), {-2 * g, grooveY[i], 0},
            {-1, 0, 0}, {0, 0, 1}, 2 * K::kGrooveRadius, K::kGrooveDepth));
    const double grooveZ[2] = {-2 * g + h, -h};
    for (int i = 0; i < 2; ++i)
        b.connections.push_back(
            connection(Kind::Groove, "groove across the bottom face " + std::to_string(i + 1),
                       {grooveZ[i], -h, 0}, {0, -1, 0}, {0, 0, 1}, 2 * K::kGrooveRadius, K::kGrooveDepth));
    if (!prism(b, p))
        return b;
    place(b, profileInZY());
    return b;
}

// A 15 x 15 x 5 clip with an axle bore along Z and a ball pin under it
// (the origin is the pin's seat).
vxPartBuild axleClip()
{
    vxPartBuild b;
    const double g = K::kGrid, t = 5.0;
    const BoxProfile box = boxProfile(g, g, 1.0, {});
    vxPrism p;
    p.outer = box.pts;
    p.holes.push_back(circlePoints({0, 0}, K::kHoleDiameter / 2, 24));
    p.z0 = -t / 2;
    p.z1 = t / 2;
    p.features.push_back(pinOn(vxPrism::side(box.sideEdge[0]), {-box.sideStart[0].x, 0}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(connection(Kind::Pin, "pin on the bottom face", {0, -g / 2, 0}, -kY, kZ,
                                       2 * K::kPinBallRadius, K::kPinLength));
    addBoreEnds(b, -t / 2, t / 2);
    place(b, translation({0, g / 2, 0}));
    return b;
}

} // namespace vxGen::vxDesign
