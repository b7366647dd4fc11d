#include "MainWindowController.h"

#include "ui_MainWindowController.h"
#include "ui_vxSheetAbout.h"
#include "ui_vxSheetBuildingPhase.h"
#include "ui_vxSheetLibrary.h"
#include "ui_vxSheetParameter.h"
#include "ui_vxSheetWait.h"
#include "vxAppResources.h"
#include "vxAtomicFile.h"
#include "vxDrawStyleCommands.h"
#include "vxEventWatcher.h"
#include "vxExportCommand.h"
#include "vxGLWidget.h"
#include "vxInstructionsController.h"
#include "vxLocalized.h"
#include "vxOpenGLView.h"
#include "vxPartPanelController.h"
#include "vxRecentFiles.h"
#include "vxResources.h"
#include "vxScreenFit.h"
#include "vxSegmentedControl.h"
#include "vxVersion.h"
#include "vxViewCommands.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QProgressBar>
#include <QSettings>
#include <QStandardItemModel>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <functional>
#include <map>

namespace {

template <class UiT> QDialog* makeSheet(QWidget* parent, std::unique_ptr<UiT>& ui)
{
    auto* d = new QDialog(parent);
    ui = std::make_unique<UiT>();
    ui->setupUi(d);
    d->setWindowModality(Qt::WindowModal);
    return d;
}

} // namespace

MainWindowController::MainWindowController(QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindowController>())
{
    m_ui->setupUi(this);
    m_viewWidget = m_ui->viewOpenGL;

    m_sheetWait = makeSheet(this, m_waitUi);
    m_sheetWait->setWindowFlag(Qt::WindowCloseButtonHint, false);
    m_sheetParameter = makeSheet(this, m_parameterUi);
    vxScreenFit::scrollContent(m_sheetParameter); // settings may outgrow a small screen
    m_sheetAboutDlg = makeSheet(this, m_aboutUi);
    m_aboutUi->lblAboutVersion->setText(tr("Version %1").arg(QString::fromLatin1(kKolbrikVersion)));
    m_sheetBuildingPhase = makeSheet(this, m_phaseUi);
    m_sheetLibrary = makeSheet(this, m_libraryUi);

    m_controllerBaukasten = new QStandardItemModel(this);
    m_controllerModelle = new QStandardItemModel(this);
    m_libraryUi->tblLibrary->setModel(m_controllerBaukasten);
    m_libraryUi->tblLibrary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_libraryUi->tblModels->setModel(m_controllerModelle);
    m_libraryUi->tblModels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_libraryUi->tblModels->setViewMode(QListView::IconMode);
    m_libraryUi->tblModels->setIconSize(QSize(160, 120));
    m_libraryUi->tblModels->setGridSize(QSize(190, 160));
    m_libraryUi->tblModels->setResizeMode(QListView::Adjust);
    m_libraryUi->tblModels->setMovement(QListView::Static);
    m_libraryUi->tblModels->setWordWrap(true);

    m_partPanel = std::make_unique<vxPartPanelController>(this);
    view().setPartPanelController(m_partPanel.get());

    buildToolBar();
    connectCommands();
    m_viewCommands = new vxViewCommands(*this);
    connect(m_btnWorkMode, &vxSegmentedControl::activated, m_viewCommands, &vxViewCommands::showWorkMode);
    awakeFromNib();
    m_instructions = new vxInstructionsController(*this);
    connect(this, &MainWindowController::modelLoaded, m_instructions, &vxInstructionsController::modelLoaded);
    connect(this, &MainWindowController::phaseShown, m_instructions, &vxInstructionsController::phaseShown);
    new vxDrawStyleCommands(*this);
    setUpDesktop();
    // File > Export…, a model command like the others.
    m_exportCommand = new vxExportCommand(*this, m_ui->menuFile, m_ui->actionExportVRML);
    m_modelActions->addAction(m_exportCommand->action());
    updateModelCommands();
}

MainWindowController::~MainWindowController()
{
    view().setPartPanelController(nullptr);
}

vxOpenGLView& MainWindowController::view() const
{
    return m_viewWidget->view();
}

void MainWindowController::awakeFromNib()
{
    m_ui->titleLine1->setText(QString());
    m_ui->titleLine2->setText(QString());
    m_ui->titleLine3->setText(QString());
}

void MainWindowController::buildToolBar()
{
    QToolBar* bar = m_ui->toolBar;

    m_btnWorkMode = new vxSegmentedControl(bar);
    m_btnWorkMode->setObjectName(QStringLiteral("btnWorkMode"));
    m_btnWorkMode->setLabel(0, tr("Select"));
    m_btnWorkMode->setLabel(1, tr("Navigate"));
    m_btnWorkMode->setLabel(2, tr("Hide"));
    m_btnWorkMode->setToolTip(0, tr("A click selects the part under the pointer"));
    m_btnWorkMode->setToolTip(1, tr("Drag to orbit; double-click a part to look at it"));
    m_btnWorkMode->setToolTip(2, tr("A click hides the part under the pointer"));
    m_btnWorkMode->setSelectedSegment(1);
    bar->addWidget(m_btnWorkMode);
    bar->addSeparator();

    m_btnBauphase = new vxSegmentedControl(bar);
    m_btnBauphase->setObjectName(QStringLiteral("btnBauphase"));
    m_btnBauphase->setSelectable(false);
    m_btnBauphase->setLabel(0, QStringLiteral("\u25C0"));
    m_btnBauphase->setLabel(1, QStringLiteral("1"));
    m_btnBauphase->setLabel(2, QStringLiteral("\u25B6"));
    m_btnBauphase->setToolTip(0, tr("Previous building phase"));
    m_btnBauphase->setToolTip(1, tr("Building phase shown"));
    m_btnBauphase->setToolTip(2, tr("Next building phase"));
    m_btnBauphase->setEnabled(0, false);
    m_btnBauphase->setEnabled(2, false);
    bar->addWidget(m_btnBauphase);
    bar->addSeparator();

    m_btnGrid = new QToolButton(bar);
    m_btnGrid->setObjectName(QStringLiteral("btnGrid"));
    m_btnGrid->setText(tr("Grid"));
    m_btnGrid->setCheckable(true);
    m_btnGrid->setChecked(true);
    bar->addWidget(m_btnGrid);

    auto* refresh = new QToolButton(bar);
    refresh->setObjectName(QStringLiteral("btnRefresh"));
    refresh->setDefaultAction(m_ui->actionRefresh);
    bar->addWidget(refresh);
}

void MainWindowController::connectCommands()
{
    connect(m_ui->actionOpen, &QAction::triggered, this, [this] { menuFileOpen(); });
    connect(m_ui->actionLibrary, &QAction::triggered, this, [this] { menShowLibrary(); });
    connect(m_ui->actionExportVRML, &QAction::triggered, this, [this] { exportAsVRML(); });
    connect(m_ui->actionPrint, &QAction::triggered, this, [this] { menPrintModell(); });
    connect(m_ui->actionQuit, &QAction::triggered, this, [this] { close(); });
    connect(m_ui->actionGrid, &QAction::triggered, this, [this] { tbGrid(); });
    connect(m_ui->actionDeselectAll, &QAction::triggered, this, [this] { menDeselectAll(); });
    connect(m_ui->actionCentre, &QAction::triggered, this, [this] { menBauteilMittelpunkt(); });
    connect(m_ui->actionPartInfo, &QAction::triggered, this, [this] { menAnsichtBauteilInfo(); });
    connect(m_ui->actionRefresh, &QAction::triggered, this, [this] { btnRefresh(); });
    connect(m_ui->actionParameter, &QAction::triggered, this, [this] { menParameter(); });
    connect(m_ui->actionChoosePhase, &QAction::triggered, this, [this] { btnBuildingPhase(); });
    connect(m_ui->actionAbout, &QAction::triggered, this, [this] { menAboutDlg(); });

    connect(m_btnWorkMode, &vxSegmentedControl::activated, this, [this] { changeWorkMode(); });
    connect(m_btnBauphase, &vxSegmentedControl::activated, this, [this] { btnBauphaseClick(); });
    connect(m_btnGrid, &QToolButton::clicked, this, [this] { tbGrid(); });

    connect(m_parameterUi->btnParameterOK, &QPushButton::clicked, this, [this] { btnParameterOK(); });
    connect(m_aboutUi->btnAboutDlgOK, &QPushButton::clicked, this, [this] { btnAboutDlgOK(); });
    connect(m_phaseUi->btnBuildingPhaseOK, &QPushButton::clicked, this, [this] { btnBuildingPhaseOK(); });
    connect(m_phaseUi->btnBuildingPhaseCancel, &QPushButton::clicked, this,
            [this] { endSheet(m_sheetBuildingPhase); });
    connect(m_libraryUi->btnCloseLibrary, &QPushButton::clicked, this, [this] { btnCloseLibrary(); });
    connect(m_libraryUi->tblLibrary->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tblLibrarySelect(); });
    connect(m_libraryUi->tblModels, &QListView::clicked, this,
            [this](const QModelIndex& index) { btnLibraryClick(index.data(Qt::UserRole).toString()); });
    // Enter (or a double click) opens the model chosen with the keys.
    connect(m_libraryUi->tblModels, &QListView::activated, this,
            [this](const QModelIndex& index) { btnLibraryClick(index.data(Qt::UserRole).toString()); });
    connect(m_libraryUi->edtFilter, &QLineEdit::textChanged, this, [this] { filterModelList(); });
    // Enter in the filter opens the model chosen (the first match); in the
    // kit list, the kit's first model.
    connect(m_libraryUi->edtFilter, &QLineEdit::returnPressed, this, [this] { openFirstLibraryModel(); });
    new vxEventWatcher(m_libraryUi->tblLibrary, QEvent::KeyPress, [this](QEvent* event) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (!m_modelItems.empty())
            btnLibraryClick(m_modelItems.front().index);
        return true;
    });
}

// --- sheets and alerts ------------------------------------------------------

void MainWindowController::showSheet(QDialog* sheet)
{
    sheet->setWindowModality(Qt::WindowModal);
    vxScreenFit::fitDialog(sheet, vxScreenFit::preferredSize(sheet));
    sheet->show();
    sheet->raise();
}

void MainWindowController::endSheet(QDialog* sheet)
{
    sheet->hide();
}

void MainWindowController::alert(const QString& title, const QString& text, bool error)
{
    m_lastAlertTitle = title;
    m_lastAlertText = text;
    if (error)
        std::fprintf(stderr, "kolbrik-viewer: %s\n", text.toLocal8Bit().constData());
    if (!m_showAlerts)
        return;
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, title, text,
                    QMessageBox::NoButton, this);
    box.setTextFormat(Qt::PlainText); // file names are no markup
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool MainWindowController::runWithWaitSheet(const QString& text,
                                            const std::function<bool(const Progress&)>& work)
{
    m_waitUi->lblSheetWait->setText(text);
    QProgressBar* bar = m_waitUi->progressIndicator;
    bar->setRange(0, 0); // busy until the first report
    showSheet(m_sheetWait);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QElapsedTimer sinceUpdate;
    sinceUpdate.start();
    const bool succeeded = work([bar, &sinceUpdate](std::size_t done, std::size_t total) {
        if (done != total && sinceUpdate.elapsed() < 40)
            return;
        sinceUpdate.restart();
        const int steps = static_cast<int>(std::clamp<std::size_t>(total, 1, INT_MAX));
        bar->setRange(0, steps);
        bar->setValue(static_cast<int>(std::min<std::size_t>(done, static_cast<std::size_t>(steps))));
        // Paint the sheet without letting the user act in between.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    bar->setRange(0, 1);
    bar->setValue(1);
    endSheet(m_sheetWait);
    return succeeded;
}

// --- load flow --------------------------------------------------------------

bool MainWindowController::loadModelFromFile(const QString& path)
{
    const std::uint8_t gridBefore = view().gridVisible();
    const bool gridButtonBefore = m_btnGrid->isChecked();
    vxLoadResult r;
    runWithWaitSheet(vxLocalized("SHEETWAITOPENMODEL"), [&](const Progress& progress) {
        beforeLoadModel();
        view().setLoadProgress([&progress](std::int32_t done, std::int32_t total) {
            progress(static_cast<std::size_t>(std::max(done, 0)),
                     static_cast<std::size_t>(std::max(total, 0)));
        });
        r = view().loadModelFromFile(path.toStdString());
        view().setLoadProgress(nullptr);
        return r.ok;
    });
#ifdef __GLIBC__
    // The model replaced (or the one that failed) leaves its memory with the
    // allocator unless told to hand it back.
    malloc_trim(0);
#endif

    if (!r.ok) {
        view().set3DGridVisible(gridBefore);
        m_btnGrid->setChecked(gridButtonBefore);
        alert(tr("The model could not be opened"), QString::fromStdString(r.error), true);
        return false;
    }
    afterLoadModel();
    makeWindowTitle(path);
    modelShown(path, r);
    emit modelLoaded(path);
    return true;
}

bool MainWindowController::loadModelFromResource(const QString& name)
{
    auto path = vxResources::resourcePath(name.toStdString(), "kmf", "");
    return loadModelFromFile(path ? QString::fromStdString(*path) : name + QStringLiteral(".kmf"));
}

void MainWindowController::beforeLoadModel()
{
    // A model opens without the grid unless the user last switched it on.
    const bool grid = QSettings().value(QStringLiteral("view/grid"), false).toBool();
    view().set3DGridVisible(grid ? 1 : 0);
    m_btnGrid->setChecked(grid);
}

void MainWindowController::afterLoadModel()
{
    const vxModel& model = *view().model();
    const int m = model.maximumBauphase();
    updatePhaseSegments(m, m);

    m_ui->titleLine1->setText(QString::fromStdString(model.infModell()));
    m_ui->titleLine2->setText(vxLocalizedFormat("ORIGINAL", QString::fromStdString(model.infOriginal())));
    m_ui->titleLine3->setText(vxLocalizedFormat("ERSTELLTVON", QString::fromStdString(model.infGebaut())));
}

void MainWindowController::makeWindowTitle(const QString& path)
{
    setWindowTitle(vxLiteralTitle(vxLocalizedFormat("CAPTION", QFileInfo(path).fileName())));
    setWindowFilePath(path);
}

void MainWindowController::updatePhaseSegments(int phase, int maximum)
{
    m_btnBauphase->setLabel(1, QString::number(phase));
    m_btnBauphase->setEnabled(0, phase > 1);
    m_btnBauphase->setEnabled(2, phase < maximum);
}

// --- simple commands --------------------------------------------------------

void MainWindowController::menuFileOpen()
{
    QFileDialog dlg(this, tr("Open model"));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setNameFilter(tr("Kolbrik models (*.kmf)"));
    dlg.setWindowModality(Qt::WindowModal);
    if (!m_recentFiles->files().isEmpty()) // where the last model came from
        dlg.setDirectory(QFileInfo(m_recentFiles->files().first()).path());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    loadModelFromFile(dlg.selectedFiles().first());
}

void MainWindowController::tbGrid()
{
    view().toggle3DGridVisible();
    m_btnGrid->setChecked(view().gridVisible() == 1);
    QSettings().setValue(QStringLiteral("view/grid"), view().gridVisible() == 1);
}

void MainWindowController::menParameter()
{
    m_parameterUi->cbPaintOldWhite->setChecked(view().paintOldWhite());
    m_viewCommands->loadSettingsIntoSheet(*m_parameterUi);
    showSheet(m_sheetParameter);
}

void MainWindowController::btnParameterOK()
{
    if (view().paintOldWhite() != m_parameterUi->cbPaintOldWhite->isChecked()) {
        view().setPaintOldWhite(m_parameterUi->cbPaintOldWhite->isChecked());
        paintEarlierPhases();
    }
    QSettings().setValue(QStringLiteral("view/paintOldWhite"), view().paintOldWhite());
    m_viewCommands->takeSettingsFromSheet(*m_parameterUi);
    endSheet(m_sheetParameter);
}

void MainWindowController::paintEarlierPhases()
{
    // The parts of the phases before the one shown, white or in their own
    // colours; which parts are shown stays as it is (hidden ones too).
    const vxModel& model = *view().model();
    const auto& parts = model.partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(model.count(), 0)));
    for (std::size_t i = 0; i < n; ++i) {
        const auto& object = parts[i]->baseSceneObject();
        if (!object || parts[i]->phase() >= view().shownBauphase())
            continue;
        if (view().paintOldWhite())
            object->colorDiffuse().setVector3f(1.0f, 1.0f, 1.0f);
        else
            object->colorDiffuse().setVector3f(parts[i]->color());
    }
    view().host().setNeedsDisplay();
}

void MainWindowController::menAboutDlg()
{
    showSheet(m_sheetAboutDlg);
}

void MainWindowController::btnAboutDlgOK()
{
    endSheet(m_sheetAboutDlg);
}

void MainWindowController::stepPhase(int direction)
{
    if (QToolButton* b = m_btnBauphase->button(direction < 0 ? 0 : 2))
        b->click(); // nothing when the step is disabled
}

void MainWindowController::chooseWorkMode(int segment)
{
    if (QToolButton* b = m_btnWorkMode->button(segment))
        b->click();
}

void MainWindowController::changeWorkMode()
{
    view().setWorkMode(m_btnWorkMode->selectedSegment() + 1);
}

void MainWindowController::menBauteilMittelpunkt()
{
    auto obj = view().selectedBauteil();
    if (!obj)
        return;
    view().cameraTarget().setVector3f(obj->position());
    view().host().setNeedsDisplay();
}

void MainWindowController::menDeselectAll()
{
    view().deselectAllBauteile();
    view().setDisplayList(0);
    view().host().setNeedsDisplay();
}

void MainWindowController::menAnsichtBauteilInfo()
{
    view().showPartPanel();
}

void MainWindowController::menPrintModell()
{
    if (!hasModel())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (vxAskPrinter(this, printer, tr("Print model")))
        printView(printer);
}

bool MainWindowController::printView(QPrinter& printer)
{
    QString error;
    if (m_viewCommands->printView(printer, &error))
        return true;
    alert(tr("Printing failed"), error, true);
    return false;
}

// --- building phases --------------------------------------------------------

void MainWindowController::btnBauphaseClick()
{
    vxModel& model = *view().model();
    const int s = m_btnBauphase->selectedSegment();
    const int m = model.maximumBauphase();
    if (s != 0 && s != 2)
        return;
    if (s == 0) {
        model.setActualBauphase(model.actualBauphase() - 1);
        view().repaintModelWithBauphase(model.actualBauphase());
        m_btnBauphase->setLabel(1, QString::number(model.actualBauphase()));
        if (model.actualBauphase() < 2)
            m_btnBauphase->setEnabled(0, false);
    } else {
        model.setActualBauphase(model.actualBauphase() + 1);
        view().repaintModelWithBauphase(model.actualBauphase());
        m_btnBauphase->setLabel(1, QString::number(model.actualBauphase()));
        m_btnBauphase->setEnabled(0, model.actualBauphase() >= 2);
    }
    m_btnBauphase->setEnabled(2, model.actualBauphase() < m);
    updateStatus(model.actualBauphase());
    emit phaseShown();
}

void MainWindowController::btnBuildingPhase()
{
    QComboBox* cb = m_phaseUi->cbBauphaseSelector;
    cb->clear();
    const int m = view().model()->maximumBauphase();
    for (int k = 1; k <= m; ++k)
        cb->addItem(tr("Phase %1").arg(k));
    // The list starts at the phase shown.
    cb->setCurrentIndex(std::clamp(view().shownBauphase(), 1, std::max(m, 1)) - 1);
    showSheet(m_sheetBuildingPhase);
}

void MainWindowController::btnBuildingPhaseOK()
{
    endSheet(m_sheetBuildingPhase);
    const int index = m_phaseUi->cbBauphaseSelector->currentIndex();
    if (index < 0)
        return;
    view().repaintModelWithBauphase(index + 1);
    updateStatus(index + 1);
    emit phaseShown();
}

void MainWindowController::btnRefresh()
{
    view().showAll();
    view().repaintModelWithBauphase(view().model()->actualBauphase());
    updateStatus(view().model()->actualBauphase());
    emit phaseShown();
}

// --- export -----------------------------------------------------------------

QString MainWindowController::proposedFileName(const QString& suffix) const
{
    if (m_modelPath.isEmpty())
        return {};
    const QString base = QFileInfo(m_modelPath).completeBaseName();
    return suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix;
}

void MainWindowController::exportAsVRML()
{
    const QString path = vxAskSaveFileName(this, tr("Export as VRML"), tr("VRML files (*.wrl)"),
                                           QStringLiteral("wrl"), proposedFileName(QStringLiteral("wrl")));
    if (!path.isEmpty() && !refusesToOverwriteModel(path))
        doExportAsVRML(path);
}

bool MainWindowController::refusesToOverwriteModel(const QString& path)
{
    if (m_modelPath.isEmpty() ||
        !vxSameFile(QFile::encodeName(m_modelPath).toStdString(), QFile::encodeName(path).toStdString()))
        return false;
    alert(tr("The model is not written over"),
          tr("%1 is the model being shown; choose another file name.").arg(QDir::toNativeSeparators(path)),
          true);
    return true;
}

bool MainWindowController::doExportAsVRML(const QString& path)
{
    if (!hasModel()) {
        alert(tr("Nothing to export"), tr("Open a model first; there is nothing to export yet."), true);
        return false;
    }
    vxWriteResult r;
    runWithWaitSheet(vxLocalized("SHEETWAITEXPORTVRML"), [&](const Progress&) {
        r = view().exportAsVRML(path.toStdString());
        return r.ok;
    });
    if (!r.ok) {
        alert(tr("The export failed"), writeFailureText(path, r.error), true);
        return false;
    }
    alert(vxLocalized("VRMLTITLE"), vxLocalized("VRMLFINISH"), false);
    return true;
}

// --- library ----------------------------------------------------------------

void MainWindowController::menShowLibrary()
{
    fillLibraryList();
    {
        // The list is filled below, once.
        const QSignalBlocker block(m_libraryUi->edtFilter);
        m_libraryUi->edtFilter->clear();
    }
    if (!m_kitItems.empty()) {
        m_libraryUi->stack->setCurrentWidget(m_libraryUi->pageLists);
        {
            // Selecting the first kit would fill its list a second time.
            const QSignalBlocker block(m_libraryUi->tblLibrary->selectionModel());
            m_libraryUi->tblLibrary->setCurrentIndex(m_controllerBaukasten->index(0, 0));
        }
        fillModellList(m_kitItems.front().fullName);
        m_libraryUi->edtFilter->setFocus();
    } else {
        m_controllerModelle->clear();
        m_modelItems.clear();
        m_libraryUi->lblEmpty->setText(
            tr("No models to show. The library folder %1 is missing or holds no kit folders.")
                .arg(QString::fromStdString(vxResources::resourceFolderPath()) + QStringLiteral("/library")));
        m_libraryUi->stack->setCurrentWidget(m_libraryUi->pageEmpty);
    }
    showSheet(m_sheetLibrary);
}

void MainWindowController::fillLibraryList()
{
    const QSignalBlocker block(m_libraryUi->tblLibrary->selectionModel());
    m_controllerBaukasten->clear();
    m_kitModels.clear();
    const QString folder =
        QString::fromStdString(vxResources::resourceFolderPath()) + QStringLiteral("/library");
    m_kitItems = vxLibrary::kits(folder);
    for (const vxLibraryItem& kit : m_kitItems) {
        auto* item = new QStandardItem(kit.fullName);
        if (!kit.fullImage.isNull())
            item->setIcon(QIcon(kit.fullImage));
        m_controllerBaukasten->appendRow(item);
    }
}

const std::vector<vxModelItem>& MainWindowController::kitModels(const QString& kitName)
{
    auto it = m_kitModels.find(kitName);
    if (it == m_kitModels.end()) {
        const QString folder =
            QString::fromStdString(vxResources::resourceFolderPath()) + QStringLiteral("/library/") + kitName;
        it = m_kitModels.emplace(kitName, vxLibrary::models(folder)).first;
    }
    return it->second;
}

void MainWindowController::fillModellList(const QString& kitName)
{
    m_shownKit = kitName;
    filterModelList();
}

void MainWindowController::filterModelList()
{
    // Without a filter the chosen kit's models; with one, the models of
    // every kit whose names hold it, each with its kit.
    const QString filter = m_libraryUi->edtFilter->text().trimmed();
    m_controllerModelle->clear();
    m_modelItems.clear();
    std::vector<QString> kitOf;
    if (filter.isEmpty()) {
        m_modelItems = kitModels(m_shownKit);
        kitOf.resize(m_modelItems.size());
    } else {
        for (const vxLibraryItem& kit : m_kitItems)
            for (const vxModelItem& model : kitModels(kit.fullName))
                if (model.fullName.contains(filter, Qt::CaseInsensitive)) {
                    m_modelItems.push_back(model);
                    kitOf.push_back(kit.fullName);
                }
    }
    for (std::size_t i = 0; i < m_modelItems.size(); ++i) {
        const vxModelItem& model = m_modelItems[i];
        QStringList about;
        if (!kitOf[i].isEmpty())
            about << kitOf[i];
        if (model.parts > 0)
            about << tr("%n part(s)", nullptr, model.parts) << tr("%n phase(s)", nullptr, model.phases);
        QString text = model.fullName;
        if (!about.isEmpty())
            text += QLatin1Char('\n') + about.join(QStringLiteral(" · "));
        auto* item = new QStandardItem(text);
        if (!model.fullImage.isNull())
            item->setIcon(QIcon(model.fullImage));
        item->setData(model.index, Qt::UserRole);
        item->setToolTip(model.index);
        m_controllerModelle->appendRow(item);
    }
    if (!m_modelItems.empty())
        m_libraryUi->tblModels->setCurrentIndex(m_controllerModelle->index(0, 0));
}

void MainWindowController::tblLibrarySelect()
{
    const QModelIndexList selected = m_libraryUi->tblLibrary->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const int row = selected.first().row();
    if (row < 0 || row >= static_cast<int>(m_kitItems.size()))
        return;
    // A kit chosen shows its own models, whatever was searched.
    {
        const QSignalBlocker block(m_libraryUi->edtFilter);
        m_libraryUi->edtFilter->clear();
    }
    fillModellList(m_kitItems[static_cast<std::size_t>(row)].fullName);
}

void MainWindowController::openFirstLibraryModel()
{
    const QModelIndex current = m_libraryUi->tblModels->currentIndex();
    if (current.isValid())
        btnLibraryClick(current.data(Qt::UserRole).toString());
    else if (!m_modelItems.empty())
        btnLibraryClick(m_modelItems.front().index);
}

void MainWindowController::btnLibraryClick(const QString& modelPath)
{
    std::fprintf(stderr, "%s\n", modelPath.toLocal8Bit().constData());
    std::fflush(stderr);
    endSheet(m_sheetLibrary);
    loadModelFromFile(modelPath);
}

void MainWindowController::btnCloseLibrary()
{
    endSheet(m_sheetLibrary);
}
