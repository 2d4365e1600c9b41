#include "DiskRecords.h"

#include "DiskMemoryUse.h"
#include "RamDisk.h"
#include "ToolTable.h"

#include <QStringList>

namespace DiskRecords {
namespace {

// The tool writes bytes outside a small safe set as %XX.
QString unescape(const QString &field)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field.toLatin1()));
}

} // namespace

bool parseLine(const QString &line, DiskRecordInfo &record)
{
    // device, id, owner, KiB, mounted, folder made, folder, label; then kind, memory held (KiB)
    // and data before compression (KiB), -1 where not known
    const QStringList fields = line.split(QLatin1Char('\t'));
    if ((fields.size() != 8 && fields.size() != 11) || fields.at(0).isEmpty())
        return false;
    if (fields.size() == 11) {
        bool heldOk = false;
        bool dataOk = false;
        if (!DiskKinds::parse(fields.at(8), record.kind))
            return false;
        DiskMemoryUse use;
        use.heldKiB = fields.at(9).toLongLong(&heldOk);
        use.dataKiB = fields.at(10).toLongLong(&dataOk);
        if (!heldOk || !dataOk)
            return false;
        record.memoryUsedKiB = use.heldKiB;
        record.compressionRatio = use.ratio();
    }
    bool ownerOk = false;
    bool sizeOk = false;
    record.device = fields.at(0);
    record.diskId = fields.at(1);
    record.ownerUid = fields.at(2).toUInt(&ownerOk);
    record.sizeKiB = fields.at(3).toLongLong(&sizeOk);
    record.mounted = fields.at(4) == QStringLiteral("1");
    record.madeMountFolder = fields.at(5) == QStringLiteral("1");
    record.mountPath = unescape(fields.at(6));
    record.label = unescape(fields.at(7));
    return ownerOk && sizeOk;
}

QList<DiskRecordInfo> list(QString *problem)
{
    QList<DiskRecordInfo> records;
    const std::shared_ptr<const ToolTable> table = RamDisk::toolTable();
    if (table->list.launchPath.isEmpty())
        return records;
    const CommandResult run =
        RamDisk::runTool(table->list.launchPath, table->list.arguments(DiskFields{}));
    if (!run.succeeded()) {
        if (problem)
            *problem = run.failureMessage(table->list.launchPath);
        return records;
    }
    const QStringList lines = run.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        DiskRecordInfo record;
        if (parseLine(line, record))
            records << record;
    }
    return records;
}

} // namespace DiskRecords
