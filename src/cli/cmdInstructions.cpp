#include "vxAtomicFile.h"
#include "vxBooklet.h"
#include "vxBookletArguments.h"
#include "vxBookletPage.h"
#include "vxCli.h"
#include "vxCommandOptions.h"
#include "vxJson.h"
#include "vxResources.h"
#include "vxTranslations.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cctype>
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

// The booklet's steps as JSON: each step's parts and tubes (numbered from
// 1) and each picture's role and the render options that draw it again.
std::string stepsJson(const std::string& model, const vxBooklet& booklet, const std::string& resources)
{
    static constexpr const char* kRoles[] = {"main", "detail", "extra"};
    auto numbers = [](const std::vector<std::size_t>& indices) {
        std::string out = "[";
        for (std::size_t i = 0; i < indices.size(); ++i)
            out += (i ? "," : "") + std::to_string(indices[i] + 1);
        return out + "]";
    };
    std::string out = "{\"model\": " + vxJson::str(model) + ", \"steps\": [";
    const auto& steps = booklet.stepModel().steps;
    for (std::size_t s = 0; s < steps.size(); ++s) {
        const vxBookletStep& step = steps[s];
        out += s ? ",\n  " : "\n  ";
        out += "{\"number\": " + std::to_string(step.number) + ", \"phase\": " + std::to_string(step.phase) +
               ", \"parts\": " + numbers(step.parts) + ", \"tubes\": " + numbers(step.tubes) +
               ", \"pictures\": [";
        for (std::size_t p = 0; p < step.pictures.size(); ++p) {
            const vxBookletPicture& picture = step.pictures[p];
            out += p ? ", " : "";
            out +=
                std::string("{\"role\": \"") + kRoles[static_cast<int>(picture.role)] + "\", \"render\": [";
            const auto arguments = bookletRenderArguments(
                picture.render, vxSupersampledSize(QSize(picture.render.width, picture.render.height)),
                resources);
            for (std::size_t a = 0; a < arguments.size(); ++a)
                out += (a ? ", " : "") + vxJson::str(arguments[a]);
            out += "]}";
        }
        out += "]}";
    }
    return out + "\n]}\n";
}

} // namespace

int cmdInstructions(const std::vector<std::string>& argsIn)
{
    const Arguments args(kInstructionsOptions, argsIn);
    if (args.exit())
        return *args.exit();
    QPageSize::PageSizeId paper = QPageSize::A4;
    if (!args.read("--paper", [&](const std::string& v) {
            std::string lower = v; // in any case
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            paper = lower == "letter" ? QPageSize::Letter : QPageSize::A4;
            return lower == "a4" || lower == "letter";
        }))
        return 2;
    std::string stepsFile;
    if (!args.read("--steps-json", [&](const std::string& v) {
            stepsFile = v;
            return !v.empty();
        }))
        return 2;
    const std::vector<std::string>& files = args.operands();
    if (files.size() != 2)
        return args.usageError(files.size() < 2 ? "needs a model file and a PDF or HTML file"
                                                : "too many files given");
    // OUT.html: the instructions as one web page; anything else: a PDF.
    const QString out = QString::fromStdString(files[1]);
    const bool page = out.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
                      out.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);

    if (!stepsFile.empty() && page)
        return args.error("--steps-json goes with a PDF booklet, not a web page");
    if (!stepsFile.empty() && stepsFile == files[1])
        return args.error("--steps-json needs a file other than the booklet's");
    if (!mayWrite(files[0], files[1]) || (!stepsFile.empty() && !mayWrite(files[0], stepsFile)))
        return 1;

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
    if (!loadBookletModel(pictures, "instructions", files[0]))
        return 1;
    if (pictures.model().count() <= 0) {
        fail("instructions: " + files[0] + " has no parts: there is nothing to build");
        return 1;
    }
    const QString title = QFileInfo(QString::fromStdString(files[0])).completeBaseName();
    auto count = [](std::size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    if (page) {
        const vxBookletPage::Result r = vxBookletPage::write(pictures, title, files[1]);
        for (const std::string& finding : r.findings)
            std::cerr << "kolbrik: " << files[0] << ": " << finding << "\n";
        if (!r.written) {
            fail(r.written.error);
            return 1;
        }
        if (files[1] == "-")
            return 0; // standard output holds the page
        std::cout << files[1] << ": web page, " << count(static_cast<std::size_t>(r.steps), "step") << "\n";
        return 0;
    }
    vxBooklet booklet(pictures, title);
    const vxWriteResult written = vxWriteBookletPdf(booklet, files[1], QPageSize(paper));
    if (!written) {
        fail(written.error);
        return 1;
    }
    if (!stepsFile.empty()) {
        const vxWriteResult json =
            vxWriteFileAtomically(stepsFile, stepsJson(files[0], booklet, vxResources::resourceFolderPath()));
        if (!json) {
            fail(json.error);
            return 1;
        }
    }
    if (files[1] == "-")
        return 0; // standard output holds the booklet
    std::cout << files[1] << ": " << count(static_cast<std::size_t>(booklet.pageCount()), "page")
              << " (cover, " << count(booklet.stepModel().steps.size(), "step") << " on "
              << count(static_cast<std::size_t>(booklet.stepPageCount()), "page") << ", parts list on "
              << booklet.partsListPageCount() << ")\n";
    return 0;
}

} // namespace vxCli
