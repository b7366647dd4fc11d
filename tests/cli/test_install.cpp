// An installed tree: the programs find the resource folder beside them.
#include "vxTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vxTest;

TEST(Install, InstalledProgramsFindTheirResources)
{
    TempDir prefix;
    auto r = runCommand(std::string(KOLBRIK_CMAKE) + " --install " + KOLBRIK_BUILD_DIR + " --prefix " +
                        prefix.path());
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* f :
         {"bin/kolbrik", "libexec/kolbrik-viewer/kolbrik-draw", "bin/kolbrik-viewer",
          "share/applications/kolbrik-viewer.desktop", "share/icons/hicolor/scalable/apps/kolbrik-viewer.svg",
          "share/mime/packages/kolbrik-viewer.xml", "share/kolbrik-viewer/translations/kolbrik_de.qm"})
        EXPECT_TRUE(std::filesystem::exists(prefix.file(f))) << f;

    // A model naming a part of our own resource folder, read by the
    // installed tool with no hints where its resources are.
    writeFile(prefix.file("share/kolbrik-viewer/99001.def"), crlf({"[COMMON]", "NAME=Installed part"}));
    writeFile(prefix.file("m.kmf"), crlf({"[COMMON]", "COUNT=1", "[PART1]", "NAME=K99001_x"}));
    r = runCommand("env -u KOLBRIK_RESOURCES " + prefix.file("bin/kolbrik") + " info " +
                   prefix.file("m.kmf") + " --json");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"found\": true, \"m_Name\": \"Installed part\""), std::string::npos) << r.out;

    // A drawing command, handed on to the drawing program in libexec/kolbrik-viewer/, which
    // finds the same resource folder: the part's mesh is exported.
    writeFile(prefix.file("mesh.kmf"),
              crlf({"[COMMON]", "COUNT=1", "[PART1]", "NAME=K31005_x", "YUP=1", "ZDIR=1"}));
    r = runCommand("env -u KOLBRIK_RESOURCES " + prefix.file("bin/kolbrik") + " export " +
                   prefix.file("mesh.kmf") + " " + prefix.file("mesh.obj"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(readFile(prefix.file("mesh.obj")).find("\nv "), std::string::npos);
}
