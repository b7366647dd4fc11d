#pragma once

#include "vxOpenGLView.h"

#include <string>
#include <string_view>

// Pieces of the VRML export that are worth testing on their own.
namespace vxVrml {

// Appends f, widened to double, exactly as printf("%f") prints it in the C
// locale: fixed-point, six decimals, a point as decimal separator whatever
// the process locale ("nan", "-nan", "inf" and "-inf" for the non-finite).
void appendFixed(std::string& out, float f);

// Writes bytes to path atomically: into a new temporary file in the target's
// folder, flushed to disk, then renamed over the target. An existing target
// keeps its permission bits. On failure the target is untouched, the
// temporary file is removed, and the reason is returned as
// "cannot write PATH: REASON".
vxWriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace vxVrml
