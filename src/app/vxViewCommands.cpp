#include "vxViewCommands.h"

#include "ui_vxSheetParameter.h"
#include "vxAppResources.h"
#include "vxAtomicFile.h"
#include "vxCommandHost.h"
#include "vxEventWatcher.h"
#include "vxGLWidget.h"
#include "vxScreenFit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

const char* const kInvertWheel = "navigation/invertWheel";
const char* const kZoomTowardPointer = "navigation/zoomTowardPointer";
const char* const kSmoothTransitions = "navigation/smoothTransitions";
const char* const kOrthographic = "navigation/orthographic";
const char* const kShowTubes = "view/showTubes";

// One arrow key turns the model as far as a drag of this many points.
constexpr float kTurnStep = 5.0f;
// One + or - key zooms as far as two wheel notches.
constexpr float kZoomStep = 1.1f;
// Prints are drawn at most this fine.
constexpr double kMaxPrintDpi = 600.0;

QMenu* findMenu(QMainWindow& window, const char* name)
{
    return window.menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
}

// The action of a menu called name (nullptr when there is none).
QAction* findAction(QMenu* menu, const char* name)
{
    if (!menu)
        return nullptr;
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name))
            return a;
    return nullptr;
}

// Rows as tall as their texts need when wrapped at their column's width
// (the tree asks for the height of one line otherwise).
class WrappingRows : public QStyledItemDelegate {
  public:
    explicit WrappingRows(QTreeWidget* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const int margin =
            2 * (m_tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, m_tree) + 1);
        int width = m_tree->columnWidth(index.column()) - margin;
        if (index.column() == 0 && index.parent().isValid())
            width -= m_tree->indentation();
        if (width <= 0)
            return size;
        const QRect text =
            item.fontMetrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, item.text);
        size.setHeight(std::max(size.height(), text.height() + margin));
        return size;
    }

  private:
    QTreeWidget* m_tree;
};

// The shortcut list's command column as wide as its texts, but at most half
// of the list (the keys' column takes the rest); rows wrap to fit.
void fitShortcutColumns(QTreeWidget* tree)
{
    tree->resizeColumnToContents(0);
    tree->setColumnWidth(0, std::min(tree->columnWidth(0), tree->viewport()->width() / 2));
    tree->doItemsLayout();
}

} // namespace

vxViewCommands::vxViewCommands(vxCommandHost& host)
    : QObject(&host.mainWindow()), m_host(host), m_window(host.mainWindow())
{
    buildActions();
    applySettings();
}

vxOpenGLView& vxViewCommands::view() const
{
    return m_host.view();
}

void vxViewCommands::message(const QString& text)
{
    m_window.statusBar()->showMessage(text, 4000);
}

QAction* vxViewCommands::addAction(QMenu* menu, const char* name, const QString& text,
                                   const QList<QKeySequence>& keys)
{
    auto* a = new QAction(text, &m_window);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    // Window-wide, so that the keys work wherever the focus is in the window.
    a->setShortcutContext(Qt::WindowShortcut);
    m_window.addAction(a);
    if (menu)
        menu->addAction(a);
    return a;
}

void vxViewCommands::buildActions()
{
    QMenu* viewMenu = findMenu(m_window, "menuView");
    QMenu* fileMenu = findMenu(m_window, "menuFile");
    QMenu* phaseMenu = findMenu(m_window, "menuPhase");
    QMenu* helpMenu = findMenu(m_window, "menuHelp");

    // View: the camera commands come first, before the window's own.
    auto* camera = new QMenu(&m_window);
    connect(addAction(camera, "actionFitModel", tr("&Fit model"), {Qt::Key_F, Qt::Key_Home}),
            &QAction::triggered, this, [this] { fitModel(); });
    connect(addAction(camera, "actionFitSelection", tr("Fit s&election"), {Qt::SHIFT | Qt::Key_F}),
            &QAction::triggered, this, [this] { fitSelection(); });
    connect(addAction(camera, "actionResetView", tr("Reset &view"), {Qt::Key_R}), &QAction::triggered, this,
            [this] { resetView(); });

    QMenu* standard = camera->addMenu(tr("S&tandard views"));
    standard->setObjectName(QStringLiteral("menuStandardViews"));
    const struct {
        const char* name;
        QString text;
        Qt::Key key;
        vxStandardView view;
    } views[] = {{"actionViewFront", tr("&Front"), Qt::Key_1, vxStandardView::kFront},
                 {"actionViewBack", tr("&Back"), Qt::Key_2, vxStandardView::kBack},
                 {"actionViewLeft", tr("&Left", "standard view"), Qt::Key_3, vxStandardView::kLeft},
                 {"actionViewRight", tr("&Right", "standard view"), Qt::Key_4, vxStandardView::kRight},
                 {"actionViewTop", tr("&Top"), Qt::Key_5, vxStandardView::kTop},
                 {"actionViewBottom", tr("B&ottom"), Qt::Key_6, vxStandardView::kBottom},
                 {"actionViewIso", tr("Three-&quarter view"), Qt::Key_7, vxStandardView::kIso}};
    for (const auto& v : views) {
        const vxStandardView which = v.view;
        connect(addAction(standard, v.name, v.text, {v.key}), &QAction::triggered, this,
                [this, which] { showStandardView(which); });
    }

    m_orthographic = addAction(camera, "actionOrthographic", tr("&Orthographic"), {Qt::Key_O});
    m_orthographic->setCheckable(true);
    connect(m_orthographic, &QAction::toggled, this, [this](bool on) { setOrthographic(on); });

    m_showTubes = addAction(camera, "actionShowTubes", tr("Show &cables and tubes"), {});
    m_showTubes->setCheckable(true);
    connect(m_showTubes, &QAction::toggled, this, [this](bool on) { setShowTubes(on); });

    connect(addAction(camera, "actionZoomIn", tr("Zoom &in"),
                      {Qt::Key_Plus, Qt::Key_Equal, Qt::KeypadModifier | Qt::Key_Plus}),
            &QAction::triggered, this, [this] {
                view().adjustDistanceToTarget(1.0f / kZoomStep);
                view().noteCameraMotion();
                view().host().setNeedsDisplay();
            });
    connect(addAction(camera, "actionZoomOut", tr("Zoom o&ut"),
                      {Qt::Key_Minus, Qt::KeypadModifier | Qt::Key_Minus}),
            &QAction::triggered, this, [this] {
                view().adjustDistanceToTarget(kZoomStep);
                view().noteCameraMotion();
                view().host().setNeedsDisplay();
            });

    // Arrow keys turn the model as a drag in that direction would, in
    // every work mode.
    QMenu* turn = camera->addMenu(tr("Tur&n"));
    turn->setObjectName(QStringLiteral("menuTurn"));
    const struct {
        const char* name;
        QString text;
        Qt::Key key;
        float elevation, azimuth;
    } turns[] = {{"actionTurnLeft", tr("&Left", "turn"), Qt::Key_Left, 0, kTurnStep},
                 {"actionTurnRight", tr("&Right", "turn"), Qt::Key_Right, 0, -kTurnStep},
                 {"actionTurnUp", tr("&Up"), Qt::Key_Up, kTurnStep, 0},
                 {"actionTurnDown", tr("&Down"), Qt::Key_Down, -kTurnStep, 0}};
    for (const auto& t : turns) {
        const float a = t.elevation, b = t.azimuth;
        connect(addAction(turn, t.name, t.text, {t.key}), &QAction::triggered, this, [this, a, b] {
            view().moveCameraAround(a, b);
            view().noteCameraMotion();
            view().host().setNeedsDisplay();
        });
    }

    // Work modes through the toolbar's own control.
    QMenu* modes = camera->addMenu(tr("&Work mode"));
    modes->setObjectName(QStringLiteral("menuWorkMode"));
    m_workModes = new QActionGroup(this);
    const struct {
        const char* name;
        QString text;
        Qt::Key key;
    } modeKeys[] = {{"actionModeSelect", tr("&Select"), Qt::Key_S},
                    {"actionModeNavigate", tr("&Navigate"), Qt::Key_N},
                    {"actionModeHide", tr("&Hide"), Qt::Key_H}};
    for (int segment = 0; segment < 3; ++segment) {
        QAction* a =
            addAction(modes, modeKeys[segment].name, modeKeys[segment].text, {modeKeys[segment].key});
        a->setCheckable(true);
        m_workModes->addAction(a);
        connect(a, &QAction::triggered, this, [this, segment] { m_host.chooseWorkMode(segment); });
    }
    showWorkMode();

    // Every camera command waits for a model (the work modes do not).
    for (QAction* a : camera->actions())
        if (!a->isSeparator() && !a->menu())
            m_modelCommands << a;
    m_modelCommands << standard->actions() << turn->actions();

    if (viewMenu) {
        QAction* first = viewMenu->actions().value(0);
        viewMenu->insertActions(first, camera->actions());
        viewMenu->insertSeparator(first);
    }

    // Phase: step with Page Up and Page Down through the step control.
    const struct {
        const char* name;
        QString text;
        Qt::Key key;
        int direction;
    } steps[] = {{"actionPreviousPhase", tr("&Previous phase"), Qt::Key_PageUp, -1},
                 {"actionNextPhase", tr("&Next phase"), Qt::Key_PageDown, 1}};
    QAction* choose = findAction(phaseMenu, "actionChoosePhase");
    for (const auto& s : steps) {
        QAction* a = addAction(nullptr, s.name, s.text, {s.key});
        if (phaseMenu)
            phaseMenu->insertAction(choose, a);
        m_modelCommands << a;
        const int direction = s.direction;
        connect(a, &QAction::triggered, this, [this, direction] { m_host.stepPhase(direction); });
    }

    // File: pictures of the view, before Print.
    QAction* print = findAction(fileMenu, "actionPrint");
    QAction* save =
        addAction(nullptr, "actionSavePicture", tr("Sa&ve picture…"), {Qt::CTRL | Qt::SHIFT | Qt::Key_S});
    QAction* copy =
        addAction(nullptr, "actionCopyPicture", tr("&Copy picture"), {Qt::CTRL | Qt::SHIFT | Qt::Key_C});
    if (fileMenu) {
        fileMenu->insertAction(print, save);
        fileMenu->insertAction(print, copy);
    }
    m_modelCommands << save << copy;
    connect(save, &QAction::triggered, this, [this] { menSavePicture(); });
    connect(copy, &QAction::triggered, this, [this] { menCopyPicture(); });

    // Help: the list of shortcuts.
    QAction* keys = addAction(nullptr, "actionKeyboardShortcuts", tr("&Keyboard shortcuts"), {Qt::Key_F1});
    if (helpMenu)
        helpMenu->insertAction(helpMenu->actions().value(0), keys);
    connect(keys, &QAction::triggered, this, [this] {
        QDialog* sheet = shortcutsSheet();
        sheet->setWindowModality(Qt::WindowModal);
        // As large as it likes, within the screen (its OK button in sight).
        vxScreenFit::fitDialog(sheet, QSize(560, 600));
        sheet->show();
        sheet->raise();
    });
}

void vxViewCommands::showWorkMode()
{
    const int segment = view().workMode() - 1;
    if (segment >= 0 && segment < 3)
        m_workModes->actions().at(segment)->setChecked(true);
}

// --- settings -------------------------------------------------------------------

void vxViewCommands::applySettings()
{
    const QSettings s;
    m_host.viewWidget()->setWheelAwayZoomsIn(!s.value(QLatin1String(kInvertWheel), false).toBool());
    view().setZoomTowardPointer(s.value(QLatin1String(kZoomTowardPointer), false).toBool());
    view().setSmoothTransitions(s.value(QLatin1String(kSmoothTransitions), true).toBool());
    m_orthographic->setChecked(s.value(QLatin1String(kOrthographic), false).toBool());
    view().setOrthographic(m_orthographic->isChecked());
    m_showTubes->setChecked(s.value(QLatin1String(kShowTubes), false).toBool());
    view().setShowTubes(m_showTubes->isChecked());
}

void vxViewCommands::loadSettingsIntoSheet(Ui::vxSheetParameter& ui)
{
    ui.cbInvertWheel->setChecked(!m_host.viewWidget()->wheelAwayZoomsIn());
    ui.cbZoomTowardPointer->setChecked(view().zoomTowardPointer());
    ui.cbSmoothTransitions->setChecked(view().smoothTransitions());
}

void vxViewCommands::takeSettingsFromSheet(const Ui::vxSheetParameter& ui)
{
    QSettings s;
    s.setValue(QLatin1String(kInvertWheel), ui.cbInvertWheel->isChecked());
    s.setValue(QLatin1String(kZoomTowardPointer), ui.cbZoomTowardPointer->isChecked());
    s.setValue(QLatin1String(kSmoothTransitions), ui.cbSmoothTransitions->isChecked());
    s.sync();
    applySettings();
}

// --- camera commands ------------------------------------------------------------

void vxViewCommands::fitModel()
{
    if (!view().fitModel())
        message(tr("No part is shown, so there is nothing to fit."));
}

void vxViewCommands::fitSelection()
{
    if (!view().fitSelection())
        message(tr("No part is selected: select one in the Select work mode first."));
}

void vxViewCommands::resetView()
{
    view().resetView();
}

void vxViewCommands::showStandardView(vxStandardView which)
{
    view().showStandardView(which);
}

bool vxViewCommands::setRemembered(QAction* action, const char* key, bool on)
{
    if (action->isChecked() != on) {
        action->setChecked(on); // comes back through toggled
        return false;
    }
    QSettings().setValue(QLatin1String(key), on);
    return true;
}

void vxViewCommands::setOrthographic(bool on)
{
    if (setRemembered(m_orthographic, kOrthographic, on))
        view().setOrthographic(on);
}

void vxViewCommands::setShowTubes(bool on)
{
    if (setRemembered(m_showTubes, kShowTubes, on))
        view().setShowTubes(on);
}

// --- pictures ---------------------------------------------------------------------

bool vxViewCommands::savePicture(const QString& path, QSize size, QString* error)
{
    const QImage picture = m_host.viewWidget()->renderPicture(size, error);
    if (picture.isNull())
        return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        if (error)
            *error = tr("The picture could not be encoded as PNG.");
        return false;
    }
    const vxWriteResult written = vxWriteFileAtomically(QFile::encodeName(path).toStdString(),
                                                        std::string_view(png.constData(), png.size()));
    if (!written) {
        if (error)
            *error = QString::fromStdString(written.error);
        return false;
    }
    return true;
}

void vxViewCommands::menSavePicture()
{
    vxGLWidget* widget = m_host.viewWidget();
    const int limit = widget->maxPictureSide();
    const vxSize pixels = widget->boundsInPixels();

    QDialog sizeSheet(&m_window);
    sizeSheet.setWindowTitle(tr("Save picture"));
    sizeSheet.setWindowModality(Qt::WindowModal);
    auto* form = new QFormLayout(&sizeSheet);
    auto spin = [&](double value) {
        auto* box = new QSpinBox(&sizeSheet);
        box->setRange(1, std::max(limit, 1));
        box->setValue(static_cast<int>(value));
        box->setSuffix(tr(" pixels"));
        return box;
    };
    QSpinBox* width = spin(pixels.width);
    QSpinBox* height = spin(pixels.height);
    form->addRow(tr("Width:"), width);
    form->addRow(tr("Height:"), height);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(tr("Cancel"), &sizeSheet);
    auto* ok = new QPushButton(QStringLiteral("OK"), &sizeSheet);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, &sizeSheet, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, &sizeSheet, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    form->addRow(buttons);
    if (sizeSheet.exec() != QDialog::Accepted)
        return;

    const QString path =
        vxAskSaveFileName(&m_window, tr("Save picture"), tr("PNG pictures (*.png)"), QStringLiteral("png"),
                          m_host.proposedFileName(QStringLiteral("png")));
    if (path.isEmpty() || m_host.refusesToOverwriteModel(path))
        return;
    QString error;
    if (savePicture(path, QSize(width->value(), height->value()), &error))
        message(tr("The picture was saved as %1.").arg(QFileInfo(path).fileName()));
    else
        m_host.alert(tr("The picture was not saved"), error, true);
}

bool vxViewCommands::copyPicture(QString* error)
{
    const vxSize pixels = m_host.viewWidget()->boundsInPixels();
    const QImage picture = m_host.viewWidget()->renderPicture(
        QSize(static_cast<int>(pixels.width), static_cast<int>(pixels.height)), error);
    if (picture.isNull())
        return false;
    QApplication::clipboard()->setImage(picture);
    return true;
}

void vxViewCommands::menCopyPicture()
{
    QString error;
    if (copyPicture(&error))
        message(tr("The picture of the view is on the clipboard."));
    else
        message(tr("The picture could not be copied: %1").arg(error));
}

QString vxViewCommands::printTitle() const
{
    const vxModel& model = *view().model();
    QStringList parts;
    QString name = QString::fromStdString(model.infModell()).trimmed();
    if (name.isEmpty())
        name = m_host.proposedFileName();
    if (!name.isEmpty())
        parts << name;
    if (!view().sceneObjectList().empty())
        parts << tr("Phase %1 of %2")
                     .arg(QString::number(view().shownBauphase()), QString::number(model.maximumBauphase()));
    parts << QLocale().toString(QDate::currentDate(), QLocale::LongFormat);
    return parts.join(QStringLiteral(" · "));
}

bool vxViewCommands::printView(QPrinter& printer, QString* error)
{
    vxGLWidget* widget = m_host.viewWidget();
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = tr("The printer could not be started.");
        return false;
    }
    const QRect page = painter.viewport();
    QFont font = painter.font();
    font.setPointSizeF(11.0);
    painter.setFont(font);
    const int line = painter.fontMetrics().height();
    painter.drawText(QRect(page.left(), page.top(), page.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(printTitle(), Qt::ElideRight, page.width()));

    // The view's proportions, as large as the page allows below the title,
    // drawn at the printer's resolution (at most kMaxPrintDpi) rather than
    // enlarged from the screen.
    const QRect area(page.left(), page.top() + 2 * line, page.width(), page.height() - 2 * line);
    QSize target(std::max(widget->width(), 1), std::max(widget->height(), 1));
    target.scale(area.size(), Qt::KeepAspectRatio);
    const double scale = std::min(1.0, kMaxPrintDpi / std::max(printer.resolution(), 1));
    QSize pixels = (QSizeF(target) * scale).toSize().expandedTo(QSize(1, 1));
    const int limit = widget->maxPictureSide();
    if (limit > 0 && (pixels.width() > limit || pixels.height() > limit))
        pixels.scale(limit, limit, Qt::KeepAspectRatio);
    const QImage picture = widget->renderPicture(pixels, error);
    if (picture.isNull()) {
        painter.end();
        return false;
    }
    painter.drawImage(QRect(QPoint(area.left() + (area.width() - target.width()) / 2, area.top()), target),
                      picture);
    return painter.end();
}

// --- keyboard shortcuts ------------------------------------------------------------

QDialog* vxViewCommands::shortcutsSheet()
{
    if (!m_shortcutsSheet) {
        m_shortcutsSheet = new QDialog(&m_window);
        m_shortcutsSheet->setObjectName(QStringLiteral("sheetKeyboardShortcuts"));
        m_shortcutsSheet->setWindowTitle(tr("Keyboard shortcuts"));
        auto* layout = new QVBoxLayout(m_shortcutsSheet);
        auto* tree = new QTreeWidget(m_shortcutsSheet);
        tree->setObjectName(QStringLiteral("treeShortcuts"));
        tree->setColumnCount(2);
        tree->setHeaderLabels({tr("Command"), tr("Keys")});
        tree->setRootIsDecorated(false);
        // Long rows wrap within the dialog's width rather than being cut.
        tree->setWordWrap(true);
        tree->setItemDelegate(new WrappingRows(tree));
        tree->setUniformRowHeights(false);
        tree->setTextElideMode(Qt::ElideNone);
        tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        tree->header()->setStretchLastSection(true);
        // The commands' column as wide as they need, but leaving the keys at
        // least half of the room; wrapped rows take their new heights.
        new vxEventWatcher(tree->viewport(), QEvent::Resize, [tree](QEvent*) {
            fitShortcutColumns(tree);
            return false;
        });
        layout->addWidget(tree);
        auto* ok = new QPushButton(QStringLiteral("OK"), m_shortcutsSheet);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, m_shortcutsSheet, &QDialog::accept);
        layout->addWidget(ok, 0, Qt::AlignRight);
    }
    // Filled afresh from the menus every time, so the list never goes stale.
    auto* tree = m_shortcutsSheet->findChild<QTreeWidget*>(QStringLiteral("treeShortcuts"));
    tree->clear();
    auto plain = [](QString text) { return text.remove(QLatin1Char('&')); };
    std::function<void(QMenu*, QTreeWidgetItem*, const QString&)> walk = [&](QMenu* menu,
                                                                             QTreeWidgetItem* group,
                                                                             const QString& prefix) {
        for (QAction* a : menu->actions()) {
            if (a->menu()) {
                walk(a->menu(), group, prefix + plain(a->text()) + QStringLiteral(" › "));
                continue;
            }
            QStringList keys;
            for (const QKeySequence& k : a->shortcuts())
                if (!(k[0].keyboardModifiers() & Qt::KeypadModifier)) // the keypad twins go without saying
                    keys << k.toString(QKeySequence::NativeText);
            if (!keys.isEmpty())
                new QTreeWidgetItem(group, {prefix + plain(a->text()), keys.join(tr(" or "))});
        }
    };
    for (QAction* top : m_window.menuBar()->actions()) {
        if (!top->menu())
            continue;
        auto* group = new QTreeWidgetItem(tree, {plain(top->text())});
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        walk(top->menu(), group, QString());
    }
    auto* mouse = new QTreeWidgetItem(tree, {tr("Mouse")});
    QFont bold = mouse->font(0);
    bold.setBold(true);
    mouse->setFont(0, bold);
    const QString gestures[][2] = {{tr("Turn around the target (Navigate)"), tr("Drag")},
                                   {tr("Move the view (pan)"), tr("Middle-drag, or Shift+drag in Navigate")},
                                   {tr("Zoom"), tr("Wheel (away from you zooms in, unless set otherwise)")},
                                   {tr("Look at a part (Navigate)"), tr("Double-click the part")},
                                   {tr("Select or hide a part (Select, Hide)"), tr("Click the part")}};
    for (const auto& g : gestures)
        new QTreeWidgetItem(mouse, {g[0], g[1]});
    tree->expandAll();
    fitShortcutColumns(tree);
    return m_shortcutsSheet;
}
