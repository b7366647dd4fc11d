// The command-line tool on files from anywhere: paths that are no model
// file, odd names, resources that are broken or not files at all, and
// pictures or exports that cannot be written. Every failure is one line
// naming the path and the reason, nothing hangs, and a file that was there
// before stays as it was.
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <filesystem>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vxTest;

namespace {

// The text in single quotes for the shell.
std::string q(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

const std::string kCli = KOLBRIK_CLI;

// A command that hangs is stopped after a minute; its status is then 124.
CommandResult run(const std::string& args, const std::string& prefix = "")
{
    return runCommand("timeout 60 " + prefix + q(kCli) + " " + args);
}

std::size_t lines(const std::string& s)
{
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n'));
}

std::set<std::string> entries(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// Root passes permission bits; a process without the capabilities that
// override them does not. The prefix runs a command so, or is empty when
// that cannot be arranged (then permission cases are skipped).
std::string withoutOverride()
{
    static const std::string prefix = [] {
        TempDir d;
        writeFile(d.file("locked"), "x");
        ::chmod(d.file("locked").c_str(), 0);
        for (const std::string& p : {std::string(), std::string("setpriv --bounding-set=-dac_override,-dac_read_search,-fowner -- ")}) {
            const CommandResult r = runCommand(p + "cat " + q(d.file("locked")));
            if (r.status != 0 && r.status != 127 && r.out.find("Permission denied") != std::string::npos)
                return p.empty() ? std::string(" ") : p;
        }
        return std::string();
    }();
    return prefix;
}

// Runs script in a private mount namespace with a 64 KB memory file system
// at folder, for a real full disk without privileges; nullopt-like status
// -2 when user namespaces are not available.
CommandResult inSmallDisk(const std::string& folder, const std::string& script)
{
    static const bool available =
        runCommand("unshare -rm sh -c " + q("mount -t tmpfs -o size=64k none " + q(folder))).status == 0;
    if (!available)
        return {-2, ""};
    return runCommand("unshare -rm sh -c " + q("mount -t tmpfs -o size=64k none " + q(folder) + " && " + script));
}

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeFile(res.file("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
        writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block", "[COLOR]", "BLUE=255"}));
        model = res.file("m.kmf");
        writeFile(model, kmfFile({0, 0, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}}));
    }
    std::string opts() const { return " --resources " + q(res.path()); }

    TempDir res;
    TempDir dir;
    std::string model;
};

} // namespace

TEST_F(CliFiles, WhatIsNoModelFileIsRefusedInOneLine)
{
    const std::string fifo = dir.file("pipe.kmf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = dir.file("socket.kmf");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    writeFile(dir.file("huge.kmf"), "");
    std::filesystem::resize_file(dir.file("huge.kmf"), 257ull * 1024 * 1024); // sparse
    std::filesystem::create_symlink("loop-b.kmf", dir.file("loop-a.kmf"));
    std::filesystem::create_symlink("loop-a.kmf", dir.file("loop-b.kmf"));
    std::filesystem::create_symlink("/dev/zero", dir.file("zero.kmf"));
    std::filesystem::create_directory(dir.file("folder.kmf"));

    struct Case {
        std::string path;
        std::string reason;
    };
    std::vector<Case> cases = {
        {dir.file("folder.kmf"), "is a folder"},
        {fifo, "is not a regular file"},
        {socketPath, "is not a regular file"},
        {"/dev/zero", "is not a regular file"},
        {"/dev/null", "is not a regular file"},
        {"/dev/urandom", "is not a regular file"},
        {dir.file("zero.kmf"), "is not a regular file"},
        {dir.file("huge.kmf"), "too large"},
        {dir.file("loop-a.kmf"), "Too many levels of symbolic links"},
        {model + "/inside.kmf", "Not a directory"},
        {dir.file("missing.kmf"), "No such file or directory"},
    };
    // A block device, when the machine shows one.
    for (const auto& e : std::filesystem::directory_iterator("/dev")) {
        std::error_code ec;
        if (e.is_block_file(ec)) {
            cases.push_back({e.path().string(), "is not a regular file"});
            break;
        }
    }

    TempDir out;
    writeFile(out.file("old.png"), "the old picture");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CommandResult r = run("info " + q(c.path) + opts());
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_EQ(lines(r.out), 1u) << r.out;
        EXPECT_NE(r.out.find(c.path), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(c.reason), std::string::npos) << r.out;

        r = run("render " + q(c.path) + " " + q(out.file("old.png")) + opts());
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_EQ(lines(r.out), 1u) << r.out;
        EXPECT_NE(r.out.find(c.reason), std::string::npos) << r.out;

        writeFile(out.file("old.wrl"), "the old export");
        r = run("export " + q(c.path) + " " + q(out.file("old.wrl")) + opts());
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_EQ(lines(r.out), 1u) << r.out;
        EXPECT_NE(r.out.find(c.reason), std::string::npos) << r.out;
        EXPECT_EQ(readFile(out.file("old.wrl")), "the old export");
    }
    EXPECT_EQ(readFile(out.file("old.png")), "the old picture");
    ::close(sock);
}

TEST_F(CliFiles, NamesWithSpacesQuotesAndNonAsciiCharacters)
{
    TempDir base;
    const std::string folder = base.file("Teile f\xc3\xbcr \xe2\x80\x9e" "den\xe2\x80\x9c Turm's $HOME");
    std::filesystem::create_directories(folder);
    std::filesystem::copy(res.file("31005.stl"), folder + "/31005.stl");
    std::filesystem::copy(res.file("31005.def"), folder + "/31005.def");
    const std::string name = base.file("M\xc3\xb6" "dell mit Leerzeichen & `Zeichen` \xe2\x82\xac.kmf");
    std::filesystem::copy(model, name);
    const std::string picture = base.file("Bild \xc3\xa4\xc3\xb6\xc3\xbc \xe6\xa8\xa1\xe5\x9e\x8b.png");

    CommandResult r = run("info --json " + q(name) + " --resources " + q(folder));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"file\": \"" + name + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"m_Name\": \"Block\""), std::string::npos) << r.out;

    r = run("render " + q(name) + " " + q(picture) + " --size 64x48 --resources " + q(folder));
    ASSERT_EQ(r.status, 0) << r.out;
    const vxImage image = vxReadPNG(picture);
    ASSERT_EQ(image.width, 64);
    const auto centre = image.pixel(32, 24);
    EXPECT_GT(centre[1], 100) << "the green part is not in the middle";
    EXPECT_LT(centre[0], 50);

    const std::string wrl = base.file("Export \xc3\xa9t\xc3\xa9.wrl");
    r = run("export " + q(name) + " " + q(wrl) + " --resources " + q(folder));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(readFile(wrl).find("IndexedFaceSet"), std::string::npos);

    // A missing file with such a name is reported with the name as given.
    const std::string missing = base.file("n\xc3\xb6 such file.kmf");
    r = run("info " + q(missing));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(missing), std::string::npos) << r.out;
}

TEST_F(CliFiles, BrokenResourcesLeaveTheirPartsEmptyAndTheModelLoads)
{
    // Six part types whose definition or mesh is not a usable file.
    const auto block = stlFile(box(-5, -5, -5, 5, 5, 5));
    writeFile(res.file("31001.stl"), block.substr(0, 84 + 50 + 20)); // one whole triangle, then cut
    std::filesystem::create_symlink("/dev/zero", res.file("31002.stl"));
    std::filesystem::create_symlink("/dev/urandom", res.file("31002.def"));
    ASSERT_EQ(::mkfifo(res.file("31003.stl").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(res.file("31003.def").c_str(), 0600), 0);
    std::filesystem::create_directory(res.file("31004.stl"));
    std::filesystem::create_directory(res.file("31004.def"));
    std::filesystem::create_symlink("31006.stl", res.file("31006.stl")); // a loop
    writeFile(res.file("31007.stl"), block);
    writeFile(res.file("31007.def"), "");
    std::filesystem::resize_file(res.file("31007.stl"), 513ull * 1024 * 1024); // sparse, over the limit

    std::vector<KmfPart> parts;
    for (int i : {1, 2, 3, 4, 6, 7})
        parts.push_back({"K3100" + std::to_string(i) + "_p", {static_cast<float>(i - 4), 0, 0}});
    parts.push_back({"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00});
    writeFile(model, kmfFile({0, 0, -10}, {0, 0, 0}, parts));

    CommandResult r = run("info " + q(model) + opts());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Parts:       7"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("5 part(s) without a definition"), std::string::npos) << r.out; // 31007's is empty

    TempDir out;
    r = run("render " + q(model) + " " + q(out.file("m.png")) + " --size 64x48" + opts());
    ASSERT_EQ(r.status, 0) << r.out;
    const vxImage image = vxReadPNG(out.file("m.png"));
    ASSERT_EQ(image.width, 64);
    EXPECT_GT(image.pixel(32, 24)[1], 100) << "the good part is not drawn";

    // Only the cut mesh's one whole triangle and the good part are exported.
    r = run("export " + q(model) + " " + q(out.file("m.wrl")) + opts());
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string wrl = readFile(out.file("m.wrl"));
    EXPECT_NE(wrl.find("DEF part1 "), std::string::npos);
    EXPECT_NE(wrl.find("DEF part7 "), std::string::npos);
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(wrl.find("DEF part" + std::to_string(i) + " "), std::string::npos) << i;
}

TEST_F(CliFiles, UnreadableFilesAsForAnyUser)
{
    const std::string prefix = withoutOverride();
    if (prefix.empty())
        GTEST_SKIP() << "cannot run without the capabilities that pass permission bits";
    writeFile(dir.file("locked.kmf"), readFile(model));
    ::chmod(dir.file("locked.kmf").c_str(), 0);
    CommandResult r = run("info " + q(dir.file("locked.kmf")) + opts(), prefix);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines(r.out), 1u) << r.out;
    EXPECT_NE(r.out.find("Permission denied"), std::string::npos) << r.out;

    // Unreadable definition and mesh: the part is there, without them.
    ::chmod(res.file("31005.def").c_str(), 0);
    ::chmod(res.file("31005.stl").c_str(), 0);
    r = run("info " + q(model) + opts(), prefix);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("1 part(s) without a definition"), std::string::npos) << r.out;
    TempDir out;
    r = run("render " + q(model) + " " + q(out.file("m.png")) + " --size 64x48" + opts(), prefix);
    EXPECT_EQ(r.status, 0) << r.out;
    const vxImage image = vxReadPNG(out.file("m.png"));
    ASSERT_EQ(image.width, 64);
    EXPECT_EQ(image.pixel(32, 24), image.pixel(1, 1)) << "the part was drawn from an unreadable mesh";
}

TEST_F(CliFiles, APictureOrExportThatCannotBeWrittenLeavesTheOldFile)
{
    struct Output {
        std::string command;
        std::string extension;
    };
    const std::vector<Output> outputs = {{"render", ".png"}, {"export", ".wrl"}};

    for (const Output& o : outputs) {
        SCOPED_TRACE(o.command);
        TempDir out;
        const std::string target = out.file("old" + o.extension);
        writeFile(target, "the old file");
        writeFile(out.file("plain"), "a file, not a folder");
        std::filesystem::create_directory(out.file("folder" + o.extension));
        writeFile(out.file("folder" + o.extension + "/inside"), "inside");
        const auto before = entries(out.path());
        const std::string args = o.command + " " + q(model) + " ";
        const std::string size = o.command == "render" ? " --size 512x384" : "";

        struct Case {
            std::string path;
            std::string reason;
            std::string prefix;
        };
        std::vector<Case> cases = {
            {out.file("missing/x" + o.extension), "No such file or directory", ""},
            {out.file("plain/x" + o.extension), "Not a directory", ""},
            {out.file("folder" + o.extension), "Is a directory", ""},
            // The file-size limit stops the write part way, as a full disk does.
            {target, "too large", "sh -c 'trap \"\" XFSZ; ulimit -f 1; exec \"$0\" \"$@\"' "},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.path);
            const CommandResult r = run(args + q(c.path) + size + opts(), c.prefix);
            EXPECT_EQ(r.status, 1) << r.out;
            EXPECT_EQ(lines(r.out), 1u) << r.out;
            EXPECT_NE(r.out.find(c.path), std::string::npos) << r.out;
            EXPECT_NE(r.out.find(c.reason), std::string::npos) << r.out;
            EXPECT_EQ(readFile(target), "the old file");
            EXPECT_EQ(entries(out.path()), before) << "a file was left behind";
        }
        EXPECT_EQ(readFile(out.file("folder" + o.extension + "/inside")), "inside");

        // A read-only folder.
        if (const std::string prefix = withoutOverride(); !prefix.empty()) {
            ::chmod(out.path().c_str(), 0555);
            const CommandResult r = run(args + q(target) + size + opts(), prefix);
            ::chmod(out.path().c_str(), 0700);
            EXPECT_EQ(r.status, 1) << r.out;
            EXPECT_NE(r.out.find("Permission denied"), std::string::npos) << r.out;
            EXPECT_EQ(readFile(target), "the old file");
            EXPECT_EQ(entries(out.path()), before);
        } else {
            std::cout << "[ note ] permission bits cannot be tested here\n";
        }

        // A disk that is really full.
        TempDir disk;
        const CommandResult r = inSmallDisk(
            disk.path(), "printf 'the old file' > " + q(disk.file("old" + o.extension)) +
                             " && (dd if=/dev/zero of=" + q(disk.file("fill")) + " bs=4k 2>/dev/null; true) && " +
                             q(kCli) + " " + args + q(disk.file("old" + o.extension)) + size + opts() +
                             "; echo \"status=$?\"; echo \"old=$(cat " + q(disk.file("old" + o.extension)) +
                             ")\"; ls " + q(disk.path()));
        if (r.status == -2) {
            std::cout << "[ note ] no user namespaces: a full disk cannot be tested here\n";
            continue;
        }
        EXPECT_NE(r.out.find("No space left on device"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("status=1\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("old=the old file\n"), std::string::npos) << r.out;
        const std::string listing = "\nfill\nold" + o.extension + "\n";
        EXPECT_TRUE(r.out.size() >= listing.size() && r.out.ends_with(listing)) << "a file was left behind: " << r.out;
    }
}
