#include "QVXExtendibleLabelledView.h"

#include "Localization.h"

#include <QAbstractButton>
#include <QToolButton>

const float distanceFromLabel = 2.0f;
const bool animateResizeWindow = true;

QVXExtendibleLabelledView::QVXExtendibleLabelledView(QWidget *parent) : QWidget(parent) {}

QAbstractButton *QVXExtendibleLabelledView::triangleButton() const
{
    return m_triangleButton.data();
}

void QVXExtendibleLabelledView::setTriangleButton(QAbstractButton *button)
{
    if (m_triangleButton)
        disconnect(m_triangleButton, nullptr, this, nullptr);
    m_triangleButton = button;
    if (!button)
        return;
    button->setCheckable(true);
    if (button->toolTip().isEmpty())
        button->setToolTip(localizedStringForKey(QStringLiteral("ShowDisclosedView")));
    connect(button, &QAbstractButton::toggled, this, [this, button] { toggle(button); });
    updateArrow();
}

QWidget *QVXExtendibleLabelledView::contentView() const
{
    return m_contentView.data();
}

void QVXExtendibleLabelledView::setContentView(QWidget *view)
{
    m_contentView = view;
}

QVXExtendibleLabelledViewDelegate *QVXExtendibleLabelledView::delegate() const
{
    return m_delegate;
}

void QVXExtendibleLabelledView::setDelegate(QVXExtendibleLabelledViewDelegate *delegate)
{
    m_delegate = delegate;
}

float QVXExtendibleLabelledView::moveOffset() const
{
    return m_moveOffset;
}

bool QVXExtendibleLabelledView::isOpen() const
{
    return m_isOpen;
}

void QVXExtendibleLabelledView::awakeFromNib()
{
    toggle(m_triangleButton);
}

void QVXExtendibleLabelledView::toggle(QAbstractButton *sender)
{
    if (sender && sender->isChecked())
        open();
    else
        close();
    updateArrow();
}

void QVXExtendibleLabelledView::open()
{
    if (m_delegate)
        m_delegate->extendibleLabelledViewWillOpen(this);
    QWidget *container = parentWidget();
    if (!m_contentView || !container)
        return;
    if (m_contentView->parentWidget() != container)
        m_contentView->setParent(container);

    const QRect strip = geometry();
    const QRect content = m_contentView->geometry();
    // An open view opened again only makes up the difference in the content's height.
    const float alreadyAdded = m_isOpen ? m_moveOffset : 0.0f;
    m_moveOffset = float(content.height()) + distanceFromLabel;
    m_contentView->setGeometry(strip.x(), strip.y() + strip.height() + qRound(distanceFromLabel),
                               content.width(), content.height());
    const int shift = qRound(m_moveOffset - alreadyAdded);
    reanchorSiblings(shift);
    resizeWindow(shift);
    m_contentView->show();
    m_isOpen = true;
}

void QVXExtendibleLabelledView::close()
{
    if (m_delegate)
        m_delegate->extendibleLabelledViewWillClose(this);
    // The offset of the last opening, not the content's present height; nothing when closed.
    const int shift = m_isOpen ? -qRound(m_moveOffset) : 0;
    if (parentWidget()) {
        reanchorSiblings(shift);
        resizeWindow(shift);
    }
    if (m_contentView) {
        m_contentView->hide();
        if (m_contentView->parentWidget() != this)
            m_contentView->setParent(this);
    }
    m_isOpen = false;
}

void QVXExtendibleLabelledView::reanchorSiblings(int shift)
{
    QWidget *container = parentWidget();
    if (!container || shift == 0)
        return;
    const int stripBottom = y() + height();
    const QObjectList children = container->children();
    for (QObject *child : children) {
        auto *sibling = qobject_cast<QWidget *>(child);
        if (!sibling || sibling->isWindow() || sibling == m_contentView)
            continue;
        // Level with the strip or above it: keeps its distance to the top of the window.
        if (sibling->y() + sibling->height() <= stripBottom)
            continue;
        sibling->move(sibling->x(), sibling->y() + shift);
    }
}

void QVXExtendibleLabelledView::resizeWindow(int shift)
{
    QWidget *frame = window();
    if (frame == this || shift == 0)
        return;
    const int newHeight = frame->height() + shift;
    if (frame->minimumHeight() == frame->maximumHeight()) {
        frame->setFixedHeight(newHeight);
        return;
    }
    if (newHeight < frame->minimumHeight())
        frame->setMinimumHeight(newHeight);
    if (newHeight > frame->maximumHeight())
        frame->setMaximumHeight(newHeight);
    frame->resize(frame->width(), newHeight);
}

void QVXExtendibleLabelledView::updateArrow()
{
    auto *tool = qobject_cast<QToolButton *>(m_triangleButton.data());
    if (tool && tool->arrowType() != Qt::NoArrow)
        tool->setArrowType(tool->isChecked() ? Qt::DownArrow : Qt::RightArrow);
}
