#pragma once

// The designs of the part types: each builds a mesh and its connections in
// the part frame (see vxPartCatalog.h).

#include "vxPartCatalog.h"

#include <functional>
#include <string>
#include <vector>

namespace vxGen {

struct vxPartBuild {
    vxMesh mesh;
    std::vector<vxPartConnection> connections;
    std::string error; // non-empty when the design could not be built
};

// A part type's catalogue values and the function that builds it.
struct vxPartDesign {
    vxPartType type; // everything but the fields filled from the mesh
    std::function<vxPartBuild()> build;
};

// All designs, in catalogue order.
std::vector<vxPartDesign> vxPartDesigns();

} // namespace vxGen
