#include "critical/critical_tau.hpp"

#include "student_t_reference.hpp"

#include "records/console_connection.hpp"
#include "records/console_port.hpp"
#include "records/run_time_error.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>

namespace {

using critical::compute_critical_value;
using critical::critical_value;

constexpr double widened_offset = 0.0005000000237487257;
constexpr double widened_zero_alpha = 0.05000000074505806;
constexpr double infinity = std::numeric_limits<double>::infinity();

critical_value computed(double alpha, std::int32_t n, std::int32_t r)
{
    const std::optional<critical_value> value = compute_critical_value(alpha, n, r);
    if (!value) {
        ADD_FAILURE() << "no value computed for r = " << r;
        return {};
    }
    return *value;
}

// Keeps a test's checkpoint from reaching the next test.
class critical_tau_test : public ::testing::Test {
protected:
    void SetUp() override { critical::set_worker_floating_point_environment(); }
    void TearDown() override { critical::set_search_checkpoint(nullptr); }
};

// The reference results: t to four decimals, tau as the result record shows
// it (two decimals), and the number of search points.
struct reference_row {
    double alpha;
    std::int32_t n;
    std::int32_t r;
    double t;
    double tau;
    std::int64_t steps;
};

std::ostream& operator<<(std::ostream& out, const reference_row& row)
{
    return out << "alpha " << row.alpha << ", n " << row.n << ", r " << row.r;
}

class reference_table : public ::testing::TestWithParam<reference_row> {};

TEST_P(reference_table, gives_t_tau_and_search_steps)
{
    const reference_row& row = GetParam();
    const critical_value value = computed(row.alpha, row.n, row.r);
    EXPECT_EQ(std::llround(value.t * 1e4), std::llround(row.t * 1e4)) << value.t;
    EXPECT_EQ(std::llround(value.tau * 1e2), std::llround(row.tau * 1e2)) << value.tau;
    EXPECT_EQ(value.search_steps, row.steps);

    // critical_tau itself writes the same tau and leaves the level alone.
    double alpha = row.alpha;
    std::int32_t n = row.n;
    std::int32_t r = row.r;
    double tau = 0;
    critical::critical_tau(alpha, n, r, tau);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(tau), std::bit_cast<std::uint64_t>(value.tau));
    EXPECT_EQ(alpha, row.alpha);
}

INSTANTIATE_TEST_SUITE_P(critical_tau, reference_table,
                         ::testing::Values(reference_row{0.05, 1, 2, 12.7067, 1.41, 0},
                                           reference_row{0.05, 1, 3, 4.3032, 1.65, 0},
                                           reference_row{0.05, 10, 2, 124.4300, 1.41, 0},
                                           reference_row{0.05, 10, 4, 7.3945, 1.95, 6526},
                                           reference_row{0.05, 10, 5, 5.5625, 2.10, 8358},
                                           reference_row{0.05, 20, 10, 4.1305, 2.56, 15591},
                                           reference_row{0.01, 50, 30, 4.2525, 3.39, 66268},
                                           reference_row{0.05, 100, 100, 3.5925, 3.40, 40548}));

// The quantile, less its offset, against an independent integration of the
// Student t density with r - 1 degrees of freedom: exact for the closed forms
// (r = 2, 3), the nearer point of the 0.001 grid for the search.  A series
// with a missing or extra term (m = 3 has none, m = 5 exactly one), a wrong
// bracket choice or a start already below the quantile all land further off.
struct quantile_row {
    const char* name;
    double alpha;
    std::int32_t n;
    std::int32_t r;
    double tolerance;
};

std::ostream& operator<<(std::ostream& out, const quantile_row& row)
{
    return out << "alpha " << row.alpha << ", n " << row.n << ", r " << row.r;
}

// Long searches, against a plain step-by-step loop over every point run
// once outside the project (the values printed with %.17g): the search that
// bisects must land on the very same point.
class long_searches : public ::testing::TestWithParam<reference_row> {};

TEST_P(long_searches, end_on_the_point_of_the_step_by_step_search)
{
    const auto& row = GetParam();
    const critical_value value = computed(row.alpha, row.n, row.r);
    EXPECT_EQ(value.t, row.t);
    EXPECT_EQ(value.tau, row.tau);
    EXPECT_EQ(value.search_steps, row.steps);
}

INSTANTIATE_TEST_SUITE_P(
    critical_tau, long_searches,
    ::testing::Values(
        reference_row{0.05, 12345, 1000, 4.6294769185897735, 4.5828946766115521, 485951},
        reference_row{1e-6, 1, 5, 49.459454852223871, 2.2342420474368248, 950532},
        reference_row{1e-7, 3, 40, 6.8612401719137779, 4.6772439636221073, 5470360},
        reference_row{0.001, 2000, 7, 22.531433915442221, 2.6302537385125051, 1391329},
        reference_row{0.2, 500, 300, 3.5514979211078028, 3.4846913122847361, 43770},
        reference_row{1e-8, 1, 4, 604.16505372180836, 1.9999917812196197, 9395835},
        // Levels so near 1 that rounding makes the probability wobble around
        // p for many points; starts above 2^20, where the step rounds.
        reference_row{1e-12, 1, 4, 13016.929620296636, 1.9999999822946657, 986994084},
        reference_row{3e-13, 1, 4, 19446.850222754001, 1.9999999920672691, 1806348804},
        reference_row{1e-13, 1, 5, 2784.2914454875863, 2.2360674006198415, 3159001433}));

class quantile_property : public ::testing::TestWithParam<quantile_row> {};

TEST_P(quantile_property, lies_on_the_nearest_grid_point)
{
    const quantile_row& row = GetParam();
    const long double p = std::pow(1.0L - row.alpha, 1.0L / row.n);
    const long double quantile = critical_test::two_sided_quantile(p, row.r - 1);
    const critical_value value = computed(row.alpha, row.n, row.r);
    EXPECT_NEAR(static_cast<double>(value.t - widened_offset - quantile), 0.0, row.tolerance)
        << "t = " << value.t << ", quantile = " << static_cast<double>(quantile);
    // tau is the transform of that t.
    const double r = row.r;
    EXPECT_NEAR(value.tau, value.t * std::sqrt(r) / std::sqrt(r - 1 + value.t * value.t),
                1e-12 * value.tau);
}

// Half a grid step, and a little for the bracket choice being made on the
// probabilities rather than on the points.
constexpr double grid_tolerance = 0.0006;
constexpr double closed_form_tolerance = 1e-7;

INSTANTIATE_TEST_SUITE_P(
    critical_tau, quantile_property,
    ::testing::Values(quantile_row{"tangent_m1", 0.3, 1, 2, closed_form_tolerance},
                      quantile_row{"square_root_m2", 0.05, 1, 3, closed_form_tolerance},
                      quantile_row{"odd_no_series_m3", 0.05, 10, 4, grid_tolerance},
                      quantile_row{"even_one_term_m4", 0.05, 10, 5, grid_tolerance},
                      quantile_row{"odd_one_term_m5", 0.05, 5, 6, grid_tolerance},
                      quantile_row{"even_two_terms_m6", 0.1, 3, 7, grid_tolerance},
                      quantile_row{"odd_m9", 0.05, 20, 10, grid_tolerance},
                      quantile_row{"odd_m29", 0.01, 50, 30, grid_tolerance},
                      // Per-observation levels near zero: the search starts at
                      // or below the quantile and has to climb.
                      quantile_row{"start_below_m3", 0.999, 1, 4, grid_tolerance},
                      quantile_row{"start_below_m4", 0.999, 1, 5, grid_tolerance},
                      quantile_row{"start_below_m6", 0.96, 1, 7, grid_tolerance},
                      quantile_row{"start_below_m7", 0.9999, 3, 8, grid_tolerance},
                      quantile_row{"start_below_m29", 0.98, 1, 30, grid_tolerance},
                      quantile_row{"level_one_m3", 1.0, 1, 4, grid_tolerance}),
    [](const ::testing::TestParamInfo<quantile_row>& info) { return std::string(info.param.name); });

TEST_F(critical_tau_test, closed_forms_do_not_search_and_the_search_does)
{
    EXPECT_EQ(computed(0.05, 10, 2).search_steps, 0);
    EXPECT_EQ(computed(0.05, 10, 3).search_steps, 0);
    EXPECT_GT(computed(0.05, 10, 4).search_steps, 0);
    EXPECT_GT(computed(0.05, 10, 5).search_steps, 0);
}

TEST_F(critical_tau_test, start_below_the_quantile_climbs_past_it)
{
    // One step down from the start, then up until the quantile is passed:
    // t is no longer the bare offset.
    const critical_value value = computed(0.999, 1, 4);
    EXPECT_GT(value.search_steps, 2);
    EXPECT_GT(value.t, 2 * widened_offset);
}

TEST_F(critical_tau_test, results_do_not_depend_on_earlier_calls)
{
    const std::uint64_t fresh_t = std::bit_cast<std::uint64_t>(computed(0.999, 1, 4).t);
    const std::uint64_t fresh_tau = std::bit_cast<std::uint64_t>(computed(0.999, 1, 4).tau);
    for (const auto& [alpha, n, r] : {std::tuple{0.05, 10, 5}, std::tuple{0.05, 100, 100},
                                      std::tuple{0.5, 1, 7}}) {
        SCOPED_TRACE(r);
        computed(alpha, n, r);
        const critical_value again = computed(0.999, 1, 4);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(again.t), fresh_t);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(again.tau), fresh_tau);
    }
}

// A zero level is replaced by the widened 0.05, in the caller's variable too.
class zero_alpha : public ::testing::TestWithParam<std::tuple<std::int32_t, std::int32_t>> {};

TEST_P(zero_alpha, computes_with_the_widened_005)
{
    auto [n, r] = GetParam();
    const critical_value with_005 = computed(widened_zero_alpha, n, r);

    double alpha = 0.0;
    double tau = 0;
    critical::critical_tau(alpha, n, r, tau);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(alpha), std::bit_cast<std::uint64_t>(widened_zero_alpha));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(tau), std::bit_cast<std::uint64_t>(with_005.tau));

    double detail_alpha = 0.0;
    const std::optional<critical_value> value = compute_critical_value(detail_alpha, n, r);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(std::bit_cast<std::uint64_t>(detail_alpha), std::bit_cast<std::uint64_t>(widened_zero_alpha));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value->t), std::bit_cast<std::uint64_t>(with_005.t));
}

INSTANTIATE_TEST_SUITE_P(critical_tau, zero_alpha,
                         ::testing::Values(std::tuple{1, 2}, std::tuple{10, 3}, std::tuple{10, 5},
                                           std::tuple{7, 12}));

TEST_F(critical_tau_test, widened_constants_show_in_the_result)
{
    // 0.05 as typed and the widened 0.05 differ in the last bits of tau.
    EXPECT_NE(std::bit_cast<std::uint64_t>(computed(0.05, 1, 2).t),
              std::bit_cast<std::uint64_t>(computed(widened_zero_alpha, 1, 2).t));
}

// The console as the warning records reach it.
class recording_port : public records::console_port {
public:
    int write_console_text(std::string_view text) override
    {
        shown.append(text);
        return static_cast<int>(text.size());
    }
    std::optional<std::string> read_console_line(int) override { return std::nullopt; }

    std::string shown;
};

class warning_records : public ::testing::TestWithParam<std::int32_t> {
protected:
    void SetUp() override { records::console().attach(&port_); }
    void TearDown() override { records::console().attach(nullptr); }

    recording_port port_;
};

TEST_P(warning_records, are_written_and_tau_and_alpha_stay)
{
    double alpha = 0.0;
    std::int32_t n = 10;
    std::int32_t r = GetParam();
    double tau = 0.0;
    critical::critical_tau(alpha, n, r, tau);
    // An empty row, then the warning on the next one.
    EXPECT_EQ(port_.shown, "\r\n" + std::string(critical::degrees_of_freedom_warning));
    EXPECT_EQ(critical::degrees_of_freedom_warning.size(), 54U);
    EXPECT_EQ(tau, 0.0);
    EXPECT_EQ(alpha, 0.0);
    EXPECT_FALSE(compute_critical_value(alpha, n, r).has_value());
}

INSTANTIATE_TEST_SUITE_P(critical_tau, warning_records,
                         ::testing::Values(1, 0, -3, std::numeric_limits<std::int32_t>::min()));

TEST(warning_records_for_a_value, are_not_written)
{
    recording_port port;
    records::console().attach(&port);
    double alpha = 0.05;
    std::int32_t n = 10;
    std::int32_t r = 2;
    double tau = 0.0;
    critical::critical_tau(alpha, n, r, tau);
    records::console().attach(nullptr);
    EXPECT_EQ(port.shown, "");
    EXPECT_NE(tau, 0.0);
}

// Inputs outside the usual ranges reach the arithmetic unguarded; the first
// failing operation ends the computation with its MATH report.
struct failure_row {
    const char* name;
    double alpha;
    std::int32_t n;
    std::int32_t r;
    int number;
    const char* report;
};

std::ostream& operator<<(std::ostream& out, const failure_row& row)
{
    return out << "alpha " << row.alpha << ", n " << row.n << ", r " << row.r;
}

class failures : public ::testing::TestWithParam<failure_row> {
protected:
    void SetUp() override { critical::set_worker_floating_point_environment(); }
};

TEST_P(failures, raise_the_math_report_and_leave_tau)
{
    const failure_row& row = GetParam();
    double alpha = row.alpha;
    std::int32_t n = row.n;
    std::int32_t r = row.r;
    double tau = 7.5;
    try {
        critical::critical_tau(alpha, n, r, tau);
        FAIL() << "no run-time error";
    } catch (const records::run_time_error& error) {
        EXPECT_EQ(error.number(), row.number);
        EXPECT_EQ(error.report_text(), row.report);
    }
    EXPECT_EQ(tau, 7.5);
    // The flags of the failure are not left behind for the next computation.
    EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
    EXPECT_NEAR(computed(0.05, 10, 5).tau, 2.10, 0.005);
}

constexpr const char* divide_by_zero = "M6103: MATH\r\n- floating-point error: divide by zero";
constexpr const char* sqrt_domain = "M6201: MATH\r\n- sqrt: DOMAIN error";
constexpr const char* pow_domain = "M6201: MATH\r\n- pow: DOMAIN error";

INSTANTIATE_TEST_SUITE_P(
    critical_tau, failures,
    ::testing::Values(
        failure_row{"no_observations_search", 0.05, 0, 5, 6103, divide_by_zero},
        failure_row{"no_observations_tangent", 0.05, 0, 2, 6103, divide_by_zero},
        // alpha too small to change (1 - alpha)^(1/n): p is exactly 1
        failure_row{"p_exactly_one_search", 1e-17, 1, 4, 6103, divide_by_zero},
        failure_row{"p_exactly_one_square_root", 1e-17, 1, 3, 6103, divide_by_zero},
        failure_row{"alpha_two_one_observation", 2.0, 1, 4, 6103, divide_by_zero},
        failure_row{"negative_alpha", -0.1, 1, 4, 6201, sqrt_domain},
        failure_row{"negative_alpha_square_root", -0.1, 3, 3, 6201, sqrt_domain},
        failure_row{"negative_observations", 0.05, -1, 4, 6201, sqrt_domain},
        failure_row{"alpha_above_two_one_observation", 3.0, 1, 5, 6201, sqrt_domain},
        failure_row{"alpha_above_one_search", 1.5, 2, 4, 6201, pow_domain},
        failure_row{"alpha_above_one_tangent", 1.5, 2, 2, 6201, pow_domain},
        failure_row{"alpha_nan", std::numeric_limits<double>::quiet_NaN(), 1, 4, 6201, pow_domain},
        // (1 - 1)^(1/-2): zero to a negative power is a pole
        failure_row{"zero_base_negative_exponent", 1.0, -2, 4, 6202,
                    "M6202: MATH\r\n- pow: SING error"},
        // p = 1e300: p^2 overflows
        failure_row{"p_squared_overflows", -1e300, 1, 3, 6104,
                    "M6104: MATH\r\n- floating-point error: overflow"},
        // p = -inf: inf / -inf in the two-degree quantile
        failure_row{"infinite_over_infinite", infinity, 1, 3, 6101,
                    "M6101: MATH\r\n- floating-point error: invalid"},
        // p = -inf reaches the tangent itself
        failure_row{"tangent_of_infinity", infinity, 1, 2, 6201, "M6201: MATH\r\n- tan: DOMAIN error"}),
    [](const ::testing::TestParamInfo<failure_row>& info) { return std::string(info.param.name); });

// With one degree of freedom for t the tangent accepts any p.
class tangent_accepts_any_level : public ::testing::TestWithParam<double> {};

TEST_P(tangent_accepts_any_level, without_failure)
{
    const critical_value value = computed(GetParam(), 1, 2);
    EXPECT_TRUE(std::isfinite(value.t));
    EXPECT_TRUE(std::isfinite(value.tau));
}

INSTANTIATE_TEST_SUITE_P(critical_tau, tangent_accepts_any_level,
                         ::testing::Values(1e-17, 2.0, -0.1, 5.0));

TEST_F(critical_tau_test, flags_raised_before_the_call_are_not_its_failure)
{
    const critical_value clean = computed(0.05, 10, 5);
    std::feraiseexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    const critical_value value = computed(0.05, 10, 5);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value.tau), std::bit_cast<std::uint64_t>(clean.tau));
}

TEST_F(critical_tau_test, worker_environment_rounds_to_nearest_with_clear_flags)
{
    std::fesetround(FE_UPWARD);
    std::feraiseexcept(FE_DIVBYZERO | FE_INEXACT);
    critical::set_worker_floating_point_environment();
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
}

int checkpoint_calls = 0;

void count_checkpoint()
{
    ++checkpoint_calls;
}

void checkpoint_dividing_by_zero()
{
    ++checkpoint_calls;
    volatile double zero = 0.0;
    volatile double quotient = 1.0 / zero;
    static_cast<void>(quotient);
}

TEST_F(critical_tau_test, search_passes_the_checkpoint_at_every_point_it_evaluates)
{
    // Bisection looks at a few dozen of the 66268 points, each behind the
    // checkpoint; the closed forms evaluate none.
    checkpoint_calls = 0;
    critical::set_search_checkpoint(count_checkpoint);
    const critical_value value = computed(0.01, 50, 30);
    EXPECT_GT(checkpoint_calls, 17);
    EXPECT_LT(checkpoint_calls, 200);
    EXPECT_EQ(value.search_steps, 66268);

    checkpoint_calls = 0;
    computed(0.05, 10, 2);
    EXPECT_EQ(checkpoint_calls, 0);
}

TEST_F(critical_tau_test, checkpoint_flags_do_not_fail_the_search)
{
    const critical_value clean = computed(0.05, 20, 10);
    checkpoint_calls = 0;
    critical::set_search_checkpoint(checkpoint_dividing_by_zero);
    const critical_value value = computed(0.05, 20, 10);
    EXPECT_GT(checkpoint_calls, 0);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value.t), std::bit_cast<std::uint64_t>(clean.t));
}

}  // namespace
