#include "vxTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

vxTest::CommandResult run(const std::string& args)
{
    return vxTest::runCommand(std::string(KOLBRIK_CLI) + " " + args);
}

} // namespace

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
    auto r = run("info " + res.file("m.kmf") + " --json --resources " + res.path());
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
        "\"warnings\": [\"K99999_x is not in the part catalogue (1\u00d7).\", \"The mesh "
        "of 31005 (Block \\\"30\\\") is missing or unreadable (1\u00d7).\"]}\n";
    EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), warnings.size())), warnings) << r.out;

    // In text mode they go to stderr, and the file still counts as read.
    r = vxTest::runCommand("{ " + std::string(KOLBRIK_CLI) + " info " + res.file("m.kmf") + " --resources " +
                           res.path() + " >/dev/null; }");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "kolbrik: warning: K99999_x is not in the part catalogue (1\u00d7).\nkolbrik: warning: The "
              "mesh of 31005 (Block \"30\") is missing or unreadable (1\u00d7).\n");
    // The plain text report: tests/cli/test_files.cpp.
}

// Bad usage of every command exits with status 2; help exits with 0 and
// describes the command. (Failures to read or write files: test_files.cpp.)
TEST(Cli, UsageErrorsAndHelpOfEveryCommand)
{
    std::vector<std::string> bad = {"", "frobnicate", "info"};
    std::vector<std::pair<std::string, std::string>> help = {{"--help", "info"}, {"info --help", "--json"}};
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
    for (const std::string& args : bad) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 2) << args << ": " << r.out;
    }
    for (const auto& [args, text] : help) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_NE(r.out.find(text), std::string::npos) << args << ": " << r.out;
    }
}
