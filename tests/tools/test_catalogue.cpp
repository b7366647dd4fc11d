// The part catalogue as the generator writes it: every part type's files
// read back, sound meshes, connections on their features, parts that fit.
#include "vxDefinition.h"
#include "vxPartCatalog.h"
#include "vxStlFile.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <numbers>
#include <tuple>

using namespace vxGen;

namespace fs = std::filesystem;
namespace K = vxKolbrik;

namespace {

std::map<std::string, std::string> folderContents(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : vxTest::entries(dir))
        files[name] = vxTest::readFile(dir + "/" + name);
    return files;
}

// Where a connection's feature must be on the mesh (part frame): points on
// the surface, in the solid or in the open. Rings about the axis notice a
// seat moved sideways, points along it a seat moved in or out or turned.
std::vector<std::string> probeConnection(const vxPartConnection& c, const vxMesh& m)
{
    enum Want { On, In, Out };
    static const char* const kWant[] = {"on the surface", "inside", "outside"};
    std::vector<std::string> faults;
    auto at = [&](vxVec3 p, Want want, const char* what) {
        const bool ok = want == On ? distanceToSurface(m, p) <= 0.2 : insideSolid(m, p) == (want == In);
        if (!ok)
            faults.push_back(std::string(what) + " (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                             ", " + std::to_string(p.z) + ") is not " + kWant[want]);
    };
    const vxVec3 s = c.position, n = c.normal;
    const vxVec3 u = normalized(cross(n, std::fabs(n.x) < 0.9 ? vxVec3{1, 0, 0} : vxVec3{0, 1, 0})),
                 v = cross(n, u);
    auto ring = [&](vxVec3 centre, double r, Want want, const char* what) {
        for (int i = 0; i < 12; ++i) {
            const double a = 2 * std::numbers::pi * (i + 0.25) / 12;
            at(centre + u * (r * std::cos(a)) + v * (r * std::sin(a)), want, what);
        }
    };
    const double r = c.diameter / 2, d = c.depth;
    using Kind = vxConnectionKind;
    switch (c.kind) {
    case Kind::Pin:
    case Kind::Plug:
        at(s + n * d, On, "the tip");
        at(s + n * (d + 0.3), Out, "beyond the tip");
        at(s + n * (d / 2), In, "half way up");
        ring(s + n * (c.kind == Kind::Pin ? 1.0 : d / 2), c.kind == Kind::Pin ? K::kPinNeckRadius : r, On,
             "the side");
        break;
    case Kind::Groove: {
        const vxVec3 across = normalized(cross(n, c.reference));
        at(s + across * K::kGrooveMouthHalf, On, "one edge of the mouth");
        at(s - across * K::kGrooveMouthHalf, On, "the other edge of the mouth");
        at(s - n * K::kGrooveCentre, Out, "the channel's centre");
        at(s - n * d, On, "the channel's bottom");
        at(s - n * (d + 0.3), In, "under the channel");
        break;
    }
    case Kind::Socket:
    case Kind::PlugSocket:
        ring(s, r, On, "the mouth's edge");
        at(s - n * 0.3, Out, "in the mouth");
        at(s - n * d, On, "the bottom");
        at(s - n * (d + 0.3), In, "under the bottom");
        break;
    case Kind::Hole:
    case Kind::Bore:
        ring(s, r, On, "the mouth's edge");
        ring(s - n * d, r, On, "the far mouth's edge");
        at(s - n * (d / 2), Out, "in the hole");
        ring(s - n * (d / 2), r + 0.2, In, "the wall");
        break;
    case Kind::Axle:
        at(s, On, "the end");
        at(s - n * 0.3, In, "behind the end");
        at(s + n * 0.3, Out, "beyond the end");
        ring(s - n * 1.0, r, On, "the side");
        break;
    case Kind::Rim:
    case Kind::Tyre: {
        const bool rim = c.kind == Kind::Rim;
        ring(s, r, On, "the seat");
        ring(s, r - 0.3, rim ? In : Out, "under the seat");
        for (double side : {-1.0, 1.0})
            ring(s + n * (side * (d / 2 + (rim ? 0.3 : -0.3))), r + 0.3, In, rim ? "the flange" : "the tyre");
        break;
    }
    }
    return faults;
}

// Teeth of a gear in its mesh: clusters, by angle about Z, of the vertices
// beyond the middle of the teeth.
int gearTeeth(const vxMesh& m, int teeth)
{
    const double rMin = K::kGearModule * (teeth / 2.0 + 0.5), pitch = 2 * std::numbers::pi / teeth;
    std::vector<double> angles;
    for (const auto& v : m.vertices)
        if (std::hypot(v.x, v.y) > rMin)
            angles.push_back(std::atan2(v.y, v.x));
    std::sort(angles.begin(), angles.end());
    int clusters = 0;
    for (std::size_t i = 0; i < angles.size(); ++i)
        clusters += angles[i] - (i == 0 ? angles.back() - 2 * std::numbers::pi : angles[i - 1]) > pitch / 2;
    return clusters;
}

} // namespace

// The generator program writes the same files as the catalogue in this
// process, removes only the files of an earlier run it no longer makes, and
// every part type's files are sound: the definition reads back through the
// viewer's reader (ASCII, CR LF lines), the mesh is one closed outward solid
// that admesh finds nothing to repair in, the connections sit on their
// features and a gear has its teeth.
TEST(Catalogue, EveryPartTypeIsSoundInTheGeneratedFiles)
{
    ASSERT_EQ(vxTest::runCommand("command -v admesh").status, 0)
        << "admesh is not installed (scripts/deps.sh installs it)";
    vxTest::TempDir a, b;
    const std::string out = a.file("res"), stamp = a.file("stamp.txt");
    vxTest::writeFile(out + "/12345.def", "old part");
    vxTest::writeFile(a.file("escape.def"), "not ours");
    vxTest::writeFile(stamp, "12345.def\n../escape.def\n");
    const auto run = vxTest::runCommand(std::string("'") + KOLBRIK_PARTGEN + "' --out '" + out +
                                        "' --stamp '" + stamp + "'");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(fs::exists(a.file("escape.def")));
    ASSERT_TRUE(vxPartCatalog::writeResources(b.path(), nullptr, nullptr));
    const auto files = folderContents(out);
    EXPECT_TRUE(files == folderContents(b.path())) << "the generator's files differ from run to run";
    const auto& parts = vxPartCatalog::partTypes();
    EXPECT_EQ(files.size(), 2 * parts.size()) << "a file of an earlier run is left over";
    EXPECT_GE(parts.size(), 60u);

    vxTest::ResourceFolder folder(out);
    int gears = 0;
    for (const auto& p : parts) {
        SCOPED_TRACE(p.shortName + " " + p.name);
        const std::string text = files.count(p.shortName + ".def") ? files.at(p.shortName + ".def") : "";
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char ch) { return ch > 0; })) << "not ASCII";
        for (std::size_t i = text.find_first_of("\r\n"); i != std::string::npos;
             i = text.find_first_of("\r\n", i + 2))
            ASSERT_EQ(text.compare(i, 2, "\r\n"), 0) << "a line does not end in CR LF at " << i;
        vxDefinition d;
        ASSERT_TRUE(d.LoadFromResource(p.shortName) && d.ReadChilds() && d.ReadConnections());
        EXPECT_EQ(std::tie(d.m_Name, d.m_Eng, d.m_OrgNumber), std::tie(p.name, p.eng, p.shortName));
        EXPECT_EQ(std::tie(d.m_Group, d.m_SortOrder, d.m_Red, d.m_Green, d.m_Blue, d.m_Teeth, d.m_KineRot),
                  std::tie(p.group, p.sortOrder, p.red, p.green, p.blue, p.teeth, p.kineRot));
        EXPECT_EQ(std::tie(d.m_Printable, d.m_Hide), std::tie(p.printable, p.hide));
        EXPECT_FLOAT_EQ(d.m_Alpha, static_cast<float>(p.alpha));
        EXPECT_NEAR(d.m_Prize, p.prize, 1e-4);
        EXPECT_GT(d.m_Prize, 0.0f);
        const std::array<float, 3> offset{d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ};
        EXPECT_EQ(offset, (std::array<float, 3>{float(p.offset.x), float(p.offset.y), float(p.offset.z)}));
        ASSERT_EQ(d.m_ChildList.size(), p.children.size());
        for (std::size_t i = 0; i < p.children.size(); ++i)
            EXPECT_EQ(d.m_ChildList[i]->m_Number, p.children[i]);
        ASSERT_EQ(d.m_ConnectionList.size(), p.connections.size());

        // The mesh as the viewer's loader places it (file + offset): the
        // part's triangles and bounds, each connection on its feature.
        const vxMesh m =
            vxTest::readStl(files.count(p.shortName + ".stl") ? files.at(p.shortName + ".stl") : "", offset);
        EXPECT_EQ(m.triangles.size(), p.triangleCount);
        const vxMeshReport report = checkMesh(m, true);
        EXPECT_TRUE(report.solid()) << report.summary();
        // Nothing that admesh would repair, in one part.
        EXPECT_EQ(vxTest::admeshDiffers(out + "/" + p.shortName + ".stl", {{"Number of parts", 1},
                                                                           {"Degenerate facets", 0},
                                                                           {"Edges fixed", 0},
                                                                           {"Facets removed", 0},
                                                                           {"Facets added", 0},
                                                                           {"Facets reversed", 0},
                                                                           {"Backwards edges", 0},
                                                                           {"Normals fixed", 0}}),
                  "");
        vxVec3 lo, hi;
        m.bounds(lo, hi);
        EXPECT_LT(length(lo - p.boundsMin) + length(hi - p.boundsMax), 1e-3);
        for (std::size_t i = 0; i < p.connections.size(); ++i) {
            const vxPartConnection& c = p.connections[i];
            const vxConnection& r = *d.m_ConnectionList[i];
            EXPECT_EQ(std::tie(r.m_Name, r.m_Eng, r.m_Typ),
                      std::make_tuple(std::string(c.name()), c.eng, c.typ()))
                << c.eng;
            EXPECT_NEAR(r.m_Thick, c.diameter, 1e-3) << c.eng;
            EXPECT_LT(length(vxVec3{r.m_X, r.m_Y, r.m_Z} - c.position), 1e-3) << c.eng;
            EXPECT_LT(length(vxVec3{r.m_PN, r.m_RN, r.m_TN} - c.normal) +
                          length(vxVec3{r.m_PF, r.m_RF, r.m_TF} - c.reference),
                      1e-5)
                << c.eng;
            for (const auto& fault : probeConnection(c, m))
                ADD_FAILURE() << c.eng << ": " << fault;
        }
        if (p.name.rfind("Gear Z", 0) == 0) {
            ++gears;
            EXPECT_EQ(gearTeeth(m, p.teeth), p.teeth);
        }
    }
    EXPECT_GE(gears, 5);
}

// Joined at their connections, the parts touch but do not pass into each
// other: one joint of every kind of pin with every kind of hole.
TEST(Catalogue, JoinedPartsFitTogether)
{
    // Vertices of a near the joint lying deeper than 0.05 mm inside b.
    auto interpenetration = [](const vxMesh& a, const vxMesh& b, vxVec3 joint) {
        return std::count_if(a.vertices.begin(), a.vertices.end(), [&](const vxVec3& v) {
            return length(v - joint) < 12.0 && insideSolid(b, v) && distanceToSurface(b, v) > 0.05;
        });
    };
    auto connection = [](const char* part, const std::string& eng) {
        const auto& list = vxPartCatalog::find(part)->connections;
        const auto it = std::find_if(list.begin(), list.end(), [&](const auto& c) { return c.eng == eng; });
        if (it == list.end())
            throw std::runtime_error(std::string(part) + " has no connection " + eng);
        return *it;
    };
    const char* joints[][4] = {
        {"31005", "pin on the front face", "31005", "groove on the top face, cell 1"},
        {"31005", "pin on the front face", "31003", "socket in the back face"},
        {"31005", "pin on the front face", "33005", "hole 2, top side"},
        {"34003", "axle end", "34101", "bore, front end"},
        {"38001", "output shaft", "36013", "bore, back end"},
        {"35003", "tyre seat", "35005", "rim seat"},
        {"38009", "plug pin", "38001", "plug socket, left"},
    };
    for (const auto& j : joints) {
        SCOPED_TRACE(std::string(j[0]) + " " + j[1] + " -> " + j[2] + " " + j[3]);
        const vxPartConnection pin = connection(j[0], j[1]), hole = connection(j[2], j[3]);
        EXPECT_TRUE(fits(pin.kind, hole.kind));
        vxMesh moved = vxPartCatalog::mesh(j[0]);
        moved.transform(matingFrame(pin, hole));
        const vxMesh& fixed = vxPartCatalog::mesh(j[2]);
        EXPECT_EQ(interpenetration(moved, fixed, hole.position), 0);
        EXPECT_EQ(interpenetration(fixed, moved, hole.position), 0);
    }
}
