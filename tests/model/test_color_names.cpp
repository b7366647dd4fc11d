// Colour names: the palette's own colours name themselves, other colours
// the name nearest as the eye judges, and the kit's colours in the library
// each get a name of their own.
#include "vxColorNames.h"
#include "vxPartsList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

vxVector rgb(int r, int g, int b)
{
    return vxVector(r / 255.0f, g / 255.0f, b / 255.0f, 0.0f);
}

std::string nameOf(const vxVector& c)
{
    return vxNearestColorName(c).english;
}

} // namespace

TEST(ColorNames, ThePaletteNamesItselfAndOtherColoursTheNearestName)
{
    std::set<std::string> english, german;
    for (const vxColorName& c : vxColorPalette()) {
        EXPECT_EQ(nameOf(rgb(c.red, c.green, c.blue)), c.english);
        EXPECT_TRUE(english.insert(c.english).second) << c.english;
        EXPECT_TRUE(german.insert(c.german).second) << c.german;
    }
    // Nearest as the eye judges, not by raw numbers: a dark navy is dark
    // blue, a pale yellow yellow, a grass green green, a pure bright green light green, pure white white.
    EXPECT_EQ(nameOf(rgb(0, 0, 128)), "dark blue");
    EXPECT_EQ(nameOf(rgb(255, 230, 60)), "yellow");
    EXPECT_EQ(nameOf(rgb(20, 120, 40)), "green");
    EXPECT_EQ(nameOf(rgb(0, 255, 0)), "light green");
    EXPECT_EQ(nameOf(rgb(255, 255, 255)), "white");
    EXPECT_EQ(nameOf(rgb(0, 0, 0)), "black");
    EXPECT_EQ(nameOf(rgb(255, 0, 0)), "red");
    EXPECT_EQ(std::string(vxNearestColorName(rgb(255, 0, 0)).german), "rot");
    // Out of range and NaN count as the nearest bound; nothing crashes.
    EXPECT_EQ(nameOf(vxVector(2.0f, 2.0f, 2.0f, 0.0f)), "white");
    EXPECT_EQ(nameOf(vxVector(std::nanf(""), -1.0f, std::nanf(""), 0.0f)), "black");
}

// The colours the library's models use (as model files write them, red in
// the lowest byte) get distinct names, so rows of one part type are told
// apart by name.
TEST(ColorNames, TheKitsColoursGetNamesOfTheirOwn)
{
    const struct {
        unsigned value;
        const char* name;
    } kit[] = {{0x2020c4, "red"},        {0xe6ecec, "white"},      {0x18b8f0, "yellow"},
               {0xc8c6c4, "light grey"}, {0xdca05a, "light blue"}, {0x8cc0d6, "beige"},
               {0xb0541e, "blue"},       {0x343030, "black"},      {0x1470ec, "orange"},
               {0x388428, "green"},      {0x928e8c, "grey"},       {0xbab4b0, "silver grey"},
               {0x284c78, "brown"},      {0x161682, "dark red"},   {0x46b46e, "light green"}};
    for (const auto& k : kit) {
        const vxVector c((k.value & 255) / 255.0f, ((k.value >> 8) & 255) / 255.0f,
                         ((k.value >> 16) & 255) / 255.0f, 0.0f);
        EXPECT_EQ(nameOf(c), k.name) << std::hex << k.value;
    }
}
