#include "portable/failure_notice.h"

#include <utility>

bool TFailureNotice::Failed(const std::string& text, bool byTimer, bool busy) {
    if (!byTimer) {
        told_ = text;
        return true;
    }
    if (text == told_)
        return false;
    if (busy) {
        waiting_ = text;
        return false;
    }
    waiting_.clear();
    told_ = text;
    return true;
}

std::string TFailureNotice::Tick(bool busy) {
    if (busy || waiting_.empty())
        return std::string();
    std::string text = std::exchange(waiting_, std::string());
    if (text == told_)
        return std::string();
    told_ = text;
    return text;
}
