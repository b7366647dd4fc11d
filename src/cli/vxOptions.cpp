#include "vxOptions.h"
#include "vxJson.h"
#include "vxResources.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>

namespace vxCli {

namespace {

constexpr std::string_view kResources = "--resources";

std::string prefixed(const CommandOptions& command, const std::string& message)
{
    return std::string(command.name) + ": " + message;
}

} // namespace

void fail(const std::string& message)
{
    // Messages name files, whose names must not drive the terminal either.
    std::cerr << "kolbrik: " << vxJson::printable(message) << "\n";
}

std::optional<std::int32_t> wholeNumber(const std::string& text)
{
    std::int32_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return n;
}

bool takeResourcesOption(std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == kResources) {
            if (i + 1 >= args.size()) {
                fail("--resources needs a folder");
                return false;
            }
            vxResources::setResourceFolder(args[i + 1]);
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            --i;
        }
    }
    return true;
}

std::string helpText(const CommandOptions& command)
{
    // "  --name VALUE" and the description's first line from column 20; a
    // longer name stands on a line of its own.
    constexpr std::size_t kColumn = 20;
    std::string text(command.about);
    text += "\n";
    for (const Option& o : command.options) {
        std::string label = "  " + std::string(o.name);
        if (!o.value.empty())
            label += " " + std::string(o.value);
        text += label;
        text += label.size() < kColumn ? std::string(kColumn - label.size(), ' ')
                                       : "\n" + std::string(kColumn, ' ');
        for (char c : o.help)
            text += c == '\n' ? "\n" + std::string(kColumn, ' ') : std::string(1, c);
        text += "\n";
    }
    return text;
}

Arguments::Arguments(const CommandOptions& command, const std::vector<std::string>& argsIn)
    : m_command(command)
{
    std::vector<std::string> args = argsIn;
    if (!takeResourcesOption(args)) {
        m_exit = 2;
        return;
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << helpText(command);
            m_exit = 0;
            return;
        }
        if (a.empty() || a[0] != '-' || a == "-") { // "-" alone is standard output
            m_operands.push_back(a);
            continue;
        }
        const Option* option = optionNamed(command, a);
        if (!option) {
            m_exit = usageError("unknown option " + a);
            return;
        }
        if (option->value.empty()) {
            m_given.emplace_back(option, std::string());
        } else if (i + 1 < args.size()) {
            m_given.emplace_back(option, args[++i]);
        } else {
            m_exit = error(std::string(a) + " needs " + std::string(option->needs));
            return;
        }
    }
}

bool Arguments::has(std::string_view name) const
{
    for (const auto& given : m_given)
        if (given.first->name == name)
            return true;
    return false;
}

bool Arguments::read(std::string_view name, const std::function<bool(const std::string&)>& read) const
{
    for (const auto& [option, value] : m_given) {
        if (option->name == name && !read(value)) {
            error(std::string(name) + " needs " + std::string(option->needs));
            return false;
        }
    }
    return true;
}

bool Arguments::readWholeNumber(std::string_view name, std::optional<std::int32_t>& number) const
{
    return read(name, [&](const std::string& value) { return (number = wholeNumber(value)).has_value(); });
}

const std::string* Arguments::modelFile() const
{
    if (m_operands.empty())
        usageError("no model file given");
    else if (m_operands.size() > 1)
        error("more than one model file given");
    return m_operands.size() == 1 ? &m_operands[0] : nullptr;
}

std::optional<std::size_t> Arguments::wordOf(std::string_view name, std::string_view value) const
{
    const Option* option = optionNamed(m_command, name);
    std::string_view words = option ? option->words : std::string_view();
    for (std::size_t i = 0; !words.empty(); ++i) {
        const std::size_t end = std::min(words.find(' '), words.size());
        if (words.substr(0, end) == value)
            return i;
        words.remove_prefix(std::min(end + 1, words.size()));
    }
    return std::nullopt;
}

int Arguments::usageError(const std::string& message) const
{
    fail(prefixed(m_command, message));
    std::cerr << helpText(m_command);
    return 2;
}

int Arguments::error(const std::string& message) const
{
    fail(prefixed(m_command, message));
    return 2;
}

std::optional<std::vector<float>> numberList(const std::string& text, std::size_t count)
{
    std::vector<float> v(count);
    const char* p = text.data();
    const char* end = p + text.size();
    for (std::size_t i = 0; i < count; ++i) {
        const auto [next, ec] = std::from_chars(p, end, v[i]);
        if (ec != std::errc() || !std::isfinite(v[i]))
            return std::nullopt;
        p = next;
        if (i + 1 < count) {
            if (p == end || *p != ',')
                return std::nullopt;
            ++p;
        }
    }
    if (p != end)
        return std::nullopt;
    return v;
}

} // namespace vxCli
