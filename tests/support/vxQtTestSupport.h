#pragma once

// The one QApplication of a Qt test program, created on first use with the
// view's OpenGL surface format as the default.
#include "vxGLWidget.h"

#include <QApplication>
#include <QSurfaceFormat>

namespace vxTest {

inline QApplication& qtApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static bool formatSet = (QSurfaceFormat::setDefaultFormat(vxGLWidget::viewFormat()), true);
    (void)formatSet;
    static QApplication app(argc, argv);
    return app;
}

} // namespace vxTest
