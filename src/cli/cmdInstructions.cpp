#include "vxBooklet.h"
#include "vxCli.h"
#include "vxTranslations.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <iostream>

namespace vxCli {

namespace {

const char* kInstructionsHelp =
    "usage: kolbrik instructions MODEL.kmf OUT.pdf [--paper a4|letter] [--resources DIR]\n"
    "\n"
    "Writes the model's building instructions as a PDF booklet: a cover with\n"
    "the finished model, one step per building phase (the parts to add and\n"
    "the model at the end of the phase, the new parts highlighted) and a\n"
    "parts list of the whole model. Needs no window system.\n"
    "\n"
    "  --paper a4|letter paper size (default a4)\n"
    "  --resources DIR   read part definitions and meshes from DIR instead of\n"
    "                    the installed resource folder\n";

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
    std::vector<std::string> args = argsIn;
    if (!takeResourcesOption(args))
        return 2;
    std::vector<std::string> files;
    QPageSize::PageSizeId paper = QPageSize::A4;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kInstructionsHelp;
            return 0;
        } else if (a == "--paper") {
            const std::string v = i + 1 < args.size() ? args[i + 1] : std::string();
            if (v == "a4" || v == "A4") {
                paper = QPageSize::A4;
            } else if (v == "letter") {
                paper = QPageSize::Letter;
            } else {
                fail("instructions: --paper needs a4 or letter");
                return 2;
            }
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            return usageError("instructions: unknown option " + a, kInstructionsHelp);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        return usageError(files.size() < 2 ? "instructions: needs a model file and a PDF file"
                                           : "instructions: too many files given",
                          kInstructionsHelp);
    }

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
