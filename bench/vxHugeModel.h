#pragma once

// Models of 100,000 and more parts for the benchmarks, written at benchmark
// time (never kept in the source tree): part types of the build's catalogue
// spread over a square grid on the ground, in ten building phases by rows,
// four turns and a dozen colours.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vxBench {

struct PartType {
    std::string shortName;
    std::string name; // the definition's NAME
    std::uint32_t triangles = 0;
};

// The catalogue's part types (a .def and an .stl of a five-character name)
// with at most maxTriangles triangles, sorted by short name.
inline std::vector<PartType> catalogueTypes(const std::string& folder,
                                            std::uint32_t maxTriangles = 0xFFFFFFFFu)
{
    std::vector<PartType> types;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        const std::filesystem::path p = e.path();
        if (p.extension() != ".stl" || p.stem().string().size() != 5)
            continue;
        std::filesystem::path def = p;
        def.replace_extension(".def");
        std::ifstream d(def, std::ios::binary);
        std::ifstream s(p, std::ios::binary);
        if (!d || !s)
            continue;
        PartType t;
        t.shortName = p.stem().string();
        char header[84] = {};
        s.read(header, 84);
        for (int i = 0; i < 4; ++i)
            t.triangles |= static_cast<std::uint32_t>(static_cast<unsigned char>(header[80 + i])) << (8 * i);
        for (std::string line; std::getline(d, line);)
            if (line.rfind("NAME=", 0) == 0) {
                t.name = line.substr(5);
                if (!t.name.empty() && t.name.back() == '\r')
                    t.name.pop_back();
                break;
            }
        if (t.triangles <= maxTriangles)
            types.push_back(t);
    }
    std::sort(types.begin(), types.end(),
              [](const PartType& a, const PartType& b) { return a.shortName < b.shortName; });
    return types;
}

struct HugeModel {
    std::string path;
    std::int64_t parts = 0;
    std::uint64_t bytes = 0;
    std::uint64_t triangles = 0;
    std::int32_t phases = 10;
};

// Writes a model of n parts cycling through types, `spacing` model units
// apart on a square grid centred on the origin, seen from above one side.
inline HugeModel writeHugeModel(const std::string& path, std::int64_t n, const std::vector<PartType>& types,
                                float spacing = 2.5f)
{
    static const std::uint32_t colors[12] = {0x1e1ec8, 0x00c8ff, 0x1ec81e, 0xc81e1e, 0x202020, 0xf0f0f0,
                                             0x0080ff, 0x808080, 0xc000c0, 0x00a0a0, 0x4060c0, 0xa0a000};
    static const char* const turns[4][6] = {{"0", "1", "0", "0", "0", "1"},
                                            {"0", "1", "0", "1", "0", "0"},
                                            {"0", "1", "0", "0", "0", "-1"},
                                            {"0", "1", "0", "-1", "0", "0"}};
    HugeModel m;
    m.path = path;
    m.parts = n;
    std::int64_t side = 1;
    while (side * side < n)
        ++side;
    const float half = static_cast<float>(side - 1) * spacing / 2.0f;
    const float eyeDistance = std::max(20.0f, half * 1.3f);

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return m;
    std::fprintf(f,
                 "[CAMERA]\r\nPOSITIONX=0\r\nPOSITIONY=%g\r\nPOSITIONZ=%g\r\nUPX=0\r\nUPY=1\r\nUPZ=0\r\n"
                 "TARGETX=0\r\nTARGETY=0\r\nTARGETZ=0\r\n[COMMON]\r\nCOUNT=%lld\r\nTUBECOUNT=0\r\n"
                 "INFMODELL=%lld parts on a grid\r\nINFORIGINAL=Generated\r\nINFGEBAUT=bench\r\n",
                 static_cast<double>(eyeDistance), static_cast<double>(-eyeDistance * 0.8f),
                 static_cast<long long>(n), static_cast<long long>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        const PartType& t = types[static_cast<std::size_t>(i) % types.size()];
        const char* const* turn = turns[i % 4];
        const float x = static_cast<float>(i % side) * spacing - half;
        const float z = static_cast<float>(i / side) * spacing - half;
        const long long phase = 1 + (i / side) * m.phases / side;
        m.triangles += t.triangles;
        std::fprintf(
            f,
            "[PART%lld]\r\nNAME=K%s_%s\r\nXPOS=%g\r\nYPOS=0\r\nZPOS=%g\r\nXUP=%s\r\nYUP=%s\r\nZUP=%s\r\n"
            "XDIR=%s\r\nYDIR=%s\r\nZDIR=%s\r\nCOLOR=%u\r\nPHASE=%lld\r\n",
            static_cast<long long>(i + 1), t.shortName.c_str(), t.name.c_str(), static_cast<double>(x),
            static_cast<double>(z), turn[0], turn[1], turn[2], turn[3], turn[4], turn[5], colors[i % 12],
            phase);
    }
    m.bytes = static_cast<std::uint64_t>(std::ftell(f));
    std::fclose(f);
    return m;
}

} // namespace vxBench
