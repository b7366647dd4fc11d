// The model builder: naming connections, joining parts at them, the
// checks, and the model file it writes.
#include "vxBmp.h"
#include "vxKit.h"
#include "vxModelBuilder.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

double distance(const vxVec3& a, const vxVec3& b)
{
    return length(a - b);
}

// The value of KEY= in the section starting at header.
std::string value(const std::string& text, const std::string& header, const std::string& key)
{
    const std::size_t at = text.find(header + "\r\n");
    if (at == std::string::npos)
        return "<no section>";
    const std::size_t k = text.find("\r\n" + key + "=", at);
    if (k == std::string::npos)
        return "<no key>";
    const std::size_t from = k + 3 + key.size();
    return text.substr(from, text.find("\r\n", from) - from);
}

double number(const std::string& text, const std::string& header, const std::string& key)
{
    return std::stod(value(text, header, key));
}

} // namespace

TEST(ModelBuilder, NamesConnectionsByTextAliasOrNumber)
{
    const vxPartType& block = *vxPartCatalog::find("31005");
    EXPECT_EQ(vxConnectionIndex(block, "pin on the front face"), vxConnectionIndex(block, "pin"));
    EXPECT_EQ(block.connections[vxConnectionIndex(block, "top2")].eng, "groove on the top face, cell 2");
    EXPECT_EQ(vxConnectionIndex(block, "#2"), 1u);
    const vxPartType& plate = *vxPartCatalog::find("32103");
    EXPECT_EQ(plate.connections[vxConnectionIndex(plate, "g3.5")].eng, "groove 3, cell 5");
    const vxPartType& axle = *vxPartCatalog::find("34005");
    EXPECT_LT(axle.connections[vxConnectionIndex(axle, "end1")].position.z,
              axle.connections[vxConnectionIndex(axle, "end2")].position.z);
    const vxPartType& motor = *vxPartCatalog::find("38001");
    EXPECT_EQ(motor.connections[vxConnectionIndex(motor, "top2.3")].eng, "groove on the top face 2, cell 3");
    // Unknown and ambiguous names are refused with the list of names.
    try {
        vxConnectionIndex(block, "top9");
        FAIL() << "top9 accepted";
    } catch (const vxModelError& e) {
        EXPECT_NE(std::string(e.what()).find("top1"), std::string::npos) << e.what();
    }
    EXPECT_THROW(vxConnectionIndex(axle, "axle end"), vxModelError);
    EXPECT_THROW(vxConnectionIndex(block, "#0"), vxModelError);
    EXPECT_THROW(vxConnectionIndex(block, "#99"), vxModelError);
}

TEST(ModelBuilder, AttachJoinsSeatsWithOpposedNormalsAndFlushKeepsThemAligned)
{
    vxModelBuilder b;
    const int plate = b.place("32101", vxFrame{}, vxColor::Grey);
    const int block = b.attach("31003", "pin", plate, "g2.3", vxColor::Red);
    EXPECT_LT(distance(b.seat(block, "pin"), b.seat(plate, "g2.3")), 1e-9);
    EXPECT_NEAR(dot(b.normal(block, "pin"), b.normal(plate, "g2.3")), -1.0, 1e-12);
    // The block stands on the plate: pin down, its body above.
    EXPECT_NEAR(b.seat(block, "socket").y, 15.0, 1e-9);
    // Turning about the joint keeps the seat where it is.
    const int turned = b.attach("31003", "pin", plate, "g4.1", vxColor::Red, 37.0);
    EXPECT_LT(distance(b.seat(turned, "pin"), b.seat(plate, "g4.1")), 1e-9);
    EXPECT_NEAR(b.seat(turned, "socket").y, 15.0, 1e-9);

    // An axle end flush with a bore's mouth, then slid on through it.
    const int bearing = b.attach("31015", "pin", block, "socket", vxColor::Black);
    const int axle = b.attachFlush("34005", "end1", bearing, "bore left", vxColor::Silver, 10.0);
    EXPECT_NEAR(dot(b.normal(axle, "end1"), b.normal(bearing, "bore left")), 1.0, 1e-12);
    EXPECT_NEAR(distance(b.seat(axle, "end1"), b.seat(bearing, "bore left")), 10.0, 1e-9);
    // The bore's other mouth lies on the axle.
    const vxVec3 right = b.seat(bearing, "bore right");
    const vxVec3 e1 = b.seat(axle, "end1"), e2 = b.seat(axle, "end2");
    EXPECT_NEAR(length(cross(right - e1, e2 - e1)) / length(e2 - e1), 0.0, 1e-9);
    EXPECT_TRUE(b.problems().empty()) << b.problems().front();
}

TEST(ModelBuilder, AimedJoinsPointWhereAsked)
{
    vxModelBuilder b;
    const int plate = b.place("32103", vxFrame{}, vxColor::Grey);
    const int p1 = b.attach("37001", "pin back", plate, "g2.2", vxColor::Red);
    const int p2 = b.attach("37001", "pin back", plate, "g5.5", vxColor::Red);
    // A diagonal strut from one pin lands its last hole on the other.
    const int strut = b.attachToward("33023", "h1u", p1, "pin", vxColor::Yellow, "h4u", b.seat(p2, "pin"));
    EXPECT_LT(distance(b.seat(strut, "h4u"), b.seat(p2, "pin")), 1e-9);
    // A lying block along -x; a motor whose shaft points along +z.
    const int beam = b.attachAlong("31009", "bottom1", b.attach("37001", "pin back", plate, "g8.8", vxColor::Red), "pin",
                                   vxColor::Red, "bottom4", {-1, 0, 0});
    EXPECT_NEAR(b.seat(beam, "bottom4").x, b.seat(beam, "bottom1").x - 45.0, 1e-9);
    const int motor = b.attachFacing("38001", "bottom1.1", b.attach("37001", "pin back", plate, "g7.2", vxColor::Red),
                                     "pin", vxColor::Black, "shaft", {0, 0, 1});
    EXPECT_NEAR(b.normal(motor, "shaft").z, 1.0, 1e-12);
}

TEST(ModelBuilder, FindsLoosePartsAndPartsCutOffFromTheFirst)
{
    vxModelBuilder b;
    const int plate = b.place("32101", vxFrame{}, vxColor::Grey);
    b.attach("31003", "pin", plate, "g1.1", vxColor::Red);
    EXPECT_TRUE(b.problems().empty());
    // A block a little off its groove is not joined.
    const int off = b.attach("31003", "pin", plate, "g3.3", vxColor::Red);
    b.move(off, {0.2, 0, 0});
    ASSERT_EQ(b.problems().size(), 1u);
    EXPECT_NE(b.problems()[0].find("part 3 (31003"), std::string::npos) << b.problems()[0];
    EXPECT_THROW(b.modelFile(), vxModelError);
    EXPECT_NO_THROW(b.modelFile(false));
    b.move(off, {-0.2, 0, 0});
    EXPECT_TRUE(b.problems().empty());
    // Two blocks joined to each other but to nothing else.
    const int a = b.place("31003", vxFrameAt({500, 0, 0}, {0, 1, 0}, {0, 0, 1}), vxColor::Red);
    b.attach("31003", "pin", a, "socket", vxColor::Red);
    const auto found = b.problems();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NE(found[0].find("not connected with the first part"), std::string::npos) << found[0];
}

TEST(ModelBuilder, WritesACompleteModelStandingOnTheGround)
{
    vxModelBuilder b;
    b.describe("Two blocks", "Test kit", "Tester");
    const int plate = b.place("32101", vxFrameAt({1000, 50, -300}, {0, 0, 1}, {0, 1, 0}), vxColor::Grey);
    b.setPhase(5);
    const int top = b.attach("31003", "pin", b.attach("31003", "pin", plate, "g1.1", vxColor::Red), "socket", 255);
    b.setPhase(3);
    b.attach("39003", "pin", plate, "g4.6", vxColor::Blue);
    b.setPhase(9);
    b.cable(b.attach("38003", "bottom1.1", b.attach("37001", "pin back", plate, "g2.1", vxColor::Red), "pin",
                     vxColor::Black),
            "plug left", b.attach("38005", "pin", top, "socket", vxColor::Yellow), "plug left", vxColor::Red,
            vxColor::Red);
    const std::string f = b.modelFile();
    EXPECT_EQ(f, b.modelFile()) << "the same model writes the same bytes";

    // The format's own rules (CR LF lines, every key, no "-0") are checked
    // on every model of the library in test_library.cpp.
    EXPECT_EQ(value(f, "[COMMON]", "COUNT"), std::to_string(b.size()));
    EXPECT_EQ(value(f, "[COMMON]", "TUBECOUNT"), "1");
    EXPECT_EQ(value(f, "[COMMON]", "INFMODELL"), "Two blocks");
    EXPECT_EQ(value(f, "[COMMON]", "INFORIGINAL"), "Test kit");
    EXPECT_EQ(value(f, "[COMMON]", "INFGEBAUT"), "Tester");
    EXPECT_EQ(value(f, "[PART1]", "NAME"), "K32101_Base plate 60 x 90");

    // Parts in phase order, phases renumbered 1, 2, 3, 4: the plate and its
    // blocks were phase 1 and 5, the figure 3, the wiring 9.
    EXPECT_EQ(value(f, "[PART1]", "PHASE"), "1");
    EXPECT_EQ(value(f, "[PART2]", "NAME"), "K39003_Figure");
    EXPECT_EQ(value(f, "[PART2]", "PHASE"), "2");
    EXPECT_EQ(value(f, "[PART3]", "PHASE"), "3");
    EXPECT_EQ(value(f, "[PART3]", "COLOR"), std::to_string(vxColor::Red));
    EXPECT_EQ(value(f, "[PART4]", "COLOR"), "255");
    EXPECT_EQ(value(f, "[PART" + std::to_string(b.size()) + "]", "PHASE"), "4");

    // Moved onto the ground and the middle of the grid: the plate's
    // underside at y = 0 (its frame sits 7.5 mm over it).
    EXPECT_NEAR(number(f, "[PART1]", "YPOS"), 0.75, 1e-9);
    EXPECT_NEAR(number(f, "[PART1]", "XPOS"), -2.25, 1e-9);
    // The tube's nodes, in model units, start at the battery's plug.
    EXPECT_GE(std::stoi(value(f, "[TUBE1]", "COUNT")), 5);
    EXPECT_LE(std::stoi(value(f, "[TUBE1]", "COUNT")), 200);
    EXPECT_NEAR(number(f, "[TUBE1]", "RADIUS"), 0.12, 1e-9);
    EXPECT_NE(value(f, "[TUBE1]", "X0"), "<no key>");
}

TEST(ModelBuilder, RefusesTextsTheFileCannotHold)
{
    vxModelBuilder b;
    EXPECT_THROW(b.describe("a=b", "x"), vxModelError);
    EXPECT_THROW(b.describe("line\r\nbreak", "x"), vxModelError);
    EXPECT_THROW(b.describe("caf\xc3\xa9", "x"), vxModelError);
    EXPECT_THROW(b.place("99999", vxFrame{}, 0), vxModelError);
    EXPECT_EQ(vxModelBuilder().problems().size(), 1u);
}

TEST(ModelBuilder, MeshedGearsPutTeethIntoGaps)
{
    // Corners of the small gear's teeth (pulled 0.3 mm towards its axis)
    // that lie inside the big gear's solid.
    auto clashes = [](const vxModelBuilder& b, int big, int small) {
        const vxFrame& fa = b.part(big).frame;
        const vxFrame& fb = b.part(small).frame;
        const vxMesh& ma = vxPartCatalog::mesh(b.part(big).type->shortName);
        int n = 0;
        for (const vxVec3& v : vxPartCatalog::mesh(b.part(small).type->shortName).vertices) {
            const double r = std::hypot(v.x, v.y);
            if (r < 5.0)
                continue;
            const vxVec3 pulled{v.x * (r - 0.3) / r, v.y * (r - 0.3) / r, v.z};
            // Into the big gear's part frame (its axes are orthonormal).
            const vxVec3 w = fb.point(pulled) - fa.origin;
            n += insideSolid(ma, {dot(w, fa.ex), dot(w, fa.ey), dot(w, fa.ez)});
        }
        return n;
    };
    for (const auto& [big, small] : {std::pair{"36005", "36005"}, {"36007", "36001"}, {"36009", "36003"}}) {
        vxModelBuilder b;
        const double za = vxPartCatalog::find(big)->teeth, zb = vxPartCatalog::find(small)->teeth;
        const int a = b.place(big, vxFrameAt({0, 100, 0}, {0, 0, 1}, {0, 1, 0}), vxColor::Red);
        b.turn(a, {0, 100, 0}, {0, 0, 1}, 7.0);
        const int g = b.place(small, vxFrameAt({(za + zb) * 0.75, 100, 0}, {0, 0, 1}, {0, 1, 0}), vxColor::Black);
        vxKit::meshGears(b, g, a);
        // The meshed turn is the best one: (next to) no clash, and no other
        // turn within a tooth's pitch clashes less; half a tooth further
        // the teeth run into each other.
        const int meshed = clashes(b, a, g);
        EXPECT_LE(meshed, 1) << big << " with " << small;
        for (int k = 1; k < 12; ++k) {
            b.turn(g, b.part(g).frame.origin, {0, 0, 1}, 360.0 / zb / 12);
            EXPECT_GE(clashes(b, a, g), meshed) << big << " with " << small << ", " << k << "/12 tooth on";
            if (k == 6) {
                EXPECT_GT(clashes(b, a, g), 4) << big << " with " << small;
            }
        }
    }
}

TEST(Bitmap, WritesBottomUpPaddedRowsAndReadsThemBack)
{
    // 3 x 2 pixels: rows of 9 bytes padded to 12.
    const std::uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,   // top row
                                 10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255}; // bottom row
    const std::string bytes = vxBmpBytes(3, 2, rgba);
    ASSERT_EQ(bytes.size(), 54u + 24u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24);
    EXPECT_EQ(static_cast<unsigned char>(bytes[30]), 0); // BI_RGB
    // First stored row is the bottom one, blue-green-red order, then padding.
    EXPECT_EQ(static_cast<unsigned char>(bytes[54]), 30);
    EXPECT_EQ(static_cast<unsigned char>(bytes[56]), 10);
    EXPECT_EQ(bytes.substr(63, 3), std::string(3, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(bytes[66 + 2]), 255); // top row, first pixel red

    vxTest::TempDir dir;
    ASSERT_TRUE(vxWriteBmp(dir.file("p.bmp"), 3, 2, rgba));
    const vxBmpImage back = vxReadBmp(dir.file("p.bmp"));
    ASSERT_EQ(back.width, 3);
    ASSERT_EQ(back.height, 2);
    for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(back.rgb[std::size_t(i * 3 + k)], rgba[i * 4 + k]);

    // Not written: no pixels, an unwritable place.
    std::string error;
    EXPECT_FALSE(vxWriteBmp(dir.file("none/p.bmp"), 3, 2, rgba, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(vxWriteBmp(dir.file("q.bmp"), 0, 2, rgba));
}

TEST(Bitmap, RefusesWhatIsNotAPlain24BitPicture)
{
    vxTest::TempDir dir;
    const std::uint8_t rgba[16] = {};
    std::string good = vxBmpBytes(2, 2, rgba);
    auto rejected = [&](std::string bytes, const char* why) {
        vxTest::writeFile(dir.file("b.bmp"), bytes);
        std::string error;
        EXPECT_TRUE(vxReadBmp(dir.file("b.bmp"), &error).rgb.empty()) << why;
        EXPECT_FALSE(error.empty()) << why;
    };
    rejected(good.substr(0, good.size() - 1), "cut short");
    rejected("BM", "header only");
    rejected("PNG" + good, "not a bitmap");
    std::string bits = good;
    bits[28] = 32;
    rejected(bits, "32 bits");
    std::string packed = good;
    packed[30] = 1;
    rejected(packed, "run-length packed");
    std::string wide = good;
    wide[21] = 0x7f;
    rejected(wide, "huge");
    std::string error;
    EXPECT_TRUE(vxReadBmp(dir.file("missing.bmp"), &error).rgb.empty());
    EXPECT_FALSE(error.empty());
}
