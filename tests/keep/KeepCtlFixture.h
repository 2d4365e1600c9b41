#pragma once

#include "CtlRun.h"
#include "RealDisks.h"
#include "TestEnvironment.h"

#include <QJsonObject>
#include <filesystem>
#include <memory>

// vellumarctl's kept contents on real disks: a home of its own with the XDG folders in it,
// cleaned up (real disks, odd names) after each case.
struct KeepCtlFixture
{
    std::unique_ptr<TestEnvironment> m_env;

    using Run = CtlRun::Result;
    static Run ctl(const QStringList &arguments) { return CtlRun::run(arguments); }
    static QJsonObject listed(const QString &mountPath) { return CtlRun::listed(mountPath); }

    QString path(const char *relative) const { return m_env->path(QString::fromUtf8(relative)); }

    Run create(const QString &mount, const QString &size, const QStringList &more = {})
    {
        return ctl(QStringList{QStringLiteral("create"), QStringLiteral("--size"), size,
                               QStringLiteral("--name"), QStringLiteral("Kept"),
                               QStringLiteral("--mount"), mount} +
                   more);
    }

    void setUp()
    {
        m_env = std::make_unique<TestEnvironment>();
        qputenv("XDG_STATE_HOME", path("state").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
        qunsetenv("SUDO_UID");
        qunsetenv("PKEXEC_UID");
    }

    void tearDown()
    {
        qunsetenv("SUDO_UID");
        qunsetenv("SUDO_GID");
        RealDisks::cleanUpUnder(m_env->home());
        // Names that are not UTF-8 are beyond QTemporaryDir: the bytes go first.
        if (RealDisks::mountsUnder(m_env->home()).isEmpty())
            std::filesystem::remove_all(m_env->home().toStdString());
        m_env.reset();
    }
};
