#pragma once

#include <QCoreApplication>
#include <QString>

// A text of the application's string table, looked up by key in the
// context "Localizable"; a key without an entry gives the key itself.
inline QString vxLocalized(const char* key)
{
    return QCoreApplication::translate("Localizable", key);
}
