#include "vxModel.h"
#include "vxSectionText.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"
#include "vxTextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

using vxTest::crlf;

namespace {

class Model : public ::testing::Test {
  protected:
    void SetUp() override
    {
        vxTest::writeFile(res.file("31005.def"), vxTest::crlf({"[COMMON]", "NAME=Block 30", "ORGNUMBER=31005",
                                                               "[OFFSET]", "X=1,5"}));
        vxTest::writeFile(res.file("32000.def"), vxTest::crlf({"[COMMON]", "NAME=Plate"}));
    }
    std::string kmf(const std::string& name, std::initializer_list<std::string> lines)
    {
        vxTest::writeFile(dir.file(name), vxTest::crlf(lines));
        return dir.file(name);
    }
    vxTest::TempDir res;
    vxTest::TempDir dir;
    vxTest::ResourceFolder folder{res.path()};
};

} // namespace

TEST_F(Model, ReadsCameraCommonPartsAndTubesInAnyOrder)
{
    // Sections in any order, keys outside a section, repeated and odd keys.
    const std::string text =
        crlf({"NAME=K32000_before", "[TUBE1]", "RADIUS=0,5", "COUNT=3", "COLOR=65280", "X0=1", "Y1=2",
              "Z199=3", "X200=9", "X-1=9", "X=5", "XPOS=4"}) +
        crlf({"[PART2]", "NAME=K32000_x", "NAME=K32000_plate", "COLOR=16711680", "PHASE=2", "[PART7]",
              "NAME=K31005_z", "[PART3]", "COLOR=4294967295", "[PART0]", "PHASE=5"}) +
        crlf({"[CAMERA]", "POSITIONX=1", "POSITIONY=2,5", "POSITIONZ=-3", "DIRECTIONX=4", "UPY=1",
              "TARGETZ=7", "[COMMON]", "COUNT=3", "TUBECOUNT=1", "INFMODELL=Crane", "INFORIGINAL=Kit 1",
              "INFGEBAUT=Anna"}) +
        crlf({"[PART1]", "NAME=K31005_block30", "XPOS=1", "YPOS=2", "ZPOS=3", "XDIR=1", "YDIR=0", "ZDIR=0",
              "PHASE=3", "COLOR=255"});
    vxModel m;
    ASSERT_TRUE(m.loadModelFromText(text));
    EXPECT_EQ(m.cameraPosition(), vxVector(1, 2.5f, -3, 0));
    EXPECT_EQ(m.cameraDirection().x(), 4.0f);
    EXPECT_EQ(m.cameraUp().y(), 1.0f);
    EXPECT_EQ(m.cameraTarget().z(), 7.0f);
    EXPECT_EQ(m.infModell() + "|" + m.infOriginal() + "|" + m.infGebaut(), "Crane|Kit 1|Anna");
    ASSERT_EQ(m.count(), 3);
    ASSERT_EQ(m.partList().size(), 3u);
    const vxPart& p = *m.partList()[0];
    EXPECT_EQ(p.partName(), "K31005_block30");
    EXPECT_EQ(p.shortName(), "31005");
    EXPECT_EQ(p.position(), vxVector(1, 2, 3, 0));
    EXPECT_EQ(p.direction(), vxVector(1, 0, 0, 0));
    EXPECT_EQ(p.color(), vxVector(1, 0, 0, 0));
    EXPECT_EQ(p.phase(), 3);
    EXPECT_EQ(p.definition().m_Name, "Block 30");
    EXPECT_EQ(p.definition().m_OffsetX, 1.5f);
    // The last NAME of a section wins; keys outside one and sections past
    // COUNT are ignored; a part without a section is empty.
    EXPECT_EQ(m.partList()[1]->partName(), "K32000_plate");
    EXPECT_EQ(m.partList()[1]->definition().m_Name, "Plate");
    EXPECT_EQ(m.partList()[1]->color(), vxVector(0, 0, 1, 0));
    EXPECT_EQ(m.partList()[2]->partName(), "<empty>");
    EXPECT_EQ(m.partList()[2]->shortName(), "");
    EXPECT_EQ(m.partList()[2]->color(), vxVector(1, 1, 1, 0)); // 4294967295 reads as 2147483647
    EXPECT_EQ(vxDecodeColor(-1), vxVector(1, 1, 1, 0));
    EXPECT_EQ(vxDecodeColor(0x01000080).x(), 128.0f / 255.0f); // the highest byte is no colour
    EXPECT_EQ(m.maximumBauphase(), 3);
    EXPECT_EQ(m.actualBauphase(), 3);

    ASSERT_EQ(m.tubeList().size(), 1u);
    const vxTube& t = *m.tubeList()[0];
    EXPECT_EQ(t.radius(), 0.5f);
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.color(), vxVector(0, 1, 0, 0));
    vxVector n;
    t.getTubeNode(0, n);
    EXPECT_EQ(n, vxVector(4, 0, 0, 0)); // X0=1, then X=5 is no node key, XPOS is node 0
    t.getTubeNode(1, n);
    EXPECT_EQ(n.y(), 2.0f);
    t.getTubeNode(199, n);
    EXPECT_EQ(n.z(), 3.0f);
}

// A load starts afresh. One that fails says why and changes nothing: no
// file, a folder, a device, or counts past their limits (a million parts
// and a hundred thousand tubes open, one more does not).
TEST_F(Model, EveryLoadStartsFreshAndAFailedOneChangesNothing)
{
    const std::string kept = kmf("kept.kmf", {"[CAMERA]", "POSITIONX=5", "[COMMON]", "COUNT=2", "TUBECOUNT=1",
                                              "INFMODELL=Kept", "[PART1]", "NAME=K31005_b", "PHASE=4"});
    auto counts = [&](const std::string& line) {
        return kmf(line + ".kmf", {"[COMMON]", line, "INFMODELL=New", "[PART1]", "NAME=K32000_p"});
    };
    const struct {
        std::string path, what;   // what the error names
        std::size_t elements = 0; // parts and tubes of a model that opens
    } cases[] = {
        {dir.file("missing.kmf"), dir.file("missing.kmf")},
        {dir.path(), dir.path()},
        {"/dev/zero", "/dev/zero"},
        {KOLBRIK_TEST_DATA "/count_max.kmf", "parts"}, // COUNT=2147483647
        {counts("TUBECOUNT=2147483647"), "tubes"},
        {counts("COUNT=1000001"), "1000001 parts"},
        {counts("TUBECOUNT=100001"), "100001 tubes"},
        {counts("COUNT=1000000"), "", 1000000},
        {counts("TUBECOUNT=100000"), "", 100000},
        {counts("TUBECOUNT=0"), "", 0}, // no COUNT: no parts, though a PART section
        // The last COUNT counts, also after the parts.
        {kmf("later.kmf", {"[COMMON]", "COUNT=1000001", "INFMODELL=New", "[PART1]", "NAME=K32000_p",
                           "[COMMON]", "COUNT=1"}),
         "", 1},
    };
    for (const auto& c : cases) {
        vxModel m;
        ASSERT_TRUE(m.loadModelFromFile(kept));
        const vxLoadResult r = m.loadModelFromFile(c.path);
        EXPECT_EQ(r.ok, c.what.empty()) << c.path;
        EXPECT_NE(r.error.find(c.what), std::string::npos) << c.path << ": " << r.error;
        EXPECT_EQ(m.infModell(), r.ok ? "New" : "Kept") << c.path;
        EXPECT_EQ(m.partList().size() + m.tubeList().size(), r.ok ? c.elements : 3u) << c.path;
        EXPECT_EQ(m.count(), r.ok ? std::int32_t(m.partList().size()) : 2) << c.path;
        EXPECT_EQ(m.cameraPosition().x(), r.ok ? 0.0f : 5.0f) << c.path;
        EXPECT_EQ(m.actualBauphase(), r.ok ? 1 : 4) << c.path;
    }
}

// Short names are characters 2 to 6 of the decoded text, so the definition
// of a UTF-8 or Windows-1252 name is found either way.
TEST_F(Model, TextsReadAsUtf8OrWindows1252AndEveryPartHasADefinitionOfItsOwn)
{
    const std::pair<std::string, std::string> names[] = {{"K1234\xc3\xa4_x", "1234\xc3\xa4"},
                                                         {"K\xc3\xa4", "\xc3\xa4"},
                                                         {"K", ""},
                                                         {"", ""},
                                                         {"\xe2\x82\xac"
                                                          "12345x",
                                                          "12345"},
                                                         {"Kabcdefg", "abcde"},
                                                         {"K\xf0\x9f\x99\x82", "\xf0\x9f\x99\x82"}};
    for (const auto& [name, shortName] : names)
        EXPECT_EQ(vxShortNameOf(name), shortName) << name;

    vxTest::writeFile(res.file("1234\xc3\xa4.def"), vxTest::crlf({"[COMMON]", "NAME=Umlaut"}));
    const std::string utf8 =
        "[COMMON]\r\nCOUNT=1\r\nINFMODELL=Kr\xc3\xa4ne\r\n[PART1]\r\nNAME=K1234\xc3\xa4_x\r\n";
    const std::string cp1252 = "[COMMON]\r\nCOUNT=1\r\nINFMODELL=Kr\xe4ne\r\n[PART1]\r\nNAME=K1234\xe4_x\r\n";
    for (const std::string& text : {utf8, "\xef\xbb\xbf" + utf8, cp1252}) {
        vxTest::writeFile(dir.file("u.kmf"), text);
        vxModel m;
        ASSERT_TRUE(m.loadModelFromFile(dir.file("u.kmf")));
        ASSERT_EQ(m.count(), 1) << text;
        EXPECT_EQ(m.infModell(), "Kr\xc3\xa4ne") << text;
        EXPECT_EQ(m.partList()[0]->shortName(), "1234\xc3\xa4") << text;
        EXPECT_EQ(m.partList()[0]->definition().m_Name, "Umlaut") << text;
    }

    // Parts of one type share the parsed definition, yet each has its own: a
    // change to one (its values, its lists, its kept text) never shows in
    // another, nor in a copy.
    vxTest::writeFile(res.file("31005.def"),
                      vxTest::crlf({"[COMMON]", "NAME=Block 30", "[OFFSET]", "X=1,5", "[CONNECTIONS]",
                                    "COUNT=1", "[CONN1]", "NAME=pin"}));
    vxModel m;
    ASSERT_TRUE(
        m.loadModelFromFile(kmf("a.kmf", {"[COMMON]", "COUNT=3", "[PART1]", "NAME=K31005_a", "[PART2]",
                                          "NAME=K31005_b", "[PART3]", "NAME=K31005_c", "NAME=K32000_d"})));
    vxPart& a = *m.partList()[0];
    const vxPart& b = *m.partList()[1];
    a.changeDefinition().m_Name = "Changed";
    ASSERT_TRUE(a.changeDefinition().ReadConnections());
    a.changeDefinition().m_FileContent->append("NAME=x");
    EXPECT_EQ(a.definition().m_Name, "Changed");
    EXPECT_EQ(a.definition().m_ConnectionList.size(), 1u);
    EXPECT_EQ(b.definition().m_Name, "Block 30");
    EXPECT_TRUE(b.definition().m_ConnectionList.empty());
    EXPECT_EQ(b.definition().m_FileContent->find("NAME=x"), std::string::npos);

    vxDefinition& held = a.changeDefinition();
    vxPart copy = a;
    held.m_Name = "After the copy";
    EXPECT_EQ(copy.definition().m_Name, "Changed");

    // A second NAME loads its definition over the values of the first.
    const vxPart& c = *m.partList()[2];
    EXPECT_EQ(c.partName(), "K32000_d");
    EXPECT_EQ(c.definition().m_ShortName, "32000");
    EXPECT_EQ(c.definition().m_Name, "Plate");
    EXPECT_EQ(c.definition().m_OffsetX, 1.5f); // 32000.def has no offset
    EXPECT_EQ(c.definition().m_ConnectionCount, 1);
    EXPECT_EQ(b.definition().m_Name, "Block 30");
    EXPECT_EQ(b.definition().m_ShortName, "31005");
}

// A model's sections in three orders: in turn, the second half first, or
// one part's section repeated out of order (a section for part 1510 at the
// end of the first half, which the later one overrules); and with a camera
// section after the parts, which has the text read a second time. Either way
// every part holds what its lines say, the camera is read, the bad numbers
// kept are the first in the file, with their lines, and the share of the
// parts told as read never goes back.
TEST_F(Model, AModelReadsAsOnePassWhateverTheOrderOfItsSections)
{
    constexpr int kParts = 3000;
    const auto bad = [](int i) { return i <= 15 || i > kParts - 10; }; // 25 bad numbers
    const struct {
        int runs[3][2];   // [first, last) part numbers
        std::string tail; // after the parts
    } layouts[] = {{{{1, 1501}, {1501, 3001}, {0, 0}}, ""},
                   {{{1501, 3001}, {1, 1501}, {0, 0}}, ""},
                   {{{1, 1491}, {-1510, -1509}, {1491, 3001}}, ""}, // negative: XPOS=-1
                   {{{1, 1501}, {1501, 3001}, {0, 0}}, "[camera]\r\nPOSITIONX=5\r\n"}};
    for (const auto& layout : layouts) {
        std::string text = "[COMMON]\r\nCOUNT=" + std::to_string(kParts) + "\r\n";
        std::int64_t line = 3;
        std::vector<std::int64_t> badLines;
        for (const auto& run : layout.runs)
            for (int i = run[0]; i < run[1]; ++i, line += 3) {
                const int part = std::abs(i);
                const bool isBad = i > 0 && bad(i);
                text += "[PART" + std::to_string(part) +
                        "]\r\nNAME=K31005_a\r\nXPOS=" + std::to_string(i < 0 ? -1 : part) +
                        (isBad ? "q" : "") + "\r\n";
                if (isBad)
                    badLines.push_back(line + 2);
            }
        text += layout.tail;
        badLines.resize(vxSectionText::NumberWatch::kKept);
        std::sort(badLines.begin(), badLines.end());

        vxModel m;
        std::vector<std::pair<std::int32_t, std::int32_t>> progress;
        m.setProgressCallback(
            [&](std::int32_t done, std::int32_t total) { progress.emplace_back(done, total); });
        const vxLoadResult r = m.loadModelFromText(text);
        ASSERT_GE(progress.size(), std::size_t(kParts / 2)) << layout.tail;
        EXPECT_EQ(progress.back(), std::make_pair(kParts, kParts));
        for (std::size_t k = 1; k < progress.size(); ++k)
            ASSERT_GT(progress[k].first, progress[k - 1].first) << layout.tail << ", report " << k;
        std::vector<std::int64_t> seen;
        for (const auto& f : r.findings)
            if (f.kind == vxLoadFinding::Kind::kBadNumber)
                seen.push_back(f.line);
        EXPECT_EQ(seen, badLines);
        ASSERT_FALSE(r.findings.empty());
        EXPECT_EQ(r.findings.back().count, 25 - static_cast<std::int64_t>(vxSectionText::NumberWatch::kKept));
        ASSERT_EQ(m.partList().size(), std::size_t(kParts));
        int wrong = 0;
        for (int i = 0; i < kParts; ++i) {
            const vxPart& p = *m.partList()[std::size_t(i)];
            wrong += p.position().x() != float(i + 1) || p.definition().m_Name != "Block 30" ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(m.cameraPosition().x(), layout.tail.empty() ? 0.0f : 5.0f);
    }
}

// The lines of parts written in every way a file may hold them (keys in
// any case, numbers plain, signed, with point or comma, too long, with an
// exponent, spaces or junk, cut by a second "=", lines without "=" or with
// a lone CR) read as a general pass over the same text reads them with the
// same conversions: the same values in every part, the same bad numbers
// noted with their lines.
TEST_F(Model, PartLinesReadAsAGeneralPassReadsThem)
{
    const char* const keys[] = {"XPOS",  "YPOS",  "ZPOS",  "XUP",   "YUP",  "ZUP",  "XDIR",
                                "YDIR",  "ZDIR",  "PHASE", "COLOR", "xpos", "Ydir", "zUp",
                                "Phase", "color", "XPO",   "XPOSS", "NOTE", "NAME", "nAmE"};
    const char* const values[] = {"0",         "1",          "7",          "-3.75",    "0,5",      "41.25",
                                  "12345.67",  "-1234.567",  "123456789",  "99999999", "-0",       "1e3",
                                  " 5",        "5 ",         "",           "x",        "5=6",      "1.2.3",
                                  "-",         ".",          "4294967295", "00000001", "13158084", "5\r6",
                                  "0.1234567", "-2147483648"};
    std::uint32_t seed = 3;
    const auto next = [&](std::size_t n) {
        return static_cast<std::size_t>(((seed = seed * 1103515245 + 12345) >> 16) % n);
    };
    constexpr int kParts = 3000;
    std::string text = "[COMMON]\r\nCOUNT=" + std::to_string(kParts) + "\r\n";
    for (int i = 1; i <= kParts; ++i) {
        const char* const nameForms[] = {"NAME=K31005_", "name=K31005_", "Name=K31002_x=", "NAME=K3100"};
        text += "[PART" + std::to_string(i) + "]\r\n" + nameForms[next(std::size(nameForms))] +
                std::to_string(i) + "\r\n";
        for (std::size_t k = next(16); k > 0; --k) {
            const std::size_t form = next(20);
            if (form == 0) {
                text += "XPOS\r\n"; // no "=" at all
                continue;
            }
            std::string value = next(4) ? values[next(std::size(values))] : std::to_string(next(100000));
            if (form == 1)
                value = std::to_string(next(10000)) + "." + std::to_string(next(1000));
            text += std::string(keys[next(std::size(keys))]) + "=" + value + "\r\n";
        }
    }
    // The general pass, with the conversions on every value.
    struct Read {
        vxVector position, up, direction, color;
        std::int32_t phase = 0;
        std::string name;
    };
    const vxPart fresh;
    std::vector<Read> expected(std::size_t(kParts), Read{fresh.position(), fresh.up(), fresh.direction(),
                                                         fresh.color(), fresh.phase(), fresh.partName()});
    std::vector<std::int64_t> expectedBad;
    std::int64_t expectedTotal = 0;
    {
        vxSectionText::NumberWatch watch;
        vxSectionText::runNumberedPass(std::optional<std::string>(text), "[PART", 0,
                                       [&](int index, std::string_view key, std::string_view v) {
                                           if (index < 0 || index >= kParts)
                                               return;
                                           Read& r = expected[std::size_t(index)];
                                           const auto axis = [&](vxVector& to) {
                                               const float f = vxSectionText::readDecimal(v);
                                               (key[0] == 'X' ? to.x() : key[0] == 'Y' ? to.y() : to.z()) = f;
                                           };
                                           const bool xyz = key[0] == 'X' || key[0] == 'Y' || key[0] == 'Z';
                                           if (xyz && key.substr(1) == "POS")
                                               axis(r.position);
                                           else if (xyz && key.substr(1) == "UP")
                                               axis(r.up);
                                           else if (xyz && key.substr(1) == "DIR")
                                               axis(r.direction);
                                           else if (key == "PHASE")
                                               r.phase = vxSectionText::readInteger(v);
                                           else if (key == "COLOR")
                                               r.color = vxDecodeColor(vxSectionText::readInteger(v));
                                           else if (key == "NAME")
                                               r.name = std::string(v);
                                       });
        for (const auto& b : watch.found)
            expectedBad.push_back(b.line);
        expectedTotal = watch.total;
    }
    ASSERT_GT(expectedTotal, 100) << "the text should hold bad numbers";

    vxModel m;
    const vxLoadResult r = m.loadModelFromText(text);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(m.partList().size(), std::size_t(kParts));
    const auto same = [](const vxVector& a, const vxVector& b) { // -0 and 0 told apart
        const float fa[] = {a.x(), a.y(), a.z()}, fb[] = {b.x(), b.y(), b.z()};
        return std::memcmp(fa, fb, sizeof fa) == 0;
    };
    for (int i = 0; i < kParts; ++i) {
        const vxPart& p = *m.partList()[std::size_t(i)];
        const Read& e = expected[std::size_t(i)];
        ASSERT_TRUE(same(p.position(), e.position) && same(p.up(), e.up) &&
                    same(p.direction(), e.direction) && same(p.color(), e.color) && p.phase() == e.phase &&
                    p.partName() == e.name && p.shortName() == vxShortNameOf(e.name))
            << "part " << i + 1;
    }
    std::vector<std::int64_t> bad;
    std::int64_t more = 0;
    for (const auto& f : r.findings) {
        if (f.kind == vxLoadFinding::Kind::kBadNumber)
            bad.push_back(f.line);
        if (f.kind == vxLoadFinding::Kind::kMoreBadNumbers)
            more = f.count;
    }
    EXPECT_EQ(bad, expectedBad);
    EXPECT_EQ(static_cast<std::int64_t>(bad.size()) + more, expectedTotal);
}
