#pragma once

// The process's resource folder for the life of a guard, and the model
// library of a resource folder.
#include "vxResources.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vxTest {

// Sets the resource folder; the destructor puts back the one set before,
// also when a test stops part way through.
class ResourceFolder {
  public:
    explicit ResourceFolder(std::string folder) : m_previous(current()) { set(std::move(folder)); }
    ~ResourceFolder() { set(m_previous); }
    ResourceFolder(const ResourceFolder&) = delete;
    ResourceFolder& operator=(const ResourceFolder&) = delete;

  private:
    static std::string& current()
    {
        static std::string folder;
        return folder;
    }
    static void set(std::string folder)
    {
        vxResources::setResourceFolder(folder);
        current() = std::move(folder);
    }
    std::string m_previous;
};

#ifdef KOLBRIK_BUILD_DIR
// The resource folder the build makes (part catalogue, library, pictures).
inline const std::string kBuiltResources = KOLBRIK_BUILD_DIR "/share/kolbrik-viewer";
#endif

// The model files of the library in a resource folder, sorted.
inline std::vector<std::string> libraryModels(const std::string& resources)
{
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(resources + "/library"))
        if (e.path().extension() == ".kmf")
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace vxTest
