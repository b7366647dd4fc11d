#pragma once

#include <string>
#include <vector>

namespace vxGen {

// The stamp file of a generator: the files it wrote on its last run, one
// relative path per line. A build rule depends on it, and the next run uses
// it to remove what it no longer writes.
namespace vxStampFile {

// The files listed in the stamp at path that are not in written (nothing
// when there is no stamp yet).
std::vector<std::string> staleFiles(const std::string& path, const std::vector<std::string>& written);

// Replaces the stamp at path with written; false when it cannot be written.
bool write(const std::string& path, const std::vector<std::string>& written);

} // namespace vxStampFile

} // namespace vxGen
