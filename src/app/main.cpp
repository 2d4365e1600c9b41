#include "DiskFollower.h"
#include "Localization.h"
#include "MainCtrl.h"
#include "SignalQuit.h"
#include "SingleInstance.h"
#include "SystemLog.h"
#include "TrayMenu.h"
#include "Workspace.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

namespace {

// Qt's own texts (file dialog, standard buttons, shortcut names) in the language of ours.
void installQtTranslations(const QString &language, QTranslator &translator)
{
    if (translator.load(QStringLiteral("qtbase_") + language,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

void installWorkspace()
{
    Workspace &workspace = Workspace::shared();
    workspace.setFolderOpener(
        [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
    workspace.setActivator([] {
        QWidget *front = QApplication::activeWindow();
        if (!front) {
            const QWidgetList windows = QApplication::topLevelWidgets();
            for (QWidget *window : windows) {
                if (window->isVisible() && qobject_cast<QMainWindow *>(window)) {
                    front = window;
                    break;
                }
            }
        }
        if (front) {
            front->raise();
            front->activateWindow();
        }
    });
}

// Whether this process goes on as the running program; a later one hands over and ends.
bool becomesTheRunningProgram(SingleInstance &instance, int &exitCode)
{
    switch (instance.start()) {
    case SingleInstance::Start::First:
        return true;
    case SingleInstance::Start::HandedOver:
        exitCode = 0;
        return false;
    case SingleInstance::Start::NoAnswer: {
        QMessageBox box(QMessageBox::Warning,
                        localizedStringForKey(QStringLiteral("AlreadyRunningTitle")),
                        localizedStringForKey(QStringLiteral("AlreadyRunningNoAnswer"))
                            .arg(SingleInstance::AnswerLimitMs / 1000),
                        QMessageBox::Ok);
        box.setObjectName(QStringLiteral("alreadyRunningBox"));
        box.exec();
        exitCode = 1;
        return false;
    }
    case SingleInstance::Start::Alone:
        break;
    }
    SystemLog::log(QStringLiteral("Warning: a second start cannot hand over to this one: %1")
                       .arg(instance.problem()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumar"));
    QApplication::setApplicationVersion(QStringLiteral(VELLUMAR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("vellumar"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vellumar.svg")));
    const QString language = Localization::install();
    QTranslator qtTranslator;
    installQtTranslations(language, qtTranslator);
    installWorkspace();

    SingleInstance instance;
    int exitCode = 0;
    if (!becomesTheRunningProgram(instance, exitCode))
        return exitCode;

    MainCtrl::initialize();
    MainCtrl controller;
    SignalQuit signalQuit;
    QObject::connect(&signalQuit, &SignalQuit::quitRequested, &controller,
                     &MainCtrl::quitLeavingDisks);
    QObject::connect(&instance, &SingleInstance::newWindowRequested, &controller,
                     &MainCtrl::newRamDisk);
    DiskFollower follower(&controller);
    TrayMenu tray(&controller);
    QObject::connect(&follower, &DiskFollower::disksChanged, &tray, &TrayMenu::scheduleRefresh);
    // --new-disk (the desktop entry's "New RAM Disk"): a form besides the windows of mounted disks.
    const bool newDisk = QApplication::arguments().contains(QStringLiteral("--new-disk"));
    QTimer::singleShot(0, &controller, [&controller, newDisk] {
        controller.applicationDidFinishLaunching();
        const QList<CreateWindowCtrl *> windows = controller.listOfRamDisks();
        if (newDisk && !windows.isEmpty() && windows.first()->disk())
            controller.newRamDisk();
    });
    return app.exec();
}
