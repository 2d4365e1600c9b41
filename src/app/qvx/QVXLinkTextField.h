#pragma once

#include <QLabel>
#include <QUrl>

// A text field that carries a link. While the pointing-hand cursor is on, the field shows that
// cursor and a click opens the URL through the workspace (a folder in the file manager); while
// it is off, the field is plain text. Long texts wrap; the text can be selected and copied.
class QVXLinkTextField : public QLabel
{
    Q_OBJECT

public:
    explicit QVXLinkTextField(QWidget *parent = nullptr);

    void setStringValue(const QString &text);
    QString stringValue() const;
    void setURL(const QUrl &url);
    QUrl URL() const;
    void setUsePointHandCursor(bool on);
    bool usePointHandCursor() const;

signals:
    // Emitted when a click opened (or asked the workspace to open) the link.
    void linkActivated(const QUrl &url);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QUrl m_url;
    bool m_usePointHandCursor = false;
};
