#pragma once

// Building helpers shared by the library's models.

#include "vxModelBuilder.h"

#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vxGen {

namespace vxKit {

inline std::string cell(const char* face, int n)
{
    return std::string(face) + std::to_string(n);
}

// A column of n blocks of type t standing pin-down, the first on
// connection conn of part base; the others each in the socket of the one
// below. Returns the top block.
inline int column(vxModelBuilder& b, int base, const std::string& conn, const std::string& t, int n,
                  std::int32_t color, double spin = 0.0)
{
    int top = b.attach(t, "pin", base, conn, color, spin);
    for (int i = 1; i < n; ++i)
        top = b.attach(t, "pin", top, "socket", color);
    return top;
}

// Part `t` beside part a, joined by a double pin in a's groove `aGroove`
// and in the new part's groove `groove`. Returns the new part.
inline int beside(vxModelBuilder& b, int a, const std::string& aGroove, const std::string& t,
                  const std::string& groove, std::int32_t color, double spin = 0.0)
{
    const int pin = b.attach("37001", "pin back", a, aGroove, vxColor::Red);
    return b.attach(t, groove, pin, "pin", color, spin);
}

// Of the connections names of part index, the one whose normal points
// most nearly along dir.
inline std::string facing(const vxModelBuilder& b, int index, std::initializer_list<const char*> names,
                          const vxVec3& dir)
{
    std::string best;
    double bestDot = -2.0;
    for (const char* n : names) {
        const double d = dot(b.normal(index, n), normalized(dir));
        if (d > bestDot) {
            bestDot = d;
            best = n;
        }
    }
    return best;
}

// The groove on the face of a block (faces left, right, top, bottom) that
// looks along dir, at cell n.
inline std::string side(const vxModelBuilder& b, int block, const vxVec3& dir, int n = 1)
{
    const std::string face = facing(b, block, {"left1", "right1", "top1", "bottom1"}, dir);
    return face.substr(0, face.size() - 1) + std::to_string(n);
}

// An axle of type t through the bore of part bearing (bore ends "bore
// left" / "bore right", or "back" / "front"), slid along so that its
// middle lies level with the point centre (world, mm).
inline int axleThrough(vxModelBuilder& b, int bearing, const std::string& boreEnd, const std::string& t,
                       const vxVec3& centre, std::int32_t color = vxColor::Silver)
{
    const int axle = b.attachFlush(t, "end1", bearing, boreEnd, color);
    const vxVec3 e1 = b.seat(axle, "end1"), e2 = b.seat(axle, "end2");
    const vxVec3 u = normalized(e2 - e1);
    b.move(axle, u * dot(centre - (e1 + e2) * 0.5, u));
    return axle;
}

// A part placed so that its connection conn has its seat at the world
// point seat, its normal along normal and its reference along reference.
inline int placeAt(vxModelBuilder& b, const std::string& t, const std::string& conn, const vxVec3& seat,
                   const vxVec3& normal, const vxVec3& reference, std::int32_t color)
{
    const vxPartType& type = *vxPartCatalog::find(t);
    const vxPartConnection& c = type.connections[vxConnectionIndex(type, conn)];
    // The part frame with c's (normal, reference, normal x reference) on
    // the given world directions.
    const vxVec3 a1 = c.normal, a2 = c.reference, a3 = cross(a1, a2);
    const vxVec3 b1 = normalized(normal), b2 = normalized(reference), b3 = cross(b1, b2);
    vxFrame f;
    f.ex = b1 * a1.x + b2 * a2.x + b3 * a3.x;
    f.ey = b1 * a1.y + b2 * a2.y + b3 * a3.y;
    f.ez = b1 * a1.z + b2 * a2.z + b3 * a3.z;
    f.origin = seat - f.direction(c.position);
    return b.place(t, f, color);
}

// The direction from a gear's axis to the middle of one of its teeth, in
// its part frame (the teeth lie around the Z axis).
inline vxVec3 toothDirection(const std::string& gear)
{
    const vxMesh& m = vxPartCatalog::mesh(gear);
    double rmax = 0.0;
    for (const vxVec3& v : m.vertices)
        rmax = std::max(rmax, std::hypot(v.x, v.y));
    // The tip corners of all teeth: their angles times the number of teeth
    // all point the same way, the way of the teeth's phase.
    const int teeth = std::max(1, vxPartCatalog::find(gear)->teeth);
    double c = 0.0, s = 0.0;
    for (const vxVec3& v : m.vertices) {
        if (std::hypot(v.x, v.y) < rmax - 1e-3)
            continue;
        const double a = std::atan2(v.x, v.y) * teeth; // from +Y towards +X
        c += std::cos(a);
        s += std::sin(a);
    }
    const double a = std::atan2(s, c) / teeth;
    return {std::sin(a), std::cos(a), 0.0};
}

// Turns gear g about its own axis so that its teeth run in the gaps of the
// meshing gear `fixed` (axes parallel, module 1.5).
inline void meshGears(vxModelBuilder& b, int g, int fixed)
{
    const double pi = 3.14159265358979323846;
    const auto& A = b.part(fixed);
    const auto& B = b.part(g);
    const vxVec3 n = normalized(A.frame.ez);
    auto flat = [&](const vxVec3& v) { return v - n * dot(v, n); };
    auto angle = [&](const vxVec3& from, const vxVec3& to) {
        return std::atan2(dot(n, cross(from, to)), dot(from, to)) * 180.0 / pi;
    };
    const vxVec3 u = normalized(flat(B.frame.origin - A.frame.origin));
    const int za = A.type->teeth, zb = B.type->teeth;
    const double pitchA = 360.0 / za, pitchB = 360.0 / zb;
    const vxVec3 ta = normalized(flat(A.frame.direction(toothDirection(A.type->shortName))));
    double deltaA = std::fmod(angle(ta, u), pitchA);
    if (deltaA < 0)
        deltaA += pitchA;
    double deltaB = std::fmod(180.0 / zb - deltaA * za / zb, pitchB);
    if (deltaB < 0)
        deltaB += pitchB;
    // B's axis may point either way; measure about A's axis throughout.
    const vxVec3 tb = normalized(flat(B.frame.direction(toothDirection(B.type->shortName))));
    const double current = angle(tb, -u);
    const vxVec3 centre = B.frame.origin;
    b.turn(g, centre, n, current - deltaB);
}

// The connection of one of the parts whose seat lies at point (within
// 0.5 mm) with its normal along n: returns the part and sets name ("#k").
// Throws when there is none.
inline int connectionAt(const vxModelBuilder& b, const std::vector<int>& parts, const vxVec3& point,
                        const vxVec3& n, std::string& name)
{
    for (int p : parts) {
        const auto& part = b.part(p);
        const auto& conns = part.type->connections;
        for (std::size_t k = 0; k < conns.size(); ++k) {
            if (conns[k].typ() != 0)
                continue;
            if (length(part.frame.point(conns[k].position) - point) < 0.5 &&
                dot(part.frame.direction(conns[k].normal), n) > 0.99) {
                name = "#" + std::to_string(k + 1);
                return p;
            }
        }
    }
    throw vxModelError("no free hole-kind connection at (" + std::to_string(point.x) + ", " +
                       std::to_string(point.y) + ", " + std::to_string(point.z) + ")");
}

// A double pin in the groove of one of parts at point (normal n). Returns
// the pin.
inline int pinAt(vxModelBuilder& b, const std::vector<int>& parts, const vxVec3& point, const vxVec3& n,
                 std::int32_t color = vxColor::Red)
{
    std::string name;
    const int part = connectionAt(b, parts, point, n, name);
    return b.attach("37001", "pin back", part, name, color);
}

// A strut of type t from double pin `from` to double pin `to`: its first
// hole on `from`, turned so that hole `lastHole` lands on `to`.
inline int strut(vxModelBuilder& b, const std::string& t, int from, int to, const std::string& lastHole,
                 std::int32_t color)
{
    const vxVec3 target = b.seat(to, "pin");
    const int s = b.attachToward(t, "h1u", from, "pin", color, lastHole, target);
    if (length(b.seat(s, lastHole) - target) > 0.05)
        throw vxModelError("strut " + t + " does not reach its second pin");
    return s;
}

// A lattice of struts on a face between two rails of blocks (rails a and
// b, their grooves facing along normal). Level L has its grooves at a0 +
// step * L on rail a and a0 + span + step * L on rail b; span is 45 mm.
// Every fifth level from `from` carries a cross strut, the three levels
// between a diagonal strut (alternating its direction) unless
// diagonals is false.
inline void lattice(vxModelBuilder& b, const std::vector<int>& railA, const std::vector<int>& railB,
                    const vxVec3& a0, const vxVec3& step, const vxVec3& span, const vxVec3& normal, int from,
                    int to, std::int32_t color, bool diagonals = true, std::int32_t pinColor = vxColor::Red)
{
    for (int level = from, j = 0; level <= to; level += 5, ++j) {
        const vxVec3 pa = a0 + step * level;
        const int p1 = pinAt(b, railA, pa, normal, pinColor);
        const int p2 = pinAt(b, railB, pa + span, normal, pinColor);
        strut(b, "33003", p1, p2, "h4u", color);
        if (!diagonals || level + 4 > to)
            continue;
        const vxVec3 lo = a0 + step * (level + 1), hi = a0 + step * (level + 4);
        const bool up = j % 2 == 0;
        const int q1 = pinAt(b, up ? railA : railB, up ? lo : lo + span, normal, pinColor);
        const int q2 = pinAt(b, up ? railB : railA, up ? hi + span : hi, normal, pinColor);
        strut(b, "33023", q1, q2, "h4u", color);
    }
}

// Blocks of type t continuing a chain from block `from` out of its socket
// end (forward = false: out of its pin end). Returns the blocks.
inline std::vector<int> chain(vxModelBuilder& b, int from, const std::string& t, int n, std::int32_t color,
                              bool outOfSocket)
{
    std::vector<int> blocks;
    int last = from;
    for (int i = 0; i < n; ++i) {
        last = outOfSocket ? b.attach(t, "pin", last, "socket", color)
                           : b.attach(t, "socket", last, "pin", color);
        blocks.push_back(last);
    }
    return blocks;
}

// A flat frame of lying blocks: `width` lines side by side, each a chain
// of blocks from the front (the first block's pin points forward) to the
// back; neighbouring lines are joined by double pins under the front
// blocks. Cells are counted from the front, from 0.
struct Chassis {
    std::vector<std::vector<int>> lines;       // lines[i][k]: block k of line i, front first
    std::vector<std::vector<int>> cellBlock;   // lines[i] cell c -> index into lines[i]
    std::vector<std::vector<int>> cellInBlock; // cell number within that block, from 1

    int block(int line, int c) const
    {
        return lines.at(static_cast<std::size_t>(line))
            .at(static_cast<std::size_t>(
                cellBlock.at(static_cast<std::size_t>(line)).at(static_cast<std::size_t>(c))));
    }
    std::string groove(const char* face, int line, int c) const
    {
        return std::string(face) +
               std::to_string(cellInBlock.at(static_cast<std::size_t>(line)).at(static_cast<std::size_t>(c)));
    }
    int cells() const { return static_cast<int>(cellBlock.front().size()); }
    int width() const { return static_cast<int>(lines.size()); }
};

inline int blockCells(const std::string& t)
{
    if (t == "31003" || t == "31011" || t == "31015")
        return 1;
    if (t == "31005" || t == "31013")
        return 2;
    if (t == "31007")
        return 3;
    if (t == "31009")
        return 4;
    return 0;
}

// The chassis with its first line's front block at frame `front` (part
// frame: pin forward, up up); the other lines lie on the front block's
// right side (its +X). types: the block types of each line, front first.
inline Chassis chassis(vxModelBuilder& b, const vxFrame& front, int width,
                       const std::vector<std::string>& types, std::int32_t color)
{
    Chassis c;
    int previousFront = -1;
    for (int i = 0; i < width; ++i) {
        std::vector<int> line;
        std::vector<int> cellBlock, cellInBlock;
        for (std::size_t k = 0; k < types.size(); ++k) {
            int part;
            if (k == 0)
                part = i == 0 ? b.place(types[0], front, color)
                              : beside(b, previousFront, "right1", types[0], "left1", color);
            else
                part = b.attach(types[k], "pin", line.back(), "socket", color);
            line.push_back(part);
            for (int n = 1; n <= blockCells(types[k]); ++n) {
                cellBlock.push_back(static_cast<int>(k));
                cellInBlock.push_back(n);
            }
        }
        previousFront = line.front();
        c.lines.push_back(line);
        c.cellBlock.push_back(cellBlock);
        c.cellInBlock.push_back(cellInBlock);
    }
    return c;
}

// A wheel on the end `end` of an axle: "35001" / "35011" / "35013"
// (one-piece wheels), or "rim45" / "rim60" (a rim with its tyre).
inline int wheel(vxModelBuilder& b, int axle, const std::string& end, const std::string& kind,
                 std::int32_t rimColor = vxColor::Red, std::int32_t tyreColor = vxColor::Black)
{
    if (kind == "rim45" || kind == "rim60") {
        const int rim = b.attachFlush(kind == "rim45" ? "35003" : "35007", "front", axle, end, rimColor);
        b.attach(kind == "rim45" ? "35005" : "35009", "tyre", rim, "rim", tyreColor);
        return rim;
    }
    return b.attachFlush(kind, "front", axle, end, tyreColor);
}

// A pair of wheels on an axle in a bearing block hanging under the chassis
// cell c of line `line`, the axle centred under the chassis; steer turns
// the bearing block (and so the wheels) about its pin.
inline int wheelPair(vxModelBuilder& b, const Chassis& ch, int line, int c, const std::string& axleType,
                     const std::string& wheelKind, std::int32_t rimColor, double steer = 0.0,
                     std::int32_t bearingColor = vxColor::Black, bool lowered = false)
{
    // Lowered: the bearing block hangs under a short block, 7.5 mm lower.
    int holder = ch.block(line, c);
    std::string holderConn = ch.groove("bottom", line, c);
    if (lowered) {
        holder = b.attach("31001", "pin", holder, holderConn, bearingColor, steer);
        holderConn = "socket";
    }
    const int bearing = b.attach("31015", "pin", holder, holderConn, bearingColor, lowered ? 0.0 : steer);
    const vxVec3 left = b.seat(ch.block(0, c), ch.groove("bottom", 0, c));
    const vxVec3 right = b.seat(ch.block(ch.width() - 1, c), ch.groove("bottom", ch.width() - 1, c));
    const vxVec3 bore = (b.seat(bearing, "bore left") + b.seat(bearing, "bore right")) * 0.5;
    vxVec3 centre = (left + right) * 0.5;
    centre.y = bore.y;
    // Centred across the chassis; a steered axle stays centred on its
    // bearing block instead.
    const int axle = axleThrough(b, bearing, "bore left", axleType, steer != 0.0 ? bore : centre);
    wheel(b, axle, "end1", wheelKind, rimColor);
    wheel(b, axle, "end2", wheelKind, rimColor);
    return axle;
}

// A base plate's groove name: groove (1..), cell (1..).
inline std::string g(int groove, int cell)
{
    return "g" + std::to_string(groove) + "." + std::to_string(cell);
}

// A site of base plates 120 x 120 in a grid (columns along +x, rows along
// -z), joined by 30 x 30 tiles across every seam (tileColor -1: the tiles
// take the colour of the plate they start on). plates[row][column].
inline std::vector<std::vector<int>> site(vxModelBuilder& b, int first, int columns, int rows,
                                          int firstColumn, int firstRow, std::int32_t color,
                                          std::int32_t tileColor,
                                          const std::function<std::int32_t(int, int)>& plateColor = {})
{
    std::vector<std::vector<int>> plates(static_cast<std::size_t>(rows),
                                         std::vector<int>(static_cast<std::size_t>(columns), -1));
    plates[static_cast<std::size_t>(firstRow)][static_cast<std::size_t>(firstColumn)] = first;
    const vxVec3 origin = b.part(first).frame.origin;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            if (r == firstRow && c == firstColumn)
                continue;
            const vxVec3 at = origin + vxVec3{120.0 * (c - firstColumn), 0, -120.0 * (r - firstRow)};
            plates[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                b.place("32103", vxFrameAt(at, {0, 0, 1}, {0, 1, 0}), plateColor ? plateColor(r, c) : color);
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int p = plates[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            const std::int32_t tc = tileColor == -1 ? b.part(p).color : tileColor;
            if (c + 1 < columns)
                for (int cell : {2, 6})
                    b.attach("32007", "p1.1", p, g(8, cell), tc);
            if (r + 1 < rows)
                for (int groove : {3, 6})
                    b.attach("32007", "p1.1", p, g(groove, 8), tc);
        }
    return plates;
}

// Lattice on the four faces of a square tower of four block columns 45 mm
// apart (columns ordered back-left, back-right, front-left, front-right
// seen from the front, -z): levels from..to, counted from the foot of the
// columns at height y0, with the back-left column's centre at (x, z).
inline void towerLattice(vxModelBuilder& b, const std::vector<int> (&cols)[4], double x, double y0, double z,
                         int from, int to, std::int32_t color)
{
    const vxVec3 up{0, 15, 0};
    const double h = y0 + 7.5;
    lattice(b, cols[0], cols[1], {x, h, z + 7.5}, up, {45, 0, 0}, {0, 0, 1}, from, to, color);
    lattice(b, cols[2], cols[3], {x, h, z - 52.5}, up, {45, 0, 0}, {0, 0, -1}, from, to, color);
    lattice(b, cols[0], cols[2], {x - 7.5, h, z}, up, {0, 0, -45}, {-1, 0, 0}, from, to, color);
    lattice(b, cols[1], cols[3], {x + 52.5, h, z}, up, {0, 0, -45}, {1, 0, 0}, from, to, color);
}

// A hollow building of block columns on the perimeter of a w x d cell
// rectangle of a base plate (grooves gx.., cells cz..), `layers` blocks of
// 15 high; windows where window(layer, position) says so. A column stops
// below height(position) when that is given.
inline std::vector<int> building(vxModelBuilder& b, int plate, int gx, int cz, int w, int d, int layers,
                                 std::int32_t wallColor, std::int32_t windowColor,
                                 const std::function<bool(int, int)>& window,
                                 const std::function<int(int)>& height = {})
{
    std::vector<std::pair<int, int>> ring;
    for (int i = 0; i < w; ++i)
        ring.push_back({gx + i, cz});
    for (int k = 1; k < d; ++k)
        ring.push_back({gx + w - 1, cz + k});
    for (int i = w - 2; i >= 0; --i)
        ring.push_back({gx + i, cz + d - 1});
    for (int k = d - 2; k >= 1; --k)
        ring.push_back({gx, cz + k});
    std::vector<int> tops;
    for (std::size_t p = 0; p < ring.size(); ++p) {
        const int position = static_cast<int>(p);
        const int n = height ? height(position) : layers;
        int top = -1;
        for (int layer = 0; layer < n; ++layer) {
            const std::int32_t color = window(layer, position) ? windowColor : wallColor;
            top = layer == 0 ? b.attach("31003", "pin", plate, g(ring[p].first, ring[p].second), color)
                             : b.attach("31003", "pin", top, "socket", color);
        }
        tops.push_back(top);
    }
    return tops;
}

// A bearing block sitting on an axle as a hub: its bore's middle at
// centre on the axle (direction axis), its pin pointing along radial.
inline int hub(vxModelBuilder& b, const vxVec3& centre, const vxVec3& axis, const vxVec3& radial,
               std::int32_t color)
{
    const vxVec3 a = normalized(axis), r = normalized(radial);
    return placeAt(b, "31015", "bore left", centre - a * 7.5, -a, cross(r, a), color);
}

// A part with a bore (gear, pulley, wheel) on an axle, slid along the axle
// so that the middle of its bore lies level with point.
inline int onAxle(vxModelBuilder& b, const std::string& t, int axle, const vxVec3& point, std::int32_t color)
{
    const int part = b.attachFlush(t, "back", axle, "end1", color);
    const vxVec3 middle = (b.seat(part, "back") + b.seat(part, "front")) * 0.5;
    const vxVec3 u = normalized(b.seat(axle, "end2") - b.seat(axle, "end1"));
    b.move(part, u * dot(point - middle, u));
    return part;
}

// A tower crane on the base plate `foundation` (at the origin; the mast
// stands in its middle): mast, jib and counter-jib of blocks and struts,
// cat head, cab, ballast, winch, and a trolley at jib level trolleyLevel
// (two past a multiple of five) whose rope runs down to a pallet of bricks
// on loadPlate, right under it.
void crane(vxModelBuilder& b, int foundation, int mastBlocks, int jibBlocks, int counterBlocks,
           int trolleyLevel, int loadPlate);

} // namespace vxKit

} // namespace vxGen
