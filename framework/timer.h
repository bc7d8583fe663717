// A timer component with a hidden window of its own. An interval of 0 stops
// it; setting the interval it already has changes nothing.
#pragma once

#include "framework/window.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    TNotifyEvent OnTimer;

    unsigned Interval() const { return interval_; }
    // Throws EFailure when the system has no timer to give.
    void SetInterval(unsigned milliseconds);

private:
    void Update();

    TUtilityWindow* window_;
    unsigned interval_ = 1000;
    bool running_ = false;
};
