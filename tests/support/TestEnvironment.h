#pragma once

#include <QString>
#include <QTemporaryDir>

// A private world for one test: a temporary home folder ($HOME), a settings file inside it,
// QStandardPaths test mode (no desktop requests) and the English string tables.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment &) = delete;
    TestEnvironment &operator=(const TestEnvironment &) = delete;

    QString home() const { return m_home.path(); }
    QString settingsFile() const;
    QString path(const QString &relative) const { return m_home.filePath(relative); }

private:
    QTemporaryDir m_home;
    QByteArray m_previousHome;
};
