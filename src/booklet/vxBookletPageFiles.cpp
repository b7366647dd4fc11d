// The page template and the 3D library of the web page, taken into the
// program when it is built: a page is written with nothing but the program.
// The paths come from the build (see CMakeLists.txt), which also rebuilds
// this file when one of them changes.
#include "vxBookletPageFiles.h"

#define VX_EMBED(symbol, file)                                                                               \
    asm(".section .rodata\n.balign 16\n.global " #symbol "\n" #symbol ":\n.incbin \"" file "\"\n"            \
        ".global " #symbol "End\n" #symbol "End:\n.byte 0\n.previous\n")

VX_EMBED(vxPageTemplate, KOLBRIK_PAGE_TEMPLATE);
VX_EMBED(vxPageThree, KOLBRIK_THREE_JS);
VX_EMBED(vxPageGltfLoader, KOLBRIK_THREE_GLTF_LOADER);
VX_EMBED(vxPageOrbitControls, KOLBRIK_THREE_ORBIT_CONTROLS);
VX_EMBED(vxPageThreeLicence, KOLBRIK_THREE_LICENCE);

extern "C" {
extern const char vxPageTemplate[], vxPageTemplateEnd[];
extern const char vxPageThree[], vxPageThreeEnd[];
extern const char vxPageGltfLoader[], vxPageGltfLoaderEnd[];
extern const char vxPageOrbitControls[], vxPageOrbitControlsEnd[];
extern const char vxPageThreeLicence[], vxPageThreeLicenceEnd[];
}

namespace vxBookletPageFiles {

std::string_view pageTemplate()
{
    return {vxPageTemplate, static_cast<std::size_t>(vxPageTemplateEnd - vxPageTemplate)};
}
std::string_view three()
{
    return {vxPageThree, static_cast<std::size_t>(vxPageThreeEnd - vxPageThree)};
}
std::string_view gltfLoader()
{
    return {vxPageGltfLoader, static_cast<std::size_t>(vxPageGltfLoaderEnd - vxPageGltfLoader)};
}
std::string_view orbitControls()
{
    return {vxPageOrbitControls, static_cast<std::size_t>(vxPageOrbitControlsEnd - vxPageOrbitControls)};
}
std::string_view threeLicence()
{
    return {vxPageThreeLicence, static_cast<std::size_t>(vxPageThreeLicenceEnd - vxPageThreeLicence)};
}

} // namespace vxBookletPageFiles
