#include "vxDefinition.h"
#include "vxPartCatalog.h"
#include "vxResources.h"
#include "vxStlFile.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

namespace K = vxKolbrik;

namespace {

// The catalogue written once into a temporary resource folder.
class Catalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = std::make_unique<vxTest::TempDir>();
        std::string error;
        written = vxPartCatalog::writeResources(dir->path(), nullptr, &error);
        ASSERT_TRUE(written) << error;
    }
    static void TearDownTestSuite() { dir.reset(); }
    void SetUp() override
    {
        ASSERT_TRUE(written);
        vxResources::setResourceFolder(dir->path());
    }
    void TearDown() override { vxResources::setResourceFolder(""); }

    static std::string file(const std::string& name) { return vxTest::readFile(dir->file(name)); }

    static std::unique_ptr<vxTest::TempDir> dir;
    static bool written;
};

std::unique_ptr<vxTest::TempDir> Catalogue::dir;
bool Catalogue::written = false;

// Headers "[<prefix>n]" in a definition text, counted without the reader.
int countHeaders(const std::string& text, const std::string& prefix)
{
    int n = 0;
    std::size_t at = 0;
    while ((at = text.find("\r\n[" + prefix, at)) != std::string::npos) {
        at += 3 + prefix.size();
        if (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
            ++n;
    }
    return n;
}

vxVec3 anyPerpendicular(vxVec3 n)
{
    const vxVec3 a = std::fabs(n.x) < 0.9 ? vxVec3{1, 0, 0} : vxVec3{0, 1, 0};
    return normalized(cross(n, a));
}

// Points on a circle of radius r about the axis n through c.
std::vector<vxVec3> circle(vxVec3 c, vxVec3 n, double r, int count = 12)
{
    const vxVec3 u = anyPerpendicular(n), v = cross(n, u);
    std::vector<vxVec3> pts;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * std::numbers::pi * (i + 0.25) / count;
        pts.push_back(c + u * (r * std::cos(a)) + v * (r * std::sin(a)));
    }
    return pts;
}

std::string show(vxVec3 p)
{
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.z) + ")";
}

// Geometric expectations about a connection's seat, checked on the mesh as
// read back from the STL file with the definition's offset applied. Each
// expectation that does not hold adds a line to faults.
class Probe {
public:
    explicit Probe(const vxMesh& m) : mesh(m) {}

    void on(vxVec3 p, const char* why)
    {
        const double d = distanceToSurface(mesh, p);
        if (d > 0.2)
            faults.push_back(std::string(why) + " " + show(p) + " is " + std::to_string(d) + " mm off the surface");
    }
    void inside(vxVec3 p, const char* why)
    {
        if (!insideSolid(mesh, p))
            faults.push_back(std::string(why) + " " + show(p) + " is not inside");
    }
    void outside(vxVec3 p, const char* why)
    {
        if (insideSolid(mesh, p))
            faults.push_back(std::string(why) + " " + show(p) + " is not outside");
    }

    const vxMesh& mesh;
    std::vector<std::string> faults;
};

std::vector<std::string> probeConnection(const vxPartType& part, const vxPartConnection& c, const vxMesh& m)
{
    using Kind = vxConnectionKind;
    Probe p(m);
    const vxVec3 s = c.position, n = c.normal;
    const double r = c.diameter / 2;
    switch (c.kind) {
    case Kind::Pin:
    case Kind::Plug: {
        p.on(s + n * c.depth, "the tip");
        p.outside(s + n * (c.depth + 0.3), "beyond the tip");
        p.inside(s + n * (c.depth / 2), "half way up the pin");
        const double stem = c.kind == Kind::Pin ? K::kPinNeckRadius : r;
        for (const auto& q : circle(s + n * (c.kind == Kind::Pin ? 1.0 : c.depth / 2), n, stem))
            p.on(q, "the pin's side");
        // The pin stands on a face, unless it is one of two pins back to back.
        bool backToBack = false;
        for (const auto& o : part.connections)
            backToBack = backToBack || (&o != &c && o.typ() == 1 && length(o.position - s) < 1e-6 &&
                                        dot(o.normal, n) < -0.999);
        if (!backToBack) {
            const double foot = c.kind == Kind::Pin ? K::kPinNeckRadius : r;
            for (const auto& q : circle(s, n, foot + 0.3))
                p.on(q, "the face round the pin's foot");
        }
        break;
    }
    case Kind::Groove: {
        const vxVec3 across = normalized(cross(n, c.reference));
        p.on(s + across * K::kGrooveMouthHalf, "one edge of the mouth");
        p.on(s - across * K::kGrooveMouthHalf, "the other edge of the mouth");
        p.outside(s - n * 1.0, "in the mouth");
        p.outside(s - n * K::kGrooveCentre, "the channel's centre");
        p.outside(s - n * K::kGrooveCentre + c.reference * 3.0, "along the channel");
        p.on(s - n * K::kGrooveCentre + across * K::kGrooveRadius, "the channel's side");
        p.on(s - n * c.depth, "the channel's bottom");
        p.inside(s - n * (c.depth + 0.3), "under the channel");
        break;
    }
    case Kind::Socket:
    case Kind::PlugSocket:
        for (const auto& q : circle(s, n, r))
            p.on(q, "the mouth's edge");
        p.outside(s - n * 0.3, "in the mouth");
        p.outside(s - n * (c.depth - 0.3), "near the bottom");
        p.on(s - n * c.depth, "the bottom");
        p.inside(s - n * (c.depth + 0.3), "under the bottom");
        for (const auto& q : circle(s - n * (c.depth / 2), n, r + 0.3))
            p.inside(q, "the wall");
        break;
    case Kind::Hole:
    case Kind::Bore:
        for (const auto& q : circle(s, n, r))
            p.on(q, "the mouth's edge");
        for (const auto& q : circle(s - n * c.depth, n, r))
            p.on(q, "the far mouth's edge");
        p.outside(s + n * 0.3, "in front of the mouth");
        for (double t : {0.3, c.depth / 2, c.depth - 0.3})
            p.outside(s - n * t, "in the hole");
        for (const auto& q : circle(s - n * (c.depth / 2), n, r + 0.2))
            p.inside(q, "the wall");
        break;
    case Kind::Axle:
        p.on(s, "the end");
        p.inside(s - n * 0.3, "behind the end");
        p.outside(s + n * 0.3, "beyond the end");
        for (const auto& q : circle(s - n * 1.0, n, r))
            p.on(q, "the axle's side");
        break;
    case Kind::Rim:
        for (const auto& q : circle(s, n, r))
            p.on(q, "the seat");
        for (const auto& q : circle(s, n, r - 0.3))
            p.inside(q, "under the seat");
        for (double side : {-1.0, 1.0}) {
            for (const auto& q : circle(s + n * (side * (c.depth / 2 - 0.3)), n, r + 0.3))
                p.outside(q, "over the seat");
            for (const auto& q : circle(s + n * (side * (c.depth / 2 + 0.3)), n, r + 0.3))
                p.inside(q, "the flange beside the seat");
        }
        break;
    case Kind::Tyre:
        p.outside(s, "the centre");
        for (const auto& q : circle(s, n, r))
            p.on(q, "the inside");
        for (const auto& q : circle(s, n, r - 0.3))
            p.outside(q, "inside the tyre");
        for (double side : {-1.0, 1.0}) {
            for (const auto& q : circle(s + n * (side * (c.depth / 2 - 0.3)), n, r + 0.3))
                p.inside(q, "the tyre");
            for (const auto& q : circle(s + n * (side * (c.depth / 2 + 0.3)), n, r + 0.3))
                p.outside(q, "beside the tyre");
        }
        break;
    }
    return p.faults;
}

// Number of teeth seen in a mesh: clusters of vertices beyond radius rMin
// from the Z axis, by angle (gears).
int countGearTeeth(const vxMesh& m, double rMin, double pitchAngle)
{
    std::vector<double> angles;
    for (const auto& v : m.vertices)
        if (std::hypot(v.x, v.y) > rMin)
            angles.push_back(std::atan2(v.y, v.x));
    if (angles.empty())
        return 0;
    std::sort(angles.begin(), angles.end());
    int clusters = 0;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const double prev = i == 0 ? angles.back() - 2 * std::numbers::pi : angles[i - 1];
        if (angles[i] - prev > pitchAngle / 2)
            ++clusters;
    }
    return clusters;
}

// Racks: clusters of vertices above yMin along Z.
int countRackTeeth(const vxMesh& m, double yMin, double gap)
{
    std::vector<double> zs;
    for (const auto& v : m.vertices)
        if (v.y > yMin)
            zs.push_back(v.z);
    std::sort(zs.begin(), zs.end());
    int clusters = 0;
    for (std::size_t i = 0; i < zs.size(); ++i)
        if (i == 0 || zs[i] - zs[i - 1] > gap)
            ++clusters;
    return clusters;
}

// The number after "<label> :" in a text; -1 when the label or the number
// is missing.
long numberAfter(const std::string& text, const std::string& label)
{
    std::size_t at = text.find(label);
    if (at == std::string::npos)
        return -1;
    at = text.find_first_not_of(' ', at + label.size());
    if (at == std::string::npos || text[at] != ':')
        return -1;
    at = text.find_first_not_of(' ', at + 1);
    if (at == std::string::npos || !std::isdigit(static_cast<unsigned char>(text[at])))
        return -1;
    return std::stol(text.substr(at));
}

// ASCII with CR LF lines, and every value read back by the viewer's reader.
void checkDefinitionFile(const vxPartType& p, const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        ASSERT_LT(static_cast<unsigned char>(text[i]), 128u) << "not ASCII at " << i;
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "lone LF at " << i;
        }
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "lone CR at " << i;
        }
    }
    vxDefinition d;
    ASSERT_TRUE(d.LoadFromResource(p.shortName));
    EXPECT_EQ(d.m_Name, p.name);
    EXPECT_EQ(d.m_Eng, p.eng);
    EXPECT_EQ(d.m_OrgNumber, p.shortName);
    EXPECT_EQ(d.m_Group, p.group);
    EXPECT_NE(d.GetGroupAsString(), "");
    EXPECT_EQ(d.m_SortOrder, p.sortOrder);
    EXPECT_EQ(d.m_Red, p.red);
    EXPECT_EQ(d.m_Green, p.green);
    EXPECT_EQ(d.m_Blue, p.blue);
    EXPECT_FLOAT_EQ(d.m_Alpha, static_cast<float>(p.alpha));
    EXPECT_EQ(d.m_Teeth, p.teeth);
    EXPECT_EQ(d.m_KineRot, p.kineRot);
    EXPECT_EQ(d.m_Printable, p.printable);
    EXPECT_EQ(d.m_Hide, p.hide);
    EXPECT_NEAR(d.m_Prize, p.prize, 1e-4);
    EXPECT_GT(d.m_Prize, 0.0f);
    EXPECT_EQ(d.m_OffsetX, static_cast<float>(p.offset.x));
    EXPECT_EQ(d.m_OffsetY, static_cast<float>(p.offset.y));
    EXPECT_EQ(d.m_OffsetZ, static_cast<float>(p.offset.z));

    ASSERT_TRUE(d.ReadChilds());
    ASSERT_TRUE(d.ReadConnections());
    EXPECT_EQ(d.m_ChildCount, countHeaders(text, "CHILD"));
    EXPECT_EQ(d.m_ConnectionCount, countHeaders(text, "CONN"));
    ASSERT_EQ(d.m_ChildList.size(), p.children.size());
    ASSERT_EQ(d.m_ConnectionList.size(), p.connections.size());
    for (std::size_t i = 0; i < p.children.size(); ++i)
        EXPECT_EQ(d.m_ChildList[i]->m_Number, p.children[i]);
    for (std::size_t i = 0; i < p.connections.size(); ++i) {
        const vxPartConnection& c = p.connections[i];
        const vxConnection& r = *d.m_ConnectionList[i];
        SCOPED_TRACE("connection " + std::to_string(i + 1) + ": " + c.eng);
        EXPECT_EQ(r.m_Name, c.name());
        EXPECT_EQ(r.m_Eng, c.eng);
        EXPECT_EQ(r.m_Typ, c.typ());
        EXPECT_EQ(r.NameOfTyp(), c.typ() ? "Zapfen" : "Loch");
        EXPECT_NEAR(r.m_Thick, c.diameter, 1e-3);
        EXPECT_NEAR(length(vxVec3{r.m_X, r.m_Y, r.m_Z} - c.position), 0.0, 1e-3);
        EXPECT_NEAR(length(vxVec3{r.m_PN, r.m_RN, r.m_TN} - c.normal), 0.0, 1e-5);
        EXPECT_NEAR(length(vxVec3{r.m_PF, r.m_RF, r.m_TF} - c.reference), 0.0, 1e-5);
        // Unit normal and reference, at right angles.
        EXPECT_NEAR(length(c.normal), 1.0, 1e-9);
        EXPECT_NEAR(length(c.reference), 1.0, 1e-9);
        EXPECT_NEAR(dot(c.normal, c.reference), 0.0, 1e-9);
    }
}

// The mesh file: our header, the part's triangle count, no attributes; as
// the viewer's loader places it (file + offset) a solid with the part's
// bounds and every connection on its feature.
void checkMeshFile(const vxPartType& p, const std::string& bytes)
{
    const vxTest::StlFile f = vxTest::parseStl(bytes);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.header.rfind("Kolbrik partgen", 0), 0u) << f.header;
    EXPECT_EQ(f.count, p.triangleCount);
    for (auto a : f.attributes)
        ASSERT_EQ(a, 0);
    const vxMesh m = vxTest::weldedMesh(f);
    const vxMeshReport r = checkMesh(m, true);
    EXPECT_TRUE(r.solid()) << r.summary();
    // The file's coordinates are not negative; with the offset they give
    // the part frame's bounds.
    vxVec3 lo, hi;
    m.bounds(lo, hi);
    EXPECT_GE(std::min({lo.x, lo.y, lo.z}), 0.0);
    EXPECT_NEAR(lo.x + p.offset.x, p.boundsMin.x, 1e-4);
    EXPECT_NEAR(hi.z + p.offset.z, p.boundsMax.z, 1e-4);

    const vxMesh placed = vxTest::weldedMesh(f, {static_cast<float>(p.offset.x), static_cast<float>(p.offset.y),
                                                 static_cast<float>(p.offset.z)});
    for (const auto& c : p.connections)
        for (const auto& fault : probeConnection(p, c, placed))
            ADD_FAILURE() << c.eng << ": " << fault;
}

// admesh reads the mesh file on its own and reports what it would have to
// repair (facet normals that disagree with the winding among it); for our
// meshes that must be nothing.
void checkAdmesh(const vxPartType& p, const std::string& path)
{
    const auto r = vxTest::runCommand("admesh '" + path + "'");
    ASSERT_EQ(r.status, 0) << r.out;
    for (const auto& [field, value] : std::map<std::string, long>{{"Number of parts", 1},
                                                                   {"Degenerate facets", 0},
                                                                   {"Edges fixed", 0},
                                                                   {"Facets removed", 0},
                                                                   {"Facets added", 0},
                                                                   {"Facets reversed", 0},
                                                                   {"Backwards edges", 0},
                                                                   {"Normals fixed", 0}}) {
        const long n = numberAfter(r.out, field);
        ASSERT_GE(n, 0) << field << " missing in\n" << r.out;
        EXPECT_EQ(n, value) << field;
    }
    // "Number of facets : <original> <final>"
    const std::size_t at = r.out.find("Number of facets");
    ASSERT_NE(at, std::string::npos) << r.out;
    std::istringstream facets(r.out.substr(r.out.find(':', at) + 1));
    std::size_t original = 0, final = 0;
    facets >> original >> final;
    EXPECT_EQ(original, p.triangleCount);
    EXPECT_EQ(final, p.triangleCount);
}

// Gears and racks have as many teeth in the mesh as they say (the worm a
// single start); true for a gear or a rack.
bool checkTeeth(const vxPartType& p)
{
    if (p.group != 6)
        return false;
    const double m = K::kGearModule;
    const vxMesh& mesh = vxPartCatalog::mesh(p.shortName);
    if (p.name.rfind("Gear Z", 0) == 0) {
        const double rp = m * p.teeth / 2;
        EXPECT_EQ(countGearTeeth(mesh, rp + 0.5 * m, 2 * std::numbers::pi / p.teeth), p.teeth);
        EXPECT_NEAR(std::max(p.boundsMax.x, p.boundsMax.y), rp + m, 1e-6);
        return true;
    }
    if (p.name.rfind("Gear rack", 0) == 0) {
        EXPECT_EQ(countRackTeeth(mesh, p.boundsMax.y - 0.5 * m, std::numbers::pi * m / 2), p.teeth);
        return true;
    }
    EXPECT_EQ(p.teeth, 1);
    return false;
}

} // namespace

// One pass over the catalogue: each part type's definition file reads back
// through the viewer's reader, its mesh file is a closed outward solid that
// admesh finds nothing to repair in, its connections sit on their features
// and its teeth are in the mesh.
TEST_F(Catalogue, EveryPartTypeIsSoundInItsFiles)
{
    ASSERT_EQ(vxTest::runCommand("command -v admesh").status, 0) << "admesh is not installed (scripts/deps.sh installs it)";
    const auto& parts = vxPartCatalog::partTypes();
    EXPECT_GE(parts.size(), 60u);
    std::set<int> groups;
    std::set<std::string> names;
    int gears = 0;
    for (const auto& p : parts) {
        SCOPED_TRACE(p.shortName + " " + p.name);
        groups.insert(p.group);
        EXPECT_EQ(p.shortName.size(), 5u);
        EXPECT_EQ(p.shortName.find_first_not_of("0123456789"), std::string::npos);
        EXPECT_TRUE(names.insert(p.shortName).second) << "twice";
        EXPECT_FALSE(p.name.empty());
        EXPECT_EQ(vxPartCatalog::find(p.shortName), &p);
        for (const auto& child : p.children)
            EXPECT_NE(vxPartCatalog::find(child), nullptr) << "child " << child;
        EXPECT_GE(p.triangleCount, 100u);
        EXPECT_LE(p.triangleCount, 12000u);
        checkDefinitionFile(p, file(p.shortName + ".def"));
        checkMeshFile(p, file(p.shortName + ".stl"));
        checkAdmesh(p, dir->file(p.shortName + ".stl"));
        gears += checkTeeth(p);
    }
    EXPECT_EQ(groups, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 18}));
    EXPECT_GE(gears, 5);
    EXPECT_EQ(vxPartCatalog::find("99999"), nullptr);
    EXPECT_TRUE(vxPartCatalog::mesh("99999").triangles.empty());
    // The example every model file uses: K31005_block30.
    ASSERT_NE(vxPartCatalog::find("31005"), nullptr);
    EXPECT_EQ(vxPartCatalog::find("31005")->name, "Building block 30");
}

// The probes above would notice a connection that is off its feature: moved
// along or across its axis, or turned round.
TEST_F(Catalogue, ProbesNoticeMisplacedConnections)
{
    for (const char* name : {"31005", "31105", "33005", "34101", "35003", "35005", "34001", "38001"}) {
        const vxPartType* p = vxPartCatalog::find(name);
        ASSERT_NE(p, nullptr);
        const vxMesh& m = vxPartCatalog::mesh(name);
        for (const auto& c : p->connections) {
            SCOPED_TRACE(std::string(name) + " " + c.eng);
            vxPartConnection moved = c;
            moved.position = c.position + c.normal * 0.5;
            EXPECT_FALSE(probeConnection(*p, moved, m).empty()) << "moved out";
            moved.position = c.position - c.normal * 0.5;
            EXPECT_FALSE(probeConnection(*p, moved, m).empty()) << "moved in";
            // Grooves run on along their reference direction: move them across.
            const vxVec3 side = c.kind == vxConnectionKind::Groove ? normalized(cross(c.normal, c.reference))
                                                                   : anyPerpendicular(c.normal);
            moved.position = c.position + side * 0.5;
            EXPECT_FALSE(probeConnection(*p, moved, m).empty()) << "moved sideways";
            // Rim and tyre seats are the same both ways round.
            if (c.kind == vxConnectionKind::Rim || c.kind == vxConnectionKind::Tyre)
                continue;
            vxPartConnection turned = c;
            turned.normal = -c.normal;
            EXPECT_FALSE(probeConnection(*p, turned, m).empty()) << "turned round";
        }
    }
}

TEST_F(Catalogue, TheBlockFitsTheGrid)
{
    const vxPartType* b30 = vxPartCatalog::find("31005");
    ASSERT_NE(b30, nullptr);
    EXPECT_GE(b30->triangleCount, 500u);
    EXPECT_LE(b30->triangleCount, 3000u);
    // 15 x 15 x 30 body behind the pin's seat at the origin, pin 5 long.
    EXPECT_NEAR(b30->boundsMin.x, -7.5, 1e-9);
    EXPECT_NEAR(b30->boundsMax.y, 7.5, 1e-9);
    EXPECT_NEAR(b30->boundsMin.z, -30.0, 1e-9);
    EXPECT_NEAR(b30->boundsMax.z, K::kPinLength, 1e-9);
    // 4 grooves x 2 cells, the pin and the socket.
    EXPECT_EQ(b30->connections.size(), 10u);
}

namespace {

// Vertices of a near the joint that lie deeper than 0.05 mm inside b.
std::size_t interpenetration(const vxMesh& a, const vxMesh& b, vxVec3 joint, double radius)
{
    std::size_t n = 0;
    for (const auto& v : a.vertices)
        if (length(v - joint) < radius && insideSolid(b, v) && distanceToSurface(b, v) > 0.05)
            ++n;
    return n;
}

const vxPartConnection& connectionOf(const char* part, const std::string& eng)
{
    for (const auto& c : vxPartCatalog::find(part)->connections)
        if (c.eng == eng)
            return c;
    throw std::runtime_error(std::string(part) + " has no connection " + eng);
}

} // namespace

TEST_F(Catalogue, MatingFrameJoinsSeatsAndTurnsTheNormals)
{
    const vxPartConnection& pin = connectionOf("31005", "pin on the front face");
    const vxPartConnection& groove = connectionOf("31005", "groove on the top face, cell 2");
    const vxFrame f = matingFrame(pin, groove);
    EXPECT_FALSE(f.mirrors());
    EXPECT_NEAR(length(f.point(pin.position) - groove.position), 0.0, 1e-12);
    EXPECT_NEAR(dot(f.direction(pin.normal), groove.normal), -1.0, 1e-12);
    EXPECT_NEAR(dot(f.direction(pin.reference), groove.reference), 1.0, 1e-12);
    // The block stands on the other's top face, pin pointing down into the
    // groove (direction -Y), its back end 30 mm above the face.
    EXPECT_NEAR(f.ez.y, -1.0, 1e-12);
    EXPECT_NEAR(f.point({0, 0, -30}).y, 7.5 + 30.0, 1e-12);
}

// Joined at their connections, the parts touch but do not pass into each
// other: the system's pins, grooves, sockets, holes and bores fit.
TEST_F(Catalogue, JoinedPartsFitTogether)
{
    struct Joint {
        const char* pinPart;
        const char* pinName;
        const char* holePart;
        const char* holeName;
    };
    const Joint joints[] = {
        {"31005", "pin on the front face", "31005", "groove on the top face, cell 1"},
        {"31005", "pin on the front face", "31003", "socket in the back face"},
        {"31005", "pin on the front face", "31105", "groove across the back face"},
        {"31005", "pin on the front face", "32101", "groove 2, cell 3"},
        {"31005", "pin on the front face", "33005", "hole 2, top side"},
        {"32007", "pin under cell 2,1", "31007", "groove on the right face, cell 2"},
        {"37001", "pin, back", "31005", "groove on the left face, cell 1"},
        {"34003", "axle end", "34101", "bore, front end"},
        {"34003", "axle end", "36005", "bore, back end"},
        {"34003", "axle end", "31015", "cross bore, left end"},
        {"38001", "output shaft", "36013", "bore, back end"},
        {"35003", "tyre seat", "35005", "rim seat"},
        {"38009", "plug pin", "38001", "plug socket, left"},
    };
    for (const auto& j : joints) {
        SCOPED_TRACE(std::string(j.pinPart) + " " + j.pinName + " -> " + j.holePart + " " + j.holeName);
        const vxPartConnection& pin = connectionOf(j.pinPart, j.pinName);
        const vxPartConnection& hole = connectionOf(j.holePart, j.holeName);
        EXPECT_TRUE(fits(pin.kind, hole.kind));
        EXPECT_EQ(pin.typ(), 1);
        EXPECT_EQ(hole.typ(), 0);
        vxMesh moved = vxPartCatalog::mesh(j.pinPart);
        moved.transform(matingFrame(pin, hole));
        const vxMesh& fixed = vxPartCatalog::mesh(j.holePart);
        EXPECT_EQ(interpenetration(moved, fixed, hole.position, 12.0), 0u);
        EXPECT_EQ(interpenetration(fixed, moved, hole.position, 12.0), 0u);
    }
    // A misfit is noticed: a pin pushed 0.5 mm too deep into a groove.
    const vxPartConnection& pin = connectionOf("31005", "pin on the front face");
    vxPartConnection deeper = connectionOf("31005", "groove on the top face, cell 1");
    deeper.position = deeper.position - deeper.normal * 0.5;
    vxMesh moved = vxPartCatalog::mesh("31005");
    moved.transform(matingFrame(pin, deeper));
    EXPECT_GT(interpenetration(moved, vxPartCatalog::mesh("31005"), deeper.position, 12.0), 0u);
}
