#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

// The models opened last, newest first, kept in the settings
// ("files/recent") so that they survive a restart.
class vxRecentFiles : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaximum = 10;

    explicit vxRecentFiles(QObject* parent = nullptr);

    QStringList files() const;
    // Puts path (made absolute) first; an entry already there moves up.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();
    // Drops the entries whose files no longer exist and returns them.
    QStringList dropMissing();

    // Fills menu with one entry per file (numbered, with its folder as a
    // tip, and in the text when another entry has the same file name) and an entry that clears the list; the
    // entries emit openRequested.
    void fillMenu(QMenu* menu);

  signals:
    void changed();
    void openRequested(const QString& path);

  private:
    void store(const QStringList& files);
};
