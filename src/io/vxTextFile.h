#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reading whole files of the kinds the viewer opens. Only regular files are
// read, and each kind has a size limit, so that a device, a FIFO or a huge
// file never stalls the program or exhausts memory.
namespace vxFileLimits {
inline constexpr std::uint64_t kModelFile = 256ull * 1024 * 1024;    // .kmf
inline constexpr std::uint64_t kDefinitionFile = 4ull * 1024 * 1024; // .def
inline constexpr std::uint64_t kMeshFile = 512ull * 1024 * 1024;     // .stl
inline constexpr std::uint64_t kPictureFile = 64ull * 1024 * 1024;   // .bmp/.png
} // namespace vxFileLimits

struct vxReadResult {
    bool ok = false;
    std::string data;  // the bytes (or decoded text) when ok
    std::string error; // a one-line reason when not ok
};

// Reads the whole regular file at path, up to maxBytes. A folder, FIFO,
// socket or device is refused without being opened. A file that grows while
// it is read is read up to the limit; one that shrinks gives what was there.
vxReadResult readWholeFile(const std::string& path, std::uint64_t maxBytes);

// Converts bytes to the text carried by the system: 7-bit ASCII stays as it
// is; bytes above 127 are read as Windows-1252 and carried as UTF-8.
std::string decodeWindows1252(const std::string& bytes);

// The length of the well-formed UTF-8 sequence at bytes[at] (1 for ASCII),
// or 0 when none starts there. at must be inside bytes.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at);

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The text of a file's bytes, carried as UTF-8: a UTF-8 byte-order mark at
// the start is skipped; the rest is taken as UTF-8 when it is valid UTF-8
// (plain ASCII is), and read as Windows-1252 otherwise.
std::string decodeText(std::string bytes);

// Reads a text file of the section format: the whole file, decoded.
// Empty optional when the file cannot be read; the reason goes to *error.
std::optional<std::string> readSectionTextFile(const std::string& path, std::uint64_t maxBytes,
                                               std::string* error = nullptr);
