#include "vxPartCatalog.h"
#include "vxAtomicFile.h"

#include "vxPartDesigns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

namespace vxGen {

int vxPartConnection::typ() const
{
    switch (kind) {
    case vxConnectionKind::Pin:
    case vxConnectionKind::Axle:
    case vxConnectionKind::Rim:
    case vxConnectionKind::Plug:
        return 1;
    default:
        return 0;
    }
}

const char* vxPartConnection::name() const
{
    switch (kind) {
    case vxConnectionKind::Pin:
        return "pin";
    case vxConnectionKind::Groove:
        return "groove";
    case vxConnectionKind::Socket:
        return "socket";
    case vxConnectionKind::Hole:
        return "hole";
    case vxConnectionKind::Bore:
        return "bore";
    case vxConnectionKind::Axle:
        return "axle";
    case vxConnectionKind::Rim:
        return "rim";
    case vxConnectionKind::Tyre:
        return "tyre";
    case vxConnectionKind::Plug:
        return "plug";
    case vxConnectionKind::PlugSocket:
        return "plug socket";
    }
    return "";
}

bool fits(vxConnectionKind pin, vxConnectionKind hole)
{
    using K = vxConnectionKind;
    switch (pin) {
    case K::Pin:
        return hole == K::Groove || hole == K::Socket || hole == K::Hole;
    case K::Axle:
        return hole == K::Bore || hole == K::Hole;
    case K::Rim:
        return hole == K::Tyre;
    case K::Plug:
        return hole == K::PlugSocket;
    default:
        return false;
    }
}

vxFrame matingFrame(const vxPartConnection& moving, const vxPartConnection& fixed)
{
    const vxVec3 a1 = moving.normal, a2 = moving.reference, a3 = cross(a1, a2);
    const vxVec3 b1 = -fixed.normal, b2 = fixed.reference, b3 = cross(b1, b2);
    // The rotation taking (a1, a2, a3) to (b1, b2, b3), column by column.
    vxFrame f;
    f.ex = b1 * a1.x + b2 * a2.x + b3 * a3.x;
    f.ey = b1 * a1.y + b2 * a2.y + b3 * a3.y;
    f.ez = b1 * a1.z + b2 * a2.z + b3 * a3.z;
    f.origin = fixed.position - f.direction(moving.position);
    return f;
}

namespace {

struct Catalogue {
    std::vector<vxPartType> types;
    std::vector<vxMesh> meshes;
};

// Offsets are whole half millimetres, exact in the file's decimal text and
// in float.
double halfMillimetreFloor(double v)
{
    return std::floor(v * 2.0) / 2.0;
}

// A list price from the part's volume: 0.10 plus 0.05 per cubic
// centimetre, to five cents.
double priceFromVolume(double mm3)
{
    return std::round((0.10 + 0.05 * mm3 / 1000.0) * 20.0) / 20.0;
}

Catalogue buildCatalogue()
{
    Catalogue c;
    for (auto& d : vxPartDesigns()) {
        vxPartBuild b = d.build();
        if (!b.error.empty())
            throw std::runtime_error("part " + d.type.shortName + ": " + b.error);
        vxPartType t = d.type;
        t.connections = b.connections;
        b.mesh.bounds(t.boundsMin, t.boundsMax);
        t.offset = {halfMillimetreFloor(t.boundsMin.x), halfMillimetreFloor(t.boundsMin.y),
                    halfMillimetreFloor(t.boundsMin.z)};
        t.triangleCount = b.mesh.triangles.size();
        if (t.prize == 0.0)
            t.prize = priceFromVolume(b.mesh.volume());
        c.types.push_back(std::move(t));
        c.meshes.push_back(std::move(b.mesh));
    }
    // Ordered by short name, meshes alongside.
    std::vector<std::size_t> order(c.types.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return c.types[a].shortName < c.types[b].shortName; });
    Catalogue sorted;
    for (std::size_t i : order) {
        sorted.types.push_back(c.types[i]);
        sorted.meshes.push_back(c.meshes[i]);
    }
    return sorted;
}

const Catalogue& catalogue()
{
    static const Catalogue c = buildCatalogue();
    return c;
}

// A decimal with at most the given number of fraction digits, trailing
// zeros dropped, "." as separator whatever the locale.
std::string number(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    v = std::round(v * scale) / scale;
    if (v == 0.0)
        v = 0.0; // no "-0"
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    return s;
}

} // namespace

namespace vxPartCatalog {

const std::vector<vxPartType>& partTypes()
{
    return catalogue().types;
}

const vxPartType* find(const std::string& shortName)
{
    const auto& t = catalogue().types;
    auto it = std::lower_bound(t.begin(), t.end(), shortName,
                               [](const vxPartType& p, const std::string& s) { return p.shortName < s; });
    return (it != t.end() && it->shortName == shortName) ? &*it : nullptr;
}

const vxMesh& mesh(const std::string& shortName)
{
    static const vxMesh empty;
    const vxPartType* p = find(shortName);
    if (!p)
        return empty;
    return catalogue().meshes[static_cast<std::size_t>(p - catalogue().types.data())];
}

std::string definitionText(const vxPartType& p)
{
    std::vector<std::string> l;
    l.push_back("[COLOR]");
    l.push_back("RED=" + std::to_string(p.red));
    l.push_back("GREEN=" + std::to_string(p.green));
    l.push_back("BLUE=" + std::to_string(p.blue));
    l.push_back("ALPHA=" + number(p.alpha, 2));
    l.push_back("TEXTURE=");
    l.push_back("TXWIDTH=1");
    l.push_back("TXHEIGHT=1");
    l.push_back("TXOFSX=0");
    l.push_back("TXOFSY=0");
    l.push_back("[COMMON]");
    l.push_back("NAME=" + p.name);
    l.push_back("ENG=" + p.eng);
    l.push_back("GROUP=" + std::to_string(p.group));
    l.push_back("PRIZE=" + number(p.prize, 2));
    l.push_back("ORGNUMBER=" + p.shortName);
    l.push_back("PRINTABLE=" + std::to_string(p.printable));
    l.push_back("HIDE=" + std::to_string(p.hide));
    l.push_back("SORTORDER=" + std::to_string(p.sortOrder));
    l.push_back("KINEROT=" + std::to_string(p.kineRot));
    l.push_back("TEETH=" + std::to_string(p.teeth));
    l.push_back("[OFFSET]");
    l.push_back("X=" + number(p.offset.x, 1));
    l.push_back("Y=" + number(p.offset.y, 1));
    l.push_back("Z=" + number(p.offset.z, 1));
    l.push_back("[CHILDS]");
    l.push_back("COUNT=" + std::to_string(p.children.size()));
    l.push_back("[CONNECTIONS]");
    l.push_back("COUNT=" + std::to_string(p.connections.size()));
    for (std::size_t i = 0; i < p.children.size(); ++i) {
        l.push_back("[CHILD" + std::to_string(i + 1) + "]");
        l.push_back("NUMBER=" + p.children[i]);
    }
    for (std::size_t i = 0; i < p.connections.size(); ++i) {
        const vxPartConnection& c = p.connections[i];
        l.push_back("[CONN" + std::to_string(i + 1) + "]");
        l.push_back(std::string("NAME=") + c.name());
        l.push_back("ENG=" + c.eng);
        l.push_back("TYP=" + std::to_string(c.typ()));
        l.push_back("THICK=" + number(c.diameter, 3));
        l.push_back("X=" + number(c.position.x, 4));
        l.push_back("Y=" + number(c.position.y, 4));
        l.push_back("Z=" + number(c.position.z, 4));
        l.push_back("PF=" + number(c.reference.x, 6));
        l.push_back("RF=" + number(c.reference.y, 6));
        l.push_back("TF=" + number(c.reference.z, 6));
        l.push_back("PN=" + number(c.normal.x, 6));
        l.push_back("RN=" + number(c.normal.y, 6));
        l.push_back("TN=" + number(c.normal.z, 6));
    }
    std::string text;
    for (const auto& line : l)
        text += line + "\r\n";
    return text;
}

std::string meshHeader(const vxPartType& p)
{
    return "Kolbrik partgen mesh " + p.shortName + " " + p.name;
}

std::string meshBytes(const vxPartType& p)
{
    return stlBytes(mesh(p.shortName), meshHeader(p), -p.offset);
}

bool writeResources(const std::string& folder, std::vector<std::string>* written, std::string* error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        if (error)
            *error = "cannot create " + folder + ": " + ec.message();
        return false;
    }
    auto put = [&](const std::string& name, const std::string& bytes) {
        const fs::path path = fs::path(folder) / name;
        if (written)
            written->push_back(name);
        const vxWriteResult r = vxWriteFileIfChanged(path.string(), bytes);
        if (!r && error)
            *error = r.error;
        return r.ok;
    };
    for (const auto& p : partTypes())
        if (!put(p.shortName + ".def", definitionText(p)) || !put(p.shortName + ".stl", meshBytes(p)))
            return false;
    return true;
}

std::string table()
{
    std::ostringstream o;
    char line[256];
    std::snprintf(line, sizeof line, "%-6s %5s  %-36s %9s  %-22s %5s %5s\n", "short", "group", "name",
                  "triangles", "size x*y*z mm", "pins", "holes");
    o << line;
    std::size_t tris = 0, pins = 0, holes = 0, maxTris = 0, minTris = SIZE_MAX;
    std::map<int, int> groups;
    for (const auto& p : partTypes()) {
        std::size_t np = 0, nh = 0;
        for (const auto& c : p.connections)
            (c.typ() ? np : nh)++;
        const vxVec3 s = p.size();
        const std::string size = number(s.x, 1) + " x " + number(s.y, 1) + " x " + number(s.z, 1);
        std::snprintf(line, sizeof line, "%-6s %5d  %-36s %9zu  %-22s %5zu %5zu\n", p.shortName.c_str(),
                      p.group, p.name.c_str(), p.triangleCount, size.c_str(), np, nh);
        o << line;
        tris += p.triangleCount;
        maxTris = std::max(maxTris, p.triangleCount);
        minTris = std::min(minTris, p.triangleCount);
        pins += np;
        holes += nh;
        ++groups[p.group];
    }
    o << "\n"
      << partTypes().size() << " part types in " << groups.size() << " groups, " << tris << " triangles ("
      << (partTypes().empty() ? 0 : minTris) << " to " << maxTris << " per part), " << pins + holes
      << " connections (" << pins << " pins, " << holes << " holes)\n";
    return o.str();
}

} // namespace vxPartCatalog

} // namespace vxGen
