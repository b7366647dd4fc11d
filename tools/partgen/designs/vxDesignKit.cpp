#include "vxDesignKit.h"

#include <algorithm>
#include <cmath>

namespace vxGen::vxDesign {

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

vxFrame zToUp()
{
    vxFrame f;
    f.ex = {1, 0, 0};
    f.ey = {0, 0, -1};
    f.ez = {0, 1, 0};
    return f;
}

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

namespace {

const double kBallJoin =
    std::asin(K::kPinNeckRadius / K::kPinBallRadius); // ball angle where the neck meets it

} // namespace

std::vector<vxVec2> pinProfile(double seat)
{
    std::vector<vxVec2> p{{K::kPinNeckRadius, seat}};
    for (int i = 0; i <= kBallSteps; ++i) {
        const double a = kBallJoin + (kPi - kBallJoin) * i / kBallSteps;
        p.push_back({i == kBallSteps ? 0.0 : K::kPinBallRadius * std::sin(a),
                     seat + K::kPinBallCentre - K::kPinBallRadius * std::cos(a)});
    }
    return p;
}

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

BoxProfile boxProfile(double w, double h, double rc, const std::array<std::vector<double>, 4>& grooves,
                      vxVec2 c, int cornerSteps)
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

namespace {

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

} // namespace

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

vxFeature pinOn(int face, vxVec2 at)
{
    vxFeature f;
    f.face = face;
    f.at = at;
    f.profile = pinProfile();
    f.segments = 24;
    return f;
}

vxFeature socketOn(int face, vxVec2 at, double r, double depth)
{
    vxFeature f;
    f.face = face;
    f.at = at;
    f.profile = socketProfile(r, depth);
    f.segments = 24;
    return f;
}

std::vector<vxVec2> stadium(vxVec2 p0, vxVec2 p1, double r, int capSteps)
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

void addBoreEnds(vxPartBuild& b, double z0, double z1, double diameter)
{
    b.connections.push_back(connection(Kind::Bore, "bore, back end", {0, 0, z0}, -kZ, kY, diameter, z1 - z0));
    b.connections.push_back(connection(Kind::Bore, "bore, front end", {0, 0, z1}, kZ, kY, diameter, z1 - z0));
}

vxPartBuild boredLathe(std::vector<vxVec2> outside, double top, int segments, const vxRadiusFn& radius)
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

} // namespace vxGen::vxDesign
