// The preview pictures are the view's own drawing of their models: drawn
// again here, off-screen, exactly as the window shows a model after opening
// it, every one comes out the same. And, independently of the drawing code,
// what a preview shows lies where the model is: inside the projections of
// its parts' placed bounding boxes, by the camera of the file.
#include "vxBmp.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"
#include "vxViewTestSupport.h"

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

        // Where the parts can show: the pixel rectangle around each part's
        // placed box, one pixel wider all round.
        const int w = preview.width, h = preview.height;
        std::vector<bool> covered(std::size_t(w) * std::size_t(h), false);
        const vxVector eye = view.cameraPosition(), target = view.cameraTarget();
        vxVector forward;
        forward.vectorSubtract3f(target, eye);
        forward.normalizeVector3f();
        for (const auto& o : view.sceneObjectList()) {
            const vxBounds box = o->worldBounds();
            if (box.empty)
                continue;
            int x0 = w, y0 = h, x1 = -1, y1 = -1;
            for (int k = 0; k < 8; ++k) {
                const vxVector c((k & 1 ? box.max : box.min).x(), (k & 2 ? box.max : box.min).y(),
                                 (k & 4 ? box.max : box.min).z());
                vxVector rel;
                rel.vectorSubtract3f(c, eye);
                if (forward.vectorDotProduct3f(forward, rel) < 0.2f) { // at or behind the near plane
                    x0 = y0 = 0;
                    x1 = w - 1;
                    y1 = h - 1;
                    break;
                }
                const vxTest::Pixel p = vxTest::project(eye, target, w, h, c);
                x0 = std::min(x0, p.x);
                y0 = std::min(y0, p.y);
                x1 = std::max(x1, p.x);
                y1 = std::max(y1, p.y);
            }
            for (int y = std::max(y0 - 1, 0); y <= std::min(y1 + 1, h - 1); ++y)
                for (int x = std::max(x0 - 1, 0); x <= std::min(x1 + 1, w - 1); ++x)
                    covered[std::size_t(y) * std::size_t(w) + std::size_t(x)] = true;
        }
        const int background[3] = {235, 232, 217};
        long shown = 0, outside = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* q = &preview.rgb[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3];
                if (std::abs(q[0] - background[0]) <= 2 && std::abs(q[1] - background[1]) <= 2 &&
                    std::abs(q[2] - background[2]) <= 2)
                    continue;
                ++shown;
                outside += !covered[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            }
        EXPECT_GT(shown, w * h / 50) << "the preview shows the model";
        EXPECT_EQ(outside, 0) << "pixels where no part is";
    }
    view.sceneObjectList().clear();
}
