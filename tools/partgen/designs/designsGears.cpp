// Spur gears, the worm and gear racks.

#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

// --- Gears -----------------------------------------------------------------------

namespace {

// The outline of a spur gear (involute teeth, 20 degree pressure angle),
// counter-clockwise, with a tooth centred on +x.
std::vector<vxVec2> gearOutline(int z, double m)
{
    const double alpha = 20 * kDeg;
    const double rp = m * z / 2, ra = rp + m, rf = rp - 1.25 * m, rb = rp * std::cos(alpha);
    auto inv = [](double a) { return std::tan(a) - a; };
    // Angle of a flank point at radius r from the tooth's centre line.
    auto flank = [&](double r) {
        if (r <= rb)
            return kPi / (2 * z) + inv(alpha);
        return kPi / (2 * z) + inv(alpha) - inv(std::acos(rb / r));
    };
    std::vector<double> radii;
    if (rf < rb)
        radii.push_back(rf);
    const double start = std::max(rf, rb);
    constexpr int flankSteps = 5;
    for (int i = 0; i <= flankSteps; ++i)
        radii.push_back(start + (ra - start) * i / flankSteps);
    auto polar = [](double r, double a) { return vxVec2{r * std::cos(a), r * std::sin(a)}; };
    std::vector<vxVec2> pts;
    const double pitch = 2 * kPi / z;
    for (int k = 0; k < z; ++k) {
        const double c = k * pitch;
        for (double r : radii)
            pts.push_back(polar(r, c - flank(r))); // rising flank
        pts.push_back(polar(ra, c));               // tip middle
        for (auto it = radii.rbegin(); it != radii.rend(); ++it)
            pts.push_back(polar(*it, c + flank(*it))); // falling flank
        const double r0 = c + flank(rf), r1 = c + pitch - flank(rf);
        for (int i = 1; i < 3; ++i)
            pts.push_back(polar(rf, r0 + (r1 - r0) * i / 3)); // root
    }
    return pts;
}

constexpr double kGearThickness = 6.0;

} // namespace

vxPartBuild spurGear(int teeth, double hubHeight)
{
    vxPartBuild b;
    vxPrism p;
    p.outer = gearOutline(teeth, K::kGearModule);
    p.z0 = 0;
    p.z1 = kGearThickness;
    const double rb = K::kHoleDiameter / 2;
    if (hubHeight > 0) {
        vxFeature hub;
        hub.face = vxPrism::kTop;
        hub.profile = {
            {6.0, 0}, {6.0, hubHeight - 0.4}, {5.6, hubHeight}, {rb, hubHeight}, {rb, -kGearThickness}};
        hub.endFace = vxPrism::kBottom;
        hub.segments = 32;
        p.features.push_back(hub);
    } else {
        p.holes.push_back(circlePoints({0, 0}, rb, 24));
    }
    if (prism(b, p))
        addBoreEnds(b, 0, kGearThickness + hubHeight);
    return b;
}

// A single-start worm (axial module 1.5, pitch radius 7.5) about Z.
vxPartBuild worm()
{
    vxPartBuild b;
    const double m = K::kGearModule, lead = kPi * m, rp = 7.5, ra = rp + m, rf = rp - 1.25 * m;
    const double tipHalf = lead / 4 - m * std::tan(20 * kDeg),
                 rootHalf = lead / 4 + 1.25 * m * std::tan(20 * kDeg);
    // The thread's axial profile: radius over the axial position u.
    auto thread = [&](double u) {
        u = std::fabs(std::remainder(u, lead));
        if (u <= tipHalf)
            return ra;
        if (u >= rootHalf)
            return rf;
        return ra - (ra - rf) * (u - tipHalf) / (rootHalf - tipHalf);
    };
    constexpr int n = 48, ringsPerTurn = 10;
    std::vector<vxVec2> section;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        const double r = thread(-lead * a / (2 * kPi));
        section.push_back({r * std::cos(a), r * std::sin(a)});
    }
    const int rings = static_cast<int>(std::lround(30.0 / (lead / ringsPerTurn)));
    const double dz = lead / ringsPerTurn;
    std::string err;
    if (!buildTwistedTube(section, 0, dz, rings, 2 * kPi / ringsPerTurn, K::kHoleDiameter / 2, 24, b.mesh,
                          &err)) {
        b.error = err;
        return b;
    }
    addBoreEnds(b, 0, dz * rings);
    return b;
}

// A gear rack 7.5 wide along -Z with its teeth on top and ball pins under
// every cell (the origin is the first pin's seat).
vxPartBuild rack(int cells)
{
    vxPartBuild b;
    const double g = K::kGrid, m = K::kGearModule, lead = kPi * m, pitchY = 6.0;
    const double tipHalf = lead / 4 - m * std::tan(20 * kDeg),
                 rootHalf = lead / 4 + 1.25 * m * std::tan(20 * kDeg);
    const double z0 = g / 2 - cells * g, z1 = g / 2;
    const int teeth = static_cast<int>(std::floor((z1 - z0 - 1.0) / lead));
    const double first = (z0 + z1) / 2 + lead * (teeth - 1) / 2.0; // the highest tooth's centre
    const double tipY = pitchY + m, rootY = pitchY - 1.25 * m;
    // Profile in (part z, part y), counter-clockwise: the bottom (edge 0)
    // runs +z, the teeth run -z.
    vxPrism p;
    p.outer = {{z0, 0}, {z1, 0}, {z1, rootY}};
    for (int k = 0; k < teeth; ++k) {
        const double c = first - k * lead;
        p.outer.push_back({c + rootHalf, rootY});
        p.outer.push_back({c + tipHalf, tipY});
        p.outer.push_back({c - tipHalf, tipY});
        p.outer.push_back({c - rootHalf, rootY});
    }
    p.outer.push_back({z0, rootY});
    p.z0 = -3.75;
    p.z1 = 3.75;
    for (int j = 0; j < cells; ++j) {
        const double z = -j * g;
        p.features.push_back(pinOn(vxPrism::side(0), {z - z0, 0}));
        b.connections.push_back(connection(Kind::Pin, "pin under cell " + std::to_string(j + 1), {z, 0, 0},
                                           {0, -1, 0}, {1, 0, 0}, 2 * K::kPinBallRadius, K::kPinLength));
    }
    if (!prism(b, p))
        return b;
    place(b, profileInZY());
    return b;
}

} // namespace vxGen::vxDesign
