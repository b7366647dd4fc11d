#include "vxMeshKit.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <sstream>

namespace vxGen {

int vxMesh::addVertex(const vxVec3& p)
{
    vertices.push_back(p);
    return static_cast<int>(vertices.size() - 1);
}

void vxMesh::addTriangle(int a, int b, int c)
{
    triangles.push_back({a, b, c});
}

void vxMesh::addQuad(int a, int b, int c, int d)
{
    const double ac = length(vertices[static_cast<std::size_t>(c)] - vertices[static_cast<std::size_t>(a)]);
    const double bd = length(vertices[static_cast<std::size_t>(d)] - vertices[static_cast<std::size_t>(b)]);
    if (ac <= bd) {
        addTriangle(a, b, c);
        addTriangle(a, c, d);
    } else {
        addTriangle(a, b, d);
        addTriangle(b, c, d);
    }
}

void vxMesh::append(const vxMesh& other)
{
    const int base = static_cast<int>(vertices.size());
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    for (const auto& t : other.triangles)
        triangles.push_back({t[0] + base, t[1] + base, t[2] + base});
}

void vxMesh::transform(const vxFrame& frame)
{
    for (auto& v : vertices)
        v = frame.point(v);
    if (frame.mirrors())
        for (auto& t : triangles)
            std::swap(t[1], t[2]);
}

void vxMesh::bounds(vxVec3& lo, vxVec3& hi) const
{
    lo = hi = vxVec3{};
    if (vertices.empty())
        return;
    lo = hi = vertices.front();
    for (const auto& v : vertices) {
        lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
}

double vxMesh::volume() const
{
    double v = 0.0;
    for (const auto& t : triangles)
        v += dot(vertices[static_cast<std::size_t>(t[0])],
                 cross(vertices[static_cast<std::size_t>(t[1])], vertices[static_cast<std::size_t>(t[2])]));
    return v / 6.0;
}

std::string vxMeshReport::summary() const
{
    std::ostringstream s;
    s << triangles << " triangles, " << components << " shell(s), volume " << volume << " mm3";
    if (boundaryEdges)
        s << ", " << boundaryEdges << " open edges";
    if (overusedEdges)
        s << ", " << overusedEdges << " over-used edges";
    if (misorientedEdges)
        s << ", " << misorientedEdges << " mis-oriented edges";
    if (nonManifoldVertices)
        s << ", " << nonManifoldVertices << " non-manifold vertices";
    if (degenerateTriangles)
        s << ", " << degenerateTriangles << " degenerate triangles";
    if (unusedVertices)
        s << ", " << unusedVertices << " unused vertices";
    if (selfIntersections)
        s << ", " << selfIntersections << " self-intersections";
    return s.str();
}

namespace {

const vxVec3& at(const vxMesh& m, int i)
{
    return m.vertices[static_cast<std::size_t>(i)];
}

std::uint64_t edgeKey(int a, int b)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

bool degenerate(const vxVec3& a, const vxVec3& b, const vxVec3& c)
{
    const double ab = length(b - a), bc = length(c - b), ca = length(a - c);
    const double longest = std::max({ab, bc, ca});
    if (longest <= 0.0)
        return true;
    const double twiceArea = length(cross(b - a, c - a));
    return twiceArea / longest < kDegenerateHeight;
}

int findRoot(std::vector<int>& parent, int i)
{
    while (parent[static_cast<std::size_t>(i)] != i) {
        parent[static_cast<std::size_t>(i)] =
            parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
        i = parent[static_cast<std::size_t>(i)];
    }
    return i;
}

// Whether the segment p-q crosses the inside of triangle abc (not merely
// touching its border or lying in its plane).
bool segmentCrossesTriangle(const vxVec3& p, const vxVec3& q, const vxVec3& a, const vxVec3& b,
                            const vxVec3& c)
{
    const vxVec3 n = cross(b - a, c - a);
    const double nl = length(n);
    if (nl <= 0.0)
        return false;
    const double eps = 1e-9 * nl;
    const double dp = dot(n, p - a), dq = dot(n, q - a);
    if ((dp > eps && dq > eps) || (dp < -eps && dq < -eps))
        return false;
    if (std::fabs(dp) <= eps || std::fabs(dq) <= eps)
        return false; // an end on the plane: touching, or coplanar
    const double t = dp / (dp - dq);
    const vxVec3 x = p + (q - p) * t;
    const double w0 = dot(n, cross(b - a, x - a));
    const double w1 = dot(n, cross(c - b, x - b));
    const double w2 = dot(n, cross(a - c, x - c));
    const double tol = 1e-9 * nl * nl;
    return w0 > tol && w1 > tol && w2 > tol;
}

std::size_t countSelfIntersections(const vxMesh& m)
{
    struct Box {
        vxVec3 lo, hi;
        std::size_t t;
    };
    std::vector<Box> boxes;
    boxes.reserve(m.triangles.size());
    for (std::size_t i = 0; i < m.triangles.size(); ++i) {
        const auto& t = m.triangles[i];
        Box b{at(m, t[0]), at(m, t[0]), i};
        for (int k = 1; k < 3; ++k) {
            const vxVec3& v = at(m, t[static_cast<std::size_t>(k)]);
            b.lo = {std::min(b.lo.x, v.x), std::min(b.lo.y, v.y), std::min(b.lo.z, v.z)};
            b.hi = {std::max(b.hi.x, v.x), std::max(b.hi.y, v.y), std::max(b.hi.z, v.z)};
        }
        boxes.push_back(b);
    }
    std::sort(boxes.begin(), boxes.end(),
              [](const Box& a, const Box& b) { return a.lo.x < b.lo.x || (a.lo.x == b.lo.x && a.t < b.t); });
    std::size_t count = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto& ti = m.triangles[boxes[i].t];
        for (std::size_t j = i + 1; j < boxes.size() && boxes[j].lo.x <= boxes[i].hi.x; ++j) {
            const Box& bj = boxes[j];
            if (bj.lo.y > boxes[i].hi.y || bj.hi.y < boxes[i].lo.y || bj.lo.z > boxes[i].hi.z ||
                bj.hi.z < boxes[i].lo.z)
                continue;
            const auto& tj = m.triangles[bj.t];
            bool shares = false;
            for (int a : ti)
                for (int b : tj)
                    shares = shares || a == b;
            if (shares)
                continue;
            bool hit = false;
            for (int e = 0; e < 3 && !hit; ++e) {
                hit = segmentCrossesTriangle(at(m, ti[static_cast<std::size_t>(e)]),
                                             at(m, ti[static_cast<std::size_t>((e + 1) % 3)]), at(m, tj[0]),
                                             at(m, tj[1]), at(m, tj[2])) ||
                      segmentCrossesTriangle(at(m, tj[static_cast<std::size_t>(e)]),
                                             at(m, tj[static_cast<std::size_t>((e + 1) % 3)]), at(m, ti[0]),
                                             at(m, ti[1]), at(m, ti[2]));
            }
            if (hit)
                ++count;
        }
    }
    return count;
}

} // namespace

vxMeshReport checkMesh(const vxMesh& m, bool findSelfIntersections)
{
    vxMeshReport r;
    r.triangles = m.triangles.size();
    r.volume = m.volume();

    std::vector<std::uint64_t> directed;
    directed.reserve(m.triangles.size() * 3);
    std::vector<int> uses(m.vertices.size(), 0);
    for (const auto& t : m.triangles) {
        const vxVec3 &a = at(m, t[0]), &b = at(m, t[1]), &c = at(m, t[2]);
        r.area += 0.5 * length(cross(b - a, c - a));
        if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2] || degenerate(a, b, c))
            ++r.degenerateTriangles;
        for (int k = 0; k < 3; ++k) {
            directed.push_back(
                edgeKey(t[static_cast<std::size_t>(k)], t[static_cast<std::size_t>((k + 1) % 3)]));
            ++uses[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])];
        }
    }
    for (int u : uses)
        if (u == 0)
            ++r.unusedVertices;

    std::sort(directed.begin(), directed.end());
    auto countOf = [&](std::uint64_t key) {
        auto range = std::equal_range(directed.begin(), directed.end(), key);
        return static_cast<std::size_t>(range.second - range.first);
    };
    for (std::size_t i = 0; i < directed.size();) {
        std::size_t j = i;
        while (j < directed.size() && directed[j] == directed[i])
            ++j;
        const std::uint64_t key = directed[i];
        const int a = static_cast<int>(key >> 32), b = static_cast<int>(key & 0xffffffffu);
        const std::size_t same = j - i, reverse = countOf(edgeKey(b, a));
        // Count each undirected edge once: from its smaller end, or from
        // whichever direction exists when only one does.
        if (a < b || reverse == 0) {
            const std::size_t total = same + reverse;
            if (total == 1)
                ++r.boundaryEdges;
            else if (total > 2)
                ++r.overusedEdges;
            else if (same != 1)
                ++r.misorientedEdges;
        }
        i = j;
    }

    // Vertex links: the opposite edges of the triangles around a vertex must
    // chain into one single cycle.
    std::vector<std::vector<std::pair<int, int>>> link(m.vertices.size());
    for (const auto& t : m.triangles)
        for (int k = 0; k < 3; ++k)
            link[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])].push_back(
                {t[static_cast<std::size_t>((k + 1) % 3)], t[static_cast<std::size_t>((k + 2) % 3)]});
    for (auto& l : link) {
        if (l.empty())
            continue;
        std::sort(l.begin(), l.end());
        bool ok = true;
        for (std::size_t i = 1; i < l.size(); ++i)
            ok = ok && l[i].first != l[i - 1].first;
        std::size_t steps = 0;
        int cur = l.front().first;
        while (ok) {
            auto it = std::lower_bound(l.begin(), l.end(), std::pair<int, int>{cur, -2147483647 - 1});
            if (it == l.end() || it->first != cur) {
                ok = false;
                break;
            }
            cur = it->second;
            ++steps;
            if (cur == l.front().first || steps > l.size())
                break;
        }
        if (!ok || steps != l.size())
            ++r.nonManifoldVertices;
    }

    // Shells: triangles joined through shared edges.
    std::vector<int> parent(m.triangles.size());
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<std::pair<std::uint64_t, int>> edgeOwner;
    edgeOwner.reserve(m.triangles.size() * 3);
    for (std::size_t i = 0; i < m.triangles.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            int a = m.triangles[i][static_cast<std::size_t>(k)],
                b = m.triangles[i][static_cast<std::size_t>((k + 1) % 3)];
            edgeOwner.push_back({edgeKey(std::min(a, b), std::max(a, b)), static_cast<int>(i)});
        }
    std::sort(edgeOwner.begin(), edgeOwner.end());
    for (std::size_t i = 1; i < edgeOwner.size(); ++i)
        if (edgeOwner[i].first == edgeOwner[i - 1].first) {
            int ra = findRoot(parent, edgeOwner[i].second), rb = findRoot(parent, edgeOwner[i - 1].second);
            if (ra != rb)
                parent[static_cast<std::size_t>(ra)] = rb;
        }
    for (std::size_t i = 0; i < parent.size(); ++i)
        if (findRoot(parent, static_cast<int>(i)) == static_cast<int>(i))
            ++r.components;

    if (findSelfIntersections)
        r.selfIntersections = countSelfIntersections(m);
    return r;
}

namespace {

vxVec3 closestPointOnTriangle(const vxVec3& p, const vxVec3& a, const vxVec3& b, const vxVec3& c)
{
    // Ericson, Real-Time Collision Detection, 5.1.5.
    const vxVec3 ab = b - a, ac = c - a, ap = p - a;
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return a;
    const vxVec3 bp = p - b;
    const double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return a + ab * (d1 / (d1 - d3));
    const vxVec3 cp = p - c;
    const double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return a + ac * (d2 / (d2 - d6));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const double denom = 1.0 / (va + vb + vc);
    return a + ab * (vb * denom) + ac * (vc * denom);
}

// Number of triangles crossed by the ray from p along d (Moller-Trumbore).
int rayCrossings(const vxMesh& m, const vxVec3& p, const vxVec3& d)
{
    int n = 0;
    for (const auto& t : m.triangles) {
        const vxVec3 &a = at(m, t[0]), &b = at(m, t[1]), &c = at(m, t[2]);
        const vxVec3 e1 = b - a, e2 = c - a, h = cross(d, e2);
        const double det = dot(e1, h);
        if (std::fabs(det) < 1e-14)
            continue;
        const double f = 1.0 / det;
        const vxVec3 s = p - a;
        const double u = f * dot(s, h);
        if (u < 0.0 || u > 1.0)
            continue;
        const vxVec3 q = cross(s, e1);
        const double v = f * dot(d, q);
        if (v < 0.0 || u + v > 1.0)
            continue;
        if (f * dot(e2, q) > 0.0)
            ++n;
    }
    return n;
}

} // namespace

double distanceToSurface(const vxMesh& m, const vxVec3& p)
{
    double best = 1e300;
    for (const auto& t : m.triangles)
        best = std::min(best, length(p - closestPointOnTriangle(p, at(m, t[0]), at(m, t[1]), at(m, t[2]))));
    return best;
}

bool insideSolid(const vxMesh& m, const vxVec3& p)
{
    // Directions chosen off every axis and off each other, so that a ray
    // grazing an edge in one direction is outvoted by the other two.
    static const vxVec3 dirs[3] = {normalized({0.5773, 0.6112, 0.5412}),
                                   normalized({-0.7071, 0.3152, 0.6331}),
                                   normalized({0.2113, -0.8944, 0.3942})};
    int votes = 0;
    for (const auto& d : dirs)
        votes += rayCrossings(m, p, d) % 2;
    return votes >= 2;
}

namespace {

void putU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xffu));
}

void putF32(std::string& out, float f)
{
    putU32(out, std::bit_cast<std::uint32_t>(f));
}

} // namespace

std::string stlBytes(const vxMesh& m, const std::string& header, const vxVec3& shift)
{
    std::string out;
    out.reserve(84 + 50 * m.triangles.size());
    std::string h = header.substr(0, 80);
    h.resize(80, ' ');
    out += h;
    putU32(out, static_cast<std::uint32_t>(m.triangles.size()));

    std::vector<std::array<float, 3>> fv(m.vertices.size());
    for (std::size_t i = 0; i < m.vertices.size(); ++i) {
        const vxVec3 v = m.vertices[i] + shift;
        fv[i] = {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
    }
    for (const auto& t : m.triangles) {
        const auto& a = fv[static_cast<std::size_t>(t[0])];
        const auto& b = fv[static_cast<std::size_t>(t[1])];
        const auto& c = fv[static_cast<std::size_t>(t[2])];
        const vxVec3 pa{a[0], a[1], a[2]}, pb{b[0], b[1], b[2]}, pc{c[0], c[1], c[2]};
        const vxVec3 n = normalized(cross(pb - pa, pc - pa));
        putF32(out, static_cast<float>(n.x));
        putF32(out, static_cast<float>(n.y));
        putF32(out, static_cast<float>(n.z));
        for (const auto* v : {&a, &b, &c})
            for (float f : *v)
                putF32(out, f);
        out.push_back('\0');
        out.push_back('\0');
    }
    return out;
}

} // namespace vxGen
