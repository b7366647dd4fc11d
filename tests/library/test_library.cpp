// The shipped model library as the build generated it: every model loads,
// its parts exist and are joined, its phases, camera and preview picture
// are right. Reads the files only (definitions, meshes, models, bitmaps).
#include "vxDefinition.h"
#include "vxModel.h"
#include "vxResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

const std::string kResources = std::string(KOLBRIK_BUILD_DIR) + "/share/kolbrik-viewer";
const std::string kLibrary = kResources + "/library";

struct V {
    double x = 0, y = 0, z = 0;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V operator*(V a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double len(V a) { return std::sqrt(dot(a, a)); }
V unit(V a) { return a * (1.0 / len(a)); }
V of(const vxVector& v) { return {v.x(), v.y(), v.z()}; }

// The placement the viewer gives a part: its frame's X axis on up x
// direction, Y on up, Z on direction; part frame millimetres become
// centimetres.
struct Placement {
    V origin, ex, ey, ez;
    V point(V p) const { return origin + (ex * p.x + ey * p.y + ez * p.z) * 0.1; }
    V direction(V d) const { return ex * d.x + ey * d.y + ez * d.z; }
};

Placement placement(const vxPart& p)
{
    const V up = of(p.up()), dir = of(p.direction());
    return {of(p.position()), cross(up, dir), up, dir};
}

// A binary STL file: its vertices (file coordinates), read once per name.
const std::vector<V>& meshVertices(const std::string& shortName)
{
    static std::map<std::string, std::vector<V>> cache;
    auto it = cache.find(shortName);
    if (it != cache.end())
        return it->second;
    std::vector<V> vertices;
    const std::string bytes = vxTest::readFile(kResources + "/" + shortName + ".stl");
    if (bytes.size() >= 84) {
        std::uint32_t n = 0;
        std::memcpy(&n, bytes.data() + 80, 4);
        if (bytes.size() >= 84 + std::size_t{n} * 50)
            for (std::uint32_t t = 0; t < n; ++t)
                for (int k = 0; k < 3; ++k) {
                    float c[3];
                    std::memcpy(c, bytes.data() + 84 + std::size_t{t} * 50 + 12 + k * 12, 12);
                    vertices.push_back({c[0], c[1], c[2]});
                }
    }
    return cache.emplace(shortName, std::move(vertices)).first->second;
}

struct Model {
    std::string path;  // below the library folder
    std::string text;
    vxModel model;
};

// Every model of the library, loaded once.
const std::vector<std::unique_ptr<Model>>& models()
{
    static std::vector<std::unique_ptr<Model>> all = [] {
        vxResources::setResourceFolder(kResources);
        std::vector<fs::path> files;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(kLibrary, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->path().extension() == ".kmf")
                files.push_back(it->path());
        std::sort(files.begin(), files.end());
        std::vector<std::unique_ptr<Model>> list;
        for (const fs::path& f : files) {
            auto m = std::make_unique<Model>();
            m->path = fs::relative(f, kLibrary).generic_string();
            m->text = vxTest::readFile(f.string());
            m->model.loadModelFromFile(f.string());
            list.push_back(std::move(m));
        }
        return list;
    }();
    return all;
}

class Library : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!KOLBRIK_LIBRARY_BUILT)
            GTEST_SKIP() << "this build does not generate the resource folder";
        ASSERT_TRUE(fs::is_directory(kLibrary)) << kLibrary;
        ASSERT_FALSE(models().empty());
    }
};

// A connection of a placed part, in model units.
struct Seat {
    std::size_t part;
    const vxConnection* c;
    V at, normal;
};

bool fitsPin(const std::string& pin, const std::string& hole)
{
    static const std::multimap<std::string, std::string> table = {
        {"pin", "groove"}, {"pin", "socket"}, {"pin", "hole"}, {"axle", "bore"},
        {"axle", "hole"},  {"rim", "tyre"},   {"plug", "plug socket"}};
    auto range = table.equal_range(pin);
    return std::any_of(range.first, range.second, [&](const auto& e) { return e.second == hole; });
}

bool fit(const vxConnection& a, const vxConnection& b)
{
    return fitsPin(a.m_Name, b.m_Name) || fitsPin(b.m_Name, a.m_Name);
}

// Which parts of a model are joined to another part: a connection of theirs
// meets a fitting one of another part within 0.1 mm, or an axle of theirs
// runs through another part's bore or hole (or theirs around another's
// axle): the bore's seat on the axle between its two ends.
std::vector<bool> joinedParts(const vxModel& m)
{
    const auto& parts = m.partList();
    // The connections of each part type, read from its definition.
    static std::map<std::string, vxDefinition> definitions;
    std::vector<Seat> seats;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        auto it = definitions.find(parts[i]->shortName());
        if (it == definitions.end()) {
            it = definitions.emplace(parts[i]->shortName(), parts[i]->definition()).first;
            it->second.ReadConnections();
        }
        const Placement pl = placement(*parts[i]);
        for (const auto& c : it->second.m_ConnectionList)
            seats.push_back({i, c.get(), pl.point({c->m_X, c->m_Y, c->m_Z}), pl.direction({c->m_PN, c->m_RN, c->m_TN})});
    }
    const double tolerance = 0.01; // cm
    auto cellOf = [](V p) { return std::array<long, 3>{std::lround(p.x * 10), std::lround(p.y * 10), std::lround(p.z * 10)}; };
    std::map<std::array<long, 3>, std::vector<std::size_t>> grid;
    for (std::size_t k = 0; k < seats.size(); ++k)
        grid[cellOf(seats[k].at)].push_back(k);
    std::vector<bool> joined(parts.size(), false);
    for (std::size_t k = 0; k < seats.size(); ++k) {
        const auto c = cellOf(seats[k].at);
        for (long dx = -1; dx <= 1; ++dx)
            for (long dy = -1; dy <= 1; ++dy)
                for (long dz = -1; dz <= 1; ++dz) {
                    auto it = grid.find({c[0] + dx, c[1] + dy, c[2] + dz});
                    if (it == grid.end())
                        continue;
                    for (std::size_t o : it->second)
                        if (seats[o].part != seats[k].part && fit(*seats[o].c, *seats[k].c) &&
                            len(seats[o].at - seats[k].at) <= tolerance)
                            joined[seats[k].part] = joined[seats[o].part] = true;
                }
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::vector<V> ends;
        for (const Seat& s : seats)
            if (s.part == i && s.c->m_Name == "axle")
                ends.push_back(s.at);
        if (ends.size() != 2)
            continue;
        const double length = len(ends[1] - ends[0]);
        const V u = (ends[1] - ends[0]) * (1.0 / length);
        for (const Seat& s : seats) {
            if (s.part == i || (s.c->m_Name != "bore" && s.c->m_Name != "hole") || std::abs(dot(s.normal, u)) < 0.999)
                continue;
            const double t = dot(s.at - ends[0], u);
            if (t >= -tolerance && t <= length + tolerance && len(s.at - (ends[0] + u * t)) <= tolerance)
                joined[i] = joined[s.part] = true;
        }
    }
    return joined;
}

// The eight corners of a part's mesh bounds, placed, in model units.
std::vector<V> boxCorners(const vxPart& p)
{
    const auto& vertices = meshVertices(p.shortName());
    if (vertices.empty())
        return {};
    V lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    for (const V& v : vertices) {
        lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
    const vxDefinition& d = p.definition();
    const V offset{d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ};
    const Placement pl = placement(p);
    std::vector<V> corners;
    for (int k = 0; k < 8; ++k)
        corners.push_back(pl.point(V{(k & 1) ? hi.x : lo.x, (k & 2) ? hi.y : lo.y, (k & 4) ? hi.z : lo.z} + offset));
    return corners;
}

// A 24-bit uncompressed bitmap: its pixels as RGB rows from the top, or an
// empty list with the reason.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    std::string error;
};

Bitmap readBitmap(const std::string& path)
{
    Bitmap b;
    const std::string s = vxTest::readFile(path);
    auto u16 = [&](std::size_t at) { return std::uint32_t(std::uint8_t(s[at])) | std::uint32_t(std::uint8_t(s[at + 1])) << 8; };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (s.size() < 54 || s.compare(0, 2, "BM") != 0) {
        b.error = "no bitmap";
        return b;
    }
    if (u32(2) != s.size() || u32(14) != 40 || u16(26) != 1 || u16(28) != 24 || u32(30) != 0) {
        b.error = "not a plain 24-bit BI_RGB bitmap";
        return b;
    }
    const auto w = static_cast<std::int32_t>(u32(18)), h = static_cast<std::int32_t>(u32(22));
    const std::size_t row = (std::size_t(w) * 3 + 3) / 4 * 4;
    if (w <= 0 || h <= 0 || u32(10) != 54 || s.size() != 54 + row * std::size_t(h)) {
        b.error = "size, rows or padding wrong";
        return b;
    }
    b.width = w;
    b.height = h;
    for (std::int32_t y = h - 1; y >= 0; --y) // bottom-up rows
        for (std::int32_t x = 0; x < w; ++x) {
            const std::size_t at = 54 + std::size_t(y) * row + std::size_t(x) * 3;
            b.rgb.push_back(std::uint8_t(s[at + 2]));
            b.rgb.push_back(std::uint8_t(s[at + 1]));
            b.rgb.push_back(std::uint8_t(s[at]));
        }
    return b;
}

} // namespace

TEST_F(Library, HasFourKitsTwentyFourModelsAndSubFolders)
{
    std::set<std::string> kits;
    int inSubFolders = 0;
    for (const auto& m : models()) {
        const std::string kit = m->path.substr(0, m->path.find('/'));
        kits.insert(kit);
        if (std::count(m->path.begin(), m->path.end(), '/') > 1)
            ++inSubFolders;
    }
    EXPECT_GE(kits.size(), 4u);
    EXPECT_GE(models().size(), 24u);
    EXPECT_GE(inSubFolders, 1);
    // Every kit folder, sub-folders too, holds models: the browser lists
    // each folder as a kit.
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(kLibrary, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_directory())
            continue;
        bool any = false;
        for (const auto& e : fs::directory_iterator(it->path()))
            any = any || e.path().extension() == ".kmf";
        EXPECT_TRUE(any) << "kit folder without models: " << it->path();
    }
}

TEST_F(Library, EveryModelLoadsWithAllSectionsAndSoundPlacements)
{
    std::size_t largest = 0;
    for (const auto& m : models()) {
        SCOPED_TRACE(m->path);
        const vxModel& model = m->model;
        ASSERT_TRUE(model.fileContent().has_value());
        // CR LF lines only, ASCII, every section and key of the format.
        EXPECT_EQ(m->text.find('\n'), m->text.find("\r\n") + 1);
        std::size_t lf = 0, crlfCount = 0;
        for (std::size_t i = 0; i < m->text.size(); ++i) {
            EXPECT_LT(static_cast<unsigned char>(m->text[i]), 128u);
            if (m->text[i] == '\n') {
                ++lf;
                crlfCount += i > 0 && m->text[i - 1] == '\r';
            }
        }
        EXPECT_EQ(lf, crlfCount);
        for (const char* key : {"[CAMERA]\r\n", "POSITIONX=", "DIRECTIONY=", "UPZ=", "TARGETX=", "[COMMON]\r\n",
                                "COUNT=", "TUBECOUNT=", "INFMODELL=", "INFORIGINAL=", "INFGEBAUT="})
            EXPECT_NE(m->text.find(key), std::string::npos) << key;
        EXPECT_FALSE(model.infModell().empty());
        EXPECT_FALSE(model.infOriginal().empty());
        EXPECT_FALSE(model.infGebaut().empty());
        EXPECT_EQ(m->text.find("=-0\r"), std::string::npos);

        ASSERT_GT(model.count(), 0);
        ASSERT_EQ(model.partList().size(), static_cast<std::size_t>(model.count()));
        largest = std::max(largest, model.partList().size());
        for (std::size_t i = 0; i < model.partList().size(); ++i) {
            const vxPart& p = *model.partList()[i];
            SCOPED_TRACE("part " + std::to_string(i + 1) + " " + p.partName());
            ASSERT_GE(p.partName().size(), 8u);
            EXPECT_EQ(p.partName()[0], 'K');
            EXPECT_EQ(p.partName()[6], '_');
            const V up = of(p.up()), dir = of(p.direction());
            EXPECT_NEAR(len(up), 1.0, 1e-5);
            EXPECT_NEAR(len(dir), 1.0, 1e-5);
            EXPECT_NEAR(dot(up, dir), 0.0, 1e-5);
        }
        ASSERT_EQ(model.tubeList().size(), static_cast<std::size_t>(std::max(0, model.tubeCount())));
        for (const auto& t : model.tubeList()) {
            EXPECT_GE(t->count(), 2);
            EXPECT_LE(t->count(), vxTube::kNodes);
            EXPECT_GT(t->radius(), 0.0f);
        }
    }
    // The benchmark model.
    EXPECT_GE(largest, 3000u);
}

TEST_F(Library, EveryPartHasItsDefinitionAndMesh)
{
    for (const auto& m : models())
        for (const auto& p : m->model.partList()) {
            EXPECT_TRUE(p->definition().found()) << m->path << ": " << p->partName();
            EXPECT_TRUE(vxResources::resourcePath(p->shortName(), "stl", "").has_value()) << m->path << ": " << p->partName();
            EXPECT_FALSE(meshVertices(p->shortName()).empty()) << p->shortName();
        }
}

TEST_F(Library, EveryPartButTheFirstIsJoinedToAnother)
{
    for (const auto& m : models()) {
        const std::vector<bool> joined = joinedParts(m->model);
        int loose = 0;
        for (std::size_t i = 1; i < joined.size(); ++i)
            if (!joined[i] && ++loose <= 5)
                ADD_FAILURE() << m->path << ": part " << i + 1 << " (" << m->model.partList()[i]->partName()
                              << ") meets no connection of another part";
    }
}

TEST_F(Library, PhasesRunFromOneWithoutGapsBaseFirst)
{
    for (const auto& m : models()) {
        SCOPED_TRACE(m->path);
        const auto& parts = m->model.partList();
        const std::int32_t top = m->model.maximumBauphase();
        std::vector<int> perPhase(static_cast<std::size_t>(top) + 1, 0);
        std::int32_t previous = 1;
        for (const auto& p : parts) {
            ASSERT_GE(p->phase(), 1);
            ASSERT_LE(p->phase(), top);
            ++perPhase[static_cast<std::size_t>(p->phase())];
            EXPECT_GE(p->phase(), previous) << "parts are listed in building order";
            previous = p->phase();
        }
        EXPECT_EQ(parts.front()->phase(), 1);
        for (std::int32_t k = 1; k <= top; ++k)
            EXPECT_GT(perPhase[static_cast<std::size_t>(k)], 0) << "phase " << k << " is empty";
        EXPECT_GE(top, 2);
    }
}

TEST_F(Library, ModelsStandOnTheGroundInTheMiddleOfTheGrid)
{
    for (const auto& m : models()) {
        V lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
        for (const auto& p : m->model.partList()) {
            const vxDefinition& d = p->definition();
            const V offset{d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ};
            const Placement pl = placement(*p);
            for (const V& v : meshVertices(p->shortName())) {
                const V w = pl.point(v + offset);
                lo = {std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
                hi = {std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
            }
        }
        EXPECT_NEAR(lo.y, 0.0, 0.01) << m->path;
        EXPECT_NEAR((lo.x + hi.x) / 2, 0.0, 0.5) << m->path;
        EXPECT_NEAR((lo.z + hi.z) / 2, 0.0, 0.5) << m->path;
    }
}

TEST_F(Library, TheCameraFramesTheWholeModelFromAboveAtAnAngle)
{
    const double pi = 3.14159265358979323846;
    const double f = 1.0 / std::tan(15.0 * pi / 180.0), aspect = 320.0 / 240.0;
    for (const auto& m : models()) {
        SCOPED_TRACE(m->path);
        const vxModel& model = m->model;
        const V eye = of(model.cameraPosition()), target = of(model.cameraTarget());
        EXPECT_NEAR(len(of(model.cameraUp()) - V{0, 1, 0}), 0.0, 1e-6);
        const V forward = unit(target - eye);
        EXPECT_NEAR(len(of(model.cameraDirection()) - forward), 0.0, 1e-3);
        // A three-quarter view: from above, from neither straight ahead nor
        // straight from the side.
        EXPECT_LT(forward.y, -0.1);
        EXPECT_GT(std::abs(forward.x), 0.15);
        EXPECT_GT(std::abs(forward.z), 0.15);
        // The draw's look-at (up fixed at +y) and perspective.
        const V side = unit(cross(forward, {0, 1, 0}));
        const V up = cross(side, forward);
        double spanX = 0, spanY = 0;
        int outside = 0;
        for (const auto& p : model.partList())
            for (const V& c : boxCorners(*p)) {
                const V q = c - eye;
                const double depth = dot(q, forward);
                const double x = dot(q, side) * f / aspect / depth, y = dot(q, up) * f / depth;
                spanX = std::max(spanX, std::abs(x));
                spanY = std::max(spanY, std::abs(y));
                if (depth <= 0.2 || depth >= 1000.0 || std::abs(x) > 1.0 || std::abs(y) > 1.0)
                    ++outside;
            }
        EXPECT_EQ(outside, 0);
        // And the model fills the picture rather than a corner of it.
        EXPECT_GT(std::max(spanX, spanY), 0.6);
    }
}

TEST_F(Library, EveryModelHasAPreviewThatShowsIt)
{
    for (const auto& m : models()) {
        SCOPED_TRACE(m->path);
        fs::path picture = fs::path(kLibrary) / m->path;
        picture.replace_extension(".bmp");
        const Bitmap b = readBitmap(picture.string());
        ASSERT_TRUE(b.error.empty()) << b.error;
        EXPECT_EQ(b.width, 320);
        EXPECT_EQ(b.height, 240);
        // Not blank: many pixels differ from the background, and their
        // mean colour is not the background's.
        const double background[3] = {0.92, 0.91, 0.85};
        double mean[3] = {0, 0, 0};
        std::size_t drawn = 0;
        const std::size_t n = b.rgb.size() / 3;
        for (std::size_t i = 0; i < n; ++i) {
            double d = 0;
            for (int k = 0; k < 3; ++k) {
                const double v = b.rgb[i * 3 + std::size_t(k)] / 255.0;
                mean[k] += v / static_cast<double>(n);
                d = std::max(d, std::abs(v - background[k]));
            }
            drawn += d > 0.05;
        }
        EXPECT_GT(static_cast<double>(drawn) / static_cast<double>(n), 0.04);
        EXPECT_GT(std::abs(mean[0] - background[0]) + std::abs(mean[1] - background[1]) + std::abs(mean[2] - background[2]),
                  0.03);
    }
    // No picture without its model.
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(kLibrary, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->path().extension() == ".bmp") {
            fs::path model = it->path();
            model.replace_extension(".kmf");
            EXPECT_TRUE(fs::exists(model)) << it->path();
        }
}

TEST(LibraryGenerator, WritesTheSameFilesOnEveryRun)
{
    vxTest::TempDir a, b;
    auto r1 = vxTest::runCommand(std::string("'") + KOLBRIK_MODELGEN + "' --out '" + a.path() + "'");
    auto r2 = vxTest::runCommand(std::string("'") + KOLBRIK_MODELGEN + "' --out '" + b.path() + "' --stamp '" +
                                 b.file("stamp.txt") + "'");
    ASSERT_EQ(r1.status, 0) << r1.out;
    ASSERT_EQ(r2.status, 0) << r2.out;
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(a.path())) {
        if (e.path().extension() != ".kmf")
            continue;
        ++files;
        const std::string rel = fs::relative(e.path(), a.path()).generic_string();
        const std::string text = vxTest::readFile(e.path().string());
        EXPECT_EQ(text, vxTest::readFile(b.file(rel))) << rel;
        if (KOLBRIK_LIBRARY_BUILT) {
            EXPECT_EQ(text, vxTest::readFile(kLibrary + "/" + rel)) << "the build's " << rel << " is stale";
        }
    }
    EXPECT_GE(files, 24u);
    // The stamp lists every model; a model file the generator no longer
    // makes goes away with its picture on the next run, nothing else does.
    const std::string stamp = vxTest::readFile(b.file("stamp.txt"));
    EXPECT_NE(stamp.find("Showpieces/Tower crane.kmf\n"), std::string::npos);
    vxTest::writeFile(b.file("Old/Gone.kmf"), "x");
    vxTest::writeFile(b.file("Old/Gone.bmp"), "x");
    vxTest::writeFile(b.file("Old/Mine.txt"), "x");
    vxTest::writeFile(b.file("stamp.txt"), stamp + "Old/Gone.kmf\n");
    auto r3 = vxTest::runCommand(std::string("'") + KOLBRIK_MODELGEN + "' --out '" + b.path() + "' --stamp '" +
                                 b.file("stamp.txt") + "'");
    ASSERT_EQ(r3.status, 0) << r3.out;
    EXPECT_FALSE(fs::exists(b.file("Old/Gone.kmf")));
    EXPECT_FALSE(fs::exists(b.file("Old/Gone.bmp")));
    EXPECT_TRUE(fs::exists(b.file("Old/Mine.txt")));
    // An emptied kit folder goes too.
    vxTest::writeFile(b.file("Lost/Kit/Gone.kmf"), "x");
    vxTest::writeFile(b.file("stamp.txt"), stamp + "Lost/Kit/Gone.kmf\n");
    auto r4 = vxTest::runCommand(std::string("'") + KOLBRIK_MODELGEN + "' --out '" + b.path() + "' --stamp '" +
                                 b.file("stamp.txt") + "'");
    ASSERT_EQ(r4.status, 0) << r4.out;
    EXPECT_FALSE(fs::exists(b.file("Lost")));
    EXPECT_TRUE(fs::exists(b.file("Old")));
    EXPECT_EQ(vxTest::readFile(b.file("stamp.txt")), stamp);
}
