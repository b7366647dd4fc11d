#pragma once

// Small part resources and generated models for the export tests and the
// export benchmark: binary STL meshes of our own simple solids, their
// definitions, and model files that place them in many orientations; the
// box of a scene as the readers of an export should find it.
#include "vxOpenGLView.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace vxFixture {

// A closed prism standing on the XZ plane around the Y axis: radius r,
// height h, `segments` sides.
inline std::vector<vxTest::StlTriangle> cylinder(float r, float h, int segments)
{
    std::vector<vxTest::StlTriangle> f;
    const double step = 2.0 * 3.14159265358979323846 / segments;
    for (int i = 0; i < segments; ++i) {
        const float c0 = r * static_cast<float>(std::cos(i * step)),
                    s0 = r * static_cast<float>(std::sin(i * step));
        const int next = (i + 1) % segments; // the last side ends where the first begins
        const float c1 = r * static_cast<float>(std::cos(next * step)),
                    s1 = r * static_cast<float>(std::sin(next * step));
        const float cm = static_cast<float>(std::cos((i + 0.5) * step)),
                    sm = static_cast<float>(std::sin((i + 0.5) * step));
        f.push_back({{cm, 0, sm}, {c0, 0, s0}, {c1, h, s1}, {c1, 0, s1}});
        f.push_back({{cm, 0, sm}, {c0, 0, s0}, {c0, h, s0}, {c1, h, s1}});
        f.push_back({{0, 1, 0}, {0, h, 0}, {c1, h, s1}, {c0, h, s0}});
        f.push_back({{0, -1, 0}, {0, 0, 0}, {c0, 0, s0}, {c1, 0, s1}});
    }
    return f;
}

// One triangle with the facet normal (0, 0, 1) at every corner.
inline vxVertice tri(vxVector a, vxVector b, vxVector c)
{
    vxVertice t;
    t.v1() = a;
    t.v2() = b;
    t.v3() = c;
    t.n1() = t.n2() = t.n3() = vxVector(0, 0, 1);
    return t;
}

// Triangles and the box around their corners.
struct Box {
    std::uint64_t triangles = 0;
    double min[3] = {1e300, 1e300, 1e300}, max[3] = {-1e300, -1e300, -1e300};
    void add(double x, double y, double z)
    {
        const double p[3] = {x, y, z};
        for (int a = 0; a < 3; ++a) {
            min[a] = std::min(min[a], p[a]);
            max[a] = std::max(max[a], p[a]);
        }
    }
};

// Adds an object's triangles, placed by its matrix (corners as points).
inline void addPlaced(Box& box, const vxBaseSceneObject& o)
{
    float m[16];
    o.localMatrix().toArray(m);
    for (const vxVertice& t : o.verticesList()) {
        ++box.triangles;
        for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()})
            box.add(double{m[0]} * v->x() + double{m[4]} * v->y() + double{m[8]} * v->z() + m[12],
                    double{m[1]} * v->x() + double{m[5]} * v->y() + double{m[9]} * v->z() + m[13],
                    double{m[2]} * v->x() + double{m[6]} * v->y() + double{m[10]} * v->z() + m[14]);
    }
}

// Three part types of our own in dir: 90001 a 15 x 15 x 30 mm block with
// its origin at the centre of one end, 90002 a round 48-sided hub, 90003 a
// thin 60 x 60 mm plate. Returns their short names.
inline std::vector<std::string> writeResources(const std::string& dir)
{
    auto def = [](const std::string& name, const std::string& offset) {
        return "[COMMON]\r\nNAME=" + name + "\r\nORGNUMBER=" + name + "\r\nGROUP=1\r\n[OFFSET]\r\n" + offset;
    };
    using vxTest::writeFile;
    writeFile(dir + "/90001.stl", vxTest::stlFile(vxTest::box(0, 0, 0, 15, 15, 30)));
    writeFile(dir + "/90001.def", def("Test block 30", "X=-7,5\r\nY=-7,5\r\nZ=0\r\n"));
    writeFile(dir + "/90002.stl", vxTest::stlFile(cylinder(10, 7.5f, 48)));
    writeFile(dir + "/90002.def", def("Test hub", ""));
    writeFile(dir + "/90003.stl", vxTest::stlFile(vxTest::box(0, 0, 0, 60, 3, 60)));
    writeFile(dir + "/90003.def", def("Test plate", "X=-30\r\nZ=-30\r\n"));
    return {"90001", "90002", "90003"};
}

// A model file of `parts` parts cycling through `types`, laid out on a
// 15 mm-unit grid in the 24 axis-aligned orientations, with `tubes` tubes
// after them, phases 1 to `phases` and varied colours. Every `missingEvery`
// -th part (if not 0) names a part type that has no mesh.
inline std::string modelText(int parts, const std::vector<std::string>& types, int tubes = 0, int phases = 4,
                             int missingEvery = 0)
{
    // (up, direction) pairs: all 24 rotations that map axes onto axes.
    static const int axes[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    std::vector<std::pair<int, int>> turns;
    for (int u = 0; u < 6; ++u)
        for (int d = 0; d < 6; ++d)
            if (u / 2 != d / 2)
                turns.emplace_back(u, d);

    auto line = [](std::string& s, const std::string& key, const std::string& value) {
        s += key + "=" + value + "\r\n";
    };
    std::string s = "[CAMERA]\r\nPOSITIONX=0\r\nPOSITIONY=40\r\nPOSITIONZ=-120\r\nUPY=1\r\n[COMMON]\r\n";
    line(s, "COUNT", std::to_string(parts));
    line(s, "TUBECOUNT", std::to_string(tubes));
    line(s, "INFMODELL", "generated test model");
    for (int i = 0; i < parts; ++i) {
        s += "[PART" + std::to_string(i + 1) + "]\r\n";
        const bool missing = missingEvery > 0 && i % missingEvery == missingEvery - 1;
        const std::string& type = types[static_cast<std::size_t>(i) % types.size()];
        line(s, "NAME", "K" + (missing ? std::string("00000") : type) + "_p" + std::to_string(i));
        const int gx = i % 20, gz = (i / 20) % 20, gy = i / 400;
        line(s, "XPOS", std::to_string(gx * 1.5 - 15.0));
        line(s, "YPOS", std::to_string(gy * 1.5));
        line(s, "ZPOS", std::to_string(gz * 1.5 - 15.0));
        const auto& [u, d] = turns[static_cast<std::size_t>(i * 7) % turns.size()];
        const char* names[3] = {"X", "Y", "Z"};
        for (int k = 0; k < 3; ++k) {
            line(s, std::string(names[k]) + "UP", std::to_string(axes[u][k]));
            line(s, std::string(names[k]) + "DIR", std::to_string(axes[d][k]));
        }
        line(s, "PHASE", std::to_string(1 + i % phases));
        line(s, "COLOR", std::to_string((i * 2654435761u) & 0xFFFFFFu));
    }
    for (int j = 0; j < tubes; ++j)
        s += "[TUBE" + std::to_string(j + 1) + "]\r\nRADIUS=0,5\r\nCOLOR=255\r\nCOUNT=2\r\nX0=0\r\nX1=10\r\n";
    return s;
}

} // namespace vxFixture
