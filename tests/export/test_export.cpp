// The exports to glTF, STL and OBJ: what goes in by building phase, what the
// files hold, and failures that leave nothing behind. Whether other programs
// read the files is the readers test's job.
#include "vxExport.h"
#include "vxExportFixtures.h"
#include "vxOpenGLView.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace {

using vxTest::readFile;

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size()))
        ++n;
    return n;
}

std::uint32_t le32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

class Export : public ::testing::Test {
  protected:
    void load(const std::string& modelText)
    {
        types = vxFixture::writeResources(dir.path());
        vxTest::writeFile(dir.file("m.kmf"), modelText);
        view.awakeFromNib();
        vxTest::ResourceFolder folder(dir.path());
        ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    }
    std::string exported(vxExportFormat format, std::optional<std::int32_t> phase = {})
    {
        const std::string path = dir.file("out." + std::string(vxExportExtension(format)));
        vxExportOptions options;
        options.phase = phase;
        const vxWriteResult r = vxExportModel(view.exportSource(), path, format, options);
        EXPECT_TRUE(r) << r.error;
        return readFile(path);
    }

    vxTest::TempDir dir;
    vxHeadlessHost host;
    vxOpenGLView view{host};
    std::vector<std::string> types;
};

} // namespace

TEST_F(Export, APhaseLeavesOutLaterPartsAndTheViewKeepsWhatItShows)
{
    // Types 90001 (12 triangles), 90002 (192), 90003 (12); a part without a
    // mesh and a tube draw nothing.
    load(vxTest::kmfFile({0, 0, -50}, {0, 0, 0},
                         {{"K90001_always", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 0},
                          {"K90002_first", {3, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 1},
                          {"K00000_nomesh", {6, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ffff, 1},
                          {"K90003_second", {9, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 2},
                          {"K90001_third", {12, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff00ff, 3}},
                         {0x00ff00}));
    // The view shows phase 2 with earlier parts painted white.
    view.setPaintOldWhite(true);
    view.repaintModelWithBauphase(2);
    auto state = [&] {
        std::vector<std::pair<int, vxVector>> s;
        for (const auto& o : view.sceneObjectList())
            s.emplace_back(o->visible(), o->colorDiffuse());
        return s;
    };
    const auto before = state();

    const struct {
        std::optional<std::int32_t> phase;
        std::size_t parts, triangles;
    } cases[] = {{{}, 4, 228}, {3, 4, 228}, {1, 2, 204}, {-5, 1, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.phase.value_or(999));
        const std::string stl = exported(vxExportFormat::kStl, c.phase);
        EXPECT_EQ(le32(stl, 80), c.triangles);
        EXPECT_EQ(stl.size(), 84 + 50 * c.triangles);
        const std::string obj = exported(vxExportFormat::kObj, c.phase);
        EXPECT_EQ(count(obj, "\no part"), c.parts);
        EXPECT_EQ(count(obj, "\nf "), c.triangles);
        EXPECT_EQ(count(exported(vxExportFormat::kGltf, c.phase), R"({"name":"part)"), c.parts);
        EXPECT_EQ(count(exported(vxExportFormat::kVrml, c.phase), "IndexedFaceSet"), c.parts);
    }
    EXPECT_EQ(state(), before);
    // The parts' own colours, not the white of the view.
    const std::string mtl = readFile(dir.file("out.mtl"));
    EXPECT_NE(mtl.find("Kd 1.000000 0.000000 0.000000"), std::string::npos) << mtl; // the phase 0 part, red
    EXPECT_EQ(mtl.find("Kd 1.000000 1.000000 1.000000"), std::string::npos) << mtl;
}

TEST_F(Export, GlbStoresEachPartMeshOnceAndNamesEveryPart)
{
    // Enough parts for several runs of entries, which go on from nodes into
    // meshes and from meshes into materials.
    load(vxFixture::modelText(6000, {"90001", "90002", "90003"}));
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    const std::string path = dir.file("out.glb");
    vxExportOptions options;
    options.progress = [&](std::size_t done, std::size_t total) { progress.emplace_back(done, total); };
    ASSERT_TRUE(vxExportModel(view.exportSource(), path, vxExportFormat::kGlb, options));
    const std::string glb = readFile(path);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(std::size_t{6000}, std::size_t{6000}));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    ASSERT_GT(glb.size(), 28u);
    EXPECT_EQ(glb.substr(0, 4), "glTF");
    EXPECT_EQ(le32(glb, 8), glb.size());
    const std::uint32_t jsonLength = le32(glb, 12);
    const std::string json = glb.substr(20, jsonLength);
    EXPECT_EQ(jsonLength % 4, 0u);
    // The buffer: three part meshes, 72 bytes a triangle, whatever the parts.
    EXPECT_EQ(le32(glb, 20 + jsonLength), 72u * (12 + 192 + 12));
    EXPECT_EQ(glb.size(), 28 + jsonLength + 72u * (12 + 192 + 12));

    EXPECT_EQ(count(json, R"({"name":"part)"), 6000u);
    EXPECT_EQ(count(json, R"(}},{"name":"part)"), 5999u);
    EXPECT_EQ(count(json, R"(}]},{"name":"90)"), count(json, R"({"name":"90)") - 1);
    EXPECT_EQ(count(json, R"(}}],"meshes":[{"name":"90)"), 1u);
    EXPECT_EQ(count(json, R"(}]}],"materials":[{"name":"colour1_)"), 1u);
    EXPECT_EQ(count(json, R"(}},{"name":"colour)"), count(json, R"({"name":"colour)") - 1);
    EXPECT_NE(json.find(R"({"name":"part1 K90001_p0","mesh":0,"matrix":[)"), std::string::npos);
    EXPECT_NE(json.find(R"("extras":{"articleNumber":"Test hub","definition":"Test hub","phase":2}})"),
              std::string::npos);
    EXPECT_NE(json.find(R"("name":"generated test model","scale":[0.01,0.01,0.01],"children":[1,2,3,)"),
              std::string::npos);
    EXPECT_NE(json.find(R"("metallicFactor":0,"roughnessFactor":0.4)"), std::string::npos);
}

TEST_F(Export, FailuresReportTheReasonAndLeaveNothingBehindAndFormatsComeFromNames)
{
    load(vxFixture::modelText(10, {"90001", "90002", "90003"}));
    for (const vxExportFormatInfo& f : kExportFormats) {
        const std::string path = dir.file("missing/out." + std::string(f.extension));
        const vxWriteResult r = vxExportModel(view.exportSource(), path, f.format);
        EXPECT_FALSE(r);
        EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
    }
    // An OBJ whose material file cannot be written is not written either.
    std::filesystem::create_directory(dir.file("out.mtl"));
    vxTest::writeFile(dir.file("out.obj"), "the old export");
    const auto before = vxTest::entries(dir.path());
    EXPECT_FALSE(vxExportModel(view.exportSource(), dir.file("out.obj"), vxExportFormat::kObj));
    EXPECT_EQ(readFile(dir.file("out.obj")), "the old export");
    EXPECT_EQ(vxTest::entries(dir.path()), before);

    // Formats come from names and extensions in any case.
    EXPECT_EQ(vxExportFormatNamed("GLB"), vxExportFormat::kGlb);
    EXPECT_EQ(vxExportFormatNamed("wrl"), vxExportFormat::kVrml);
    EXPECT_EQ(vxExportFormatNamed("vrml"), std::nullopt);
    EXPECT_EQ(vxExportFormatNamed(""), std::nullopt);
    EXPECT_EQ(vxExportFormatOfPath("a.b/model.Obj"), vxExportFormat::kObj);
    EXPECT_EQ(vxExportFormatOfPath("a.stl/model"), std::nullopt);
    EXPECT_EQ(vxExportFormatOfPath("dir/.gltf"), std::nullopt); // a hidden file without extension
}

// Tubes are left out unless asked for: then glTF, STL and OBJ hold each
// tube's round surface after the parts, in every phase.
TEST_F(Export, TubesGoInOnlyWhenAskedFor)
{
    const std::vector<vxExportFormat> formats = {vxExportFormat::kGlb, vxExportFormat::kStl,
                                                 vxExportFormat::kObj};
    load(vxFixture::modelText(10, {"90001", "90002", "90003"}));
    std::vector<std::string> without;
    for (vxExportFormat format : formats)
        without.push_back(exported(format));
    load(vxFixture::modelText(10, {"90001", "90002", "90003"}, 2));
    for (std::size_t f = 0; f < formats.size(); ++f)
        EXPECT_EQ(exported(formats[f]), without[f]) << vxExportExtension(formats[f]);

    auto withTubes = [&](vxExportFormat format, std::optional<std::int32_t> phase = {}) {
        const std::string path = dir.file("tubes." + std::string(vxExportExtension(format)));
        vxExportOptions options;
        options.phase = phase;
        options.tubes = true;
        const vxWriteResult r = vxExportModel(view.exportSource(), path, format, options);
        EXPECT_TRUE(r) << r.error;
        return readFile(path);
    };
    const std::string stl = withTubes(vxExportFormat::kStl);
    ASSERT_EQ(view.tubeObjects().size(), 2u);
    const std::size_t tube = view.tubeObjects()[0]->surface()->triangles.size();
    EXPECT_GT(tube, 24u);
    EXPECT_EQ(le32(stl, 80), le32(without[1], 80) + 2 * tube);
    EXPECT_EQ(stl.size(), without[1].size() + 2 * tube * 50);
    EXPECT_EQ(le32(withTubes(vxExportFormat::kStl, 1), 80),
              le32(exported(vxExportFormat::kStl, 1), 80) + 2 * tube);

    const std::string glb = withTubes(vxExportFormat::kGlb);
    const std::string json = glb.substr(20, le32(glb, 12));
    EXPECT_EQ(count(json, R"({"name":"part)"), 10u);
    EXPECT_NE(json.find(R"(,{"name":"tube1","mesh":)"), std::string::npos);
    EXPECT_NE(json.find(R"(,{"name":"tube2","mesh":)"), std::string::npos);
    const std::string obj = withTubes(vxExportFormat::kObj);
    EXPECT_EQ(count(obj, "\no part"), 10u);
    EXPECT_EQ(count(obj, "\no tube"), 2u);
    // The tube objects' own triangle lists stay empty.
    for (const auto& t : view.tubeObjects())
        EXPECT_TRUE(std::as_const(*t).verticesList().empty());
}

// Parts whose placed corners would overflow the files' numbers (a far
// position; a skewed placement at the largest float) or whose placement has
// no area (no axes; parallel axes) are left out of every format and named,
// as the view draws nothing of them; nothing non-finite is written, and the
// glTF text stays JSON.
TEST_F(Export, PartsThatOverflowOrHaveNoAreaAreLeftOutAndNamed)
{
    load(
        vxTest::kmfFile({0, 0, -50}, {0, 0, 0},
                        {{"K90001_good", {0, 0, 0}},
                         {"K90001_far", {1e38f, 0, 0}},
                         {"K90002_skewed", {0, 0, 0}, {0, 1, 0}, {0, 3.4028234e38f, 1}},
                         {"K90001_point", {1, 0, 0}, {0, 0, 0}, {0, 0, 0}},
                         {"K90003_line", {2, 0, 0}, {0, 1, 0}, {0, -2, 0}},
                         {"K90003_thin", {3, 0, 0}, {0, 1, 0}, {0.001f, 0, 0}}})); // flattened, yet with area
    for (const vxExportFormatInfo& info : kExportFormats) {
        const vxExportFormat format = info.format;
        if (format == vxExportFormat::kVrml)
            continue; // the placements as the file gives them, which are finite
        SCOPED_TRACE(vxExportExtension(format));
        std::vector<std::string> findings;
        vxExportOptions options;
        options.finding = [&](const std::string& f) { findings.push_back(f); };
        const std::string path = dir.file("out." + std::string(vxExportExtension(format)));
        ASSERT_TRUE(vxExportModel(view.exportSource(), path, format, options));
        EXPECT_EQ(
            findings,
            (std::vector<std::string>{
                "2 parts are left out of the export: their placed corners are not finite or too "
                "large to be written (part 2 K90001_far, part 3 K90002_skewed)",
                "2 parts are left out of the export: their placements flatten them to a line or a "
                "point, so that nothing of them can be seen (part 4 K90001_point, part 5 K90003_line)"}));
        const std::string text = readFile(path);
        if (format == vxExportFormat::kStl) {
            ASSERT_EQ(le32(text, 80), 12u + 12u);
            for (std::size_t at = 84; at < text.size(); at += 50)
                for (std::size_t k = 0; k < 12; ++k) {
                    float f;
                    std::memcpy(&f, text.data() + at + 4 * k, 4);
                    EXPECT_TRUE(std::isfinite(f)) << at;
                }
            continue;
        }
        const std::string json = format == vxExportFormat::kGlb ? text.substr(20, le32(text, 12)) : text;
        for (const char* word : {"inf", "nan", "part2 ", "part3 ", "part4 ", "part5 "})
            EXPECT_EQ(json.find(word), std::string::npos) << word;
        EXPECT_NE(json.find("part6"), std::string::npos);
        if (format == vxExportFormat::kObj) {
            EXPECT_EQ(count(text, "\no part"), 2u);
        } else {
            vxTest::writeFile(dir.file("json"), json);
            const auto r = vxTest::runCommand("python3 -c 'import json, sys; json.load(open(sys.argv[1]))' " +
                                              dir.file("json"));
            EXPECT_EQ(r.status, 0) << r.out;
        }
    }
    // The one finding for one part, and ten named of more.
    const auto reload = [&](const std::vector<vxTest::KmfPart>& parts) {
        vxTest::writeFile(dir.file("m.kmf"), vxTest::kmfFile({0, 0, -50}, {0, 0, 0}, parts));
        vxTest::ResourceFolder folder(dir.path());
        ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    };
    reload({{"K90001_far", {0, -1e37f, 0}}});
    std::vector<std::string> findings;
    vxExportOptions options;
    options.finding = [&](const std::string& f) { findings.push_back(f); };
    ASSERT_TRUE(vxExportModel(view.exportSource(), dir.file("out.stl"), vxExportFormat::kStl, options));
    EXPECT_EQ(findings,
              std::vector<std::string>{"1 part is left out of the export: its placed corners are not "
                                       "finite or too large to be written (part 1 K90001_far)"});
    std::vector<vxTest::KmfPart> flat(12, {"K90001_flat", {0, 0, 0}, {0, 0, 0}, {0, 0, 1}});
    reload(flat);
    findings.clear();
    ASSERT_TRUE(vxExportModel(view.exportSource(), dir.file("out.stl"), vxExportFormat::kStl, options));
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_TRUE(findings[0].starts_with("12 parts are left out")) << findings[0];
    EXPECT_TRUE(findings[0].ends_with("part 10 K90001_flat and 2 more)")) << findings[0];
    EXPECT_EQ(le32(readFile(dir.file("out.stl")), 80), 0u);
}

// The one table of formats: each format once, named by its own extension,
// which its save-dialog filter offers.
TEST(ExportFormats, EachFormatHasOneEntryWhoseNameAndFilterAreItsExtension)
{
    std::set<vxExportFormat> formats;
    for (const vxExportFormatInfo& f : kExportFormats) {
        EXPECT_TRUE(formats.insert(f.format).second) << f.extension;
        EXPECT_EQ(vxExportFormatInfoOf(f.format), &f);
        EXPECT_EQ(vxExportFormatNamed(f.extension), f.format);
        const std::string filter = f.filter;
        EXPECT_TRUE(filter.ends_with(" (*." + std::string(f.extension) + ")")) << filter;
        EXPECT_NE(f.write, nullptr) << f.extension;
    }
    EXPECT_EQ(formats.size(), 5u);
    EXPECT_EQ(vxExportFormatInfoOf(static_cast<vxExportFormat>(99)), nullptr);
    const vxModel model;
    const std::vector<std::shared_ptr<vxBaseSceneObject>> objects;
    const vxWriteResult r = vxExportModel({model, objects}, "out.x", static_cast<vxExportFormat>(99));
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error, "cannot write out.x: unknown format");
}
