#pragma once

// Ear-clipping triangulation of a plane polygon with holes.

#include "vxMeshKit.h"

#include <array>
#include <vector>

namespace vxGen {

// A ring of a polygon: its corner points and, for each, the number the
// caller wants to see in the triangles (e.g. a mesh vertex index).
struct vxRing {
    std::vector<vxVec2> points;
    std::vector<int> ids;
};

// Triangulates the polygon whose boundary is outer and whose holes are the
// other rings. Rings may come in either orientation; holes must lie
// strictly inside the outer ring and must not touch each other. Every
// corner is kept (no corner is dropped, even where three are collinear),
// so the triangles share exactly the boundary edges given. The triangles
// are counter-clockwise in the plane (x to the right, y up) and are given
// by the ids of their corners. Returns false when no valid triangulation
// was found (the triangles are then incomplete).
bool triangulatePolygon(const vxRing& outer, const std::vector<vxRing>& holes,
                        std::vector<std::array<int, 3>>& triangles);

// Twice the signed area of a closed ring (positive when counter-clockwise).
double signedArea2(const std::vector<vxVec2>& ring);

} // namespace vxGen
