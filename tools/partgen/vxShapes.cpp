#include "vxShapes.h"

#include "vxTriangulate.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vxGen {

namespace {

constexpr double kPi = std::numbers::pi;

void setError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

// Triangulates a plane face of the mesh given by rings of vertex indices;
// the face's outward normal is u x v.
bool triangulateFace(vxMesh& mesh, const vxFacePlace& place, const std::vector<int>& outer,
                     const std::vector<std::vector<int>>& holes)
{
    auto ring = [&](const std::vector<int>& ids) {
        vxRing r;
        r.ids = ids;
        for (int i : ids) {
            const vxVec3 d = mesh.vertices[static_cast<std::size_t>(i)] - place.point;
            r.points.push_back({dot(d, place.u), dot(d, place.v)});
        }
        return r;
    };
    std::vector<vxRing> hr;
    for (const auto& h : holes)
        hr.push_back(ring(h));
    std::vector<std::array<int, 3>> tris;
    if (!triangulatePolygon(ring(outer), hr, tris))
        return false;
    for (const auto& t : tris)
        mesh.addTriangle(t[0], t[1], t[2]);
    return true;
}

// Joins two rings of equal size around an axis (ring a, then ring b along
// the profile) with quads wound so that the surface faces right of the
// profile's direction.
void bridgeRings(vxMesh& mesh, const std::vector<int>& a, const std::vector<int>& b)
{
    const std::size_t n = a.size();
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t k1 = (k + 1) % n;
        mesh.addQuad(a[k], a[k1], b[k1], b[k]);
    }
}

void closeToPole(vxMesh& mesh, const std::vector<int>& a, int pole)
{
    const std::size_t n = a.size();
    for (std::size_t k = 0; k < n; ++k)
        mesh.addTriangle(a[k], a[(k + 1) % n], pole);
}

void openFromPole(vxMesh& mesh, int pole, const std::vector<int>& b)
{
    const std::size_t n = b.size();
    for (std::size_t k = 0; k < n; ++k)
        mesh.addTriangle(pole, b[(k + 1) % n], b[k]);
}

} // namespace

int roundSegments(double r, double tolerance)
{
    int n = 24;
    if (r > tolerance) {
        const double needed = kPi / std::acos(1.0 - tolerance / r);
        n = std::max(n, static_cast<int>(std::ceil(needed)));
    }
    return (n + 7) / 8 * 8;
}

std::vector<vxVec2> arcPoints(vxVec2 c, double r, double a0, double a1, int steps)
{
    std::vector<vxVec2> pts;
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return pts;
}

std::vector<vxVec2> circlePoints(vxVec2 c, double r, int segments, double start)
{
    std::vector<vxVec2> pts;
    for (int i = 0; i < segments; ++i) {
        const double a = start + 2.0 * kPi * i / segments;
        pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return pts;
}

std::vector<vxVec2> reversed(std::vector<vxVec2> ring)
{
    std::reverse(ring.begin(), ring.end());
    return ring;
}

vxFacePlace facePlace(const vxPrism& prism, int face, vxVec2 at)
{
    vxFacePlace f;
    if (face == vxPrism::kBottom) {
        f.point = {at.x, at.y, prism.z0};
        f.normal = {0, 0, -1};
        f.u = {1, 0, 0};
        f.v = {0, -1, 0};
    } else if (face == vxPrism::kTop) {
        f.point = {at.x, at.y, prism.z1};
        f.normal = {0, 0, 1};
        f.u = {1, 0, 0};
        f.v = {0, 1, 0};
    } else {
        const std::size_t i = static_cast<std::size_t>(face - 2), n = prism.outer.size();
        const vxVec2 a = prism.outer[i % n], b = prism.outer[(i + 1) % n];
        const vxVec2 e = (b - a) * (1.0 / length2(b - a));
        f.u = {e.x, e.y, 0};
        f.normal = {e.y, -e.x, 0};
        f.v = {0, 0, 1};
        f.point = {a.x + e.x * at.x, a.y + e.y * at.x, at.y};
    }
    return f;
}

bool buildPrism(const vxPrism& prism, vxMesh& mesh, std::string* error)
{
    const std::size_t n = prism.outer.size();
    if (n < 3 || signedArea2(prism.outer) <= 0.0) {
        setError(error, "the outer polygon must be counter-clockwise with at least three corners");
        return false;
    }
    auto distinct = [](const std::vector<vxVec2>& ring) {
        for (std::size_t i = 0; i < ring.size(); ++i)
            if (length2(ring[i] - ring[(i + 1) % ring.size()]) < 1e-6)
                return false;
        return true;
    };
    bool ok = distinct(prism.outer);
    for (const auto& h : prism.holes)
        ok = ok && h.size() >= 3 && distinct(h);
    if (!ok) {
        setError(error, "a polygon has two corners in one place");
        return false;
    }
    const int faces = static_cast<int>(2 + n);
    std::vector<std::vector<std::vector<int>>> faceHoles(static_cast<std::size_t>(faces));

    std::vector<int> bottom, top;
    for (const auto& p : prism.outer)
        bottom.push_back(mesh.addVertex({p.x, p.y, prism.z0}));
    for (const auto& p : prism.outer)
        top.push_back(mesh.addVertex({p.x, p.y, prism.z1}));

    // Through holes: clockwise rings, walls facing into the hole.
    for (const auto& hole : prism.holes) {
        const std::vector<vxVec2> h = signedArea2(hole) > 0.0 ? reversed(hole) : hole;
        std::vector<int> hb, ht;
        for (const auto& p : h)
            hb.push_back(mesh.addVertex({p.x, p.y, prism.z0}));
        for (const auto& p : h)
            ht.push_back(mesh.addVertex({p.x, p.y, prism.z1}));
        for (std::size_t k = 0; k < h.size(); ++k) {
            const std::size_t k1 = (k + 1) % h.size();
            mesh.addQuad(hb[k], hb[k1], ht[k1], ht[k]);
        }
        faceHoles[vxPrism::kBottom].push_back(hb);
        faceHoles[vxPrism::kTop].push_back(ht);
    }

    for (const auto& f : prism.features) {
        if (f.face < 0 || f.face >= faces || f.profile.size() < 2 || f.profile.front().y != 0.0 ||
            f.profile.front().x <= 0.0 || f.segments < 3) {
            setError(error, "a feature has no valid face or profile");
            return false;
        }
        const vxFacePlace place = facePlace(prism, f.face, f.at);
        auto ringAt = [&](vxVec2 rh) {
            std::vector<int> ring;
            for (int k = 0; k < f.segments; ++k) {
                const double a = f.startAngle + 2.0 * kPi * k / f.segments;
                const vxVec3 p = place.point + place.normal * rh.y +
                                 (place.u * std::cos(a) + place.v * std::sin(a)) * rh.x;
                ring.push_back(mesh.addVertex(p));
            }
            return ring;
        };
        std::vector<int> ring = ringAt(f.profile.front());
        faceHoles[static_cast<std::size_t>(f.face)].push_back(ring);
        for (std::size_t i = 1; i < f.profile.size(); ++i) {
            const vxVec2 rh = f.profile[i];
            const bool last = i + 1 == f.profile.size();
            if (rh.x == 0.0) {
                if (!last || f.endFace >= 0) {
                    setError(error, "a feature profile touches its axis before its end");
                    return false;
                }
                closeToPole(mesh, ring, mesh.addVertex(place.point + place.normal * rh.y));
                break;
            }
            std::vector<int> next = ringAt(rh);
            bridgeRings(mesh, ring, next);
            ring = std::move(next);
            if (last) {
                if (f.endFace < 0 || f.endFace >= faces) {
                    setError(error, "an open feature profile needs an end face");
                    return false;
                }
                const vxFacePlace end = facePlace(prism, f.endFace, {0, 0});
                const vxVec3 c = place.point + place.normal * rh.y;
                if (std::fabs(dot(c - end.point, end.normal)) > 1e-9) {
                    setError(error, "a feature ends off its end face");
                    return false;
                }
                faceHoles[static_cast<std::size_t>(f.endFace)].push_back(ring);
            }
        }
    }

    if (!triangulateFace(mesh, facePlace(prism, vxPrism::kBottom, {0, 0}), bottom,
                         faceHoles[vxPrism::kBottom]) ||
        !triangulateFace(mesh, facePlace(prism, vxPrism::kTop, {0, 0}), top, faceHoles[vxPrism::kTop])) {
        setError(error, "a cap could not be triangulated");
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t i1 = (i + 1) % n;
        const auto& holes = faceHoles[static_cast<std::size_t>(vxPrism::side(static_cast<int>(i)))];
        if (holes.empty()) {
            mesh.addQuad(bottom[i], bottom[i1], top[i1], top[i]);
        } else if (!triangulateFace(mesh, facePlace(prism, vxPrism::side(static_cast<int>(i)), {0, 0}),
                                    {bottom[i], bottom[i1], top[i1], top[i]}, holes)) {
            setError(error, "side face " + std::to_string(i) + " could not be triangulated");
            return false;
        }
    }
    return true;
}

vxMesh buildLathe(const std::vector<vxVec2>& profile, bool closedLoop, int segments, const vxRadiusFn& radius)
{
    vxMesh mesh;
    std::vector<std::vector<int>> rings(profile.size());
    std::vector<int> poles(profile.size(), -1);
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const vxVec2 rh = profile[i];
        if (rh.x == 0.0) {
            poles[i] = mesh.addVertex({0, 0, rh.y});
            continue;
        }
        for (int k = 0; k < segments; ++k) {
            const double a = 2.0 * kPi * k / segments;
            const double r = radius ? radius(i, k, rh.x) : rh.x;
            rings[i].push_back(mesh.addVertex({r * std::cos(a), r * std::sin(a), rh.y}));
        }
    }
    const std::size_t spans = closedLoop ? profile.size() : profile.size() - 1;
    for (std::size_t i = 0; i < spans; ++i) {
        const std::size_t j = (i + 1) % profile.size();
        if (poles[i] >= 0)
            openFromPole(mesh, poles[i], rings[j]);
        else if (poles[j] >= 0)
            closeToPole(mesh, rings[i], poles[j]);
        else
            bridgeRings(mesh, rings[i], rings[j]);
    }
    return mesh;
}

bool buildTwistedTube(const std::vector<vxVec2>& section, double z0, double dz, int rings, double turnPerRing,
                      double boreRadius, int boreSegments, vxMesh& mesh, std::string* error)
{
    if (section.size() < 3 || signedArea2(section) <= 0.0 || rings < 1) {
        setError(error, "the section must be counter-clockwise");
        return false;
    }
    std::vector<std::vector<int>> outer;
    for (int j = 0; j <= rings; ++j) {
        const double a = turnPerRing * j, c = std::cos(a), s = std::sin(a);
        std::vector<int> ring;
        for (const auto& p : section)
            ring.push_back(mesh.addVertex({p.x * c - p.y * s, p.x * s + p.y * c, z0 + dz * j}));
        outer.push_back(ring);
    }
    for (int j = 0; j < rings; ++j)
        bridgeRings(mesh, outer[static_cast<std::size_t>(j)], outer[static_cast<std::size_t>(j + 1)]);

    const double z1 = z0 + dz * rings;
    std::vector<int> boreBottom, boreTop;
    for (const auto& p : reversed(circlePoints({0, 0}, boreRadius, boreSegments)))
        boreBottom.push_back(mesh.addVertex({p.x, p.y, z0}));
    for (const auto& p : reversed(circlePoints({0, 0}, boreRadius, boreSegments)))
        boreTop.push_back(mesh.addVertex({p.x, p.y, z1}));
    bridgeRings(mesh, boreBottom, boreTop);

    vxPrism caps;
    caps.z0 = z0;
    caps.z1 = z1;
    if (!triangulateFace(mesh, facePlace(caps, vxPrism::kBottom, {0, 0}), outer.front(), {boreBottom}) ||
        !triangulateFace(mesh, facePlace(caps, vxPrism::kTop, {0, 0}), outer.back(), {boreTop})) {
        setError(error, "a cap of the twisted tube could not be triangulated");
        return false;
    }
    return true;
}

} // namespace vxGen
