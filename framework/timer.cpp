#include "framework/timer.h"

#include "framework/failure.h"
#include "framework/program_resources.h"

namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    window_ = new TUtilityWindow(this, [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_TIMER)
            return false;
        if (OnTimer)
            OnTimer(this);
        result = 0;
        return true;
    });
    Update();
}

TTimer::~TTimer() {
    if (running_)
        KillTimer(window_->Handle(), kTimerId);
}

void TTimer::SetInterval(unsigned milliseconds) {
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    Update();
}

void TTimer::Update() {
    if (running_)
        KillTimer(window_->Handle(), kTimerId);
    running_ = false;
    if (interval_ == 0)
        return;
    if (!SetTimer(window_->Handle(), kTimerId, interval_, nullptr))
        throw EFailure(ProgramResources().TimerUnavailable);
    running_ = true;
}
