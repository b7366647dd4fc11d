#pragma once

#include "vxExport.h"

#include <cstddef>
#include <functional>
#include <string>

namespace vxVrml {

// Writes the scene as VRML 1.0 text: one transform-separator block per
// scene object with triangles, numbered by its index in the scene list.
// keep(i), when given, says whether object i is written; one left out uses
// up its number as an object without triangles does.
void write(const vxExportSource& source, vxByteSink& out, const std::function<bool(std::size_t)>& keep = {});

// The text that write puts out for every object.
std::string text(const vxExportSource& source);

} // namespace vxVrml
