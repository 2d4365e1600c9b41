#pragma once

// Pieces of the kept-contents window tests.
#include "WindowTestSupport.h"

#include "DiskInventory.h"
#include "DiskKeeper.h"
#include "KeepState.h"
#include "KeptFolder.h"
#include "Localization.h"
#include "MainCtrl.h"
#include "PrefrencesCtrl.h"
#include "RealDisks.h"
#include "RememberedDisks.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStorageInfo>
#include <QTimer>

using namespace TestFiles;

// A small file system of our own for a kept folder that fills up; unmounted however the test
// ends.
struct TinyFileSystem
{
    QString path;
    bool mounted = false;
    explicit TinyFileSystem(const QString &where) : path(where)
    {
        QDir().mkpath(path);
        mounted = run(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=1m"), QStringLiteral("vellumar-test"), path}) == 0;
    }
    ~TinyFileSystem()
    {
        if (mounted)
            run(QStringLiteral("umount"), {path});
    }
};

// The window's form filled for a 64 MiB disk that keeps `folder`.
inline void fillKeptForm(WindowUnderTest &window, const QString &mountPath, const QString &folder)
{
    window.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("64M"));
    window.outlet<QLineEdit>("diskNameField")->setText(QStringLiteral("Kept"));
    window.outlet<QLineEdit>("pathField")->setText(mountPath);
    window.outlet<QCheckBox>("keepCheck")->setChecked(true);
    window.outlet<QLineEdit>("keptFolderField")->setText(folder);
}

inline bool loadedTicked(const WindowUnderTest &window)
{
    return window.text("loadState") == localizedStringForKey(QStringLiteral("tick"));
}
