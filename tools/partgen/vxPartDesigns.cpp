#include "vxPartDesigns.h"

#include "vxShapes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vxGen {

// Design notes
// ------------
// Every mesh is one closed shell built without boolean operations: prisms
// whose profile already contains the grooves, with pins, sockets and bores
// stitched into their faces, and lathe (turned) parts. Unless a design says
// otherwise the part frame has +Y up and +Z as the part's direction; the
// extrusion or turning axis of a design is mapped into it by a frame.
//
// The ball pin: a neck of radius 1.35 and a ball of radius 1.9 whose
// centre stands 3.1 over the seat; its tip is 5.0 over the seat. The groove
// that takes it: a mouth 2.9 wide opening into a round channel of radius
// 2.0 whose centre lies 3.1 deep, so the ball sits centred in the channel
// when the seats meet. Sockets are round holes of radius 2.0, 5.1 deep.

namespace {

namespace K = vxKolbrik;
constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

using Kind = vxConnectionKind;

const vxVec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};

vxPartConnection connection(Kind kind, const std::string& eng, vxVec3 position, vxVec3 normal,
                            vxVec3 reference, double diameter, double depth)
{
    vxPartConnection c;
    c.kind = kind;
    c.eng = eng;
    c.position = position;
    c.normal = normalized(normal);
    c.reference = normalized(reference);
    c.diameter = diameter;
    c.depth = depth;
    return c;
}

// Moves a build (mesh and connections) by a frame.
void place(vxPartBuild& b, const vxFrame& f)
{
    b.mesh.transform(f);
    for (auto& c : b.connections) {
        c.position = f.point(c.position);
        c.normal = normalized(f.direction(c.normal));
        c.reference = normalized(f.direction(c.reference));
    }
}

vxFrame translation(vxVec3 t)
{
    vxFrame f;
    f.origin = t;
    return f;
}

// Local (x, y, z) -> part (x, z, -y): a turning or extrusion axis along z
// becomes the part's Y (up).
vxFrame zToUp()
{
    vxFrame f;
    f.ex = {1, 0, 0};
    f.ey = {0, 0, -1};
    f.ez = {0, 1, 0};
    return f;
}

// Local (x, y, z) -> part (-z, y, x): a profile drawn in (part z, part y)
// and extruded along local z across the part's X.
vxFrame profileInZY()
{
    vxFrame f;
    f.ex = {0, 0, 1};
    f.ey = {0, 1, 0};
    f.ez = {-1, 0, 0};
    return f;
}

bool prism(vxPartBuild& b, const vxPrism& p)
{
    vxMesh m;
    std::string err;
    if (!buildPrism(p, m, &err)) {
        b.error = err;
        return false;
    }
    b.mesh.append(m);
    return true;
}

// --- Profiles in (r, h) ----------------------------------------------------

const double kBallJoin =
    std::asin(K::kPinNeckRadius / K::kPinBallRadius); // ball angle where the neck meets it
constexpr int kBallSteps = 10;

// A ball pin standing on a face: from the neck's foot to the tip.
std::vector<vxVec2> pinProfile(double seat = 0.0)
{
    std::vector<vxVec2> p{{K::kPinNeckRadius, seat}};
    for (int i = 0; i <= kBallSteps; ++i) {
        const double a = kBallJoin + (kPi - kBallJoin) * i / kBallSteps;
        p.push_back({i == kBallSteps ? 0.0 : K::kPinBallRadius * std::sin(a),
                     seat + K::kPinBallCentre - K::kPinBallRadius * std::cos(a)});
    }
    return p;
}

// The same pin pointing down from a seat at h = seat, as the start of a
// lathe profile: from the tip (on the axis) up to the neck's foot.
std::vector<vxVec2> pinDownProfile(double seat)
{
    std::vector<vxVec2> p;
    for (int i = 0; i <= kBallSteps; ++i) {
        const double a = (kPi - kBallJoin) * i / kBallSteps;
        p.push_back({i == 0 ? 0.0 : K::kPinBallRadius * std::sin(a),
                     seat - K::kPinBallCentre - K::kPinBallRadius * std::cos(a)});
    }
    p.push_back({K::kPinNeckRadius, seat});
    return p;
}

std::vector<vxVec2> socketProfile(double r, double depth)
{
    return {{r, 0.0}, {r, -depth}, {0.0, -depth}};
}

void append(std::vector<vxVec2>& to, const std::vector<vxVec2>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// --- Profiles in the plane ---------------------------------------------------

// A groove notch cut into a counter-clockwise polygon edge that runs from a
// along the unit direction e: centred s along it, reaching inwards (to the
// left of e).
void appendGroove(std::vector<vxVec2>& pts, vxVec2 a, vxVec2 e, double s)
{
    const vxVec2 in{-e.y, e.x};
    auto at = [&](double u, double t) { return a + e * u + in * t; };
    const double mouth = K::kGrooveMouthHalf, r = K::kGrooveRadius, c = K::kGrooveCentre;
    const double join = c - std::sqrt(r * r - mouth * mouth);
    const double b0 = std::atan2(join - c, -mouth) + 2.0 * kPi, b1 = std::atan2(join - c, mouth);
    constexpr int steps = 20;
    pts.push_back(at(s - mouth, 0.0));
    for (int i = 0; i <= steps; ++i) {
        const double b = b0 + (b1 - b0) * i / steps;
        pts.push_back(at(s + r * std::cos(b), c + r * std::sin(b)));
    }
    pts.push_back(at(s + mouth, 0.0));
}

// A rectangle w x h centred at c with rounded corners and grooves. Sides:
// 0 bottom (runs +x), 1 right (+y), 2 top (-x), 3 left (-y). grooves[k]
// lists positions along side k measured from its unrounded first corner.
struct BoxProfile {
    std::vector<vxVec2> pts;
    std::array<int, 4> sideEdge{};     // the edge that starts each side's flat run
    std::array<vxVec2, 4> sideStart{}; // and where it starts
    std::array<vxVec2, 4> corner{}, dir{};
};

BoxProfile boxProfile(double w, double h, double rc, const std::array<std::vector<double>, 4>& grooves,
                      vxVec2 c = {0, 0}, int cornerSteps = 4)
{
    BoxProfile b;
    b.corner = {vxVec2{c.x - w / 2, c.y - h / 2}, vxVec2{c.x + w / 2, c.y - h / 2},
                vxVec2{c.x + w / 2, c.y + h / 2}, vxVec2{c.x - w / 2, c.y + h / 2}};
    b.dir = {vxVec2{1, 0}, vxVec2{0, 1}, vxVec2{-1, 0}, vxVec2{0, -1}};
    for (int k = 0; k < 4; ++k) {
        const vxVec2 ck = b.corner[static_cast<std::size_t>(k)], dk = b.dir[static_cast<std::size_t>(k)];
        const double len = (k % 2 == 0) ? w : h;
        b.sideEdge[static_cast<std::size_t>(k)] = static_cast<int>(b.pts.size());
        b.sideStart[static_cast<std::size_t>(k)] = ck + dk * rc;
        b.pts.push_back(ck + dk * rc);
        std::vector<double> g = grooves[static_cast<std::size_t>(k)];
        std::sort(g.begin(), g.end());
        for (double s : g)
            appendGroove(b.pts, ck, dk, s);
        if (rc > 0.0) {
            const vxVec2 end = ck + dk * (len - rc);
            const vxVec2 in{-dk.y, dk.x};
            const vxVec2 centre = end + in * rc;
            const double a0 = std::atan2(-in.y, -in.x);
            for (int i = 0; i < cornerSteps; ++i) {
                const double a = a0 + (kPi / 2) * i / cornerSteps;
                b.pts.push_back({centre.x + rc * std::cos(a), centre.y + rc * std::sin(a)});
            }
        }
    }
    return b;
}

// Cells along an extrusion from z0 to z1: centres every 15 mm from z1 down
// (one cell in the middle for a short part).
std::vector<double> cellCentres(double z0, double z1)
{
    const double len = z1 - z0;
    const int n = std::max(1, static_cast<int>(std::lround(len / K::kGrid)));
    std::vector<double> c;
    for (int j = 0; j < n; ++j)
        c.push_back(z1 - len / n * (j + 0.5));
    return c;
}

// Groove connections of a box profile extruded from z0 to z1 (in the
// extrusion's own frame, before placing).
void addBoxGrooves(vxPartBuild& b, const BoxProfile& box, const std::array<std::vector<double>, 4>& grooves,
                   double z0, double z1, const char* const sideNames[4])
{
    for (std::size_t k = 0; k < 4; ++k) {
        const vxVec2 d = box.dir[k], n{d.y, -d.x};
        int g = 0;
        for (double s : grooves[k]) {
            ++g;
            const vxVec2 p = box.corner[k] + d * s;
            int cell = 0;
            for (double z : cellCentres(z0, z1)) {
                ++cell;
                std::string eng = std::string("groove on the ") + sideNames[k] + " face";
                if (grooves[k].size() > 1)
                    eng += " " + std::to_string(g);
                eng += ", cell " + std::to_string(cell);
                b.connections.push_back(connection(Kind::Groove, eng, {p.x, p.y, z}, {n.x, n.y, 0}, kZ,
                                                   2 * K::kGrooveRadius, K::kGrooveDepth));
            }
        }
    }
}

const char* const kBlockSides[4] = {"bottom", "right", "top", "left"};

vxFeature pinOn(int face, vxVec2 at)
{
    vxFeature f;
    f.face = face;
    f.at = at;
    f.profile = pinProfile();
    f.segments = 24;
    return f;
}

vxFeature socketOn(int face, vxVec2 at, double r = K::kSocketRadius, double depth = K::kSocketDepth)
{
    vxFeature f;
    f.face = face;
    f.at = at;
    f.profile = socketProfile(r, depth);
    f.segments = 24;
    return f;
}

// --- Building blocks ---------------------------------------------------------

// A 15 x 15 block from z = -length to 0 with a pin on its front (z = 0)
// face, optionally a socket in its back face, grooves along the sides named
// in grooveSides, pins on its top face at the given z, and a cross bore
// along X at z = boreAt.
struct BlockSpec {
    double length = 30.0;
    bool socket = true;
    std::array<bool, 4> grooveSides{true, true, true, true};
    std::vector<double> topPins;
    bool crossBore = false;
    double boreAt = -7.5;
    bool backPin = false;
};

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

// --- Struts ----------------------------------------------------------------

constexpr double kStrutHalfWidth = 5.0;
constexpr double kStrutThickness = 3.0;

// The outline of a straight strut from p0 to p1 with round ends.
std::vector<vxVec2> stadium(vxVec2 p0, vxVec2 p1, double r, int capSteps = 16)
{
    const vxVec2 d = (p1 - p0) * (1.0 / length2(p1 - p0));
    const vxVec2 right{d.y, -d.x};
    const double a = std::atan2(right.y, right.x);
    std::vector<vxVec2> pts{p0 + right * r};
    append(pts, arcPoints(p1, r, a, a + kPi, capSteps));
    append(pts, arcPoints(p0, r, a + kPi, a + 2 * kPi, capSteps));
    pts.pop_back(); // the arc's end is the first point
    return pts;
}

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

void addBoreEnds(vxPartBuild& b, double z0, double z1, double diameter = K::kHoleDiameter)
{
    b.connections.push_back(connection(Kind::Bore, "bore, back end", {0, 0, z0}, -kZ, kY, diameter, z1 - z0));
    b.connections.push_back(connection(Kind::Bore, "bore, front end", {0, 0, z1}, kZ, kY, diameter, z1 - z0));
}

// A turned part with a bore along its axis from h = 0 to h = top: the
// profile runs counter-clockwise from the bore's foot round the outside.
vxPartBuild boredLathe(std::vector<vxVec2> outside, double top, int segments, const vxRadiusFn& radius = {})
{
    vxPartBuild b;
    const double rb = K::kHoleDiameter / 2;
    std::vector<vxVec2> prof{{rb, 0}};
    append(prof, outside);
    prof.push_back({rb, top});
    b.mesh = buildLathe(prof, true, segments, radius);
    addBoreEnds(b, 0, top);
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

// Tread: the ring corners on the tread lie lower every fourth segment.
vxRadiusFn tread(double treadRadius, double depth)
{
    return [=](std::size_t, int segment, double r) {
        return (std::fabs(r - treadRadius) < 1e-9 && segment % 4 == 3) ? r - depth : r;
    };
}

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

struct RimSize {
    double hubR, hubH, webR, web0, web1, rimIn, seatR, flangeR, width;
};
const RimSize kRim45{5.0, 12.0, 13.0, 4.0, 8.0, 13.0, 15.0, 16.5, 12.0};
const RimSize kRim60{6.0, 16.0, 18.0, 6.0, 10.0, 18.0, 20.0, 21.5, 16.0};

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

vxPartBuild rim(const RimSize& s)
{
    vxPartBuild b = boredLathe(rimOutside(s), s.hubH, roundSegments(s.flangeR));
    b.connections.push_back(
        connection(Kind::Rim, "tyre seat", {0, 0, s.width / 2}, kZ, kY, 2 * s.seatR, s.width - 4.0));
    return b;
}

// A tyre centred on the origin: inner radius ri, outer radius ro, width w.
std::vector<vxVec2> tyreSection(double ri, double ro, double w, double h0)
{
    const double sh = (ro - ri) * 0.3;
    return {{ri, h0},           {ro - 2 * sh, h0},        {ro - sh, h0 + w * 0.05}, {ro, h0 + w * 0.2},
            {ro, h0 + w * 0.8}, {ro - sh, h0 + w * 0.95}, {ro - 2 * sh, h0 + w},    {ri, h0 + w}};
}

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

// --- Gears -----------------------------------------------------------------------

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

vxPartBuild spurGear(int teeth, double hubHeight = 0.0)
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

// --- Electrics -----------------------------------------------------------------

vxFeature plugSocketOn(int face, vxVec2 at)
{
    return socketOn(face, at, K::kPlugDiameter / 2, 6.0);
}

vxPartConnection plugSocket(const std::string& eng, vxVec3 seat, vxVec3 normal, vxVec3 ref)
{
    return connection(Kind::PlugSocket, eng, seat, normal, ref, K::kPlugDiameter, 6.0);
}

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

// --- Decoration ----------------------------------------------------------------

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

// --- The catalogue -------------------------------------------------------------

struct Colour {
    int r, g, b;
};
constexpr Colour kRed{200, 30, 30}, kGrey{150, 150, 155}, kBlack{40, 40, 42}, kYellow{240, 190, 20},
    kSilver{200, 200, 210}, kGreen{40, 140, 60}, kBlue{40, 80, 190}, kWhite{235, 235, 230},
    kBrown{140, 90, 45}, kLamp{255, 240, 190};

struct Entry {
    const char* shortName;
    int group;
    const char* name;
    const char* eng;
    Colour colour;
    std::function<vxPartBuild()> build;
    int teeth = 1;
    int kineRot = 0;
    double prize = 0.0; // 0: from the volume
    std::vector<std::string> children = {};
    double alpha = 1.0;
};

} // namespace

std::vector<vxPartDesign> vxPartDesigns()
{
    auto blockSpec = [](double length) {
        BlockSpec s;
        s.length = length;
        return s;
    };
    std::vector<Entry> e = {
        // Building blocks
        {"31001", 0, "Building block 7.5",
         "Building block 15 x 15 x 7.5 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(7.5)); }},
        {"31003", 0, "Building block 15",
         "Building block 15 x 15 x 15 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(15)); }},
        {"31005", 0, "Building block 30",
         "Building block 15 x 15 x 30 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(30)); }},
        {"31007", 0, "Building block 45",
         "Building block 15 x 15 x 45 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(45)); }},
        {"31009", 0, "Building block 60",
         "Building block 15 x 15 x 60 mm with ball pin, socket and four grooves", kGrey,
         [=] { return block(blockSpec(60)); }},
        {"31011", 0, "Building block 15 with side pin",
         "Building block 15 x 15 x 15 mm with a second ball pin on its top face", kBlack,
         [=] {
             BlockSpec s = blockSpec(15);
             s.grooveSides[2] = false;
             s.topPins = {-7.5};
             return block(s);
         }},
        {"31013", 0, "Building block 30 with two side pins",
         "Building block 15 x 15 x 30 mm with two more ball pins on its top face", kBlack,
         [=] {
             BlockSpec s = blockSpec(30);
             s.grooveSides[2] = false;
             s.topPins = {-7.5, -22.5};
             return block(s);
         }},
        {"31015", 0, "Bearing block 15", "Building block 15 x 15 x 15 mm with a cross bore for an axle",
         kGrey,
         [=] {
             BlockSpec s = blockSpec(15);
             s.socket = false;
             s.grooveSides[1] = s.grooveSides[3] = false;
             s.crossBore = true;
             return block(s);
         }},
        // Angle blocks
        {"31101", 1, "Angle block 7.5", "Wedge block turning by 7.5 degrees, ball pin and groove", kRed,
         [] { return angleBlock(7.5); }},
        {"31103", 1, "Angle block 15", "Wedge block turning by 15 degrees, ball pin and groove", kRed,
         [] { return angleBlock(15); }},
        {"31105", 1, "Angle block 30", "Wedge block turning by 30 degrees, ball pin and groove", kRed,
         [] { return angleBlock(30); }},
        {"31107", 1, "Angle block 45", "Wedge block turning by 45 degrees, ball pin and groove", kRed,
         [] { return angleBlock(45); }},
        {"31109", 1, "Angle block 60", "Wedge block turning by 60 degrees, ball pin and groove", kGrey,
         [] { return angleBlock(60); }},
        // Plates
        {"32001", 2, "Building plate 15 x 30", "Building plate 15 x 30 x 4 mm with two ball pins underneath",
         kRed, [] { return buildingPlate(1, 2); }},
        {"32003", 2, "Building plate 15 x 45",
         "Building plate 15 x 45 x 4 mm with three ball pins underneath", kRed,
         [] { return buildingPlate(1, 3); }},
        {"32005", 2, "Building plate 15 x 60", "Building plate 15 x 60 x 4 mm with four ball pins underneath",
         kRed, [] { return buildingPlate(1, 4); }},
        {"32007", 2, "Building plate 30 x 30", "Building plate 30 x 30 x 4 mm with four ball pins underneath",
         kRed, [] { return buildingPlate(2, 2); }},
        {"32009", 2, "Building plate 30 x 60",
         "Building plate 30 x 60 x 4 mm with eight ball pins underneath", kRed,
         [] { return buildingPlate(2, 4); }},
        {"32011", 2, "Building plate 45 x 90",
         "Building plate 45 x 90 x 4 mm with eighteen ball pins underneath", kGrey,
         [] { return buildingPlate(3, 6); }},
        {"32101", 2, "Base plate 60 x 90", "Base plate 60 x 90 x 7.5 mm with four grooves on top", kGrey,
         [] { return basePlate(4, 6); }},
        {"32103", 2, "Base plate 120 x 120", "Base plate 120 x 120 x 7.5 mm with eight grooves on top", kGrey,
         [] { return basePlate(8, 8); }},
        {"32105", 2, "Base plate 90 x 180", "Base plate 90 x 180 x 7.5 mm with six grooves on top", kGrey,
         [] { return basePlate(6, 12); }},
        // Struts
        {"33001", 3, "Strut 30", "Flat strut with three holes, 30 mm from end hole to end hole", kYellow,
         [] { return straightStrut(3); }},
        {"33003", 3, "Strut 45", "Flat strut with four holes, 45 mm from end hole to end hole", kYellow,
         [] { return straightStrut(4); }},
        {"33005", 3, "Strut 60", "Flat strut with five holes, 60 mm from end hole to end hole", kYellow,
         [] { return straightStrut(5); }},
        {"33007", 3, "Strut 75", "Flat strut with six holes, 75 mm from end hole to end hole", kYellow,
         [] { return straightStrut(6); }},
        {"33009", 3, "Strut 90", "Flat strut with seven holes, 90 mm from end hole to end hole", kYellow,
         [] { return straightStrut(7); }},
        {"33011", 3, "Strut 120", "Flat strut with nine holes, 120 mm from end hole to end hole", kYellow,
         [] { return straightStrut(9); }},
        {"33021", 3, "Diagonal strut 30 x 30", "Flat strut with three holes across a 30 x 30 mm square",
         kBlack, [] { return diagonalStrut(2); }},
        {"33023", 3, "Diagonal strut 45 x 45", "Flat strut with four holes across a 45 x 45 mm square",
         kBlack, [] { return diagonalStrut(3); }},
        {"33031", 3, "Angle strut 30 x 30", "Flat L-shaped strut with five holes, legs 30 mm", kYellow,
         [] { return angleStrut(); }},
        // Axles and hubs
        {"34001", 4, "Axle 30", "Steel axle 4 mm, 30 mm long", kSilver, [] { return axle(30); }, 1, 1},
        {"34003", 4, "Axle 45", "Steel axle 4 mm, 45 mm long", kSilver, [] { return axle(45); }, 1, 1},
        {"34005", 4, "Axle 60", "Steel axle 4 mm, 60 mm long", kSilver, [] { return axle(60); }, 1, 1},
        {"34007", 4, "Axle 90", "Steel axle 4 mm, 90 mm long", kSilver, [] { return axle(90); }, 1, 1},
        {"34009", 4, "Axle 120", "Steel axle 4 mm, 120 mm long", kSilver, [] { return axle(120); }, 1, 1},
        {"34011", 4, "Axle 150", "Steel axle 4 mm, 150 mm long", kSilver, [] { return axle(150); }, 1, 1},
        {"34101", 4, "Flange hub 15", "Flange hub 15 mm across with a 4 mm bore", kBlack,
         [] { return hub15(); }, 1, 1},
        {"34103", 4, "Hex hub 10", "Hexagonal hub 10 mm across flats, 7.5 mm long, with a 4 mm bore", kBlack,
         [] { return hexHub(); }, 1, 1},
        {"34105", 4, "Collar 9", "Adjusting collar 9 mm across, 5 mm long", kBlack, [] { return collar(); },
         1, 1},
        {"34107", 4, "Axle coupling", "Coupling sleeve joining two 4 mm axles, 20 mm long", kBlack,
         [] { return coupling(); }, 1, 1},
        {"34109", 4, "Crank 30", "Crank arm with a 4 mm bore and a handle 30 mm out", kRed,
         [] { return crank(); }, 1, 1},
        // Wheels and tyres
        {"35001", 5, "Wheel 30", "Spoked-disc wheel 30 mm across with a 4 mm bore", kRed,
         [] { return wheel30(); }, 1, 1},
        {"35003", 5, "Rim 45", "Rim for tyre 45, with a 4 mm bore", kRed, [] { return rim(kRim45); }, 1, 1},
        {"35005", 5, "Tyre 45", "Tyre 45 mm across with tread, fits rim 45", kBlack,
         [] { return tyre(15, 22.5, 8); }, 1, 1},
        {"35007", 5, "Rim 60", "Rim for tyre 60, with a 4 mm bore", kRed, [] { return rim(kRim60); }, 1, 1},
        {"35009", 5, "Tyre 60", "Tyre 60 mm across with tread, fits rim 60", kBlack,
         [] { return tyre(20, 30, 12); }, 1, 1},
        {"35011",
         5,
         "Wheel 45",
         "Rim 45 with tyre 45 mounted",
         kBlack,
         [] { return wheelSet(kRim45, 22.5); },
         1,
         1,
         0.0,
         {"35003", "35005"}},
        {"35013",
         5,
         "Wheel 60",
         "Rim 60 with tyre 60 mounted",
         kBlack,
         [] { return wheelSet(kRim60, 30); },
         1,
         1,
         0.0,
         {"35007", "35009"}},
        {"35015", 5, "Belt pulley 30", "Belt pulley 30 mm across with a V groove and a 4 mm bore", kRed,
         [] { return pulley(); }, 1, 1},
        // Gears
        {"36001", 6, "Gear Z10", "Spur gear, 10 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(10); }, 10, 1},
        {"36003", 6, "Gear Z15", "Spur gear, 15 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(15); }, 15, 1},
        {"36005", 6, "Gear Z20", "Spur gear, 20 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(20); }, 20, 1},
        {"36007", 6, "Gear Z30", "Spur gear, 30 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(30); }, 30, 1},
        {"36009", 6, "Gear Z40", "Spur gear, 40 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(40); }, 40, 1},
        {"36011", 6, "Gear Z20 with hub", "Spur gear, 20 teeth, module 1.5, with a hub 12 mm across", kGrey,
         [] { return spurGear(20, 8.0); }, 20, 1},
        {"36013", 6, "Worm", "Single-start worm, module 1.5, 30 mm long, 4 mm bore", kGrey,
         [] { return worm(); }, 1, 1},
        {"36015", 6, "Gear rack 30", "Gear rack, module 1.5, 30 mm long, two ball pins underneath", kGrey,
         [] { return rack(2); }, 6},
        {"36017", 6, "Gear rack 60", "Gear rack, module 1.5, 60 mm long, four ball pins underneath", kGrey,
         [] { return rack(4); }, 12},
        // Connectors
        {"37001", 7, "Double pin", "Two ball pins back to back; joins two grooves face to face", kRed,
         [] { return doublePin(); }},
        {"37003", 7, "Spacer 5", "Round spacer 8 mm across, 5 mm long, ball pin on each end", kRed,
         [] { return spacer(5, 4); }},
        {"37005", 7, "Spacer 15", "Round spacer 12 mm across, 15 mm long, ball pin on each end", kRed,
         [] { return spacer(15, 6); }},
        {"37007", 7, "Connector block 7.5",
         "Block 15 x 15 x 7.5 mm with a ball pin on each end and four grooves", kBlack,
         [=] {
             BlockSpec s = blockSpec(7.5);
             s.socket = false;
             s.backPin = true;
             return block(s);
         }},
        {"37009", 7, "Angle connector 90", "L-shaped connector with ball pins at right angles", kRed,
         [] { return angleConnector(); }},
        {"37011", 7, "Axle clip", "Clip 15 x 15 x 5 mm holding a 4 mm axle, ball pin underneath", kBlack,
         [] { return axleClip(); }},
        // Electrics
        {"38001", 8, "Motor", "Motor 30 x 30 x 45 mm with output shaft and plug sockets", kGrey,
         [] { return motor(); }, 1, 0, 12.90},
        {"38003", 8, "Battery box", "Battery box 45 x 30 x 60 mm with plug sockets", kBlack,
         [] { return batteryBox(); }, 1, 0, 6.50},
        {"38005",
         8,
         "Lamp",
         "Lamp with bulb on a 15 x 15 base, plug sockets",
         kLamp,
         [] { return lamp(); },
         1,
         0,
         2.40,
         {},
         0.85},
        {"38007", 8, "Switch", "Toggle switch block 15 x 15 x 30 mm with plug sockets", kBlack,
         [] { return switchBlock(); }, 1, 0, 3.20},
        {"38009", 8, "Plug", "Cable plug", kRed, [] { return plug(); }, 1, 0, 0.40},
        {"38011", 8, "Buzzer", "Round buzzer 24 mm across on a ball pin", kBlack, [] { return buzzer(); }, 1,
         0, 4.50},
        // Decoration
        {"39001", 18, "Fir tree", "Fir tree 30 mm high on a ball pin", kGreen, [] { return firTree(); }},
        {"39003", 18, "Figure", "Figure 23 mm high on a ball pin", kYellow, [] { return figure(); }},
        {"39005", 18, "Sign plate", "Sign plate 30 x 22.5 mm on a ball pin", kWhite,
         [] { return signPlate(); }},
        {"39007", 18, "Dome", "Half dome 30 mm across with a socket in its base", kBlue,
         [] { return dome(); }},
        {"39009", 18, "Star", "Five-pointed star 30 mm across with a ball pin on its back", kYellow,
         [] { return star(); }},
        {"39011", 18, "Fence 30", "Picket fence 30 mm long on two ball pins", kBrown, [] { return fence(); }},
    };

    std::vector<vxPartDesign> designs;
    int order = 0;
    for (auto& x : e) {
        vxPartDesign d;
        d.type.shortName = x.shortName;
        d.type.name = x.name;
        d.type.eng = x.eng;
        d.type.group = x.group;
        d.type.sortOrder = (order += 10);
        d.type.red = x.colour.r;
        d.type.green = x.colour.g;
        d.type.blue = x.colour.b;
        d.type.alpha = x.alpha;
        d.type.teeth = x.teeth;
        d.type.kineRot = x.kineRot;
        d.type.prize = x.prize;
        d.type.children = x.children;
        d.build = x.build;
        designs.push_back(std::move(d));
    }
    return designs;
}

} // namespace vxGen
