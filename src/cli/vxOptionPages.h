#pragma once

#include "vxOptions.h"

#include <span>
#include <string>

// The texts the build makes from the commands' option tables.
namespace vxCli {

// The manual's entries for the command's options (roff: a .TP paragraph
// each), all but --resources, which the manual describes for every command.
std::string manualOptions(const CommandOptions& command);

// The bash completion: the template's @COMMANDS@ becomes the commands'
// names, a line @ARGUMENTS@ one case per command (its options, those of
// them that take a value, the kinds of its other arguments) and a line
// @VALUES@ one case per option value that the shell can offer.
std::string completionScript(std::string_view templ, std::span<const CommandOptions* const> commands);

} // namespace vxCli
