#pragma once

#include "vxBookletPictures.h"
#include "vxBookletSteps.h"
#include "vxOptions.h"

#include <QSize>

#include <optional>
#include <string>
#include <vector>

namespace vxCli {

// The options that, given after `kolbrik render MODEL OUT.png`, draw the
// booklet picture again pixel for pixel: it was drawn at `drawn` and scaled
// down to its size. `resources` is added as --resources when not empty.
std::vector<std::string> bookletRenderArguments(const vxBookletRender& render, QSize drawn,
                                                const std::string& resources);

// Loads the model for the booklet's pictures; false, the reason told on
// stderr ("COMMAND: ..."), when it cannot be drawn or read. What the file
// leaves out is told as well.
bool loadBookletModel(vxBookletPictures& pictures, const std::string& command, const std::string& path);

// `kolbrik render --booklet`: the picture as the booklet draws it, the
// camera and look from the options.
int renderBookletPicture(const Arguments& args, const std::vector<std::string>& files);

} // namespace vxCli
