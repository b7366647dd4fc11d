#include "vxCommandOptions.h"
#include "vxExport.h"
#include "vxExportFixtures.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

// kolbrik export writes what the view exports, whatever the locale; the
// format comes from the name or from --format; an unknown one is a usage
// error.
TEST(CliExport, WritesWhatTheViewExportsInTheFormatOfTheNameOrOfFormat)
{
    ASSERT_TRUE(vxTest::GermanLocale().ok)
        << "the de_DE.UTF-8 locale is missing (scripts/deps.sh generates it)";
    vxTest::TempDir res;
    const auto types = vxFixture::writeResources(res.path());
    // Every fifth part has no mesh; a tube follows the parts.
    vxTest::writeFile(res.file("m.kmf"), vxFixture::modelText(12, types, 1, 3, 5));
    vxHeadlessHost host;
    vxOpenGLView view(host);
    view.awakeFromNib();
    {
        vxTest::ResourceFolder folder(res.path());
        ASSERT_TRUE(view.loadModelFromFile(res.file("m.kmf")));
    }
    const std::string wrl = view.vrmlText();
    ASSERT_NE(wrl.find("DEF part12 IndexedFaceSet"), std::string::npos);
    ASSERT_EQ(wrl.find("DEF part5 "), std::string::npos);

    const std::string model = res.file("m.kmf") + " ", opts = " --resources " + res.path();
    const struct {
        std::string args, prefix;
        int status;
        std::string file, text; // the file written and how it starts, or the message
    } cases[] = {
        {model + res.file("out.wrl") + opts, "", 0, "out.wrl", wrl},
        {opts + " " + model + res.file("de.wrl"), "LC_ALL=de_DE.UTF-8 ", 0, "de.wrl", wrl},
        {model + res.file("out.GLB") + opts, "", 0, "out.GLB", "glTF"},
        {model + res.file("out.gltf") + opts, "", 0, "out.gltf", R"({"asset":)"},
        {model + res.file("out.obj") + opts, "", 0, "out.mtl", "# Kolbrik"},
        {model + res.file("out.dat") + " --format stl" + opts, "", 0, "out.dat", "Kolbrik Viewer STL export"},
        {model + res.file("out.stl") + " --format wrl --phase 2" + opts, "", 0, "out.stl",
         "#VRML V1.0 ascii"},
        {model + res.file("tubes.stl") + " --tubes" + opts, "", 0, "tubes.stl", "Kolbrik Viewer STL export"},
        {model + res.file("tubes.wrl") + " --tubes" + opts, "", 2, "",
         "--tubes goes with glb, gltf, stl or obj"},
        {model + res.file("out.xyz") + opts, "", 2, "", "cannot tell the format of"},
        {model + res.file("out.glb") + " --format fbx", "", 2, "",
         "--format needs one of glb, gltf, stl, obj, wrl"},
        {model + res.file("out.glb") + " --phase two", "", 2, "", "--phase needs a whole number"},
        {model + res.file("out.glb") + " --phase", "", 2, "", "--phase needs a whole number"},
    };
    for (const auto& c : cases) {
        const auto r = vxTest::runCli("export " + c.args, c.prefix);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.out;
        if (c.status == 0) {
            EXPECT_EQ(r.out, "");
            const std::string text = vxTest::readFile(res.file(c.file));
            EXPECT_EQ(c.text == wrl ? text : text.substr(0, c.text.size()), c.text) << c.args;
        } else {
            EXPECT_NE(r.out.find(c.text), std::string::npos) << r.out;
        }
    }
    // The model's tube goes in with --tubes only.
    EXPECT_GT(vxTest::readFile(res.file("tubes.stl")).size(), vxTest::readFile(res.file("out.dat")).size());
}

// --format offers, and its message names, every format the export writes.
TEST(CliExport, FormatOptionNamesEveryFormat)
{
    const vxCli::Option& format = *vxCli::optionNamed(vxCli::kExportOptions, "--format");
    std::string words, list;
    for (vxExportFormat f : kExportFormats) {
        words += (words.empty() ? "" : " ") + std::string(vxExportExtension(f));
        list += (list.empty() ? "" : ", ") + std::string(vxExportExtension(f));
    }
    EXPECT_EQ(format.words, words);
    EXPECT_EQ(format.needs, "one of " + list);
}
