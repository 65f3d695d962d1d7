// The search looks at points of its path by index; each must be the value
// that the subtractions one after the other give, across the edges of the
// binades where the rounding of the step changes.

#include "search_path.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

const double step = static_cast<double>(0.001f);

struct path_case {
    const char* name;
    double start;
    std::int64_t points;  // compared one by one from the start
};

void PrintTo(const path_case& c, std::ostream* os) { *os << c.name; }

class search_path_points : public ::testing::TestWithParam<path_case> {};

TEST_P(search_path_points, equal_repeated_rounded_subtraction)
{
    const auto& c = GetParam();
    const critical::detail::search_path path(c.start, step);
    double x = c.start;
    for (std::int64_t i = 0; i <= c.points; ++i) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(path.point(i)), std::bit_cast<std::uint64_t>(x))
            << "point " << i << ": " << path.point(i) << " instead of " << x;
        x = x - step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    starts, search_path_points,
    ::testing::Values(
        path_case{"small_start_down_through_zero", 0.05, 200},
        path_case{"two_decimal_start", 5.56, 20000},
        path_case{"just_below_two_to_the_20", 1048575.99, 20000},
        // Ties to even in [2^20, 2^21): the first step sets the parity.
        path_case{"into_two_to_the_20_and_below", std::ldexp(1.0, 20) + 1.5, 60000},
        path_case{"odd_multiple_in_two_to_the_20", std::nextafter(std::ldexp(1.0, 20) + 7.0, 0.0), 30000},
        path_case{"across_two_to_the_21", std::ldexp(1.0, 21) + 2.25, 60000},
        path_case{"across_two_to_the_24", std::ldexp(1.0, 24) + 3.0, 60000},
        path_case{"across_two_to_the_26", std::ldexp(1.0, 26) + 12.5, 60000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(search_path, jumps_far_into_a_binade_without_drifting)
{
    // 4096 above 2^23 is about 4.1 million steps above that edge: point
    // 5 million lies well inside the binade below, reached by jumps.
    const double start = std::ldexp(1.0, 23) + 4096.0;
    const critical::detail::search_path path(start, step);
    double x = start;
    for (std::int64_t i = 1; i <= 5'000'000; ++i)
        x = x - step;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(path.point(5'000'000)), std::bit_cast<std::uint64_t>(x));
}

}  // namespace
