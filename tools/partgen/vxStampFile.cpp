#include "vxStampFile.h"

#include <fstream>
#include <set>

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
    std::ofstream s(path, std::ios::trunc);
    for (const std::string& w : written)
        s << w << "\n";
    return static_cast<bool>(s.flush());
}

} // namespace vxStampFile
