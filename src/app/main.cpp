// Kolbrik Viewer: a window with the 3D view. A model file given on the
// command line is opened at start.
#include "vxGLWidget.h"
#include "vxViewerWindow.h"

#include <QApplication>
#include <QStringList>
#include <QSurfaceFormat>

#include <cstdio>

int main(int argc, char** argv)
{
    QSurfaceFormat::setDefaultFormat(vxGLWidget::viewFormat());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kolbrik Viewer"));
    vxViewerWindow window;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && !window.openModel(args.at(1), true))
        std::fprintf(stderr, "kolbrik-viewer: cannot open %s\n", args.at(1).toLocal8Bit().constData());
    window.show();
    return QApplication::exec();
}
