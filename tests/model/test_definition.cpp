#include "vxDefinition.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Definition : public ::testing::Test {
  protected:
    void def(const std::string& name, const std::string& text)
    {
        vxTest::writeFile(dir.file(name + ".def"), text);
    }
    vxTest::TempDir dir;
    vxTest::ResourceFolder folder{dir.path()};
};

} // namespace

// The reader's own rules; every key as the catalogue writes it is read back
// in the catalogue test.
TEST_F(Definition, ReadsSectionsWithDecimalCommasAndReplacementRules)
{
    def("12345", vxTest::crlf({"RED=255", "[COLOR]", "GREEN=128", "ALPHA=0,5", "[COMMON]", "NAME=Block 30",
                               "GROUP=9", "PRIZE=1.5", "ORGNUMBER=", "SORTORDER=0", "[OFFSET]", "X=-7.5",
                               "Y=1,5", "[CHILDS]", "COUNT=2", "[CHILD1]", "NUMBER=31001"}));
    vxDefinition d;
    EXPECT_TRUE(d.LoadFromResource("12345"));
    EXPECT_TRUE(d.found());
    EXPECT_EQ(d.m_ShortName, "12345");
    EXPECT_EQ(d.m_Red, 255);
    EXPECT_EQ(d.m_Color.r, 1.0f);
    EXPECT_EQ(d.m_Color.g, 128.0f / 255.0f);
    EXPECT_EQ(d.m_Color.a, 1.0f);
    EXPECT_EQ(d.m_Alpha, 0.5f);
    EXPECT_EQ(d.GetGroupAsString(), std::string(vxGroupNames::kNames[0]) + " (alt)");
    EXPECT_EQ(d.m_Prize, 1.5f);
    EXPECT_EQ(d.m_OffsetX, -7.5f);
    EXPECT_EQ(d.m_OffsetY, 1.5f);
    EXPECT_EQ(d.m_ChildCount, 2);
    EXPECT_TRUE(d.m_ChildList.empty()); // only ReadChilds fills it
    // An empty original number and a sort order of 0 stand for the name.
    EXPECT_EQ(d.m_OrgNumber, "12345");
    EXPECT_EQ(d.m_SortOrder, 12345);
    def("abcde", vxTest::crlf({"[COMMON]", "SORTORDER=x"}));
    vxDefinition e;
    e.LoadFromResource("abcde");
    EXPECT_EQ(e.m_OrgNumber, "");
    EXPECT_EQ(e.m_SortOrder, 0);

    // A missing resource keeps the values read before; a fresh one is black.
    EXPECT_FALSE(d.LoadFromResource("99999"));
    EXPECT_FALSE(d.found());
    EXPECT_EQ(d.m_ShortName, "99999");
    EXPECT_EQ(d.m_Name, "Block 30");
    EXPECT_EQ(d.m_Color.r, 1.0f);
    vxDefinition fresh;
    fresh.LoadFromResource("99999");
    EXPECT_EQ(fresh.m_Color.r, 0.0f);
    EXPECT_EQ(fresh.m_Color.a, 1.0f);
}

// "[CHILDS]" and "[CONNECTIONS]" read as numbered headers give no number:
// the keys under them belong to no child or connection.
TEST_F(Definition, ChildrenAndConnections)
{
    def("22222", vxTest::crlf({"[CHILDS]", "COUNT=3", "NUMBER=wrong", "[CONNECTIONS]", "COUNT=2",
                               "NAME=wrong", "[CHILD2]", "NUMBER=31001", "[CHILD9]", "NUMBER=bad", "[CONN2]",
                               "NAME=Pin", "TYP=1", "THICK=0,4", "Z=3"}));
    vxDefinition d;
    d.LoadFromResource("22222");
    EXPECT_TRUE(d.ReadChilds());
    ASSERT_EQ(d.m_ChildList.size(), 3u);
    EXPECT_EQ(d.m_ChildList[0]->m_Number, "<empty>");
    EXPECT_EQ(d.m_ChildList[1]->m_Number, "31001");
    EXPECT_EQ(d.m_ChildList[2]->m_Number, "<empty>");
    EXPECT_TRUE(d.ReadConnections());
    ASSERT_EQ(d.m_ConnectionList.size(), 2u);
    EXPECT_EQ(d.Connection(0)->m_Name, "<empty>");
    auto c = d.Connection(1);
    EXPECT_EQ(c->m_Name, "Pin");
    EXPECT_EQ(c->m_Thick, 0.4f);
    EXPECT_EQ(c->m_Z, 3.0f);
    EXPECT_EQ(d.Connection(2), nullptr);
    EXPECT_EQ(d.Connection(-1), nullptr);
    // A second read appends (the list is not emptied first).
    d.ReadChilds();
    EXPECT_EQ(d.m_ChildList.size(), 6u);

    // A hundred thousand children and connections are read; one more is
    // refused and nothing is appended.
    for (const int count : {100000, 100001, 2147483647}) {
        def("33333", vxTest::crlf({"[CHILDS]", "COUNT=" + std::to_string(count), "[CONNECTIONS]",
                                   "COUNT=" + std::to_string(count)}));
        vxDefinition many;
        many.LoadFromResource("33333");
        const bool accepted = count == 100000;
        EXPECT_EQ(many.ReadChilds(), accepted) << count;
        EXPECT_EQ(many.ReadConnections(), accepted) << count;
        EXPECT_EQ(many.m_ChildList.size(), accepted ? 100000u : 0u) << count;
        EXPECT_EQ(many.m_ConnectionList.size(), accepted ? 100000u : 0u) << count;
    }
}

TEST(DefinitionGroups, TableAndTypNames)
{
    vxDefinition d;
    auto group = [&](int g) {
        d.m_Group = g;
        return d.GetGroupAsString();
    };
    for (int g = 0; g <= 8; ++g)
        EXPECT_EQ(group(g + 9), group(g) + " (alt)") << g;
    EXPECT_EQ(group(18), vxGroupNames::kNames[9]);
    EXPECT_EQ(group(-1) + group(19), "") << "groups outside the table";
    vxConnection c;
    for (int t : {0, 1, 2, -1}) {
        c.m_Typ = t;
        EXPECT_EQ(c.NameOfTyp(), t == 0 ? "Loch" : "Zapfen") << t;
    }
}
