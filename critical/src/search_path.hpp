#pragma once
// The points of the quantile search.  Point i is the start point with the
// widened 0.001 subtracted i times, each subtraction rounded; the path lets
// the search look at any point without making the i subtractions before it.

#include <cstdint>
#include <vector>

namespace critical::detail {

class search_path {
public:
    // start: the search's first x; step: the widened 0.001.
    search_path(double start, double step);

    // The value of point i (i >= 0; point 0 is the start itself), bit for
    // bit the one that i rounded subtractions give.
    double point(std::int64_t i) const;

private:
    // A stretch of the path where every subtraction takes off the same
    // amount: point first_index + j is first - j * spacing, exactly.
    struct run {
        std::int64_t first_index;
        double first;
        double spacing;
    };
    std::vector<run> runs_;
};

}  // namespace critical::detail
