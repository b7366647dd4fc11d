#include "vxExportCommand.h"
#include "MainWindowController.h"
#include "vxOpenGLView.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSettings>

namespace {

const char* kFormatKey = "export/format";
const char* kFolderKey = "export/folder";

} // namespace

vxExportCommand::vxExportCommand(MainWindowController& window, QMenu* menu, QAction* before)
    : QObject(&window), m_window(window), m_action(new QAction(tr("E&xport…"), &window))
{
    m_action->setObjectName(QStringLiteral("actionExport"));
    m_action->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    menu->insertAction(before, m_action);
    connect(m_action, &QAction::triggered, this, [this] { menExport(); });
}

QString vxExportCommand::filterOf(vxExportFormat format)
{
    switch (format) {
    case vxExportFormat::kGlb:
        return tr("glTF binary (*.glb)");
    case vxExportFormat::kGltf:
        return tr("glTF text (*.gltf)");
    case vxExportFormat::kStl:
        return tr("STL for 3D printing (*.stl)");
    case vxExportFormat::kObj:
        return tr("Wavefront OBJ (*.obj)");
    case vxExportFormat::kVrml:
        return tr("VRML 1.0 (*.wrl)");
    }
    return {};
}

void vxExportCommand::menExport()
{
    QSettings settings;
    const vxExportFormat last = vxExportFormatNamed(settings.value(kFormatKey).toString().toStdString())
                                    .value_or(vxExportFormat::kGlb);
    QStringList filters;
    for (vxExportFormat f : kExportFormats)
        filters << filterOf(f);

    QFileDialog dlg(&m_window, tr("Export"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filterOf(last));
    dlg.setDefaultSuffix(QString::fromLatin1(vxExportExtension(last).data()));
    if (settings.contains(kFolderKey))
        dlg.setDirectory(settings.value(kFolderKey).toString());
    // The model's name; the chosen format's extension is added on saving.
    dlg.selectFile(m_window.proposedFileName());
    dlg.setWindowModality(Qt::WindowModal);
    connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& filter) {
        for (vxExportFormat f : kExportFormats)
            if (filter == filterOf(f))
                dlg.setDefaultSuffix(QString::fromLatin1(vxExportExtension(f).data()));
    });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;

    // A name with a format's extension says the format; else the filter does.
    const QString path = dlg.selectedFiles().first();
    std::optional<vxExportFormat> format = vxExportFormatOfPath(path.toStdString());
    for (vxExportFormat f : kExportFormats)
        if (!format && dlg.selectedNameFilter() == filterOf(f))
            format = f;
    if (!format)
        return;
    settings.setValue(kFormatKey, QString::fromLatin1(vxExportExtension(*format).data()));
    settings.setValue(kFolderKey, QFileInfo(path).absolutePath());
    doExport(path, *format);
}

bool vxExportCommand::doExport(const QString& path, vxExportFormat format)
{
    if (!m_window.hasModel()) {
        m_window.alert(tr("Nothing to export"), tr("Open a model first; there is nothing to export yet."),
                       true);
        return false;
    }
    m_window.lblSheetWait()->setText(tr("Exporting the model…"));
    QProgressBar* bar = m_window.progressIndicator();
    bar->setRange(0, 0);
    m_window.showSheet(m_window.sheetWait());
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    vxOpenGLView& view = m_window.view();
    vxExportOptions options;
    options.phase = view.model()->actualBauphase();
    QElapsedTimer sinceUpdate;
    sinceUpdate.start();
    options.progress = [&](std::size_t done, std::size_t total) {
        if (done != total && sinceUpdate.elapsed() < 40)
            return;
        sinceUpdate.restart();
        bar->setRange(0, static_cast<int>(std::max<std::size_t>(total, 1)));
        bar->setValue(static_cast<int>(done));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    const vxWriteResult r = vxExportModel(view.exportSource(), path.toStdString(), format, options);
    bar->setRange(0, 1);
    m_window.endSheet(m_window.sheetWait());

    if (!r.ok) {
        m_window.alert(tr("The export failed"), MainWindowController::writeFailureText(path, r.error), true);
        return false;
    }
    m_window.alert(tr("Export finished"),
                   tr("The model has been written to %1.").arg(QDir::toNativeSeparators(path)), false);
    return true;
}
