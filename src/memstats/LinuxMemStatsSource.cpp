#include "LinuxMemStatsSource.h"

#include "Paths.h"

#include <QFile>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

struct Wanted
{
    std::string_view name;
    quint64 *value;
    bool found = false;
};

// Fills the wanted values from "name<sep> number ..." lines; the separator is ':' in meminfo
// and ' ' in vmstat.
void parseNamedNumbers(std::string_view text, char separator, Wanted *wanted, size_t count)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos)
            eol = text.size();
        const std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        const size_t sep = line.find(separator);
        if (sep == std::string_view::npos)
            continue;
        const std::string_view name = line.substr(0, sep);
        for (size_t i = 0; i < count; ++i) {
            if (wanted[i].found || wanted[i].name != name)
                continue;
            size_t p = sep + 1;
            while (p < line.size() && line[p] == ' ')
                ++p;
            if (p >= line.size() || line[p] < '0' || line[p] > '9')
                break;
            quint64 v = 0;
            while (p < line.size() && line[p] >= '0' && line[p] <= '9')
                v = v * 10 + static_cast<quint64>(line[p++] - '0');
            *wanted[i].value = v;
            wanted[i].found = true;
            break;
        }
    }
}

// /proc/swaps writes blanks and backslashes in names as octal escapes ("\040").
QString unescapeOctal(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size() && field.at(i + 1) >= '0' &&
            field.at(i + 1) <= '3' && field.at(i + 2) >= '0' && field.at(i + 2) <= '7' &&
            field.at(i + 3) >= '0' && field.at(i + 3) <= '7') {
            out.append(static_cast<char>((field.at(i + 1) - '0') * 64 +
                                         (field.at(i + 2) - '0') * 8 + (field.at(i + 3) - '0')));
            i += 3;
        } else {
            out.append(field.at(i));
        }
    }
    return QFile::decodeName(out);
}

struct SwapArea
{
    QString path;
    bool isFile;
    quint64 sizeKiB;
};

std::optional<std::vector<SwapArea>> readSwapAreas(const QString &swapsPath)
{
    QFile file(swapsPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::vector<SwapArea> areas;
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The first line is the column header.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines.at(i).simplified().split(' ');
        if (fields.size() < 3)
            continue;
        bool ok = false;
        const quint64 size = fields.at(2).toULongLong(&ok);
        if (!ok)
            continue;
        areas.push_back({unescapeOctal(fields.at(0)), fields.at(1) == "file", size});
    }
    return areas;
}

} // namespace

// The file stays open between readings: a read from the start regenerates a /proc file, and
// skipping open and close saves a good part of the cost of a reading.
std::optional<std::string_view> LinuxMemStatsSource::ProcFile::read()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (fd < 0)
            fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        if (buffer.size() < 16384)
            buffer.resize(16384);
        ssize_t n;
        do
            n = ::pread(fd, buffer.data(), buffer.size(), 0);
        while (n < 0 && errno == EINTR);
        // A read that leaves room to spare holds the whole file; a full one may not, so read
        // again with more room.
        if (n >= 0 && size_t(n) < buffer.size())
            return std::string_view(buffer.data(), size_t(n));
        if (n >= 0) {
            buffer.resize(buffer.size() * 2);
            --attempt;
            continue;
        }
        // The file may have been replaced: open it afresh once.
        close();
    }
    return std::nullopt;
}

void LinuxMemStatsSource::ProcFile::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

LinuxMemStatsSource::LinuxMemStatsSource(const QString &procDir, quint64 pageSize)
    : m_meminfo(QFile::encodeName(procDir + QStringLiteral("/meminfo"))),
      m_vmstat(QFile::encodeName(procDir + QStringLiteral("/vmstat"))),
      m_swapsPath(procDir + QStringLiteral("/swaps")),
      m_pageSize(pageSize ? pageSize : static_cast<quint64>(::sysconf(_SC_PAGESIZE)))
{
}

LinuxMemStatsSource::~LinuxMemStatsSource()
{
    m_meminfo.close();
    m_vmstat.close();
}

quint64 LinuxMemStatsSource::totalRAM()
{
    const std::optional<std::string_view> text = m_meminfo.read();
    if (!text)
        return 0;
    quint64 totalKiB = 0;
    Wanted wanted[] = {{"MemTotal", &totalKiB}};
    parseNamedNumbers(*text, ':', wanted, std::size(wanted));
    return wanted[0].found ? totalKiB * 1024 : 0;
}

std::optional<VmCounters> LinuxMemStatsSource::readCounters()
{
    const std::optional<std::string_view> meminfo = m_meminfo.read();
    if (!meminfo)
        return std::nullopt;

    quint64 memFree = 0, active = 0, inactive = 0, inactiveFile = 0;
    quint64 unevictable = 0, sUnreclaim = 0, kernelStack = 0, pageTables = 0;
    Wanted mem[] = {{"MemFree", &memFree},         {"Active", &active},
                    {"Inactive", &inactive},       {"Inactive(file)", &inactiveFile},
                    {"Unevictable", &unevictable}, {"SUnreclaim", &sUnreclaim},
                    {"KernelStack", &kernelStack}, {"PageTables", &pageTables}};
    parseNamedNumbers(*meminfo, ':', mem, std::size(mem));
    // The first four are needed for the sizes; the wired parts may be missing on older kernels.
    for (size_t i = 0; i < 4; ++i) {
        if (!mem[i].found)
            return std::nullopt;
    }

    const std::optional<std::string_view> vmstat = m_vmstat.read();
    if (!vmstat)
        return std::nullopt;
    quint64 pgpgin = 0, pgpgout = 0, pgfault = 0, pgmajfault = 0;
    Wanted vm[] = {{"pgpgin", &pgpgin},
                   {"pgpgout", &pgpgout},
                   {"pgfault", &pgfault},
                   {"pgmajfault", &pgmajfault}};
    parseNamedNumbers(*vmstat, ' ', vm, std::size(vm));
    for (size_t i = 0; i < 3; ++i) {
        if (!vm[i].found)
            return std::nullopt;
    }

    const auto pagesFromKiB = [this](quint64 kib) { return kib * 1024 / m_pageSize; };
    VmCounters c;
    c.pageSize = m_pageSize;
    c.freeCount = pagesFromKiB(memFree);
    c.inactiveCount = pagesFromKiB(inactiveFile);
    c.activeCount = pagesFromKiB(active + inactive - qMin(inactive, inactiveFile));
    c.wireCount = pagesFromKiB(unevictable + sUnreclaim + kernelStack + pageTables);
    c.pageins = pagesFromKiB(pgpgin);
    c.pageouts = pagesFromKiB(pgpgout);
    c.faults = pgfault;
    c.lookups = pgfault;
    c.hits = pgfault - qMin(pgfault, pgmajfault);
    c.cowFaults = 0;
    c.counterBits = 64;
    return c;
}

SwapLocation LinuxMemStatsSource::locateSwap()
{
    const auto areas = readSwapAreas(m_swapsPath);
    if (areas) {
        for (const SwapArea &area : *areas) {
            if (!area.isFile)
                continue;
            return {Paths::deletingLastPathComponent(area.path),
                    area.path.section(QLatin1Char('/'), -1)};
        }
    }
    return {m_swapsPath, QString()};
}

SwapUsage LinuxMemStatsSource::measureSwap(const SwapLocation &)
{
    SwapUsage usage;
    const auto areas = readSwapAreas(m_swapsPath);
    if (!areas)
        return usage;
    for (const SwapArea &area : *areas) {
        usage.count += 1;
        usage.bytes += static_cast<double>(area.sizeKiB) * 1024.0;
    }
    return usage;
}
