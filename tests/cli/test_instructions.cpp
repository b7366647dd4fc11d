// kolbrik instructions: booklets read back with poppler's tools (pdfinfo,
// pdftotext, pdftoppm), refusals and failed writes.
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

using namespace vxTest;

namespace {

CommandResult run(const std::string& args)
{
    return runCli("instructions " + args);
}

std::string pageText(const std::string& pdf, int page)
{
    const std::string p = std::to_string(page);
    return runCommand("pdftotext -layout -f " + p + " -l " + p + " '" + pdf + "' -").out;
}

int pages(const std::string& pdf)
{
    std::smatch m;
    const std::string info = runCommand("pdfinfo '" + pdf + "'").out;
    return std::regex_search(info, m, std::regex("Pages: +([0-9]+)")) ? std::stoi(m[1]) : -1;
}

class CliInstructions : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(res.file("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
        writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block 30", "ORGNUMBER=31005"}));
    }
    // A model of kinds part types, one part each, in phases 1 .. phases.
    std::string model(int kinds, int phases)
    {
        std::vector<KmfPart> parts;
        for (int i = 0; i < kinds; ++i) {
            const std::string name = std::to_string(40000 + i);
            writeFile(res.file(name + ".stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
            writeFile(res.file(name + ".def"),
                      crlf({"[COMMON]", "NAME=Kind " + std::to_string(i), "ORGNUMBER=" + name}));
            parts.push_back({"K" + name + "_x",
                             {static_cast<float>(i % 8), 0, static_cast<float>(i / 8)},
                             {0, 1, 0},
                             {0, 0, 1},
                             0x3050c0,
                             1 + i * phases / kinds});
        }
        writeFile(res.file("m.kmf"), kmfFile({-8, 8, -8}, {0, 0, 0}, parts));
        return res.file("m.kmf");
    }
    TempDir res;
    TempDir out;
};

} // namespace

TEST_F(CliInstructions, CoverStepsInOrderAndAPartsListWithPictures)
{
    writeFile(res.file("m.kmf"), kmfFile({0, 4, -12}, {0, 0, 0},
                                         {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 0},
                                          {"K31005_b", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                                          {"K31005_c", {0, 1.5f, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 2},
                                          {"K31005_d", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 3}}));
    const std::string pdf = out.file("b.pdf");
    const auto r = run(res.file("m.kmf") + " " + pdf + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        r.out, m, std::regex(R"((\d+) pages \(cover, 3 steps on (\d+) pages?, parts list on (\d+)\))")))
        << r.out;
    const int total = std::stoi(m[1]), steps = std::stoi(m[2]), list = std::stoi(m[3]);
    EXPECT_EQ(total, 1 + steps + list);
    ASSERT_EQ(pages(pdf), total);
    EXPECT_EQ(list, 1);

    EXPECT_NE(pageText(pdf, 1).find("4 parts of 3 kinds, 3 steps"), std::string::npos) << pageText(pdf, 1);
    // The steps in order, each with its parts: two red blocks (phases 0 and
    // 1), then one green, then one blue.
    std::string stepPages;
    for (int p = 2; p <= 1 + steps; ++p)
        stepPages += pageText(pdf, p);
    const std::regex step(R"((?:^|\n)\s*([123])\s+(\d)×)");
    std::string order;
    for (auto it = std::sregex_iterator(stepPages.begin(), stepPages.end(), step);
         it != std::sregex_iterator(); ++it)
        order += (*it)[1].str() + ":" + (*it)[2].str() + " ";
    EXPECT_EQ(order, "1:2 2:1 3:1 ") << stepPages;
    EXPECT_NE(stepPages.find("Block 30"), std::string::npos);
    const std::string last = pageText(pdf, total);
    EXPECT_NE(last.find("Parts list"), std::string::npos);
    EXPECT_NE(last.find("In total: 4 parts of 3 kinds"), std::string::npos) << last;
    EXPECT_NE(last.find("Page " + std::to_string(total) + " of " + std::to_string(total)), std::string::npos);

    // The last step's picture shows its new (blue) part in colour and the
    // earlier ones faded; it is no blank page.
    ASSERT_EQ(runCommand("pdftoppm -png -r 40 -f " + std::to_string(total - 1) + " -l " +
                         std::to_string(total - 1) + " -singlefile '" + pdf + "' '" + out.file("p") + "'")
                  .status,
              0);
    const vxImage page = vxReadPNG(out.file("p.png"));
    int blue = 0, pale = 0;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const auto c = page.pixel(x, y);
            blue += c[2] > 120 && c[0] < 60 && c[1] < 60;
            pale += c[0] > 150 && c[0] < 250 && c[1] > 150 && c[2] > 150 && c[0] > c[2] + 20; // faded red
        }
    EXPECT_GT(blue, 20);
    EXPECT_GT(pale, 20);
}

// A step with more parts than a page holds goes on over pages, and a long
// parts list too: no part is lost.
TEST_F(CliInstructions, LongPartsBoxesAndListsGoOnOverPagesAndFailuresAreSaid)
{
    const std::string pdf = out.file("long.pdf");
    auto r = run(model(90, 2) + " " + pdf + " --paper letter --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    const int total = pages(pdf);
    EXPECT_NE(r.out.find(std::to_string(total) + " pages"), std::string::npos);
    EXPECT_NE(r.out.find("parts list on 2"), std::string::npos) << r.out;
    EXPECT_NE(runCommand("pdfinfo '" + pdf + "'").out.find("612 x 792"), std::string::npos); // letter
    const std::string text = runCommand("pdftotext '" + pdf + "' -").out;
    for (int i = 0; i < 90; ++i) {
        const std::string number = std::to_string(40000 + i);
        std::size_t n = 0;
        for (auto at = text.find(number); at != std::string::npos; at = text.find(number, at + 1))
            ++n;
        EXPECT_EQ(n, 2u) << number << ": in its step and in the parts list";
    }

    // A model without parts is refused; a booklet that cannot be written
    // names the file (the writer's own cases are the atomic file's).
    writeFile(res.file("empty.kmf"), crlf({"[COMMON]", "COUNT=0"}));
    r = run(res.file("empty.kmf") + " " + out.file("e.pdf") + " --resources " + res.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("has no parts"), std::string::npos) << r.out;
    r = run(model(2, 2) + " " + out.file("no/such/folder.pdf") + " --resources " + res.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(out.file("no/such/folder.pdf") + ": No such file or directory"), std::string::npos)
        << r.out;
    EXPECT_EQ(entries(out.path()), std::set<std::string>{"long.pdf"});
}

// New parts that are small in the picture are framed there and shown again
// larger beside it.
TEST_F(CliInstructions, SmallNewPartsGetACloseUp)
{
    std::vector<KmfPart> parts;
    for (int i = 0; i < 49; ++i)
        parts.push_back({"K31005_floor",
                         {static_cast<float>(i % 7), 0, static_cast<float>(i / 7)},
                         {0, 1, 0},
                         {0, 0, 1},
                         0x808080,
                         1});
    parts.push_back({"K31005_top", {6, 1, 6}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 2});
    writeFile(res.file("row.kmf"), kmfFile({-6, 10, -8}, {3, 0, 3}, parts));
    const std::string pdf = out.file("row.pdf");
    const auto r = run(res.file("row.kmf") + " " + pdf + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    // Large pictures (not part pictures) per page: the cover's, then both
    // steps on one page, the second with its close-up.
    std::map<int, int> pictures;
    const std::string list = runCommand("pdfimages -list '" + pdf + "'").out;
    const std::regex row(R"(\n\s*(\d+)\s+\d+\s+image\s+(\d+)\s+(\d+))");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), row); it != std::sregex_iterator(); ++it)
        if (std::stoi((*it)[2]) > 300)
            ++pictures[std::stoi((*it)[1])];
    EXPECT_EQ(pictures, (std::map<int, int>{{1, 1}, {2, 3}})) << list;
}

// Steps are numbered 1, 2, 3 … in building order whatever the file's phase
// numbers, and the cover counts them so.
TEST_F(CliInstructions, StepsAreNumberedFromOneWhateverThePhases)
{
    writeFile(res.file("gaps.kmf"),
              kmfFile({0, 4, -12}, {0, 0, 0},
                      {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 10},
                       {"K31005_b", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 40},
                       {"K31005_c", {-1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 20}}));
    const std::string pdf = out.file("gaps.pdf");
    const auto r = run(res.file("gaps.kmf") + " " + pdf + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("(cover, 3 steps on"), std::string::npos) << r.out;
    EXPECT_NE(pageText(pdf, 1).find("3 parts of 3 kinds, 3 steps"), std::string::npos) << pageText(pdf, 1);
    const std::string text = runCommand("pdftotext -layout '" + pdf + "' -").out;
    const std::regex number(R"((?:^|\n)\s*(\d+)\s+1×)");
    std::string numbers;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        numbers += (*it)[1].str() + " ";
    EXPECT_EQ(numbers, "1 2 3 ") << text;
}

// The booklet follows the user's language as the window does: German under
// a German locale or a German first choice of language, English otherwise;
// part names stay as the catalogue has them.
TEST_F(CliInstructions, TheBookletSpeaksTheUsersLanguage)
{
    std::filesystem::create_directory_symlink(KOLBRIK_BUILD_DIR "/share/kolbrik-viewer/translations",
                                              res.file("translations"));
    writeFile(res.file("m.kmf"), kmfFile({0, 4, -12}, {0, 0, 0},
                                         {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                                          {"K31005_b", {1.5f, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 2}}));
    const std::string pdf = out.file("b.pdf");
    const struct {
        std::string environment;
        bool german;
    } cases[] = {
        {"LC_ALL= LC_MESSAGES= LANGUAGE= LANG=de_DE.UTF-8 ", true},
        {"LC_ALL= LC_MESSAGES= LANGUAGE=de LANG=C.UTF-8 ", true},
        {"LC_ALL= LC_MESSAGES= LANGUAGE= LANG=C.UTF-8 ", false},
    };
    for (const auto& c : cases) {
        const auto r = runCli("instructions " + res.file("m.kmf") + " " + pdf + " --resources " + res.path(),
                              c.environment);
        ASSERT_EQ(r.status, 0) << r.out;
        const std::string text = runCommand("pdftotext '" + pdf + "' -").out;
        EXPECT_EQ(text.find("Stückliste") != std::string::npos, c.german) << c.environment << text;
        EXPECT_EQ(text.find("2 Bauteile in 1 Sorte, 2 Schritte") != std::string::npos, c.german) << text;
        EXPECT_EQ(text.find("Parts list") != std::string::npos, !c.german) << c.environment << text;
        EXPECT_NE(text.find("Block 30"), std::string::npos);
    }
}
