#pragma once

// Models for the booklet's step model, loaded through a view without a
// window (the scene objects the step model reads), and where a model point
// lands in a picture, computed from first principles.
#include "vxBookletSteps.h"
#include "vxOpenGLView.h"
#include "vxTestMesh.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace vxTest {

// A point in a picture: x and y from -1 to 1 across it (y up).
struct Seen {
    double x = 0, y = 0;
    bool inFront = false;
};

inline Seen seenIn(const vxBookletRender& r, const vxVector& p)
{
    vxVector f, s, u, rel;
    f.vectorSubtract3f(r.target, r.eye);
    f.normalizeVector3f();
    s.vectorCrossProduct3f(f, r.up);
    s.normalizeVector3f();
    u.vectorCrossProduct3f(s, f);
    rel.vectorSubtract3f(p, r.eye);
    const double depth = f.vectorDotProduct3f(f, rel);
    const double t = std::tan(r.fieldOfView / 2 * std::numbers::pi / 180.0);
    const double aspect = static_cast<double>(r.width) / r.height;
    return {s.vectorDotProduct3f(s, rel) / depth / t / aspect, u.vectorDotProduct3f(u, rel) / depth / t,
            depth > 0};
}

class BookletModel : public ::testing::Test {
  protected:
    void SetUp() override
    {
        view.awakeFromNib();
        part("31005", "Building block 15", box(-5, -5, -5, 5, 5, 5));
        part("32000", "Base plate 200", box(-100, -5, -100, 100, 5, 100));
    }
    void part(const std::string& number, const std::string& name, const std::vector<StlTriangle>& mesh)
    {
        writeFile(res.file(number + ".stl"), stlFile(mesh));
        writeFile(res.file(number + ".def"), crlf({"[COMMON]", "NAME=" + name, "ORGNUMBER=" + number}));
    }
    const vxModel& load(const std::vector<KmfPart>& parts, std::array<float, 3> eye = {-30, 25, -40})
    {
        writeFile(dir.file("m.kmf"), kmfFile(eye, {0, 0, 0}, parts));
        EXPECT_TRUE(view.loadModelFromFile(dir.file("m.kmf")));
        return *view.model();
    }

    TempDir res;
    TempDir dir;
    ResourceFolder folder{res.path()};
    vxHeadlessHost host;
    vxOpenGLView view{host};
};

} // namespace vxTest
