#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The options of a command, declared once in a table (vxCommandOptions.h):
// the command reads its arguments by it, prints its --help from it, and the
// build writes the bash completion and the manual's option lists from it.
namespace vxCli {

// What the shell offers for an option's value.
enum class ValueCompletion { kNothing, kFolder, kWords };

struct Option {
    std::string_view name = {};  // "--phase"
    std::string_view value = {}; // its value's placeholder ("N"); empty for an option without a value
    // What a missing or bad value lacks: "--phase needs a whole number".
    std::string_view needs = {};
    // The description in --help; '\n' between its lines.
    std::string_view help = {};
    // The manual's paragraph: sentences, *bold* and _italic_ words.
    std::string_view manual = {};
    ValueCompletion completion = ValueCompletion::kNothing;
    std::string_view words = {}; // the values offered, apart by spaces (kWords)
};

struct CommandOptions {
    std::string_view name = {};    // "render"
    std::string_view summary = {}; // its line in `kolbrik --help`
    // The start of --help: the usage line and what the command does.
    std::string_view about = {};
    // The kind of each other argument, for the shell (the last kind repeats):
    // a file extension, several as "wrl|stl", or "part" for a part type.
    std::string_view arguments = {};
    std::span<const Option> options = {};
};

// The number of words in an option's words.
constexpr std::size_t wordCount(std::string_view words)
{
    std::size_t n = words.empty() ? 0 : 1;
    for (char c : words)
        n += c == ' ';
    return n;
}

// The command's option of that name, or null.
constexpr const Option* optionNamed(const CommandOptions& command, std::string_view name)
{
    for (const Option& o : command.options)
        if (o.name == name)
            return &o;
    return nullptr;
}

// Takes "--resources DIR" out of args and applies it. Returns false (with a
// message on stderr) when the option lacks its value.
bool takeResourcesOption(std::vector<std::string>& args);

// The arguments of a command, read by its table.
class Arguments {
  public:
    // Reads args: "--resources DIR" is applied first, wherever it stands;
    // --help (or -h) prints the help; an unknown option or one without its
    // value is reported. Then exit() holds the status to exit with.
    Arguments(const CommandOptions& command, const std::vector<std::string>& args);

    std::optional<int> exit() const { return m_exit; }
    // The arguments that are no options, in their order.
    const std::vector<std::string>& operands() const { return m_operands; }
    bool has(std::string_view name) const;

    // Hands every value given to the option to read, in order; the first it
    // refuses is reported ("render: --size needs ...") and false returned.
    bool read(std::string_view name, const std::function<bool(const std::string&)>& read) const;
    // read() of a whole number ("--phase 3"); the last value given wins.
    bool readWholeNumber(std::string_view name, std::optional<std::int32_t>& number) const;

    // The one model file of a command that reads one; null, the error
    // reported, when there is none or more.
    const std::string* modelFile() const;
    // Which of the option's words the value is (0 for the first), if any.
    std::optional<std::size_t> wordOf(std::string_view name, std::string_view value) const;

    // "COMMAND: message" on stderr, then the command's help; returns 2.
    int usageError(const std::string& message) const;
    // "COMMAND: message" on stderr; returns 2.
    int error(const std::string& message) const;

  private:
    const CommandOptions& m_command;
    std::vector<std::string> m_operands;
    std::vector<std::pair<const Option*, std::string>> m_given; // with their values
    std::optional<int> m_exit;
};

// The command's --help: its about text, a blank line and the options.
std::string helpText(const CommandOptions& command);

// Writes "kolbrik: <message>" on stderr, its control characters escaped.
void fail(const std::string& message);

// The value of an option that takes a whole number ("--phase 3"): the
// whole text in decimal, or nullopt.
std::optional<std::int32_t> wholeNumber(const std::string& text);

// The value of an option that takes `count` finite numbers apart by commas
// ("1.5,2,-3"), or nullopt.
std::optional<std::vector<float>> numberList(const std::string& text, std::size_t count);

} // namespace vxCli
