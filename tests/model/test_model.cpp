#include "vxModel.h"
#include "vxResources.h"
#include "vxTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

std::string data(const std::string& name)
{
    return std::string(KOLBRIK_TEST_DATA) + "/" + name;
}

class Model : public ::testing::Test {
  protected:
    void SetUp() override
    {
        vxTest::writeFile(res.file("31005.def"), vxTest::crlf({"[COMMON]", "NAME=Block 30", "ORGNUMBER=31005",
                                                               "[OFFSET]", "X=1,5"}));
        vxTest::writeFile(res.file("32000.def"), vxTest::crlf({"[COMMON]", "NAME=Plate"}));
        vxResources::setResourceFolder(res.path());
    }
    void TearDown() override { vxResources::setResourceFolder(""); }
    std::string kmf(const std::string& name, std::initializer_list<std::string> lines)
    {
        vxTest::writeFile(dir.file(name), vxTest::crlf(lines));
        return dir.file(name);
    }
    vxTest::TempDir res;
    vxTest::TempDir dir;
};

} // namespace

TEST_F(Model, ReadsCameraCommonPartsAndTubesInAnyOrder)
{
    auto path = kmf("a.kmf", {"NAME=K32000_before",
                              "[TUBE1]",
                              "RADIUS=0,5",
                              "COUNT=3",
                              "COLOR=65280",
                              "X0=1",
                              "Y1=2",
                              "Z199=3",
                              "X200=9",
                              "X-1=9",
                              "X=5",
                              "XPOS=4",
                              "[PART2]",
                              "NAME=K32000_x",
                              "NAME=K32000_plate",
                              "COLOR=16711680",
                              "PHASE=2",
                              "[PART7]",
                              "NAME=K31005_z",
                              "[PART0]",
                              "PHASE=5",
                              "[CAMERA]",
                              "POSITIONX=1",
                              "POSITIONY=2,5",
                              "POSITIONZ=-3",
                              "DIRECTIONX=4",
                              "UPY=1",
                              "TARGETZ=7",
                              "[COMMON]",
                              "COUNT=3",
                              "TUBECOUNT=1",
                              "INFMODELL=Crane",
                              "INFORIGINAL=Kit 1",
                              "INFGEBAUT=Anna",
                              "[PART1]",
                              "NAME=K31005_block30",
                              "XPOS=1",
                              "YPOS=2",
                              "ZPOS=3",
                              "XDIR=1",
                              "YDIR=0",
                              "ZDIR=0",
                              "PHASE=3",
                              "COLOR=255"});
    vxModel m;
    ASSERT_TRUE(m.loadModelFromFile(path));
    EXPECT_EQ(m.cameraPosition(), vxVector(1, 2.5f, -3, 0));
    EXPECT_EQ(m.cameraDirection().x(), 4.0f);
    EXPECT_EQ(m.cameraUp().y(), 1.0f);
    EXPECT_EQ(m.cameraTarget().z(), 7.0f);
    EXPECT_EQ(m.infModell() + "|" + m.infOriginal() + "|" + m.infGebaut(), "Crane|Kit 1|Anna");
    ASSERT_EQ(m.count(), 3);
    ASSERT_EQ(m.partList().size(), 3u);
    const vxPart& p = *m.partList()[0];
    EXPECT_EQ(p.partName(), "K31005_block30");
    EXPECT_EQ(p.shortName(), "31005");
    EXPECT_EQ(p.position(), vxVector(1, 2, 3, 0));
    EXPECT_EQ(p.direction(), vxVector(1, 0, 0, 0));
    EXPECT_EQ(p.color(), vxVector(1, 0, 0, 0));
    EXPECT_EQ(p.phase(), 3);
    EXPECT_EQ(p.definition().m_Name, "Block 30");
    EXPECT_EQ(p.definition().m_OffsetX, 1.5f);
    // The last NAME of a section wins; keys outside one and sections past
    // COUNT are ignored; a part without a section is empty.
    EXPECT_EQ(m.partList()[1]->partName(), "K32000_plate");
    EXPECT_EQ(m.partList()[1]->definition().m_Name, "Plate");
    EXPECT_EQ(m.partList()[1]->color(), vxVector(0, 0, 1, 0));
    EXPECT_EQ(m.partList()[2]->partName(), "<empty>");
    EXPECT_EQ(m.partList()[2]->shortName(), "");
    EXPECT_EQ(m.maximumBauphase(), 3);
    EXPECT_EQ(m.actualBauphase(), 3);

    ASSERT_EQ(m.tubeList().size(), 1u);
    const vxTube& t = *m.tubeList()[0];
    EXPECT_EQ(t.radius(), 0.5f);
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.color(), vxVector(0, 1, 0, 0));
    vxVector n;
    t.getTubeNode(0, n);
    EXPECT_EQ(n, vxVector(4, 0, 0, 0)); // X0=1, then X=5 is no node key, XPOS is node 0
    t.getTubeNode(1, n);
    EXPECT_EQ(n.y(), 2.0f);
    t.getTubeNode(199, n);
    EXPECT_EQ(n.z(), 3.0f);
}

TEST_F(Model, ColourDecoding)
{
    EXPECT_EQ(vxDecodeColor(255), vxVector(1, 0, 0, 0));
    EXPECT_EQ(vxDecodeColor(65280), vxVector(0, 1, 0, 0));
    EXPECT_EQ(vxDecodeColor(16711680), vxVector(0, 0, 1, 0));
    EXPECT_EQ(vxDecodeColor(-1), vxVector(1, 1, 1, 0));
    EXPECT_EQ(vxDecodeColor(2147483647), vxVector(1, 1, 1, 0));
    EXPECT_EQ(vxDecodeColor(0x01000080).x(), 128.0f / 255.0f);
}

TEST_F(Model, EveryLoadStartsFreshAndAFailedOneChangesNothing)
{
    auto a = kmf("a.kmf", {"[CAMERA]", "POSITIONX=5", "[COMMON]", "COUNT=2", "TUBECOUNT=1", "INFMODELL=First",
                           "[PART1]", "NAME=K31005_b", "PHASE=4"});
    vxModel m;
    ASSERT_TRUE(m.loadModelFromFile(a));
    for (const std::string& bad : {dir.file("missing.kmf"), dir.path(), std::string("/dev/zero")}) {
        vxLoadResult r = m.loadModelFromFile(bad);
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_NE(r.error.find(bad), std::string::npos) << r.error;
        EXPECT_EQ(m.infModell(), "First") << bad;
        EXPECT_EQ(m.partList().size(), 2u) << bad;
    }
    ASSERT_TRUE(m.loadModelFromFile(kmf("b.kmf", {"[PART1]", "NAME=K32000_p"})));
    EXPECT_EQ(m.count(), 0);
    EXPECT_TRUE(m.partList().empty());
    EXPECT_TRUE(m.tubeList().empty());
    EXPECT_EQ(m.infModell(), "");
    EXPECT_EQ(m.cameraPosition().x(), 0.0f);
    EXPECT_EQ(m.actualBauphase(), 1);
}

TEST_F(Model, HostileCountsFailWithAMessage)
{
    vxModel m;
    vxLoadResult r = m.loadModelFromFile(data("count_max.kmf"));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("parts"), std::string::npos) << r.error;
    EXPECT_TRUE(m.partList().empty());
    r = m.loadModelFromFile(data("tubes_max.kmf"));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("tubes"), std::string::npos) << r.error;
}

TEST_F(Model, BadlyFormedFilesLoadWithWhatTheyHave)
{
    for (const char* f : {"lf_only.kmf", "cr_only.kmf", "empty.kmf", "garbage.kmf"}) {
        vxModel m;
        EXPECT_TRUE(m.loadModelFromFile(data(f))) << f;
        EXPECT_EQ(m.count(), 0) << f;
        EXPECT_TRUE(m.partList().empty()) << f;
        EXPECT_EQ(m.maximumBauphase(), 1) << f;
    }
    vxModel t;
    ASSERT_TRUE(t.loadModelFromFile(data("truncated.kmf")));
    EXPECT_EQ(t.count(), 2);
    EXPECT_EQ(t.partList()[0]->position().x(), 1.5f);
    EXPECT_EQ(t.partList()[1]->partName(), "K"); // cut off mid-name
    EXPECT_EQ(t.partList()[1]->shortName(), "");

    // Numbers convert as far as they go.
    vxModel n;
    ASSERT_TRUE(n.loadModelFromFile(data("numbers.kmf")));
    EXPECT_EQ(n.cameraPosition().y(), 12.0f);
    EXPECT_TRUE(std::isinf(n.cameraPosition().z()));
    EXPECT_EQ(n.cameraTarget().x(), -0.5f);
    EXPECT_EQ(n.partList()[0]->position().x(), 1.25f);
    EXPECT_EQ(n.partList()[0]->phase(), 2);
    EXPECT_EQ(n.partList()[0]->color(), vxVector(12.0f / 255.0f, 0, 0, 0));

    vxModel w;
    ASSERT_TRUE(w.loadModelFromFile(data("windows1252.kmf")));
    EXPECT_EQ(w.infModell(), "Kr\xc3\xa4n mit F\xc3\xbchrerhaus \xe2\x82\xac 5");

    const std::string line(1 << 20, 'x');
    vxTest::writeFile(dir.file("long.kmf"), "[COMMON]\r\nINFMODELL=" + line + "\r\nCOUNT=1\r\n");
    ASSERT_TRUE(w.loadModelFromFile(dir.file("long.kmf")));
    EXPECT_EQ(w.infModell().size(), std::size_t(1) << 20) << "a megabyte line is just a line";
    EXPECT_EQ(w.count(), 1);
}
