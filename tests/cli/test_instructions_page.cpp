// kolbrik instructions MODEL OUT.html: pages of library models opened in
// headless Chromium (software WebGL, no network), their embedded glb read
// by the Khronos validator, and refusals and escaping.
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// Whether a browser message is the GL driver's note on reading pixels
// back (the screenshot's doing, not the page's).
bool driverNote(const std::string& message)
{
    return message.find("GL Driver Message") != std::string::npos;
}

// The page's console messages in a browser log.
std::vector<std::string> consoleMessages(const std::string& log)
{
    std::vector<std::string> out;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.find(":CONSOLE") != std::string::npos && !driverNote(line))
            out.push_back(line);
    return out;
}

// What a user did with the page in tests/cli/page_driver.py (Chromium
// through its DevTools protocol, the network off): the values the script
// asked for, the page's console messages, log entries and dialogs, and the
// actions that did not come true.
struct Visit {
    QJsonObject values;
    std::vector<std::string> console;
    std::vector<std::string> failed;
    std::string output;

    std::string text(const char* name) const
    {
        return values.value(QLatin1String(name)).toString().toStdString();
    }
    double number(const char* name) const { return values.value(QLatin1String(name)).toDouble(-1); }
    bool flag(const char* name) const { return values.value(QLatin1String(name)).toBool(); }
};

Visit visit(const TempDir& dir, const std::string& page, const std::string& fragment,
            const std::string& script)
{
    static int scripts = 0;
    const std::string file = dir.file("script" + std::to_string(++scripts) + ".json");
    writeFile(file, script);
    Visit v;
    const CommandResult r =
        runCommand("python3 '" KOLBRIK_PAGE_DRIVER "' 'file://" + page + fragment + "' '" + file + "'");
    v.output = r.out;
    QJsonParseError error;
    const QJsonObject out = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error).object();
    if (r.status != 0 || error.error != QJsonParseError::NoError) {
        v.failed.push_back("the driver failed: " + r.out.substr(0, 2000));
        return v;
    }
    v.values = out.value("values").toObject();
    for (const QJsonValue m : out.value("console").toArray())
        if (!driverNote(m.toString().toStdString()))
            v.console.push_back(m.toString().toStdString());
    for (const QJsonValue m : out.value("failed").toArray())
        v.failed.push_back(m.toString().toStdString());
    return v;
}

std::string attribute(const std::string& dom, const std::string& name)
{
    std::smatch m;
    return std::regex_search(dom, m, std::regex("<body[^>]* " + name + "=\"([^\"]*)\"")) ? m[1].str() : "";
}

// The pixels of a screenshot's region for which `is` holds.
template <class Is> int countPixels(const std::string& png, int x0, int y0, int x1, int y1, Is is)
{
    const vxImage image = vxReadPNG(png);
    int n = 0;
    for (int y = y0; y < std::min(image.height, y1); ++y)
        for (int x = x0; x < std::min(image.width, x1); ++x) {
            const auto p = image.pixel(x, y);
            n += is(int{p[0]}, int{p[1]}, int{p[2]});
        }
    return n;
}

// Pixels of the 3D view that are not its white background: the view
// fills the window left of the 340-pixel side panel, between the title
// bar and the step bar.
int drawnPixels(const std::string& png)
{
    return countPixels(png, 0, 60, 920, 720,
                       [](int r, int g, int b) { return r < 250 || g < 250 || b < 250; });
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

// The booklet's step count; its steps as JSON in stepsJson.
int booklet(const std::string& model, const std::string& pdf, const std::string& stepsJson)
{
    const CommandResult r =
        runCli("instructions '" + model + "' '" + pdf + "' --steps-json '" + stepsJson + "'");
    std::smatch m;
    return std::regex_search(r.out, m, std::regex("cover, ([0-9]+) step")) ? std::stoi(m[1]) : -1;
}

QJsonObject jsonOf(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

// The value of a render option ("--camera") among a picture's arguments.
std::vector<double> renderOption(const QJsonArray& render, const char* option)
{
    std::vector<double> out;
    for (qsizetype i = 0; i + 1 < render.size(); ++i)
        if (render[i].toString() == QLatin1String(option))
            for (const QString& v : render[i + 1].toString().split(QLatin1Char(',')))
                out.push_back(v.toDouble());
    return out;
}

// Differences between the page's steps and the booklet's: the parts and
// tubes of each step and its main picture's camera.
std::vector<std::string> stepDifferences(const QJsonArray& page, const QJsonArray& booklet)
{
    std::vector<std::string> out;
    if (page.size() != booklet.size())
        return {"step counts differ"};
    auto near = [](const std::vector<double>& a, const std::vector<double>& b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::abs(a[i] - b[i]) > 1e-4 * std::max(1.0, std::abs(b[i])))
                return false;
        return true;
    };
    auto numbers = [](const QJsonArray& a, int add) {
        std::vector<double> out;
        for (const QJsonValue v : a)
            out.push_back(v.toDouble() + add);
        return out;
    };
    for (qsizetype i = 0; i < page.size(); ++i) {
        const QJsonObject p = page[i].toObject(), b = booklet[i].toObject();
        const std::string step = "step " + std::to_string(i + 1) + ": ";
        // The page counts parts and tubes from 0, the booklet's JSON from 1.
        if (numbers(p["parts"].toArray(), 1) != numbers(b["parts"].toArray(), 0))
            out.push_back(step + "parts");
        if (numbers(p["tubes"].toArray(), 1) != numbers(b["tubes"].toArray(), 0))
            out.push_back(step + "tubes");
        const QJsonArray render = b["pictures"].toArray()[0].toObject()["render"].toArray();
        const QJsonObject camera = p["camera"].toObject();
        std::vector<double> eyeTarget = numbers(camera["eye"].toArray(), 0);
        for (double v : numbers(camera["target"].toArray(), 0))
            eyeTarget.push_back(v);
        if (!near(eyeTarget, renderOption(render, "--camera")) ||
            !near(numbers(camera["up"].toArray(), 0), renderOption(render, "--up")) ||
            !near({camera["fov"].toDouble()}, renderOption(render, "--fov")))
            out.push_back(step + "camera");
    }
    return out;
}

class CliInstructionsPage : public ::testing::Test {
  protected:
    TempDir res;
    TempDir out;
};

TEST_F(CliInstructionsPage, LibraryModelsShowTheirStepsInABrowser)
{
    // The Drawbridge has cables.
    for (const std::string name : {"Starter/Robot", "Machines/Drawbridge"}) {
        SCOPED_TRACE(name);
        const std::string model = kLibrary + name + ".kmf";
        const std::string page = out.file("page.html");
        const CommandResult made = runCli("instructions '" + model + "' '" + page + "'");
        ASSERT_EQ(made.status, 0) << made.out;
        const int steps = booklet(model, out.file("booklet.pdf"), out.file("steps.json"));
        ASSERT_GT(steps, 1);
        EXPECT_NE(made.out.find(std::to_string(steps) + " steps"), std::string::npos) << made.out;
        // The booklet's steps, each seen from its main picture's camera.
        EXPECT_EQ(stepDifferences(jsonOf(block(readFile(page), "instructions"))["steps"].toArray(),
                                  jsonOf(readFile(out.file("steps.json")))["steps"].toArray()),
                  std::vector<std::string>{});

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

TEST_F(CliInstructionsPage, AUserStepsThroughThePageOnADesktopAndOnAPhone)
{
    const std::string page = out.file("robot.html");
    ASSERT_EQ(runCli("instructions '" + kLibrary + "Starter/Robot.kmf' '" + page + "'").status, 0);

    // Buttons, arrow keys, the slider, the address and the view of the
    // step, one after the other in one browser.
    const std::string settled = R"({"do": "wait", "js": "document.body.dataset.view === 'step'"},)";
    auto state = [](const std::string& as) {
        return R"({"do": "eval", "as": ")" + as +
               R"js(", "js": "[document.getElementById('counter').textContent, location.hash, document.getElementById('stepHeading').textContent, document.getElementById('prev').disabled, document.getElementById('next').disabled].join('|')"},)js";
    };
    const Visit desk =
        visit(out, page, "#step=1",
              R"({"width": 1280, "height": 800, "actions": [)" + settled +
                  R"({"do": "eval", "as": "count", "js": "document.body.dataset.stepCount"},)" +
                  state("start") + R"({"do": "click", "selector": "#next"},)" + settled + state("next") +
                  R"({"do": "key", "key": "ArrowRight"},)" + settled + state("right") +
                  R"({"do": "key", "key": "ArrowLeft"},)" + settled + state("left") +
                  R"({"do": "click", "selector": "#prev"},)" + settled + state("previous") +
                  R"({"do": "click", "selector": "#slider", "fx": 0.995},)" + settled + state("slider") + R"(
        {"do": "drag", "selector": "#view canvas", "dx": 150, "dy": 40},
        {"do": "eval", "as": "dragged", "js": "document.body.dataset.view"},
        {"do": "click", "selector": "#home"},)" +
                  settled +
                  R"({"do": "eval", "as": "home", "js": "document.body.dataset.view"},
        {"do": "eval", "as": "typed", "js": "location.hash = '#step=2'"},
        {"do": "wait", "js": "document.getElementById('counter').textContent.indexOf('Step 2 ') === 0"},)" +
                  settled + state("address") + R"({"do": "eval", "as": "end", "js": "1"}]})");
    EXPECT_EQ(desk.failed, std::vector<std::string>{}) << desk.output.substr(0, 3000);
    EXPECT_EQ(desk.console, std::vector<std::string>{});
    const std::string n = desk.text("count");
    ASSERT_GT(std::atoi(n.c_str()), 3);
    EXPECT_EQ(desk.text("start"), "Step 1 of " + n + "|#step=1|Parts for step 1|true|false");
    EXPECT_EQ(desk.text("next"), "Step 2 of " + n + "|#step=2|Parts for step 2|false|false");
    EXPECT_EQ(desk.text("right"), "Step 3 of " + n + "|#step=3|Parts for step 3|false|false");
    EXPECT_EQ(desk.text("left"), "Step 2 of " + n + "|#step=2|Parts for step 2|false|false");
    EXPECT_EQ(desk.text("previous"), "Step 1 of " + n + "|#step=1|Parts for step 1|true|false");
    // The slider's right end: the last step.
    EXPECT_EQ(desk.text("slider"),
              "Step " + n + " of " + n + "|#step=" + n + "|Parts for step " + n + "|false|true");
    // Orbiting leaves the step's view; the button brings it back.
    EXPECT_EQ(desk.text("dragged"), "free");
    EXPECT_EQ(desk.text("home"), "step");
    EXPECT_EQ(desk.text("address"), "Step 2 of " + n + "|#step=2|Parts for step 2|false|false");

    // A phone 360 pixels wide: nothing sticks out sideways, the model is
    // drawn and one finger turns it.
    const std::string phone = out.file("phone.png");
    const Visit small = visit(out, page, "#step=2",
                              R"({"width": 360, "height": 740, "mobile": true, "actions": [)" + settled + R"(
        {"do": "eval", "as": "wide", "js": "document.documentElement.scrollWidth"},
        {"do": "eval", "as": "right", "js": "Math.max.apply(null, Array.prototype.map.call(document.querySelectorAll('body *'), function (e) { var r = e.getBoundingClientRect(); return r.width ? r.right : 0; })) "},
        {"do": "eval", "as": "canvas", "js": "document.querySelector('#view canvas').getBoundingClientRect().height"},
        {"do": "screenshot", "file": ")" +
                                  phone + R"(", "full": true},
        {"do": "touch", "selector": "#view canvas", "dx": 80, "dy": 10},
        {"do": "eval", "as": "touched", "js": "document.body.dataset.view"},
        {"do": "click", "selector": "#home"},)" +
                                  settled + R"(
        {"do": "pinch", "selector": "#view canvas", "spread": 120},
        {"do": "eval", "as": "pinched", "js": "document.body.dataset.view"}]})");
    EXPECT_EQ(small.failed, std::vector<std::string>{}) << small.output.substr(0, 3000);
    EXPECT_EQ(small.console, std::vector<std::string>{});
    EXPECT_LE(small.number("wide"), 360);
    EXPECT_LE(small.number("right"), 360.5);
    EXPECT_GT(small.number("canvas"), 250);
    EXPECT_EQ(small.text("touched"), "free");
    // Two fingers zoom.
    EXPECT_EQ(small.text("pinched"), "free");
    const vxImage shot = vxReadPNG(phone);
    EXPECT_EQ(shot.width, 360);
    EXPECT_GT(
        countPixels(phone, 0, 0, 360, 500, [](int r, int g, int b) { return r < 200 || g < 200 || b < 200; }),
        500);
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
    EXPECT_NE(data.find("\"turn\":\"Das Modell um %1° drehen\""), std::string::npos);
}

TEST_F(CliInstructionsPage, ModelTextsAreShownAsTheyAreNewPartsAndCablesStandOutAndBadModelsAreSaid)
{
    const std::string evil = "</script><script>alert(1)</script><!--";
    writeFile(res.file("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
    writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=" + evil, "ORGNUMBER=31005"}));
    // A file name may not hold "/": its title gets the rest.
    const std::string model = res.file("<b>x<\\b><script>alert(2)<\\script>.kmf");
    // A red block, then a blue one beside it and a green cable from the
    // top of one to the top of the other (red in the colours' lowest byte).
    std::string kmf = kmfFile({-30, 30, -30}, {0, 0, 0},
                              {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x2020d0, 1},
                               {"K31005_b", {20, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xd02020, 2},
                               {"K99999_unknown", {0, 20, 0}, {0, 1, 0}, {0, 0, 1}, 0x2030c0, 2}});
    kmf.replace(kmf.find("TUBECOUNT=0"), 11, "TUBECOUNT=1");
    for (const std::string line : {"[TUBE1]", "RADIUS=0.6", "COUNT=3", "COLOR=49152", "X0=0", "Y0=5", "Z0=0",
                                   "X1=10", "Y1=15", "Z1=0", "X2=20", "Y2=5", "Z2=0"})
        kmf += line + "\r\n";
    writeFile(model, kmf);
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

    const std::string first = out.file("first.png"), second = out.file("second.png");
    const Visit v = visit(out, page, "#step=1", R"({"width": 1280, "height": 800, "actions": [
        {"do": "wait", "js": "document.body.dataset.view === 'step'"},
        {"do": "screenshot", "file": ")" + first + R"("},
        {"do": "eval", "as": "title", "js": "document.getElementById('title').textContent"},
        {"do": "eval", "as": "count", "js": "document.body.dataset.stepCount"},
        {"do": "key", "key": "ArrowRight"},
        {"do": "wait", "js": "document.body.dataset.view === 'step'"},
        {"do": "screenshot", "file": ")" + second + R"("},
        {"do": "eval", "as": "callouts", "js": "document.getElementById('callouts').textContent"},
        {"do": "eval", "as": "list", "js": "document.getElementById('partsList').textContent"}]})");
    EXPECT_EQ(v.failed, std::vector<std::string>{}) << v.output.substr(0, 3000);
    // No alert, no error.
    EXPECT_EQ(v.console, std::vector<std::string>{});
    EXPECT_EQ(v.text("count"), "2");
    // Shown as text, character for character.
    EXPECT_EQ(v.text("title"), "<b>x<\\b><script>alert(2)<\\script>");
    EXPECT_NE(v.text("list").find(evil), std::string::npos) << v.text("list");
    // The cable is fitted with the part at its second end: in step 2,
    // with its length (its two straight pieces) and its radius as thickness.
    EXPECT_NE(v.text("callouts").find("Cable or rope, 283 mm"), std::string::npos) << v.text("callouts");
    EXPECT_NE(v.text("callouts").find("6 mm thick"), std::string::npos) << v.text("callouts");
    EXPECT_NE(v.text("list").find("Cable or rope, 283 mm"), std::string::npos);

    // Step 1 shows the red block in its colour; in step 2 it is greyed
    // while the new blue block and the green cable keep their colours.
    // Vivid colours: greyed parts keep a trace of theirs.
    const auto red = [](int r, int g, int b) { return r > g + 90 && r > b + 90; };
    const auto blue = [](int r, int g, int b) { return b > r + 90 && b > g + 90; };
    const auto green = [](int r, int g, int b) { return g > r + 50 && g > b + 50; };
    const int redBefore = countPixels(first, 0, 60, 920, 720, red);
    EXPECT_GT(redBefore, 2000);
    EXPECT_EQ(countPixels(first, 0, 60, 920, 720, blue), 0);
    EXPECT_LT(countPixels(second, 0, 60, 920, 720, red), redBefore / 50)
        << redBefore << " vivid red pixels before";
    EXPECT_GT(countPixels(second, 0, 60, 920, 720, blue), 2000);
    EXPECT_GT(countPixels(second, 0, 60, 920, 720, green), 100);

    // A model without parts is refused and nothing is written.
    writeFile(res.file("empty.kmf"), kmfFile({-30, 30, -30}, {0, 0, 0}, {}));
    const CommandResult empty = runCli("instructions '" + res.file("empty.kmf") + "' '" +
                                       out.file("empty.html") + "' --resources " + res.path());
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.out.find("nothing to build"), std::string::npos) << empty.out;
    EXPECT_FALSE(std::filesystem::exists(out.file("empty.html")));
}

} // namespace
