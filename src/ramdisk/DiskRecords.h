#pragma once

#include "DiskKind.h"

#include <QList>
#include <QString>

// The disks the memory tool keeps records of: the caller's own (root: everyone's).
struct DiskRecordInfo
{
    QString device;
    QString diskId;
    uint ownerUid = 0;
    qint64 sizeKiB = 0;
    bool mounted = false;
    bool madeMountFolder = false;
    QString mountPath; // where it was mounted (empty when never)
    QString label;
    DiskKind kind = DiskKind::Block;
    // What the disk holds in memory now, in KiB (-1: not known), and for a compressed disk how
    // many times its data is larger than that memory (0: not known).
    qint64 memoryUsedKiB = -1;
    double compressionRatio = 0;
};

namespace DiskRecords {

// Asks the tool table's list row; `problem` says why when the answer could not be had.
QList<DiskRecordInfo> list(QString *problem = nullptr);
// One line of the list answer; false when it is not one.
bool parseLine(const QString &line, DiskRecordInfo &record);

} // namespace DiskRecords
