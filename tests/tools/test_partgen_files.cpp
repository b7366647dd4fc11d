// The generator as the build runs it: its output folder, determinism,
// clean-up of files it no longer makes, and the independent check of every
// mesh with admesh.
#include "vxPartCatalog.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> folderContents(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] = vxTest::readFile(e.path().string());
    return files;
}

std::string partgen(const std::string& args)
{
    return std::string("'") + KOLBRIK_PARTGEN + "' " + args;
}

} // namespace

TEST(PartgenFiles, GenerationIsByteIdenticalFromRunToRun)
{
    vxTest::TempDir a, b;
    auto r1 = vxTest::runCommand(partgen("--out '" + a.path() + "'"));
    auto r2 = vxTest::runCommand(partgen("--out '" + b.path() + "'"));
    ASSERT_EQ(r1.status, 0) << r1.out;
    ASSERT_EQ(r2.status, 0) << r2.out;
    const auto fa = folderContents(a.path()), fb = folderContents(b.path());
    EXPECT_EQ(fa.size(), 2 * vxPartCatalog::partTypes().size());
    EXPECT_TRUE(fa == fb);
    // And the library writes the very same bytes.
    vxTest::TempDir c;
    ASSERT_TRUE(vxPartCatalog::writeResources(c.path(), nullptr, nullptr));
    EXPECT_TRUE(folderContents(c.path()) == fa);
    for (const auto& p : vxPartCatalog::partTypes()) {
        EXPECT_EQ(fa.at(p.shortName + ".def"), vxPartCatalog::definitionText(p));
        EXPECT_EQ(fa.at(p.shortName + ".stl"), vxPartCatalog::meshBytes(p));
    }
}

TEST(PartgenFiles, StampRemovesOnlyFilesItNoLongerMakes)
{
    vxTest::TempDir dir;
    const std::string out = dir.file("res"), stamp = dir.file("stamp.txt");
    vxTest::writeFile(out + "/12345.def", "old part");
    vxTest::writeFile(out + "/31005.png", "a picture");
    vxTest::writeFile(stamp, "12345.def\n31005.def\n../escape.def\n");
    vxTest::writeFile(dir.file("escape.def"), "outside");
    auto r = vxTest::runCommand(partgen("--out '" + out + "' --stamp '" + stamp + "'"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(fs::exists(out + "/12345.def"));
    EXPECT_TRUE(fs::exists(out + "/31005.png"));
    EXPECT_TRUE(fs::exists(out + "/31005.def"));
    EXPECT_TRUE(fs::exists(dir.file("escape.def")));
    const std::string listed = vxTest::readFile(stamp);
    EXPECT_NE(listed.find("31005.stl\n"), std::string::npos);
    EXPECT_EQ(listed.find("12345"), std::string::npos);

    // A second run leaves unchanged files alone.
    const auto before = fs::last_write_time(out + "/31005.stl");
    r = vxTest::runCommand(partgen("--out '" + out + "' --stamp '" + stamp + "'"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(fs::last_write_time(out + "/31005.stl"), before);
}

TEST(PartgenFiles, TablePrintsEveryPartAndTotals)
{
    auto r = vxTest::runCommand(partgen("--table --check"));
    ASSERT_EQ(r.status, 0) << r.out;
    for (const auto& p : vxPartCatalog::partTypes())
        EXPECT_NE(r.out.find(p.shortName + " "), std::string::npos) << p.shortName;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex(R"((\d+) part types in 10 groups, (\d+) triangles)")))
        << r.out;
    EXPECT_EQ(std::stoul(m[1]), vxPartCatalog::partTypes().size());
    std::size_t tris = 0;
    for (const auto& p : vxPartCatalog::partTypes())
        tris += p.triangleCount;
    EXPECT_EQ(std::stoul(m[2]), tris);

    EXPECT_NE(vxTest::runCommand(partgen("--bogus")).status, 0);
    EXPECT_NE(vxTest::runCommand(partgen("")).status, 0);
    EXPECT_NE(vxTest::runCommand(partgen("--out /proc/no/such/folder")).status, 0);
}

// admesh reads every mesh on its own and reports what it would have to
// repair; for our meshes that must be nothing.
TEST(PartgenFiles, AdmeshFindsNothingToRepair)
{
    const auto which = vxTest::runCommand("command -v admesh");
    ASSERT_EQ(which.status, 0) << "admesh is not installed (scripts/deps.sh installs it)";
    vxTest::TempDir dir;
    ASSERT_TRUE(vxPartCatalog::writeResources(dir.path(), nullptr, nullptr));
    const std::map<std::string, std::string> mustBe = {
        {"Number of parts", "1"},  {"Degenerate facets", "0"}, {"Edges fixed", "0"},
        {"Facets removed", "0"},   {"Facets added", "0"},      {"Facets reversed", "0"},
        {"Backwards edges", "0"},  {"Normals fixed", "0"},
    };
    for (const auto& p : vxPartCatalog::partTypes()) {
        SCOPED_TRACE(p.shortName + " " + p.name);
        const auto r = vxTest::runCommand("admesh '" + dir.file(p.shortName + ".stl") + "'");
        ASSERT_EQ(r.status, 0) << r.out;
        for (const auto& [field, value] : mustBe) {
            std::smatch m;
            ASSERT_TRUE(std::regex_search(r.out, m, std::regex(field + R"(\s*:\s*(\d+))"))) << field << "\n" << r.out;
            EXPECT_EQ(m[1].str(), value) << field;
        }
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.out, m, std::regex(R"(Number of facets\s*:\s*(\d+)\s+(\d+))")));
        EXPECT_EQ(std::stoul(m[1]), p.triangleCount);
        EXPECT_EQ(std::stoul(m[2]), p.triangleCount);
    }
}
