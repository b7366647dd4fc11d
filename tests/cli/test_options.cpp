// The commands' option tables and what is made of them: the reading of a
// command line, --help, the manual's option lists and the bash completion.
#include "vxCli.h"
#include "vxCommandOptions.h"
#include "vxOptionPages.h"
#include "vxResources.h"
#include "vxTestResources.h"

#include <gtest/gtest.h>

#include <iostream>
#include <set>
#include <sstream>

using namespace vxCli;

namespace {

constexpr Option kTestOptionList[] = {
    {.name = "--flag", .help = "a flag", .manual = "A flag."},
    {.name = "--number",
     .value = "N",
     .needs = "a whole number",
     .help = "a number\nof two lines",
     .manual = "N."},
    {.name = "--a-very-long-option",
     .value = "WITH,A,VALUE",
     .needs = "a value",
     .help = "on a line of its own",
     .manual = "Long."},
    {.name = "--view",
     .value = "NAME",
     .needs = "one of up, down",
     .help = "a word",
     .manual = "W.",
     .completion = ValueCompletion::kWords,
     .words = "up down"},
    {.name = "--resources",
     .value = "DIR",
     .needs = "a folder",
     .help = "folder",
     .completion = ValueCompletion::kFolder},
};
constexpr CommandOptions kTest = {.name = "test",
                                  .summary = "a command to test with",
                                  .about = "usage: kolbrik test FILE\n\nTests.\n",
                                  .arguments = "kmf png",
                                  .options = kTestOptionList};

// Reads args by kTest, with what it writes on stdout and stderr.
struct Read {
    explicit Read(std::vector<std::string> args)
    {
        std::ostringstream outText, errText;
        std::streambuf* outBefore = std::cout.rdbuf(outText.rdbuf());
        std::streambuf* errBefore = std::cerr.rdbuf(errText.rdbuf());
        arguments.emplace(kTest, args);
        std::cout.rdbuf(outBefore);
        std::cerr.rdbuf(errBefore);
        out = outText.str();
        err = errText.str();
    }
    std::optional<Arguments> arguments;
    std::string out, err;
};

// Runs f with stderr gathered, and returns what it wrote there.
template <class F> std::string stderrOf(F f)
{
    std::ostringstream text;
    std::streambuf* before = std::cerr.rdbuf(text.rdbuf());
    f();
    std::cerr.rdbuf(before);
    return text.str();
}

} // namespace

// Options anywhere among the other arguments; a value is the next argument
// whatever it looks like; the last value of a repeated option counts, but
// every one given must be good.
TEST(Options, ReadsFlagsValuesAndOtherArgumentsByTheTable)
{
    Read r({"a.kmf", "--number", "-3", "--flag", "b.png", "--number", "4", "--view", "down", ""});
    ASSERT_FALSE(r.arguments->exit());
    EXPECT_EQ(r.arguments->operands(), (std::vector<std::string>{"a.kmf", "b.png", ""}));
    EXPECT_TRUE(r.arguments->has("--flag"));
    EXPECT_FALSE(r.arguments->has("--resources"));
    std::optional<std::int32_t> n;
    EXPECT_TRUE(r.arguments->readWholeNumber("--number", n));
    EXPECT_EQ(n, 4);
    EXPECT_EQ(r.arguments->wordOf("--view", "down"), 1u);
    EXPECT_EQ(r.arguments->wordOf("--view", "Down"), std::nullopt);
    EXPECT_EQ(r.arguments->wordOf("--view", "up down"), std::nullopt);
    EXPECT_EQ(r.out + r.err, "");

    Read bad({"--number", "x", "--number", "4"});
    ASSERT_FALSE(bad.arguments->exit());
    EXPECT_EQ(stderrOf([&] { EXPECT_FALSE(bad.arguments->readWholeNumber("--number", n)); }),
              "kolbrik: test: --number needs a whole number\n");
    Read none({});
    EXPECT_TRUE(none.arguments->readWholeNumber("--number", n)) << "an option not given is no error";
}

// An unknown option is a usage error (with the help), an option without its
// value an error (without it); --help wins over what follows it.
TEST(Options, ReportsUnknownOptionsAndMissingValuesAndPrintsHelp)
{
    const std::string help = helpText(kTest);
    const struct {
        std::vector<std::string> args;
        std::optional<int> exit;
        std::string out, err;
    } cases[] = {
        {{"a", "--frob"}, 2, "", "kolbrik: test: unknown option --frob\n" + help},
        {{"-x"}, 2, "", "kolbrik: test: unknown option -x\n" + help},
        {{"-"}, std::nullopt, "", ""}, // an operand: standard output
        {{"--Flag"}, 2, "", "kolbrik: test: unknown option --Flag\n" + help},
        {{"a", "--number"}, 2, "", "kolbrik: test: --number needs a whole number\n"},
        {{"--view"}, 2, "", "kolbrik: test: --view needs one of up, down\n"},
        {{"--number", "--help"}, std::nullopt, "", ""}, // --help is --number's value
        {{"a", "--help", "--frob"}, 0, help, ""},
        {{"-h"}, 0, help, ""},
        {{"--resources"}, 2, "", "kolbrik: --resources needs a folder\n"},
        {{"--help", "--resources"}, 2, "", "kolbrik: --resources needs a folder\n"},
    };
    for (const auto& c : cases) {
        Read r(c.args);
        EXPECT_EQ(r.arguments->exit(), c.exit) << c.args[0];
        EXPECT_EQ(r.out, c.out) << c.args[0];
        EXPECT_EQ(r.err, c.err) << c.args[0];
    }
}

// --resources DIR is taken out first, wherever it stands, even as another
// option's value.
TEST(Options, TakesTheResourceFolderFirst)
{
    vxTest::ResourceFolder keep(vxResources::resourceFolderPath());
    Read r({"a", "--number", "--resources", "/some/where", "5"});
    ASSERT_FALSE(r.arguments->exit());
    EXPECT_EQ(vxResources::resourceFolderPath(), "/some/where");
    EXPECT_EQ(r.arguments->operands(), std::vector<std::string>{"a"});
    std::optional<std::int32_t> n;
    EXPECT_TRUE(r.arguments->readWholeNumber("--number", n));
    EXPECT_EQ(n, 5);
}

// The help: the about text, a blank line, then each option with its text
// from column 20, a name too long for that on a line of its own.
TEST(Options, HelpListsTheOptionsInTwoColumns)
{
    EXPECT_EQ(helpText(kTest), "usage: kolbrik test FILE\n"
                               "\n"
                               "Tests.\n"
                               "\n"
                               "  --flag            a flag\n"
                               "  --number N        a number\n"
                               "                    of two lines\n"
                               "  --a-very-long-option WITH,A,VALUE\n"
                               "                    on a line of its own\n"
                               "  --view NAME       a word\n"
                               "  --resources DIR   folder\n");
}

// What anyone adding an option could get wrong: every table is checked.
TEST(Options, EveryCommandsTableIsComplete)
{
    for (const CommandOptions* command : kCommandOptions) {
        SCOPED_TRACE(std::string(command->name));
        EXPECT_FALSE(command->summary.empty());
        EXPECT_TRUE(command->about.starts_with("usage: kolbrik " + std::string(command->name)));
        EXPECT_TRUE(command->about.ends_with("\n"));
        EXPECT_FALSE(command->arguments.empty());
        std::set<std::string_view> names;
        for (const Option& o : command->options) {
            SCOPED_TRACE(std::string(o.name));
            EXPECT_TRUE(o.name.starts_with("--") && o.name.size() > 2);
            EXPECT_TRUE(names.insert(o.name).second) << "named twice";
            EXPECT_NE(o.name, "--help");
            EXPECT_EQ(o.value.empty(), o.needs.empty()) << "a value and what it needs go together";
            EXPECT_EQ(o.words.empty(), o.completion != ValueCompletion::kWords);
            EXPECT_TRUE(o.completion == ValueCompletion::kNothing || !o.value.empty());
            EXPECT_FALSE(o.help.empty());
            EXPECT_FALSE(o.help.ends_with("\n"));
            EXPECT_EQ(o.manual.empty(), o.name == "--resources")
                << "the manual describes it for every command";
            // The manual's markup comes in pairs.
            EXPECT_EQ(std::count(o.manual.begin(), o.manual.end(), '*') % 2, 0);
            EXPECT_EQ(std::count(o.manual.begin(), o.manual.end(), '_') % 2, 0);
        }
        EXPECT_TRUE(names.count("--resources"));
        std::istringstream help(helpText(*command));
        for (std::string line; std::getline(help, line);)
            EXPECT_LE(line.size(), 100u) << line;
    }
    const std::string size = std::to_string(kMaxPictureSize);
    EXPECT_NE(optionNamed(kRenderOptions, "--size")->needs.find(size), std::string_view::npos);
    EXPECT_NE(optionNamed(kRenderPartsOptions, "--size")->needs.find(size), std::string_view::npos);
}

// The manual's entries: the name bold, the value italic, *bold* and _italic_
// words, a minus for each dash that starts a word, a sentence a line, a line
// never starting with a control character; --resources is left to the page.
TEST(OptionPages, ManualEntriesAreRoffOfTheTable)
{
    constexpr Option options[] = {
        {.name = "--paint-white",
         .help = "h",
         .manual = "With *--phase*, from -z to +x. Never a one-sided fix."},
        {.name = "--size",
         .value = "WxH",
         .needs = "n",
         .help = "h",
         .manual = "Size _W_ by _H_. .hidden 'quote\\"},
        {.name = "--resources", .value = "DIR", .needs = "n", .help = "h"},
    };
    const CommandOptions command = {.name = "c", .options = options};
    EXPECT_EQ(manualOptions(command), ".TP\n"
                                      ".B \\-\\-paint\\-white\n"
                                      "With \\fB\\-\\-phase\\fR, from \\-z to +x.\n"
                                      "Never a one-sided fix.\n"
                                      ".TP\n"
                                      ".BI \\-\\-size \" WxH\"\n"
                                      "Size \\fIW\\fR by \\fIH\\fR.\n"
                                      "\\&.hidden 'quote\\e\n");
}

// The completion: every command's options, those that take a value and its
// arguments' kinds; folders, words and values with nothing to offer.
TEST(OptionPages, CompletionCasesComeFromTheTables)
{
    const CommandOptions* commands[] = {&kTest, &kInfoOptions};
    const std::string script = completionScript("[@COMMANDS@]\n@ARGUMENTS@\n--\n@VALUES@\nend\n", commands);
    EXPECT_EQ(
        script,
        "[test info]\n"
        "        test)         options=\"--flag --number --a-very-long-option --view --resources\"; "
        "takesValue=\"--number --a-very-long-option --view --resources\"; files=\"kmf png\" ;;\n"
        "        info)         options=\"--json --resources\"; takesValue=\"--resources\"; files=\"kmf\" ;;\n"
        "--\n"
        "        \"test --resources\" | \"info --resources\")\n"
        "            compopt -o filenames 2>/dev/null\n"
        "            mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")\n"
        "            return ;;\n"
        "        \"test --view\")\n"
        "            mapfile -t COMPREPLY < <(compgen -W \"up down\" -- \"$cur\")\n"
        "            return ;;\n"
        "        \"test --number\" | \"test --a-very-long-option\")\n"
        "            return ;;\n"
        "end\n");
}
