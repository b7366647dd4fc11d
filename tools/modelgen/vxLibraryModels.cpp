#include "vxLibraryModels.h"

namespace vxGen {

const std::vector<vxLibraryModel>& vxLibraryModels()
{
    static const std::vector<vxLibraryModel> all = [] {
        std::vector<vxLibraryModel> list;
        for (auto kit : {vxStarterModels, vxVehicleModels, vxMachineModels, vxShowpieceModels}) {
            auto models = kit();
            list.insert(list.end(), models.begin(), models.end());
        }
        return list;
    }();
    return all;
}

} // namespace vxGen
