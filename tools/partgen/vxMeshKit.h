#pragma once

// A small toolkit for building closed triangle meshes of part types:
// double-precision vectors, an indexed mesh, a rigid frame, the binary STL
// writer and a checker for closed, consistently oriented 2-manifolds.
//
// All lengths are millimetres. Triangles are wound counter-clockwise seen
// from outside the solid, so the right-hand normal points outwards.
//
// Everything of the generators (tools/partgen, tools/modelgen) lives in the
// namespace vxGen, so that their vxVec3, vxMesh and vxFrame are never taken
// for the viewer's vxVector and the like.

#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace vxGen {

struct vxVec2 {
    double x = 0.0, y = 0.0;
};

struct vxVec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline vxVec2 operator+(vxVec2 a, vxVec2 b)
{
    return {a.x + b.x, a.y + b.y};
}
inline vxVec2 operator-(vxVec2 a, vxVec2 b)
{
    return {a.x - b.x, a.y - b.y};
}
inline vxVec2 operator*(vxVec2 a, double s)
{
    return {a.x * s, a.y * s};
}
inline double cross2(vxVec2 a, vxVec2 b)
{
    return a.x * b.y - a.y * b.x;
}
inline double dot2(vxVec2 a, vxVec2 b)
{
    return a.x * b.x + a.y * b.y;
}
inline double length2(vxVec2 a)
{
    return std::sqrt(dot2(a, a));
}

inline vxVec3 operator+(vxVec3 a, vxVec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline vxVec3 operator-(vxVec3 a, vxVec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline vxVec3 operator-(vxVec3 a)
{
    return {-a.x, -a.y, -a.z};
}
inline vxVec3 operator*(vxVec3 a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline double dot(vxVec3 a, vxVec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline vxVec3 cross(vxVec3 a, vxVec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(vxVec3 a)
{
    return std::sqrt(dot(a, a));
}
inline vxVec3 normalized(vxVec3 a)
{
    const double l = length(a);
    return l > 0.0 ? a * (1.0 / l) : a;
}

// A rigid placement: a point p goes to origin + ex*p.x + ey*p.y + ez*p.z.
// The axes are meant to be orthonormal; a left-handed set mirrors.
struct vxFrame {
    vxVec3 origin{0, 0, 0};
    vxVec3 ex{1, 0, 0};
    vxVec3 ey{0, 1, 0};
    vxVec3 ez{0, 0, 1};

    vxVec3 point(vxVec3 p) const { return origin + ex * p.x + ey * p.y + ez * p.z; }
    vxVec3 direction(vxVec3 d) const { return ex * d.x + ey * d.y + ez * d.z; }
    bool mirrors() const { return dot(cross(ex, ey), ez) < 0.0; }
};

// An indexed triangle mesh.
class vxMesh {
  public:
    std::vector<vxVec3> vertices;
    std::vector<std::array<int, 3>> triangles;

    int addVertex(const vxVec3& p);
    void addTriangle(int a, int b, int c);
    // The quad a-b-c-d (counter-clockwise from outside), split along its
    // shorter diagonal.
    void addQuad(int a, int b, int c, int d);
    // Appends another mesh's vertices and triangles (no welding).
    void append(const vxMesh& other);
    // Moves every vertex by the frame; a mirroring frame also reverses the
    // windings so that the mesh stays outward-oriented.
    void transform(const vxFrame& frame);
    // Axis-aligned bounds; (0,0,0) twice for an empty mesh.
    void bounds(vxVec3& lo, vxVec3& hi) const;
    // Signed volume (positive for a closed, outward-oriented mesh).
    double volume() const;
};

// What checkMesh found. A mesh is a closed, consistently oriented
// 2-manifold when closedManifold() holds; outward orientation adds a
// positive volume.
struct vxMeshReport {
    std::size_t triangles = 0;
    std::size_t boundaryEdges = 0;       // edges used by one triangle only
    std::size_t overusedEdges = 0;       // edges used by three or more triangles
    std::size_t misorientedEdges = 0;    // edges used twice in the same direction
    std::size_t nonManifoldVertices = 0; // vertices whose triangle fan is not one disc
    std::size_t degenerateTriangles = 0; // repeated corner or (almost) no area
    std::size_t unusedVertices = 0;
    std::size_t components = 0;        // edge-connected shells
    std::size_t selfIntersections = 0; // pairs of non-adjacent triangles that cross
    double volume = 0.0;
    double area = 0.0;

    bool closedManifold() const
    {
        return triangles > 0 && boundaryEdges == 0 && overusedEdges == 0 && misorientedEdges == 0 &&
               nonManifoldVertices == 0 && degenerateTriangles == 0;
    }
    // One closed, outward-oriented, non-self-intersecting shell.
    bool solid() const
    {
        return closedManifold() && components == 1 && selfIntersections == 0 && volume > 0.0;
    }
    std::string summary() const;
};

// A triangle is degenerate when two corners coincide or its height over
// its longest edge is below this (mm).
inline constexpr double kDegenerateHeight = 1e-4;

vxMeshReport checkMesh(const vxMesh& mesh, bool findSelfIntersections);

// Distance from p to the closest point of the mesh surface.
double distanceToSurface(const vxMesh& mesh, const vxVec3& p);
// Whether p lies inside the closed mesh (majority of three ray casts).
bool insideSolid(const vxMesh& mesh, const vxVec3& p);

// Binary STL: the 80-byte header (the text, padded with blanks, cut at 80),
// the triangle count, and per triangle the unit facet normal, the three
// corners (each moved by shift) and two zero attribute bytes. Coordinates
// are rounded to float first and the normals computed from the rounded
// corners, so that normals and windings agree exactly in the file.
std::string stlBytes(const vxMesh& mesh, const std::string& header, const vxVec3& shift);

} // namespace vxGen
