#include "vxPartPanelController.h"
#include "vxQtTestSupport.h"
#include "vxTestResources.h"

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<vxPart> partWith(const std::string& name, const std::string& nr, const std::string& shortName)
{
    auto p = std::make_shared<vxPart>();
    p->changeDefinition().m_Name = name;
    p->changeDefinition().m_OrgNumber = nr;
    p->changeDefinition().m_ShortName = shortName;
    return p;
}

} // namespace

// The panel opens empty even when a part was selected before; it shows the
// name, number and picture, and keeps the last picture on deselection.
TEST(PartPanel, ShowsNameNumberAndPictureOfTheSelectedPart)
{
    vxTest::qtApp();
    vxTest::TempDir res;
    vxTest::ResourceFolder folder(res.path());
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(QString::fromStdString(res.file("31005.png"))));

    vxPartPanelController panel;
    auto part = partWith("Block 30", "31005", "31005");
    panel.selectPart(part); // recorded only: no window yet
    EXPECT_EQ(panel.myPanel(), nullptr);
    EXPECT_EQ(panel.selectedPart(), part);
    panel.showPanel();
    ASSERT_NE(panel.myPanel(), nullptr);
    EXPECT_TRUE(panel.myPanel()->isVisible());
    EXPECT_TRUE(panel.lblName()->text().isEmpty());
    EXPECT_TRUE(panel.lblNr()->text().isEmpty());
    EXPECT_EQ(panel.selectedPart(), nullptr);

    panel.selectPart(part);
    EXPECT_EQ(panel.lblName()->text(), "Block 30");
    EXPECT_EQ(panel.lblNr()->text(), "31005");
    ASSERT_FALSE(panel.imgIcon()->pixmap().isNull());
    EXPECT_EQ(panel.imgIcon()->pixmap().toImage().pixelColor(3, 3), QColor(Qt::red));

    panel.selectPart(nullptr);
    EXPECT_TRUE(panel.lblName()->text().isEmpty());
    EXPECT_TRUE(panel.lblNr()->text().isEmpty());
    EXPECT_FALSE(panel.imgIcon()->pixmap().isNull()); // the last picture stays

    panel.selectPart(partWith("Unknown", "", "99999"));
    EXPECT_EQ(panel.lblName()->text(), "Unknown");
    EXPECT_TRUE(panel.imgIcon()->pixmap().isNull()); // no picture of that name
}
