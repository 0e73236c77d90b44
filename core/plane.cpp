#include "plane.h"

#include <algorithm>

PlaneArc ShortestArc(std::vector<int32_t> values, int32_t cut)
{
    if (values.empty()) {
        return {0, 0};
    }
    // Read round the circle from the cut, so the gap that closes the circle is the one holding it.
    std::sort(values.begin(), values.end(),
              [cut](int32_t a, int32_t b) { return StepsFrom(cut, a) < StepsFrom(cut, b); });
    const uint64_t side = uint64_t{1} << 32;
    uint64_t widestGap = side - StepsFrom(values.front(), values.back());  // 2^32 for one value
    int32_t start = values.front();
    for (size_t i = 1; i < values.size(); ++i) {
        const uint64_t gap = StepsFrom(values[i - 1], values[i]);
        if (gap > widestGap) {
            widestGap = gap;
            start = values[i];
        }
    }
    return {start, side - widestGap + 1};
}
