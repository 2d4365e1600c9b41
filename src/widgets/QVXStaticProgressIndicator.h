#pragma once

#include <QProgressBar>

// A progress bar that never animates: it shows only its value. Starting, stopping or stepping
// an animation does nothing, and an empty range (maximum 0) draws an empty, still bar instead
// of a busy indicator.
class QVXStaticProgressIndicator : public QProgressBar
{
    Q_OBJECT

public:
    explicit QVXStaticProgressIndicator(QWidget *parent = nullptr);

    void startAnimation(QObject *sender);
    void stopAnimation(QObject *sender);
    void animate(QObject *sender);
    void setAnimationDelay(double seconds);

protected:
    void paintEvent(QPaintEvent *event) override;
};
