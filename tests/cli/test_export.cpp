#include "vxExportFixtures.h"
#include "vxResources.h"
#include "vxTestSupport.h"

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

    r = run("export --resources " + res.path() + " " + model + " " + res.file("de.wrl"),
            "LC_ALL=de_DE.UTF-8 ");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(vxTest::readFile(res.file("de.wrl")), expected);
}

TEST(CliExport, TheFormatComesFromTheNameOrFromFormatAndUnknownOnesAreUsageErrors)
{
    vxTest::TempDir res;
    const std::string model = writeModel(res);
    const std::string opts = " --resources " + res.path();
    const struct {
        std::string args;
        int status;
        std::string file, starts; // the file written and how it starts
    } cases[] = {
        {"out.GLB", 0, "out.GLB", "glTF"},
        {"out.gltf", 0, "out.gltf", R"({"asset":)"},
        {"out.obj", 0, "out.mtl", "# Kolbrik"},
        {"out.dat --format stl", 0, "out.dat", "Kolbrik Viewer STL export"},
        {"out.stl --format wrl --phase 2", 0, "out.stl", "#VRML V1.0 ascii"},
        {"out.xyz", 2, "", "cannot tell the format of"},
        {"out.glb --format fbx", 2, "", "--format needs one of glb, gltf, stl, obj, wrl"},
        {"out.glb --phase two", 2, "", "--phase needs a whole number"},
        {"out.glb --phase", 2, "", "--phase needs a whole number"},
    };
    for (const auto& c : cases) {
        const auto r = run("export " + model + " " + res.file(c.args) + opts);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.out;
        if (c.status == 0)
            EXPECT_EQ(vxTest::readFile(res.file(c.file)).rfind(c.starts, 0), 0u) << c.args;
        else
            EXPECT_NE(r.out.find(c.starts), std::string::npos) << r.out;
    }
}
