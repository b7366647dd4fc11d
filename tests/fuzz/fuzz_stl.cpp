// Fuzzes the binary STL reader through a scene object, as the view loads it.
#include "vxBaseSceneObject.h"
#include "vxResources.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
std::string g_folder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char tmpl[] = "/tmp/kolbrik-fuzz-stl-XXXXXX";
    if (char* d = ::mkdtemp(tmpl))
        g_folder = d;
    vxResources::setResourceFolder(g_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = g_folder + "/mesh.stl";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    vxBaseSceneObject object;
    object.loadSTLFromFile("mesh", 1.5f, -2.0f, 0.25f);
    std::size_t n = 0;
    for (const vxVertice& t : object.verticesList())
        n += t.v1().x() == t.v1().x() ? 1 : 0;
    return n == 7 ? 0 : 0;
}
