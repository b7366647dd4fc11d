// The preview pictures are the view's own drawing of their models: drawn
// again here, off-screen, exactly as the window shows a model after opening
// it, every one comes out the same.
#include "vxBmp.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(LibraryPreviews, AreTheViewsDrawingOfTheirModels)
{
    if (!KOLBRIK_LIBRARY_BUILT)
        GTEST_SKIP() << "this build does not generate the resource folder";
    const std::string resources = std::string(KOLBRIK_BUILD_DIR) + "/share/kolbrik-viewer";
    vxResources::setResourceFolder(resources);
    vxOffscreenHost host(320, 240);
    ASSERT_TRUE(host.ok()) << host.error();
    vxOpenGLView view(host);
    view.prepare();
    view.awakeFromNib();
    view.set3DGridVisible(0);
    view.reshape();
    std::vector<fs::path> models;
    for (const auto& e : fs::recursive_directory_iterator(resources + "/library"))
        if (e.path().extension() == ".kmf")
            models.push_back(e.path());
    std::sort(models.begin(), models.end());
    EXPECT_GE(models.size(), 24u);
    for (const fs::path& model : models) {
        SCOPED_TRACE(model.string());
        ASSERT_TRUE(view.loadModelFromFile(model.string()));
        view.drawRect();
        const vxImage drawn = host.readPixels();
        const vxGen::vxBmpImage preview =
            vxGen::vxReadBmp(fs::path(model).replace_extension(".bmp").string());
        ASSERT_EQ(preview.width, drawn.width);
        ASSERT_EQ(preview.height, drawn.height);
        long differing = 0;
        for (int y = 0; y < drawn.height; ++y)
            for (int x = 0; x < drawn.width; ++x) {
                const auto p = drawn.pixel(x, y);
                const std::uint8_t* q =
                    &preview.rgb[(std::size_t(y) * std::size_t(drawn.width) + std::size_t(x)) * 3];
                differing +=
                    std::abs(p[0] - q[0]) > 2 || std::abs(p[1] - q[1]) > 2 || std::abs(p[2] - q[2]) > 2;
            }
        EXPECT_LT(differing, drawn.width * drawn.height / 100);
    }
    view.sceneObjectList().clear();
}
