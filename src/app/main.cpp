#include "Localization.h"
#include "MainCtrl.h"
#include "Workspace.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QMainWindow>
#include <QTimer>
#include <QUrl>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumar"));
    QApplication::setApplicationVersion(QStringLiteral(VELLUMAR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("vellumar"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vellumar.svg")));
    Localization::install();

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

    MainCtrl::initialize();
    MainCtrl controller;
    QTimer::singleShot(0, &controller, &MainCtrl::applicationDidFinishLaunching);
    return app.exec();
}
