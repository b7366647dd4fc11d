// What a load tells about a file's content: each kind of bad file, parts
// without a definition or mesh, and values that are not numbers.
#include "vxModel.h"
#include "vxSectionText.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using Kind = vxLoadFinding::Kind;
using vxTest::crlf;
using vxTest::writeFile;

namespace {

std::vector<Kind> kinds(const std::vector<vxLoadFinding>& findings)
{
    std::vector<Kind> out;
    for (const auto& f : findings)
        out.push_back(f.kind);
    return out;
}

} // namespace

TEST(LoadFindings, WhatALoadLeftOutIsNamed)
{
    vxTest::TempDir res;
    vxTest::ResourceFolder folder(res.path());
    writeFile(res.file("random.kmf"), std::string("\x01\x02\x00\x7f\x80", 5) + "abc");
    writeFile(res.file("text.kmf"), "Dear reader,\r\nthis is a letter.\r\n");
    const std::string line(1 << 20, 'x'); // a megabyte line is just a line
    writeFile(res.file("long.kmf"), "[COMMON]\r\nINFMODELL=" + line + "\r\nCOUNT=1\r\n");
    const struct {
        std::string file;
        std::vector<Kind> expected;
        std::int32_t parts;
    } cases[] = {
        {KOLBRIK_TEST_DATA "/empty.kmf", {Kind::kEmptyFile}, 0},
        {KOLBRIK_TEST_DATA "/garbage.kmf", {Kind::kNotText}, 0},
        {KOLBRIK_TEST_DATA "/lf_only.kmf", {Kind::kLineEnds}, 0},
        {KOLBRIK_TEST_DATA "/cr_only.kmf", {Kind::kLineEnds}, 0},
        {KOLBRIK_TEST_DATA "/windows1252.kmf", {}, 0},
        {KOLBRIK_TEST_DATA "/truncated.kmf", {Kind::kUnknownPart, Kind::kUnknownPart}, 2},
        {res.file("random.kmf"), {Kind::kNotText}, 0},
        {res.file("text.kmf"), {Kind::kNoSections}, 0},
        {res.file("long.kmf"), {Kind::kMissingParts}, 1},
    };
    for (const auto& c : cases) {
        vxModel m;
        const vxLoadResult r = m.loadModelFromFile(c.file);
        ASSERT_TRUE(r.ok) << c.file;
        EXPECT_EQ(kinds(r.findings), c.expected) << c.file;
        for (const auto& f : r.findings)
            EXPECT_FALSE(f.message.empty());
        EXPECT_EQ(m.count(), c.parts) << c.file;
        EXPECT_EQ(m.partList().size(), std::size_t(c.parts)) << c.file;
        EXPECT_EQ(m.maximumBauphase(), 1) << c.file;
        if (c.file.ends_with("lf_only.kmf")) {
            EXPECT_EQ(r.findings[0].name, "LF");
        }
        if (c.file.ends_with("windows1252.kmf")) {
            EXPECT_EQ(m.infModell(), "Kr\xc3\xa4n mit F\xc3\xbchrerhaus \xe2\x82\xac 5");
        }
        if (c.file.ends_with("long.kmf")) {
            EXPECT_EQ(m.infModell(), line);
        }
        if (c.file.ends_with("truncated.kmf")) {
            EXPECT_EQ(m.partList()[0]->position().x(), 1.5f);
            EXPECT_EQ(m.partList()[1]->partName(), "K"); // cut off mid-name
            EXPECT_EQ(m.partList()[1]->shortName(), "");
        }
    }

    // Unknown parts, missing sections and meshes are counted once per name.
    writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block 30"}));
    writeFile(res.file("31005.stl"), std::string(84 + 50, '\0').replace(80, 1, "\x01"));
    writeFile(res.file("31006.def"), crlf({"[COMMON]", "NAME=Block 45"}));
    writeFile(res.file("31006.stl"), std::string(84 + 49, '\0').replace(80, 1, "\x01")); // cut short
    writeFile(res.file("31007.def"), crlf({"[COMMON]", "NAME=Plate"}));
    writeFile(res.file("m.kmf"),
              crlf({"[COMMON]", "COUNT=8", "[PART1]", "NAME=K99999", "[PART2]", "NAME=K31005_a", "[PART3]",
                    "NAME=K99999", "[PART4]", "NAME=K88888", "[PART5]", "NAME=K31006_a", "[PART6]",
                    "NAME=K31007_x", "[PART7]", "NAME=K31006_b", "[PART8]", "XPOS=1"}));
    vxModel m;
    vxLoadResult r = m.loadModelFromFile(res.file("m.kmf"));
    vxLoadFindings::addMeshFindings(m, r.findings);
    ASSERT_EQ(kinds(r.findings),
              (std::vector<Kind>{Kind::kMissingParts, Kind::kUnknownPart, Kind::kUnknownPart,
                                 Kind::kEmptyMesh, Kind::kMissingMesh}));
    EXPECT_EQ(r.findings[0].count, 1); // part 8 has no NAME
    EXPECT_EQ(r.findings[1].name, "K99999");
    EXPECT_EQ(r.findings[1].count, 2);
    EXPECT_EQ(r.findings[1].message, "K99999 is not in the part catalogue (2\u00d7).");
    EXPECT_EQ(r.findings[2].name, "K88888");
    EXPECT_EQ(r.findings[3].name, "31006");
    EXPECT_EQ(r.findings[3].title, "Block 45");
    EXPECT_EQ(r.findings[3].count, 2);
    EXPECT_EQ(r.findings[4].name, "31007");
    EXPECT_EQ(vxLoadFindings::partsNotShown(r.findings), 1 + 3 + 2 + 1);

    // Values that are not numbers are named with key, section and line; a
    // definition's own bad numbers are not the model's.
    writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block", "GROUP=x", "[OFFSET]", "X=abc"}));
    r = m.loadModelFromFile(KOLBRIK_TEST_DATA "/numbers.kmf");
    std::vector<std::string> seen;
    for (const auto& f : r.findings) {
        ASSERT_EQ(f.kind, Kind::kBadNumber);
        seen.push_back(std::to_string(f.line) + " " + f.section + " " + f.key + "=" + f.value + " -> " +
                       f.readAs);
    }
    // 1,25 and -0,5 are numbers; 12abc, 1e40 (beyond the float range) and
    // 2,7 (for an integer) are not.
    EXPECT_EQ(seen, (std::vector<std::string>{"3 [CAMERA] POSITIONY=12abc -> 12",
                                              "4 [CAMERA] POSITIONZ=1e40 -> inf",
                                              "11 [PART1] YPOS=12abc -> 12", "12 [PART1] ZPOS=1e40 -> inf",
                                              "13 [PART1] PHASE=2,7 -> 2", "14 [PART1] COLOR=12abc -> 12"}));
    // The values are read as far as they go.
    EXPECT_EQ(m.cameraPosition(), vxVector(1.25f, 12, INFINITY, 0));
    EXPECT_EQ(m.cameraTarget().x(), -0.5f);
    EXPECT_EQ(m.partList()[0]->position(), vxVector(1.25f, 12, INFINITY, 0));
    EXPECT_EQ(m.partList()[0]->phase(), 2);
    EXPECT_EQ(m.partList()[0]->color(), vxVector(12.0f / 255.0f, 0, 0, 0));

    // Lines are counted at CR LF only, also after skipped sections and
    // from a text that starts with a lone LF; keys are named in capitals.
    r = m.loadModelFromText(
        std::string("\n\r\n[CAMERA]\r\npositionX=abc\r\n[PART1]\nX\r\n[CAMERA]\r\nUPX=?"));
    ASSERT_EQ(r.findings.size(), 2u);
    EXPECT_EQ(r.findings[0].line, 3);
    EXPECT_EQ(r.findings[0].key, "POSITIONX");
    EXPECT_EQ(r.findings[1].line, 6);

    // Node numbers taken from keys are no values; an empty value is not a
    // number, a trailing blank is fine. (The tube, without a COUNT, is
    // named as well.)
    r = m.loadModelFromText(crlf({"[COMMON]", "TUBECOUNT=1", "[TUBE1]", "XPOS=1", "X1=2 ", "RADIUS="}));
    ASSERT_EQ(r.findings.size(), 2u);
    EXPECT_EQ(r.findings[0].key, "RADIUS");
    EXPECT_EQ(r.findings[0].readAs, "0");
    EXPECT_EQ(r.findings[1].kind, Kind::kTubeFewNodes);
    // A long value is quoted by its first 40 characters, with its length;
    // one of 40 stays whole.
    r = m.loadModelFromText(crlf(
        {"[CAMERA]", "POSITIONX=" + std::string(10 << 20, '9') + "x", "POSITIONY=" + std::string(40, 'x')}));
    ASSERT_EQ(r.findings.size(), 2u);
    EXPECT_EQ(r.findings[0].message,
              "Line 2: POSITIONX=" + std::string(40, '9') +
                  "\u2026 (10485761 characters) in [CAMERA] is not a number; read as inf.");
    EXPECT_TRUE(r.findings[0].valueIsCut());
    EXPECT_EQ(r.findings[0].value.size(), 40u);
    EXPECT_EQ(r.findings[1].message,
              "Line 3: POSITIONY=" + std::string(40, 'x') + " in [CAMERA] is not a number; read as 0.");
    EXPECT_FALSE(r.findings[1].valueIsCut() || r.findings[1].sectionIsCut());
    // Beyond the kept ones only a count.
    std::string text = crlf({"[COMMON]", "COUNT=1", "[PART1]"});
    for (int i = 0; i < 30; ++i)
        text += "XPOS=?\r\n";
    r = m.loadModelFromText(text);
    ASSERT_EQ(r.findings.size(), vxSectionText::NumberWatch::kKept + 2); // + the part without a NAME
    EXPECT_EQ(r.findings.back().kind, Kind::kMoreBadNumbers);
    EXPECT_EQ(r.findings.back().count, 30 - static_cast<std::int64_t>(vxSectionText::NumberWatch::kKept));
}

// Tubes that draw nothing are named, one finding per fault with the first
// such tube and their number; tubes that draw are not.
TEST(LoadFindings, TubesThatCannotBeDrawnAreNamed)
{
    std::string text = crlf({"[COMMON]", "TUBECOUNT=7"});
    auto tube = [&](int n, const std::string& count, const std::string& radius,
                    const std::vector<std::string>& nodes) {
        text += crlf({"[TUBE" + std::to_string(n) + "]", "RADIUS=" + radius});
        if (!count.empty())
            text += crlf({"COUNT=" + count});
        for (const std::string& node : nodes)
            text += node + "\r\n";
    };
    tube(1, "2", "1", {"X0=0", "X1=5"});             // fine
    tube(2, "1", "1", {"X0=0"});                     // one node
    tube(3, "3", "1", {"X0=0", "X1=1", "Y2=nan"});   // not a number: read as 0, so fine
    tube(4, "2", "1", {"X0=0", "X1=1e39"});          // beyond the float range: infinite
    tube(5, "2", "0", {"X0=0", "X1=1"});             // no radius
    tube(6, "", "1", {"X0=0", "X1=1"});              // no COUNT
    tube(7, "250", "1", {"X0=0", "X1=1", "X199=2"}); // more than a tube holds: its 200 nodes
    vxModel m;
    const vxLoadResult r = m.loadModelFromText(text);
    std::vector<std::string> tubes;
    for (const vxLoadFinding& f : r.findings)
        if (f.kind != Kind::kBadNumber)
            tubes.push_back(std::to_string(static_cast<int>(f.kind)) + " " + f.section + " " +
                            std::to_string(f.count) + ": " + f.message);
    auto k = [](Kind kind) { return std::to_string(static_cast<int>(kind)); };
    EXPECT_EQ(tubes,
              (std::vector<std::string>{
                  k(Kind::kTubeFewNodes) + " [TUBE2] 2: [TUBE2] and 1 more tubes have fewer than two "
                                           "nodes; they are not drawn.",
                  k(Kind::kTubeBadNode) + " [TUBE4] 1: [TUBE4] has a node that is not a finite number; "
                                          "it is not drawn.",
                  k(Kind::kTubeBadRadius) + " [TUBE5] 1: [TUBE5] has no radius above 0; it is not drawn."}));
    EXPECT_EQ(vxLoadFindings::partsNotShown(r.findings), 0);
}
