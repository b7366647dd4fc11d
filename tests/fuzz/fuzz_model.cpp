// Fuzzes the model loader over a small fixed resource folder of definitions.
#include "vxModel.h"
#include "vxResources.h"
#include "vxSectionText.h"
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
    const std::optional<std::string> text = decodeText(bytes);

    // Hostile but legal counts (up to the loader's limits) only cost time
    // and memory: the model tests load them once. Here they would slow every
    // run down to a few per second, so such inputs are left out.
    std::int64_t parts = 0, tubes = 0;
    vxSectionText::runPlainPass(text, {"[COMMON]"}, {1}, 0,
                                [&](int section, std::string_view key, std::string_view value) {
                                    if (section != 1)
                                        return;
                                    if (key == "COUNT")
                                        parts = vxSectionText::toInteger(value);
                                    else if (key == "TUBECOUNT")
                                        tubes = vxSectionText::toInteger(value);
                                });
    if (parts > 5000 || tubes > 2000)
        return -1; // not added to the corpus

    vxModel model;
    vxLoadResult r = model.loadModelFromText(text);
    if (r.ok) {
        volatile std::int32_t m = model.maximumBauphase();
        (void)m;
        for (const auto& p : model.partList())
            (void)p->definition().GetGroupAsString();
        for (const auto& t : model.tubeList()) {
            vxVector v;
            for (int i = -1; i <= 200; ++i)
                t->getTubeNode(i, v);
        }
    }
    return 0;
}
