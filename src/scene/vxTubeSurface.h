#pragma once

// The surface of a tube: a round tube of the tube's radius along a smooth
// curve through its nodes (a centripetal Catmull-Rom spline), its two ends
// closed by flat discs. Built apart from the tube's scene object, whose
// triangle list stays empty, so that picks pass through tubes and exports
// leave them out unless asked for them.
#include "vxVertice.h"

#include <cstddef>
#include <memory>
#include <vector>

class vxTube;
class vxTubeSceneObject;
struct vxSharedMesh;

// How finely tube surfaces are made.
struct vxTubeDetail {
    int sides = 12;         // corners around the tube
    int maxSteps = 4;       // curve pieces between two nodes at most (fewer where it runs straight)
    std::size_t stride = 1; // every stride-th node is used (and the last one)
    bool operator==(const vxTubeDetail&) const = default;
};

// Triangles a scene's tube surfaces may hold together at most; many tubes
// with many nodes are made coarser to stay below it.
inline constexpr std::size_t kTubeTriangleBudget = 3'000'000;

// The detail for a scene of these tubes: the finest that keeps all their
// surfaces within kTubeTriangleBudget.
vxTubeDetail vxTubeDetailFor(const std::vector<const vxTube*>& tubes);

// The surface of a tube, with a normal per corner: across the tube's side
// the direction out from its axis (round, not faceted), on the end discs
// the discs' own. Corners counter-clockwise seen from outside. Empty for a
// tube that draws nothing (vxTubeFaultOf), or whose nodes all coincide.
// When axis is given, it receives the points of the curve the tube follows.
std::vector<vxVertice> vxTubeSurface(const vxTube& tube, const vxTubeDetail& detail = {},
                                     std::vector<vxVector>* axis = nullptr);

// Compiles the mesh's geometry list in the current context, like
// vxSharedMesh::compileGeometry but with each corner's own normal.
void vxCompileRoundGeometry(vxSharedMesh& mesh);

// Makes the surfaces (and axes) of the tube objects that have none yet, all
// at the detail that suits all of them together. Drawing and exports call it.
void vxMakeTubeSurfaces(const std::vector<std::shared_ptr<vxTubeSceneObject>>& tubes);
