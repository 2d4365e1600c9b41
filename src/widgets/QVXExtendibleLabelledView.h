#pragma once

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QVXExtendibleLabelledView;

// Told before the view opens or closes, before anything moves.
class QVXExtendibleLabelledViewDelegate
{
public:
    virtual ~QVXExtendibleLabelledViewDelegate() = default;
    virtual void extendibleLabelledViewWillOpen(QVXExtendibleLabelledView *view) { Q_UNUSED(view); }
    virtual void extendibleLabelledViewWillClose(QVXExtendibleLabelledView *view)
    {
        Q_UNUSED(view);
    }
};

// gap between the strip's bottom edge and the content's top edge, in pixels
extern const float distanceFromLabel;
extern const bool animateResizeWindow;

// A disclosure strip: while its triangle button is checked, the content view is shown directly
// beneath the strip as a sibling, and the window grows by the content's height plus
// distanceFromLabel; views below the strip move down with the window's bottom edge, views
// above stay. The strip and its siblings are placed without a layout (absolute geometry) in
// the window's central widget.
//
// A sibling whose bottom edge is at or above the strip's bottom edge stays where it is; every
// other sibling moves by the same amount as the window's bottom edge. Closing shrinks the
// window by the offset its opening added, whatever the content's height is by then, and then
// takes the content out: it stays owned by the strip, hidden, and is no sibling any more.
// Opening an open view again only resizes by the difference in the content's height; closing
// a closed one moves nothing. The resize is immediate (animateResizeWindow is not honoured).
class QVXExtendibleLabelledView : public QWidget
{
    Q_OBJECT

public:
    explicit QVXExtendibleLabelledView(QWidget *parent = nullptr);

    QAbstractButton *triangleButton() const;
    void setTriangleButton(QAbstractButton *button); // its toggled/clicked signal calls toggle
    QWidget *contentView() const;
    void setContentView(QWidget *view);
    QVXExtendibleLabelledViewDelegate *delegate() const;
    void setDelegate(QVXExtendibleLabelledViewDelegate *delegate);
    float moveOffset() const;

    // Brings the window into line with the button's state (call once the window is set up).
    void awakeFromNib();
    // Opens when the sender is checked, closes when it is not.
    void toggle(QAbstractButton *sender);

    // Whether the content is shown now (the last toggle opened).
    bool isOpen() const;

private:
    void open();
    void close();
    void reanchorSiblings(int shift);
    void resizeWindow(int shift);
    void updateArrow();

    QPointer<QAbstractButton> m_triangleButton;
    QPointer<QWidget> m_contentView;
    QVXExtendibleLabelledViewDelegate *m_delegate = nullptr;
    QRectF m_originalRect;
    float m_moveOffset = 0.0f;
    bool m_isOpen = false;
};
