#include "portable/shuffle.h"

#include <algorithm>
#include <utility>

namespace {

bool Contains(const std::vector<std::string>& sorted, const std::string& name) {
    return std::binary_search(sorted.begin(), sorted.end(), name);
}

}  // namespace

std::uint32_t TShuffle::Random(std::uint32_t below) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ % below;
}

void TShuffle::Update(const std::vector<std::string>& listed, int& progress) {
    std::vector<std::string> sorted = listed;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t done = std::min(round_.size(), static_cast<std::size_t>(std::max(progress, 0)));
    std::vector<std::string> round;
    for (std::size_t i = 0; i < round_.size(); ++i)
        if (Contains(sorted, round_[i]))
            round.push_back(round_[i]);
    progress = static_cast<int>(std::count_if(round_.begin(), round_.begin() + static_cast<std::ptrdiff_t>(done),
                                              [&](const std::string& name) { return Contains(sorted, name); }));
    // The new ones join the rest, which takes a new order: each new one
    // lands at a random place among them.
    std::vector<std::string> known = round_;
    std::sort(known.begin(), known.end());
    const std::size_t before = round.size();
    for (const std::string& name : listed)
        if (!Contains(known, name))
            round.push_back(name);
    if (round.size() > before)
        for (std::size_t i = round.size() - 1; i > static_cast<std::size_t>(progress); --i)
            std::swap(round[i], round[static_cast<std::size_t>(progress) +
                                      Random(static_cast<std::uint32_t>(i - static_cast<std::size_t>(progress) + 1))]);
    round_ = std::move(round);
}

std::string TShuffle::Next(int& progress) {
    if (round_.empty())
        return std::string();
    if (progress < 0 || static_cast<std::size_t>(progress) >= round_.size()) {
        for (std::size_t i = round_.size() - 1; i > 0; --i)
            std::swap(round_[i], round_[Random(static_cast<std::uint32_t>(i + 1))]);
        if (round_.size() > 1 && round_.front() == last_)
            std::swap(round_.front(), round_[1 + Random(static_cast<std::uint32_t>(round_.size() - 1))]);
        progress = 0;
    }
    last_ = round_[static_cast<std::size_t>(progress++)];
    return last_;
}
