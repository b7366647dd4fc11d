#include "vxLibrary.h"

#include "vxTextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <algorithm>

namespace vxLibrary {

namespace {

// The relative path with everything from the last dot of its last
// component removed.
QString withoutExtension(const QString& relative)
{
    const int slash = relative.lastIndexOf(QLatin1Char('/'));
    const int dot = relative.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return relative.left(dot);
    return relative;
}

QStringList walk(const QString& folder, QDir::Filters filters)
{
    QStringList out;
    QDir base(folder);
    QDirIterator it(folder, filters | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        out << base.relativeFilePath(it.filePath());
    }
    std::sort(out.begin(), out.end());
    return out;
}

QPixmap readPicture(const QString& path)
{
    vxReadResult r = readWholeFile(path.toStdString(), vxFileLimits::kPictureFile);
    if (!r.ok)
        return QPixmap();
    QImage img;
    if (!img.loadFromData(reinterpret_cast<const uchar*>(r.data.data()), static_cast<int>(r.data.size())))
        return QPixmap();
    return QPixmap::fromImage(img);
}

} // namespace

std::vector<vxLibraryItem> kits(const QString& libraryFolder)
{
    std::vector<vxLibraryItem> out;
    for (const QString& rel : walk(libraryFolder, QDir::Dirs)) {
        vxLibraryItem item;
        item.fullName = withoutExtension(rel);
        out.push_back(item);
    }
    return out;
}

std::vector<vxModelItem> models(const QString& kitFolder)
{
    std::vector<vxModelItem> out;
    for (const QString& rel : walk(kitFolder, QDir::Files)) {
        if (QFileInfo(rel).suffix() != QLatin1String("kmf") || !rel.endsWith(QLatin1String(".kmf")))
            continue;
        vxModelItem item;
        item.fullName = withoutExtension(rel);
        const QString picture = QStringLiteral("%1/%2.bmp").arg(kitFolder, item.fullName);
        item.fullImage = readPicture(picture);
        item.index = QStringLiteral("%1/%2.kmf").arg(kitFolder, item.fullName);
        out.push_back(item);
    }
    return out;
}

} // namespace vxLibrary
