// Kolbrik Viewer: the application entry.
#include "AppDelegate.h"
#include "MainWindowController.h"
#include "vxAppResources.h"
#include "vxAtomicFile.h"
#include "vxGLWidget.h"
#include "vxTranslations.h"
#include "vxVersion.h"

#include <QApplication>
#include <QLocale>
#include <QSurfaceFormat>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before any window system is needed.
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kolbrik-viewer (Kolbrik Viewer) %s\n", kKolbrikVersion);
        return 0;
    }
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs("usage: kolbrik-viewer [MODEL.kmf]\n"
                   "\n"
                   "Opens the Kolbrik Viewer window, with MODEL.kmf when one is given.\n"
                   "Qt's own options (such as -platform NAME) are accepted too.\n"
                   "\n"
                   "  --help      print this text and exit\n"
                   "  --version   print the version and exit\n",
                   stdout);
        return 0;
    }
    QSurfaceFormat::setDefaultFormat(vxGLWidget::viewFormat());

    QApplication app(argc, argv);
    // An interrupt while a file is written leaves no temporary file.
    vxRemoveTemporaryFilesOnSignals();
    vxSetApplicationIdentity();
    QApplication::setApplicationVersion(QString::fromLatin1(kKolbrikVersion));
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
