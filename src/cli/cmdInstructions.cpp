#include "vxBooklet.h"
#include "vxCli.h"
#include "vxCommandOptions.h"
#include "vxTranslations.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <iostream>

namespace vxCli {

namespace {

// Qt's notes about its own set-up (a missing runtime folder and the like)
// are no concern of this command: only errors reach stderr.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "kolbrik: " << message.toStdString() << "\n";
}

} // namespace

int cmdInstructions(const std::vector<std::string>& argsIn)
{
    const Arguments args(kInstructionsOptions, argsIn);
    if (args.exit())
        return *args.exit();
    QPageSize::PageSizeId paper = QPageSize::A4;
    if (!args.read("--paper", [&](const std::string& v) {
            paper = v == "letter" ? QPageSize::Letter : QPageSize::A4;
            return v == "a4" || v == "A4" || v == "letter";
        }))
        return 2;
    const std::vector<std::string>& files = args.operands();
    if (files.size() != 2)
        return args.usageError(files.size() < 2 ? "needs a model file and a PDF file"
                                                : "too many files given");

    // Fonts and the PDF writer need a GUI application; the "offscreen"
    // platform needs no window system.
    static int argc = 3;
    static char name[] = "kolbrik", platform[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    // The booklet's texts in the user's language, as the window has them.
    vxInstallTranslations(app, QLocale::system().language());

    vxBookletPictures pictures;
    if (!pictures.ok()) {
        fail("instructions: " + pictures.error());
        return 1;
    }
    const vxLoadResult loaded = pictures.load(files[0]);
    if (!loaded) {
        fail(loaded.error);
        return 1;
    }
    if (pictures.model().count() <= 0) {
        fail("instructions: " + files[0] + " has no parts: there is nothing to build");
        return 1;
    }
    vxBooklet booklet(pictures, QFileInfo(QString::fromStdString(files[0])).completeBaseName());
    const vxWriteResult written = vxWriteBookletPdf(booklet, files[1], QPageSize(paper));
    if (!written) {
        fail(written.error);
        return 1;
    }
    auto count = [](std::size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    std::cout << files[1] << ": " << count(static_cast<std::size_t>(booklet.pageCount()), "page")
              << " (cover, " << count(booklet.stepModel().steps.size(), "step") << " on "
              << count(static_cast<std::size_t>(booklet.stepPageCount()), "page") << ", parts list on "
              << booklet.partsListPageCount() << ")\n";
    return 0;
}

} // namespace vxCli
