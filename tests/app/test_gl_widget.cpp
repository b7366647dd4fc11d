// The window host of the view: sizes, coordinates and a real draw.
#include "MainWindowController.h"
#include "vxGLWidget.h"
#include "vxQtTestSupport.h"
#include "vxResources.h"
#include "vxTestMesh.h"
#include "vxTestSupport.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

TEST(GLWidget, HostsTheViewWithPointsPixelsAndALowerLeftOrigin)
{
    vxTest::qtApp();
    vxTest::TempDir res;
    vxTest::writeFile(res.file("31005.stl"), vxTest::stlFile(vxTest::box(-5, -5, -5, 5, 5, 5)));
    vxTest::writeFile(
        res.file("m.kmf"),
        vxTest::kmfFile({0, 0, -10}, {0, 0, 0}, {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff}}));
    vxResources::setResourceFolder(res.path());

    MainWindowController window;
    window.setShowAlerts(false);
    EXPECT_FALSE(window.loadModelFromFile(QString::fromStdString(res.file("missing.kmf"))));
    ASSERT_TRUE(window.loadModelFromFile(QString::fromStdString(res.file("m.kmf"))));
    vxGLWidget& w = *window.viewWidget();
    EXPECT_EQ(w.view().gridVisible(), 0);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const vxSize points = w.boundsInPoints();
    const vxSize pixels = w.boundsInPixels();
    EXPECT_EQ(points.width, w.width());
    EXPECT_EQ(pixels.width, w.width() * w.devicePixelRatioF());
    EXPECT_EQ(pixels.height, w.height() * w.devicePixelRatioF());
    // The widget's top left corner, in window coordinates, is the view's
    // point (0, height).
    const vxPoint topLeft = w.convertFromWindow(w.windowPointFromWidget(QPointF(0, 0)));
    EXPECT_EQ(topLeft.x, 0);
    EXPECT_EQ(topLeft.y, w.height());
    const vxPoint bottom = w.convertFromWindow(w.windowPointFromWidget(QPointF(10, w.height())));
    EXPECT_EQ(bottom.x, 10);
    EXPECT_EQ(bottom.y, 0);

    const QImage image = w.grabFramebuffer();
    ASSERT_FALSE(image.isNull());
    const QColor corner = image.pixelColor(1, 1);
    EXPECT_NEAR(corner.red(), 235, 1);
    EXPECT_NEAR(corner.green(), 232, 1);
    EXPECT_NEAR(corner.blue(), 217, 1);
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    EXPECT_NEAR(centre.red(), 255, 1); // the cube's lit front in the part's red
    EXPECT_NEAR(centre.green(), 0, 1);
    vxResources::setResourceFolder("");
}
