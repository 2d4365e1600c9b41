#include "Localization.h"
#include "MainCtrl.h"
#include "SignalQuit.h"
#include "Workspace.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QLibraryInfo>
#include <QMainWindow>
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

    MainCtrl::initialize();
    MainCtrl controller;
    SignalQuit signalQuit;
    QObject::connect(&signalQuit, &SignalQuit::quitRequested, &controller,
                     &MainCtrl::quitLeavingDisks);
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
