// The command-line tool on files from anywhere, under odd names: paths
// that are no model file, resources that are broken or not files at all,
// and pictures or exports that cannot be written. Every failure is one line
// naming the path and the reason, nothing hangs, and a file that was there
// before stays as it was. (What the reader and the writer make of each kind
// of file is their own tests'; here each command meets them.)
#include "vxImage.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
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

// A command that hangs is stopped after a minute; its status is then 124.
CommandResult run(const std::string& args, const std::string& prefix = "")
{
    return runCli(args, "timeout 60 " + prefix);
}

std::size_t lines(const std::string& s)
{
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n'));
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
        for (const std::string& p :
             {std::string(),
              std::string("setpriv --bounding-set=-dac_override,-dac_read_search,-fowner -- ")}) {
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
    return runCommand("unshare -rm sh -c " +
                      q("mount -t tmpfs -o size=64k none " + q(folder) + " && " + script));
}

// Every name is odd: spaces, quotes, shell characters and non-ASCII letters.
class CliFiles : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(resFile("31005.stl"), stlFile(box(-5, -5, -5, 5, 5, 5)));
        writeFile(resFile("31005.def"), crlf({"[COMMON]", "NAME=Block", "[COLOR]", "BLUE=255"}));
        writeFile(model,
                  kmfFile({0, 0, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}}));
    }
    std::string resFile(const std::string& name) const { return res + "/" + name; }
    std::string opts() const { return " --resources " + q(res); }

    TempDir base;
    TempDir dir;
    const std::string res = base.file("Teile f\xc3\xbcr \xe2\x80\x9e"
                                      "den\xe2\x80\x9c Turm's $HOME");
    const std::string model = resFile("M\xc3\xb6"
                                      "dell mit Leerzeichen & `Zeichen` \xe2\x82\xac.kmf");
};

} // namespace

// A model that is no model file, and a picture or export that cannot be
// written (no folder, the file-size limit stopping the write part way as a
// full disk does, a read-only folder, a disk that is really full): one
// line, and the old picture and export stay as they were.
TEST_F(CliFiles, WhatCannotBeReadOrWrittenIsRefusedInOneLineAndLeavesTheOldFiles)
{
    const std::string fifo = dir.file("pipe.kmf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writeFile(dir.file("huge.kmf"), "");
    std::filesystem::resize_file(dir.file("huge.kmf"), 257ull * 1024 * 1024); // sparse
    std::filesystem::create_directory(dir.file("folder.kmf"));
    writeFile(dir.file("locked.kmf"), readFile(model));
    ::chmod(dir.file("locked.kmf").c_str(), 0);
    TempDir out;
    const std::string picture = out.file("Bild \xc3\xa4\xc3\xb6\xc3\xbc \xe6\xa8\xa1\xe5\x9e\x8b.png");
    const std::string wrl = out.file("Export \xc3\xa9t\xc3\xa9.wrl");
    writeFile(picture, "the old picture");
    writeFile(wrl, "the old export");
    const auto before = entries(out.path());
    const std::string locked = withoutOverride();
    if (locked.empty())
        std::cout << "[ note ] permission bits cannot be tested here\n";
    const std::string limited = "sh -c 'trap \"\" XFSZ; ulimit -f 1; exec \"$0\" \"$@\"' ";
    struct Case {
        std::string path, reason, prefix;
        bool readOnly = false;
    };
    std::vector<std::pair<std::string, Case>> cases; // command and output, and the case
    for (const std::string command : {"info ", "render ", "export "}) {
        const std::string output = command == "info " ? "" : command == "render " ? q(picture) : q(wrl);
        for (const Case& c : std::vector<Case>{{dir.file("folder.kmf"), "is a folder", ""},
                                               {fifo, "is not a regular file", ""},
                                               {dir.file("huge.kmf"), "too large", ""},
                                               {dir.file("missing.kmf"), "No such file or directory", ""},
                                               {dir.file("locked.kmf"), "Permission denied", locked}})
            cases.push_back({command + q(c.path) + " " + output, c});
    }
    for (const std::string& target : {picture, wrl}) {
        const std::string command = (target == wrl ? "export " : "render --size 512x384 ") + q(model) + " ";
        const std::string missing = out.file("missing/x" + target.substr(target.size() - 4));
        cases.push_back({command + q(missing), {missing, "No such file", ""}});
        cases.push_back({command + q(target), {target, "too large", limited}});
        cases.push_back({command + q(target), {target, "Permission denied", locked, true}});
    }
    for (const auto& [args, c] : cases) {
        if (c.reason == "Permission denied" && c.prefix.empty())
            continue;
        if (c.readOnly)
            ::chmod(out.path().c_str(), 0555);
        const CommandResult r = run(args + opts(), c.prefix);
        ::chmod(out.path().c_str(), 0700);
        EXPECT_EQ(r.status, 1) << args << ": " << r.out;
        EXPECT_EQ(lines(r.out), 1u) << args << ": " << r.out;
        EXPECT_NE(r.out.find(c.path), std::string::npos) << args << ": " << r.out;
        EXPECT_NE(r.out.find(c.reason), std::string::npos) << args << ": " << r.out;
    }
    EXPECT_EQ(readFile(picture), "the old picture");
    EXPECT_EQ(readFile(wrl), "the old export");
    EXPECT_EQ(entries(out.path()), before) << "a file was left behind";

    // A disk that is really full.
    for (const std::string ext : {".png", ".wrl"}) {
        TempDir disk;
        const std::string old = q(disk.file("old" + ext));
        const std::string command = (ext == ".png" ? "render --size 512x384 " : "export ") + q(model) + " ";
        const CommandResult r =
            inSmallDisk(disk.path(),
                        "printf 'the old file' > " + old + " && (dd if=/dev/zero of=" + q(disk.file("fill")) +
                            " bs=4k 2>/dev/null; true) && " + q(KOLBRIK_CLI) + " " + command + old + opts() +
                            "; echo \"status=$?\"; echo \"old=$(cat " + old + ")\"; ls " + q(disk.path()));
        if (r.status == -2) {
            std::cout << "[ note ] no user namespaces: a full disk cannot be tested here\n";
            break;
        }
        EXPECT_NE(r.out.find("No space left on device"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("status=1\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("old=the old file\n"), std::string::npos) << r.out;
        EXPECT_TRUE(r.out.ends_with("\nfill\nold" + ext + "\n")) << "a file was left behind: " << r.out;
    }
}

// Resources that cannot be read (a cut mesh; a part whose files only a
// process that passes permission bits may read) leave their parts empty;
// the model loads, draws and exports with what is there.
TEST_F(CliFiles, BrokenResourcesLeaveTheirPartsEmptyAndTheModelLoads)
{
    const auto block = stlFile(box(-5, -5, -5, 5, 5, 5));
    writeFile(resFile("31001.stl"), block.substr(0, 84 + 50 + 20)); // one whole triangle, then cut
    const std::string prefix = withoutOverride();
    const bool locked = !prefix.empty();
    writeFile(resFile("31008.stl"), block);
    writeFile(resFile("31008.def"), crlf({"[COMMON]", "NAME=Locked"}));
    ::chmod(resFile("31008.stl").c_str(), 0);
    ::chmod(resFile("31008.def").c_str(), 0);
    writeFile(model, kmfFile({0, 0, -10}, {0, 0, 0},
                             {{"K31001_p", {-3, 0, 0}},
                              {"K31008_p", {3, 0, 0}},
                              {"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00}}));

    CommandResult r = run("info " + q(model) + opts(), prefix);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Parts:       3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(std::string(locked ? "2" : "1") + " part(s) without a definition"),
              std::string::npos)
        << r.out;

    const std::string picture = dir.file("Bild \xc3\xa4\xc3\xb6\xc3\xbc \xe6\xa8\xa1\xe5\x9e\x8b.png");
    r = run("render " + q(model) + " " + q(picture) + " --size 64x48" + opts(), prefix);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_GT(vxReadPNG(picture).pixel(32, 24)[1], 100) << "the good part is not drawn";

    // The cut mesh's one whole triangle and the good part are exported.
    r = run("export " + q(model) + " " + q(dir.file("Export \xc3\xa9t\xc3\xa9.wrl")) + opts(), prefix);
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string wrl = readFile(dir.file("Export \xc3\xa9t\xc3\xa9.wrl"));
    EXPECT_NE(wrl.find("DEF part1 "), std::string::npos);
    EXPECT_EQ(wrl.find("DEF part2 ") == std::string::npos, locked);
    EXPECT_NE(wrl.find("DEF part3 "), std::string::npos);
}

// Targets that are not regular files: a link is followed and its target
// replaced; a pipe read by another process gets the whole export, written
// as it comes; "-" is standard output for every writing command; a folder
// is refused. No command writes over the model it reads, under any name.
TEST_F(CliFiles, LinksPipesAndStandardOutputAreWrittenAndTheModelIsNeverOverwritten)
{
    const std::string wanted = dir.file("wanted.stl");
    ASSERT_EQ(run("export " + q(model) + " " + q(wanted) + opts()).status, 0);
    const std::string stl = readFile(wanted);
    ASSERT_EQ(stl.size(), 84u + 12 * 50);

    TempDir elsewhere;
    writeFile(elsewhere.file("real.stl"), "old");
    std::filesystem::create_symlink(elsewhere.file("real.stl"), dir.file("link.stl"));
    CommandResult r = run("export " + q(model) + " " + q(dir.file("link.stl")) + opts());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.stl")));
    EXPECT_EQ(readFile(elsewhere.file("real.stl")), stl);

    const std::string fifo = dir.file("pipe.stl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    r = runCommand("timeout 60 sh -c " +
                   q("cat " + q(fifo) + " > " + q(dir.file("read.stl")) + " & " + q(KOLBRIK_CLI) +
                     " export " + q(model) + " " + q(fifo) + opts() + "; wait"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(readFile(dir.file("read.stl")), stl);

    for (const std::string& command :
         {"export " + q(model) + " - --format stl", "export " + q(model) + " - --format glb",
          "render " + q(model) + " - --size 64x48", "instructions " + q(model) + " -"}) {
        if (!KOLBRIK_CLI_BOOKLET && command.starts_with("instructions"))
            continue; // a build without the booklet
        const std::string out = dir.file("stdout");
        r = runCommand("timeout 60 sh -c " + q(q(KOLBRIK_CLI) + " " + command + opts() + " > " + q(out)));
        EXPECT_EQ(r.status, 0) << command << ": " << r.out;
        const std::string got = readFile(out);
        const std::string head = command.find(" stl") != std::string::npos   ? stl.substr(0, 84)
                                 : command.find(" glb") != std::string::npos ? std::string("glTF")
                                 : command.starts_with("render")             ? std::string("\x89PNG")
                                                                             : std::string("%PDF");
        EXPECT_EQ(got.substr(0, head.size()), head) << command;
        if (command.find(" stl") != std::string::npos) {
            EXPECT_EQ(got, stl);
        }
    }
    r = run("export " + q(model) + " - --format obj" + opts());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("material file"), std::string::npos) << r.out;
    std::filesystem::create_directory(dir.file("folder.stl"));
    r = run("export " + q(model) + " " + q(dir.file("folder.stl")) + opts());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Is a directory"), std::string::npos) << r.out;

    // The model under its own name, through a link and as an OBJ's material file.
    const std::string before = readFile(model);
    std::filesystem::create_symlink(model, dir.file("same.kmf"));
    std::filesystem::copy_file(model, dir.file("m.mtl"));
    for (const std::string& command :
         {"export " + q(model) + " " + q(model) + " --format stl",
          "export " + q(model) + " " + q(dir.file("same.kmf")) + " --format glb",
          "render " + q(model) + " " + q(dir.file("same.kmf")), "instructions " + q(model) + " " + q(model),
          "export " + q(dir.file("m.mtl")) + " " + q(dir.file("m.obj"))}) {
        if (!KOLBRIK_CLI_BOOKLET && command.starts_with("instructions"))
            continue; // a build without the booklet
        r = run(command + opts());
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.out.find("it is the model being read"), std::string::npos) << r.out;
        EXPECT_EQ(lines(r.out), 1u) << r.out;
    }
    EXPECT_EQ(readFile(model), before);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("same.kmf")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("m.obj")));
}

// What info and parts print is checked to the last flush: output that
// cannot be written (a full device as standard output, which is not
// replaced) fails with a message instead of reporting success.
TEST_F(CliFiles, InfoAndPartsFailWhenTheirOutputIsLost)
{
    if (!std::filesystem::is_character_file("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    for (const std::string command :
         {"info ", "info --json ", "parts ", "parts --json ", "--help", "info --help"}) {
        const std::string args = command.ends_with("help") ? command : command + q(model) + opts();
        const CommandResult r = runCommand("{ " + q(KOLBRIK_CLI) + " " + args + " > /dev/full; }");
        EXPECT_EQ(r.status, 1) << args << ": " << r.out;
        EXPECT_NE(r.out.find("cannot write standard output: No space left on device"), std::string::npos)
            << args << ": " << r.out;
        EXPECT_EQ(run(args + " > /dev/null").status, 0) << args;
    }
}

// An export stopped part way, by an interrupt or a kill, leaves no file
// beside the target: the temporary file has no name, or the interrupt
// removes it. The export is stopped once it has its file open.
TEST_F(CliFiles, AnExportStoppedPartWayLeavesNothingBehind)
{
    // A model large enough to take a while to write.
    std::vector<KmfPart> parts;
    for (int k = 0; k < 40000; ++k)
        parts.push_back({"K31005_p", {static_cast<float>(k % 200), static_cast<float>(k / 200), 0}});
    writeFile(model, kmfFile({0, 0, -10}, {0, 0, 0}, parts));
    for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
        TempDir out;
        writeFile(out.file("old.stl"), "the old export");
        const std::string target = out.file("old.stl");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string resources = res;
            ::execl(KOLBRIK_CLI, KOLBRIK_CLI, "export", model.c_str(), target.c_str(), "--resources",
                    resources.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Waits until the writer holds a file in the target's folder.
        const auto writing = [&] {
            std::error_code error;
            for (const auto& fd :
                 std::filesystem::directory_iterator("/proc/" + std::to_string(child) + "/fd", error)) {
                const std::string to = std::filesystem::read_symlink(fd.path(), error).string();
                if (to.starts_with(out.path() + "/"))
                    return true;
            }
            return false;
        };
        bool seen = false;
        int status = 0;
        for (int k = 0; k < 60000 && !seen; ++k) {
            seen = writing();
            if (!seen && ::waitpid(child, &status, WNOHANG) == child)
                break;
            if (!seen)
                ::usleep(500);
        }
        if (!seen) {
            std::cout << "[ note ] the export ended before it could be stopped\n";
            continue;
        }
        ::kill(child, signal);
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            std::cout << "[ note ] the export ended before the signal came\n";
            continue;
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(entries(out.path()), std::set<std::string>{"old.stl"}) << "signal " << signal;
        EXPECT_EQ(readFile(target), "the old export");
    }
}

// An OBJ export that does not fit on the disk leaves both the old OBJ file
// and the old material file: neither goes in place unless both are whole.
TEST_F(CliFiles, AnObjExportThatFailsLeavesTheOldMaterialFileToo)
{
    // An OBJ file larger than the disk; its material file takes one block.
    std::vector<KmfPart> parts;
    for (int k = 0; k < 300; ++k)
        parts.push_back({"K31005_p", {static_cast<float>(k), 0, 0}});
    writeFile(model, kmfFile({0, 0, -10}, {0, 0, 0}, parts));
    TempDir disk;
    const std::string obj = q(disk.file("old.obj")), mtl = q(disk.file("old.mtl")),
                      fill = q(disk.file("fill"));
    const CommandResult r = inSmallDisk(
        disk.path(), "printf 'old obj' > " + obj + " && printf 'old mtl' > " + mtl +
                         " && (dd if=/dev/zero of=" + fill + " bs=4k 2>/dev/null; true) && truncate -s -8K " +
                         fill + " && " + q(KOLBRIK_CLI) + " export " + q(model) + " " + obj + opts() +
                         "; echo \"status=$?\"; echo \"obj=$(cat " + obj + ")\"; echo \"mtl=$(cat " + mtl +
                         ")\"; ls " + q(disk.path()));
    if (r.status == -2)
        GTEST_SKIP() << "no user namespaces: a full disk cannot be made here";
    EXPECT_NE(r.out.find("No space left on device"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("status=1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("obj=old obj\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mtl=old mtl\n"), std::string::npos) << r.out;
    EXPECT_TRUE(r.out.ends_with("\nfill\nold.mtl\nold.obj\n")) << "a file was left behind: " << r.out;
}
