#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (the session ending, a kill) into a signal on the main
// thread, where no alert can be answered: the application then ends as after "Quit".
class SignalQuit : public QObject
{
    Q_OBJECT

public:
    explicit SignalQuit(QObject *parent = nullptr);
    ~SignalQuit() override;

signals:
    void quitRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
