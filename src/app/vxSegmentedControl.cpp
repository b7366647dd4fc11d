#include "vxSegmentedControl.h"

#include <QHBoxLayout>
#include <QToolButton>

vxSegmentedControl::vxSegmentedControl(QWidget* parent, int segmentCount) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < segmentCount; ++i) {
        auto* b = new QToolButton(this);
        b->setCheckable(true);
        b->setAutoRaise(false);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumWidth(36);
        b->setObjectName(QStringLiteral("segment%1").arg(i));
        layout->addWidget(b);
        m_buttons.push_back(b);
        connect(b, &QToolButton::clicked, this, [this, i]() {
            setSelectedSegment(i);
            emit activated(i);
            if (!m_selectable)
                m_buttons[static_cast<std::size_t>(i)]->setChecked(false);
        });
    }
}

QToolButton* vxSegmentedControl::button(int segment) const
{
    if (segment < 0 || segment >= segmentCount())
        return nullptr;
    return m_buttons[static_cast<std::size_t>(segment)];
}

void vxSegmentedControl::setLabel(int segment, const QString& label)
{
    if (auto* b = button(segment))
        b->setText(label);
}

QString vxSegmentedControl::label(int segment) const
{
    auto* b = button(segment);
    return b ? b->text() : QString();
}

void vxSegmentedControl::setToolTip(int segment, const QString& tip)
{
    if (auto* b = button(segment))
        b->setToolTip(tip);
}

void vxSegmentedControl::setEnabled(int segment, bool enabled)
{
    if (auto* b = button(segment))
        b->setEnabled(enabled);
}

bool vxSegmentedControl::isEnabled(int segment) const
{
    auto* b = button(segment);
    return b && b->isEnabled();
}

void vxSegmentedControl::setSelectable(bool selectable)
{
    m_selectable = selectable;
    if (!selectable)
        for (auto* b : m_buttons)
            b->setChecked(false);
}

void vxSegmentedControl::setSelectedSegment(int segment)
{
    if (segment < -1 || segment >= segmentCount())
        return;
    m_selected = segment;
    if (m_selectable)
        for (int i = 0; i < segmentCount(); ++i)
            m_buttons[static_cast<std::size_t>(i)]->setChecked(i == segment);
}
