#include "vxModelStatus.h"

#include "vxOpenGLView.h"

#include <QLabel>
#include <QStatusBar>
#include <utility>

vxModelStatus::vxModelStatus(QStatusBar* bar) : QObject(bar)
{
    m_name = new QLabel(bar);
    m_parts = new QLabel(bar);
    m_phase = new QLabel(bar);
    m_name->setObjectName(QStringLiteral("statusModel"));
    m_parts->setObjectName(QStringLiteral("statusParts"));
    m_phase->setObjectName(QStringLiteral("statusPhase"));
    for (QLabel* l : {m_name, m_parts, m_phase})
        l->setTextFormat(Qt::PlainText);
    bar->addWidget(m_name, 1);
    bar->addPermanentWidget(m_parts);
    bar->addPermanentWidget(m_phase);
}

void vxModelStatus::update(const QString& modelName, const vxOpenGLView& view, int phaseShown)
{
    m_name->setText(modelName);
    if (modelName.isEmpty()) {
        m_parts->clear();
        m_phase->clear();
        return;
    }
    const vxModel& model = *view.model();
    const auto& objects = view.sceneObjectList();
    const std::size_t parts = std::min(objects.size(), static_cast<std::size_t>(std::max(model.count(), 0)));
    long long shown = 0;
    for (std::size_t i = 0; i < parts; ++i)
        shown +=
            std::as_const(*objects[i]).visible() != 0 && !std::as_const(*objects[i]).verticesList().empty();
    m_parts->setText(tr("%1 of %2 parts shown").arg(QString::number(shown), QString::number(parts)));
    const QString last = QString::number(model.maximumBauphase());
    // Phase > Choose phase… shows a phase without moving the step control.
    m_phase->setText(
        phaseShown == model.actualBauphase()
            ? tr("Phase %1 of %2").arg(QString::number(phaseShown), last)
            : tr("Phase %1 of %2 (step control at %3)")
                  .arg(QString::number(phaseShown), last, QString::number(model.actualBauphase())));
}
