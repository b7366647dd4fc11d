// The booklet's pages: the turn before a step and extra pictures laid out
// round the main picture, read back from the PDF with poppler's tools.
#include "vxBooklet.h"
#include "vxBookletPdfSupport.h"
#include "vxTestMesh.h"
#include "vxTestResources.h"

#include <QGuiApplication>

#include <map>

#include <gtest/gtest.h>

using namespace vxTest;

namespace {

class BookletLayout : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        // Fonts and the PDF writer need a GUI application; the "offscreen"
        // platform needs no window system.
        static int argc = 3;
        static char name[] = "test", platform[] = "-platform", offscreen[] = "offscreen";
        static char* argv[] = {name, platform, offscreen, nullptr};
        static QGuiApplication app(argc, argv);
    }
    void SetUp() override
    {
        writeFile(res.file("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
        writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block 10", "ORGNUMBER=31005"}));
    }
    // A booklet of the parts at path, the steps changed by hook.
    std::string booklet(const std::vector<KmfPart>& parts, const vxBooklet::StepsHook& hook,
                        std::array<float, 3> eye = {-8, 8, -12})
    {
        writeFile(dir.file("m.kmf"), kmfFile(eye, {0, 0, 0}, parts));
        vxBookletPictures pictures;
        EXPECT_TRUE(pictures.ok()) << pictures.error();
        EXPECT_TRUE(pictures.load(dir.file("m.kmf")));
        vxBooklet b(pictures, QStringLiteral("Test"));
        b.setStepsHook(hook);
        const std::string pdf = dir.file("b.pdf");
        const vxWriteResult r = vxWriteBookletPdf(b, pdf, QPageSize(QPageSize::A4));
        EXPECT_TRUE(r) << r.error;
        steps = b.stepPageCount();
        mainPixels =
            b.stepModel().steps.empty() ? 0 : b.stepModel().steps.front().pictures.front().render.height;
        made = b.stepModel().steps;
        return pdf;
    }
    // A column of blocks, one a step.
    static std::vector<KmfPart> column(int n)
    {
        std::vector<KmfPart> parts;
        for (int i = 0; i < n; ++i)
            parts.push_back(
                {"K31005_s", {0, static_cast<float>(i), 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c4, i + 1});
        return parts;
    }

    TempDir res;
    TempDir dir;
    ResourceFolder folder{res.path()};
    int steps = 0;                   // pages of steps
    int mainPixels = 0;              // the height of the first step's main picture as printed
    std::vector<vxBookletStep> made; // the steps as printed
};

std::string text(const std::string& pdf)
{
    return runCommand("pdftotext '" + pdf + "' -").out;
}

} // namespace

// A step before which the builder turns the model shows it: a curved arrow
// in the turn's colour with the angle, or turning over; steps without a
// turn show none.
TEST_F(BookletLayout, ATurnBeforeAStepShowsBesideItsNumber)
{
    const auto parts = column(3);
    std::string pdf = booklet(parts, {});
    EXPECT_EQ(text(pdf).find("Turn"), std::string::npos);
    EXPECT_EQ(colourPixels(pdfPage(pdf, 2, 100, dir), 200, 40, 120), 0);

    pdf = booklet(parts, [](vxBookletSteps& s) {
        ASSERT_EQ(s.steps.size(), 3u);
        s.steps[1].turnDegrees = 90;
        s.steps[2].turnDegrees = -45.2;
        s.steps[2].turnOver = true;
    });
    const std::string all = text(pdf);
    EXPECT_NE(all.find("Turn 90°"), std::string::npos) << all;
    EXPECT_NE(all.find("Turn 45°"), std::string::npos) << all;
    EXPECT_NE(all.find("Turn over"), std::string::npos) << all;
    // A tall, slim model in one step, turned over and about: its picture
    // stands below the symbols on the page, however large it is.
    std::vector<KmfPart> tower = column(16);
    for (KmfPart& part : tower)
        part.phase = 1;
    pdf = booklet(tower, [](vxBookletSteps& s) {
        ASSERT_EQ(s.steps.size(), 1u);
        s.steps[0].turnDegrees = 90;
        s.steps[0].turnOver = true;
    });
    EXPECT_EQ(steps, 1);
    for (const PlacedImage& i : placedImages(pdf))
        EXPECT_LE(i.top + i.height, (297 - 16) * 892 / 210.0 + 1) << "page " << i.page;
    int turns = 0;
    for (int page = 2; page < 2 + steps; ++page)
        turns += colourPixels(pdfPage(pdf, page, 100, dir), 200, 40, 120);
    EXPECT_GT(turns, 3 * 150) << "three arrows";
    // Nothing else moved over the symbols: every picture stays clear of
    // every other.
    expectNoPictureCoversAnother(pdf);
}

// Extra pictures (parts before what covers them) stand beside the main
// picture like the close-up, or below it, never on it; however many a step
// has, they all show.
TEST_F(BookletLayout, ExtraPicturesStandBesideTheMainPicture)
{
    // A floor with a small part on it (a close-up), as a tall column and as
    // a wide floor: beside the picture and below it.
    for (const bool wide : {false, true}) {
        std::vector<KmfPart> parts;
        for (int i = 0; i < (wide ? 12 : 4); ++i)
            parts.push_back({"K31005_f",
                             {static_cast<float>(wide ? i : 0), static_cast<float>(wide ? 0 : i), 0},
                             {0, 1, 0},
                             {0, 0, 1},
                             0x808080,
                             1});
        parts.push_back({"K31005_t", {0, wide ? 1.0f : 4.0f, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 2});
        int added = 0;
        const std::string pdf = booklet(parts, [&](vxBookletSteps& s) {
            ASSERT_EQ(s.steps.size(), 2u);
            for (vxBookletStep& step : s.steps) {
                // Two extra pictures of their own shapes in the second step,
                // one in the first.
                for (int i = 0; i < (step.number == 2 ? 2 : 1); ++i) {
                    vxBookletPicture extra = step.pictures.front();
                    extra.role = vxBookletPicture::Role::Extra;
                    extra.render.width = 300 + 100 * i;
                    extra.render.height = 300;
                    step.pictures.push_back(extra);
                    ++added;
                }
            }
        });
        EXPECT_EQ(added, 3);
        const auto images = placedImages(pdf);
        // The cover's picture, then per step its main picture, its close-up
        // if any, and its extras; part pictures are small.
        const auto big = std::count_if(images.begin(), images.end(),
                                       [](const PlacedImage& i) { return i.page > 1 && i.width > 60; });
        EXPECT_GE(big, 2 + 3) << (wide ? "wide" : "tall");
        expectNoPictureCoversAnother(pdf);
        for (const PlacedImage& i : images) {
            EXPECT_GE(i.left, 0);
            EXPECT_LE(i.left + i.width, 892); // A4 as pdftohtml measures it
        }
    }
}

// Room below a step's picture is taken only by steps that have pictures to
// put there: a booklet where few steps have them takes fewer pages than one
// where every step has, its pictures no smaller than the least size and
// drawn at their own pixels' size. The steps are made again at most once,
// only where that saves pages, and kept only where it does.
TEST_F(BookletLayout, OnlyStepsWithPicturesBelowTakeRoomForThem)
{
    // A low wall, a block a step: wide pictures, too wide to have room
    // beside them.
    std::vector<KmfPart> parts;
    for (int i = 0; i < 12; ++i)
        parts.push_back({"K31005_w", {static_cast<float>(i), 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c4, i + 1});
    // Which steps have a picture below their main one when the steps are
    // made first and when they are made again: every step whose number
    // less one is a multiple of the number (none for 0).
    struct Case {
        std::string name;
        int first, again;
    };
    const std::vector<Case> cases{
        {"none", 0, 0}, {"one", 12, 12}, {"every", 1, 1}, {"one, then every", 12, 1}};
    std::map<std::string, int> pages;
    std::map<std::string, std::vector<int>> heights; // of the main pictures, pixels, each time made
    for (const Case& c : cases) {
        const std::string pdf = booklet(parts, [&](vxBookletSteps& s) {
            const int every = heights[c.name].empty() ? c.first : c.again;
            heights[c.name].push_back(s.steps.front().pictures.front().render.height);
            for (vxBookletStep& step : s.steps) {
                std::erase_if(step.pictures, [](const vxBookletPicture& p) {
                    return p.role != vxBookletPicture::Role::Main;
                });
                if (every > 0 && (step.number - 1) % every == 0) {
                    vxBookletPicture extra = step.pictures.front();
                    extra.role = vxBookletPicture::Role::Extra;
                    step.pictures.push_back(extra);
                }
            }
        });
        pages[c.name] = steps;
        expectNoPictureCoversAnother(pdf);
        // The main pictures, the tallest of each page, are at least 60 mm
        // tall and as tall as their pixels at 200 dpi (pdftohtml measures
        // A4 892 wide): as the steps kept were made, or grown where a step
        // stands alone in its column.
        const double unitsPerMm = 892 / 210.0;
        const auto kept = c.name == "one, then every" ? heights[c.name].front() : heights[c.name].back();
        EXPECT_GE(mainPixels, kept) << c.name;
        std::map<int, double> tallest;
        for (const PlacedImage& i : placedImages(pdf))
            tallest[i.page] = std::max(tallest[i.page], i.height);
        for (int page = 2; page <= 1 + steps; ++page) {
            EXPECT_GE(tallest[page], 60 * unitsPerMm - 1) << c.name << ", page " << page;
            EXPECT_GE(tallest[page], kept * 25.4 / 200 * unitsPerMm - 1.5) << c.name << ", page " << page;
            EXPECT_TRUE(std::any_of(made.begin(), made.end(),
                                    [&](const vxBookletStep& step) {
                                        return std::abs(tallest[page] - step.pictures.front().render.height *
                                                                            25.4 / 200 * unitsPerMm) <= 1.5;
                                    }))
                << c.name << ", page " << page;
        }
    }
    EXPECT_LT(pages["none"], pages["every"]);
    EXPECT_LT(pages["one"], pages["every"]);
    EXPECT_LE(pages["one, then every"], pages["every"]);
    EXPECT_EQ(heights["every"].size(), 1u) << "every step has pictures below: the first size stays";
    for (const std::string name : {"none", "one", "one, then every"})
        EXPECT_EQ(heights[name].size(), 2u) << name;
    EXPECT_LT(heights["one"].back(), heights["one"].front());
}

// A step that stands alone in its column, its next step too large for the
// room left, grows into that room: the same picture, and the pictures below
// it, drawn larger, within its column and the page body, their pixels their
// printed size at 200 dpi. Steps that share a column keep the booklet's
// picture size.
TEST_F(BookletLayout, AStepAloneInItsColumnGrowsIntoTheRoomBelow)
{
    const double unitsPerMm = 892 / 210.0; // pdftohtml measures A4 892 wide
    auto printed = [&](int pixels) { return pixels * 25.4 / 200 * unitsPerMm; };
    // A block of six layers of 3 x 3, a layer a step: layers of one colour
    // (small parts boxes: two steps to a column) and, at the third and
    // sixth step, layers of four colours (tall parts boxes: a column of
    // their own). The third step has an extra picture.
    std::vector<KmfPart> parts;
    for (int layer = 0; layer < 6; ++layer)
        for (int i = 0; i < 9; ++i) {
            const bool big = layer % 3 == 2;
            parts.push_back(
                {"K31005_l",
                 {static_cast<float>(i % 3), static_cast<float>(layer), static_cast<float>(i / 3)},
                 {0, 1, 0},
                 {0, 0, 1},
                 0x303030 * (big ? i % 4 + 1 : 1),
                 layer + 1});
        }
    std::vector<vxBookletStep> chosen;
    const std::string pdf = booklet(parts, [&](vxBookletSteps& s) {
        ASSERT_EQ(s.steps.size(), 6u);
        vxBookletPicture extra = s.steps[2].pictures.front();
        extra.role = vxBookletPicture::Role::Extra;
        s.steps[2].pictures.push_back(extra);
        chosen = s.steps;
    });
    ASSERT_EQ(made.size(), chosen.size());
    const auto images = placedImages(pdf);
    for (std::size_t i = 0; i < made.size(); ++i) {
        const vxBookletRender &before = chosen[i].pictures.front().render,
                              &after = made[i].pictures.front().render;
        if (i % 3 == 2) {
            EXPECT_GT(after.height, before.height * 1.1) << "step " << i + 1;
            EXPECT_LE(after.height, before.height * 1.6 + 1) << "step " << i + 1;
            EXPECT_NEAR(static_cast<double>(after.width) / after.height,
                        static_cast<double>(before.width) / before.height, 0.01)
                << "step " << i + 1;
        } else {
            EXPECT_EQ(after.height, before.height) << "step " << i + 1;
            EXPECT_EQ(after.width, before.width) << "step " << i + 1;
        }
        // The view is the same: only the size may change.
        EXPECT_EQ(after.eye.x(), before.eye.x());
        EXPECT_EQ(after.target.y(), before.target.y());
        EXPECT_EQ(after.fieldOfView, before.fieldOfView);
        // Every picture, grown or not, printed as large as its pixels.
        for (const vxBookletPicture& picture : made[i].pictures) {
            if (picture.role == vxBookletPicture::Role::Extra) {
                EXPECT_EQ(picture.render.width, after.width) << "grows as the main picture does";
                EXPECT_EQ(picture.render.height, after.height) << "grows as the main picture does";
                continue;
            }
            EXPECT_TRUE(std::any_of(images.begin(), images.end(),
                                    [&](const PlacedImage& image) {
                                        return image.page > 1 &&
                                               std::abs(image.height - printed(picture.render.height)) <=
                                                   1.5 &&
                                               std::abs(image.width - printed(picture.render.width)) <= 1.5;
                                    }))
                << "step " << i + 1;
        }
    }
    // Nothing overlaps; everything stays inside the page body: margins of
    // 12 mm, 16 mm at the foot, where the footer is.
    expectNoPictureCoversAnother(pdf);
    for (const PlacedImage& i : images) {
        EXPECT_GE(i.left, 12 * unitsPerMm - 1) << "page " << i.page;
        EXPECT_LE(i.left + i.width, (210 - 12) * unitsPerMm + 1) << "page " << i.page;
        EXPECT_GE(i.top, 12 * unitsPerMm - 1) << "page " << i.page;
        EXPECT_LE(i.top + i.height, (297 - 16) * unitsPerMm + 1) << "page " << i.page;
    }
}
