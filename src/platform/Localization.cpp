#include "Localization.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>
#include <memory>
#include <vector>

namespace Localization {
namespace {

std::vector<std::unique_ptr<QTranslator>> &installed()
{
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

QStringList tablesFor(const QString &language)
{
    const QString suffix = QLatin1Char('_') + language + QStringLiteral(".qm");
    QStringList found;
    const QStringList names = QDir(QStringLiteral(":/i18n")).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (name.endsWith(suffix))
            found << QStringLiteral(":/i18n/") + name;
    }
    return found;
}

} // namespace

QString install(const QLocale &locale)
{
    for (auto &translator : installed())
        QCoreApplication::removeTranslator(translator.get());
    installed().clear();

    QString language = QLocale::languageToCode(locale.language());
    QStringList tables = tablesFor(language);
    if (tables.isEmpty()) {
        language = QStringLiteral("en");
        tables = tablesFor(language);
    }
    for (const QString &table : tables) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(table) && QCoreApplication::installTranslator(translator.get()))
            installed().push_back(std::move(translator));
    }
    return language;
}

} // namespace Localization

QString localizedStringForKey(const QString &key)
{
    const QByteArray id = key.toUtf8();
    return qtTrId(id.constData());
}
