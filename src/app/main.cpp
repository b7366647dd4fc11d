// Kolbrik Viewer: the application entry.
#include "AppDelegate.h"
#include "MainWindowController.h"
#include "vxAppResources.h"
#include "vxGLWidget.h"
#include "vxTranslations.h"

#include <QApplication>
#include <QLocale>
#include <QSurfaceFormat>

int main(int argc, char** argv)
{
    QSurfaceFormat::setDefaultFormat(vxGLWidget::viewFormat());

    QApplication app(argc, argv);
    vxSetApplicationIdentity();
    QApplication::setApplicationVersion(QStringLiteral(KOLBRIK_VERSION));
    vxInstallTranslations(app, QLocale::system().language());

    AppDelegate delegate;
    MainWindowController window;
    delegate.window = &window;
    QApplication::setQuitOnLastWindowClosed(delegate.applicationShouldTerminateAfterLastWindowClosed());
    window.show();
    delegate.applicationDidFinishLaunching();

    // A model named on the command line opens at once.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && !args.at(1).startsWith(QLatin1Char('-')))
        window.loadModelFromFile(args.at(1));
    return QApplication::exec();
}
