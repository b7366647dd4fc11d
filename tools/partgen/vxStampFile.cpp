#include "vxStampFile.h"
#include "vxAtomicFile.h"

#include <fstream>
#include <set>

namespace vxGen {

namespace vxStampFile {

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

bool write(const std::string& path, const std::vector<std::string>& written)
{
    std::string text;
    for (const std::string& w : written)
        text += w + "\n";
    return vxWriteFileAtomically(path, text).ok;
}

} // namespace vxStampFile

} // namespace vxGen
