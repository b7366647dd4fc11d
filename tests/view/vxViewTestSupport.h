#pragma once

// A view on an off-screen host over a temporary resource folder, and an
// independent projection of model points to picture pixels.
#include "vxLens.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxTestMesh.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>

namespace vxTest {

using Rgba = std::array<std::uint8_t, 4>;

// Colour channels within one step of the expected 0..1 values.
inline ::testing::AssertionResult colorNear(const Rgba& got, float r, float g, float b, int tolerance = 1)
{
    const float want[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        const int w = static_cast<int>(std::lround(want[i] * 255.0f));
        if (std::abs(static_cast<int>(got[i]) - w) > tolerance)
            return ::testing::AssertionFailure()
                   << "pixel (" << int(got[0]) << ", " << int(got[1]) << ", " << int(got[2]) << ") is not ("
                   << std::lround(r * 255) << ", " << std::lround(g * 255) << ", " << std::lround(b * 255)
                   << ")";
    }
    return ::testing::AssertionSuccess();
}

struct Pixel {
    int x = 0; // column from the left
    int y = 0; // row from the top
};

// Where a model point lands in a picture of w x h pixels, for a camera at
// eye looking at target with the world's y up, through the view's lens:
// computed here from first principles, not with the GL.
inline Pixel project(const vxVector& eye, const vxVector& target, int w, int h, const vxVector& p)
{
    vxVector f, s, u, up(0, 1, 0), rel;
    f.vectorSubtract3f(target, eye);
    f.normalizeVector3f();
    s.vectorCrossProduct3f(f, up);
    s.normalizeVector3f();
    u.vectorCrossProduct3f(s, f);
    rel.vectorSubtract3f(p, eye);
    const double xe = s.vectorDotProduct3f(s, rel);
    const double ye = u.vectorDotProduct3f(u, rel);
    const double depth = f.vectorDotProduct3f(f, rel);
    const double focal = 1.0 / std::tan(vxLens::kFieldOfView / 2 * M_PI / 180.0);
    const double aspect = static_cast<double>(w) / h;
    const double xn = focal / aspect * xe / depth;
    const double yn = focal * ye / depth;
    return {static_cast<int>(std::floor((xn + 1) / 2 * w)),
            static_cast<int>(std::floor(h - (yn + 1) / 2 * h))};
}

// The colour at p or at one of its eight neighbours (thin lines may fall
// on either side of a pixel border).
inline bool colorAround(const vxImage& image, Pixel p, float r, float g, float b)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = p.x + dx, y = p.y + dy;
            if (x >= 0 && y >= 0 && x < image.width && y < image.height &&
                colorNear(image.pixel(x, y), r, g, b))
                return true;
        }
    return false;
}

// A view set up as the window sets it up, on an off-screen host, with its
// own resource folder.
class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.ok()) << host.error();
        view.prepare();
        view.awakeFromNib();
        view.reshape();
    }

    void mesh(const std::string& name, const std::vector<StlTriangle>& triangles)
    {
        writeFile(res.file(name + ".stl"), stlFile(triangles));
    }
    // Writes the model and loads it through the view, grid hidden.
    void load(std::array<float, 3> eye, std::array<float, 3> target, const std::vector<KmfPart>& parts,
              const std::vector<std::int32_t>& tubes = {})
    {
        writeFile(dir.file("m.kmf"), kmfFile(eye, target, parts, tubes));
        view.set3DGridVisible(0);
        ASSERT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
    }
    vxImage draw()
    {
        view.drawRect();
        return host.readPixels();
    }
    Pixel at(const vxVector& p) const
    {
        return project(const_cast<vxOpenGLView&>(view).cameraPosition(),
                       const_cast<vxOpenGLView&>(view).cameraTarget(), host.pixelWidth(), host.pixelHeight(),
                       p);
    }
    Rgba pixelAt(const vxImage& image, const vxVector& p) const
    {
        const Pixel px = at(p);
        EXPECT_TRUE(px.x >= 0 && px.y >= 0 && px.x < image.width && px.y < image.height)
            << "(" << p.x() << ", " << p.y() << ", " << p.z() << ") is outside the picture";
        if (px.x < 0 || px.y < 0 || px.x >= image.width || px.y >= image.height)
            return {0, 0, 0, 0};
        return image.pixel(px.x, px.y);
    }

    TempDir res;
    TempDir dir;
    ResourceFolder folder{res.path()};
    vxOffscreenHost host{201, 151};
    vxOpenGLView view{host};
};

inline const float kBackground[3] = {0.92f, 0.91f, 0.85f};

} // namespace vxTest
