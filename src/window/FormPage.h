#pragma once

#include "DiskRequest.h"

#include <QWidget>
#include <memory>

namespace Ui {
class FormPage;
}

// The window's "CREATE" page: the form of a new disk (size and its presets, kind, name, mount
// path, kept contents, made at login). It reads what was typed into a request; the rules are
// the session's.
class FormPage : public QWidget
{
    Q_OBJECT

public:
    explicit FormPage(QWidget *parent = nullptr);
    ~FormPage() override;

    // What the form asks for; an empty mount path is filled with the proposed one first.
    DiskRequest request();
    QString defaultMountPath() const { return m_defaultMountPath; }
    // Proposes a fresh mount folder.
    void resetMountPath();
    // A preset sets the size and the name; "free entry" only the name.
    void setDiskFormat();
    // The user typed a size: back to free entry, and the preview follows.
    void controlTextDidChange();
    // The create button waits while a kept folder is measured.
    void setBusy(bool busy);
    void focusSize();
    // The key of the alert title for a refused request, by the fact that refused it.
    static QString refusalTitle(const Refusal &refusal);

signals:
    void createRequested();

private:
    void showSizePreview();
    void showKindHint();
    void updateDefaultKeptFolder();
    void showKeepFields();
    void chooseKeptFolder();

    std::unique_ptr<Ui::FormPage> m_ui;
    QString m_defaultMountPath;
    bool m_keptFolderIsDefault = true; // the kept folder follows the disk's name
};
