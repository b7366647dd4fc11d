#include "vxAtomicFile.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// Pieces smaller than, straddling and larger than the buffer arrive in order;
// the old file's permission bits stay; nothing else is left in the folder.
TEST(AtomicFile, StreamedPiecesArriveInOrderAndReplaceTheTarget)
{
    vxTest::TempDir dir;
    const std::string target = dir.file("out.bin");
    vxTest::writeFile(target, "old");
    ::chmod(target.c_str(), 0640);

    std::string expected;
    vxAtomicFile file(target);
    ASSERT_TRUE(file.ok());
    for (std::size_t size : {std::size_t{3}, std::size_t{1} << 19, (std::size_t{1} << 20) - 2, std::size_t{5},
                             std::size_t{3} << 20, std::size_t{1}}) {
        std::string piece(size, '\0');
        for (std::size_t k = 0; k < size; ++k)
            piece[k] = static_cast<char>('a' + (k + expected.size()) % 26);
        file.write(piece);
        expected += piece;
    }
    EXPECT_EQ(vxTest::readFile(target), "old"); // nothing shows before the commit
    ASSERT_TRUE(file.commit().ok);
    EXPECT_EQ(file.size(), expected.size());
    EXPECT_EQ(vxTest::readFile(target), expected);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"out.bin"});
    EXPECT_FALSE(file.commit().ok); // nothing left to commit
}

TEST(AtomicFile, AnUncommittedOrFailedWriteLeavesTheTargetAndNoTemporaryFile)
{
    vxTest::TempDir dir;
    const std::string target = dir.file("keep.txt");
    vxTest::writeFile(target, "keep");
    {
        vxAtomicFile file(target);
        file.write("half of it");
    } // dropped without commit
    EXPECT_EQ(vxTest::readFile(target), "keep");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"keep.txt"});

    const vxWriteResult missing = vxWriteFileAtomically(dir.file("no/such/folder.txt"), "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error,
              "cannot write " + dir.file("no/such/folder.txt") + ": No such file or directory");

    fs::create_directory(dir.file("folder"));
    EXPECT_FALSE(vxWriteFileAtomically(dir.file("folder"), "x").ok); // a folder is not replaced
    EXPECT_TRUE(fs::is_directory(dir.file("folder")));
    EXPECT_FALSE(vxWriteFileAtomically("", "x").ok);
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"folder", "keep.txt"}));
}

TEST(AtomicFile, WriteIfChangedLeavesAnEqualFileAlone)
{
    vxTest::TempDir dir;
    const std::string target = dir.file("same.txt");
    bool changed = false;
    ASSERT_TRUE(vxWriteFileIfChanged(target, "text", &changed).ok);
    EXPECT_TRUE(changed);
    const fs::file_time_type before = fs::last_write_time(target) - std::chrono::hours(1);
    fs::last_write_time(target, before);

    ASSERT_TRUE(vxWriteFileIfChanged(target, "text", &changed).ok);
    EXPECT_FALSE(changed);
    EXPECT_EQ(fs::last_write_time(target), before);

    for (const char* next : {"text and more", "te"}) { // longer and shorter content
        ASSERT_TRUE(vxWriteFileIfChanged(target, next, &changed).ok);
        EXPECT_TRUE(changed);
        EXPECT_EQ(vxTest::readFile(target), next);
    }
}
