#include "vxPartPanelController.h"

#include "ui_vxPartPanelController.h"
#include "vxAppResources.h"
#include "vxScreenFit.h"

#include <QWidget>
#include <algorithm>

vxPartPanelController::vxPartPanelController(QWidget* parentWindow) : m_parentWindow(parentWindow) {}

vxPartPanelController::~vxPartPanelController()
{
    delete m_panel.data();
}

QLabel* vxPartPanelController::lblName() const
{
    return m_ui ? m_ui->lblName : nullptr;
}

QLabel* vxPartPanelController::lblNr() const
{
    return m_ui ? m_ui->lblNr : nullptr;
}

QLabel* vxPartPanelController::imgIcon() const
{
    return m_ui ? m_ui->imgIcon : nullptr;
}

void vxPartPanelController::showWindow()
{
    if (!m_panel) {
        auto* w = new QWidget(m_parentWindow, Qt::Tool);
        m_ui = std::make_unique<Ui::vxPartPanelController>();
        m_ui->setupUi(w);
        m_panel = w;
        windowDidLoad();
        placeBesideParent();
    }
    m_panel->show();
}

void vxPartPanelController::placeBesideParent()
{
    if (!m_parentWindow || !m_parentWindow->isVisible())
        return;
    const QRect area = vxScreenFit::available(m_parentWindow);
    const QRect main = m_parentWindow->window()->frameGeometry();
    vxScreenFit::fitDialog(m_panel, m_panel->size());
    const QSize frame = m_panel->size() + QSize(16, 40); // with room for the window frame
    // Right of the window when there is room, else left of it, else over
    // its right edge.
    int x = main.right() + 8;
    if (x + frame.width() > area.right())
        x = main.left() - 8 - frame.width() >= area.left() ? main.left() - 8 - frame.width()
                                                           : area.right() - frame.width();
    const int y = std::clamp(main.top(), area.top(), std::max(area.top(), area.bottom() - frame.height()));
    m_panel->move(std::max(x, area.left()), y);
}

void vxPartPanelController::showPanel()
{
    showWindow();
    m_panel->raise();
    m_panel->activateWindow();
}

void vxPartPanelController::windowDidLoad()
{
    // The part selected before the panel was first shown, at once.
    selectPart(m_selectedPart);
}

void vxPartPanelController::selectPart(const std::shared_ptr<vxPart>& part)
{
    m_selectedPart = part;
    if (!m_ui)
        return;
    if (!part) {
        m_ui->lblName->setText(QString());
        m_ui->lblNr->setText(QString());
        return;
    }
    const vxDefinition& d = part->definition();
    m_ui->lblName->setText(QString::fromStdString(d.m_Name));
    m_ui->lblNr->setText(QString::fromStdString(d.m_OrgNumber));
    const QPixmap pic = vxAppResources::namedImage(QString::fromStdString(d.m_ShortName));
    if (pic.isNull())
        m_ui->imgIcon->clear();
    else
        m_ui->imgIcon->setPixmap(pic);
}
