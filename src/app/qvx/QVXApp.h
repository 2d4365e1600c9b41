#pragma once

// The application's start-up sequence: the delegate's hooks run at once, in order, on the
// main thread.
class QVXAppDelegate
{
public:
    virtual ~QVXAppDelegate() = default;
    virtual void QVXAppCanStartToInitialize() {}
    virtual void QVXAppEndedToInitialize() {}
    virtual void QVXAppIsRunningForTheFirstTime() {}
};

namespace QVXApp {

// Calls QVXAppCanStartToInitialize, QVXAppIsRunningForTheFirstTime when no earlier run was
// recorded in the user defaults, then QVXAppEndedToInitialize.
void startWithDelegate(QVXAppDelegate *delegate);

} // namespace QVXApp
