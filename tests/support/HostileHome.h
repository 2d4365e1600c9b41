#pragma once

#include <QString>
#include <QStringList>

// A home folder that invites mistakes, for the bad-input tests: a folder holding the user's
// notes ("full"), a plain file ("plain"), a tmpfs mounted on "mounted" with a file on it, and
// a link to /etc ("etc-link"). Made as root (the tmpfs); unmounted again when it goes.
class HostileHome
{
public:
    explicit HostileHome(const QString &home);
    ~HostileHome();
    HostileHome(const HostileHome &) = delete;
    HostileHome &operator=(const HostileHome &) = delete;

    // Empty when all was made.
    QString problem() const { return m_problem; }
    // What of the user's is no longer as it was; empty when all is intact and nothing but the
    // fixture's tmpfs is mounted below the home folder.
    QStringList damage() const;

private:
    QString path(const QString &relative) const;

    QString m_home;
    QString m_problem;
    bool m_mounted = false;
};
