#include "vxStampFile.h"
#include "vxAtomicFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace vxGen::vxStampFile {

namespace {

// The files listed in the stamp at path that are not in written (nothing
// when there is no stamp yet).
std::vector<std::string> staleFiles(const std::string& path, const std::vector<std::string>& written)
{
    const std::set<std::string> now(written.begin(), written.end());
    std::vector<std::string> stale;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && !now.count(line))
            stale.push_back(line);
    return stale;
}

} // namespace

bool update(const std::string& stampPath, const std::string& folder, const std::vector<std::string>& written,
            const std::vector<std::string>& extensions, const std::vector<std::string>& companions)
{
    std::error_code ec;
    for (const std::string& old : staleFiles(stampPath, written)) {
        const fs::path file = fs::path(folder) / old;
        if (old.find("..") != std::string::npos || fs::path(old).is_absolute() ||
            std::find(extensions.begin(), extensions.end(), fs::path(old).extension()) == extensions.end())
            continue;
        fs::remove(file, ec);
        for (const std::string& extension : companions)
            fs::remove(fs::path(file).replace_extension(extension), ec);
        // A folder left empty (a kit without models) would still be listed.
        for (fs::path dir = file.parent_path(); dir != fs::path(folder) && fs::is_empty(dir, ec) && !ec;
             dir = dir.parent_path())
            fs::remove(dir, ec);
    }
    std::string text;
    for (const std::string& w : written)
        text += w + "\n";
    return vxWriteFileAtomically(stampPath, text).ok;
}

} // namespace vxGen::vxStampFile
