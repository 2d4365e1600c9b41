#include "QVXLinkTextField.h"

#include "Workspace.h"

#include <QMouseEvent>

QVXLinkTextField::QVXLinkTextField(QWidget *parent) : QLabel(parent)
{
    // Never rich text: a path or a tool's message is shown as it is.
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setUsePointHandCursor(false);
}

void QVXLinkTextField::setStringValue(const QString &text)
{
    setText(text);
}

QString QVXLinkTextField::stringValue() const
{
    return text();
}

void QVXLinkTextField::setURL(const QUrl &url)
{
    m_url = url;
    setToolTip(m_usePointHandCursor ? m_url.toDisplayString(QUrl::PreferLocalFile) : QString());
}

QUrl QVXLinkTextField::URL() const
{
    return m_url;
}

void QVXLinkTextField::setUsePointHandCursor(bool on)
{
    m_usePointHandCursor = on;
    setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QPalette look = palette();
    const QPalette base = parentWidget() ? parentWidget()->palette() : QPalette();
    look.setColor(QPalette::WindowText,
                  on ? base.color(QPalette::Link) : base.color(QPalette::WindowText));
    setPalette(look);
    QFont shown = font();
    shown.setUnderline(on);
    setFont(shown);
    setToolTip(on ? m_url.toDisplayString(QUrl::PreferLocalFile) : QString());
}

bool QVXLinkTextField::usePointHandCursor() const
{
    return m_usePointHandCursor;
}

void QVXLinkTextField::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (!m_usePointHandCursor || event->button() != Qt::LeftButton || m_url.isEmpty() ||
        !rect().contains(event->position().toPoint()))
        return;
    Workspace::shared().openFolder(m_url.isLocalFile() ? m_url.toLocalFile() : m_url.toString());
    emit linkActivated(m_url);
}
