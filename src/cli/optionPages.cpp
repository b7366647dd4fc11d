// Writes the pages the build makes from the commands' option tables:
//   kolbrik-pages man TEMPLATE OUT         each line '.\" options: COMMAND'
//                                          becomes the command's options
//   kolbrik-pages completion TEMPLATE OUT  the bash completion
#include "vxCommandOptions.h"
#include "vxOptionPages.h"

#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

namespace {

std::string manualPage(const std::string& templ, std::string& error)
{
    constexpr std::string_view kMarker = ".\\\" options: ";
    std::set<std::string_view> missing;
    for (const vxCli::CommandOptions* command : vxCli::kCommandOptions)
        missing.insert(command->name);
    std::istringstream in(templ);
    std::string out, line;
    while (std::getline(in, line)) {
        if (!line.starts_with(kMarker)) {
            out += line + "\n";
            continue;
        }
        const std::string_view name = std::string_view(line).substr(kMarker.size());
        const vxCli::CommandOptions* found = nullptr;
        for (const vxCli::CommandOptions* command : vxCli::kCommandOptions)
            if (command->name == name)
                found = command;
        if (!found) {
            error = "no command '" + std::string(name) + "'";
            return {};
        }
        out += vxCli::manualOptions(*found);
        missing.erase(found->name);
    }
    if (!missing.empty())
        error = "no options of '" + std::string(*missing.begin()) + "'";
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string what = argc == 4 ? argv[1] : "";
    if (what != "man" && what != "completion") {
        std::cerr << "usage: kolbrik-pages man|completion TEMPLATE OUT\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream templ;
    templ << in.rdbuf();
    if (!in) {
        std::cerr << "kolbrik-pages: cannot read " << argv[2] << "\n";
        return 1;
    }
    std::string error;
    const std::string page = what == "man" ? manualPage(templ.str(), error)
                                           : vxCli::completionScript(templ.str(), vxCli::kCommandOptions);
    if (!error.empty()) {
        std::cerr << "kolbrik-pages: " << argv[2] << ": " << error << "\n";
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out << page;
    if (!out.flush()) {
        std::cerr << "kolbrik-pages: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
