#include "KeepState.h"

#include "UserFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString mountKey = QStringLiteral("mountPath");
const QString keptKey = QStringLiteral("keptFolder");
const QString savedKey = QStringLiteral("lastCompleteSave");
const QString nameKey = QStringLiteral("name");

std::optional<KeepState> fromFile(const QString &path, const QString &mountPath)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    // A digest shared by two paths would name another disk's file.
    if ((!mountPath.isNull() && object.value(mountKey).toString() != QDir::cleanPath(mountPath)) ||
        object.value(mountKey).toString().isEmpty() || object.value(keptKey).toString().isEmpty())
        return std::nullopt;
    KeepState state(object.value(mountKey).toString(), object.value(keptKey).toString());
    state.setDiskName(object.value(nameKey).toString());
    state.setLastSave(QDateTime::fromString(object.value(savedKey).toString(), Qt::ISODate));
    return state;
}

bool writeWhole(const QString &path, const QByteArray &data)
{
    if (!UserFolders::makePath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return false;
    UserFolders::giveToUser(path);
    return true;
}

} // namespace

KeepState::KeepState(const QString &mountPath, const QString &keptFolder)
    : m_mountPath(QDir::cleanPath(mountPath)), m_keptFolder(QDir::cleanPath(keptFolder))
{
}

QString KeepState::folder()
{
    return UserFolders::stateHome() + QStringLiteral("/vellumar");
}

QString KeepState::fileFor(const QString &kind, const QString &path)
{
    // Paths can be longer than a file name may be: the file is named by a digest of the path.
    const QByteArray digest =
        QCryptographicHash::hash(QDir::cleanPath(path).toUtf8(), QCryptographicHash::Sha1);
    return folder() + QLatin1Char('/') + kind + QLatin1Char('/') +
           QString::fromLatin1(digest.toHex()) + QStringLiteral(".json");
}

std::optional<KeepState> KeepState::forDisk(const QString &mountPath)
{
    return fromFile(fileFor(QStringLiteral("disks"), mountPath), QDir::cleanPath(mountPath));
}

QList<KeepState> KeepState::all()
{
    QList<KeepState> states;
    const QDir disks(folder() + QStringLiteral("/disks"));
    const QStringList files = disks.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString &name : files)
        if (const std::optional<KeepState> state = fromFile(disks.filePath(name), QString()))
            states << *state;
    return states;
}

void KeepState::forget(const QString &mountPath)
{
    QFile::remove(fileFor(QStringLiteral("disks"), mountPath));
}

bool KeepState::store() const
{
    QJsonObject object{{mountKey, m_mountPath}, {keptKey, m_keptFolder}};
    if (!m_diskName.isEmpty())
        object.insert(nameKey, m_diskName);
    if (m_lastSave.isValid())
        object.insert(savedKey, m_lastSave.toUTC().toString(Qt::ISODate));
    return writeWhole(fileFor(QStringLiteral("disks"), m_mountPath),
                      QJsonDocument(object).toJson());
}

void KeepState::markSaving(const QString &keptFolder, bool saving)
{
    const QString marker = fileFor(QStringLiteral("saving"), keptFolder);
    if (saving)
        writeWhole(marker, QJsonDocument(QJsonObject{{keptKey, keptFolder}}).toJson());
    else
        QFile::remove(marker);
}

bool KeepState::wasInterrupted(const QString &keptFolder)
{
    return QFile::exists(fileFor(QStringLiteral("saving"), keptFolder));
}
