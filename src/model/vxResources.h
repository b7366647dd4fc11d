#pragma once

#include <optional>
#include <string>

// The application's resource folder: part definitions (.def), meshes (.stl),
// part pictures (.png), the model library and the translations.
//
// Located, in this order: a folder set with setResourceFolder (the CLI's
// --resources, tests), the environment variable KOLBRIK_RESOURCES, and
// <folder of the executable>/../share/kolbrik-viewer. The build tree and an
// installed tree have the same layout.
namespace vxResources {

// Overrides the resource folder for this process; an empty text clears the
// override.
void setResourceFolder(const std::string& folder);

// The path of the resource folder (without a trailing slash).
std::string resourceFolderPath();

// The folder the running program lies in, or "." when it cannot be told.
std::string programFolder();

// The path of the file name.type in subFolder of the resource folder, or
// nullopt when there is no such regular file. Names are used exactly as
// given; a name, type or sub-folder that would leave the resource folder
// (a "/" in name or type, ".." components) finds nothing.
std::optional<std::string> resourcePath(const std::string& name, const std::string& type,
                                        const std::string& subFolder);

} // namespace vxResources
