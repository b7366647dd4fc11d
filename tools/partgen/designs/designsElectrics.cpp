// The motor, the battery box, the lamp, the switch, the plug and the buzzer.

#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

// --- Electrics -----------------------------------------------------------------

namespace {

vxFeature plugSocketOn(int face, vxVec2 at)
{
    return socketOn(face, at, K::kPlugDiameter / 2, 6.0);
}

vxPartConnection plugSocket(const std::string& eng, vxVec3 seat, vxVec3 normal, vxVec3 ref)
{
    return connection(Kind::PlugSocket, eng, seat, normal, ref, K::kPlugDiameter, 6.0);
}

} // namespace

// Motor housing 30 x 30 x 45 with two grooves on each side, the output shaft
// on the front face and two plug sockets in the back.
vxPartBuild motor()
{
    vxPartBuild b;
    const double w = 2 * K::kGrid, L = 3 * K::kGrid;
    std::array<std::vector<double>, 4> grooves;
    for (auto& g : grooves)
        g = {7.5, 22.5};
    const BoxProfile box = boxProfile(w, w, 1.5, grooves);
    vxPrism p;
    p.outer = box.pts;
    p.z0 = -L;
    p.z1 = 0;
    vxFeature shaft;
    shaft.face = vxPrism::kTop;
    shaft.profile = {{5, 0}, {5, 2}, {2, 2}, {2, 14.6}, {1.6, 15}, {0, 15}};
    shaft.segments = 32;
    p.features.push_back(shaft);
    p.features.push_back(plugSocketOn(vxPrism::kBottom, {-5, 0}));
    p.features.push_back(plugSocketOn(vxPrism::kBottom, {5, 0}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(connection(Kind::Axle, "output shaft", {0, 0, 15}, kZ, kY, K::kAxleDiameter, 0));
    b.connections.push_back(plugSocket("plug socket, left", {-5, 0, -L}, -kZ, kY));
    b.connections.push_back(plugSocket("plug socket, right", {5, 0, -L}, -kZ, kY));
    addBoxGrooves(b, box, grooves, p.z0, p.z1, kBlockSides);
    return b;
}

// Battery box 45 x 30 x 60 with three grooves underneath and two plug
// sockets on top (the origin is the middle groove's first cell).
vxPartBuild batteryBox()
{
    vxPartBuild b;
    const double w = 3 * K::kGrid, h = 2 * K::kGrid, L = 4 * K::kGrid, rc = 2.0;
    std::array<std::vector<double>, 4> grooves;
    grooves[0] = {7.5, 22.5, 37.5};
    const BoxProfile box = boxProfile(w, h, rc, grooves, {0, h / 2});
    vxPrism p;
    p.outer = box.pts;
    p.z0 = -L;
    p.z1 = 0;
    const int top = vxPrism::side(box.sideEdge[2]); // runs -x from (w/2 - rc, h)
    p.features.push_back(plugSocketOn(top, {box.sideStart[2].x - 7.5, -7.5}));
    p.features.push_back(plugSocketOn(top, {box.sideStart[2].x + 7.5, -7.5}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(plugSocket("plug socket, left", {-7.5, h, -7.5}, kY, kZ));
    b.connections.push_back(plugSocket("plug socket, right", {7.5, h, -7.5}, kY, kZ));
    addBoxGrooves(b, box, grooves, p.z0, p.z1, kBlockSides);
    return b;
}

// A lamp: a 15 x 15 x 7.5 base with a ball pin underneath, the bulb on top
// and two plug sockets beside it; standing up (local z is the part's Y).
vxPartBuild lamp()
{
    vxPartBuild b;
    const double g = K::kGrid, h = 7.5;
    const BoxProfile box = boxProfile(g, g, 1.0, {});
    vxPrism p;
    p.outer = box.pts;
    p.z0 = 0;
    p.z1 = h;
    vxFeature pin = pinOn(vxPrism::kBottom, {0, 0});
    p.features.push_back(pin);
    vxFeature bulb;
    bulb.face = vxPrism::kTop;
    bulb.profile = {{4, 0}, {4, 2}, {3, 2}};
    const double br = 5.0, bc = 7.0, join = std::asin(3.0 / br);
    for (int i = 0; i <= 14; ++i) {
        const double a = join + (kPi - join) * i / 14;
        bulb.profile.push_back({i == 14 ? 0.0 : br * std::sin(a), bc - br * std::cos(a)});
    }
    bulb.segments = 40;
    p.features.push_back(bulb);
    p.features.push_back(plugSocketOn(vxPrism::kTop, {-5, 5}));
    p.features.push_back(plugSocketOn(vxPrism::kTop, {5, -5}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(connection(Kind::Pin, "pin under the base", {0, 0, 0}, -kZ, kY,
                                       2 * K::kPinBallRadius, K::kPinLength));
    b.connections.push_back(plugSocket("plug socket, left", {-5, 5, h}, kZ, kX));
    b.connections.push_back(plugSocket("plug socket, right", {5, -5, h}, kZ, kX));
    place(b, zToUp());
    return b;
}

// A switch block 15 x 15 x 30 with a toggle on top, grooves on the other
// long faces and two plug sockets in the back.
vxPartBuild switchBlock()
{
    vxPartBuild b;
    const double g = K::kGrid, L = 2 * g;
    std::array<std::vector<double>, 4> grooves{std::vector<double>{g / 2}, std::vector<double>{g / 2},
                                               std::vector<double>{}, std::vector<double>{g / 2}};
    const BoxProfile box = boxProfile(g, g, 1.0, grooves);
    vxPrism p;
    p.outer = box.pts;
    p.z0 = -L;
    p.z1 = 0;
    vxFeature toggle;
    toggle.face = vxPrism::side(box.sideEdge[2]);
    toggle.at = {box.sideStart[2].x, -L / 2};
    const double kr = 2.0, kc = 9.5, join = std::asin(1.5 / kr);
    toggle.profile = {{3.5, 0}, {3.5, 1.5}, {1.5, 2.5}};
    for (int i = 0; i <= 8; ++i) {
        const double a = join + (kPi - join) * i / 8;
        toggle.profile.push_back({i == 8 ? 0.0 : kr * std::sin(a), kc - kr * std::cos(a)});
    }
    p.features.push_back(toggle);
    p.features.push_back(plugSocketOn(vxPrism::kBottom, {-5.2, 5.2}));
    p.features.push_back(plugSocketOn(vxPrism::kBottom, {5.2, 5.2}));
    if (!prism(b, p))
        return b;
    b.connections.push_back(plugSocket("plug socket, left", {-5.2, 5.2, -L}, -kZ, kY));
    b.connections.push_back(plugSocket("plug socket, right", {5.2, 5.2, -L}, -kZ, kY));
    addBoxGrooves(b, box, grooves, p.z0, p.z1, kBlockSides);
    return b;
}

vxPartBuild plug()
{
    vxPartBuild b;
    const double r = K::kPlugDiameter / 2;
    b.mesh = buildLathe(
        {{0, -12}, {2.2, -12}, {2.6, -11.6}, {2.6, -0.4}, {2.2, 0}, {r, 0}, {r, 5.7}, {r - 0.3, 6}, {0, 6}},
        false, 24);
    b.connections.push_back(connection(Kind::Plug, "plug pin", {0, 0, 0}, kZ, kY, K::kPlugDiameter, 6.0));
    return b;
}

// A round buzzer with a grille on top and a ball pin underneath, standing up.
vxPartBuild buzzer()
{
    vxPartBuild b;
    std::vector<vxVec2> prof = pinDownProfile(0.0);
    append(prof, {{12, 0}, {12, 11}, {11, 12}});
    for (double r : {10.0, 7.0, 4.0})
        append(prof, {{r, 12}, {r, 11.2}, {r - 1, 11.2}, {r - 1, 12}});
    prof.push_back({0, 12});
    b.mesh = buildLathe(prof, false, 48);
    b.connections.push_back(
        connection(Kind::Pin, "pin underneath", {0, 0, 0}, -kZ, kY, 2 * K::kPinBallRadius, K::kPinLength));
    place(b, zToUp());
    return b;
}

} // namespace vxGen::vxDesign
