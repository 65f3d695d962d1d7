#include "records/write.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <ostream>

namespace {

struct real_case {
    double value;
    int width;
    int decimals;
    const char* text;
};

void PrintTo(const real_case& c, std::ostream* os) { *os << c.value << " F" << c.width << "." << c.decimals; }

class real_field : public ::testing::TestWithParam<real_case> {};

TEST_P(real_field, shows_the_rounded_fixed_point_text)
{
    const auto& c = GetParam();
    EXPECT_EQ(records::real_field_text(c.value, c.width, c.decimals), c.text)
        << c.value << " in F" << c.width << "." << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    result_and_level_fields, real_field,
    ::testing::Values(
        real_case{2.45, 6, 2, "  2.45"}, real_case{0.0, 6, 2, "   .00"},
        real_case{-0.0, 6, 2, "   .00"}, real_case{-1.234, 6, 2, " -1.23"},
        real_case{123.456, 6, 2, "123.46"}, real_case{1234.5, 6, 2, "******"},
        real_case{9.996, 6, 2, " 10.00"}, real_case{-0.004, 6, 2, "   .00"},
        real_case{-0.005, 6, 2, "  -.01"}, real_case{999.994, 6, 2, "999.99"},
        real_case{999.995, 6, 2, "******"}, real_case{-99.994, 6, 2, "-99.99"},
        real_case{-99.995, 6, 2, "******"}, real_case{2.1012, 6, 2, "  2.10"},
        real_case{1e-300, 6, 2, "   .00"}, real_case{-1e-300, 6, 2, "   .00"},
        real_case{1e300, 6, 2, "******"}, real_case{0.05, 4, 3, ".050"},
        real_case{static_cast<double>(0.05f), 4, 3, ".050"}, real_case{0.0005, 4, 3, ".001"},
        real_case{0.00049, 4, 3, ".000"}, real_case{0.9995, 4, 3, "****"},
        real_case{0.9994, 4, 3, ".999"}, real_case{1.5, 4, 3, "****"},
        real_case{-0.0004, 4, 3, ".000"}, real_case{-0.0005, 4, 3, "****"},
        real_case{0.3, 3, 0, " 0."}, real_case{2.5, 3, 0, " 3."},
        real_case{0.5, 2, 0, "1."}, real_case{0.4, 2, 0, "0."},
        real_case{123456789.125, 14, 3, " 123456789.125"},
        // Only 16 digits survive the field's rounding; the rest are zeros.
        real_case{1.0 / 3.0, 22, 20, " .33333333333333330000"},
        real_case{12345678901234567890.0, 23, 2, "12345678901234570000.00"}));

TEST(real_field, non_finite_values_show_their_special_texts)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double negative_quiet_nan = std::bit_cast<double>(0xFFF8000000000000ull);
    const double quiet_nan = std::bit_cast<double>(0x7FF8000000000001ull);
    const double signalling_nan = std::bit_cast<double>(0x7FF0000000000001ull);
    EXPECT_EQ(records::real_field_text(inf, 6, 2), "1#INF.");
    EXPECT_EQ(records::real_field_text(-inf, 6, 2), "1#INF.");
    EXPECT_EQ(records::real_field_text(inf, 4, 3), "1#IN");
    EXPECT_EQ(records::real_field_text(negative_quiet_nan, 6, 2), "1#IND.");
    EXPECT_EQ(records::real_field_text(quiet_nan, 6, 2), "1#QNAN");
    EXPECT_EQ(records::real_field_text(signalling_nan, 8, 2), "1#SNAN..");
}

struct integer_case {
    std::int32_t value;
    int width;
    const char* text;
};

void PrintTo(const integer_case& c, std::ostream* os) { *os << c.value << " I" << c.width; }

class integer_field : public ::testing::TestWithParam<integer_case> {};

TEST_P(integer_field, is_right_aligned_or_asterisks)
{
    const auto& c = GetParam();
    EXPECT_EQ(records::integer_field_text(c.value, c.width), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    counts, integer_field,
    ::testing::Values(integer_case{10, 4, "  10"}, integer_case{5, 3, "  5"},
                      integer_case{-5, 4, "  -5"}, integer_case{12345, 4, "****"},
                      integer_case{9999, 4, "9999"}, integer_case{-999, 4, "-999"},
                      integer_case{-1000, 4, "****"}, integer_case{1000, 3, "***"},
                      integer_case{-12, 3, "-12"}, integer_case{-100, 3, "***"},
                      integer_case{0, 3, "  0"},
                      integer_case{std::numeric_limits<std::int32_t>::min(), 11, "-2147483648"}));

}  // namespace
