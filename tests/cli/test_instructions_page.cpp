// kolbrik instructions MODEL OUT.html: pages of library models opened in
// headless Chromium (software WebGL, no network), their embedded glb read
// by the Khronos validator, and refusals and escaping.
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

using namespace vxTest;

namespace {

const std::string kLibrary = KOLBRIK_RESOURCE_DIR "/library/";

// The page opened in headless Chromium with a fresh profile and every
// address outside the page unreachable; `what` is --dump-dom or
// --screenshot=FILE. The output holds the browser's log (console messages
// as "INFO:CONSOLE" lines) and what --dump-dom prints.
CommandResult browse(const TempDir& dir, const std::string& page, const std::string& fragment,
                     const std::string& what, const std::string& size = "1280,800")
{
    static int profiles = 0;
    const std::string profile = dir.file("profile" + std::to_string(++profiles));
    return runCommand("chromium --headless --no-sandbox --disable-gpu --use-gl=swiftshader "
                      "--enable-unsafe-swiftshader --disable-quic --no-first-run "
                      "--disable-background-networking --disable-component-update --disable-sync "
                      "--proxy-server=127.0.0.1:9 --host-resolver-rules='MAP * ~NOTFOUND' "
                      "--enable-logging=stderr --v=0 --virtual-time-budget=20000 --user-data-dir='" +
                      profile + "' --window-size=" + size + " " + what + " 'file://" + page + fragment + "'");
}

// The page's console messages, but for the GL driver's notes on reading
// pixels back (the screenshot's doing, not the page's).
std::vector<std::string> consoleMessages(const std::string& log)
{
    std::vector<std::string> out;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.find(":CONSOLE") != std::string::npos && line.find("GL Driver Message") == std::string::npos)
            out.push_back(line);
    return out;
}

std::string attribute(const std::string& dom, const std::string& name)
{
    std::smatch m;
    return std::regex_search(dom, m, std::regex("<body[^>]* " + name + "=\"([^\"]*)\"")) ? m[1].str() : "";
}

// Pixels of the 3D view that are not its white background: the view
// fills the window left of the 340-pixel side panel, between the title
// bar and the step bar.
int drawnPixels(const std::string& png)
{
    const vxImage image = vxReadPNG(png);
    int drawn = 0;
    for (int y = 60; y < std::min(image.height, 720); ++y)
        for (int x = 0; x < std::min(image.width, 920); ++x) {
            const auto p = image.pixel(x, y);
            drawn += p[0] < 250 || p[1] < 250 || p[2] < 250;
        }
    return drawn;
}

// The text of the page's element with this id (a script block).
std::string block(const std::string& page, const std::string& id)
{
    const std::string open = "id=\"" + id + "\">";
    const std::size_t from = page.find(open);
    if (from == std::string::npos)
        return {};
    const std::size_t start = from + open.size();
    return page.substr(start, page.find("</script>", start) - start);
}

int booklet(const std::string& model, const std::string& pdf)
{
    const CommandResult r = runCli("instructions '" + model + "' '" + pdf + "'");
    std::smatch m;
    return std::regex_search(r.out, m, std::regex("cover, ([0-9]+) step")) ? std::stoi(m[1]) : -1;
}

class CliInstructionsPage : public ::testing::Test {
  protected:
    TempDir res;
    TempDir out;
};

TEST_F(CliInstructionsPage, LibraryModelsShowTheirStepsInABrowser)
{
    for (const std::string name : {"Starter/Robot", "Machines/Windmill"}) {
        SCOPED_TRACE(name);
        const std::string model = kLibrary + name + ".kmf";
        const std::string page = out.file("page.html");
        const CommandResult made = runCli("instructions '" + model + "' '" + page + "'");
        ASSERT_EQ(made.status, 0) << made.out;
        const int steps = booklet(model, out.file("booklet.pdf"));
        ASSERT_GT(steps, 1);
        EXPECT_NE(made.out.find(std::to_string(steps) + " steps"), std::string::npos) << made.out;

        const std::string text = readFile(page);
        // Everything inline: no script, style or picture from elsewhere.
        EXPECT_EQ(text.find(" src=\"http"), std::string::npos);
        EXPECT_EQ(text.find(" href=\"http"), std::string::npos);

        // The embedded glb is valid glTF.
        writeFile(out.file("model.b64"), block(text, "model"));
        ASSERT_EQ(
            runCommand("base64 -d '" + out.file("model.b64") + "' > '" + out.file("model.glb") + "'").status,
            0);
        const CommandResult valid =
            runCommand("node '" KOLBRIK_VALIDATE_SCRIPT "' '" KOLBRIK_GLTF_VALIDATOR "' '" +
                       out.file("model.glb") + "'");
        EXPECT_EQ(valid.status, 0) << valid.out;

        const CommandResult dom = browse(out, page, "#step=1", "--dump-dom");
        EXPECT_EQ(attribute(dom.out, "data-step-count"), std::to_string(steps));
        // The script ran to the end and drew the first step.
        EXPECT_EQ(attribute(dom.out, "data-drawn-step"), "1") << dom.out.substr(0, 4000);
        EXPECT_EQ(consoleMessages(dom.out), std::vector<std::string>{});
        EXPECT_NE(dom.out.find("Step 1 of " + std::to_string(steps)), std::string::npos);

        const CommandResult first =
            browse(out, page, "#step=1", "--screenshot='" + out.file("first.png") + "'");
        const CommandResult last = browse(out, page, "#step=" + std::to_string(steps),
                                          "--screenshot='" + out.file("last.png") + "'");
        EXPECT_EQ(consoleMessages(first.out), std::vector<std::string>{});
        EXPECT_EQ(consoleMessages(last.out), std::vector<std::string>{});
        const int drawnFirst = drawnPixels(out.file("first.png"));
        const int drawnLast = drawnPixels(out.file("last.png"));
        EXPECT_GT(drawnFirst, 200);
        EXPECT_GT(drawnLast, drawnFirst);
    }
}

TEST_F(CliInstructionsPage, ThePageSpeaksTheUsersLanguage)
{
    const std::string page = out.file("de.html");
    const CommandResult made = runCli("instructions '" + kLibrary + "Starter/Robot.kmf' '" + page + "'",
                                      "LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 LANGUAGE=de ");
    ASSERT_EQ(made.status, 0) << made.out;
    const std::string text = readFile(page);
    EXPECT_NE(text.find("<html lang=\"de\">"), std::string::npos);
    const std::string data = block(text, "instructions");
    EXPECT_NE(data.find("\"stepOf\":\"Schritt %1 von %2\""), std::string::npos) << data.substr(0, 2000);
    EXPECT_NE(data.find("\"partsList\":\"St"), std::string::npos);
}

TEST_F(CliInstructionsPage, ModelTextsAreShownAsTheyAreAndBadModelsAreSaid)
{
    const std::string evil = "</script><script>alert(1)</script><!--";
    writeFile(res.file("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
    writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=" + evil, "ORGNUMBER=31005"}));
    // A file name may not hold "/": its title gets the rest.
    const std::string model = res.file("<b>x<\\b><script>alert(2)<\\script>.kmf");
    writeFile(model, kmfFile({-30, 30, -30}, {0, 0, 0},
                             {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x2030c0, 1},
                              {"K31005_b", {0, 10, 0}, {0, 1, 0}, {0, 0, 1}, 0x2030c0, 2},
                              {"K99999_unknown", {0, 20, 0}, {0, 1, 0}, {0, 0, 1}, 0x2030c0, 2}}));
    const std::string page = out.file("page.html");
    const CommandResult made =
        runCli("instructions '" + model + "' '" + page + "' --resources " + res.path());
    ASSERT_EQ(made.status, 0) << made.out;
    // The part not in the catalogue is named and left out.
    EXPECT_NE(made.out.find("99999"), std::string::npos) << made.out;
    const std::string text = readFile(page);
    EXPECT_EQ(block(text, "instructions").find("K99999"), std::string::npos);
    EXPECT_EQ(text.find("<script>alert"), std::string::npos);
    // No model text opens an element: the page has its own seven scripts only.
    std::size_t scripts = 0;
    for (std::size_t at = text.find("<script"); at != std::string::npos; at = text.find("<script", at + 1))
        ++scripts;
    EXPECT_EQ(scripts, 7u);
    EXPECT_EQ(text.find("<b>x"), std::string::npos);

    const CommandResult dom = browse(out, page, "#step=2", "--dump-dom");
    EXPECT_EQ(consoleMessages(dom.out), std::vector<std::string>{});
    EXPECT_EQ(attribute(dom.out, "data-step-count"), "2");
    // Shown as text: the browser writes the characters back escaped.
    EXPECT_NE(dom.out.find("&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;&lt;!--"), std::string::npos);
    EXPECT_NE(dom.out.find("<h1 id=\"title\">&lt;b&gt;x&lt;\\b&gt;&lt;script&gt;alert(2)"),
              std::string::npos);
    EXPECT_NE(dom.out.find("Step 2 of 2"), std::string::npos);

    // A model without parts is refused and nothing is written.
    writeFile(res.file("empty.kmf"), kmfFile({-30, 30, -30}, {0, 0, 0}, {}));
    const CommandResult empty = runCli("instructions '" + res.file("empty.kmf") + "' '" +
                                       out.file("empty.html") + "' --resources " + res.path());
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.out.find("nothing to build"), std::string::npos) << empty.out;
    EXPECT_FALSE(std::filesystem::exists(out.file("empty.html")));
}

} // namespace
