// Reading whole files and decoding their text.
#include "vxTestSupport.h"
#include "vxTextFile.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

// A UTF-8 byte-order mark is skipped; valid UTF-8 stays as it is; anything
// else is Windows-1252, whose five unused bytes stay C1 controls.
TEST(TextFile, TextIsUtf8WhenItIsAndWindows1252Otherwise)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Kr\xc3\xa4n", "Kr\xc3\xa4n"},
        {"\xef\xbb\xbfKr\xc3\xa4n", "Kr\xc3\xa4n"},
        {"\xef\xbb\xbf[COMMON]", "[COMMON]"},
        {"Kr\xe4n", "Kr\xc3\xa4n"},
        {"\xef\xbb\xbfKr\xe4n", "Kr\xc3\xa4n"},                             // a mark, but not UTF-8 after it
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                                   // an overlong form is no UTF-8
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},                   // nor a surrogate
        {"\xf4\x90\x80\x80x", "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xacx"}, // nor above U+10FFFF
        {"\xf0\x9f\x99\x82 \xe2\x82\xac", "\xf0\x9f\x99\x82 \xe2\x82\xac"},
        {"ab\xc3", "ab\xc3\x83"}, // cut off
        {"a\x81\x9d", "a\xc2\x81\xc2\x9d"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(decodeText(bytes), text) << bytes;
}

// Only a regular file is read, up to the size limit, also one longer than
// its stated size (files of /proc state 0, as a file that grows after it
// was opened does); anything else says why. Nothing hangs on a FIFO or reads
// a device forever.
TEST(TextFile, ReadsRegularFilesUpToTheSizeLimitAndNothingElse)
{
    vxTest::TempDir dir;
    vxTest::writeFile(dir.file("big"), std::string(101, 'x'));
    vxTest::writeFile(dir.file("empty"), "");
    vxTest::writeFile(dir.file("huge"), "");
    std::filesystem::resize_file(dir.file("huge"), 257ull * 1024 * 1024); // sparse
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder"));
    std::filesystem::create_symlink("/dev/zero", dir.file("zero"));
    std::filesystem::create_symlink("loop-b", dir.file("loop-a"));
    std::filesystem::create_symlink("loop-a", dir.file("loop-b"));
    struct stat st {};
    ASSERT_TRUE(::stat("/proc/self/status", &st) == 0 && st.st_size == 0) << "no /proc";
    const struct {
        std::string path;
        std::uint64_t limit;
        std::string result; // the text read, or the error
    } cases[] = {
        {dir.file("big"), 101, std::string(101, 'x')},
        {dir.file("big"), 100, "file is too large (101 bytes, the limit is 100 bytes)"},
        {dir.file("empty"), 100, ""},
        {dir.file("huge"), 256 << 20, "file is too large (257 MB, the limit is 256 MB)"},
        {"/proc/self/status", 16, "file is too large (the limit is 16 bytes)"},
        {dir.file("fifo"), 100, "is not a regular file"},
        {"/dev/zero", 100, "is not a regular file"},
        {dir.file("zero"), 100, "is not a regular file"},
        {dir.file("folder"), 100, "is a folder, not a file"},
        {dir.file("loop-a"), 100, "Too many levels of symbolic links"},
        {dir.file("big/inside"), 100, "Not a directory"},
        {dir.file("missing"), 100, "No such file or directory"},
        {"", 100, "no file name given"},
    };
    for (const auto& c : cases) {
        const vxReadResult r = readWholeFile(c.path, c.limit);
        EXPECT_EQ(r.ok ? r.data : r.error, c.result) << c.path;
    }
    const vxReadResult status = readWholeFile("/proc/self/status", 1 << 20);
    EXPECT_NE(status.data.find("Name:"), std::string::npos) << status.error;
}

// A file bigger than the piece that is read and looked at at once is read
// whole, and decoded as one text: UTF-8 when a sequence of it spans two
// pieces, Windows-1252 when the first byte above 127 comes after the
// first piece.
TEST(TextFile, ABigFileReadInPiecesDecodesAsOneText)
{
    vxTest::TempDir dir;
    std::string ascii;
    for (int i = 0; ascii.size() < (3u << 20); ++i)
        ascii += "LINE=" + std::to_string(i) + "\r\n";
    std::string spanning = ascii;
    spanning.replace((1u << 20) - 1, 2, "\xc3\xa4"); // U+00E4 across the first two pieces
    std::string late = ascii;
    late[(2u << 20) + 5] = '\xe4'; // a Windows-1252 byte in the third piece
    const std::pair<std::string, std::string> files[] = {
        {ascii, ascii}, {spanning, spanning}, {late, decodeWindows1252(late)}};
    for (const auto& [bytes, text] : files) {
        vxTest::writeFile(dir.file("big"), bytes);
        const std::optional<std::string> read = readSectionTextFile(dir.file("big"), 16u << 20);
        ASSERT_TRUE(read);
        EXPECT_TRUE(*read == text);
    }
}
