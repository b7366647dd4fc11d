#pragma once

#include "vxVector.h"

#include <cstdint>
#include <vector>

// The names builders call the kit's colours by ("light grey", "red" …), in
// English and German, so that parts lists can tell two rows of one part
// type apart by name rather than by a tint alone.
struct vxColorName {
    const char* english = "";
    const char* german = "";
    std::uint8_t red = 0, green = 0, blue = 0; // sRGB, 0..255
};

// The named palette, in a fixed order.
const std::vector<vxColorName>& vxColorPalette();

// The palette's entry nearest to a colour (red, green and blue from 0 to 1
// in x, y and z, as models give them), nearest as the eye judges: by
// CIEDE2000 difference in CIELAB. Values outside 0..1 (or NaN) count as the nearest
// bound.
const vxColorName& vxNearestColorName(const vxVector& color);
