#include "vxJson.h"
#include "vxTestSupport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using vxTest::runCli;

TEST(CliInfo, JsonOfASmallModel)
{
    vxTest::TempDir res;
    vxTest::writeFile(res.file("31005.def"),
                      vxTest::crlf({"[COLOR]", "RED=255", "[COMMON]", "NAME=Block \"30\"", "ORGNUMBER=31005",
                                    "GROUP=0", "[OFFSET]", "Y=-7,5"}));
    vxTest::writeFile(res.file("m.kmf"),
                      vxTest::crlf({"[CAMERA]", "POSITIONX=0.1", "[COMMON]", "COUNT=2", "TUBECOUNT=1",
                                    "INFMODELL=Tower", "[PART1]", "NAME=K31005_b", "PHASE=2", "COLOR=255",
                                    "[PART2]", "NAME=K99999_x", "[TUBE1]", "RADIUS=0,5"}));
    auto r = runCli("info " + res.file("m.kmf") + " --json --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"file\": \"" + res.file("m.kmf") + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"infModell\": \"Tower\""), std::string::npos);
    EXPECT_NE(r.out.find("\"position\": [0.1,0,0]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"count\": 2, \"tubeCount\": 1, \"maximumBauphase\": 2"), std::string::npos);
    EXPECT_NE(r.out.find("\"m_Name\": \"Block \\\"30\\\"\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"m_Color\": [1,0,0,1], \"offset\": [0,-7.5,0]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"found\": false"), std::string::npos);
    EXPECT_NE(r.out.find("\"tubes\": [{\"radius\": 0.5, \"color\": [0,0,0], \"count\": 0}]"),
              std::string::npos)
        << r.out;
    // What the user should know comes last, as sentences.
    const std::string warnings =
        "\"warnings\": [\"K99999_x is not in the part catalogue (1\u00d7).\", \"[TUBE1] has fewer than two "
        "nodes; it is not drawn.\", \"The mesh of 31005 (Block \\\"30\\\") is missing or unreadable "
        "(1\u00d7).\"]}\n";
    EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), warnings.size())), warnings) << r.out;

    // In text mode they go to stderr, and the file still counts as read.
    r = runCli("info " + res.file("m.kmf") + " --resources " + res.path() + " >/dev/null; }", "{ ");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out,
        "kolbrik: warning: K99999_x is not in the part catalogue (1\u00d7).\nkolbrik: warning: [TUBE1] "
        "has fewer than two nodes; it is not drawn.\nkolbrik: warning: The mesh of 31005 (Block \"30\") "
        "is missing or unreadable (1\u00d7).\n");
}

TEST(CliParts, TableAndJsonOfAPhaseAndOfTheWholeModel)
{
    vxTest::TempDir res;
    vxTest::writeFile(res.file("31005.def"), vxTest::crlf({"[COMMON]", "NAME=Block 30", "ORGNUMBER=31005"}));
    vxTest::writeFile(
        res.file("m.kmf"),
        vxTest::crlf({"[COMMON]", "COUNT=4", "[PART1]", "NAME=K31005_a", "COLOR=204", "PHASE=0", "[PART2]",
                      "NAME=K31005_b", "COLOR=204", "PHASE=1", "[PART3]", "NAME=K31005_c", "COLOR=65280",
                      "PHASE=2", "[PART4]", "NAME=K99999_Odd \"one\"", "PHASE=2"}));
    const std::string model = res.file("m.kmf") + " --resources " + res.path();
    auto r = runCli("parts " + model + " --phase 1 --json");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "{\"model\": \"m.kmf\", \"phase\": 1, \"total\": 2, \"parts\": [{\"count\": 2, "
                     "\"number\": \"31005\", \"name\": \"Block 30\", \"short\": \"31005\", \"group\": "
                     "\"Building blocks\", \"color\": \"#cc0000\", \"found\": true}]}\n");
    r = runCli("parts " + model + " --json");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"phase\": null, \"total\": 4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"name\": \"K99999_Odd \\\"one\\\"\", \"short\": \"99999\", \"group\": \"\", "
                         "\"color\": \"#000000\", \"found\": false}]}"),
              std::string::npos)
        << r.out;
    r = runCli("parts " + model + " --phase 2");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "m.kmf, phase 2: 2 parts of 2 kinds\n"
                     "count  number  name              colour\n"
                     "    1  31005   Block 30          #00ff00\n"
                     "    1          K99999_Odd \"one\"  #000000  (not in the catalogue)\n"
                     "1 kind(s) of part without a definition in the resource folder.\n");
    for (const char* phase : {"0", "3", "-1"}) {
        r = runCli("parts " + model + " --phase " + phase);
        EXPECT_EQ(r.status, 2) << phase;
        EXPECT_NE(r.out.find("from 1 to 2"), std::string::npos) << r.out;
    }
    EXPECT_EQ(runCli("parts " + res.file("gone.kmf")).status, 1);
}

// The reports write numbers on quicker roads to the texts of the general
// printers: floats in text with six significant digits (every float from
// 10^-4 up to 10^6 by its own rounding, short decimals in JSON by their
// digits, whole numbers by tables of digits). Each road is held against the
// general printer over the kinds of number a model has (binary fractions,
// hundredths, whole numbers), the edges of the decades and of the rounding
// (a seventh digit of 5 on the bits, half to even), and random bits.
TEST(CliNumbers, QuickWritersWriteWhatTheGeneralPrintersWrite)
{
    std::vector<float> values = {-0.0f,     0.0f, 1e5f,      12e4f,       999999.0f,       999999.5f,
                                 999999.4f, 1e6f, 0.015625f, 1e-7f,       123456.5f,       100000.5f,
                                 12345.25f, 0.1f, 1e-4f,     9.99999e-5f, 0.000123456789f, INFINITY,
                                 -INFINITY, NAN,  -NAN,      1e-45f,      3.4e38f};
    // Binary fractions k / 2^n, mostly few digits, some with a seventh.
    for (int n = 0; n <= 24; ++n)
        for (std::int32_t k = -40000; k <= 40000; k += 1 + (k & 3))
            values.push_back(std::ldexp(static_cast<float>(k), -n) * (n % 3 ? 1.0f : 0.37f));
    // Hundredths, and the parts of a model's grid.
    for (std::uint32_t k = 0; k < 100000000; k += 97)
        values.push_back(static_cast<float>(k) / 100);
    static const double kScale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};
    for (std::uint32_t i = 0; i < 300000; ++i)
        values.push_back(static_cast<float>(((i * 2654435761u) % 2000000u) / kScale[i % 8]) *
                         (i % 3 ? 1 : -1));
    // The floats next to every power of ten.
    for (int e = -8; e <= 9; ++e)
        for (float f = std::nextafter(std::nextafter(static_cast<float>(std::pow(10.0, e)), 0.0f), 0.0f),
                   k = 0;
             k < 5; ++k, f = std::nextafter(f, INFINITY))
            values.push_back(f);
    // Random bits (xorshift), NaNs and infinities among them.
    std::uint32_t bits = 2463534242u;
    for (int i = 0; i < 1000000; ++i) {
        bits ^= bits << 13;
        bits ^= bits >> 17;
        bits ^= bits << 5;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        values.push_back(f);
    }
    for (float f : values) {
        char a[vxJson::kNumberRoom], b[vxJson::kNumberRoom];
        ASSERT_EQ(std::string(a, vxJson::writeGeneral(a, f)),
                  std::string(b, std::to_chars(b, b + sizeof b, f, std::chars_format::general, 6).ptr));
        ASSERT_EQ(std::string(a, vxJson::writeNum(a, f)),
                  std::isfinite(f) ? std::string(b, std::to_chars(b, b + sizeof b, f).ptr) : "null");
    }
    EXPECT_EQ(vxJson::num(INFINITY), "null");
    EXPECT_EQ(vxJson::num(NAN), "null");

    std::vector<std::uint32_t> whole = {0xFFFFFFFFu, 0xFFFFFFFEu};
    for (std::uint32_t n = 0; n < 1100000; ++n)
        whole.push_back(n);
    for (std::uint64_t p = 10; p <= 0xFFFFFFFFu; p *= 10)
        for (std::uint64_t n = p - 2; n <= p + 2; ++n)
            whole.push_back(static_cast<std::uint32_t>(n));
    for (std::uint32_t n : whole) {
        char a[vxJson::kNumberRoom], b[vxJson::kNumberRoom];
        ASSERT_EQ(std::string(a, vxJson::writeUnsigned(a, n)),
                  std::string(b, std::to_chars(b, b + sizeof b, n).ptr));
    }
}

// The model's texts cannot drive the terminal: control characters show
// escaped in the text report; the JSON report is valid UTF-8 whatever the
// file name holds, and a UTF-8 short name is whole characters.
TEST(CliInfo, TextsAreSafeForTheTerminalAndTheJsonIsUtf8)
{
    vxTest::TempDir res;
    vxTest::writeFile(res.file("1234\xc3\xa4.def"), vxTest::crlf({"[COMMON]", "NAME=Umlaut\x07"}));
    const std::string model = res.file("m\xff.kmf");
    vxTest::writeFile(model, vxTest::crlf({"[COMMON]", "COUNT=1",
                                           "INFMODELL=Evil \x1b[2J\xc2\x9b"
                                           "31m\x7f!",
                                           "[PART1]", "NAME=K1234\xc3\xa4_x\ty"}));
    auto r = runCli("info '" + model + "' --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Information: Evil \\x1B[2J\\u009B31m\\x7F!\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1. K1234\xc3\xa4_x\\x09y [1234\xc3\xa4] Umlaut\\x07, phase 0"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("m\\xFF.kmf"), std::string::npos) << r.out;
    auto expectNoControls = [](const std::string& out) {
        for (char c : out)
            EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << static_cast<int>(c);
    };
    expectNoControls(r.out);
    // The parts table shows them the same way.
    r = runCli("parts '" + model + "' --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find(':')), "m\\xFF.kmf");
    EXPECT_NE(r.out.find(" Umlaut\\x07 "), std::string::npos) << r.out;
    expectNoControls(r.out);

    r = runCli("info '" + model + "' --json --resources " + res.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"file\": \"" + res.file("m\xef\xbf\xbd.kmf") + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"shortName\": \"1234\xc3\xa4\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"infModell\": \"Evil \\u001b[2J\xc2\x9b"
                         "31m\x7f!\""),
              std::string::npos)
        << r.out;
}

// Bad usage of every command exits with status 2; help exits with 0 and
// describes the command.
TEST(Cli, UsageErrorsAndHelpOfEveryCommand)
{
    std::vector<std::string> bad = {"",
                                    "frobnicate",
                                    "info",
                                    "parts",
                                    "parts a b",
                                    "parts a --phase",
                                    "parts a --phase x",
                                    "parts a --frob"};
    std::vector<std::pair<std::string, std::string>> help = {
        {"--help", "info"}, {"info --help", "--json"}, {"--help", "parts"}, {"parts --help", "--phase N"}};
    if (KOLBRIK_CLI_GL) {
        for (const char* args :
             {"render", "render a.kmf", "render a b c", "render a b --size 0x10", "render a b --size 10",
              "render a b --size 99999x10", "render a b --size", "render a b --frobnicate",
              "render a b --phase two", "export a.kmf", "export a.kmf b.wrl c.wrl",
              "export --frobnicate a.kmf b.wrl", "export a.kmf b.wrl --resources"})
            bad.push_back(args);
        help.insert(help.end(), {{"--help", "render"},
                                 {"--help", "export"},
                                 {"render --help", "usage: kolbrik render"},
                                 {"export --help", "--format F"}});
    }
    if (KOLBRIK_CLI_BOOKLET) {
        for (const char* args : {"instructions a.kmf", "instructions a b c", "instructions a b --paper a5",
                                 "instructions a b --frob"})
            bad.push_back(args);
        help.push_back({"instructions --help", "--paper a4|letter"});
    }
    for (const std::string& args : bad) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 2) << args << ": " << r.out;
    }
    for (const auto& [args, text] : help) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_NE(r.out.find(text), std::string::npos) << args << ": " << r.out;
    }
}

// The commands that only read a model start without the view's libraries
// (they cost more than reading thousands of parts); the drawing commands
// are handed on to the drawing program in libexec/kolbrik-viewer/ beside
// bin/, and a missing one is named.
TEST(Cli, ReadingCommandsStartWithoutTheViewsLibraries)
{
    const auto linked = runCli("", "LD_TRACE_LOADED_OBJECTS=1 ");
    ASSERT_EQ(linked.status, 0) << linked.out;
    ASSERT_NE(linked.out.find("libc.so"), std::string::npos) << linked.out;
    for (const char* library : {"libQt6", "libEGL", "libOpenGL", "libGL", "libX11", "libpng"})
        EXPECT_EQ(linked.out.find(library), std::string::npos) << library << " in\n" << linked.out;
    if (!KOLBRIK_CLI_GL)
        return;

    vxTest::TempDir tree;
    std::filesystem::create_directories(tree.file("bin"));
    std::filesystem::copy_file(KOLBRIK_CLI, tree.file("bin/kolbrik"));
    vxTest::writeFile(tree.file("m.kmf"), vxTest::crlf({"[COMMON]", "COUNT=1", "[PART1]", "NAME=K31005_b"}));
    const std::string tool = "'" + tree.file("bin/kolbrik") + "' ";
    auto r = vxTest::runCommand(tool + "render '" + tree.file("m.kmf") + "' '" + tree.file("m.png") + "'");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out, "kolbrik: cannot start the drawing program " +
                         tree.file("libexec/kolbrik-viewer/kolbrik-draw") +
                         " for 'render': No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(tree.file("m.png")));
    r = vxTest::runCommand(tool + "info '" + tree.file("m.kmf") + "' --resources '" + tree.path() + "'");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Parts:       1"), std::string::npos) << r.out;
}

// A model of more parts than one run of lines holds, and big enough for the
// load to make its parts with two threads: the runs are made on helper
// threads, yet every part comes once, in order, and the parts without a
// definition are counted over all runs. Where no thread can be started, or
// only one processor may be used, all is done on one, with the same output.
TEST(CliInfo, ManyPartsComeInOrderWithOrWithoutThreads)
{
    constexpr int kParts = 70000;
    vxTest::TempDir res;
    vxTest::writeFile(res.file("31005.def"), vxTest::crlf({"[COMMON]", "NAME=Block 30", "ORGNUMBER=31005"}));
    std::string text = "[COMMON]\r\nCOUNT=" + std::to_string(kParts) + "\r\n";
    for (int i = 1; i <= kParts; ++i)
        text += "[PART" + std::to_string(i) + "]\r\n" + (i % 2 ? "NAME=K31005_a" : "NAME=K99999_b") +
                "\r\nXPOS=" + std::to_string(i) + "\r\nNOTE=a line no pass reads\r\n";
    vxTest::writeFile(res.file("m.kmf"), text);
    const std::string model = res.file("m.kmf") + " --resources " + res.path();

    const auto r = runCli("info " + model);
    ASSERT_EQ(r.status, 0);
    std::size_t at = 0;
    for (int i = 1; i <= kParts && at != std::string::npos; ++i) {
        const std::string expected =
            "\n  " + std::to_string(i) + ". " +
            (i % 2 ? "K31005_a [31005] Block 30" : "K99999_b [99999] (no definition)") + ", phase 0, at (" +
            std::to_string(i) + ", 0, 0)\n";
        at = r.out.find(expected, at);
        EXPECT_NE(at, std::string::npos) << "part " << i;
    }
    std::size_t lines = 0;
    for (at = r.out.find(", phase 0, at ("); at != std::string::npos;
         at = r.out.find(", phase 0, at (", at + 1))
        ++lines;
    EXPECT_EQ(lines, std::size_t(kParts));
    EXPECT_NE(r.out.find("\n35000 part(s) without a definition in the resource folder.\n"),
              std::string::npos);

    const auto json = runCli("info --json " + model);
    ASSERT_EQ(json.status, 0);
    at = 0;
    for (int i = 1; i <= kParts && at != std::string::npos; ++i) {
        at = json.out.find(std::string(i == 1 ? "[" : "}, ") + "{\"partName\": \"" +
                               (i % 2 ? "K31005_a" : "K99999_b") + "\", \"shortName\": \"" +
                               (i % 2 ? "31005" : "99999") + "\", \"position\": [" + std::to_string(i) + ",",
                           at);
        EXPECT_NE(at, std::string::npos) << "part " << i;
    }

    const std::string alone = "ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" KOLBRIK_NO_THREADS "' ";
    EXPECT_EQ(runCli("info " + model, alone).out, r.out);
    EXPECT_EQ(runCli("info --json " + model, alone).out, json.out);

    // Confined to one processor (by its CPU affinity), it starts no thread.
    cpu_set_t allowed;
    ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
    int processor = 0;
    while (!CPU_ISSET(processor, &allowed))
        ++processor;
    const std::string confined =
        "KOLBRIK_TEST_THREADS=abort " + alone + "taskset -c " + std::to_string(processor) + " ";
    EXPECT_EQ(runCli("info " + model, confined).out, r.out);
    EXPECT_EQ(runCli("info --json " + model, confined).out, json.out);
}

// Each part's line is its own, as a stream shows its numbers, however much
// it shares with the parts before it: the middle of its type (hundreds of
// types, in runs of one type and mixed), coordinates of a row, a column or
// a layer, 0 beside -0, and coordinates of any bits; over several runs of
// lines.
TEST(CliInfo, EveryLineShowsItsPartAsAStreamWould)
{
    constexpr int kTypes = 300;
    constexpr int kParts = 20000;
    vxTest::TempDir res;
    for (int t = 0; t < kTypes; ++t)
        vxTest::writeFile(res.file(std::to_string(40000 + t) + ".def"),
                          vxTest::crlf({"[COMMON]", "NAME=Type " + std::to_string(t)}));
    std::uint32_t bits = 2463534242u;
    const auto anyFloat = [&] {
        float f = NAN;
        while (!std::isfinite(f)) {
            bits ^= bits << 13;
            bits ^= bits >> 17;
            bits ^= bits << 5;
            std::memcpy(&f, &bits, sizeof f);
        }
        return f;
    };
    // The texts of the file, and the floats they are read as.
    const auto number = [](float f) {
        char buf[64];
        return std::string(buf, std::to_chars(buf, buf + sizeof buf, f).ptr);
    };
    std::string file = "[COMMON]\r\nCOUNT=" + std::to_string(kParts) + "\r\n";
    std::vector<std::string> expected;
    for (int i = 1; i <= kParts; ++i) {
        const int type = (i / 40) % 2 ? (i / 40) % kTypes : (i * 7) % kTypes;
        float p[3] = {static_cast<float>(i % 100) * 0.25f, 0.75f, static_cast<float>(i / 100) * 1.5f};
        if (i % 50 < 4) // 0 and -0 by turns
            p[i % 3] = i % 2 ? -0.0f : 0.0f;
        if (i % 7 == 0)
            p[i % 3] = anyFloat();
        if (i % 11 == 0)
            p[(i + 1) % 3] = static_cast<float>(i) / 100;
        const std::string shortName = std::to_string(40000 + type);
        const std::string name = "K" + shortName + "_p" + std::to_string(i);
        const int phase = i % 9 - 1;
        file += "[PART" + std::to_string(i) + "]\r\nNAME=" + name + "\r\nXPOS=" + number(p[0]) +
                "\r\nYPOS=" + number(p[1]) + "\r\nZPOS=" + number(p[2]) +
                "\r\nPHASE=" + std::to_string(phase) + "\r\n";
        std::ostringstream line;
        line << "  " << i << ". " << name << " [" << shortName << "] Type " << type << ", phase " << phase
             << ", at (" << p[0] << ", " << p[1] << ", " << p[2] << ")";
        expected.push_back(line.str());
    }
    vxTest::writeFile(res.file("m.kmf"), file);
    const auto r =
        runCli("info " + res.file("m.kmf") + " --resources " + res.path() + " 2>/dev/null; }", "{ ");
    ASSERT_EQ(r.status, 0);
    std::istringstream out(r.out);
    std::string line;
    while (std::getline(out, line) && line.rfind("Phases:", 0) != 0) {
    }
    for (int i = 0; i < kParts; ++i) {
        ASSERT_TRUE(std::getline(out, line)) << "part " << i + 1;
        ASSERT_EQ(line, expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_FALSE(std::getline(out, line)) << line;
}
