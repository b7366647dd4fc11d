// Kolbrik Viewer: the application entry.
#include "AppDelegate.h"
#include "MainWindowController.h"
#include "vxGLWidget.h"
#include "vxResources.h"

#include <QApplication>
#include <QLocale>
#include <QSurfaceFormat>
#include <QTranslator>

namespace {

// The English table is always loaded; the German one over it when the
// system language is German.
void loadTranslations(QApplication& app)
{
    const QString folder = QString::fromStdString(vxResources::resourceFolderPath()) + QStringLiteral("/translations");
    auto* english = new QTranslator(&app);
    if (english->load(QStringLiteral("kolbrik_en"), folder))
        QApplication::installTranslator(english);
    if (QLocale::system().language() == QLocale::German) {
        auto* german = new QTranslator(&app);
        if (german->load(QStringLiteral("kolbrik_de"), folder))
            QApplication::installTranslator(german);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QSurfaceFormat::setDefaultFormat(vxGLWidget::viewFormat());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kolbrik Viewer"));
    QApplication::setApplicationVersion(QStringLiteral(KOLBRIK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kolbrik-viewer"));
    loadTranslations(app);

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
