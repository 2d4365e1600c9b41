#include "TestEnvironment.h"

#include "Localization.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStandardPaths>

TestEnvironment::TestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    m_previousHome = qgetenv("HOME");
    qputenv("HOME", m_home.path().toLocal8Bit());
    UserDefaults::standard().setStorageFile(settingsFile());
    if (QCoreApplication::instance())
        Localization::install(QLocale(QLocale::English));
}

TestEnvironment::~TestEnvironment()
{
    UserDefaults::standard().setStorageFile(m_home.filePath(QStringLiteral("discarded.ini")));
    qputenv("HOME", m_previousHome);
}

QString TestEnvironment::settingsFile() const
{
    return m_home.filePath(QStringLiteral("settings.ini"));
}
