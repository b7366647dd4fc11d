#pragma once

#include <string_view>

// The files a web page of building instructions is made of, as the program
// was built with them.
namespace vxBookletPageFiles {

std::string_view pageTemplate(); // ours: HTML, style and script with @@NAME@@ places
std::string_view three();        // three.js
std::string_view gltfLoader();   // its glTF loader
std::string_view orbitControls();
std::string_view threeLicence(); // three.js's copyright and licence

} // namespace vxBookletPageFiles
