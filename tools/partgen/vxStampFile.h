#pragma once

#include <string>
#include <vector>

// The stamp file of a generator: the files it wrote on its last run, one
// relative path per line. A build rule depends on it, and the next run uses
// it to remove what it no longer writes.
namespace vxGen::vxStampFile {

// After a generator wrote the files `written` (paths relative to folder):
// removes from folder each file the stamp at stampPath lists but written
// does not, together with the files made beside it (the same path with each
// of the companions' extensions) and the folders that leaves empty, but
// never anything outside folder or with an extension that is not one of the
// generator's own (extensions); then replaces the stamp with written. False
// when the stamp cannot be written.
bool update(const std::string& stampPath, const std::string& folder, const std::vector<std::string>& written,
            const std::vector<std::string>& extensions, const std::vector<std::string>& companions = {});

} // namespace vxGen::vxStampFile
