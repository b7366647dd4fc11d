#include "vxLibrary.h"

#include "vxModelSummary.h"
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

// Every real folder below folder (filters QDir::Dirs, the whole tree) or
// every regular file in folder itself (QDir::Files), sorted. Links to files
// are listed; links to folders are neither listed nor walked through;
// devices, FIFOs, sockets and dangling links are left out.
QStringList walk(const QString& folder, QDir::Filters filters)
{
    QStringList out;
    QDir base(folder);
    const bool dirs = filters.testFlag(QDir::Dirs);
    QDirIterator it(folder, filters | QDir::NoDotAndDotDot | QDir::Hidden,
                    dirs ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (dirs ? !info.isDir() || info.isSymLink() : !info.isFile())
            continue;
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
        const vxModelSummary summary = vxReadModelSummary(item.index.toStdString());
        if (summary.ok) {
            item.parts = summary.parts;
            item.phases = summary.phases;
        }
        out.push_back(item);
    }
    return out;
}

} // namespace vxLibrary
