#include "vxInstructionsController.h"

#include "vxAppResources.h"
#include "vxBooklet.h"
#include "vxBookletPage.h"
#include "vxCommandHost.h"
#include "vxGLWidget.h"
#include "vxOpenGLView.h"
#include "vxPartsDock.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QOpenGLContext>
#include <QPalette>
#include <QPrinter>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QToolBar>

namespace {

const char* kHighlightKey = "view/highlightNewParts";
const char* kScopeKey = "instructions/partsWholeModel";

// Inserts actions into a menu in front of the entry called before (at the
// end when there is none), followed by a separator.
void insertInto(QMenu* menu, const char* before, const QList<QAction*>& actions)
{
    if (!menu)
        return;
    QAction* anchor = nullptr;
    const QList<QAction*> existing = menu->actions();
    for (int i = 0; i < existing.size(); ++i)
        if (existing[i]->objectName() == QLatin1String(before))
            anchor = i > 0 && existing[i - 1]->isSeparator() ? existing[i - 1] : existing[i];
    menu->insertActions(anchor, actions);
    menu->insertSeparator(anchor);
}

} // namespace

vxInstructionsController::vxInstructionsController(vxCommandHost& host)
    : QObject(&host.mainWindow()), m_host(host)
{
    QMainWindow* window = &host.mainWindow();
    QSettings settings;

    m_highlight = new QAction(tr("&Highlight new parts"), this);
    m_highlight->setObjectName(QStringLiteral("actionHighlightNewParts"));
    m_highlight->setCheckable(true);
    m_highlight->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    m_highlight->setToolTip(
        tr("Fade the parts of earlier phases so that the parts the phase adds stand out"));
    connect(m_highlight, &QAction::toggled, this, [this](bool on) { setHighlight(on); });

    m_export = new QAction(tr("Export &building instructions…"), this);
    m_export->setObjectName(QStringLiteral("actionExportInstructions"));
    connect(m_export, &QAction::triggered, this, [this] { menExportInstructions(); });
    m_print = new QAction(tr("Print b&uilding instructions…"), this);
    m_print->setObjectName(QStringLiteral("actionPrintInstructions"));
    connect(m_print, &QAction::triggered, this, [this] { menPrintInstructions(); });

    m_dock = new vxPartsDock(window);
    m_pictures = std::make_unique<vxPartPictures>(m_dock->palette().color(QPalette::Base));
    // Part pictures are drawn off-screen, on every path that fills the dock
    // (a load, a phase, the scope buttons) alike: the window's context is
    // let go first and the off-screen one after the list is filled (the
    // window takes its own back on its next draw).
    m_dock->setPictureSource([this](const vxPartsListEntry& e, int pixels) {
        // (The context current may be the window's or its top level's.)
        if (QOpenGLContext* current = QOpenGLContext::currentContext())
            current->doneCurrent();
        return m_pictures->picture(e, *m_host.view().model(), pixels);
    });
    connect(m_dock, &vxPartsDock::refilled, this, [this] { m_pictures->releaseRenderer(); });
    window->addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->setWholeModel(settings.value(kScopeKey, false).toBool());
    // Shown at first; afterwards the window's remembered layout says.
    m_dock->setVisible(true);
    QAction* dockToggle = m_dock->toggleViewAction();
    dockToggle->setText(tr("P&arts"));
    dockToggle->setObjectName(QStringLiteral("actionPartsDock"));
    dockToggle->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    connect(m_dock, &vxPartsDock::scopeChanged, this,
            [](bool whole) { QSettings().setValue(kScopeKey, whole); });
    connect(m_dock, &vxPartsDock::entryChosen, this,
            [this](const std::optional<vxPartsListEntry>& e) { markEntry(e); });

    insertInto(window->findChild<QMenu*>(QStringLiteral("menuFile")), "actionQuit", {m_export, m_print});
    insertInto(window->findChild<QMenu*>(QStringLiteral("menuView")), "actionRefresh",
               {m_highlight, dockToggle});
    if (auto* bar = window->findChild<QToolBar*>(QStringLiteral("toolBar"))) {
        bar->addSeparator();
        bar->addAction(m_highlight);
    }

    m_blink.setInterval(180);
    connect(&m_blink, &QTimer::timeout, this, [this] { blink(); });

    m_highlight->setChecked(settings.value(kHighlightKey, false).toBool());
    modelLoaded();
}

vxInstructionsController::~vxInstructionsController() = default;

void vxInstructionsController::setHighlight(bool on)
{
    if (m_highlight->isChecked() != on)
        m_highlight->setChecked(on); // comes back here through toggled
    vxOpenGLView& view = m_host.view();
    if (view.highlight().enabled() == on)
        return;
    view.highlight().setEnabled(on);
    view.host().setNeedsDisplay();
    QSettings().setValue(kHighlightKey, on);
}

void vxInstructionsController::modelLoaded()
{
    m_dock->setModel(*m_host.view().model());
    phaseShown();
}

void vxInstructionsController::phaseShown()
{
    m_dock->showPhase(m_host.view().shownBauphase());
    const bool parts = hasParts();
    m_export->setEnabled(parts);
    m_print->setEnabled(parts);
}

bool vxInstructionsController::hasParts() const
{
    return m_host.view().model()->count() > 0;
}

// --- marking the parts of a row ----------------------------------------------

void vxInstructionsController::markEntry(const std::optional<vxPartsListEntry>& entry)
{
    vxOpenGLView& view = m_host.view();
    m_blink.stop();
    if (!entry) {
        if (view.highlight().hasMarked()) {
            view.highlight().clearMarked();
            view.host().setNeedsDisplay();
        }
        return;
    }
    std::vector<std::weak_ptr<vxBaseSceneObject>> objects;
    const auto& parts = view.model()->partList();
    for (std::size_t i : entry->parts)
        if (i < parts.size() && parts[i]->baseSceneObject())
            objects.push_back(parts[i]->baseSceneObject());
    view.highlight().setMarked(std::move(objects));
    view.highlight().setMarkShown(true);
    view.host().setNeedsDisplay();
    // Three blinks, then the tint stays until another row is chosen.
    m_blinksLeft = 6;
    m_blink.start();
}

void vxInstructionsController::blink()
{
    vxOpenGLView& view = m_host.view();
    --m_blinksLeft;
    view.highlight().setMarkShown(m_blinksLeft % 2 == 0);
    if (m_blinksLeft <= 0) {
        view.highlight().setMarkShown(true);
        m_blink.stop();
    }
    view.host().setNeedsDisplay();
}

// --- booklets ------------------------------------------------------------------

bool vxInstructionsController::makeBooklet(
    const std::function<bool(vxBooklet&, const std::function<bool(int, int)>&, QString*)>& write,
    QString* error, bool* cancelled)
{
    *cancelled = false;
    const vxModel& model = *m_host.view().model();
    if (model.count() <= 0 || !model.fileContent()) {
        *error = tr("The model has no parts: there is nothing to build.");
        return false;
    }
    // The booklet draws the model as it was read (not as the file may be
    // now) with its own off-screen renderer.
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/kolbrik-XXXXXX.kmf"));
    if (!copy.open() ||
        copy.write(model.fileContent()->data(), static_cast<qint64>(model.fileContent()->size())) !=
            static_cast<qint64>(model.fileContent()->size()) ||
        !copy.flush()) {
        *error = tr("No temporary copy of the model could be made.");
        return false;
    }

    QProgressDialog progress(tr("Drawing the building instructions …"), tr("Cancel"), 0, 0,
                             &m_host.mainWindow());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // The window's context is let go while the off-screen one draws; each
    // takes its own back when it draws next.
    vxGLWidget* widget = m_host.viewWidget();
    widget->doneCurrent();
    bool made = false;
    {
        vxBookletPictures pictures;
        if (!pictures.ok()) {
            *error = QString::fromStdString(pictures.error());
        } else if (vxLoadResult r = pictures.load(copy.fileName().toStdString()); !r) {
            *error = QString::fromStdString(r.error);
        } else {
            vxBooklet booklet(pictures, m_host.proposedFileName());
            const auto step = [&](int done, int total) {
                // The window draws (the dialog) with its own context in
                // between; the booklet's drawing takes its context back.
                vxReleaseOffscreenContext();
                progress.setMaximum(total);
                progress.setValue(done);
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                widget->doneCurrent();
                return !progress.wasCanceled();
            };
            made = write(booklet, step, error);
            *cancelled = progress.wasCanceled();
        }
    }
    progress.reset();
    widget->update();
    return made;
}

void vxInstructionsController::menExportInstructions()
{
    if (!hasParts())
        return;
    const QString path =
        vxAskSaveFileName(&m_host.mainWindow(), tr("Export building instructions"),
                          tr("PDF files (*.pdf)") + QStringLiteral(";;") + tr("HTML pages (*.html)"),
                          QStringLiteral("pdf"), m_host.proposedFileName(QStringLiteral("pdf")));
    if (path.isEmpty() || m_host.refusesToOverwriteModel(path))
        return;
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    doExportInstructions(path, QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
}

bool vxInstructionsController::doExportInstructions(const QString& path, const QPageSize& paper)
{
    QString error;
    bool cancelled = false;
    const bool made = makeBooklet(
        [&](vxBooklet& booklet, const std::function<bool(int, int)>& step, QString* why) {
            // A name ending in .html: one web page of the same steps.
            const vxWriteResult r =
                path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive)
                    ? vxBookletPage::write(booklet.pictures(), booklet.title(), path.toStdString()).written
                    : vxWriteBookletPdf(booklet, path.toStdString(), paper, step);
            if (!r)
                *why = QString::fromStdString(r.error);
            return r.ok;
        },
        &error, &cancelled);
    if (made) {
        m_host.mainWindow().statusBar()->showMessage(tr("Building instructions written to %1").arg(path),
                                                     8000);
    } else if (!cancelled) {
        m_host.alert(tr("The building instructions could not be written"), error, true);
    }
    return made;
}

void vxInstructionsController::menPrintInstructions()
{
    if (!hasParts())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_host.proposedFileName());
    if (vxAskPrinter(&m_host.mainWindow(), printer, tr("Print building instructions")))
        doPrintInstructions(printer);
}

bool vxInstructionsController::doPrintInstructions(QPrinter& printer)
{
    QString error;
    bool cancelled = false;
    const bool made = makeBooklet(
        [&](vxBooklet& booklet, const std::function<bool(int, int)>& step, QString* why) {
            const bool ok = booklet.paint(printer, step, why);
            if (!ok)
                printer.abort();
            return ok;
        },
        &error, &cancelled);
    if (!made && !cancelled)
        m_host.alert(tr("The building instructions could not be printed"), error, true);
    return made;
}
