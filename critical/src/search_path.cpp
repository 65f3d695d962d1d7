#include "search_path.hpp"

#include <algorithm>
#include <cmath>

namespace critical::detail {

namespace {

// Below 2^20 the step is an exact multiple of the unit in the last place of
// every point: the widened 0.001 is a 24-bit integer times 2^-33, and a
// double below 2^20 has a last place of 2^-33 or finer.  Each subtraction is
// then exact, and point j of the stretch is first - j * step with no rounding.
const double exact_below = std::ldexp(1.0, 20);

// Steps kept out of a jump at the lower edge of a binade, taken one by one
// instead, so that the jump never reaches the rounding of the edge.
constexpr std::int64_t edge_margin = 2;

}  // namespace

search_path::search_path(double start, double step)
{
    double x = start;
    std::int64_t index = 0;
    // Between 2^e and 2^(e+1), e >= 20, every point is a multiple of
    // u = 2^(e-52) and x - step rounds to x - u * round(step / u).  For
    // e > 20 that amount is the same at every point; for e = 20 step / u
    // ends in one half and the tie goes to the even multiple, which leaves
    // an even multiple after the first subtraction, so from the second one
    // on the amount is the same too.  Two subtractions one by one give that
    // amount, then the path jumps close to the binade's lower edge.
    while (x >= exact_below) {
        const double x1 = x - step;
        const double x2 = x1 - step;
        // Neighbours within a factor of two: both differences are exact.
        runs_.push_back({index, x, x - x1});
        runs_.push_back({index + 1, x1, x1 - x2});
        index += 2;
        x = x2;
        const double spacing = x1 - x2;
        const double edge = std::ldexp(1.0, std::ilogb(x));
        // Subtractions whose exact difference stays at or above the edge.
        const double room = std::floor((x - edge - step) / spacing);
        if (room > static_cast<double>(edge_margin)) {
            const auto jump = static_cast<std::int64_t>(room) - edge_margin;
            x = std::fma(-static_cast<double>(jump), spacing, x);
            index += jump;
        }
    }
    runs_.push_back({index, x, step});
}

double search_path::point(std::int64_t i) const
{
    // The last run that starts at or before i.
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), i,
                                        [](std::int64_t v, const run& r) { return v < r.first_index; });
    const run& r = *std::prev(after);
    // Exact: the result is a multiple of the run's last place within its range.
    return std::fma(-static_cast<double>(i - r.first_index), r.spacing, r.first);
}

}  // namespace critical::detail
