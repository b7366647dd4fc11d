#pragma once

#include <QScrollArea>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// What the view area shows before a model is loaded: open a model, open the
// library, or one of the models opened last.
class vxStartPage : public QScrollArea {
    Q_OBJECT
  public:
    explicit vxStartPage(QWidget* parent = nullptr);

    void setRecentFiles(const QStringList& files);

    QPushButton* openButton() const { return m_open; }
    QPushButton* libraryButton() const { return m_library; }
    QListWidget* recentList() const { return m_recent; }

  signals:
    void openClicked();
    void libraryClicked();
    void recentActivated(const QString& path);

  private:
    QPushButton* m_open;
    QPushButton* m_library;
    QLabel* m_recentEmpty;
    QListWidget* m_recent;
};
