#pragma once

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

// Opens model files dropped on a window (from a file manager): a local
// .kmf file is taken; anything else is refused with the reason.
class vxModelDrop : public QObject {
    Q_OBJECT
  public:
    // Accepts drops on window (and its children that take none themselves).
    explicit vxModelDrop(QWidget* window);

    // The first local .kmf file of the data, or an empty text.
    static QString modelPath(const QMimeData* data);
    // A name for what the data holds, for the refusal (the first file's
    // name, or empty when it holds no file).
    static QString firstFileName(const QMimeData* data);

  signals:
    void modelDropped(const QString& path);
    void refused(const QString& what);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
