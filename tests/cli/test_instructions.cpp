// kolbrik instructions: booklets read back with poppler's tools (pdfinfo,
// pdftotext, pdftoppm), refusals and failed writes.
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

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

// Where every picture of every page stands, as pdftohtml finds them.
struct PlacedImage {
    int page = 0;
    double left = 0, top = 0, width = 0, height = 0;
};

std::vector<PlacedImage> placedImages(const std::string& pdf)
{
    TempDir dir;
    const std::string xml =
        runCommand("cd '" + dir.path() + "' && pdftohtml -xml -stdout '" + pdf + "' x").out;
    std::vector<PlacedImage> out;
    int page = 0;
    const std::regex item(
        R"re(<page number="(\d+)"|<image top="(-?[\d.]+)" left="(-?[\d.]+)" width="([\d.]+)" height="([\d.]+)")re");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), item); it != std::sregex_iterator(); ++it) {
        if ((*it)[1].matched)
            page = std::stoi((*it)[1]);
        else
            out.push_back(
                {page, std::stod((*it)[3]), std::stod((*it)[2]), std::stod((*it)[4]), std::stod((*it)[5])});
    }
    return out;
}

// No picture on a page covers part of another (a close-up beside or below
// its step's picture, never on it).
void expectNoPictureCoversAnother(const std::string& pdf)
{
    const auto images = placedImages(pdf);
    EXPECT_FALSE(images.empty());
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j) {
            const PlacedImage &a = images[i], &b = images[j];
            if (a.page != b.page)
                continue;
            const bool apart = a.left + a.width <= b.left + 0.5 || b.left + b.width <= a.left + 0.5 ||
                               a.top + a.height <= b.top + 0.5 || b.top + b.height <= a.top + 0.5;
            EXPECT_TRUE(apart) << "page " << a.page << ": " << a.left << "," << a.top << " " << a.width << "x"
                               << a.height << " and " << b.left << "," << b.top << " " << b.width << "x"
                               << b.height;
        }
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
    // earlier (red) ones greyed; it is no blank page.
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
            pale += c[0] > 90 && c[0] < 200 && c[1] > 50 && c[2] > 50 && c[0] > c[2] + 20; // greyed red
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

// New parts that are small in the whole model are framed on in their
// step's own picture: no close-up is needed beside it.
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
    // steps on one page.
    std::map<int, int> pictures;
    const std::string list = runCommand("pdfimages -list '" + pdf + "'").out;
    const std::regex row(R"(\n\s*(\d+)\s+\d+\s+image\s+(\d+)\s+(\d+))");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), row); it != std::sregex_iterator(); ++it)
        if (std::stoi((*it)[2]) > 200)
            ++pictures[std::stoi((*it)[1])];
    EXPECT_EQ(pictures, (std::map<int, int>{{1, 1}, {2, 2}})) << list;
    expectNoPictureCoversAnother(pdf);
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

// Every callout and parts-list row names its part in full, however long
// (the text wraps and the row grows), and names its colour, in the
// booklet's language; two rows of one type are told apart by that name.
TEST_F(CliInstructions, NamesAndColoursArePrintedInFull)
{
    const std::string longName = "Building plate 30 x 90 with four studs and a hinge at either end";
    writeFile(res.file("32009.stl"), stlFile(box(-15, -2, -45, 15, 2, 45)));
    writeFile(res.file("32009.def"), crlf({"[COMMON]", "NAME=" + longName, "ORGNUMBER=32009"}));
    std::filesystem::create_directory_symlink(KOLBRIK_BUILD_DIR "/share/kolbrik-viewer/translations",
                                              res.file("translations"));
    writeFile(res.file("m.kmf"), kmfFile({0, 8, -16}, {0, 0, 0},
                                         {{"K32009_p", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xc4c6c8, 1},
                                          {"K31005_a", {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c4, 2},
                                          {"K31005_b", {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, 0x18b8f0, 2}}));
    const std::string pdf = out.file("names.pdf");
    for (const bool german : {false, true}) {
        const auto r =
            runCli("instructions " + res.file("m.kmf") + " " + pdf + " --resources " + res.path(),
                   german ? "LC_ALL= LANGUAGE=de LANG=C.UTF-8 " : "LC_ALL= LANGUAGE= LANG=C.UTF-8 ");
        ASSERT_EQ(r.status, 0) << r.out;
        // Lines joined: a wrapped name reads in full.
        std::string text = runCommand("pdftotext '" + pdf + "' -").out;
        std::replace(text.begin(), text.end(), '\n', ' ');
        text = std::regex_replace(text, std::regex(" +"), " ");
        std::size_t n = 0;
        for (auto at = text.find(longName); at != std::string::npos; at = text.find(longName, at + 1))
            ++n;
        EXPECT_EQ(n, 2u) << "in its step and in the parts list: " << text;
        for (const char* name : german ? std::vector<const char*>{"hellgrau", "rot", "gelb"}
                                       : std::vector<const char*>{"light grey", "red", "yellow"})
            EXPECT_NE(text.find(name), std::string::npos) << name << ": " << text;
        EXPECT_EQ(text.find("\u2026"), std::string::npos) << "nothing cut: " << text;
    }
}

// Steps share a page when they fit: a model of eight small steps takes
// fewer pages than steps, every step number shows once in order, and the
// cover counts them all.
TEST_F(CliInstructions, SeveralStepsShareAPage)
{
    std::vector<KmfPart> parts;
    for (int i = 0; i < 8; ++i)
        parts.push_back(
            {"K31005_s", {0, static_cast<float>(i), 0}, {0, 1, 0}, {0, 0, 1}, 0x2020c4, 10 * (i + 1)});
    writeFile(res.file("stack.kmf"), kmfFile({-10, 8, -12}, {0, 3, 0}, parts));
    const std::string pdf = out.file("stack.pdf");
    const auto r = run(res.file("stack.kmf") + " " + pdf + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex(R"(8 steps on (\d+) pages?)"))) << r.out;
    EXPECT_LE(std::stoi(m[1]), 4) << r.out;
    EXPECT_NE(pageText(pdf, 1).find("8 parts of 1 kind, 8 steps"), std::string::npos) << pageText(pdf, 1);
    std::string text;
    for (int p = 2; p <= 1 + std::stoi(m[1]); ++p)
        text +=
            runCommand("pdftotext -f " + std::to_string(p) + " -l " + std::to_string(p) + " '" + pdf + "' -")
                .out;
    std::set<int> numbers;
    const std::regex number(R"((?:^|[\n\f])([1-8])(?=\n))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        numbers.insert(std::stoi((*it)[1]));
    EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8})) << text;
    expectNoPictureCoversAnother(pdf);
}

// Cables and ropes are listed with their length and thickness: in the
// parts list and in the box of the step that fits them.
TEST_F(CliInstructions, TubesAreListedWithTheirLengths)
{
    std::string text = kmfFile({0, 6, -14}, {2, 0, 0},
                               {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 1},
                                {"K31005_b", {4, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x808080, 2}},
                               {0, 0});
    text += "[TUBE1]\r\nRADIUS=0,15\r\nCOLOR=2105540\r\nCOUNT=3\r\nX0=0,5\r\nX1=2\r\nY1=2\r\nX2=3,5\r\n";
    text += "[TUBE2]\r\nRADIUS=0,3\r\nCOLOR=0\r\nCOUNT=2\r\nX0=0\r\nY0=0,6\r\nX1=0\r\nY1=5,6\r\n";
    writeFile(res.file("t.kmf"), text);
    const std::string pdf = out.file("t.pdf");
    const auto r = run(res.file("t.kmf") + " " + pdf + " --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    std::string all = runCommand("pdftotext '" + pdf + "' -").out;
    std::replace(all.begin(), all.end(), '\n', ' ');
    all = std::regex_replace(all, std::regex(" +"), " ");
    // 2 * sqrt(1.5^2 + 2^2) = 5 cm; 5 cm.
    auto count = [&](const std::string& s) {
        std::size_t n = 0;
        for (auto at = all.find(s); at != std::string::npos; at = all.find(s, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("Cable or rope, 50 mm"), 4u) << "in their steps and in the list: " << all;
    EXPECT_EQ(count("1.5 mm thick"), 2u) << all;
    EXPECT_EQ(count("3 mm thick"), 2u) << all;
    EXPECT_EQ(count("1× red"), 2u) << all;
    EXPECT_EQ(count("1× black"), 2u) << all;
    const std::string list = pageText(pdf, pages(pdf));
    EXPECT_NE(list.find("Cable or rope"), std::string::npos) << list;
    EXPECT_NE(list.find("In total: 2 parts of 1 kind"), std::string::npos) << list;
}
