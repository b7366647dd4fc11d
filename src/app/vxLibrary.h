#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <vector>

// One construction kit of the model library.
struct vxLibraryItem {
    vxLibraryItem() { initNewLibraryItem(); }
    void initNewLibraryItem()
    {
        fullName = QStringLiteral("leer");
        fullImage = QPixmap();
    }
    QString fullName;
    QPixmap fullImage;
};

// One model of a kit.
struct vxModelItem {
    vxModelItem() { initNewModelItem(); }
    void initNewModelItem()
    {
        fullName = QStringLiteral("leer");
        fullImage = QPixmap();
        index = QStringLiteral("-1");
    }
    QString fullName;  // path below the kit folder, without extension
    QPixmap fullImage; // the preview picture, null when missing
    QString index;     // full path of the model file
};

// Walking the library folder. Folder walks never follow symbolic links, so
// a link loop cannot keep them going; entries come sorted by name.
namespace vxLibrary {

// Every folder below libraryFolder, as its relative path with the
// extension of its last component removed.
std::vector<vxLibraryItem> kits(const QString& libraryFolder);

// Every *.kmf file below kitFolder (exact, case-sensitive extension).
std::vector<vxModelItem> models(const QString& kitFolder);

} // namespace vxLibrary
