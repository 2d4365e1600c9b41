#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Base of the preferences window controller: owns the window, refreshes it with update(), and
// keeps the "open splash at start-up" choice (user-defaults key "QVXOpenSplashAtStartup").
// The base update() looks for two optional buttons in the window: a check box named
// "openSplashAtStartup" (refreshed from, and clicking it stored to, that choice) and a button
// named "resetDontShowAgainChoices" (clicking it makes every silenced alert show again).
class QVXPreferencesCtrl : public QObject
{
    Q_OBJECT

public:
    // Takes ownership of `window` (it may still be empty; subclasses set it up with their .ui).
    // A null window gets an empty one.
    explicit QVXPreferencesCtrl(QWidget *window, QObject *parent = nullptr);
    ~QVXPreferencesCtrl() override;

    QWidget *preferencesWindow() const;
    // Calls update(), then shows the window and brings it to the front.
    void showWindow();
    // Subclasses refresh their own controls, then call the base class's update.
    virtual void update();
    virtual void openSplashAtStartup(bool on);
    static bool splashAtStartup();

private:
    QPointer<QWidget> m_window;
};
