#include "vxModelBuilder.h"
#include "vxLens.h"
#include "vxStepCheck.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <numeric>
#include <queue>
#include <regex>
#include <set>
#include <unordered_map>

namespace vxGen {

namespace {

constexpr double kPi = 3.14159265358979323846;

double radians(double degrees)
{
    return degrees * kPi / 180.0;
}

// ---------------------------------------------------------------- numbers

// A number as the model file writes it: fixed point with at most
// `decimals` places, trailing zeros dropped, never "-0".
std::string number(double v, int decimals)
{
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        throw vxModelError("number out of range");
    std::string s(buffer, end);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    if (s == "-0")
        s = "0";
    return s;
}

// ---------------------------------------------------------------- aliases

// The short alias of a connection's ENG text, or "" when it has none.
// `sameEng` is the position of this connection among those with the same
// text (from 1).
std::string aliasOf(const std::string& eng, int sameEng)
{
    static const std::vector<std::pair<std::regex, std::string>> rules = {
        {std::regex("groove on the (\\w+) face, cell (\\d+)"), "$1$2"},
        {std::regex("groove on the (\\w+) face (\\d+), cell (\\d+)"), "$1$2.$3"},
        {std::regex("groove (\\d+), cell (\\d+)"), "g$1.$2"},
        {std::regex("pin under cell (\\d+),(\\d+)"), "p$1.$2"},
        {std::regex("pin under cell (\\d+)"), "p$1"},
        {std::regex("pin on the top face (\\d+)"), "side$1"},
        {std::regex("hole (\\d+), underside"), "h$1u"},
        {std::regex("hole (\\d+), top side"), "h$1t"},
        {std::regex("bore, back end"), "back"},
        {std::regex("bore, front end"), "front"},
        {std::regex("cross bore, (\\w+) end"), "bore $1"},
        {std::regex("pin on the front face|pin under the base|pin underneath|pin under the bottom edge|"
                    "pin on the bottom face|pin on the back|pin, front"),
         "pin"},
        {std::regex("pin on the back face|pin, back"), "pin back"},
        {std::regex("pin on the upper face"), "pin up"},
        {std::regex("pin, (left|right)"), "pin $1"},
        {std::regex("socket in the back face|socket in the base"), "socket"},
        {std::regex("groove across the back face"), "groove"},
        {std::regex("groove across the (\\w+) face (\\d+)"), "$1$2"},
        {std::regex("output shaft"), "shaft"},
        {std::regex("tyre seat"), "rim"},
        {std::regex("rim seat"), "tyre"},
        {std::regex("plug pin"), "plug"},
        {std::regex("plug socket, (left|right)"), "plug $1"},
    };
    if (eng == "axle end")
        return "end" + std::to_string(sameEng);
    for (const auto& [re, format] : rules) {
        std::smatch m;
        if (std::regex_match(eng, m, re))
            return m.format(format);
    }
    return {};
}

struct AliasTable {
    std::map<std::string, std::vector<std::size_t>> byName; // ENG texts and aliases
};

const AliasTable& aliasTable(const vxPartType& type)
{
    static std::map<std::string, AliasTable> cache;
    auto it = cache.find(type.shortName);
    if (it != cache.end())
        return it->second;
    AliasTable t;
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < type.connections.size(); ++i) {
        const std::string& eng = type.connections[i].eng;
        const int n = ++seen[eng];
        t.byName[eng].push_back(i);
        const std::string alias = aliasOf(eng, n);
        if (!alias.empty() && alias != eng)
            t.byName[alias].push_back(i);
    }
    return cache.emplace(type.shortName, std::move(t)).first->second;
}

// ---------------------------------------------------------------- joins

bool isAxle(const vxPartConnection& c)
{
    return c.kind == vxConnectionKind::Axle;
}

bool isBoreLike(const vxPartConnection& c)
{
    return c.kind == vxConnectionKind::Bore || c.kind == vxConnectionKind::Hole;
}

bool fitEachOther(const vxPartConnection& a, const vxPartConnection& b)
{
    return fits(a.kind, b.kind) || fits(b.kind, a.kind);
}

struct UnionFind {
    std::vector<std::size_t> parent;
    explicit UnionFind(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    std::size_t find(std::size_t i)
    {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    }
    void join(std::size_t a, std::size_t b) { parent[find(a)] = find(b); }
};

// The eight corners of a part's bounding box in the world.
std::array<vxVec3, 8> corners(const vxModelBuilder::Part& p)
{
    std::array<vxVec3, 8> c;
    const vxVec3 lo = p.type->boundsMin, hi = p.type->boundsMax;
    for (int k = 0; k < 8; ++k)
        c[static_cast<std::size_t>(k)] =
            p.frame.point({(k & 1) ? hi.x : lo.x, (k & 2) ? hi.y : lo.y, (k & 4) ? hi.z : lo.z});
    return c;
}

vxVec3 orthonormalDirection(const vxVec3& up, const vxVec3& direction)
{
    return normalized(direction - up * dot(direction, up));
}

} // namespace

// ---------------------------------------------------------------- frames

vxFrame vxFrameAt(const vxVec3& origin, const vxVec3& direction, const vxVec3& up)
{
    vxFrame f;
    f.origin = origin;
    f.ey = normalized(up);
    f.ez = orthonormalDirection(f.ey, direction);
    f.ex = cross(f.ey, f.ez);
    return f;
}

vxFrame vxCompose(const vxFrame& a, const vxFrame& b)
{
    vxFrame f;
    f.origin = a.point(b.origin);
    f.ex = a.direction(b.ex);
    f.ey = a.direction(b.ey);
    f.ez = a.direction(b.ez);
    return f;
}

vxVec3 vxRotate(const vxVec3& v, const vxVec3& axisIn, double degrees)
{
    const vxVec3 k = normalized(axisIn);
    const double c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
    // Rodrigues' rotation; quarter turns come out exact.
    const double cc = std::abs(c) < 1e-12 ? 0.0 : c, ss = std::abs(s) < 1e-12 ? 0.0 : s;
    return v * cc + cross(k, v) * ss + k * (dot(k, v) * (1.0 - cc));
}

vxFrame vxRotated(const vxFrame& f, const vxVec3& point, const vxVec3& axis, double degrees)
{
    vxFrame r;
    r.origin = point + vxRotate(f.origin - point, axis, degrees);
    r.ex = vxRotate(f.ex, axis, degrees);
    r.ey = vxRotate(f.ey, axis, degrees);
    r.ez = vxRotate(f.ez, axis, degrees);
    return r;
}

vxFrame vxMoved(const vxFrame& f, const vxVec3& by)
{
    vxFrame r = f;
    r.origin = f.origin + by;
    return r;
}

std::size_t vxConnectionIndex(const vxPartType& type, const std::string& sel)
{
    if (sel.size() > 1 && sel[0] == '#') {
        std::size_t n = 0;
        auto [p, ec] = std::from_chars(sel.data() + 1, sel.data() + sel.size(), n);
        if (ec == std::errc() && p == sel.data() + sel.size() && n >= 1 && n <= type.connections.size())
            return n - 1;
    }
    const AliasTable& t = aliasTable(type);
    auto it = t.byName.find(sel);
    if (it != t.byName.end() && it->second.size() == 1)
        return it->second.front();
    std::string known;
    for (const auto& [name, list] : t.byName)
        known += (known.empty() ? "" : ", ") + name;
    throw vxModelError("part " + type.shortName + " (" + type.name + ") has " +
                       (it == t.byName.end() ? "no connection" : "several connections") + " called '" + sel +
                       "'; it has: " + known);
}

// ---------------------------------------------------------------- builder

void vxModelBuilder::describe(const std::string& model, const std::string& original,
                              const std::string& builtBy)
{
    for (const std::string* s : {&model, &original, &builtBy})
        for (char ch : *s)
            if (static_cast<unsigned char>(ch) > 126 || static_cast<unsigned char>(ch) < 32 || ch == '=')
                throw vxModelError("information text with a character the model file cannot hold: " + *s);
    m_infModel = model;
    m_infOriginal = original;
    m_infBuiltBy = builtBy;
}

const vxPartType& vxModelBuilder::type(const std::string& shortName) const
{
    const vxPartType* t = vxPartCatalog::find(shortName);
    if (!t)
        throw vxModelError("no part type " + shortName + " in the catalogue");
    return *t;
}

int vxModelBuilder::place(const std::string& shortName, const vxFrame& frame, std::int32_t color)
{
    Part p;
    p.type = &type(shortName);
    p.frame = frame;
    p.color = color;
    p.phase = m_phase;
    m_parts.push_back(p);
    return static_cast<int>(m_parts.size()) - 1;
}

vxModelBuilder::WorldConnection vxModelBuilder::connection(int index, const std::string& sel) const
{
    const Part& p = part(index);
    const vxPartConnection& c = p.type->connections[vxConnectionIndex(*p.type, sel)];
    return {&c, p.frame.point(c.position), p.frame.direction(c.normal), p.frame.direction(c.reference)};
}

vxFrame vxModelBuilder::joinFrame(const std::string& shortName, const std::string& conn, int to,
                                  const std::string& toConn, bool flush, double spin, double shift) const
{
    const vxPartType& t = type(shortName);
    const vxPartConnection& moving = t.connections[vxConnectionIndex(t, conn)];
    const Part& fixedPart = part(to);
    const vxPartConnection& fixed = fixedPart.type->connections[vxConnectionIndex(*fixedPart.type, toConn)];
    // The rotation taking the moving connection's (normal, reference) to
    // the fixed one's (-normal or normal, reference), in the fixed part's
    // frame.
    const vxVec3 a1 = moving.normal, a2 = moving.reference, a3 = cross(a1, a2);
    const vxVec3 b1 = flush ? fixed.normal : -fixed.normal, b2 = fixed.reference, b3 = cross(b1, b2);
    vxFrame local;
    local.ex = b1 * a1.x + b2 * a2.x + b3 * a3.x;
    local.ey = b1 * a1.y + b2 * a2.y + b3 * a3.y;
    local.ez = b1 * a1.z + b2 * a2.z + b3 * a3.z;
    local.origin = fixed.position - local.direction(moving.position) + fixed.normal * shift;
    vxFrame world = vxCompose(fixedPart.frame, local);
    if (spin != 0.0)
        world = vxRotated(world, fixedPart.frame.point(fixed.position),
                          fixedPart.frame.direction(fixed.normal), spin);
    return world;
}

int vxModelBuilder::attach(const std::string& shortName, const std::string& conn, int to,
                           const std::string& toConn, std::int32_t color, double spin)
{
    return place(shortName, joinFrame(shortName, conn, to, toConn, false, spin), color);
}

int vxModelBuilder::attachFlush(const std::string& shortName, const std::string& conn, int to,
                                const std::string& toConn, std::int32_t color, double shift, double spin)
{
    return place(shortName, joinFrame(shortName, conn, to, toConn, true, spin, shift), color);
}

namespace {

// The angle (degrees) about axis that turns now onto want, both flattened
// onto the plane across the axis; 0 when either has no part there.
double turnAngle(const vxVec3& axis, const vxVec3& now, const vxVec3& want)
{
    auto flat = [&](const vxVec3& v) { return v - axis * dot(v, axis); };
    const vxVec3 a = flat(now), b = flat(want);
    if (length(a) < 1e-9 || length(b) < 1e-9)
        return 0.0;
    return std::atan2(dot(axis, cross(a, b)), dot(a, b)) * 180.0 / kPi;
}

} // namespace

int vxModelBuilder::attachTurned(const std::string& shortName, const std::string& conn, int to,
                                 const std::string& toConn, std::int32_t color, const std::string& aim,
                                 const vxVec3& direction, bool byNormal)
{
    const int index = attach(shortName, conn, to, toConn, color);
    const WorldConnection joint = connection(to, toConn);
    const vxVec3 axis = normalized(joint.normal);
    const vxVec3 from = byNormal ? normal(index, aim) : seat(index, aim) - joint.seat;
    turn(index, joint.seat, axis, turnAngle(axis, from, direction));
    return index;
}

int vxModelBuilder::attachToward(const std::string& shortName, const std::string& conn, int to,
                                 const std::string& toConn, std::int32_t color, const std::string& aim,
                                 const vxVec3& target)
{
    return attachTurned(shortName, conn, to, toConn, color, aim, target - connection(to, toConn).seat, false);
}

int vxModelBuilder::attachAlong(const std::string& shortName, const std::string& conn, int to,
                                const std::string& toConn, std::int32_t color, const std::string& aim,
                                const vxVec3& direction)
{
    return attachTurned(shortName, conn, to, toConn, color, aim, direction, false);
}

int vxModelBuilder::attachFacing(const std::string& shortName, const std::string& conn, int to,
                                 const std::string& toConn, std::int32_t color, const std::string& aim,
                                 const vxVec3& direction)
{
    return attachTurned(shortName, conn, to, toConn, color, aim, direction, true);
}

void vxModelBuilder::move(int index, const vxVec3& by)
{
    part(index).frame.origin = part(index).frame.origin + by;
}

void vxModelBuilder::turn(int index, const vxVec3& point, const vxVec3& axis, double degrees)
{
    Part& p = part(index);
    p.frame = vxRotated(p.frame, point, axis, degrees);
}

void vxModelBuilder::tube(double radius, std::int32_t color, const std::vector<vxVec3>& points)
{
    if (points.size() < 2)
        throw vxModelError("a tube needs two points at least");
    Tube t;
    t.radius = radius;
    t.color = color;
    // Catmull-Rom through the points, about one node per 8 mm, at most 200.
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += vxGen::length(points[i] - points[i - 1]);
    const std::size_t segments = points.size() - 1;
    const std::size_t perSegment =
        std::clamp<std::size_t>(static_cast<std::size_t>(length / 8.0 / static_cast<double>(segments)) + 1, 1,
                                std::max<std::size_t>(1, 199 / segments));
    auto at = [&](std::ptrdiff_t i) {
        return points[static_cast<std::size_t>(
            std::clamp<std::ptrdiff_t>(i, 0, static_cast<std::ptrdiff_t>(segments)))];
    };
    for (std::size_t s = 0; s < segments; ++s) {
        const auto i = static_cast<std::ptrdiff_t>(s);
        const vxVec3 p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        for (std::size_t k = 0; k < perSegment; ++k) {
            const double u = static_cast<double>(k) / static_cast<double>(perSegment);
            const double u2 = u * u, u3 = u2 * u;
            t.nodes.push_back((p1 * 2.0 + (p2 - p0) * u + (p0 * 2.0 - p1 * 5.0 + p2 * 4.0 - p3) * u2 +
                               (p1 * 3.0 - p0 - p2 * 3.0 + p3) * u3) *
                              0.5);
        }
    }
    t.nodes.push_back(points.back());
    m_tubes.push_back(std::move(t));
}

void vxModelBuilder::cable(int pa, const std::string& a, int pb, const std::string& b, std::int32_t plugColor,
                           std::int32_t cableColor, double sag, const std::vector<vxVec3>& via)
{
    const int plugA = attach("38009", "plug", pa, a, plugColor);
    const int plugB = attach("38009", "plug", pb, b, plugColor);
    // The cable leaves each plug at its back end, straight on for a bit.
    const vxFrame& fa = part(plugA).frame;
    const vxFrame& fb = part(plugB).frame;
    const vxVec3 startA = fa.point({0, 0, -12}), outA = fa.point({0, 0, -22});
    const vxVec3 startB = fb.point({0, 0, -12}), outB = fb.point({0, 0, -22});
    std::vector<vxVec3> points = {startA, outA};
    if (via.empty()) {
        const vxVec3 mid = (outA + outB) * 0.5 - vxVec3{0, sag, 0};
        points.push_back(mid);
    } else {
        points.insert(points.end(), via.begin(), via.end());
    }
    points.push_back(outB);
    points.push_back(startB);
    tube(1.2, cableColor, points);
}

std::vector<std::vector<std::size_t>> vxModelBuilder::joins() const
{
    const std::size_t n = m_parts.size();
    std::vector<std::vector<std::size_t>> joined(n);
    auto join = [&](std::size_t a, std::size_t b) {
        if (std::find(joined[a].begin(), joined[a].end(), b) == joined[a].end()) {
            joined[a].push_back(b);
            joined[b].push_back(a);
        }
    };

    // Every connection in the world, and a hash of their seats on a 1 mm
    // grid (neighbouring cells are searched too).
    struct Entry {
        std::size_t part;
        WorldConnection c;
    };
    std::vector<Entry> all;
    for (std::size_t i = 0; i < n; ++i) {
        const Part& p = m_parts[i];
        for (const vxPartConnection& c : p.type->connections)
            all.push_back({i,
                           {&c, p.frame.point(c.position), p.frame.direction(c.normal),
                            p.frame.direction(c.reference)}});
    }
    auto key = [](long x, long y, long z) { return (x * 73856093L) ^ (y * 19349663L) ^ (z * 83492791L); };
    std::unordered_multimap<long, std::size_t> grid;
    for (std::size_t k = 0; k < all.size(); ++k) {
        const vxVec3& s = all[k].c.seat;
        grid.emplace(key(std::lround(s.x), std::lround(s.y), std::lround(s.z)), k);
    }
    for (std::size_t k = 0; k < all.size(); ++k) {
        const vxVec3& s = all[k].c.seat;
        const long x = std::lround(s.x), y = std::lround(s.y), z = std::lround(s.z);
        for (long dx = -1; dx <= 1; ++dx)
            for (long dy = -1; dy <= 1; ++dy)
                for (long dz = -1; dz <= 1; ++dz) {
                    auto range = grid.equal_range(key(x + dx, y + dy, z + dz));
                    for (auto it = range.first; it != range.second; ++it) {
                        const Entry& o = all[it->second];
                        if (o.part == all[k].part || !fitEachOther(*o.c.connection, *all[k].c.connection))
                            continue;
                        if (length(o.c.seat - s) <= 0.1)
                            join(o.part, all[k].part);
                    }
                }
    }
    // Axles running through bores and holes.
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<vxVec3> ends;
        for (const vxPartConnection& c : m_parts[i].type->connections)
            if (isAxle(c))
                ends.push_back(m_parts[i].frame.point(c.position));
        if (ends.size() != 2)
            continue;
        const vxVec3 axis = ends[1] - ends[0];
        const double len = length(axis);
        const vxVec3 u = axis * (1.0 / len);
        for (const Entry& e : all) {
            if (e.part == i || !isBoreLike(*e.c.connection) || std::abs(dot(e.c.normal, u)) < 0.999)
                continue;
            const double t = dot(e.c.seat - ends[0], u);
            if (t < -0.1 || t > len + 0.1)
                continue;
            if (length(e.c.seat - (ends[0] + u * t)) <= 0.1)
                join(i, e.part);
        }
    }
    return joined;
}

std::vector<std::string> vxModelBuilder::problems() const
{
    std::vector<std::string> found;
    const std::size_t n = m_parts.size();
    if (n == 0)
        return {"the model has no parts"};
    const std::vector<std::vector<std::size_t>> joined = joins();
    UnionFind sets(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j : joined[i])
            sets.join(i, j);
    for (std::size_t i = 1; i < n; ++i) {
        const std::string name = "part " + std::to_string(i + 1) + " (" + m_parts[i].type->shortName + " " +
                                 m_parts[i].type->name + ")";
        if (joined[i].empty())
            found.push_back(name + " is not joined to any other part");
        else if (sets.find(i) != sets.find(0))
            found.push_back(name + " is not connected with the first part");
    }
    for (const Tube& t : m_tubes)
        if (t.nodes.size() > 200)
            found.push_back("a tube with more than 200 nodes");
    return found;
}

void vxModelBuilder::validate() const
{
    const std::vector<std::string> trouble = problems();
    if (!trouble.empty()) {
        std::string text = trouble.front();
        if (trouble.size() > 1)
            text += " (and " + std::to_string(trouble.size() - 1) + " more problems)";
        throw vxModelError(text);
    }
}

vxModelBuilder::Ground vxModelBuilder::placeOnGround() const
{
    // The lowest point of any mesh at y = 0, the middle of the footprint
    // over the origin.
    Ground g;
    g.lo = {1e30, 1e30, 1e30};
    g.hi = {-1e30, -1e30, -1e30};
    for (const Part& p : m_parts)
        for (const vxVec3& v : vxPartCatalog::mesh(p.type->shortName).vertices) {
            const vxVec3 w = p.frame.point(v);
            g.lo = {std::min(g.lo.x, w.x), std::min(g.lo.y, w.y), std::min(g.lo.z, w.z)};
            g.hi = {std::max(g.hi.x, w.x), std::max(g.hi.y, w.y), std::max(g.hi.z, w.z)};
        }
    g.shift = {-(g.lo.x + g.hi.x) / 2.0, -g.lo.y, -(g.lo.z + g.hi.z) / 2.0};
    return g;
}

namespace {

using Box = vxBox;

// Where a part comes in the building of its area: areas one after the
// other, within one the courses from the bottom up, round each course in
// turn (or, along a long low area such as a jib, section after section).
struct BuildKey {
    std::size_t area = 0;
    long primary = 0, secondary = 0;
    std::size_t index = 0;
    auto tie() const { return std::tie(area, primary, secondary, index); }
    bool operator<(const BuildKey& o) const { return tie() < o.tie(); }
    bool operator>(const BuildKey& o) const { return o < *this; }
};

// Parts closer than this belong to one area, as a wall with a door or
// windows in it (mm: a gap of two blocks or less).
constexpr double kAreaGap = 31.0;

// A long section of a low, long area (mm along it).
constexpr double kSection = 60.0;

// The cost of ending a step between parts a and b of a phase: nothing
// between areas, little between courses or sections, much within one.
double cutCostPlain(const std::vector<BuildKey>& key, std::size_t a, std::size_t b)
{
    if (key[a].area != key[b].area)
        return 0.0;
    if (key[a].primary != key[b].primary)
        return 10.0;
    return 60.0;
}

} // namespace

bool vxModelBuilder::isConnector(std::size_t index) const
{
    const std::string& t = m_parts[index].type->shortName;
    return t == "37001" || t == "37003" || t == "37005";
}

std::vector<std::pair<std::size_t, int>> vxModelBuilder::steps() const
{
    return phaseOrder();
}

std::vector<std::pair<std::size_t, int>> vxModelBuilder::phaseOrder() const
{
    const std::size_t n = m_parts.size();
    const std::vector<std::vector<std::size_t>> joined = joins();
    std::vector<Box> box(n);
    Box all;
    for (std::size_t i = 0; i < n; ++i) {
        box[i] = vxBoxOf(m_parts[i]);
        all.add(box[i]);
    }
    const double modelSize = std::max(all.diagonal(), 1.0);

    // A pin that joins two parts goes in right before the second of them
    // (the one that covers it); until then the parts it joins count as
    // joined to each other.
    std::vector<char> deferred(n, 0);
    for (std::size_t i = 1; i < n; ++i)
        if (isConnector(i))
            deferred[i] = std::count_if(joined[i].begin(), joined[i].end(),
                                        [&](std::size_t j) { return !isConnector(j); }) >= 2;
    std::vector<std::vector<std::size_t>> near(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (deferred[i])
            continue;
        for (std::size_t j : joined[i]) {
            if (!deferred[j])
                near[i].push_back(j);
            else
                for (std::size_t k : joined[j])
                    if (k != i && !deferred[k])
                        near[i].push_back(k);
        }
        std::sort(near[i].begin(), near[i].end());
        near[i].erase(std::unique(near[i].begin(), near[i].end()), near[i].end());
    }

    // The building keys of the parts still to build in a phase: the areas
    // (parts joined or nearly touching) in the order they were made, each built
    // course by course (round each course), or section by section along a
    // long low area.
    std::vector<BuildKey> key(n);
    auto keyPhase = [&](const std::vector<std::size_t>& pending) {
        std::unordered_map<std::size_t, std::size_t> slot;
        for (std::size_t k = 0; k < pending.size(); ++k)
            slot[pending[k]] = k;
        UnionFind areas(pending.size());
        for (std::size_t a = 0; a < pending.size(); ++a) {
            for (std::size_t j : near[pending[a]])
                if (auto it = slot.find(j); it != slot.end())
                    areas.join(a, it->second);
            for (std::size_t c = a + 1; c < pending.size(); ++c)
                if (box[pending[a]].gap(box[pending[c]]) <= kAreaGap)
                    areas.join(a, c);
        }
        std::map<std::size_t, std::vector<std::size_t>> members; // by the area's root
        for (std::size_t a = 0; a < pending.size(); ++a)
            members[areas.find(a)].push_back(pending[a]);
        std::vector<std::vector<std::size_t>> list;
        for (auto& [root, parts] : members)
            list.push_back(parts);
        std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
            return *std::min_element(a.begin(), a.end()) < *std::min_element(b.begin(), b.end());
        });
        for (std::size_t area = 0; area < list.size(); ++area) {
            Box b;
            for (std::size_t i : list[area])
                b.add(box[i]);
            const vxVec3 size = b.hi - b.lo, middle = b.middle();
            const double across = std::min(size.x, size.z), along = std::max(size.x, size.z);
            const bool lengthwise = along > 4.0 * std::max(across, size.y) && along > 300.0;
            const vxVec3 u = size.x >= size.z ? vxVec3{1, 0, 0} : vxVec3{0, 0, 1};
            for (std::size_t i : list[area]) {
                BuildKey& k = key[i];
                k.area = area;
                k.index = i;
                const long bottom = std::lround(box[i].lo.y - b.lo.y);
                if (lengthwise) {
                    k.primary =
                        static_cast<long>(std::floor((dot(box[i].middle() - b.lo, u) + 1.0) / kSection));
                    k.secondary = bottom;
                } else {
                    // Round the course from the front left, anticlockwise
                    // seen from above.
                    const vxVec3 d = box[i].middle() - middle;
                    const double angle = std::atan2(-d.z, d.x) + 0.75 * kPi; // front left = 0
                    k.primary = bottom;
                    k.secondary = std::lround(std::fmod(angle + 4.0 * kPi, 2.0 * kPi) * 1000.0);
                }
            }
        }
    };

    // The parts of each phase in that order, every part after one it is
    // joined to (the first part starts the model). A part whose support
    // comes only in a later phase waits for it.
    std::map<int, std::vector<std::size_t>> byPhase;
    for (std::size_t i = 0; i < n; ++i)
        if (!deferred[i])
            byPhase[m_parts[i].phase].push_back(i);
    std::vector<char> built(n, 0), waiting(n, 0);
    std::vector<std::vector<std::size_t>> groups;
    std::vector<std::size_t> carried;
    for (const auto& [phase, list] : byPhase) {
        std::vector<std::size_t> pending = carried;
        pending.insert(pending.end(), list.begin(), list.end());
        keyPhase(pending);
        auto later = [&](std::size_t a, std::size_t b) { return key[a] > key[b]; };
        std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> ready(later);
        for (std::size_t i : pending) {
            waiting[i] = 1;
            const bool supported =
                std::any_of(near[i].begin(), near[i].end(), [&](std::size_t j) { return built[j]; });
            if (i == 0 || supported)
                ready.push(i);
        }
        std::vector<std::size_t> sequence;
        while (!ready.empty()) {
            const std::size_t i = ready.top();
            ready.pop();
            if (built[i])
                continue;
            built[i] = 1;
            waiting[i] = 0;
            sequence.push_back(i);
            for (std::size_t j : near[i])
                if (waiting[j] && !built[j])
                    ready.push(j);
        }
        carried.clear();
        for (std::size_t i : pending)
            if (!built[i])
                carried.push_back(i);
        std::sort(carried.begin(), carried.end());
        if (!sequence.empty())
            groups.push_back(std::move(sequence));
    }
    if (!carried.empty()) // loose parts (a model that problems() refuses)
        groups.push_back(carried);

    // The pins, each right before the second part it joins.
    {
        std::vector<std::pair<std::size_t, std::size_t>> at(n, {~std::size_t(0), 0}); // group, place
        for (std::size_t g = 0; g < groups.size(); ++g)
            for (std::size_t k = 0; k < groups[g].size(); ++k)
                at[groups[g][k]] = {g, k};
        std::map<std::size_t, std::vector<std::size_t>> before; // part -> pins going in before it
        std::vector<std::size_t> unplaced;
        for (std::size_t i = 0; i < n; ++i) {
            if (!deferred[i])
                continue;
            std::vector<std::pair<std::size_t, std::size_t>> places;
            for (std::size_t j : joined[i])
                if (!deferred[j] && at[j].first != ~std::size_t(0))
                    places.push_back(at[j]);
            std::sort(places.begin(), places.end());
            if (places.size() < 2) {
                unplaced.push_back(i);
                continue;
            }
            before[groups[places[1].first][places[1].second]].push_back(i);
        }
        for (auto& group : groups) {
            std::vector<std::size_t> with;
            for (std::size_t i : group) {
                if (auto it = before.find(i); it != before.end())
                    with.insert(with.end(), it->second.begin(), it->second.end());
                with.push_back(i);
            }
            group = std::move(with);
        }
        if (!unplaced.empty())
            groups.push_back(unplaced);
    }

    // Steps of kMinStepParts to kMaxStepParts: a phase too small joins the
    // next (the last one the one before).
    for (std::size_t g = 0; g < groups.size() && groups.size() > 1;) {
        if (groups[g].size() >= static_cast<std::size_t>(kMinStepParts)) {
            ++g;
            continue;
        }
        const std::size_t into = g + 1 < groups.size() ? g + 1 : g - 1;
        auto& target = groups[into];
        if (into > g)
            target.insert(target.begin(), groups[g].begin(), groups[g].end());
        else
            target.insert(target.end(), groups[g].begin(), groups[g].end());
        groups.erase(groups.begin() + static_cast<long>(g));
        if (into < g)
            --g;
    }

    // A large phase is cut into steps where its work changes place: at the
    // end of an area, of a course or of a section, never after a pin, each
    // step's parts close together; fewer, fuller steps first.
    std::vector<std::pair<std::size_t, int>> steps;
    int step = 0;
    for (const auto& group : groups) {
        const std::size_t m = group.size();
        std::vector<std::size_t> cuts; // ends of the steps
        if (m <= static_cast<std::size_t>(kMaxStepParts)) {
            cuts.push_back(m);
        } else {
            auto cutCost = [&](std::size_t i) -> double { // a cut before group[i]
                const std::size_t a = group[i - 1], b = group[i];
                if (deferred[a])
                    return 500.0;
                if (deferred[b] && i + 1 < m)
                    return cutCostPlain(key, group[i - 1], group[i + 1]);
                return cutCostPlain(key, a, b);
            };
            const double inf = 1e300;
            std::vector<double> best(m + 1, inf);
            std::vector<std::size_t> from(m + 1, 0);
            best[0] = 0.0;
            for (std::size_t i = 1; i <= m; ++i) {
                Box span;
                std::vector<std::pair<const vxPartType*, vxBox>> parts;
                for (std::size_t j = i; j-- > 0 && i - j <= static_cast<std::size_t>(kMaxStepParts);) {
                    span.add(box[group[j]]);
                    parts.emplace_back(m_parts[group[j]].type, box[group[j]]);
                    if (i - j < static_cast<std::size_t>(kMinStepParts) || best[j] >= inf)
                        continue;
                    const double spread = span.diagonal() / modelSize;
                    const double size = static_cast<double>(i - j);
                    const double cost = best[j] + 100.0 + (i < m ? cutCost(i) : 0.0) + 40.0 * spread +
                                        300.0 * std::max(0.0, spread - 0.35) +
                                        (vxInOneArea(parts, modelSize) ? 0.0 : 2000.0) +
                                        15.0 * std::max(0.0, 8.0 - size);
                    if (cost < best[i]) {
                        best[i] = cost;
                        from[i] = j;
                    }
                }
            }
            for (std::size_t i = m; i > 0; i = from[i])
                cuts.push_back(i);
            std::reverse(cuts.begin(), cuts.end());
        }
        std::size_t start = 0;
        for (std::size_t end : cuts) {
            ++step;
            for (std::size_t k = start; k < end; ++k)
                steps.emplace_back(group[k], step);
            start = end;
        }
    }
    return steps;
}

vxCameraFit vxFitCamera(const std::vector<vxVec3>& points, vxVec3 target, double azimuth, double elevation)
{
    const double az = radians(azimuth), el = radians(elevation);
    const vxVec3 back{std::sin(az) * std::cos(el), std::sin(el), -std::cos(az) * std::cos(el)};
    const vxVec3 forward = -back;
    const vxVec3 side = normalized(cross(forward, {0, 1, 0}));
    const vxVec3 upScreen = cross(side, forward);
    const double ty = std::tan(radians(vxLens::kFieldOfView / 2.0)), tx = ty * 4.0 / 3.0;
    double distance = 0.0;
    for (int round = 0; round < 12; ++round) {
        // Back off until every point lies inside the margin, then move the
        // target to the middle of the points' picture.
        distance = 0.0;
        for (const vxVec3& p : points) {
            const vxVec3 q = p - target;
            const double x = dot(q, side), y = dot(q, upScreen), z = dot(q, forward);
            distance = std::max(
                {distance, std::abs(x) / (kCameraMargin * tx) - z, std::abs(y) / (kCameraMargin * ty) - z});
        }
        double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
        for (const vxVec3& p : points) {
            const vxVec3 q = p - target;
            const double depth = distance + dot(q, forward);
            const double x = dot(q, side) / (depth * tx), y = dot(q, upScreen) / (depth * ty);
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
        target = target + side * ((minX + maxX) / 2 * tx * distance) +
                 upScreen * ((minY + maxY) / 2 * ty * distance);
    }
    return {target + back * distance, target, forward};
}

vxCameraFit vxModelBuilder::fitCamera(const Ground& ground) const
{
    // Every part's bounding box in centimetres, as the model file has it.
    std::vector<vxVec3> points;
    for (const Part& p : m_parts)
        for (const vxVec3& c : corners(p))
            points.push_back((c + ground.shift) * 0.1);
    const vxVec3& lo = ground.lo;
    const vxVec3& hi = ground.hi;
    const vxVec3 middle =
        (vxVec3{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2} + ground.shift) * 0.1;
    return vxFitCamera(points, middle, m_azimuth, m_elevation);
}

std::string vxModelBuilder::modelFile(bool checked) const
{
    if (checked)
        validate();
    const Ground ground = placeOnGround();
    return write(ground, phaseOrder(), fitCamera(ground));
}

std::string vxModelBuilder::write(const Ground& ground, const std::vector<std::pair<std::size_t, int>>& order,
                                  const vxCameraFit& camera) const
{
    const vxVec3& shift = ground.shift;
    std::string f;
    auto line = [&f](const std::string& s) { f += s + "\r\n"; };
    auto vec = [&](const char* prefix, const vxVec3& v, int decimals) {
        line(std::string(prefix) + "X=" + number(v.x, decimals));
        line(std::string(prefix) + "Y=" + number(v.y, decimals));
        line(std::string(prefix) + "Z=" + number(v.z, decimals));
    };
    line("[CAMERA]");
    vec("POSITION", camera.eye, 3);
    vec("DIRECTION", camera.forward, 6);
    vec("UP", {0, 1, 0}, 6);
    vec("TARGET", camera.target, 3);
    line("[COMMON]");
    line("COUNT=" + std::to_string(m_parts.size()));
    line("TUBECOUNT=" + std::to_string(m_tubes.size()));
    line("INFMODELL=" + m_infModel);
    line("INFORIGINAL=" + m_infOriginal);
    line("INFGEBAUT=" + m_infBuiltBy);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const Part& p = m_parts[order[k].first];
        const vxVec3 pos = (p.frame.origin + shift) * 0.1;
        const vxVec3 up = normalized(p.frame.ey);
        const vxVec3 dir = orthonormalDirection(up, p.frame.ez);
        line("[PART" + std::to_string(k + 1) + "]");
        line("NAME=K" + p.type->shortName + "_" + p.type->name);
        line("XPOS=" + number(pos.x, 4));
        line("YPOS=" + number(pos.y, 4));
        line("ZPOS=" + number(pos.z, 4));
        line("XUP=" + number(up.x, 6));
        line("YUP=" + number(up.y, 6));
        line("ZUP=" + number(up.z, 6));
        line("XDIR=" + number(dir.x, 6));
        line("YDIR=" + number(dir.y, 6));
        line("ZDIR=" + number(dir.z, 6));
        line("COLOR=" + std::to_string(p.color));
        line("PHASE=" + std::to_string(order[k].second));
    }
    for (std::size_t k = 0; k < m_tubes.size(); ++k) {
        const Tube& t = m_tubes[k];
        line("[TUBE" + std::to_string(k + 1) + "]");
        line("RADIUS=" + number(t.radius * 0.1, 4));
        line("COUNT=" + std::to_string(t.nodes.size()));
        line("COLOR=" + std::to_string(t.color));
        for (std::size_t i = 0; i < t.nodes.size(); ++i) {
            const vxVec3 v = (t.nodes[i] + shift) * 0.1;
            line("X" + std::to_string(i) + "=" + number(v.x, 4));
            line("Y" + std::to_string(i) + "=" + number(v.y, 4));
            line("Z" + std::to_string(i) + "=" + number(v.z, 4));
        }
    }
    return f;
}

} // namespace vxGen
