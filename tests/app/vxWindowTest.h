#pragma once

// The main window as the window tests find it: settings empty, English
// texts, a resource folder with the cube part 31005 ("Block 30") and the
// model three.kmf: a block in front (phase 1, red), one behind it (phase 2,
// green) and two to the sides (phase 3, blue), not opened yet.
#include "MainWindowController.h"
#include "vxGLWidget.h"
#include "vxMessageBar.h"
#include "vxQtTestSupport.h"
#include "vxSegmentedControl.h"
#include "vxStartPage.h"
#include "vxTestMesh.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"
#include "vxTranslations.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vxTest {

inline QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

inline const QString kTranslations = QStringLiteral(KOLBRIK_BUILD_DIR "/share/kolbrik-viewer/translations");

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        qtApp();
        QSettings().clear();
        vxInstallTranslations(qtApp(), QLocale::English, kTranslations);
        writeFile(res.file("31005.stl"), stlFile(box(-10, -10, -10, 10, 10, 10)));
        writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=Block 30", "ORGNUMBER=31005"}));
        writeFile(
            res.file("three.kmf"),
            kmfFile({0, 0, -12}, {0, 0, 0},
                    {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                     {"K31005_b", {0, 0, 3}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 2},
                     {"K31005_c", {-3, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 3},
                     {"K31005_d", {3, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xff0000, 3}}) +
                crlf({"[COMMON]", "INFMODELL=Three blocks", "INFORIGINAL=Starter kit", "INFGEBAUT=Anna"}));
        makeWindow({1000, 700});
    }
    void TearDown() override { window.reset(); }
    // A new window, at its remembered or its own size unless one is given.
    void makeWindow(QSize size = {})
    {
        window = std::make_unique<MainWindowController>();
        window->setShowAlerts(false);
        if (size.isValid())
            window->resize(size);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    bool open(const std::string& name = "three.kmf") { return window->loadModelFromFile(q(res.file(name))); }
    vxOpenGLView& view() { return window->view(); }
    // The window's widget of that object name.
    template <class T = QWidget> T* widget(const char* name)
    {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void clickSegment(vxSegmentedControl* c, int segment)
    {
        QTest::mouseClick(c->button(segment), Qt::LeftButton);
    }
    // A click in the middle of the 3D view, after a fresh frame.
    void clickView()
    {
        vxGLWidget* w = window->viewWidget();
        w->grabFramebuffer();
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
    }

    TempDir res;
    TempDir out;
    ResourceFolder folder{res.path()};
    std::unique_ptr<MainWindowController> window;
};

} // namespace vxTest
