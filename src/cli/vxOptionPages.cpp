#include "vxOptionPages.h"

namespace vxCli {

namespace {

// An option's manual paragraph in roff: *bold* and _italic_ words, a minus
// for every dash that starts a word ("-z", "--phase"), one sentence a line.
std::string roff(std::string_view text)
{
    std::string out;
    bool bold = false, italic = false;
    char previous = ' ';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (out.empty() || out.back() == '\n') {
            if (c == ' ')
                continue;
            if (c == '.' || c == '\'')
                out += "\\&";
        }
        if (c == '*') {
            out += (bold = !bold) ? "\\fB" : "\\fR";
        } else if (c == '_') {
            out += (italic = !italic) ? "\\fI" : "\\fR";
        } else if (c == '-') {
            out += std::string_view(" (*_-").find(previous) != std::string_view::npos ? "\\-" : "-";
        } else if (c == '\\') {
            out += "\\e";
        } else if (c == ' ' && previous == '.') {
            out += '\n';
        } else {
            out += c;
        }
        previous = c;
    }
    return out + "\n";
}

std::string escapedName(std::string_view name)
{
    std::string out;
    for (char c : name)
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

// Replaces every "@token@" in text with what.
void replace(std::string& text, std::string_view token, const std::string& what)
{
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + what.size()))
        text.replace(at, token.size(), what);
}

} // namespace

std::string manualOptions(const CommandOptions& command)
{
    std::string out;
    for (const Option& o : command.options) {
        if (o.name == "--resources")
            continue;
        out += ".TP\n";
        out += o.value.empty() ? ".B " + escapedName(o.name)
                               : ".BI " + escapedName(o.name) + " \" " + std::string(o.value) + "\"";
        out += "\n" + roff(o.manual);
    }
    return out;
}

std::string completionScript(std::string_view templ, std::span<const CommandOptions* const> commands)
{
    // The values: folders, and nothing to offer, one case each; each word
    // list a case of its own.
    std::string names, arguments, folders, nothing, words;
    auto alternative = [](std::string& patterns, const std::string& pattern) {
        patterns += (patterns.empty() ? "" : " | ") + pattern;
    };
    for (const CommandOptions* command : commands) {
        const std::string name(command->name);
        names += (names.empty() ? "" : " ") + name;
        std::string options, takesValue;
        for (const Option& o : command->options) {
            options += (options.empty() ? "" : " ") + std::string(o.name);
            if (o.value.empty())
                continue;
            takesValue += (takesValue.empty() ? "" : " ") + std::string(o.name);
            const std::string pattern = "\"" + name + " " + std::string(o.name) + "\"";
            if (o.completion == ValueCompletion::kFolder)
                alternative(folders, pattern);
            else if (o.completion == ValueCompletion::kWords)
                words += "        " + pattern + ")\n            mapfile -t COMPREPLY < <(compgen -W \"" +
                         std::string(o.words) + "\" -- \"$cur\")\n            return ;;\n";
            else
                alternative(nothing, pattern);
        }
        arguments += "        " + name + ")" + std::string(name.size() < 13 ? 13 - name.size() : 1, ' ') +
                     "options=\"" + options + "\"; takesValue=\"" + takesValue + "\"; files=\"" +
                     std::string(command->arguments) + "\" ;;\n";
    }
    std::string values;
    if (!folders.empty())
        values += "        " + folders +
                  ")\n            compopt -o filenames 2>/dev/null\n"
                  "            mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")\n            return ;;\n";
    values += words;
    if (!nothing.empty())
        values += "        " + nothing + ")\n            return ;;\n";
    std::string out(templ);
    replace(out, "@COMMANDS@", names);
    replace(out, "@ARGUMENTS@\n", arguments);
    replace(out, "@VALUES@\n", values);
    return out;
}

} // namespace vxCli
