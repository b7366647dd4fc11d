#pragma once

// The models of the shipped library: each is built in code by one function.

#include "vxModelBuilder.h"

#include <string>
#include <vector>

namespace vxGen {

struct vxLibraryModel {
    std::string path; // below the library folder, without ".kmf": "Kit/Name" or "Kit/Sub/Name"
    void (*build)(vxModelBuilder&);
};

// Every model of the library, kit by kit.
const std::vector<vxLibraryModel>& vxLibraryModels();

// The kits' model lists (one source file each).
std::vector<vxLibraryModel> vxStarterModels();
std::vector<vxLibraryModel> vxVehicleModels();
std::vector<vxLibraryModel> vxMachineModels();
std::vector<vxLibraryModel> vxShowpieceModels();

} // namespace vxGen
