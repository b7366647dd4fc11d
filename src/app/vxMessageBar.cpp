#include "vxMessageBar.h"

#include "vxLocalized.h"
#include "vxScreenFit.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using Kind = vxLoadFinding::Kind;

namespace {

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

bool isAboutTheFile(const vxLoadFinding& f)
{
    return f.kind == Kind::kEmptyFile || f.kind == Kind::kNotText || f.kind == Kind::kLineEnds ||
           f.kind == Kind::kNoSections;
}

} // namespace

vxMessageBar::vxMessageBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("messageBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xfc, 0xf3, 0xcf));
    pal.setColor(QPalette::WindowText, QColor(0x3a, 0x30, 0x10));
    setPalette(pal);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    m_icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(side, side));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("messageText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_detailsButton = new QPushButton(tr("Details…"), this);
    m_detailsButton->setObjectName(QStringLiteral("messageDetails"));
    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(QStringLiteral("messageClose"));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
    m_closeButton->setToolTip(tr("Close this message"));
    layout->addWidget(m_icon);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_detailsButton);
    layout->addWidget(m_closeButton);

    connect(m_detailsButton, &QPushButton::clicked, this, &vxMessageBar::showDetails);
    connect(m_closeButton, &QToolButton::clicked, this, &vxMessageBar::clear);
    hide();
}

QString vxMessageBar::text() const
{
    return m_text->text();
}

void vxMessageBar::showMessage(const QString& text, const QStringList& details)
{
    m_text->setText(text);
    m_details = details;
    m_detailsButton->setVisible(!details.isEmpty());
    show();
}

void vxMessageBar::clear()
{
    m_text->clear();
    m_details.clear();
    m_title.clear();
    hide();
}

void vxMessageBar::showFindings(const QString& fileName, const std::vector<vxLoadFinding>& findings)
{
    if (findings.empty()) {
        clear();
        return;
    }
    QStringList details;
    for (const vxLoadFinding& f : findings)
        details << findingText(f);
    m_title = fileName;
    showMessage(headline(findings), details);
}

QString vxMessageBar::findingText(const vxLoadFinding& f)
{
    const QString name = fromStd(f.name);
    const QString type = f.title.empty() ? name : tr("%1 (%2)").arg(name, fromStd(f.title));
    const int count = static_cast<int>(std::min<std::int64_t>(f.count, 2147483647));
    switch (f.kind) {
    case Kind::kEmptyFile:
        return tr("The file is empty.");
    case Kind::kNotText:
        return tr("The file does not hold text; it is not a model file.");
    case Kind::kLineEnds:
        return tr("The file's lines end in %1 alone instead of CR LF, so nothing could be read.").arg(name);
    case Kind::kNoSections:
        return tr("The file holds no model sections ([CAMERA], [COMMON], [PART…]); it is not a model file.");
    case Kind::kMissingParts:
        return tr("%n part(s) have no [PART] section with a name; the file may be cut short", nullptr, count);
    case Kind::kUnknownPart:
        return tr("%1 is not in the part catalogue (%2×)").arg(name, QString::number(count));
    case Kind::kMissingMesh:
        return tr("The shape of %1 is missing or unreadable (%2×)").arg(type, QString::number(count));
    case Kind::kEmptyMesh:
        return tr("The shape of %1 holds no triangle (%2×)").arg(type, QString::number(count));
    case Kind::kBadNumber: {
        // A text cut short says how long it was.
        const auto shown = [](const std::string& text, bool cut, std::int64_t length) {
            return cut ? tr("%1… (%n character(s))", nullptr,
                            static_cast<int>(std::min<std::int64_t>(length, 2147483647)))
                             .arg(fromStd(text))
                       : fromStd(text);
        };
        const QString value = shown(f.value, f.valueIsCut(), f.valueLength);
        if (f.section.empty())
            return tr("Line %1: %2=%3 is not a number; read as %4")
                .arg(QString::number(f.line), fromStd(f.key), value, fromStd(f.readAs));
        return tr("Line %1: %2=%3 in %4 is not a number; read as %5")
            .arg(QString::number(f.line), fromStd(f.key), value,
                 shown(f.section, f.sectionIsCut(), f.sectionLength), fromStd(f.readAs));
    }
    case Kind::kMoreBadNumbers:
        return tr("%n more value(s) are not numbers", nullptr, count);
    case Kind::kTubeFewNodes:
        return count > 1 ? tr("%1 and %n more tube(s) have fewer than two nodes and are not drawn", nullptr,
                              count - 1)
                               .arg(fromStd(f.section))
                         : tr("%1 has fewer than two nodes and is not drawn").arg(fromStd(f.section));
    case Kind::kTubeBadNode:
        return count > 1
                   ? tr("%1 and %n more tube(s) have a node that is not a finite number and are not "
                        "drawn",
                        nullptr, count - 1)
                         .arg(fromStd(f.section))
                   : tr("%1 has a node that is not a finite number and is not drawn").arg(fromStd(f.section));
    case Kind::kTubeBadRadius:
        return count > 1
                   ? tr("%1 and %n more tube(s) have no radius above 0 and are not drawn", nullptr, count - 1)
                         .arg(fromStd(f.section))
                   : tr("%1 has no radius above 0 and is not drawn").arg(fromStd(f.section));
    }
    return fromStd(f.message);
}

QString vxMessageBar::headline(const std::vector<vxLoadFinding>& findings)
{
    for (const vxLoadFinding& f : findings)
        if (isAboutTheFile(f))
            return findingText(f);
    const std::int64_t parts = vxLoadFindings::partsNotShown(findings);
    if (parts > 0) {
        for (const vxLoadFinding& f : findings)
            if (f.isAboutParts())
                return tr("%n part(s) could not be shown: %1", nullptr,
                          static_cast<int>(std::min<std::int64_t>(parts, 2147483647)))
                    .arg(findingText(f));
    }
    std::int64_t numbers = 0;
    for (const vxLoadFinding& f : findings)
        if (f.kind == Kind::kBadNumber || f.kind == Kind::kMoreBadNumbers)
            numbers += f.count;
    if (numbers > 0 && !findings.empty())
        return tr("%n value(s) could not be read as numbers: %1", nullptr,
                  static_cast<int>(std::min<std::int64_t>(numbers, 2147483647)))
            .arg(findingText(findings.front()));
    return findings.empty() ? QString() : findingText(findings.front());
}

void vxMessageBar::showDetails()
{
    auto* dlg = new QDialog(window());
    dlg->setObjectName(QStringLiteral("messageDetailsWindow"));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setWindowTitle(vxLiteralTitle(m_title.isEmpty() ? tr("Details") : tr("Details: %1").arg(m_title)));
    auto* layout = new QVBoxLayout(dlg);
    auto* heading = new QLabel(m_text->text(), dlg);
    heading->setTextFormat(Qt::PlainText);
    heading->setWordWrap(true);
    auto* list = new QPlainTextEdit(dlg);
    list->setObjectName(QStringLiteral("messageDetailsText"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    list->setPlainText(QStringLiteral("• ") + m_details.join(QStringLiteral("\n• ")));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dlg);
    connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::close);
    layout->addWidget(heading);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    vxScreenFit::fitDialog(dlg, QSize(560, 360));
    dlg->show();
}
