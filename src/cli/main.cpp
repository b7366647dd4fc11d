#include "vxAtomicFile.h"
#include "vxCli.h"
#include "vxCommandOptions.h"
#include "vxResources.h"
#include "vxVersion.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <unistd.h>

namespace {

struct Command {
    // Null for a drawing command that this program hands on (see below).
    int (*run)(const std::vector<std::string>&);
    const vxCli::CommandOptions& options;
};

// The drawing commands run here in the program linked with the view; the
// plain `kolbrik` lists them too, and hands them on to that program.
#if defined(KOLBRIK_CLI_GL)
#define KOLBRIK_DRAWING(command) vxCli::command
#elif defined(KOLBRIK_CLI_HANDS_ON_DRAWING)
#define KOLBRIK_DRAWING(command) nullptr
#endif

const std::map<std::string_view, Command>& commands()
{
    static const std::map<std::string_view, Command> table = [] {
        const Command all[] = {
            {vxCli::cmdInfo, vxCli::kInfoOptions},
            {vxCli::cmdParts, vxCli::kPartsOptions},
#ifdef KOLBRIK_DRAWING
            {KOLBRIK_DRAWING(cmdRender), vxCli::kRenderOptions},
            {KOLBRIK_DRAWING(cmdRenderParts), vxCli::kRenderPartsOptions},
            {KOLBRIK_DRAWING(cmdExport), vxCli::kExportOptions},
#ifdef KOLBRIK_CLI_BOOKLET
            {KOLBRIK_DRAWING(cmdInstructions), vxCli::kInstructionsOptions},
#endif
#endif
        };
        std::map<std::string_view, Command> byName;
        for (const Command& c : all)
            byName.emplace(c.options.name, c);
        return byName;
    }();
    return table;
}

// The drawing program, in libexec/kolbrik-viewer/ beside the bin/ folder of
// this one. This process becomes it, with the same arguments and the
// resource folder this one would use (a --resources among the arguments
// still comes first); it returns only when that fails.
int handOnToDrawingProgram(char** argv)
{
    const std::string program = (std::filesystem::path(vxResources::programFolder()) / ".." / "libexec" /
                                 "kolbrik-viewer" / "kolbrik-draw")
                                    .lexically_normal()
                                    .string();
    ::setenv("KOLBRIK_RESOURCES", vxResources::resourceFolderPath().c_str(), 1);
    ::execv(program.c_str(), argv);
    const int error = errno;
    vxCli::fail("cannot start the drawing program " + program + " for '" + argv[1] +
                "': " + std::strerror(error));
    return 1;
}

void usage(std::ostream& o)
{
    o << "usage: kolbrik COMMAND [ARGS...]\n\nCommands:\n";
    for (const auto& [name, c] : commands())
        o << "  " << name << std::string(name.size() < 14 ? 14 - name.size() : 1, ' ') << c.options.summary
          << "\n";
    o << "\n'kolbrik COMMAND --help' describes a command; 'kolbrik --version' prints the version.\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage(std::cerr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        usage(std::cout);
        return vxCli::finishOutput(0);
    }
    if (name == "--version") {
        std::cout << "kolbrik (Kolbrik Viewer) " << kKolbrikVersion << "\n";
        return vxCli::finishOutput(0);
    }
    auto it = commands().find(name);
    if (it == commands().end()) {
        vxCli::fail("unknown command '" + name + "'");
        usage(std::cerr);
        return 2;
    }
    if (!it->second.run)
        return handOnToDrawingProgram(argv);
    vxRemoveTemporaryFilesOnSignals();
    std::vector<std::string> args(argv + 2, argv + argc);
    return vxCli::finishOutput(it->second.run(args));
}
