#include "vxTriangulate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vxGen {

double signedArea2(const std::vector<vxVec2>& ring)
{
    double s = 0.0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        s += cross2(ring[j], ring[i]);
    return s;
}

namespace {

// The polygon is kept as a doubly linked list of corner nodes. Holes are
// joined to the outer boundary by bridges (a pair of coincident copies of
// the two bridge ends), which turns it into one weakly simple polygon that
// is then clipped ear by ear.
class EarClipper {
  public:
    struct Node {
        vxVec2 p;
        int id;
        int prev, next;
    };

    int addRing(const vxRing& r, bool counterClockwise)
    {
        const std::size_t n = r.points.size();
        const bool isCcw = signedArea2(r.points) > 0.0;
        const int first = static_cast<int>(nodes.size());
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = (isCcw == counterClockwise) ? k : n - 1 - k;
            nodes.push_back({r.points[i], r.ids[i], 0, 0});
        }
        for (std::size_t k = 0; k < n; ++k) {
            Node& nd = nodes[static_cast<std::size_t>(first) + k];
            nd.prev = first + static_cast<int>((k + n - 1) % n);
            nd.next = first + static_cast<int>((k + 1) % n);
        }
        return first;
    }

    Node& node(int i) { return nodes[static_cast<std::size_t>(i)]; }

    static double turn(vxVec2 a, vxVec2 b, vxVec2 c) { return cross2(b - a, c - b); }

    bool same(int i, int j) { return node(i).p.x == node(j).p.x && node(i).p.y == node(j).p.y; }

    // Whether direction d from node i points into the polygon's interior
    // wedge at i (interior on the left of prev -> i -> next).
    bool sectorContains(int i, vxVec2 d)
    {
        const vxVec2 p = node(i).p;
        const vxVec2 en = node(node(i).next).p - p;
        const vxVec2 ep = node(node(i).prev).p - p;
        if (cross2(en, ep) > 0.0)
            return cross2(en, d) > 0.0 && cross2(d, ep) > 0.0;
        return !(cross2(ep, d) >= 0.0 && cross2(d, en) >= 0.0);
    }

    // A node of the outer polygon (which starts at start) that the hole node
    // m can see, found by casting a ray from m in +x.
    int findBridge(int m, int start)
    {
        const vxVec2 mp = node(m).p;
        double bestX = std::numeric_limits<double>::infinity();
        int hit = -1;
        bool hitIsVertex = false;
        int p = start;
        do {
            const int q = node(p).next;
            const vxVec2 a = node(p).p, b = node(q).p;
            if ((a.y <= mp.y && b.y >= mp.y) || (b.y <= mp.y && a.y >= mp.y)) {
                if (a.y == b.y) {
                    for (int e : {p, q}) {
                        const double x = node(e).p.x;
                        if (x > mp.x && x < bestX) {
                            bestX = x;
                            hit = e;
                            hitIsVertex = true;
                        }
                    }
                } else {
                    const double x = a.x + (mp.y - a.y) * (b.x - a.x) / (b.y - a.y);
                    if (x > mp.x && x < bestX) {
                        bestX = x;
                        if (a.y == mp.y) {
                            hit = p;
                            hitIsVertex = true;
                        } else if (b.y == mp.y) {
                            hit = q;
                            hitIsVertex = true;
                        } else {
                            hit = a.x > b.x ? p : q;
                            hitIsVertex = false;
                        }
                    }
                }
            }
            p = q;
        } while (p != start);
        if (hit < 0)
            return -1;

        int bridge = hit;
        if (!hitIsVertex) {
            // Reflex corners inside the triangle m, ray hit, candidate could
            // hide the candidate; the one closest in angle to the ray is
            // visible.
            const vxVec2 ip{bestX, mp.y}, cp = node(hit).p;
            double bestAngle = std::numeric_limits<double>::infinity(), bestDist = bestAngle;
            p = start;
            do {
                const vxVec2 r = node(p).p;
                if (p != hit && !same(p, hit) && turn(node(node(p).prev).p, r, node(node(p).next).p) <= 0.0 &&
                    insideInclusive(mp, ip, cp, r)) {
                    const double angle = std::atan2(std::fabs(r.y - mp.y), r.x - mp.x);
                    const double dist = length2(r - mp);
                    if (angle < bestAngle || (angle == bestAngle && dist < bestDist)) {
                        bestAngle = angle;
                        bestDist = dist;
                        bridge = p;
                    }
                }
                p = node(p).next;
            } while (p != start);
        }
        // Among coincident copies (earlier bridges) take the one whose wedge
        // the bridge enters.
        p = start;
        do {
            if (same(p, bridge) && sectorContains(p, mp - node(p).p))
                return p;
            p = node(p).next;
        } while (p != start);
        return bridge;
    }

    static bool insideInclusive(vxVec2 a, vxVec2 b, vxVec2 c, vxVec2 p)
    {
        const double s = signedArea2({a, b, c}) > 0.0 ? 1.0 : -1.0;
        const double eps = 1e-12;
        return s * cross2(b - a, p - a) >= -eps && s * cross2(c - b, p - b) >= -eps &&
               s * cross2(a - c, p - c) >= -eps;
    }

    static bool insideStrict(vxVec2 a, vxVec2 b, vxVec2 c, vxVec2 p)
    {
        const double eps = 1e-12;
        return cross2(b - a, p - a) > eps && cross2(c - b, p - b) > eps && cross2(a - c, p - c) > eps;
    }

    // Joins hole node m to polygon node b with a bridge there and back.
    void splice(int b, int m)
    {
        const int b2 = static_cast<int>(nodes.size());
        nodes.push_back(node(b));
        const int m2 = static_cast<int>(nodes.size());
        nodes.push_back(node(m));
        const int bn = node(b).next, mp = node(m).prev;
        node(b).next = m;
        node(m).prev = b;
        node(b2).next = bn;
        node(bn).prev = b2;
        node(m2).next = b2;
        node(b2).prev = m2;
        node(mp).next = m2;
        node(m2).prev = mp;
    }

    static bool wellShaped(vxVec2 a, vxVec2 b, vxVec2 c)
    {
        const double longest = std::max({length2(b - a), length2(c - b), length2(a - c)});
        return longest > 0.0 && cross2(b - a, c - a) / longest >= 2.0 * kDegenerateHeight;
    }

    bool isEar(int e, bool relaxed)
    {
        const int ia = node(e).prev, ic = node(e).next;
        const vxVec2 a = node(ia).p, b = node(e).p, c = node(ic).p;
        if (relaxed ? turn(a, b, c) <= 0.0 : !wellShaped(a, b, c))
            return false;
        for (int p = node(ic).next; p != ia; p = node(p).next) {
            if (same(p, ia) || same(p, e) || same(p, ic))
                continue;
            if (relaxed ? insideStrict(a, b, c, node(p).p) : insideInclusive(a, b, c, node(p).p))
                return false;
        }
        return true;
    }

    bool clip(int start, int count, std::vector<std::array<int, 3>>& out)
    {
        int ear = start, stop = start;
        bool relaxed = false;
        while (count > 3) {
            if (isEar(ear, relaxed)) {
                out.push_back({node(node(ear).prev).id, node(ear).id, node(node(ear).next).id});
                const int nx = node(ear).next, pv = node(ear).prev;
                node(pv).next = nx;
                node(nx).prev = pv;
                --count;
                ear = stop = nx;
                relaxed = false;
                continue;
            }
            ear = node(ear).next;
            if (ear == stop) {
                if (relaxed)
                    return false;
                relaxed = true;
            }
        }
        const int a = node(ear).prev, c = node(ear).next;
        if (!wellShaped(node(a).p, node(ear).p, node(c).p))
            return false;
        out.push_back({node(a).id, node(ear).id, node(c).id});
        return true;
    }

    std::vector<Node> nodes;
};

} // namespace

bool triangulatePolygon(const vxRing& outer, const std::vector<vxRing>& holes,
                        std::vector<std::array<int, 3>>& triangles)
{
    if (outer.points.size() < 3 || outer.points.size() != outer.ids.size())
        return false;
    EarClipper ec;
    const int start = ec.addRing(outer, true);
    std::size_t count = outer.points.size();

    struct Hole {
        int maxNode;
        double maxX, y;
    };
    std::vector<Hole> hs;
    for (const auto& h : holes) {
        if (h.points.size() < 3 || h.points.size() != h.ids.size())
            return false;
        const int first = ec.addRing(h, false);
        int best = first;
        for (std::size_t k = 0; k < h.points.size(); ++k) {
            const int i = first + static_cast<int>(k);
            const vxVec2 p = ec.node(i).p, q = ec.node(best).p;
            if (p.x > q.x || (p.x == q.x && p.y < q.y))
                best = i;
        }
        hs.push_back({best, ec.node(best).p.x, ec.node(best).p.y});
        count += h.points.size() + 2;
    }
    std::stable_sort(hs.begin(), hs.end(), [](const Hole& a, const Hole& b) {
        return a.maxX > b.maxX || (a.maxX == b.maxX && a.y < b.y);
    });
    for (const auto& h : hs) {
        const int bridge = ec.findBridge(h.maxNode, start);
        if (bridge < 0)
            return false;
        ec.splice(bridge, h.maxNode);
    }
    return ec.clip(start, static_cast<int>(count), triangles);
}

} // namespace vxGen
