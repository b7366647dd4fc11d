#include "vxTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

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
    EXPECT_NE(r.out.find("\"tubes\": [{\"radius\": 0.5, \"color\": [0,0,0], \"count\": 0}]"), std::string::npos)
        << r.out;

    auto t = run("info " + res.file("m.kmf") + " --resources " + res.path());
    EXPECT_EQ(t.status, 0);
    EXPECT_NE(t.out.find("Tower"), std::string::npos);
    EXPECT_NE(t.out.find("1 part(s) without a definition"), std::string::npos) << t.out;
}

TEST(CliInfo, ErrorsAndHelp)
{
    auto r = run("info /nonexistent/model.kmf");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("/nonexistent/model.kmf"), std::string::npos);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    r = run("info /dev/zero");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(run("--help").status, 0);
    auto h = run("info --help");
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("--json"), std::string::npos);
    EXPECT_EQ(run("info").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
}
