#pragma once

#include <QWidget>
#include <memory>

struct TeardownOutcome;

namespace Ui {
class EjectPage;
}

// The window's "DESTROY" page: an eject under way, then its outcome with the way on: a new disk
// when the disk is gone, another try when it is still owed.
class EjectPage : public QWidget
{
    Q_OBJECT

public:
    explicit EjectPage(QWidget *parent = nullptr);
    ~EjectPage() override;

    void showEjecting();
    // `before`: a sentence shown above the outcome's words (why the disk went again).
    void showOutcome(const TeardownOutcome &outcome, const QString &before = QString());
    // Another program ejected the disk: nothing is owed any more.
    void showEjectedElsewhere();
    // Back to a still bar (the page is left).
    void reset();

signals:
    void continueRequested();
    void retryRequested();

private:
    std::unique_ptr<Ui::EjectPage> m_ui;
};
