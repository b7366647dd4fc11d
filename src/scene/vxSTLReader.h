#pragma once

#include "vxVertice.h"

#include <cstddef>
#include <string_view>
#include <vector>

// Binary STL: an 80-byte header, the number of triangles (32 bits,
// little-endian), then a 50-byte record per triangle from this offset on.
inline constexpr std::size_t kSTLFirstRecord = 84;

// Appends the triangles of a binary STL file held in data, each corner
// ((x + offsetX) / 10, (y + offsetY) / 10, (z + offsetZ) / 10) and each of
// the three normals the facet normal as read. Reads only whole records that
// lie inside data: fewer than 84 bytes give nothing, a count larger than the
// data holds gives the records present. Returns the number appended.
std::size_t vxAppendSTLTriangles(std::string_view data, float offsetX, float offsetY, float offsetZ,
                                 std::vector<vxVertice>& out);
