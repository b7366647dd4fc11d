// kolbrik render and render-parts: pictures drawn off-screen, checked by pixel.
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace vxTest;

namespace {

bool near(const std::array<std::uint8_t, 4>& p, int r, int g, int b)
{
    return std::abs(p[0] - r) <= 1 && std::abs(p[1] - g) <= 1 && std::abs(p[2] - b) <= 1;
}

class CliRender : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(res.file("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
        writeFile(res.file("31005.def"),
                  crlf({"[COMMON]", "NAME=Block", "[COLOR]", "RED=0", "GREEN=0", "BLUE=255"}));
        writeFile(res.file("m.kmf"),
                  kmfFile({0, 0, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}}));
    }
    TempDir res;
    TempDir out;
};

} // namespace

// Without options: 1024 x 768 pixels, opaque, the grid hidden as after
// opening a file in the window (every pixel of a picture with the grid:
// the reference picture below).
TEST_F(CliRender, DrawsTheModelAsTheWindowShowsItAfterOpeningAtAPhase)
{
    auto r = runCli("render " + res.file("m.kmf") + " " + out.file("m.png") + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    vxImage image = vxReadPNG(out.file("m.png"));
    ASSERT_EQ(image.width, 1024);
    ASSERT_EQ(image.height, 768);
    EXPECT_EQ(image.pixel(0, 0)[3], 255);
    EXPECT_TRUE(near(image.pixel(512, 384), 0, 255, 0));     // the cube's lit front, in the part's colour
    EXPECT_TRUE(near(image.pixel(511, 700), 235, 232, 217)); // no grid line x = 0

    // --phase hides later parts; --paint-old-white paints earlier ones.
    // Seen from -z, world +x is on the left of the picture: phase 3 on the
    // left, phase 2 (red) in the middle, phase 1 (green) on the right.
    writeFile(res.file("p.kmf"), kmfFile({0, 0, -10}, {0, 0, 0},
                                         {{"K31005_a", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 1},
                                          {"K31005_b", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2},
                                          {"K31005_c", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 3}}));
    const std::string args =
        "render " + res.file("p.kmf") + " " + out.file("p.png") + " --size 200x100 --resources " + res.path();
    r = runCli(args + " --phase 2 --paint-old-white");
    ASSERT_EQ(r.status, 0) << r.out;
    image = vxReadPNG(out.file("p.png"));
    const auto left = image.pixel(70, 50), middle = image.pixel(100, 50), white = image.pixel(130, 50);
    EXPECT_TRUE(near(left, 235, 232, 217)) << "a later phase is drawn";
    EXPECT_GT(middle[0], 100) << "the current phase is not in its red";
    EXPECT_EQ(middle[1], 0) << "the current phase is not in its red";
    EXPECT_TRUE(white[0] > 100 && white[1] > 100 && white[2] > 100) << "an earlier phase is not white";
    // White old parts need a phase to be old against.
    EXPECT_EQ(runCli(args + " --paint-old-white").status, 2);
}

TEST_F(CliRender, PartPicturesShowEachMeshInItsDefinitionsColourFillingThePicture)
{
    writeFile(res.file("32000.stl"), stlFile(box(0, 0, 0, 300, 20, 20))); // long, off the origin
    writeFile(res.file("empty.stl"), stlFile({}));
    auto r = runCli("render-parts 31005 32000 --out " + out.path() + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    for (const std::string name : {"31005", "32000"}) {
        const vxImage image = vxReadPNG(out.file(name + ".png"));
        ASSERT_EQ(image.width, 128) << name;
        ASSERT_EQ(image.height, 128);
        // The part is in the middle and reaches across most of the picture.
        int left = 128, right = -1;
        for (int x = 0; x < 128; ++x)
            for (int y = 0; y < 128; ++y)
                if (!near(image.pixel(x, y), 235, 232, 217))
                    left = std::min(left, x), right = std::max(right, x);
        EXPECT_FALSE(near(image.pixel(64, 64), 235, 232, 217)) << name;
        EXPECT_GT(right - left, 70) << name;
    }
    // The block's definition makes it blue (no red or green in any lit face).
    const auto block = vxReadPNG(out.file("31005.png")).pixel(64, 64);
    EXPECT_EQ(block[0], 0);
    EXPECT_GT(block[2], 100);

    // Without names: every mesh of the folder; one without triangles fails.
    r = runCli("render-parts --out " + out.path() + " --size 32 --resources " + res.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("empty"), std::string::npos) << r.out;
    EXPECT_EQ(vxReadPNG(out.file("32000.png")).width, 32);
}

// The size of a picture on a command line (render, render-parts and the
// preview generator): plain decimal sides in range, in the one form asked
// for; anything else leaves the size as it was.
TEST(PictureSize, IsWidthByHeightOrOneNumberAndNothingElse)
{
    using F = vxSizeText;
    const struct {
        const char* text;
        F form;
        int width, height; // 0: refused
    } cases[] = {
        {"64x48", F::kWidthByHeight, 64, 48},
        {"32", F::kSquare, 32, 32},
        {"8x4096", F::kWidthByHeight, 8, 4096},
        {"10", F::kWidthByHeight, 0, 0},
        {"10x10", F::kSquare, 0, 0},
        {"7x10", F::kWidthByHeight, 0, 0},
        {"8x4097", F::kWidthByHeight, 0, 0},
        {"x10", F::kWidthByHeight, 0, 0},
        {"10x", F::kWidthByHeight, 0, 0},
        {"+9x9", F::kWidthByHeight, 0, 0},
        {" 9x9", F::kWidthByHeight, 0, 0},
        {"9x9x9", F::kWidthByHeight, 0, 0},
        {"-9", F::kSquare, 0, 0},
        {"", F::kSquare, 0, 0},
        {"9.5", F::kSquare, 0, 0},
    };
    for (const auto& c : cases) {
        int width = 1, height = 2;
        const bool ok = vxParsePictureSize(c.text, c.form, 8, 4096, width, height);
        EXPECT_EQ(ok, c.width != 0) << c.text;
        EXPECT_EQ(std::pair(width, height), ok ? std::pair(c.width, c.height) : std::pair(1, 2)) << c.text;
    }
}

// A model's tubes show with --tubes only: without it the picture is the
// reference one of the same model without its tube.
TEST_F(CliRender, TubesShowWithTheTubesOptionOnly)
{
    writeFile(res.file("t.kmf"),
              kmfFile({4, 6, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}},
                      {0x0000ff}));
    const std::string base = "render " + res.file("t.kmf") + " " + out.file("t.png") +
                             " --size 96x72 --grid --resources " + res.path();
    ASSERT_EQ(runCli(base).status, 0);
    const vxImage reference = vxReadPNG(KOLBRIK_TEST_DATA "/render-reference.png");
    EXPECT_EQ(vxReadPNG(out.file("t.png")).rgba, reference.rgba);
    ASSERT_EQ(runCli(base + " --tubes").status, 0);
    const vxImage tubes = vxReadPNG(out.file("t.png"));
    int red = 0;
    for (int y = 0; y < tubes.height; ++y)
        for (int x = 0; x < tubes.width; ++x)
            red += tubes.pixel(x, y)[0] > 150 && tubes.pixel(x, y)[1] < 60 && tubes.pixel(x, y)[2] < 60;
    EXPECT_GT(red, 20);
}

// Without camera options the picture is the one the renderer drew before
// they existed (the reference, from this very model), and so is the one
// with the file's own camera given.
TEST_F(CliRender, CameraOptionsPlaceTheCameraAndRefuseBadValues)
{
    writeFile(res.file("r.kmf"),
              kmfFile({4, 6, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}}));
    const vxImage reference = vxReadPNG(KOLBRIK_TEST_DATA "/render-reference.png");
    for (const std::string camera : {"", " --camera 4,6,-10,0,0,0"}) {
        ASSERT_EQ(runCli("render " + res.file("r.kmf") + " " + out.file("r.png") + " --size 96x72 --grid" +
                         camera + " --resources " + res.path())
                      .status,
                  0);
        EXPECT_EQ(vxReadPNG(out.file("r.png")).rgba, reference.rgba) << camera;
    }

    const std::string base = "render " + res.file("m.kmf") + " " + out.file("c.png") + " --size 200x100 ";
    // Rows of the middle column that show the cube.
    auto cubeRows = [&](const std::string& options) {
        auto r = runCli(base + options + " --resources " + res.path());
        EXPECT_EQ(r.status, 0) << options << ": " << r.out;
        const vxImage image = vxReadPNG(out.file("c.png"));
        int rows = 0;
        for (int y = 0; y < image.height; ++y)
            rows += !near(image.pixel(100, y), 235, 232, 217);
        return rows;
    };
    const int asOpened = cubeRows("");
    EXPECT_NEAR(cubeRows("--camera 0,0,-20,0,0,0"), asOpened / 2.0, 2); // twice as far
    // Fitted: the cube's nearest face fills 90 % of the height.
    EXPECT_NEAR(cubeRows("--view front"), 90, 2);
    EXPECT_NEAR(cubeRows("--camera 0,0,-50,0,0,0 --fit"), 90, 2);
    EXPECT_NEAR(cubeRows("--view front --orthographic"), 90, 2);

    for (const std::string bad :
         {"--view sideways", "--view", "--camera 1,2,3", "--camera 0,0,0,0,0,0", "--camera 1,2,3,4,5,x",
          "--camera 1,2,3,4,5,6,7", "--view top --camera 0,0,-5,0,0,0"})
        EXPECT_EQ(runCli(base + bad + " --resources " + res.path()).status, 2) << bad;
}

// --style classic is the picture without it, byte for byte (the reference);
// outlined draws dark edge lines and smooths them; --moving draws the
// window's moving frame; a style that does not exist is refused.
TEST_F(CliRender, StyleAndMovingOptions)
{
    writeFile(res.file("r.kmf"),
              kmfFile({4, 6, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}}));
    const vxImage reference = vxReadPNG(KOLBRIK_TEST_DATA "/render-reference.png");
    const std::string base = "render " + res.file("r.kmf") + " " + out.file("r.png") +
                             " --size 96x72 --grid --resources " + res.path();
    auto render = [&](const std::string& options) {
        const auto r = runCli(base + options);
        EXPECT_EQ(r.status, 0) << options << ": " << r.out;
        return vxReadPNG(out.file("r.png"));
    };
    EXPECT_EQ(render(" --style classic").rgba, reference.rgba);
    EXPECT_EQ(render(" --moving").rgba, reference.rgba); // a cube has nothing to simplify

    const vxImage outlined = render(" --style outlined");
    ASSERT_EQ(outlined.width, 96);
    int dark = 0, mixed = 0;
    for (int y = 0; y < outlined.height; ++y)
        for (int x = 0; x < outlined.width; ++x) {
            const auto p = outlined.pixel(x, y);
            dark += p[0] + p[1] + p[2] < 120;
            mixed += p != reference.pixel(x, y);
        }
    EXPECT_GT(dark, 40); // the cube's outline
    EXPECT_GT(mixed, dark);

    for (const std::string bad : {" --style", " --style flat", " --style Outlined"})
        EXPECT_EQ(runCli(base + bad).status, 2) << bad;
}
