// Parts lists: grouping by type and colour, phases, missing definitions, order.
#include "vxPartsList.h"
#include "vxTestMesh.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vxTest;

namespace {

class PartsList : public ::testing::Test {
  protected:
    void SetUp() override
    {
        auto def = [&](const std::string& name, const std::string& number, int group) {
            writeFile(res.file(name + ".def"), crlf({"[COMMON]", "NAME=Part " + name, "ORGNUMBER=" + number,
                                                     "GROUP=" + std::to_string(group)}));
        };
        def("31005", "31005", 0);
        def("00900", "900", 0); // a shorter number sorts first
        def("32000", "32000", 2);
    }
    vxModel load(const std::vector<KmfPart>& parts)
    {
        writeFile(res.file("m.kmf"), kmfFile({0, 0, -10}, {0, 0, 0}, parts));
        vxModel m;
        EXPECT_TRUE(m.loadModelFromFile(res.file("m.kmf")));
        return m;
    }
    TempDir res;
    ResourceFolder folder{res.path()};
};

} // namespace

TEST_F(PartsList, GroupsByTypeAndColourWithPhaseZeroInTheFirstPhase)
{
    const vxModel m = load({{"K32000_plate", {}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 2},
                            {"K31005_red", {}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                            {"K31005_red2", {}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 0},
                            {"K31005_green", {}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 2},
                            {"K00900_small", {}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, -3},
                            {"K77777_Mystery part", {}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                            {"K31005_red3", {}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2}});

    // Phase 1 holds the phase 0 and negative parts; the part without a
    // definition is listed under its NAME, last.
    const auto one = vxMakePartsList(m, 1);
    ASSERT_EQ(one.size(), 3u);
    EXPECT_EQ(one[0].number, "900");
    EXPECT_EQ(one[0].count, 1);
    EXPECT_EQ(one[1].shortName, "31005");
    EXPECT_EQ(one[1].count, 2);
    EXPECT_EQ(one[1].parts, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(one[1].name, "Part 31005");
    EXPECT_EQ(one[1].group, vxGroupNames::kNames[0]);
    EXPECT_TRUE(one[1].found);
    EXPECT_EQ(one[2].name, "K77777_Mystery part");
    EXPECT_FALSE(one[2].found);
    EXPECT_TRUE(one[2].group.empty());

    // Phase 2: the same type in two colours gives two rows, ordered by
    // colour; group 2 comes after group 0.
    const auto two = vxMakePartsList(m, 2);
    ASSERT_EQ(two.size(), 3u);
    EXPECT_EQ(vxColorHex(two[0].color), "#00ff00");
    EXPECT_EQ(vxColorHex(two[1].color), "#ff0000");
    EXPECT_EQ(two[1].shortName, "31005");
    EXPECT_EQ(two[2].shortName, "32000");
    EXPECT_EQ(vxColorHex(two[2].color), "#0000ff");
    // Every row carries the name of its colour.
    EXPECT_STREQ(two[0].colorName.english, "light green");
    EXPECT_STREQ(two[1].colorName.english, "red");
    EXPECT_STREQ(two[2].colorName.english, "blue");

    // Every part is in exactly one phase; the whole model merges the phases.
    std::int32_t sum = 0;
    for (const auto& [phase, list] : vxMakePhasePartsLists(m))
        sum += vxPartsListTotal(list);
    EXPECT_EQ(sum, m.count());
    const auto whole = vxMakePartsList(m, std::nullopt);
    EXPECT_EQ(vxPartsListTotal(whole), m.count());
    EXPECT_EQ(whole.size(), 5u);
    EXPECT_TRUE(vxMakePartsList(m, 3).empty());

    // Far apart phases; colour components round to 0..255 and are clamped,
    // NaN counts as 0.
    const vxModel far = load({{"K31005_a", {}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2000000000},
                              {"K31005_b", {}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1}});
    const auto phases = vxMakePhasePartsLists(far);
    ASSERT_EQ(phases.size(), 2u);
    EXPECT_EQ(phases.rbegin()->first, 2000000000);
    const struct {
        vxVector colour;
        const char* hex;
    } cases[] = {
        {vxVector(0.8f, 0.0f, 0.0f), "#cc0000"},
        {vxVector(0.5f, 1.0f / 255.0f, 0.999f), "#8001ff"},
        {vxVector(-1.0f, 7.0f, std::nanf("")), "#00ff00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vxColorHex(c.colour), c.hex);
}
