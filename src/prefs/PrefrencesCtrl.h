#pragma once

#include "QVXPreferencesCtrl.h"

#include <QFileDialog>
#include <QPointer>
#include <QStringList>
#include <memory>

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace Ui {
class Prefrences;
}

// The preferences window: where new disks get their mount folders, how often kept disks are
// saved, and the disks made at login. Each choice goes to the settings (Settings) the moment it
// is made.
class PrefrencesCtrl : public QVXPreferencesCtrl
{
    Q_OBJECT

public:
    // Ids of the two location choices.
    enum { DefaultLocation = 0, ChosenLocation = 1 };

    explicit PrefrencesCtrl(QObject *parent = nullptr);
    ~PrefrencesCtrl() override;

    // Rebuilds the window from the stored value, then lets the base class refresh its part.
    void update() override;
    void openSplashAtStartup(bool on) override;

    QButtonGroup *locationMatrix() const { return m_locationMatrix; }
    // What the location field shows for a stored location.
    static QString shownLocation(const QString &stored);
    QLineEdit *locationField() const;
    QSpinBox *saveEveryMinutesField() const;
    // One row per remembered disk; each row's data (Qt::UserRole) is its mount folder.
    QListWidget *rememberedList() const;
    // The folder chooser while it is open (window-modal, answered through openPanelDidEnd).
    QFileDialog *openPanel() const { return m_openPanel; }

public slots:
    // The action of the location choice: the default is stored at once; the other choice opens
    // the folder chooser and returns.
    void locationAct();
    // Return code 1 with the chosen folders stores the first; anything else goes back to the
    // default location.
    void openPanelDidEnd(int returnCode, const QStringList &filenames);
    // Forgets the remembered disk selected in the list.
    void forgetRemembered();

signals:
    // The user chose another save interval for kept disks (stored already).
    void saveEveryMinutesChanged(int minutes);

private:
    void fillRememberedList();

    std::unique_ptr<Ui::Prefrences> m_ui;
    QButtonGroup *m_locationMatrix = nullptr;
    QPointer<QFileDialog> m_openPanel;
};
