#include "vxAtomicFile.h"
#include "vxCli.h"
#include "vxJson.h"
#include "vxLoadFindings.h"
#include "vxModel.h"
#include "vxResources.h"
#include "vxVersion.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <unistd.h>

namespace vxCli {

void fail(const std::string& message)
{
    // Messages name files, whose names must not drive the terminal either.
    std::cerr << "kolbrik: " << vxJson::printable(message) << "\n";
}

int usageError(const std::string& message, const char* help)
{
    fail(message);
    std::cerr << help;
    return 2;
}

void printWarnings(const std::vector<vxLoadFinding>& findings)
{
    for (const vxLoadFinding& f : findings)
        std::cerr << "kolbrik: warning: " << vxJson::printable(f.message) << "\n";
}

void printFindings(const vxModel& model, const std::vector<vxLoadFinding>& findings)
{
    printWarnings(findings);
    std::vector<vxLoadFinding> meshes;
    vxLoadFindings::addMeshFindings(model, meshes);
    printWarnings(meshes);
}

bool mayWrite(const std::string& model, const std::string& output)
{
    const vxWriteResult r = vxRefuseToOverwrite(model, output);
    if (!r)
        fail(r.error);
    return r.ok;
}

namespace {
int g_outputError = 0; // the reason the first flush of standard output failed
} // namespace

bool flushOutput()
{
    errno = 0;
    std::cout.flush();
    const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout.good();
    if (lost && g_outputError == 0)
        g_outputError = errno;
    return !lost;
}

int finishOutput(int status)
{
    bool lost = !flushOutput();
    if (!lost && ::close(STDOUT_FILENO) != 0 && errno != EBADF) {
        lost = true;
        g_outputError = errno;
    }
    if (!lost)
        return status;
    fail(std::string("cannot write standard output") +
         (g_outputError ? std::string(": ") + std::strerror(g_outputError) : ""));
    return status == 0 ? 1 : status;
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
        if (args[i] == "--resources") {
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

} // namespace vxCli

namespace {

struct Command {
    // Null for a drawing command that this program hands on (see below).
    int (*run)(const std::vector<std::string>&);
    const char* summary;
};

// The drawing commands run here in the program linked with the view; the
// plain `kolbrik` lists them too, and hands them on to that program.
#if defined(KOLBRIK_CLI_GL)
#define KOLBRIK_DRAWING(command) vxCli::command
#elif defined(KOLBRIK_CLI_HANDS_ON_DRAWING)
#define KOLBRIK_DRAWING(command) nullptr
#endif

const std::map<std::string, Command>& commands()
{
    static const std::map<std::string, Command> table = {
        {"info", {vxCli::cmdInfo, "print what a model file holds (text or --json)"}},
        {"parts", {vxCli::cmdParts, "list the parts of a model or of one phase (text or --json)"}},
#ifdef KOLBRIK_DRAWING
        {"render", {KOLBRIK_DRAWING(cmdRender), "draw a model off-screen and save it as PNG"}},
        {"render-parts", {KOLBRIK_DRAWING(cmdRenderParts), "draw a picture of every part type"}},
        {"export", {KOLBRIK_DRAWING(cmdExport), "write a model as glTF, STL, OBJ or VRML"}},
#ifdef KOLBRIK_CLI_BOOKLET
        {"instructions",
         {KOLBRIK_DRAWING(cmdInstructions), "write a model's building instructions as a PDF booklet"}},
#endif
#endif
    };
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
        o << "  " << name << std::string(name.size() < 14 ? 14 - name.size() : 1, ' ') << c.summary << "\n";
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
