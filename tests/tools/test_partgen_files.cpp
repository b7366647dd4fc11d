// The generator as the build runs it: its output folder, determinism,
// clean-up of files it no longer makes, and the independent check of every
// mesh with admesh.
#include "vxPartCatalog.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <cctype>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> folderContents(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] = vxTest::readFile(e.path().string());
    return files;
}

// The number after "<label> :" (or after the label itself when colon is
// false) in a text; -1 when the label or the number is missing.
long numberAfter(const std::string& text, const std::string& label, bool colon = true)
{
    std::size_t at = text.find(label);
    if (at == std::string::npos)
        return -1;
    at += label.size();
    while (at < text.size() && text[at] == ' ')
        ++at;
    if (colon) {
        if (at >= text.size() || text[at] != ':')
            return -1;
        ++at;
        while (at < text.size() && text[at] == ' ')
            ++at;
    }
    if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at])))
        return -1;
    return std::stol(text.substr(at));
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
    EXPECT_EQ(numberAfter(totals, "", false), static_cast<long>(vxPartCatalog::partTypes().size())) << totals;
    EXPECT_NE(totals.find(" part types in 10 groups, "), std::string::npos) << totals;
    std::size_t tris = 0;
    for (const auto& p : vxPartCatalog::partTypes())
        tris += p.triangleCount;
    EXPECT_NE(totals.find(", " + std::to_string(tris) + " triangles"), std::string::npos) << totals;

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
    const std::map<std::string, long> mustBe = {
        {"Number of parts", 1}, {"Degenerate facets", 0}, {"Edges fixed", 0},     {"Facets removed", 0},
        {"Facets added", 0},    {"Facets reversed", 0},   {"Backwards edges", 0}, {"Normals fixed", 0},
    };
    for (const auto& p : vxPartCatalog::partTypes()) {
        SCOPED_TRACE(p.shortName + " " + p.name);
        const auto r = vxTest::runCommand("admesh '" + dir.file(p.shortName + ".stl") + "'");
        ASSERT_EQ(r.status, 0) << r.out;
        for (const auto& [field, value] : mustBe) {
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
}
