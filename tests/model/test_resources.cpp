#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <array>
#include <cstdlib>
#include <gtest/gtest.h>

TEST(Resources, FindsFilesByExactNameTypeAndSubFolderAndNeverEscapes)
{
    vxTest::TempDir dir;
    for (const char* f :
         {"res/31005.def", "res/31005.stl", "res/ 31005.def", "res/library/Kit/a.kmf", "secret.def"})
        vxTest::writeFile(dir.file(f), "x");
    vxTest::ResourceFolder folder(dir.file("res"));
    EXPECT_EQ(vxResources::resourceFolderPath(), dir.file("res"));
    EXPECT_EQ(vxResources::resourcePath("31005", "def", ""), dir.file("res/31005.def"));
    EXPECT_EQ(vxResources::resourcePath("a", "kmf", "library/Kit"), dir.file("res/library/Kit/a.kmf"));
    EXPECT_EQ(vxResources::resourcePath(" 31005", "def", ""), dir.file("res/ 31005.def"));
    const std::array<std::array<const char*, 3>, 11> none = {{{"31005", "png", ""},
                                                              {"library", "", ""},
                                                              {"", "def", ""},
                                                              {"31005 ", "def", ""},
                                                              {"31005", "DEF", ""},
                                                              {"../secret", "def", ""},
                                                              {"..", "def", ""},
                                                              {"secret", "def", ".."},
                                                              {"secret", "def", "library/../.."},
                                                              {"secret", "def", "/tmp"},
                                                              {"31005", "def/../../secret", ""}}};
    for (const auto& [name, type, sub] : none)
        EXPECT_FALSE(vxResources::resourcePath(name, type, sub)) << name << " " << type << " in " << sub;

    // Without a folder set: the environment, then the folder beside the
    // executable.
    vxTest::ResourceFolder unset("");
    ::setenv("KOLBRIK_RESOURCES", "/some/where/", 1);
    EXPECT_EQ(vxResources::resourceFolderPath(), "/some/where");
    ::unsetenv("KOLBRIK_RESOURCES");
    std::string p = vxResources::resourceFolderPath();
    EXPECT_NE(p.find("share/kolbrik-viewer"), std::string::npos) << p;
}
