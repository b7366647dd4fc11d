#include "vxExportCommand.h"
#include "vxCommandHost.h"
#include "vxOpenGLView.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>

namespace {

const char* kFormatKey = "export/format";
const char* kFolderKey = "export/folder";

} // namespace

vxExportCommand::vxExportCommand(vxCommandHost& host, QMenu* menu, QAction* before)
    : QObject(&host.mainWindow()), m_host(host), m_action(new QAction(tr("E&xport…"), &host.mainWindow()))
{
    m_action->setObjectName(QStringLiteral("actionExport"));
    m_action->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    menu->insertAction(before, m_action);
    connect(m_action, &QAction::triggered, this, [this] { menExport(); });
}

QString vxExportCommand::filterOf(vxExportFormat format)
{
    const vxExportFormatInfo* info = vxExportFormatInfoOf(format);
    return info ? tr(info->filter) : QString();
}

void vxExportCommand::menExport()
{
    QSettings settings;
    const vxExportFormat last = vxExportFormatNamed(settings.value(kFormatKey).toString().toStdString())
                                    .value_or(vxExportFormat::kGlb);
    QStringList filters;
    for (const vxExportFormatInfo& f : kExportFormats)
        filters << tr(f.filter);

    QFileDialog dlg(&m_host.mainWindow(), tr("Export"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filterOf(last));
    dlg.setDefaultSuffix(QString::fromLatin1(vxExportExtension(last).data()));
    if (settings.contains(kFolderKey))
        dlg.setDirectory(settings.value(kFolderKey).toString());
    // The model's name; the chosen format's extension is added on saving.
    dlg.selectFile(m_host.proposedFileName());
    dlg.setWindowModality(Qt::WindowModal);
    connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& filter) {
        for (const vxExportFormatInfo& f : kExportFormats)
            if (filter == tr(f.filter))
                dlg.setDefaultSuffix(QString::fromLatin1(f.extension.data(), f.extension.size()));
    });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;

    // A name with a format's extension says the format; else the filter does.
    const QString path = dlg.selectedFiles().first();
    if (m_host.refusesToOverwriteModel(path))
        return;
    std::optional<vxExportFormat> format = vxExportFormatOfPath(path.toStdString());
    for (const vxExportFormatInfo& f : kExportFormats)
        if (!format && dlg.selectedNameFilter() == tr(f.filter))
            format = f.format;
    if (!format)
        return;
    settings.setValue(kFormatKey, QString::fromLatin1(vxExportExtension(*format).data()));
    settings.setValue(kFolderKey, QFileInfo(path).absolutePath());
    doExport(path, *format);
}

bool vxExportCommand::doExport(const QString& path, vxExportFormat format)
{
    if (!m_host.hasModel()) {
        m_host.alert(tr("Nothing to export"), tr("Open a model first; there is nothing to export yet."),
                     true);
        return false;
    }
    vxWriteResult r;
    m_host.runWithWaitSheet(tr("Exporting the model…"), [&](const vxCommandHost::Progress& progress) {
        vxOpenGLView& view = m_host.view();
        vxExportOptions options;
        options.phase = view.shownBauphase();
        options.progress = progress;
        r = vxExportModel(view.exportSource(), path.toStdString(), format, options);
        return r.ok;
    });
    if (!r.ok) {
        m_host.alert(tr("The export failed"), vxCommandHost::writeFailureText(path, r.error), true);
        return false;
    }
    m_host.alert(tr("Export finished"),
                 tr("The model has been written to %1.").arg(QDir::toNativeSeparators(path)), false);
    return true;
}
