#include "RecordStore.h"

#include "Text.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

RecordStore::~RecordStore()
{
    unlock();
    if (m_folder >= 0)
        close(m_folder);
}

std::string RecordStore::folder()
{
    return "/run/vellumar-ramdev";
}

bool RecordStore::open(std::string &problem)
{
    const std::string path = folder();
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = Text::systemError("cannot make the record folder " + path, errno);
        return false;
    }
    m_folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info
    {
    };
    if (m_folder < 0 || fstat(m_folder, &info) != 0 || info.st_uid != 0 ||
        (info.st_mode & 077) != 0) {
        problem = "the record folder " + path + " is not root's alone; remove it and try again";
        return false;
    }
    return true;
}

bool RecordStore::lock(unsigned seconds, std::string &problem)
{
    m_lock = openat(m_folder, "lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lock < 0) {
        problem = Text::systemError("cannot lock the record folder " + folder(), errno);
        return false;
    }
    // Polled, so a holder that never lets go costs the others a message, not their request.
    const timespec pause{0, 5 * 1000 * 1000};
    for (unsigned tries = 0; tries < seconds * 200; ++tries) {
        if (flock(m_lock, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        nanosleep(&pause, nullptr);
    }
    problem = "another request for a memory disk has been in progress for " +
              std::to_string(seconds) + " s; try again in a moment";
    unlock();
    return false;
}

void RecordStore::unlock()
{
    if (m_lock >= 0)
        close(m_lock);
    m_lock = -1;
}

std::vector<DiskRecord> RecordStore::all() const
{
    std::vector<DiskRecord> records;
    const int copy = dup(m_folder);
    DIR *dir = copy >= 0 ? fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            close(copy);
        return records;
    }
    rewinddir(dir);
    while (const dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        DiskRecord record;
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".disk") == 0 && read(name, record))
            records.push_back(record);
    }
    closedir(dir);
    return records;
}

bool RecordStore::read(const std::string &name, DiskRecord &record) const
{
    const int fd = openat(m_folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string text;
    char buffer[4096];
    ssize_t length = 0;
    while (text.size() < 65536 && (length = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(length));
    close(fd);
    return DiskRecord::parse(text, record) && record.fileName() == name;
}

bool RecordStore::find(const DiskRecord &key, DiskRecord &record) const
{
    return read(key.fileName(), record);
}

bool RecordStore::save(const DiskRecord &record, std::string &problem)
{
    const std::string name = record.fileName();
    const std::string temporary = name + ".new";
    unlinkat(m_folder, temporary.c_str(), 0);
    const int fd = openat(m_folder, temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        problem = Text::systemError("cannot write the disk's record", errno);
        return false;
    }
    const std::string text = record.serialize();
    const bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
    const bool closed = close(fd) == 0;
    if (!written || !closed || renameat(m_folder, temporary.c_str(), m_folder, name.c_str()) != 0) {
        problem = Text::systemError("cannot write the disk's record", errno);
        unlinkat(m_folder, temporary.c_str(), 0);
        return false;
    }
    return true;
}

void RecordStore::remove(const DiskRecord &record)
{
    unlinkat(m_folder, record.fileName().c_str(), 0);
}
