#include "vxStartPage.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

vxStartPage::vxStartPage(QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("startPage"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);

    auto* page = new QWidget(this);
    auto* outer = new QHBoxLayout(page);
    auto* column = new QVBoxLayout();
    outer->addStretch(1);
    outer->addLayout(column, 4);
    outer->addStretch(1);

    auto* title = new QLabel(QStringLiteral("Kolbrik Viewer"), page);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    title->setFont(big);
    auto* intro =
        new QLabel(tr("Open a model to look at it from all sides, follow how it is built phase by phase "
                      "and find out about every part."),
                   page);
    intro->setWordWrap(true);

    m_open = new QPushButton(tr("Open a model…"), page);
    m_open->setObjectName(QStringLiteral("startOpen"));
    m_library = new QPushButton(tr("Browse the library…"), page);
    m_library->setObjectName(QStringLiteral("startLibrary"));
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_open);
    buttons->addWidget(m_library);
    buttons->addStretch(1);

    auto* recentTitle = new QLabel(tr("Recent models"), page);
    QFont bold = recentTitle->font();
    bold.setBold(true);
    recentTitle->setFont(bold);
    m_recentEmpty = new QLabel(tr("No models opened yet."), page);
    m_recent = new QListWidget(page);
    m_recent->setObjectName(QStringLiteral("startRecent"));
    m_recent->setMinimumHeight(90);
    m_recent->setTextElideMode(Qt::ElideMiddle);
    m_recent->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* hint = new QLabel(tr("You can also drop a model file (.kmf) onto this window."), page);
    hint->setWordWrap(true);
    hint->setEnabled(false);

    column->addStretch(1);
    column->addWidget(title);
    column->addWidget(intro);
    column->addSpacing(12);
    column->addLayout(buttons);
    column->addSpacing(18);
    column->addWidget(recentTitle);
    column->addWidget(m_recentEmpty);
    column->addWidget(m_recent, 3);
    column->addWidget(hint);
    column->addStretch(1);
    setWidget(page);

    connect(m_open, &QPushButton::clicked, this, &vxStartPage::openClicked);
    connect(m_library, &QPushButton::clicked, this, &vxStartPage::libraryClicked);
    connect(m_recent, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit recentActivated(item->data(Qt::UserRole).toString()); });
    setRecentFiles({});
}

void vxStartPage::setRecentFiles(const QStringList& files)
{
    m_recent->clear();
    for (const QString& f : files) {
        const QFileInfo info(f);
        auto* item = new QListWidgetItem(
            tr("%1 — in %2").arg(info.fileName(), QDir::toNativeSeparators(info.path())), m_recent);
        item->setData(Qt::UserRole, f);
        item->setToolTip(QDir::toNativeSeparators(f));
    }
    m_recent->setVisible(!files.isEmpty());
    m_recentEmpty->setVisible(files.isEmpty());
}
