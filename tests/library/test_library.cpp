// The shipped model library as the build generated it: every model loads,
// its parts exist and are joined, its phases, camera and preview picture
// are right. Reads the files only (definitions, meshes, models, bitmaps).
#include "vxBmp.h"
#include "vxDefinition.h"
#include "vxModel.h"
#include "vxResources.h"
#include "vxStlFile.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::string kResources = std::string(KOLBRIK_BUILD_DIR) + "/share/kolbrik-viewer";
const std::string kLibrary = kResources + "/library";

vxVec3 of(const vxVector& v) { return {v.x(), v.y(), v.z()}; }

// The placement the viewer gives a part: its frame's X axis on up x
// direction, Y on up, Z on direction; part frame millimetres become
// centimetres.
vxFrame placement(const vxPart& p)
{
    const vxVec3 up = of(p.up()), dir = of(p.direction());
    vxFrame f;
    f.origin = of(p.position());
    f.ex = cross(up, dir) * 0.1;
    f.ey = up * 0.1;
    f.ez = dir * 0.1;
    return f;
}

// A part type's mesh file moved by its definition's offset (as the viewer's
// loader does), read once per name.
const vxMesh& partMesh(const vxPart& p)
{
    static std::map<std::string, vxMesh> cache;
    auto it = cache.find(p.shortName());
    if (it == cache.end()) {
        const vxDefinition& d = p.definition();
        const std::string bytes = vxTest::readFile(kResources + "/" + p.shortName() + ".stl");
        it = cache.emplace(p.shortName(), vxTest::readStl(bytes, {d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ})).first;
    }
    return it->second;
}

// Every model of the library, loaded once.
struct Model {
    std::string path; // below the library folder
    std::string text;
    vxModel model;
};

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

// A connection of a placed part, in model units.
struct Seat {
    std::size_t part;
    const vxConnection* c;
    vxVec3 at, normal;
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
        const vxFrame pl = placement(*parts[i]);
        for (const auto& c : it->second.m_ConnectionList)
            seats.push_back({i, c.get(), pl.point({c->m_X, c->m_Y, c->m_Z}),
                             normalized(pl.direction({c->m_PN, c->m_RN, c->m_TN}))});
    }
    const double tolerance = 0.01; // cm
    auto cellOf = [](vxVec3 p) {
        return std::array<long, 3>{std::lround(p.x * 10), std::lround(p.y * 10), std::lround(p.z * 10)};
    };
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
                            length(seats[o].at - seats[k].at) <= tolerance)
                            joined[seats[k].part] = joined[seats[o].part] = true;
                }
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::vector<vxVec3> ends;
        for (const Seat& s : seats)
            if (s.part == i && s.c->m_Name == "axle")
                ends.push_back(s.at);
        if (ends.size() != 2)
            continue;
        const double axle = length(ends[1] - ends[0]);
        const vxVec3 u = (ends[1] - ends[0]) * (1.0 / axle);
        for (const Seat& s : seats) {
            if (s.part == i || (s.c->m_Name != "bore" && s.c->m_Name != "hole") || std::abs(dot(s.normal, u)) < 0.999)
                continue;
            const double t = dot(s.at - ends[0], u);
            if (t >= -tolerance && t <= axle + tolerance && length(s.at - (ends[0] + u * t)) <= tolerance)
                joined[i] = joined[s.part] = true;
        }
    }
    return joined;
}

// The file's text: CR LF lines only, ASCII, every section and key of the
// format, no negative zero.
void checkText(const Model& m)
{
    std::size_t lf = 0, crlfCount = 0;
    for (std::size_t i = 0; i < m.text.size(); ++i) {
        EXPECT_LT(static_cast<unsigned char>(m.text[i]), 128u);
        if (m.text[i] == '\n') {
            ++lf;
            crlfCount += i > 0 && m.text[i - 1] == '\r';
        }
    }
    EXPECT_EQ(lf, crlfCount);
    for (const char* key : {"[CAMERA]\r\n", "POSITIONX=", "DIRECTIONY=", "UPZ=", "TARGETX=", "[COMMON]\r\n", "COUNT=",
                            "TUBECOUNT=", "INFMODELL=", "INFORIGINAL=", "INFGEBAUT="})
        EXPECT_NE(m.text.find(key), std::string::npos) << key;
    EXPECT_EQ(m.text.find("=-0\r"), std::string::npos);
    EXPECT_FALSE(m.model.infModell().empty());
    EXPECT_FALSE(m.model.infOriginal().empty());
    EXPECT_FALSE(m.model.infGebaut().empty());
}

// Parts: named K<number>_<name>, with a definition and a mesh, sound
// placement vectors, listed in building order with phases from 1 without
// gaps; tubes with sensible node counts.
void checkParts(const vxModel& model)
{
    ASSERT_GT(model.count(), 0);
    ASSERT_EQ(model.partList().size(), static_cast<std::size_t>(model.count()));
    const std::int32_t top = model.maximumBauphase();
    EXPECT_GE(top, 2);
    std::vector<int> perPhase(static_cast<std::size_t>(top) + 1, 0);
    std::int32_t previous = 1;
    for (std::size_t i = 0; i < model.partList().size(); ++i) {
        const vxPart& p = *model.partList()[i];
        SCOPED_TRACE("part " + std::to_string(i + 1) + " " + p.partName());
        ASSERT_GE(p.partName().size(), 8u);
        EXPECT_EQ(p.partName()[0], 'K');
        EXPECT_EQ(p.partName()[6], '_');
        EXPECT_TRUE(p.definition().found());
        EXPECT_FALSE(partMesh(p).vertices.empty());
        const vxVec3 up = of(p.up()), dir = of(p.direction());
        EXPECT_NEAR(length(up), 1.0, 1e-5);
        EXPECT_NEAR(length(dir), 1.0, 1e-5);
        EXPECT_NEAR(dot(up, dir), 0.0, 1e-5);
        ASSERT_GE(p.phase(), i == 0 ? 1 : previous) << "parts are listed in building order, the first in phase 1";
        ASSERT_LE(p.phase(), i == 0 ? 1 : top);
        ++perPhase[static_cast<std::size_t>(p.phase())];
        previous = p.phase();
    }
    for (std::int32_t k = 1; k <= top; ++k)
        EXPECT_GT(perPhase[static_cast<std::size_t>(k)], 0) << "phase " << k << " is empty";
    ASSERT_EQ(model.tubeList().size(), static_cast<std::size_t>(std::max(0, model.tubeCount())));
    for (const auto& t : model.tubeList()) {
        EXPECT_GE(t->count(), 2);
        EXPECT_LE(t->count(), vxTube::kNodes);
        EXPECT_GT(t->radius(), 0.0f);
    }
    const std::vector<bool> joined = joinedParts(model);
    int loose = 0;
    for (std::size_t i = 1; i < joined.size(); ++i)
        if (!joined[i] && ++loose <= 5)
            ADD_FAILURE() << "part " << i + 1 << " (" << model.partList()[i]->partName()
                          << ") meets no connection of another part";
}

// The model stands on the ground in the middle of the grid, and the camera
// frames all of it from above at an angle, filling the picture.
void checkPlaceAndCamera(const vxModel& model)
{
    const double f = 1.0 / std::tan(15.0 * std::numbers::pi / 180.0), aspect = 320.0 / 240.0;
    const vxVec3 eye = of(model.cameraPosition()), target = of(model.cameraTarget());
    EXPECT_NEAR(length(of(model.cameraUp()) - vxVec3{0, 1, 0}), 0.0, 1e-6);
    const vxVec3 forward = normalized(target - eye);
    EXPECT_NEAR(length(of(model.cameraDirection()) - forward), 0.0, 1e-3);
    // A three-quarter view: from above, from neither straight ahead nor
    // straight from the side.
    EXPECT_LT(forward.y, -0.1);
    EXPECT_GT(std::abs(forward.x), 0.15);
    EXPECT_GT(std::abs(forward.z), 0.15);
    // The draw's look-at (up fixed at +y) and perspective.
    const vxVec3 side = normalized(cross(forward, {0, 1, 0}));
    const vxVec3 up = cross(side, forward);
    vxVec3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    double spanX = 0, spanY = 0;
    int outside = 0;
    for (const auto& p : model.partList()) {
        const vxFrame pl = placement(*p);
        for (const vxVec3& v : partMesh(*p).vertices) {
            const vxVec3 w = pl.point(v);
            lo = {std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
            hi = {std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
            const vxVec3 q = w - eye;
            const double depth = dot(q, forward);
            const double x = dot(q, side) * f / aspect / depth, y = dot(q, up) * f / depth;
            spanX = std::max(spanX, std::abs(x));
            spanY = std::max(spanY, std::abs(y));
            outside += depth <= 0.2 || depth >= 1000.0 || std::abs(x) > 1.0 || std::abs(y) > 1.0;
        }
    }
    EXPECT_NEAR(lo.y, 0.0, 0.01);
    EXPECT_NEAR((lo.x + hi.x) / 2, 0.0, 0.5);
    EXPECT_NEAR((lo.z + hi.z) / 2, 0.0, 0.5);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(std::max(spanX, spanY), 0.6);
}

// The preview beside the model: a 320 x 240 bitmap that is not blank; many
// pixels differ from the background, and their mean colour is not the
// background's.
void checkPreview(const std::string& path)
{
    fs::path picture = fs::path(kLibrary) / path;
    picture.replace_extension(".bmp");
    std::string error;
    const vxBmpImage b = vxReadBmp(picture.string(), &error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(b.width, 320);
    EXPECT_EQ(b.height, 240);
    const double background[3] = {0.92, 0.91, 0.85};
    double mean[3] = {0, 0, 0};
    std::size_t drawn = 0;
    const std::size_t n = b.rgb.size() / 3;
    for (std::size_t i = 0; i < n; ++i) {
        double d = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const double v = b.rgb[i * 3 + k] / 255.0;
            mean[k] += v / static_cast<double>(n);
            d = std::max(d, std::abs(v - background[k]));
        }
        drawn += d > 0.05;
    }
    EXPECT_GT(static_cast<double>(drawn) / static_cast<double>(n), 0.04);
    EXPECT_GT(std::abs(mean[0] - background[0]) + std::abs(mean[1] - background[1]) + std::abs(mean[2] - background[2]),
              0.03);
}

} // namespace

TEST(Library, EveryModelIsSoundAndHasAPreviewThatShowsIt)
{
    if (!KOLBRIK_LIBRARY_BUILT)
        GTEST_SKIP() << "this build does not generate the resource folder";
    ASSERT_TRUE(fs::is_directory(kLibrary)) << kLibrary;
    ASSERT_GE(models().size(), 24u);
    std::set<std::string> kits;
    int inSubFolders = 0;
    std::size_t largest = 0;
    for (const auto& m : models()) {
        SCOPED_TRACE(m->path);
        kits.insert(m->path.substr(0, m->path.find('/')));
        inSubFolders += std::count(m->path.begin(), m->path.end(), '/') > 1;
        largest = std::max(largest, m->model.partList().size());
        ASSERT_TRUE(m->model.fileContent().has_value());
        checkText(*m);
        checkParts(m->model);
        checkPlaceAndCamera(m->model);
        checkPreview(m->path);
    }
    EXPECT_GE(kits.size(), 4u);
    EXPECT_GE(inSubFolders, 1);
    EXPECT_GE(largest, 3000u); // the benchmark model

    // Every kit folder, sub-folders too, holds models (the browser lists
    // each folder as a kit), and no picture is without its model.
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(kLibrary, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory()) {
            bool any = false;
            for (const auto& e : fs::directory_iterator(it->path()))
                any = any || e.path().extension() == ".kmf";
            EXPECT_TRUE(any) << "kit folder without models: " << it->path();
        } else if (it->path().extension() == ".bmp") {
            EXPECT_TRUE(fs::exists(fs::path(it->path()).replace_extension(".kmf"))) << it->path();
        }
    }
}

TEST(LibraryGenerator, WritesTheSameFilesOnEveryRun)
{
    vxTest::TempDir a, b;
    auto modelgen = [](const std::string& args) {
        return vxTest::runCommand(std::string("'") + KOLBRIK_MODELGEN + "' " + args);
    };
    const std::string toB = "--out '" + b.path() + "' --stamp '" + b.file("stamp.txt") + "'";
    auto r = modelgen("--out '" + a.path() + "'");
    ASSERT_EQ(r.status, 0) << r.out;
    r = modelgen(toB);
    ASSERT_EQ(r.status, 0) << r.out;
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
    r = modelgen(toB);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(fs::exists(b.file("Old/Gone.kmf")));
    EXPECT_FALSE(fs::exists(b.file("Old/Gone.bmp")));
    EXPECT_TRUE(fs::exists(b.file("Old/Mine.txt")));
    // An emptied kit folder goes too.
    vxTest::writeFile(b.file("Lost/Kit/Gone.kmf"), "x");
    vxTest::writeFile(b.file("stamp.txt"), stamp + "Lost/Kit/Gone.kmf\n");
    r = modelgen(toB);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(fs::exists(b.file("Lost")));
    EXPECT_TRUE(fs::exists(b.file("Old")));
    EXPECT_EQ(vxTest::readFile(b.file("stamp.txt")), stamp);
}
