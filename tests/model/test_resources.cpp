#include "vxResources.h"
#include "vxTestSupport.h"

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

TEST_F(Resources, FindsFilesByNameTypeAndSubFolder)
{
    EXPECT_EQ(vxResources::resourceFolderPath(), dir.file("res"));
    EXPECT_EQ(vxResources::resourcePath("31005", "def", ""), dir.file("res/31005.def"));
    EXPECT_EQ(vxResources::resourcePath("31005", "stl", ""), dir.file("res/31005.stl"));
    EXPECT_EQ(vxResources::resourcePath("a", "kmf", "library/Kit"), dir.file("res/library/Kit/a.kmf"));
    EXPECT_FALSE(vxResources::resourcePath("31005", "png", ""));
    EXPECT_FALSE(vxResources::resourcePath("library", "", ""));  // a folder is no file
    EXPECT_FALSE(vxResources::resourcePath("", "def", ""));
}

TEST_F(Resources, NamesAreUsedExactlyAndNeverEscape)
{
    EXPECT_EQ(vxResources::resourcePath(" 31005", "def", ""), dir.file("res/ 31005.def"));
    EXPECT_FALSE(vxResources::resourcePath("31005 ", "def", ""));
    EXPECT_FALSE(vxResources::resourcePath("31005", "DEF", ""));
    EXPECT_FALSE(vxResources::resourcePath("../secret", "def", ""));
    EXPECT_FALSE(vxResources::resourcePath("..", "def", ""));
    EXPECT_FALSE(vxResources::resourcePath("secret", "def", ".."));
    EXPECT_FALSE(vxResources::resourcePath("secret", "def", "library/../.."));
    EXPECT_FALSE(vxResources::resourcePath("secret", "def", "/tmp"));
    EXPECT_FALSE(vxResources::resourcePath("31005", "def/../../secret", ""));
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
