#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class vxModel;
struct vxLoadFinding;

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

// Writes findings as "kolbrik: warning: ..." lines on stderr.
void printWarnings(const std::vector<vxLoadFinding>& findings);
// Writes what a load left out, and then what the model's part types lack.
void printFindings(const vxModel& model, const std::vector<vxLoadFinding>& findings);

// Refuses (with a message on stderr, returning false) to write output over
// the model being read, under whatever name.
bool mayWrite(const std::string& model, const std::string& output);

// Flushes standard output; false when what was written to it is lost (the
// reason is kept for finishOutput).
bool flushOutput();
// Flushes standard output and closes it: a command whose output was lost
// (a full disk, a closed pipe) fails with a message even when its work went
// well. Returns the exit status to give.
int finishOutput(int status);

// The value of an option that takes a whole number ("--phase 3"): the
// whole text in decimal, or nullopt.
std::optional<std::int32_t> wholeNumber(const std::string& text);

} // namespace vxCli
