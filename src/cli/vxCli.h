#pragma once

#include "vxOptions.h"

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

// Largest picture side the drawing commands accept, in pixels (named in
// the option texts of vxCommandOptions.h).
inline constexpr int kMaxPictureSize = 16384;

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

} // namespace vxCli
