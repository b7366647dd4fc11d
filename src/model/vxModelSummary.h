#pragma once

#include <cstdint>
#include <string>

// What a list of models shows of one model without loading it: read from
// its [COMMON] section and the PHASE keys of its part sections by the same
// rules as a load, but without reading any definition or mesh.
struct vxModelSummary {
    bool ok = false;         // the file could be read
    std::int32_t parts = 0;  // COUNT (0 when below 0)
    std::int32_t phases = 1; // the model's last building phase, at least 1
    std::string information; // INFMODELL
};

vxModelSummary vxReadModelSummary(const std::string& path);
