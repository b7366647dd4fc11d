// What the pass over the library cannot show: the model builder refuses a
// part that is not joined, meshed gears put their teeth into the gaps, and
// the preview bitmaps are laid out as other programs read them.
#include "vxBmp.h"
#include "vxKit.h"
#include "vxModelBuilder.h"

#include <gtest/gtest.h>

using namespace vxGen;

TEST(ModelBuilder, RefusesLoosePartsAndPartsCutOffFromTheFirst)
{
    vxModelBuilder b;
    const int plate = b.place("32101", vxFrame{}, vxColor::Grey);
    b.attach("31003", "pin", plate, "g1.1", vxColor::Red);
    EXPECT_TRUE(b.problems().empty());
    // A block 0.2 mm off its groove is not joined, and no file is written.
    const int off = b.attach("31003", "pin", plate, "g3.3", vxColor::Red);
    b.move(off, {0.2, 0, 0});
    ASSERT_EQ(b.problems().size(), 1u);
    EXPECT_NE(b.problems()[0].find("part 3 (31003"), std::string::npos) << b.problems()[0];
    EXPECT_THROW(b.modelFile(), vxModelError);
    b.move(off, {-0.2, 0, 0});
    EXPECT_TRUE(b.problems().empty());
    // Two blocks joined to each other but to nothing else.
    const int a = b.place("31003", vxFrameAt({500, 0, 0}, {0, 1, 0}, {0, 0, 1}), vxColor::Red);
    b.attach("31003", "pin", a, "socket", vxColor::Red);
    ASSERT_EQ(b.problems().size(), 2u);
    EXPECT_NE(b.problems()[0].find("not connected with the first part"), std::string::npos)
        << b.problems()[0];
}

TEST(ModelBuilder, MeshedGearsPutTeethIntoGaps)
{
    // Corners of the small gear's teeth (pulled 0.3 mm towards its axis)
    // inside the big gear's solid.
    auto clashes = [](const vxModelBuilder& b, int big, int small) {
        const vxFrame& fa = b.part(big).frame;
        const vxFrame& fb = b.part(small).frame;
        const vxMesh& ma = vxPartCatalog::mesh(b.part(big).type->shortName);
        int n = 0;
        for (const vxVec3& v : vxPartCatalog::mesh(b.part(small).type->shortName).vertices) {
            const double r = std::hypot(v.x, v.y);
            if (r < 5.0)
                continue;
            const vxVec3 w = fb.point({v.x * (r - 0.3) / r, v.y * (r - 0.3) / r, v.z}) - fa.origin;
            n += insideSolid(ma, {dot(w, fa.ex), dot(w, fa.ey), dot(w, fa.ez)});
        }
        return n;
    };
    for (const auto& [big, small] : {std::pair{"36005", "36005"}, {"36007", "36001"}, {"36009", "36003"}}) {
        SCOPED_TRACE(std::string(big) + " with " + small);
        vxModelBuilder b;
        const double za = vxPartCatalog::find(big)->teeth, zb = vxPartCatalog::find(small)->teeth;
        const int a = b.place(big, vxFrameAt({0, 100, 0}, {0, 0, 1}, {0, 1, 0}), vxColor::Red);
        b.turn(a, {0, 100, 0}, {0, 0, 1}, 7.0);
        const int g =
            b.place(small, vxFrameAt({(za + zb) * 0.75, 100, 0}, {0, 0, 1}, {0, 1, 0}), vxColor::Black);
        vxKit::meshGears(b, g, a);
        EXPECT_LE(clashes(b, a, g), 1);
        // Half a tooth further the teeth run into each other.
        b.turn(g, b.part(g).frame.origin, {0, 0, 1}, 180.0 / zb);
        EXPECT_GT(clashes(b, a, g), 4);
    }
}

TEST(Bitmap, WritesBottomUpPaddedRows)
{
    // 3 x 2 pixels: rows of 9 bytes padded to 12, the bottom row first,
    // blue-green-red.
    const std::uint8_t rgba[] = {255, 0,  0,  255, 0,  255, 0,  255, 0,  0,  255, 255,  // top row
                                 10,  20, 30, 255, 40, 50,  60, 255, 70, 80, 90,  255}; // bottom row
    const std::string bytes = vxBmpBytes(3, 2, rgba);
    ASSERT_EQ(bytes.size(), 54u + 24u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(bytes[30], 0); // uncompressed
    EXPECT_EQ(bytes.substr(54, 12), std::string("\x1e\x14\x0a\x3c\x32\x28\x5a\x50\x46\0\0\0", 12));
    EXPECT_EQ(bytes.substr(66, 3), std::string("\0\0\xff", 3));
}
