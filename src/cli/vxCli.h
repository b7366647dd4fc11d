#pragma once

#include <string>
#include <vector>

// The subcommands of the kolbrik command-line tool. Each takes the
// arguments after its name and returns the process exit status.
namespace vxCli {

int cmdInfo(const std::vector<std::string>& args);
int cmdParts(const std::vector<std::string>& args);
// Drawing commands (built with the OpenGL view).
int cmdRender(const std::vector<std::string>& args);
int cmdRenderParts(const std::vector<std::string>& args);
int cmdExport(const std::vector<std::string>& args);
int cmdInstructions(const std::vector<std::string>& args);

// Largest picture side the drawing commands accept, in pixels.
inline constexpr int kMaxPictureSize = 16384;

// Takes "--resources DIR" out of args and applies it. Returns false (with a
// message on stderr) when the option lacks its value.
bool takeResourcesOption(std::vector<std::string>& args);

// Writes "kolbrik: <message>" on stderr.
void fail(const std::string& message);

} // namespace vxCli
