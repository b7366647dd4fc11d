#include "vxResources.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace vxResources {

namespace {

std::string& overrideFolder()
{
    static std::string folder;
    return folder;
}

std::string stripTrailingSlash(std::string s)
{
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

bool safeComponent(const std::string& s)
{
    return s.find('/') == std::string::npos && s.find('\0') == std::string::npos && s != "." && s != "..";
}

bool safeSubFolder(const std::string& sub)
{
    if (sub.empty())
        return true;
    if (sub.front() == '/')
        return false;
    std::size_t start = 0;
    while (start <= sub.size()) {
        std::size_t slash = sub.find('/', start);
        std::string part = sub.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part == "..")
            return false;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return sub.find('\0') == std::string::npos;
}

} // namespace

std::string programFolder()
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return ".";
    return exe.parent_path().string();
}

void setResourceFolder(const std::string& folder)
{
    overrideFolder() = stripTrailingSlash(folder);
}

std::string resourceFolderPath()
{
    if (!overrideFolder().empty())
        return overrideFolder();
    if (const char* env = std::getenv("KOLBRIK_RESOURCES"); env && *env)
        return stripTrailingSlash(env);
    std::filesystem::path p = std::filesystem::path(programFolder()) / ".." / "share" / "kolbrik-viewer";
    std::error_code ec;
    auto canon = std::filesystem::weakly_canonical(p, ec);
    return ec ? p.string() : canon.string();
}

std::optional<std::string> resourcePath(const std::string& name, const std::string& type,
                                        const std::string& subFolder)
{
    if (name.empty() || !safeComponent(name) || type.find('/') != std::string::npos ||
        type.find('\0') != std::string::npos || !safeSubFolder(subFolder))
        return std::nullopt;
    std::string path = resourceFolderPath();
    if (!subFolder.empty())
        path += "/" + stripTrailingSlash(subFolder);
    path += "/" + name;
    if (!type.empty())
        path += "." + type;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return path;
}

} // namespace vxResources
