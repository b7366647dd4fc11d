// Resource files that are no files or too large, and resource files that
// change while a model loads: after the model file has been read, meshes
// and definitions are cut, grow, vanish or are replaced by what is no file.
// The load finishes with what is there, and the next load reads the files
// afresh.
#include "vxViewTestSupport.h"

#include <filesystem>
#include <sys/stat.h>
#include <utility>

using namespace vxTest;

TEST_F(ViewTest, ResourcesChangingWhileAModelLoads)
{
    const auto block = box(-5, -5, -5, 5, 5, 5); // twelve triangles
    for (const char* name : {"31001", "31002", "31003", "31004", "31005", "31006", "31007"})
        mesh(name, block);
    writeFile(res.file("31008.def"), crlf({"[COMMON]", "NAME=Eight"}));
    writeFile(res.file("31008.stl"), stlFile(block));
    std::filesystem::create_symlink("31009.stl", res.file("31009.stl")); // a loop
    std::filesystem::create_symlink("/dev/urandom", res.file("31009.def"));
    writeFile(res.file("31010.stl"), stlFile(block));
    std::filesystem::resize_file(res.file("31010.stl"), 513ull * 1024 * 1024); // sparse, over the limit
    writeFile(res.file("31010.def"), "");
    mesh("31011", block);
    ASSERT_EQ(::mkfifo(res.file("31011.def").c_str(), 0600), 0);
    mesh("31012", block);
    std::filesystem::create_directory(res.file("31012.def"));

    auto changeFiles = [&] {
        const std::string cut = stlFile(block);
        writeFile(res.file("31001.stl"), cut.substr(0, 84 + 50 + 49)); // one whole triangle
        std::filesystem::remove(res.file("31002.stl"));
        std::filesystem::remove(res.file("31003.stl"));
        ASSERT_EQ(::mkfifo(res.file("31003.stl").c_str(), 0600), 0);
        std::filesystem::remove(res.file("31004.stl"));
        std::filesystem::create_symlink("/dev/zero", res.file("31004.stl"));
        std::filesystem::remove(res.file("31005.stl"));
        std::filesystem::create_directory(res.file("31005.stl"));
        // Grown: the declared count still says twelve.
        writeFile(res.file("31006.stl"), cut + cut.substr(84));
        // Replaced by a mesh of one triangle.
        writeFile(res.file("31007.stl"), stlFile({block[0]}));
        // The definition of a part read later vanishes.
        std::filesystem::remove(res.file("31008.def"));
    };
    bool changed = false;
    view.setLoadProgress([&](std::int32_t done, std::int32_t) {
        if (done == 1 && !changed) {
            changed = true;
            changeFiles();
        }
    });

    std::vector<KmfPart> parts;
    for (int i = 1; i <= 12; ++i)
        parts.push_back({"K310" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "_p",
                         {static_cast<float>(2 * i - 9), 0, i > 8 ? 3.0f : 0.0f}});
    load({0, 5, -20}, {0, 0, 0}, parts);
    ASSERT_TRUE(changed);

    const std::size_t triangles[12] = {1, 0, 0, 0, 0, 12, 1, 12, 0, 0, 12, 12};
    const bool found[12] = {false, false, false, false, false, false,
                            false, false, false, true,  false, false};
    ASSERT_EQ(view.sceneObjectList().size(), 12u);
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(std::as_const(*view.sceneObjectList()[i]).verticesList().size(), triangles[i]) << i + 1;
        EXPECT_EQ(view.model()->partList()[i]->definition().found(), found[i]) << i + 1;
    }

    // Drawn and picked with what was read: the eighth part is there.
    const vxImage image = draw();
    EXPECT_FALSE(
        colorNear(pixelAt(image, vxVector(7, 0, 0)), kBackground[0], kBackground[1], kBackground[2]));
    const Pixel p = at(vxVector(7, 0, 0));
    EXPECT_EQ(view.getPickedObject(p.x, host.pixelHeight() - 1 - p.y), view.sceneObjectList()[7]);

    // The files put right, the next load reads them afresh.
    view.setLoadProgress(nullptr);
    std::filesystem::remove(res.file("31003.stl"));
    std::filesystem::remove(res.file("31004.stl"));
    std::filesystem::remove(res.file("31005.stl"));
    for (const char* name : {"31001", "31002", "31003", "31004", "31005", "31006", "31007"})
        mesh(name, block);
    writeFile(res.file("31008.def"), crlf({"[COMMON]", "NAME=Eight"}));
    load({0, 5, -20}, {0, 0, 0}, parts);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(std::as_const(*view.sceneObjectList()[i]).verticesList().size(), 12u);
    EXPECT_EQ(view.model()->partList()[7]->definition().m_Name, "Eight");
}
