#include "vxAtomicFile.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using vxTest::entries;

// Pieces smaller than, straddling and larger than the buffer arrive in order;
// the old file's permission bits stay; nothing else is left in the folder.
TEST(AtomicFile, StreamedPiecesArriveInOrderAndReplaceTheTargetUnlessEqual)
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
    // Bytes written before are replaced: in the file, in the buffer and
    // across both (the last piece went to the file, one byte is buffered).
    for (std::uint64_t at : {std::uint64_t{1}, expected.size() - 3, (std::uint64_t{1} << 20) - 2}) {
        file.overwrite(at, "XYZ");
        expected.replace(at, 3, "XYZ");
    }
    EXPECT_EQ(vxTest::readFile(target), "old"); // nothing shows before the commit
    ASSERT_TRUE(file.commit().ok);
    EXPECT_EQ(file.size(), expected.size());
    EXPECT_EQ(vxTest::readFile(target), expected);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"out.bin"});
    EXPECT_FALSE(file.commit().ok); // nothing left to commit

    // A new file gets the bits of a plain create; a name without a folder
    // goes to the working folder.
    const auto cwd = fs::current_path();
    fs::current_path(dir.path());
    const bool written = vxWriteFileAtomically("plain.txt", "plain").ok;
    fs::current_path(cwd);
    ASSERT_TRUE(written);
    EXPECT_EQ(vxTest::readFile(dir.file("plain.txt")), "plain");
    ASSERT_EQ(::stat(dir.file("plain.txt").c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);

    // Write-if-changed leaves an equal file alone, time stamp and all.
    const std::string same = dir.file("same.txt");
    bool changed = false;
    ASSERT_TRUE(vxWriteFileIfChanged(same, "text", &changed).ok);
    EXPECT_TRUE(changed);
    const fs::file_time_type before = fs::last_write_time(same) - std::chrono::hours(1);
    fs::last_write_time(same, before);
    ASSERT_TRUE(vxWriteFileIfChanged(same, "text", &changed).ok);
    EXPECT_FALSE(changed);
    EXPECT_EQ(fs::last_write_time(same), before);
    for (const char* next : {"text and more", "te"}) { // longer and shorter content
        ASSERT_TRUE(vxWriteFileIfChanged(same, next, &changed).ok);
        EXPECT_TRUE(changed);
        EXPECT_EQ(vxTest::readFile(same), next);
    }
}

// Every write that fails says why in one line naming the file, leaves the
// old file as it was and nothing beside it: a missing folder, a file where
// a folder should be, a folder as the target, no name, a write stopped part
// way by the file-size limit (as by a full disk), a write never committed.
TEST(AtomicFile, AFailedOrUncommittedWriteLeavesTheTargetAndNoTemporaryFile)
{
    vxTest::TempDir dir;
    const std::string target = dir.file("keep.txt");
    vxTest::writeFile(target, "keep");
    vxTest::writeFile(dir.file("plain-file"), "a file");
    vxTest::writeFile(dir.file("folder/inside"), "inside");
    const auto before = entries(dir.path());
    {
        vxAtomicFile file(target);
        file.write("half of it");
    } // dropped without commit
    EXPECT_EQ(vxTest::readFile(target), "keep");
    {
        vxAtomicFile file(target, vxDurability::kContent);
        file.write("new");
        file.overwrite(2, "ww"); // beyond what was written
        EXPECT_FALSE(file.commit().ok);
    }
    EXPECT_EQ(vxTest::readFile(target), "keep");

    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir.file("no/such/folder.txt"), "No such file or directory"},
        {dir.file("plain-file/x.txt"), "Not a directory"},
        {dir.file("folder"), "Is a directory"},
        {"", "no file name given"},
        {target, std::strerror(EFBIG)},
    };
    for (const auto& c : cases) {
        struct rlimit old {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        if (c.path == target) {
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const vxWriteResult r = vxWriteFileAtomically(c.path, std::string(100000, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(r.ok) << c.path;
        EXPECT_EQ(r.error, c.path.empty() ? std::string("cannot write: no file name given")
                                          : "cannot write " + c.path + ": " + c.reason);
    }
    EXPECT_EQ(vxTest::readFile(target), "keep");
    EXPECT_EQ(vxTest::readFile(dir.file("folder/inside")), "inside");
    EXPECT_EQ(entries(dir.path()), before);
}
