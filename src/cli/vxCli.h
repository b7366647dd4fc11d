#pragma once

#include <cstdint>
#include <optional>
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

// Writes "kolbrik: <message>" on stderr, its control characters escaped.
void fail(const std::string& message);

// A usage error: the message, then the command's help, on stderr; returns
// the exit status 2.
int usageError(const std::string& message, const char* help);

// The value of an option that takes a whole number ("--phase 3"): the
// whole text in decimal, or nullopt.
std::optional<std::int32_t> wholeNumber(const std::string& text);

} // namespace vxCli
