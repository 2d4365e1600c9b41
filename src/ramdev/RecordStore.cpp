#include "RecordStore.h"

#include "Text.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string fileName(int loopNumber)
{
    return "loop" + std::to_string(loopNumber) + ".disk";
}

} // namespace

RecordStore::~RecordStore()
{
    if (m_lock >= 0)
        close(m_lock);
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
    m_lock = openat(m_folder, "lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lock < 0 || flock(m_lock, LOCK_EX) != 0) {
        problem = Text::systemError("cannot lock the record folder " + path, errno);
        return false;
    }
    return true;
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
        uint64_t number = 0;
        if (name.size() > 9 && name.compare(0, 4, "loop") == 0 &&
            name.compare(name.size() - 5, 5, ".disk") == 0 &&
            Text::parseUnsigned(name.substr(4, name.size() - 9), number) && number < 1u << 20) {
            DiskRecord record;
            if (find(int(number), record))
                records.push_back(record);
        }
    }
    closedir(dir);
    return records;
}

bool RecordStore::find(int loopNumber, DiskRecord &record) const
{
    const int fd =
        openat(m_folder, fileName(loopNumber).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string text;
    char buffer[4096];
    ssize_t length = 0;
    while (text.size() < 65536 && (length = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(length));
    close(fd);
    return DiskRecord::parse(text, record) && record.loopNumber == loopNumber;
}

bool RecordStore::save(const DiskRecord &record, std::string &problem)
{
    const std::string name = fileName(record.loopNumber);
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

void RecordStore::remove(int loopNumber)
{
    unlinkat(m_folder, fileName(loopNumber).c_str(), 0);
}
