#pragma once

// The one QApplication of a Qt test program, created on first use with the
// view's OpenGL surface format as the default.
#include "vxAppResources.h"
#include "vxGLWidget.h"
#include "vxTestSupport.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QSurfaceFormat>

namespace vxTest {

inline QApplication& qtApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static bool formatSet = (QSurfaceFormat::setDefaultFormat(vxGLWidget::viewFormat()), true);
    (void)formatSet;
    // Never destroyed: at exit the Qt libraries' own statics may be gone
    // before a static application's clean-up runs.
    static QApplication& app = *new QApplication(argc, argv);
    // Settings go to a folder of this test program's own, never the user's
    // and never another test program's running at the same time.
    static TempDir settings;
    static bool identitySet = (vxSetApplicationIdentity(), QStandardPaths::setTestModeEnabled(true),
                               QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                                                  QString::fromStdString(settings.path())),
                               true);
    (void)identitySet;
    return app;
}

} // namespace vxTest
