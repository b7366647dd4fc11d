#pragma once

// Reads a binary STL file for the tests, independently of the generator:
// the header, the triangles as stored (floats), and a mesh welded on exact
// float coordinates.
#include "vxMeshKit.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace vxTest {

struct StlFile {
    bool ok = false;
    std::string header;
    std::uint32_t count = 0;
    std::vector<std::array<float, 3>> normals;
    std::vector<std::array<std::array<float, 3>, 3>> corners;
    std::vector<std::uint16_t> attributes;
};

inline StlFile parseStl(const std::string& bytes)
{
    StlFile f;
    if (bytes.size() < 84)
        return f;
    f.header = bytes.substr(0, 80);
    auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        return v;
    };
    auto f32 = [&](std::size_t at) {
        const std::uint32_t v = u32(at);
        float x;
        std::memcpy(&x, &v, 4);
        return x;
    };
    f.count = u32(80);
    if (bytes.size() != 84 + 50ull * f.count)
        return f;
    for (std::uint32_t i = 0; i < f.count; ++i) {
        const std::size_t r = 84 + 50ull * i;
        f.normals.push_back({f32(r), f32(r + 4), f32(r + 8)});
        std::array<std::array<float, 3>, 3> c;
        for (std::size_t k = 0; k < 3; ++k)
            c[k] = {f32(r + 12 + 12 * k), f32(r + 16 + 12 * k), f32(r + 20 + 12 * k)};
        f.corners.push_back(c);
        f.attributes.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[r + 48]) |
                                                          (static_cast<unsigned char>(bytes[r + 49]) << 8)));
    }
    f.ok = true;
    return f;
}

// The file's triangles as an indexed mesh: corners with identical float
// coordinates become one vertex; every corner is moved by offset (added in
// float, as the viewer's loader does before it scales).
inline vxMesh weldedMesh(const StlFile& f, const std::array<float, 3>& offset = {0, 0, 0})
{
    vxMesh m;
    std::map<std::array<float, 3>, int> index;
    for (const auto& tri : f.corners) {
        std::array<int, 3> t{};
        for (std::size_t k = 0; k < 3; ++k) {
            auto [it, added] = index.emplace(tri[k], static_cast<int>(m.vertices.size()));
            if (added)
                m.vertices.push_back({static_cast<double>(tri[k][0] + offset[0]),
                                      static_cast<double>(tri[k][1] + offset[1]),
                                      static_cast<double>(tri[k][2] + offset[2])});
            t[k] = it->second;
        }
        m.triangles.push_back(t);
    }
    return m;
}

} // namespace vxTest
