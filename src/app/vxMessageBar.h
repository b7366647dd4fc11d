#pragma once

#include "vxLoadFindings.h"

#include <QFrame>
#include <QString>
#include <vector>

class QLabel;
class QPushButton;
class QToolButton;

// A bar above the 3D view that tells what the user should know without
// stopping them: what a load left out, a refused drop, a dropped recent
// file. One line with a Details button when there is more to read, and a
// close button; hidden while there is nothing to say.
class vxMessageBar : public QFrame {
    Q_OBJECT
  public:
    explicit vxMessageBar(QWidget* parent = nullptr);

    // Shows the findings of a load (hides the bar when there are none).
    void showFindings(const QString& fileName, const std::vector<vxLoadFinding>& findings);
    // Shows a text; details (one item per line) make the Details button appear.
    void showMessage(const QString& text, const QStringList& details = {});
    void clear();

    QString text() const;
    QStringList details() const { return m_details; }
    QPushButton* detailsButton() const { return m_detailsButton; }
    QToolButton* closeButton() const { return m_closeButton; }

    // One finding as a sentence of the user's language.
    static QString findingText(const vxLoadFinding& finding);
    // The one line that sums the findings up.
    static QString headline(const std::vector<vxLoadFinding>& findings);

    // Opens the details in a window of their own (non-modal).
    void showDetails();

  private:
    QLabel* m_icon;
    QLabel* m_text;
    QPushButton* m_detailsButton;
    QToolButton* m_closeButton;
    QString m_title;
    QStringList m_details;
};
