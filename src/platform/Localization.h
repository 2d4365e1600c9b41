#pragma once

#include <QLocale>
#include <QString>

// Localized strings by key. The tables are Qt Linguist id-based messages embedded under
// ":/i18n/"; a key missing from every table shows as the key itself.
namespace Localization {

// Loads every table of the locale's language, or the English ones when there is none.
// Needs a QCoreApplication. Returns the language that was loaded ("en", "de", ...).
QString install(const QLocale &locale = QLocale::system());

} // namespace Localization

QString localizedStringForKey(const QString &key);
