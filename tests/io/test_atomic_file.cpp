#include "vxAtomicFile.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// What a child process reads from a pipe until its writer closes it.
struct PipeReader {
    explicit PipeReader(const std::string& fifo)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            const int in = ::open(fifo.c_str(), O_RDONLY);
            // All of it first: the parent reads the result only at the end.
            std::string all;
            char buffer[4096];
            ssize_t n;
            while (in >= 0 && (n = ::read(in, buffer, sizeof buffer)) > 0)
                all.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t at = 0;
                 at < all.size() && (n = ::write(fds[1], all.data() + at, all.size() - at)) > 0;)
                at += static_cast<std::size_t>(n);
            ::_exit(0);
        }
        ::close(fds[1]);
        result = fds[0];
    }
    // Everything the child read.
    std::string text()
    {
        std::string all;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(result, buffer, sizeof buffer)) > 0)
            all.append(buffer, static_cast<std::size_t>(n));
        ::close(result);
        ::waitpid(pid, nullptr, 0);
        return all;
    }
    pid_t pid = -1;
    int result = -1;
};

} // namespace

// A symbolic link is followed and its target replaced in the target's
// folder, the link left as it is (a link that points nowhere yet makes its
// target). A pipe is written to as the bytes come, its reader gets them all,
// a .glb-like header held back is still overwritten; so are a character
// device and a socket. A folder and a block device are refused; a file is
// never written over the file that is read.
TEST(AtomicFile, LinksAreFollowedPipesAndDevicesWrittenDirectlyOtherKindsRefused)
{
    vxTest::TempDir dir, elsewhere;
    const std::string real = elsewhere.file("real.txt");
    vxTest::writeFile(real, "old");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, dir.file("link.txt"));
    fs::create_symlink("../" + fs::path(elsewhere.path()).filename().string() + "/new.txt",
                       dir.file("to-new"));
    ASSERT_TRUE(vxWriteFileAtomically(dir.file("link.txt"), "through the link").ok);
    ASSERT_TRUE(vxWriteFileAtomically(dir.file("to-new"), "made through the link").ok);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(vxTest::readFile(real), "through the link");
    EXPECT_EQ(vxTest::readFile(elsewhere.file("new.txt")), "made through the link");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(elsewhere.path()), (std::set<std::string>{"new.txt", "real.txt"}));
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"link.txt", "to-new"}));
    EXPECT_TRUE(vxSameFile(dir.file("link.txt"), real));
    EXPECT_FALSE(vxRefuseToOverwrite(real, dir.file("link.txt")).ok);
    EXPECT_EQ(vxRefuseToOverwrite(real, dir.file("link.txt")).error,
              "cannot write " + dir.file("link.txt") + ": it is the model being read (" + real + ")");
    EXPECT_TRUE(vxRefuseToOverwrite(real, elsewhere.file("new.txt")).ok);
    EXPECT_TRUE(vxRefuseToOverwrite(real, elsewhere.file("missing.txt")).ok);

    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    {
        PipeReader reader(fifo);
        vxAtomicFile file(fifo);
        ASSERT_TRUE(file.ok()) << file.commit().error;
        EXPECT_TRUE(file.streaming());
        file.holdBack(true);
        file.write("HEAD");
        const std::string body(3u << 20, 'b'); // more than the buffer
        file.write(body);
        file.overwrite(0, "head");
        file.holdBack(false);
        file.write("tail");
        ASSERT_TRUE(file.commit().ok);
        EXPECT_EQ(reader.text(), "head" + body + "tail");
    }
    {
        PipeReader reader(fifo);
        vxAtomicFile file(fifo);
        file.write(std::string(3u << 20, 'x'));
        file.overwrite(0, "late"); // sent already
        const vxWriteResult r = file.commit();
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("not a regular file"), std::string::npos) << r.error;
        reader.text();
    }
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A socket that a listener reads.
    const std::string socketPath = dir.file("socket");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    ASSERT_TRUE(vxWriteFileAtomically(socketPath, "over a socket").ok);
    const int accepted = ::accept(listener, nullptr, nullptr);
    char got[64] = {};
    EXPECT_EQ(::read(accepted, got, sizeof got), 13);
    EXPECT_STREQ(got, "over a socket");
    ::close(accepted);
    ::close(listener);
    EXPECT_EQ(fs::status(socketPath).type(), fs::file_type::socket);

    // Devices are made here only where the process may make them: a null
    // device (which takes anything) and a block device of a number that no
    // driver has (which must be refused before it is opened).
    if (::mknod(dir.file("null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        EXPECT_TRUE(vxWriteFileAtomically(dir.file("null"), "gone").ok);
        EXPECT_TRUE(fs::is_character_file(dir.file("null")));
    } else {
        std::cout << "[ note ] devices cannot be made here\n";
    }
    if (::mknod(dir.file("block").c_str(), S_IFBLK | 0600, makedev(240, 77)) == 0) {
        const vxWriteResult r = vxWriteFileAtomically(dir.file("block"), "never");
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("neither a regular file nor a pipe"), std::string::npos) << r.error;
        EXPECT_TRUE(fs::is_block_file(dir.file("block")));
    }
    fs::create_directory(dir.file("folder"));
    EXPECT_EQ(vxWriteFileAtomically(dir.file("folder"), "x").error,
              "cannot write " + dir.file("folder") + ": " + std::strerror(EISDIR));
}

// Two files go in place together: both are prepared whole before either is
// renamed, and abandoning one after the other was prepared leaves both
// targets as they were.
TEST(AtomicFile, PreparedFilesGoInPlaceTogetherOrNotAtAll)
{
    vxTest::TempDir dir;
    vxTest::writeFile(dir.file("a"), "old a");
    vxTest::writeFile(dir.file("b"), "old b");
    {
        vxAtomicFile a(dir.file("a")), b(dir.file("b"));
        a.write("new a");
        b.write("new b");
        ASSERT_TRUE(a.prepare().ok);
        EXPECT_EQ(vxTest::readFile(dir.file("a")), "old a");
        b.abandon();
        EXPECT_FALSE(b.prepare().ok);
    } // a goes away uncommitted
    EXPECT_EQ(vxTest::readFile(dir.file("a")), "old a");
    EXPECT_EQ(vxTest::readFile(dir.file("b")), "old b");
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"a", "b"}));
    vxAtomicFile a(dir.file("a"));
    a.write("new a");
    ASSERT_TRUE(a.prepare().ok);
    ASSERT_TRUE(a.commit().ok);
    EXPECT_EQ(vxTest::readFile(dir.file("a")), "new a");
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"a", "b"}));
}

// A process killed while it writes leaves no file behind: the temporary
// file has no name (even SIGKILL leaves nothing), or, where it has one, an
// interrupt, a termination or a hang-up removes it before the process ends
// by the signal.
TEST(AtomicFile, AKilledWriterLeavesNoTemporaryFile)
{
    for (const bool named : {false, true})
        for (const int signal :
             named ? std::vector<int>{SIGINT, SIGTERM, SIGHUP} : std::vector<int>{SIGKILL}) {
            vxTest::TempDir dir;
            int ready[2];
            ASSERT_EQ(::pipe(ready), 0);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                vxRemoveTemporaryFilesOnSignals();
                vxUseNamedTemporaryFiles(named);
                vxAtomicFile file(dir.file("out.bin"));
                file.write(std::string(3u << 20, 'x'));
                const char ok = file.ok() ? 'y' : 'n';
                if (::write(ready[1], &ok, 1) != 1)
                    ::_exit(3);
                for (;;)
                    ::pause();
            }
            ::close(ready[1]);
            char ok = 0;
            ASSERT_EQ(::read(ready[0], &ok, 1), 1);
            ::close(ready[0]);
            EXPECT_EQ(ok, 'y');
            EXPECT_EQ(entries(dir.path()).size(), named ? 1u : 0u);
            ::kill(child, signal);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
            EXPECT_TRUE(entries(dir.path()).empty()) << "signal " << signal << (named ? ", named" : "");
        }
}
