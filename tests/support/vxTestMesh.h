#pragma once

// Small binary STL meshes and model files for the scene, view and CLI tests.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vxTest {

struct StlTriangle {
    std::array<float, 3> normal;
    std::array<float, 3> a, b, c;
    std::uint16_t attribute = 0;
};

inline void appendFloat(std::string& s, float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((u >> (8 * i)) & 0xff);
}

// A binary STL file; count overrides the declared triangle count.
inline std::string stlFile(const std::vector<StlTriangle>& triangles, long long count = -1)
{
    std::string s(80, 'h');
    const auto n = static_cast<std::uint32_t>(count >= 0 ? count : static_cast<long long>(triangles.size()));
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((n >> (8 * i)) & 0xff);
    for (const auto& t : triangles) {
        for (const auto* v : {&t.normal, &t.a, &t.b, &t.c})
            for (float f : *v)
                appendFloat(s, f);
        s += static_cast<char>(t.attribute & 0xff);
        s += static_cast<char>(t.attribute >> 8);
    }
    return s;
}

// An axis-aligned box in mesh units (a file unit is a tenth of a model
// unit), outward facet normals, corners counter-clockwise seen from outside.
inline std::vector<StlTriangle> box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    auto P = [&](int i, int j, int k) { return std::array<float, 3>{i ? x1 : x0, j ? y1 : y0, k ? z1 : z0}; };
    struct Face {
        std::array<float, 3> n;
        std::array<std::array<float, 3>, 4> q;
    };
    const Face faces[6] = {
        {{1, 0, 0}, {P(1, 0, 0), P(1, 1, 0), P(1, 1, 1), P(1, 0, 1)}},
        {{-1, 0, 0}, {P(0, 0, 0), P(0, 0, 1), P(0, 1, 1), P(0, 1, 0)}},
        {{0, 1, 0}, {P(0, 1, 0), P(0, 1, 1), P(1, 1, 1), P(1, 1, 0)}},
        {{0, -1, 0}, {P(0, 0, 0), P(1, 0, 0), P(1, 0, 1), P(0, 0, 1)}},
        {{0, 0, 1}, {P(0, 0, 1), P(1, 0, 1), P(1, 1, 1), P(0, 1, 1)}},
        {{0, 0, -1}, {P(0, 0, 0), P(0, 1, 0), P(1, 1, 0), P(1, 0, 0)}},
    };
    std::vector<StlTriangle> t;
    for (const Face& f : faces) {
        t.push_back({f.n, f.q[0], f.q[1], f.q[2]});
        t.push_back({f.n, f.q[0], f.q[2], f.q[3]});
    }
    return t;
}

// One placed part of a model file.
struct KmfPart {
    std::string name; // e.g. "K31005_block"
    std::array<float, 3> position{0, 0, 0};
    std::array<float, 3> up{0, 1, 0};
    std::array<float, 3> direction{0, 0, 1};
    std::int32_t color = 0xffffff; // red in the lowest byte
    int phase = 1;
};

inline std::string num(float f)
{
    std::string s = std::to_string(f);
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

// A model file (CR LF lines) with a camera, parts and plain tubes.
inline std::string kmfFile(std::array<float, 3> cameraPosition, std::array<float, 3> cameraTarget,
                           const std::vector<KmfPart>& parts,
                           const std::vector<std::int32_t>& tubeColors = {})
{
    std::string s;
    auto line = [&](const std::string& l) { s += l + "\r\n"; };
    // Three keys, the axis letter before or after the name.
    auto xyz = [&](const std::string& before, const std::string& after, const std::array<float, 3>& v) {
        for (int i = 0; i < 3; ++i)
            line(before + (before.empty() ? "XYZ"[i] + after : after + "XYZ"[i]) + "=" + num(v[i]));
    };
    line("[CAMERA]");
    xyz("POSITION", "", cameraPosition);
    xyz("TARGET", "", cameraTarget);
    xyz("UP", "", {0, 1, 0});
    line("[COMMON]");
    line("COUNT=" + std::to_string(parts.size()));
    line("TUBECOUNT=" + std::to_string(tubeColors.size()));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const KmfPart& p = parts[i];
        line("[PART" + std::to_string(i + 1) + "]");
        line("NAME=" + p.name);
        xyz("", "POS", p.position);
        xyz("", "UP", p.up);
        xyz("", "DIR", p.direction);
        line("COLOR=" + std::to_string(p.color));
        line("PHASE=" + std::to_string(p.phase));
    }
    for (std::size_t j = 0; j < tubeColors.size(); ++j)
        for (const std::string& l :
             {"[TUBE" + std::to_string(j + 1) + "]", std::string("RADIUS=1"), std::string("COUNT=2"),
              "COLOR=" + std::to_string(tubeColors[j]), std::string("X0=0"), std::string("X1=10")})
            line(l);
    return s;
}

} // namespace vxTest
