// The critical value of Pope's tau test: the overall level is shared among
// the observations, the two-sided Student t quantile with r - 1 degrees of
// freedom is found, and the quantile is carried over to the tau scale.

#include "critical/critical_tau.hpp"

#include "checked_double.hpp"
#include "search_checkpoint.hpp"

#include "records/units.hpp"
#include "records/write.hpp"

#include <cstdint>
#include <optional>

namespace critical {

namespace {

using detail::checked_double;

// Three constants of the computation are single-precision literals widened
// to double; the widened values are the ones the results depend on.
// A zero alpha is replaced by 0.05 (widened: 0.05000000074505806).
constexpr double zero_alpha_replacement = static_cast<double>(0.05f);
// Every quantile is raised by half a search step, 0.0005 (widened:
// 0.0005000000237487257).
constexpr double quantile_offset = static_cast<double>(0.0005f);
// The search moves by 0.001 (widened: 0.0010000000474974513).
constexpr double search_step = static_cast<double>(0.001f);

// The working values of the computation, in static storage like every
// variable of the program.  They are reset at the start of each computation,
// so nothing left by an earlier call can reach a result.
struct working_values {
    std::int32_t m = 0;       // degrees of freedom of the Student t distribution, r - 1
    checked_double pi;        // 4 atan(1)
    checked_double c;         // 2 / pi
    checked_double alpha0;    // per-observation significance level
    checked_double p;         // per-observation two-sided confidence level
    checked_double t;         // the quantile, with its offset
    checked_double x;         // current point of the search
    checked_double fm;        // m as a double
    std::int32_t k = 0;       // m - 2, last index of the series
    checked_double d;         // x^2 + fm
    checked_double q;         // fm / d, the squared cosine of atan(x / sqrt(m))
    checked_double term;      // current term of the series
    checked_double s;         // running sum of the series
    checked_double r1;        // sqrt(fm), odd m only
    checked_double theta;     // atan(x / r1), odd m only
    checked_double w;         // x r1 / d = sin(theta) cos(theta), odd m only
    checked_double a;         // two-sided probability P(|T| <= x)
    checked_double x_prev;    // the neighbouring search point
    checked_double a_prev;    // and its probability
};

working_values wv;

// One end of the bracket that holds the quantile.
struct search_point {
    checked_double x;
    checked_double a;
};

void write_warning_records()
{
    records::write_list_directed(records::console_unit);
    records::write_list_directed(records::console_unit, {degrees_of_freedom_warning});
}

// alpha0 = 1 - (1 - alpha)^(1/n): the level that gives the overall level
// alpha over n independent observations (1/n is a real division).
void per_observation_level(const checked_double& alpha, std::int32_t n_observations)
{
    const checked_double one = 1.0;
    wv.alpha0 = one - detail::checked_pow(one - alpha, one / checked_double(n_observations));
    wv.p = one - wv.alpha0;
}

// The exact two-sided quantile for two degrees of freedom, sqrt(2p^2 / (1 - p^2)),
// raised by the offset.
checked_double two_degree_quantile()
{
    const checked_double p_squared = wv.p * wv.p;
    return detail::checked_sqrt(checked_double(2.0) * p_squared / (checked_double(1.0) - p_squared)) +
           quantile_offset;
}

// Abramowitz and Stegun 26.7.3: for odd m,
//   A = (2/pi) (theta + sin(theta) cos(theta) (1 + 2/3 cos^2 + (2 4)/(3 5) cos^4 + ...)),
// the series ending with the power m - 3 of the cosine.
checked_double odd_probability()
{
    wv.r1 = detail::checked_sqrt(wv.fm);
    wv.theta = detail::checked_atan(wv.x / wv.r1);
    wv.w = wv.x * wv.r1 / wv.d;
    if (wv.m > 3) {
        for (std::int32_t j = 2; j <= wv.k; j += 2) {
            wv.term = checked_double(j) * wv.term * wv.q / checked_double(j + 1);
            wv.s = wv.s + wv.term;
        }
    }
    return ((wv.s + 1.0) * wv.w + wv.theta) * wv.c;
}

// Abramowitz and Stegun 26.7.4: for even m,
//   A = sin(theta) (1 + 1/2 cos^2 + (1 3)/(2 4) cos^4 + ...),
// the series ending with the power m - 2 of the cosine; sin(theta) = x / sqrt(d).
checked_double even_probability()
{
    for (std::int32_t j = 2; j <= wv.k; j += 2) {
        wv.term = checked_double(j - 1) * (wv.term / checked_double(j)) * wv.q;
        wv.s = wv.s + wv.term;
    }
    return wv.x / detail::checked_sqrt(wv.d) * (wv.s + 1.0);
}

// The two-sided Student t probability at the current point.
void evaluate_search_point()
{
    wv.d = wv.x * wv.x + wv.fm;
    wv.q = wv.fm / wv.d;
    wv.term = 1.0;
    wv.s = 0.0;
    wv.a = (wv.m % 2 != 0) ? odd_probability() : even_probability();
}

bool above_quantile()
{
    return (wv.a - wv.p).value() > 0.0;
}

// The search moves by repeated addition or subtraction of the step, never by
// a multiple of it, so the points carry the rounding of every step before.
void step_down()
{
    wv.x = wv.x - search_step;
    evaluate_search_point();
}

void step_up()
{
    wv.x = wv.x + search_step;
    evaluate_search_point();
}

void count_point(std::int64_t& points)
{
    ++points;
    if (points % detail::points_between_checkpoints == 0) {
        detail::pass_search_checkpoint();
    }
}

// Of the two grid points around the quantile, the one whose probability is
// nearer to p, raised by the offset: the lower one when p lies in the lower
// half of the bracket's probabilities.
checked_double nearer_grid_point(const search_point& lower, const search_point& upper)
{
    const checked_double middle = (upper.a + lower.a) / checked_double(2.0);
    if ((wv.p - middle).value() <= 0.0) {
        return lower.x + quantile_offset;
    }
    return upper.x + quantile_offset;
}

// The quantile for three or more degrees of freedom.  The search starts at
// the two-degree quantile cut to two decimals, which lies above the wanted
// one because quantiles fall as the degrees of freedom rise, and steps down
// until the probability no longer exceeds p.
//
// For p near zero the cut can put the very first point at or below the
// quantile already.  The search then climbs, on the same grid, until the
// probability exceeds p, so that the quantile is bracketed by two evaluated
// points in that case too.
std::int64_t search_quantile()
{
    wv.x = detail::checked_trunc(checked_double(100.0) * two_degree_quantile()) / checked_double(100.0);
    wv.fm = checked_double(wv.m);
    wv.k = wv.m - 2;

    std::int64_t points = 0;
    step_down();
    count_point(points);
    if (above_quantile()) {
        do {
            wv.x_prev = wv.x;
            wv.a_prev = wv.a;
            step_down();
            count_point(points);
        } while (above_quantile());
        wv.t = nearer_grid_point({wv.x, wv.a}, {wv.x_prev, wv.a_prev});
    } else {
        do {
            wv.x_prev = wv.x;
            wv.a_prev = wv.a;
            step_up();
            count_point(points);
        } while (!above_quantile());
        wv.t = nearer_grid_point({wv.x_prev, wv.a_prev}, {wv.x, wv.a});
    }
    return points;
}

// tau = t sqrt(r) / sqrt(r - 1 + t^2), with t^2 from the power function.
checked_double tau_of_quantile(std::int32_t degrees_of_freedom)
{
    const checked_double r(degrees_of_freedom);
    return wv.t * detail::checked_sqrt(r) /
           detail::checked_sqrt(r - 1.0 + detail::checked_pow(wv.t, 2.0));
}

}  // namespace

std::optional<critical_value> compute_critical_value(double& alpha, std::int32_t n_observations,
                                                     std::int32_t degrees_of_freedom)
{
    // m = r - 1 < 1, written so that the lowest r cannot overflow.
    if (degrees_of_freedom < 2) {
        return std::nullopt;
    }
    wv = working_values{};
    detail::clear_floating_point_flags();
    wv.m = degrees_of_freedom - 1;
    if (alpha == 0.0) {
        alpha = zero_alpha_replacement;
    }
    wv.pi = checked_double(4.0) * detail::checked_atan(1.0);
    wv.c = checked_double(2.0) / wv.pi;
    per_observation_level(alpha, n_observations);

    std::int64_t points = 0;
    if (wv.m == 1) {
        // The exact quantile for one degree of freedom, tan(p pi / 2).
        wv.t = detail::checked_tan(wv.p / wv.c) + quantile_offset;
    } else if (wv.m == 2) {
        wv.t = two_degree_quantile();
    } else {
        points = search_quantile();
    }
    const checked_double tau = tau_of_quantile(degrees_of_freedom);
    return critical_value{wv.t.value(), tau.value(), points};
}

void critical_tau(double& alpha, std::int32_t& n_observations, std::int32_t& degrees_of_freedom,
                  double& tau)
{
    const std::optional<critical_value> value =
        compute_critical_value(alpha, n_observations, degrees_of_freedom);
    if (!value) {
        write_warning_records();
        return;
    }
    tau = value->tau;
}

}  // namespace critical
