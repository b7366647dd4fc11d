#include "vxDefinition.h"
#include "vxResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Definition : public ::testing::Test {
protected:
    void SetUp() override { vxResources::setResourceFolder(dir.path()); }
    void TearDown() override { vxResources::setResourceFolder(""); }
    void def(const std::string& name, const std::string& text) { vxTest::writeFile(dir.file(name + ".def"), text); }
    vxTest::TempDir dir;
};

} // namespace

TEST_F(Definition, DefaultsOfANewDefinition)
{
    vxDefinition d;
    EXPECT_EQ(d.m_TxWidth, 1);
    EXPECT_EQ(d.m_Teeth, 1);
    EXPECT_EQ(d.m_Printable, 1);
    EXPECT_EQ(d.m_Alpha, 1.0f);
    EXPECT_EQ(d.m_Color.r, 1.0f);
    EXPECT_EQ(d.m_Color.a, 1.0f);
    EXPECT_TRUE(d.m_FileContent.has_value());
    EXPECT_FALSE(d.found());
}

TEST_F(Definition, ReadsAllSectionsAndKeys)
{
    def("12345", vxTest::crlf({"RED=255", "[COLOR]", "GREEN=128", "BLUE=0", "ALPHA=0,5", "TEXTURE=Wood",
                               "TXWIDTH=4", "TXHEIGHT=5", "TXOFSX=-1", "TXOFSY=2", "[COMMON]",
                               "NAME=Block 30", "ENG=Block thirty", "GROUP=9", "PRIZE=1.5",
                               "ORGNUMBER=31005", "PRINTABLE=0", "HIDE=1", "SORTORDER=7", "KINEROT=3",
                               "TEETH=20", "[OFFSET]", "X=-7.5", "Y=1,5", "Z=0", "[CHILDS]", "COUNT=2",
                               "[CONNECTIONS]", "COUNT=3", "[CHILD1]", "NUMBER=31001"}));
    vxDefinition d;
    // Every key as the catalogue writes it is read back in the catalogue
    // test (tools/test_catalogue.cpp); here the reader's own rules.
    EXPECT_TRUE(d.LoadFromResource("12345"));
    EXPECT_TRUE(d.found());
    EXPECT_EQ(d.m_ShortName, "12345");
    EXPECT_EQ(d.m_Red, 255);
    EXPECT_EQ(d.m_Green, 128);
    EXPECT_EQ(d.m_Color.r, 1.0f);
    EXPECT_EQ(d.m_Color.g, 128.0f / 255.0f);
    EXPECT_EQ(d.m_Color.b, 0.0f);
    EXPECT_EQ(d.m_Color.a, 1.0f);
    EXPECT_EQ(d.m_Alpha, 0.5f);
    EXPECT_EQ(d.m_Texture, "Wood");
    EXPECT_EQ(d.m_TxOfsX, -1);
    EXPECT_EQ(d.m_Group, 9);
    EXPECT_EQ(d.GetGroupAsString(), std::string(vxGroupNames::kNames[0]) + " (alt)");
    EXPECT_EQ(d.m_Prize, 1.5f);
    EXPECT_EQ(d.m_SortOrder, 7);
    EXPECT_EQ(d.m_OffsetX, -7.5f);
    EXPECT_EQ(d.m_OffsetY, 1.5f);
    EXPECT_EQ(d.m_ChildCount, 2);
    EXPECT_EQ(d.m_ConnectionCount, 3);
    EXPECT_TRUE(d.m_ChildList.empty()); // only ReadChilds fills it
}

TEST_F(Definition, ReplacementRulesForOrgNumberAndSortOrder)
{
    def("1234", vxTest::crlf({"[COMMON]", "ORGNUMBER=", "SORTORDER=0"}));
    vxDefinition d;
    d.LoadFromResource("1234");
    EXPECT_EQ(d.m_OrgNumber, "1234");
    EXPECT_EQ(d.m_SortOrder, 1234);
    def("abcde", vxTest::crlf({"[COMMON]", "SORTORDER=x"}));
    vxDefinition e;
    e.LoadFromResource("abcde");
    EXPECT_EQ(e.m_OrgNumber, "");
    EXPECT_EQ(e.m_SortOrder, 0);
}

TEST_F(Definition, MissingResourceGivesBlackAndKeepsValues)
{
    def("11111", vxTest::crlf({"[COMMON]", "NAME=First", "[COLOR]", "RED=255"}));
    vxDefinition d;
    d.LoadFromResource("11111");
    EXPECT_FALSE(d.LoadFromResource("99999"));
    EXPECT_FALSE(d.found());
    EXPECT_EQ(d.m_ShortName, "99999");
    EXPECT_FALSE(d.m_FileContent.has_value());
    EXPECT_EQ(d.m_Name, "First");
    EXPECT_EQ(d.m_Color.r, 1.0f); // RED stays from the first file

    vxDefinition fresh;
    fresh.LoadFromResource("99999");
    EXPECT_EQ(fresh.m_Color.r, 0.0f);
    EXPECT_EQ(fresh.m_Color.a, 1.0f);
}

TEST_F(Definition, ChildrenAndConnections)
{
    def("22222", vxTest::crlf({"[CHILDS]", "COUNT=3", "[CONNECTIONS]", "COUNT=2", "[CHILD1]", "NUMBER=31001",
                               "[CHILD2]", "NUMBER=31002", "[CHILD9]", "NUMBER=bad", "[CONN2]", "NAME=Pin",
                               "ENG=pin", "TYP=1", "THICK=0,4", "X=1", "Y=2", "Z=3", "PF=4", "RF=5", "TF=6",
                               "PN=0", "RN=1", "TN=0"}));
    vxDefinition d;
    d.LoadFromResource("22222");
    EXPECT_TRUE(d.ReadChilds());
    ASSERT_EQ(d.m_ChildList.size(), 3u);
    EXPECT_EQ(d.m_ChildList[0]->m_Number, "31001");
    EXPECT_EQ(d.m_ChildList[1]->m_Number, "31002");
    EXPECT_EQ(d.m_ChildList[2]->m_Number, "<empty>");
    EXPECT_TRUE(d.ReadConnections());
    ASSERT_EQ(d.m_ConnectionList.size(), 2u);
    EXPECT_EQ(d.Connection(0)->m_Name, "<empty>");
    EXPECT_EQ(d.Connection(0)->NameOfTyp(), "Loch");
    auto c = d.Connection(1);
    EXPECT_EQ(c->m_Name, "Pin");
    EXPECT_EQ(c->NameOfTyp(), "Zapfen");
    EXPECT_EQ(c->m_Thick, 0.4f);
    EXPECT_EQ(c->m_Z, 3.0f);
    EXPECT_EQ(c->m_TF, 6.0f);
    EXPECT_EQ(c->m_RN, 1.0f);
    EXPECT_EQ(d.Connection(2), nullptr);
    EXPECT_EQ(d.Connection(-1), nullptr);
    // A second read appends (the list is not emptied first).
    d.ReadChilds();
    EXPECT_EQ(d.m_ChildList.size(), 6u);
    EXPECT_EQ(d.m_ChildList[3]->m_Number, "31001");
}

TEST_F(Definition, HostileCountsAreRefused)
{
    def("33333", vxTest::crlf({"[CHILDS]", "COUNT=2147483647", "[CONNECTIONS]", "COUNT=100001"}));
    vxDefinition d;
    d.LoadFromResource("33333");
    EXPECT_FALSE(d.ReadChilds());
    EXPECT_FALSE(d.ReadConnections());
    EXPECT_TRUE(d.m_ChildList.empty());
    EXPECT_TRUE(d.m_ConnectionList.empty());
}

TEST(DefinitionGroups, TableAndTypNames)
{
    vxDefinition d;
    for (int g = 0; g <= 8; ++g) {
        d.m_Group = g;
        std::string base = d.GetGroupAsString();
        EXPECT_FALSE(base.empty());
        d.m_Group = g + 9;
        EXPECT_EQ(d.GetGroupAsString(), base + " (alt)");
    }
    d.m_Group = 18;
    EXPECT_EQ(d.GetGroupAsString(), vxGroupNames::kNames[9]);
    d.m_Group = -1;
    EXPECT_EQ(d.GetGroupAsString(), "");
    d.m_Group = 19;
    EXPECT_EQ(d.GetGroupAsString(), "");
    vxConnection c;
    for (int t : {1, 2, -1}) {
        c.m_Typ = t;
        EXPECT_EQ(c.NameOfTyp(), "Zapfen");
    }
}
