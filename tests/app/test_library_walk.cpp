// The library walk over a folder full of symbolic-link loops and entries
// that are no files: it ends, never passes through a link, and lists only
// real folders and regular model files; previews that are devices or FIFOs
// are left empty.
#include "vxLibrary.h"
#include "vxModel.h"
#include "vxQtTestSupport.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <set>
#include <sys/stat.h>
#include <utility>

using namespace vxTest;
namespace fs = std::filesystem;

namespace {

// Runs the walk on another thread; a walk that has not ended after a
// minute fails the test and ends the program (a thread cannot be stopped).
template <typename F> auto finishing(F walk)
{
    auto done = std::async(std::launch::async, walk);
    if (done.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the library walk does not end";
        std::_Exit(1);
    }
    return done.get();
}

} // namespace

TEST(LibraryWalk, LinkLoopsAndEntriesThatAreNoFilesEndTheWalk)
{
    vxTest::qtApp();
    TempDir res;
    const std::string lib = res.file("library");
    const std::string kit = lib + "/Kit A";
    writeFile(kit + "/Tower.kmf", "[COMMON]\r\nCOUNT=0\r\n");
    writeFile(kit + "/deep/er/Crane.kmf", "[COMMON]\r\nCOUNT=0\r\n");
    fs::create_symlink(".", kit + "/self");               // its own folder
    fs::create_symlink("..", kit + "/up");                // the library
    fs::create_symlink("../../..", kit + "/deep/er/top"); // the library, from below
    fs::create_symlink("Kit A", lib + "/Kit B");          // a kit that is a link
    fs::create_symlink("loop2", kit + "/loop1");          // links to each other
    fs::create_symlink("loop1", kit + "/loop2");
    fs::create_symlink("loop1.kmf", kit + "/loop1.kmf");
    fs::create_symlink("nowhere", kit + "/dangling.kmf");
    fs::create_symlink("/dev/zero", kit + "/zero.kmf");
    ASSERT_EQ(::mkfifo((kit + "/pipe.kmf").c_str(), 0600), 0);
    fs::create_directory(kit + "/folder.kmf");
    // Previews that must not be read forever or wait for a writer.
    fs::create_symlink("/dev/zero", kit + "/Tower.bmp");
    ASSERT_EQ(::mkfifo((kit + "/deep/er/Crane.bmp").c_str(), 0600), 0);

    const QString library = QString::fromStdString(lib);
    const auto kits = finishing([&] { return vxLibrary::kits(library); });
    std::set<std::string> kitNames;
    for (const auto& k : kits) {
        EXPECT_TRUE(kitNames.insert(k.fullName.toStdString()).second) << k.fullName.toStdString() << " twice";
        for (const char* link : {"Kit A/self/", "Kit A/up/", "Kit A/deep/er/top/", "Kit B/", "Kit A/loop"})
            EXPECT_FALSE(k.fullName.startsWith(QLatin1String(link)))
                << k.fullName.toStdString() << " lies behind a link";
    }
    // Real folders only (a link is no kit); the folder named like a model is
    // a folder too.
    EXPECT_EQ(kitNames, (std::set<std::string>{"Kit A", "Kit A/deep", "Kit A/deep/er", "Kit A/folder"}));
    // Every listed kit, links to folders included, gives its models.
    for (const auto& k : kits) {
        const auto models = finishing([&] { return vxLibrary::models(library + "/" + k.fullName); });
        EXPECT_LE(models.size(), 4u) << k.fullName.toStdString();
    }

    // Each model once, in the kit of its own folder.
    for (const auto& [folder, expected] :
         {std::pair<std::string, std::set<std::string>>{kit, {"Tower"}}, {kit + "/deep/er", {"Crane"}}}) {
        SCOPED_TRACE(folder);
        const auto models = finishing([&] { return vxLibrary::models(QString::fromStdString(folder)); });
        std::set<std::string> names;
        for (const auto& m : models) {
            const std::string name = m.fullName.toStdString();
            EXPECT_TRUE(names.insert(name).second) << name << " twice";
            EXPECT_TRUE(m.fullImage.isNull()) << name;
            for (const char* link : {"self/", "up/", "deep/er/top/", "loop"})
                EXPECT_FALSE(m.fullName.startsWith(QLatin1String(link))) << name << " lies behind a link";
            // What is listed loads.
            vxModel model;
            const vxLoadResult r = model.loadModelFromFile(m.index.toStdString());
            EXPECT_TRUE(r) << name << ": " << r.error;
        }
        // No pipe, folder, dangling link, link loop or device.
        EXPECT_EQ(names, expected);
    }
}
