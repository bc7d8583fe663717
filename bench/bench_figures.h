// What the Wine benchmarks share to turn runs into figures.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

// Milliseconds of the performance counter.
inline double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The median, 0 for no values.
inline double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace bench
