#include "vxDrawStyleCommands.h"

#include "vxCommandHost.h"
#include "vxGLWidget.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>

namespace {

const char* const kDrawingStyle = "view/drawingStyle";

} // namespace

vxDrawStyleCommands::vxDrawStyleCommands(vxCommandHost& host) : QObject(&host.mainWindow()), m_host(host)
{
    QMainWindow& window = host.mainWindow();
    auto* group = new QActionGroup(this);
    m_classic = new QAction(tr("&Classic"), this);
    m_classic->setObjectName(QStringLiteral("actionStyleClassic"));
    m_classic->setToolTip(tr("Flat facets without outlines"));
    m_outlined = new QAction(tr("&Outlined"), this);
    m_outlined->setObjectName(QStringLiteral("actionStyleOutlined"));
    m_outlined->setToolTip(tr("Smooth curves, dark edge lines, smoothed edges"));
    for (QAction* a : {m_classic, m_outlined}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    connect(m_classic, &QAction::triggered, this, [this] { setDrawStyle(vxDrawStyle::kClassic); });
    connect(m_outlined, &QAction::triggered, this, [this] { setDrawStyle(vxDrawStyle::kOutlined); });

    m_toggle = new QAction(tr("Outlined"), this);
    m_toggle->setObjectName(QStringLiteral("actionToggleOutlined"));
    m_toggle->setCheckable(true);
    m_toggle->setToolTip(tr("Draw the parts with outlines and smooth curves"));
    connect(m_toggle, &QAction::triggered, this,
            [this](bool on) { setDrawStyle(on ? vxDrawStyle::kOutlined : vxDrawStyle::kClassic); });

    if (auto* viewMenu = window.menuBar()->findChild<QMenu*>(QStringLiteral("menuView"))) {
        auto* menu = new QMenu(tr("Drawing st&yle"), viewMenu);
        menu->setObjectName(QStringLiteral("menuDrawingStyle"));
        menu->addAction(m_classic);
        menu->addAction(m_outlined);
        viewMenu->addMenu(menu);
    }
    if (auto* bar = window.findChild<QToolBar*>(QStringLiteral("toolBar")))
        bar->addAction(m_toggle);

    setDrawStyle(styleNamed(QSettings().value(QLatin1String(kDrawingStyle)).toString()));
}

QString vxDrawStyleCommands::styleName(vxDrawStyle style)
{
    return style == vxDrawStyle::kOutlined ? QStringLiteral("outlined") : QStringLiteral("classic");
}

vxDrawStyle vxDrawStyleCommands::styleNamed(const QString& name)
{
    // Anything else, or nothing remembered: the Classic default.
    return name == QLatin1String("outlined") ? vxDrawStyle::kOutlined : vxDrawStyle::kClassic;
}

vxDrawStyle vxDrawStyleCommands::drawStyle() const
{
    return m_host.view().drawStyle();
}

void vxDrawStyleCommands::setDrawStyle(vxDrawStyle style)
{
    const bool outlined = style == vxDrawStyle::kOutlined;
    m_classic->setChecked(!outlined);
    m_outlined->setChecked(outlined);
    m_toggle->setChecked(outlined);
    vxOpenGLView& view = m_host.view();
    if (view.drawStyle() != style)
        view.setDrawStyle(style);
    QSettings().setValue(QLatin1String(kDrawingStyle), styleName(style));
}
