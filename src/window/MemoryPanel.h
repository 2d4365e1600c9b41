#pragma once

#include <QVariantMap>
#include <QWidget>
#include <memory>
#include <optional>

namespace Ui {
class MemoryPanel;
}

// The window's memory details, under the disclosure: sizes in MB and the paging counters.
class MemoryPanel : public QWidget
{
    Q_OBJECT

public:
    explicit MemoryPanel(QWidget *parent = nullptr);
    ~MemoryPanel() override;

    // One reading of the statistics; a missing reading shows as 0 everywhere.
    void showFigures(const std::optional<QVariantMap> &stats);
    // "12 MB": sizes are truncated toward zero.
    static QString megabytes(qint64 value);
    static qint64 size(const std::optional<QVariantMap> &stats, const char *key);

private:
    std::unique_ptr<Ui::MemoryPanel> m_ui;
};
