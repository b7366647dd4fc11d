#pragma once

// The path of a tube as drawing and exports use it: its nodes, and what
// keeps a tube from being drawn at all.
#include "vxModel.h"

#include <array>
#include <cstdint>
#include <vector>

// Why a tube draws nothing.
enum class vxTubeFault {
    kNone,
    kTooFewNodes,    // COUNT below 2
    kNodeNotFinite,  // a node of its path has a coordinate that is no finite number
    kRadiusNotUsable // the radius is not a finite number above 0
};

// The fault of a tube (kNone when it can be drawn). The path is nodes 0 to
// COUNT - 1, no more than a tube holds (200).
vxTubeFault vxTubeFaultOf(const vxTube& tube);

// The nodes of a tube's path, in order, in model units (empty for a tube
// with a fault). Nodes that repeat the one before are left out.
std::vector<std::array<double, 3>> vxTubeNodes(const vxTube& tube);
