#include "vxExportFixtures.h"
#include "vxResources.h"
#include "vxTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

vxTest::CommandResult run(const std::string& args, const std::string& env = "")
{
    return vxTest::runCommand(env + std::string(KOLBRIK_CLI) + " " + args);
}

// A model of our test parts with a missing mesh and a tube, in res.
std::string writeModel(const vxTest::TempDir& res)
{
    auto types = vxFixture::writeResources(res.path());
    vxFixture::write(res.file("m.kmf"), vxFixture::modelText(12, types, 1, 3, 5));
    return res.file("m.kmf");
}

} // namespace

TEST(CliExport, WritesWhatTheViewExportsWhateverTheLocale)
{
    vxTest::TempDir res;
    const std::string model = writeModel(res);

    // The scene as the view holds it right after loading.
    vxFixture::NullHost host;
    vxOpenGLView view(host);
    view.awakeFromNib();
    vxResources::setResourceFolder(res.path());
    ASSERT_TRUE(view.loadModelFromFile(model));
    vxResources::setResourceFolder("");
    const std::string expected = view.vrmlText();
    ASSERT_NE(expected.find("DEF part12 IndexedFaceSet"), std::string::npos);
    ASSERT_EQ(expected.find("DEF part5 "), std::string::npos); // part 5 has no mesh

    auto r = run("export " + model + " " + res.file("out.wrl") + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(vxTest::readFile(res.file("out.wrl")), expected);

    r = run("export --resources " + res.path() + " " + model + " " + res.file("de.wrl"), "LC_ALL=de_DE.UTF-8 ");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(vxTest::readFile(res.file("de.wrl")), expected);
}

TEST(CliExport, FailuresExitWithOneLine)
{
    vxTest::TempDir res;
    const std::string model = writeModel(res);
    vxTest::writeFile(res.file("old.wrl"), "old");

    // The output cannot be written: the folder is missing.
    auto r = run("export " + model + " " + res.file("no/such/out.wrl") + " --resources " + res.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_NE(r.out.find(res.file("no/such/out.wrl")), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("No such file or directory"), std::string::npos) << r.out;

    // The model cannot be read: nothing is written, the old file stays.
    r = run("export " + res.file("missing.kmf") + " " + res.file("old.wrl"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_NE(r.out.find(res.file("missing.kmf")), std::string::npos) << r.out;
    EXPECT_EQ(vxTest::readFile(res.file("old.wrl")), "old");

    EXPECT_EQ(run("export " + model).status, 2);
    EXPECT_EQ(run("export a.kmf b.wrl c.wrl").status, 2);
    EXPECT_EQ(run("export --frobnicate a.kmf b.wrl").status, 2);
    EXPECT_EQ(run("export a.kmf b.wrl --resources").status, 2);
    auto h = run("export --help");
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("OUT.wrl"), std::string::npos);
    EXPECT_NE(run("--help").out.find("export"), std::string::npos);
}
