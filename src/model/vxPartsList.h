#pragma once

#include "vxColorNames.h"
#include "vxModel.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One row of a parts list: the parts of one type in one colour.
struct vxPartsListEntry {
    std::int32_t count = 0;
    std::string number;    // the definition's article number (the NAME when not in the catalogue)
    std::string name;      // the definition's name (the NAME when not in the catalogue)
    std::string shortName; // the part type
    std::string group;     // the definition's group name (empty when not in the catalogue)
    std::int32_t groupIndex = 0;
    vxVector color;        // the parts' colour, as the model gives it
    vxColorName colorName; // the palette's name nearest to it
    bool found = false;    // whether the part type's definition was found
    // Indices into the model's part list of the parts counted here, in
    // part-list order.
    std::vector<std::size_t> parts;
};

// The building step a part belongs to: its phase, where phases 0 and below
// (parts always shown) count with the first phase.
inline std::int32_t vxBuildingStepOf(const vxPart& part)
{
    return part.phase() < 1 ? 1 : part.phase();
}

// The parts the model adds in the given phase (every part when no phase is
// given), grouped by part type and colour and sorted by group, article
// number and colour. Types without a definition come last.
std::vector<vxPartsListEntry> vxMakePartsList(const vxModel& model, std::optional<std::int32_t> phase);

// The parts lists of every phase that adds parts, by phase, in one pass.
std::map<std::int32_t, std::vector<vxPartsListEntry>> vxMakePhasePartsLists(const vxModel& model);

// The sum of the entries' counts.
std::int32_t vxPartsListTotal(const std::vector<vxPartsListEntry>& list);

// A colour as "#rrggbb", each component from 0..1 rounded to 0..255.
std::string vxColorHex(const vxVector& color);
