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

} // namespace vxVrml
