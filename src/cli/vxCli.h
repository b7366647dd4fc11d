#pragma once

#include "vxOptions.h"

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

// Largest picture side the drawing commands accept, in pixels (named in
// the option texts of vxCommandOptions.h).
inline constexpr int kMaxPictureSize = 16384;

} // namespace vxCli
