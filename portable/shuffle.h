// The shuffled rotation: every listed wallpaper is set once before any is
// set again, each round in a new order, and the last of one round never
// starts the next.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TShuffle {
public:
    explicit TShuffle(std::uint32_t seed) : state_(seed | 1) {}

    // The list changed. The round keeps the wallpapers still listed, those
    // set before those to come; new ones join the ones to come at random
    // places (which then come in a new order). progress, how many of the
    // round have been set, follows.
    void Update(const std::vector<std::string>& listed, int& progress);
    // The next wallpaper, in a new round once this one is over; empty when
    // nothing is listed.
    std::string Next(int& progress);

private:
    std::uint32_t Random(std::uint32_t below);

    std::vector<std::string> round_;
    std::string last_;
    std::uint32_t state_;
};
