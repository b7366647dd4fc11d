#include "vxTranslations.h"

#include "vxResources.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

int vxInstallTranslations(QCoreApplication& app, QLocale::Language language, const QString& folderIn)
{
    vxRemoveTranslations(app);
    const QString folder = folderIn.isEmpty() ? QString::fromStdString(vxResources::resourceFolderPath()) +
                                                    QStringLiteral("/translations")
                                              : folderIn;
    int installed = 0;
    QStringList tables{QStringLiteral("kolbrik_en")};
    if (language == QLocale::German)
        tables << QStringLiteral("kolbrik_de");
    for (const QString& name : tables) {
        auto* t = new QTranslator(&app);
        t->setObjectName(QStringLiteral("kolbrik-table"));
        if (t->load(name, folder) && QCoreApplication::installTranslator(t))
            ++installed;
        else
            delete t;
    }
    // Qt's own texts (standard dialogs, buttons, shortcut names) in the same
    // language as ours, so that a window never mixes two.
    if (language == QLocale::German) {
        auto* t = new QTranslator(&app);
        t->setObjectName(QStringLiteral("kolbrik-table"));
        if (t->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(t))
            ++installed;
        else
            delete t;
    }
    return installed;
}

void vxRemoveTranslations(QCoreApplication& app)
{
    for (QTranslator* t : app.findChildren<QTranslator*>(QStringLiteral("kolbrik-table"))) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}
