#pragma once

// The one QApplication of a Qt test program, created on first use with the
// view's OpenGL surface format as the default.
#include "vxAppResources.h"
#include "vxGLWidget.h"

#include <QApplication>
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
    static bool identitySet = (vxSetApplicationIdentity(),
                               // Settings go to a test location, never the user's.
                               QStandardPaths::setTestModeEnabled(true), true);
    (void)identitySet;
    return app;
}

} // namespace vxTest
