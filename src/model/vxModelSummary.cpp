#include "vxModelSummary.h"

#include "vxModel.h"
#include "vxSectionText.h"
#include "vxTextFile.h"

#include <algorithm>
#include <vector>

vxModelSummary vxReadModelSummary(const std::string& path)
{
    vxModelSummary s;
    const std::optional<std::string> text = readSectionTextFile(path, vxFileLimits::kModelFile);
    if (!text)
        return s;
    s.ok = true;
    std::int32_t count = 0;
    vxSectionText::runPlainPass(text, {"[COMMON]"}, {2}, 0,
                                [&](int section, std::string_view key, std::string_view value) {
                                    if (section != 2)
                                        return;
                                    if (key == "COUNT")
                                        count = vxSectionText::toInteger(value);
                                    else if (key == "INFMODELL")
                                        s.information = std::string(value);
                                });
    s.parts = std::max(count, 0);
    // The last PHASE of each part section counts, as in a load.
    std::vector<std::int32_t> phases(static_cast<std::size_t>(std::min(s.parts, vxModel::kMaxParts)), 0);
    vxSectionText::runNumberedPass(
        text, "[PART", 0, [&](int index, std::string_view key, std::string_view value) {
            if (key == "PHASE" && static_cast<std::size_t>(index) < phases.size())
                phases[static_cast<std::size_t>(index)] = vxSectionText::toInteger(value);
        });
    for (std::int32_t p : phases)
        s.phases = std::max(s.phases, p);
    return s;
}
