#include "MemoryPanel.h"

#include "DiskSize.h"
#include "ui_MemoryPanel.h"

MemoryPanel::MemoryPanel(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::MemoryPanel>())
{
    m_ui->setupUi(this);
}

MemoryPanel::~MemoryPanel() = default;

QString MemoryPanel::megabytes(qint64 value)
{
    // Given in whole MiB, written as every size is.
    return DiskSize::describe(value * 1024);
}

qint64 MemoryPanel::size(const std::optional<QVariantMap> &stats, const char *key)
{
    return stats ? qint64(stats->value(QLatin1String(key)).toDouble()) : 0;
}

void MemoryPanel::showFigures(const std::optional<QVariantMap> &stats)
{
    const auto count = [&stats](const char *key) -> qint64 {
        return stats ? stats->value(QLatin1String(key)).toLongLong() : 0;
    };
    m_ui->totalMemoryField->setText(megabytes(size(stats, "total")));
    m_ui->usedMemoryField->setText(megabytes(size(stats, "used")));
    m_ui->wiredMemoryField->setText(megabytes(size(stats, "wire")));
    m_ui->inactiveMemoryField->setText(megabytes(size(stats, "inactive")));
    m_ui->freeMemoryField->setText(megabytes(size(stats, "free")));
    m_ui->freePageField->setText(megabytes(size(stats, "freepage")));
    m_ui->pageinsField->setText(QString::number(count("pageins")));
    m_ui->pageoutsField->setText(QString::number(count("pageouts")));
    m_ui->hitsField->setText(QString::number(count("hits")));
    m_ui->faultsField->setText(QString::number(count("faults")));
}
