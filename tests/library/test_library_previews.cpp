// The preview pictures are the view's own drawing of their models: drawn
// again here, off-screen, exactly as the window shows a model after
// opening it, they come out the same.
#include "vxBmp.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

const std::string kResources = std::string(KOLBRIK_BUILD_DIR) + "/share/kolbrik-viewer";

} // namespace

TEST(LibraryPreviews, AreTheViewsDrawingOfTheirModels)
{
    if (!KOLBRIK_LIBRARY_BUILT)
        GTEST_SKIP() << "this build does not generate the resource folder";
    vxResources::setResourceFolder(kResources);
    vxOffscreenHost host(320, 240);
    ASSERT_TRUE(host.ok()) << host.error();
    vxOpenGLView view(host);
    view.prepare();
    view.awakeFromNib();
    view.set3DGridVisible(0);
    view.reshape();
    int compared = 0;
    for (const char* name : {"Starter/Rocket", "Vehicles/Truck", "Machines/Electric/Traffic light", "Showpieces/Castle"}) {
        SCOPED_TRACE(name);
        const std::string base = kResources + "/library/" + name;
        ASSERT_TRUE(view.loadModelFromFile(base + ".kmf"));
        view.drawRect();
        const vxImage drawn = host.readPixels();
        const vxBmpImage preview = vxReadBmp(base + ".bmp");
        ASSERT_EQ(preview.width, drawn.width);
        ASSERT_EQ(preview.height, drawn.height);
        long differing = 0;
        for (int y = 0; y < drawn.height; ++y)
            for (int x = 0; x < drawn.width; ++x) {
                const auto p = drawn.pixel(x, y);
                const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(drawn.width) +
                                       static_cast<std::size_t>(x)) * 3;
                for (int k = 0; k < 3; ++k)
                    if (std::abs(int(p[static_cast<std::size_t>(k)]) - int(preview.rgb[i + static_cast<std::size_t>(k)])) > 2) {
                        ++differing;
                        break;
                    }
            }
        EXPECT_LT(differing, drawn.width * drawn.height / 100);
        ++compared;
    }
    view.sceneObjectList().clear();
    EXPECT_EQ(compared, 4);
}
