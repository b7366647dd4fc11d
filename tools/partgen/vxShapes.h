#pragma once

// Solid shapes that need no boolean operations, each built as one closed,
// outward-oriented 2-manifold shell:
//
// - a prism: a plane polygon with holes extruded along z, whose faces may
//   carry round features (pins standing out, sockets sunk in, bores running
//   through to another face), each a surface of revolution stitched into a
//   circular hole of its face;
// - a lathe part: a profile turned about the z axis;
// - a twisted tube: a section that turns as it rises (a worm's thread).

#include "vxMeshKit.h"

#include <functional>
#include <string>
#include <vector>

namespace vxGen {

// A round feature on a prism face. Its profile runs in (r, h): r the
// distance from the feature axis, h the height above the face along the
// face's outward normal (negative: into the solid). The profile starts on
// the face (h = 0, r > 0) and keeps the material on its left (so a pin goes
// up, a socket goes down). It ends on the axis (r = 0), which closes it, or
// on the face endFace, where its last ring is cut into that face.
struct vxFeature {
    int face = 0;
    vxVec2 at;                   // centre in the face's coordinates
    std::vector<vxVec2> profile; // (r, h)
    int endFace = -1;
    int segments = 24;
    double startAngle = 0.0; // radians, from the face's u axis towards v
};

struct vxPrism {
    // Face numbers: the bottom cap (z = z0), the top cap (z = z1), and one
    // side face per edge of the outer polygon (edge i runs from corner i to
    // corner i + 1).
    static constexpr int kBottom = 0;
    static constexpr int kTop = 1;
    static constexpr int side(int edge) { return 2 + edge; }

    std::vector<vxVec2> outer;              // counter-clockwise
    std::vector<std::vector<vxVec2>> holes; // through holes, either orientation
    double z0 = 0.0, z1 = 1.0;
    std::vector<vxFeature> features;
};

// Where a face coordinate lies: the point, the outward normal and the face's
// u and v axes (u x v = normal). Cap coordinates are the polygon's (x, y);
// a side face's are (distance along the edge from its first corner, z).
struct vxFacePlace {
    vxVec3 point, normal, u, v;
};
vxFacePlace facePlace(const vxPrism& prism, int face, vxVec2 at);

// Builds the prism. False (with a reason) when a face could not be
// triangulated or the description is inconsistent.
bool buildPrism(const vxPrism& prism, vxMesh& out, std::string* error = nullptr);

// Turns the profile (r, h) about the z axis (angle 0 on +x, rising towards
// +y) in the given number of segments. The profile keeps the material on
// its left. A closed loop (every r > 0) joins its last point to its first;
// otherwise the first and last points must lie on the axis and become
// poles. radius, when given, may change the radius of each ring corner
// (profile point, segment) - for treads and knurls.
using vxRadiusFn = std::function<double(std::size_t point, int segment, double r)>;
vxMesh buildLathe(const std::vector<vxVec2>& profile, bool closedLoop, int segments,
                  const vxRadiusFn& radius = {});

// A tube from z0 to z0 + rings*dz whose outer section (counter-clockwise,
// around the origin) turns by turnPerRing radians from ring to ring, with a
// straight round bore of the given radius.
bool buildTwistedTube(const std::vector<vxVec2>& section, double z0, double dz, int rings, double turnPerRing,
                      double boreRadius, int boreSegments, vxMesh& out, std::string* error = nullptr);

// Number of segments that keeps a circle of radius r within tolerance of
// round (a multiple of 8, at least 24).
int roundSegments(double r, double tolerance = 0.03);

// 2D helpers.
// Points of an arc about c from angle a0 to a1 (radians), both ends
// included, in the given number of steps.
std::vector<vxVec2> arcPoints(vxVec2 c, double r, double a0, double a1, int steps);
// A circle as a counter-clockwise ring starting at angle start.
std::vector<vxVec2> circlePoints(vxVec2 c, double r, int segments, double start = 0.0);
std::vector<vxVec2> reversed(std::vector<vxVec2> ring);

} // namespace vxGen
