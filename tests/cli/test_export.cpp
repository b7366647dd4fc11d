#include "vxCommandOptions.h"
#include "vxExport.h"
#include "vxExportFixtures.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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
    // The parts without a mesh are told about on stderr.
    const std::string warnings = "kolbrik: warning: K00000_p4 is not in the part catalogue (1\xC3\x97).\n"
                                 "kolbrik: warning: K00000_p9 is not in the part catalogue (1\xC3\x97).\n";
    for (const auto& c : cases) {
        const auto r = vxTest::runCli("export " + c.args, c.prefix);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.out;
        if (c.status == 0) {
            EXPECT_EQ(r.out, warnings);
            const std::string text = vxTest::readFile(res.file(c.file));
            EXPECT_EQ(c.text == wrl ? text : text.substr(0, c.text.size()), c.text) << c.args;
        } else {
            EXPECT_NE(r.out.find(c.text), std::string::npos) << r.out;
        }
    }
    // The model's tube goes in with --tubes only.
    EXPECT_GT(vxTest::readFile(res.file("tubes.stl")).size(), vxTest::readFile(res.file("out.dat")).size());
}

// Every command that loads a model tells on stderr what the file left out,
// as info does, and succeeds when the file could be read: a file whose
// lines end in LF alone, and a part whose type has no mesh.
TEST(CliExport, ExportRenderAndInstructionsTellWhatTheFileLeftOut)
{
    vxTest::TempDir res;
    const auto types = vxFixture::writeResources(res.path());
    std::string lf = vxFixture::modelText(3, types);
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    vxTest::writeFile(res.file("lf.kmf"), lf);
    vxTest::writeFile(res.file("nomesh.kmf"), vxFixture::modelText(10, types, 0, 2, 5));
    const std::string opts = " --resources " + res.path();
    // What a command writes on stderr alone.
    const auto stderrOf = [](const std::string& args) {
        return vxTest::runCommand("{ '" KOLBRIK_CLI "' " + args + " 2>&1 >/dev/null; }");
    };
    const std::string info = stderrOf("info " + res.file("lf.kmf") + opts).out;
    ASSERT_NE(info.find("kolbrik: warning: "), std::string::npos) << info;
    for (const std::string model : {"lf", "nomesh"}) {
        const std::string kmf = res.file(model + ".kmf");
        const std::string expected = stderrOf("info " + kmf + opts).out; // the warnings alone
        ASSERT_NE(expected, "");
        for (const std::string& command : {"export " + kmf + " " + res.file("out.stl"),
                                           "render " + kmf + " " + res.file("out.png") + " --size 32x24",
                                           "instructions " + kmf + " " + res.file("out.pdf")}) {
            if (!KOLBRIK_CLI_BOOKLET && command.starts_with("instructions"))
                continue; // a build without the booklet
            const auto r = stderrOf(command + opts);
            if (model == "lf" && command.starts_with("instructions")) {
                EXPECT_NE(r.out.find(expected), std::string::npos) << r.out; // then: no parts to build
                continue;
            }
            EXPECT_EQ(r.status, 0) << command << ": " << r.out;
            EXPECT_EQ(r.out, expected) << command;
        }
    }
}

// STL stands z up unless --up y asks for the model's own axes (the file of
// today); --paper takes its names in any case; an OBJ file named with a
// space refers to its material file by one name that a reader finds.
TEST(CliExport, StlUpAxisPaperNamesAndMaterialFileNames)
{
    vxTest::TempDir res;
    vxFixture::writeResources(res.path());
    vxTest::writeFile(
        res.file("Tower crane.kmf"),
        vxTest::kmfFile({0, 0, -50}, {0, 0, 0}, {{"K90001_block", {0, 0, 0}, {0, 0, -1}, {0, 1, 0}}}));
    const std::string model = "'" + res.file("Tower crane.kmf") + "' ", opts = " --resources " + res.path();
    ASSERT_EQ(vxTest::runCli("export " + model + res.file("z.stl") + opts).status, 0);
    ASSERT_EQ(vxTest::runCli("export " + model + res.file("y.stl") + " --up y" + opts).status, 0);
    EXPECT_EQ(vxTest::runCli("export " + model + res.file("x.stl") + " --up x" + opts).status, 2);
    const std::string z = vxTest::readFile(res.file("z.stl")), y = vxTest::readFile(res.file("y.stl"));
    EXPECT_EQ(z.substr(0, 44), "Kolbrik Viewer STL export, millimetres, Z up");
    EXPECT_EQ(y.substr(0, 44), "Kolbrik Viewer STL export, millimetres, Y up");
    ASSERT_EQ(z.size(), y.size());
    // Each facet turned: (x, y, z) of the model's axes at (-x, z, y).
    for (std::size_t at = 84; at + 50 <= z.size(); at += 50)
        for (std::size_t v = 0; v < 4; ++v) {
            float a[3], b[3];
            std::memcpy(a, y.data() + at + 12 * v, 12);
            std::memcpy(b, z.data() + at + 12 * v, 12);
            EXPECT_EQ(b[0], -a[0]);
            EXPECT_EQ(b[1], a[2]);
            EXPECT_EQ(b[2], a[1]);
        }
    // The block, standing 30 mm tall along the model's y, stands 30 mm tall
    // along z; admesh finds the normals outward.
    EXPECT_EQ(vxTest::admeshDiffers(res.file("z.stl"),
                                    {{"Backwards edges", 0}, {"Normals fixed", 0}, {"Facets reversed", 0}}),
              "");
    const auto admesh = vxTest::runCommand("admesh '" + res.file("z.stl") + "'").out;
    EXPECT_NE(admesh.find("Max Z =  30.000000"), std::string::npos) << admesh;

    if (KOLBRIK_CLI_BOOKLET) { // a build with the booklet
        for (const std::string paper : {"A4", "a4", "Letter", "LETTER", "letter"})
            EXPECT_EQ(vxTest::runCli("instructions " + model + res.file("b.pdf") + " --paper " + paper + opts)
                          .status,
                      0)
                << paper;
        EXPECT_EQ(vxTest::runCli("instructions " + model + res.file("b.pdf") + " --paper A5" + opts).status,
                  2);
    }

    ASSERT_EQ(vxTest::runCli("export " + model + "'" + res.file("Tower crane.obj") + "'" + opts).status, 0);
    EXPECT_NE(vxTest::readFile(res.file("Tower crane.obj")).find("\nmtllib Tower_crane.mtl\n"),
              std::string::npos);
    const auto r =
        vxTest::runCommand("/usr/bin/python3 -c 'import sys, tinyobjloader as t; r = t.ObjReader(); "
                           "ok = r.ParseFromFile(sys.argv[1]); print(ok, len(r.GetMaterials()), "
                           "repr(r.Warning()), repr(r.Error()))' '" +
                           res.file("Tower crane.obj") + "'");
    EXPECT_EQ(r.out, "True 1 '' ''\n") << r.out;
}

// --format offers, and its message names, every format the export writes.
TEST(CliExport, FormatOptionNamesEveryFormat)
{
    const vxCli::Option& format = *vxCli::optionNamed(vxCli::kExportOptions, "--format");
    std::string words, list;
    for (const vxExportFormatInfo& f : kExportFormats) {
        words += (words.empty() ? "" : " ") + std::string(f.extension);
        list += (list.empty() ? "" : ", ") + std::string(f.extension);
    }
    EXPECT_EQ(format.words, words);
    EXPECT_EQ(format.needs, "one of " + list);
}
