#include "QVXStaticProgressIndicator.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>

QVXStaticProgressIndicator::QVXStaticProgressIndicator(QWidget *parent) : QProgressBar(parent) {}

void QVXStaticProgressIndicator::startAnimation(QObject *sender)
{
    Q_UNUSED(sender);
}

void QVXStaticProgressIndicator::stopAnimation(QObject *sender)
{
    Q_UNUSED(sender);
}

void QVXStaticProgressIndicator::animate(QObject *sender)
{
    Q_UNUSED(sender);
}

void QVXStaticProgressIndicator::setAnimationDelay(double seconds)
{
    Q_UNUSED(seconds);
}

void QVXStaticProgressIndicator::paintEvent(QPaintEvent *event)
{
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    if (option.minimum == 0 && option.maximum == 0) {
        // The style would draw an empty range as a moving busy bar: draw an empty one instead.
        option.minimum = 0;
        option.maximum = 1;
        option.progress = 0;
        option.textVisible = false;
    }
    Q_UNUSED(event);
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_ProgressBar, option);
}
