#include "QVXPreferencesCtrl.h"

#include "QVXAlerts.h"
#include "Settings.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QShortcut>
#include <QSignalBlocker>

QVXPreferencesCtrl::QVXPreferencesCtrl(QWidget *window, QObject *parent)
    : QObject(parent), m_window(window ? window : new QWidget)
{
    // A preferences window closes as a dialog does: Esc or Ctrl+W.
    for (const QKeySequence &keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto *shortcut = new QShortcut(keys, m_window);
        QObject::connect(shortcut, &QShortcut::activated, m_window, &QWidget::close);
    }
}

QVXPreferencesCtrl::~QVXPreferencesCtrl()
{
    delete m_window.data();
}

QWidget *QVXPreferencesCtrl::preferencesWindow() const
{
    return m_window.data();
}

void QVXPreferencesCtrl::showWindow()
{
    if (!m_window)
        return;
    update();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void QVXPreferencesCtrl::update()
{
    if (!m_window)
        return;
    // The window's own controls, when its .ui has them: wired once, refreshed every time.
    if (auto *splash =
            m_window->findChild<QAbstractButton *>(QStringLiteral("openSplashAtStartup"))) {
        if (!splash->property("qvxWired").toBool()) {
            splash->setCheckable(true);
            connect(splash, &QAbstractButton::clicked, this,
                    [this](bool checked) { openSplashAtStartup(checked); });
            splash->setProperty("qvxWired", true);
        }
        const QSignalBlocker quiet(splash);
        splash->setChecked(splashAtStartup());
    }
    if (auto *reset =
            m_window->findChild<QAbstractButton *>(QStringLiteral("resetDontShowAgainChoices"))) {
        if (!reset->property("qvxWired").toBool()) {
            connect(reset, &QAbstractButton::clicked, this, [] { QVXResetDontShowAgainChoices(); });
            reset->setProperty("qvxWired", true);
        }
    }
}

void QVXPreferencesCtrl::openSplashAtStartup(bool on)
{
    Settings::setOpenSplashAtStartup(on);
}

bool QVXPreferencesCtrl::splashAtStartup()
{
    return Settings::openSplashAtStartup();
}
