#include "QVXApp.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QThread>

namespace QVXApp {
namespace {

void runSequence(QVXAppDelegate *delegate)
{
    delegate->QVXAppCanStartToInitialize();
    if (!Settings::hasRunBefore()) {
        delegate->QVXAppIsRunningForTheFirstTime();
        // Recorded once the first-run work is done, so an interrupted first run repeats it.
        Settings::setHasRunBefore();
    }
    delegate->QVXAppEndedToInitialize();
}

} // namespace

void startWithDelegate(QVXAppDelegate *delegate)
{
    if (!delegate)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        // The hooks touch windows: hand them to the main thread and wait for them there.
        QMetaObject::invokeMethod(
            app, [delegate] { runSequence(delegate); }, Qt::BlockingQueuedConnection);
        return;
    }
    runSequence(delegate);
}

} // namespace QVXApp
