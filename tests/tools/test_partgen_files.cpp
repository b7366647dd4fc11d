// The generator as the build runs it: its output folder, determinism and
// clean-up of files it no longer makes.
#include "vxPartCatalog.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

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
    // One run by the generator program, one in this process.
    vxTest::TempDir a, b;
    auto r = vxTest::runCommand(partgen("--out '" + a.path() + "'"));
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_TRUE(vxPartCatalog::writeResources(b.path(), nullptr, nullptr));
    const auto fa = folderContents(a.path()), fb = folderContents(b.path());
    EXPECT_EQ(fa.size(), 2 * vxPartCatalog::partTypes().size());
    EXPECT_TRUE(fa == fb);
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

    // Writing again leaves unchanged files alone and replaces changed ones.
    const auto before = fs::last_write_time(out + "/31005.stl");
    vxTest::writeFile(out + "/31003.def", "spoilt");
    std::vector<std::string> written;
    ASSERT_TRUE(vxPartCatalog::writeResources(out, &written, nullptr));
    EXPECT_EQ(written.size(), 2 * vxPartCatalog::partTypes().size());
    EXPECT_EQ(fs::last_write_time(out + "/31005.stl"), before);
    EXPECT_EQ(vxTest::readFile(out + "/31003.def"), vxPartCatalog::definitionText(*vxPartCatalog::find("31003")));
}

TEST(PartgenFiles, TablePrintsEveryPartAndTotals)
{
    auto r = vxTest::runCommand(partgen("--table --check"));
    ASSERT_EQ(r.status, 0) << r.out;
    for (const auto& p : vxPartCatalog::partTypes())
        EXPECT_NE(r.out.find(p.shortName + " "), std::string::npos) << p.shortName;
    const std::string totals = r.out.substr(r.out.rfind("\n\n") + 2);
    EXPECT_EQ(totals.rfind(std::to_string(vxPartCatalog::partTypes().size()) + " part types in 10 groups, ", 0), 0u)
        << totals;
    std::size_t tris = 0;
    for (const auto& p : vxPartCatalog::partTypes())
        tris += p.triangleCount;
    EXPECT_NE(totals.find(", " + std::to_string(tris) + " triangles"), std::string::npos) << totals;

    EXPECT_NE(vxTest::runCommand(partgen("--bogus")).status, 0);
    EXPECT_NE(vxTest::runCommand(partgen("")).status, 0);
    EXPECT_NE(vxTest::runCommand(partgen("--out /proc/no/such/folder")).status, 0);
}
