#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

// Installs the application's string tables from folder (the resource
// folder's translations/ when empty): English always, German over it when
// language is German, together with Qt's own German texts for its standard
// dialogs and shortcut names. Returns how many tables were installed.
int vxInstallTranslations(QCoreApplication& app, QLocale::Language language,
                          const QString& folder = QString());

// Removes the tables vxInstallTranslations installed.
void vxRemoveTranslations(QCoreApplication& app);
