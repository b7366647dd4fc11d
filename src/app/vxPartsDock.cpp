#include "vxPartsDock.h"

#include "vxAppResources.h"
#include "vxBooklet.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kIcon = 48;

// The part type's catalogue picture with a dot of the parts' colour in its
// corner.
QIcon catalogueIcon(const vxPartsListEntry& e)
{
    QPixmap icon(kIcon, kIcon);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const QPixmap picture = vxAppResources::namedImage(QString::fromStdString(e.shortName));
    if (!picture.isNull())
        p.drawPixmap(icon.rect(), picture);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(QString::fromStdString(vxColorHex(e.color))));
    p.drawEllipse(QRectF(kIcon - 15, kIcon - 15, 13, 13));
    return QIcon(icon);
}

} // namespace

vxPartsDock::vxPartsDock(QWidget* parent) : QDockWidget(tr("Parts"), parent)
{
    setObjectName(QStringLiteral("partsDock"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* scope = new QHBoxLayout;
    m_phaseButton = new QToolButton(body);
    m_phaseButton->setText(tr("This phase"));
    m_phaseButton->setObjectName(QStringLiteral("btnPartsPhase"));
    m_wholeButton = new QToolButton(body);
    m_wholeButton->setText(tr("Whole model"));
    m_wholeButton->setObjectName(QStringLiteral("btnPartsWhole"));
    auto* group = new QButtonGroup(this);
    for (QToolButton* b : {m_phaseButton, m_wholeButton}) {
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        group->addButton(b);
        scope->addWidget(b);
    }
    m_phaseButton->setChecked(true);
    scope->addStretch();
    layout->addLayout(scope);

    m_list = new QListWidget(body);
    m_list->setObjectName(QStringLiteral("tblParts"));
    m_list->setIconSize(QSize(kIcon, kIcon));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    layout->addWidget(m_list);

    m_totals = new QLabel(body);
    m_totals->setObjectName(QStringLiteral("lblPartsTotals"));
    m_totals->setWordWrap(true);
    layout->addWidget(m_totals);
    setWidget(body);

    connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool checked) {
        if (!checked)
            return;
        refill();
        emit scopeChanged(wholeModel());
    });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        if (row >= 0 && row < static_cast<int>(m_entries.size()))
            emit entryChosen(m_entries[static_cast<std::size_t>(row)]);
    });
}

bool vxPartsDock::wholeModel() const
{
    return m_wholeButton->isChecked();
}

void vxPartsDock::setWholeModel(bool whole)
{
    (whole ? m_wholeButton : m_phaseButton)->setChecked(true);
}

void vxPartsDock::setModel(const vxModel& model)
{
    m_phaseLists = vxMakePhasePartsLists(model);
    m_wholeEntries = vxMakePartsList(model, std::nullopt);
}

void vxPartsDock::showPhase(std::int32_t phase)
{
    m_phase = phase;
    const auto it = m_phaseLists.find(phase);
    m_phaseEntries = it == m_phaseLists.end() ? std::vector<vxPartsListEntry>() : it->second;
    refill();
}

void vxPartsDock::refill()
{
    const bool whole = wholeModel();
    m_entries = whole ? m_wholeEntries : m_phaseEntries;
    m_list->clear();
    for (const vxPartsListEntry& e : m_entries) {
        QString text =
            QStringLiteral("%1\u00d7  %2").arg(QString::number(e.count), QString::fromStdString(e.name));
        text += QLatin1Char('\n') + (e.found ? QString::fromStdString(e.number) : tr("not in the catalogue"));
        const QImage picture = m_pictures ? m_pictures(e, kIcon) : QImage();
        auto* item = new QListWidgetItem(
            picture.isNull() ? catalogueIcon(e) : QIcon(QPixmap::fromImage(picture)), text, m_list);
        item->setToolTip(QString::fromStdString(e.group));
    }
    const int parts = vxPartsListTotal(m_entries);
    const int kinds = static_cast<int>(m_entries.size());
    const QString counts = vxBooklet::partsText(parts), types = vxBooklet::kindsText(kinds);
    m_totals->setText(whole ? tr("%1 of %2 in the model").arg(counts, types)
                            : tr("Phase %1 adds %2 of %3").arg(QString::number(m_phase), counts, types));
    emit refilled();
    emit entryChosen(std::nullopt);
}
