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
        parts = 0;
        phases = 0;
    }
    QString fullName;  // name of the model file, without extension
    QPixmap fullImage; // the preview picture, null when missing
    QString index;     // full path of the model file
    int parts;         // part count and last building phase, read from the
    int phases;        // file without loading it; 0 when it cannot be read
};

// Walking the library folder. Folder walks never follow symbolic links, so
// a link loop cannot keep them going; entries come sorted by name.
namespace vxLibrary {

// Every folder below libraryFolder, as its relative path with the
// extension of its last component removed. A symbolic link is no kit.
std::vector<vxLibraryItem> kits(const QString& libraryFolder);

// Every *.kmf file in kitFolder itself (exact, case-sensitive extension);
// the models of its sub-folders belong to those folders' kits.
std::vector<vxModelItem> models(const QString& kitFolder);

} // namespace vxLibrary
