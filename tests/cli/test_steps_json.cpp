// kolbrik instructions --steps-json and kolbrik render --booklet: the
// booklet's steps as JSON, and every picture of the PDF drawn again pixel
// for pixel from the options the JSON gives.
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace vxTest;

namespace {

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

QJsonObject readJson(const std::string& path)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(readFile(path))).object();
}

// The picture's red, green and blue, row after row.
std::string rgb(const vxImage& image)
{
    std::string out;
    out.reserve(image.rgba.size() / 4 * 3);
    for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4)
        out.append(reinterpret_cast<const char*>(&image.rgba[i]), 3);
    return out;
}

class StepsJson : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(res.file("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
        writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block 30", "ORGNUMBER=31005"}));
    }
    TempDir res;
    TempDir out;
};

} // namespace

// Steps numbered 1, 2, 3 whatever the file's phases (here 2, 5 and 9), their
// parts numbered as the file's part sections; every picture's options,
// given to kolbrik render, draw the very pixels the PDF holds: a row of
// blocks with a small addition far to one side (a close-up), and a model
// whose pictures are all alike.
TEST_F(StepsJson, DescribesTheStepsAndRedrawsEveryPictureOfThePdf)
{
    std::vector<KmfPart> parts;
    for (int i = 0; i < 12; ++i)
        parts.push_back({"K31005_r" + std::to_string(i),
                         {static_cast<float>(i) * 1.5f, 0, 0},
                         {0, 1, 0},
                         {0, 0, 1},
                         0xc0c0c0,
                         i < 6 ? 2 : 5});
    parts.push_back({"K31005_top", {0, 1.5f, 0}, {0, 1, 0}, {0, 0, 1}, 0xffffff, 9});
    writeFile(res.file("row.kmf"), kmfFile({-20, 15, -30}, {8, 0, 0}, parts));
    writeFile(res.file("pair.kmf"), kmfFile({0, 4, -12}, {0, 0, 0},
                                            {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                                             {"K31005_b", {0, 1.5f, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 2}}));

    for (const std::string name : {"row", "pair"}) {
        SCOPED_TRACE(name);
        const std::string model = res.file(name + ".kmf"), pdf = out.file(name + ".pdf"),
                          json = out.file(name + ".json");
        const auto r = runCli("instructions " + quoted(model) + " " + quoted(pdf) + " --steps-json " +
                              quoted(json) + " --resources " + quoted(res.path()));
        ASSERT_EQ(r.status, 0) << r.out;
        const QJsonObject doc = readJson(json);
        EXPECT_EQ(doc["model"].toString().toStdString(), model);
        const QJsonArray steps = doc["steps"].toArray();

        // The PDF's pictures, as poppler reads them out.
        const std::string images = out.file(name + "-images");
        std::filesystem::create_directory(images);
        ASSERT_EQ(runCommand("pdfimages -png " + quoted(pdf) + " " + quoted(images + "/i")).status, 0);
        std::set<std::string> stored;
        for (const auto& e : std::filesystem::directory_iterator(images)) {
            const vxImage i = vxReadPNG(e.path().string());
            stored.insert(std::to_string(i.width) + "x" + std::to_string(i.height) + ":" + rgb(i));
        }

        std::vector<int> partNumbers;
        int pictures = 0;
        for (int s = 0; s < steps.size(); ++s) {
            const QJsonObject step = steps[s].toObject();
            EXPECT_EQ(step["number"].toInt(), s + 1);
            for (const auto& p : step["parts"].toArray())
                partNumbers.push_back(p.toInt());
            const QJsonArray shown = step["pictures"].toArray();
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown[0].toObject()["role"].toString(), "main");
            for (const auto& p : shown) {
                const QJsonObject picture = p.toObject();
                std::string args;
                for (const auto& a : picture["render"].toArray())
                    args += " " + quoted(a.toString().toStdString());
                EXPECT_NE(args.find("--resources"), std::string::npos);
                const std::string png = out.file(name + std::to_string(pictures++) + ".png");
                const auto drawn = runCli("render " + quoted(model) + " " + quoted(png) + args);
                ASSERT_EQ(drawn.status, 0) << drawn.out;
                const vxImage i = vxReadPNG(png);
                EXPECT_TRUE(
                    stored.count(std::to_string(i.width) + "x" + std::to_string(i.height) + ":" + rgb(i)))
                    << "step " << s + 1 << " " << picture["role"].toString().toStdString() << ":" << args;
            }
        }
        if (name == "row") {
            ASSERT_EQ(steps.size(), 3);
            EXPECT_EQ(steps[0].toObject()["phase"].toInt(), 2);
            EXPECT_EQ(steps[1].toObject()["phase"].toInt(), 5);
            EXPECT_EQ(steps[2].toObject()["phase"].toInt(), 9);
            EXPECT_EQ(partNumbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
        } else {
            EXPECT_EQ(partNumbers, (std::vector<int>{1, 2}));
        }
    }
}

// How much of each part shows; options that need --booklet, or that it
// refuses, and a JSON file that would replace the booklet or go with a web
// page, are errors.
TEST_F(StepsJson, CountsPixelsOfPartsAndRefusesWhatDoesNotGo)
{
    // Seen from the front, the second block stands hidden behind the first.
    writeFile(res.file("m.kmf"), kmfFile({0, 0, -30}, {0, 0, 0},
                                         {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                                          {"K31005_b", {0, 0, 1.5f}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 1}}));
    const std::string model = quoted(res.file("m.kmf")), png = quoted(out.file("p.png")),
                      resources = " --resources " + quoted(res.path());
    auto r = runCli("render " + model + " " + png +
                    " --booklet --size 200x150 --camera 0,0,-8,0,0,0 --count-parts 1,2" + resources);
    ASSERT_EQ(r.status, 0) << r.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex(R"(part 1: (\d+) pixels\npart 2: (\d+) pixels)")))
        << r.out;
    EXPECT_GT(std::stoi(m[1]), 500);
    EXPECT_EQ(std::stoi(m[2]), 0);
    EXPECT_EQ(vxReadPNG(out.file("p.png")).width, 200);

    // Options of the booklet's pictures without --booklet, and values it refuses.
    for (const std::string bad : {" --drawn 10x10", " --booklet --style classic",
                                  " --booklet --count-parts 3", " --booklet --up 0,0,0"}) {
        r = runCli("render " + model + " " + png + bad + resources);
        EXPECT_EQ(r.status, 2) << bad << "\n" << r.out;
    }
    r = runCli("instructions " + model + " " + quoted(out.file("b.html")) + " --steps-json " +
               quoted(out.file("s.json")) + resources);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("goes with a PDF"), std::string::npos) << r.out;
    r = runCli("instructions " + model + " " + quoted(out.file("b.pdf")) + " --steps-json " +
               quoted(out.file("b.pdf")) + resources);
    EXPECT_EQ(r.status, 2);
    r = runCli("instructions " + model + " " + quoted(out.file("b.pdf")) + " --steps-json " + model +
               resources);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(entries(out.path()), std::set<std::string>{"p.png"});
}
