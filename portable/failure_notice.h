// Which failures of the wallpaper are told. One asked for by hand is told at
// once. One raised by the timer is told once: not again while its text is
// the last one told, until a wallpaper has been set or the user acts; and
// while the user is busy (a full-screen program, a presentation) it waits,
// to be told at the first tick after.
#pragma once

#include <string>

class TFailureNotice {
public:
    // A failure; true when it is to be told now.
    bool Failed(const std::string& text, bool byTimer, bool busy);
    // True while a failure waits for a tick.
    bool Waiting() const { return !waiting_.empty(); }
    // A tick of the timer: the failure to be told now, or empty.
    std::string Tick(bool busy);
    // A wallpaper has been set, or the user acted: every failure counts as new.
    void Reset() { told_.clear(); }

private:
    std::string told_;
    std::string waiting_;
};
