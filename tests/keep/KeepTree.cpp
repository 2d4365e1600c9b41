#include "KeepTree.h"

#include <QCryptographicHash>
#include <QFile>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool leftOut(const std::string &relative)
{
    for (const char *skipped : {"lost+found", ".vellumar-temp", ".vellumar-saving"}) {
        const std::string name(skipped);
        if (relative == name || relative.starts_with(name + "/") ||
            relative.find("/" + name) != std::string::npos)
            return true;
    }
    return false;
}

std::string userXattrs(const std::string &path)
{
    char names[4096];
    const ssize_t length = llistxattr(path.c_str(), names, sizeof names);
    std::string all;
    for (ssize_t at = 0; at < length; at += ssize_t(strlen(names + at)) + 1) {
        const std::string name(names + at);
        if (!name.starts_with("user."))
            continue;
        char value[1024];
        const ssize_t size = lgetxattr(path.c_str(), name.c_str(), value, sizeof value);
        all += name + "=" + std::string(value, size > 0 ? size_t(size) : 0) + ";";
    }
    return all;
}

QByteArray digestOf(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    // QFile needs a QString; go through the descriptor to keep the bytes of the name.
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "unreadable";
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result().toHex();
}

void setXattr(const std::string &path, const char *name, const std::string &value)
{
    lsetxattr(path.c_str(), name, value.data(), value.size(), 0);
}

QString describe(const KeepTree::Entry &entry)
{
    return QStringLiteral(" [%1 %2 size %3 links %4 mtime %5 xattrs %6]")
        .arg(QChar::fromLatin1(entry.type))
        .arg(entry.mode, 0, 8)
        .arg(entry.size)
        .arg(entry.links)
        .arg(entry.mtimeNs)
        .arg(QString::fromStdString(entry.xattrs));
}

} // namespace

namespace KeepTree {

Snapshot snapshot(const std::string &root, bool withTimes)
{
    Snapshot entries;
    for (auto item = fs::recursive_directory_iterator(root);
         item != fs::recursive_directory_iterator(); ++item) {
        const std::string path = item->path().string();
        const std::string relative = item->path().lexically_relative(root).string();
        if (leftOut(relative)) {
            // Not looked into either: a disk's lost+found is root's alone.
            if (item->is_directory())
                item.disable_recursion_pending();
            continue;
        }
        struct stat info
        {
        };
        if (lstat(path.c_str(), &info) != 0)
            continue;
        Entry entry;
        entry.mode = info.st_mode & 07777;
        entry.xattrs = userXattrs(path);
        if (S_ISLNK(info.st_mode)) {
            entry.type = 'l';
            entry.target = fs::read_symlink(item->path()).string();
        } else if (S_ISDIR(info.st_mode)) {
            entry.type = 'd';
        } else {
            entry.type = 'f';
            entry.size = info.st_size;
            entry.links = info.st_nlink;
            entry.digest = digestOf(path);
        }
        if (entry.type != 'd' || withTimes)
            entry.mtimeNs = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        entries.insert(relative, entry);
    }
    return entries;
}

QString differences(const Snapshot &expected, const Snapshot &actual)
{
    QStringList lines;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (!actual.contains(it.key()))
            lines << QStringLiteral("missing: ") + QString::fromStdString(it.key());
        else if (!(actual.value(it.key()) == it.value()))
            lines << QStringLiteral("differs: ") + QString::fromStdString(it.key()) +
                         describe(it.value()) + QStringLiteral(" now") +
                         describe(actual.value(it.key()));
    }
    for (auto it = actual.begin(); it != actual.end(); ++it) {
        if (!expected.contains(it.key()))
            lines << QStringLiteral("extra: ") + QString::fromStdString(it.key());
    }
    return lines.mid(0, 20).join(QLatin1Char('\n'));
}

void writeFile(const std::string &path, const QByteArray &contents)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    ssize_t written = 0;
    while (written < contents.size()) {
        const ssize_t now = ::write(fd, contents.constData() + written, contents.size() - written);
        if (now <= 0)
            break;
        written += now;
    }
    ::close(fd);
}

void build(const std::string &root, int files)
{
    static const char *const odd[] = {
        "with space",      "line\nbreak",   "bytes \xff\xfe not utf-8",
        "umlaut \xc3\xbc", "-leading dash", "star*question?"};
    fs::create_directories(root);
    for (int i = 0; i < files; ++i) {
        const std::string folder = root + "/" + odd[i % 6] + " " + std::to_string(i % 7) + "/" +
                                   "level " + std::to_string(i % 5);
        fs::create_directories(folder);
        const std::string file = folder + "/" + odd[(i / 7) % 6] + " " + std::to_string(i);
        writeFile(file, QByteArray(i % 97 * 13 + (i % 500 == 0 ? 300000 : 0), char('a' + i % 26)));
        chmod(file.c_str(), i % 3 == 0 ? 0600 : i % 3 == 1 ? 0755 : 0444);
        if (i % 50 == 0)
            setXattr(file, "user.kept", "note " + std::to_string(i));
    }
    fs::create_symlink("with space 0", root + "/relative link");
    fs::create_symlink("/nowhere/at/all", root + "/dangling link");
    writeFile(root + "/hard one", "shared contents");
    fs::create_hard_link(root + "/hard one", root + "/hard two");
    fs::create_directories(root + "/private");
    chmod((root + "/private").c_str(), 0700);
    setXattr(root + "/private", "user.folder", "yes");
}

} // namespace KeepTree
