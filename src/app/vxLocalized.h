#pragma once

#include <QCoreApplication>
#include <QString>

// A text of the application's string table, looked up by key in the
// context "Localizable"; a key without an entry gives the key itself.
inline QString vxLocalized(const char* key)
{
    return QCoreApplication::translate("Localizable", key);
}

// The text of key used as a format with one argument for its "%1"; a text
// without a placeholder (a key without an entry) is shown as it is.
inline QString vxLocalizedFormat(const char* key, const QString& argument)
{
    const QString format = vxLocalized(key);
    return format.contains(QLatin1String("%1")) ? format.arg(argument) : format;
}

// A window title that shows text as it stands: Qt reads "[*]" in a title as
// the place of the modified mark, and a doubled one as "[*]" itself.
inline QString vxLiteralTitle(QString text)
{
    return text.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}
