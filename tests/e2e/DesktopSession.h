#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A private X display for tests that drive the real program as a person would: Xvfb, a small
// window manager, and xdotool for real key presses. Everything it starts ends with it.
class DesktopSession
{
public:
    DesktopSession() = default;
    ~DesktopSession();
    DesktopSession(const DesktopSession &) = delete;
    DesktopSession &operator=(const DesktopSession &) = delete;

    // Starts the display and the window manager; false with the reason when no display server
    // can be started here.
    bool start(QString *whyNot);
    QString display() const { return m_display; }
    // Whether the window manager came up (it gives windows the keyboard and a close button).
    bool hasWindowManager() const { return m_hasWindowManager; }

    // xdotool with the arguments, on this display; its standard output, trimmed.
    QString xdotool(const QStringList &arguments, int *status = nullptr) const;
    // Presses keys as a person would ("ctrl+q", "alt+F4", "Escape").
    void key(const QString &keys) const;
    // Types text into the focused field.
    void type(const QString &text) const;
    // The title of the window that has the keyboard now, empty when none.
    QString activeWindowName() const;
    // Waits until the active window's title starts with `prefix`.
    bool waitForActiveWindow(const QString &prefix, int timeoutMs = 5000) const;
    // Titles of every visible window.
    QStringList visibleWindowNames() const;
    // The whole screen as a PNG.
    bool screenshot(const QString &path) const;

private:
    bool waitForWindowManager(int timeoutMs) const;

    QString m_display;
    bool m_hasWindowManager = false;
    QProcess m_server;
    QProcess m_windowManager;
};
