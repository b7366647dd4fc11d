// Fuzzes the model loader over a small fixed resource folder of definitions.
#include "vxModel.h"
#include "vxResources.h"
#include "vxTextFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    vxResources::setResourceFolder(std::string(KOLBRIK_TEST_DATA) + "/fuzz-resources");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vxModel model;
    vxLoadResult r = model.loadModelFromText(decodeWindows1252(bytes));
    if (r.ok) {
        volatile std::int32_t m = model.maximumBauphase();
        (void)m;
        for (const auto& p : model.partList()) {
            vxVector v;
            (void)p->definition().GetGroupAsString();
            (void)v;
        }
        for (const auto& t : model.tubeList()) {
            vxVector v;
            for (int i = -1; i <= 200; ++i)
                t->getTubeNode(i, v);
        }
    }
    return 0;
}
