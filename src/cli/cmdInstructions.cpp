#include "vxBooklet.h"
#include "vxCli.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cctype>
#include <iostream>

namespace vxCli {

namespace {

const char* kInstructionsHelp =
    "usage: kolbrik instructions MODEL.kmf OUT.pdf [--paper a4|letter] [--resources DIR]\n"
    "\n"
    "Writes the model's building instructions as a PDF booklet: a cover with\n"
    "the finished model, one step per building phase (the parts to add and\n"
    "the model at the end of the phase, the new parts highlighted) and a\n"
    "parts list of the whole model (OUT '-': on standard output). Needs no\n"
    "window system. What the model file leaves out is told on stderr.\n"
    "\n"
    "  --paper a4|letter paper size, in any case (default a4)\n"
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
            std::string lower = v;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == "a4") {
                paper = QPageSize::A4;
            } else if (lower == "letter") {
                paper = QPageSize::Letter;
            } else {
                fail("instructions: --paper needs a4 or letter");
                return 2;
            }
            ++i;
        } else if (a.size() > 1 && a[0] == '-') { // "-" alone is standard output
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

    if (!mayWrite(files[0], files[1]))
        return 1;

    // Fonts and the PDF writer need a GUI application; the "offscreen"
    // platform needs no window system.
    static int argc = 3;
    static char name[] = "kolbrik", platform[] = "-platform", offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);

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
    printFindings(pictures.model(), loaded.findings);
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
    if (files[1] == "-")
        return 0; // standard output holds the booklet
    auto count = [](std::size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    std::cout << files[1] << ": " << count(static_cast<std::size_t>(booklet.pageCount()), "page")
              << " (cover, " << count(booklet.steps().size(), "step") << " on "
              << count(static_cast<std::size_t>(booklet.stepPageCount()), "page") << ", parts list on "
              << booklet.partsListPageCount() << ")\n";
    return 0;
}

} // namespace vxCli
