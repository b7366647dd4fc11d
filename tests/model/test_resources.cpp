#include "vxResources.h"
#include "vxTestSupport.h"

#include <array>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class Resources : public ::testing::Test {
  protected:
    void SetUp() override
    {
        vxTest::writeFile(dir.file("res/31005.def"), "x");
        vxTest::writeFile(dir.file("res/31005.stl"), "x");
        vxTest::writeFile(dir.file("res/ 31005.def"), "x");
        vxTest::writeFile(dir.file("res/library/Kit/a.kmf"), "x");
        vxTest::writeFile(dir.file("secret.def"), "x");
        vxResources::setResourceFolder(dir.file("res"));
    }
    void TearDown() override { vxResources::setResourceFolder(""); }
    vxTest::TempDir dir;
};

} // namespace

TEST_F(Resources, FindsFilesByExactNameTypeAndSubFolderAndNeverEscapes)
{
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
}

TEST(ResourcesLocation, EnvironmentThenExecutableFolder)
{
    vxResources::setResourceFolder("");
    ::setenv("KOLBRIK_RESOURCES", "/some/where/", 1);
    EXPECT_EQ(vxResources::resourceFolderPath(), "/some/where");
    ::unsetenv("KOLBRIK_RESOURCES");
    std::string p = vxResources::resourceFolderPath();
    EXPECT_NE(p.find("share/kolbrik-viewer"), std::string::npos) << p;
}
