// The critical value of Pope's tau test: the overall level is shared among
// the observations, the two-sided Student t quantile with r - 1 degrees of
// freedom is found, and the quantile is carried over to the tau scale.

#include "critical/critical_tau.hpp"

#include "checked_double.hpp"
#include "search_checkpoint.hpp"
#include "search_path.hpp"

#include "records/units.hpp"
#include "records/write.hpp"

#include <algorithm>
#include <cmath>
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
        // The series runs m/2 terms at every point: plain doubles here, the
        // same operations in the same order, and one look at the flags after.
        double term = wv.term.value();
        double s = wv.s.value();
        const double q = wv.q.value();
        for (std::int32_t j = 2; j <= wv.k; j += 2) {
            term = static_cast<double>(j) * term * q / static_cast<double>(j + 1);
            s = s + term;
        }
        detail::check_floating_point_flags();
        wv.term = term;
        wv.s = s;
    }
    return ((wv.s + 1.0) * wv.w + wv.theta) * wv.c;
}

// Abramowitz and Stegun 26.7.4: for even m,
//   A = sin(theta) (1 + 1/2 cos^2 + (1 3)/(2 4) cos^4 + ...),
// the series ending with the power m - 2 of the cosine; sin(theta) = x / sqrt(d).
checked_double even_probability()
{
    double term = wv.term.value();
    double s = wv.s.value();
    const double q = wv.q.value();
    for (std::int32_t j = 2; j <= wv.k; j += 2) {
        term = static_cast<double>(j - 1) * (term / static_cast<double>(j)) * q;
        s = s + term;
    }
    detail::check_floating_point_flags();
    wv.term = term;
    wv.s = s;
    return wv.x / detail::checked_sqrt(wv.d) * (wv.s + 1.0);
}

// The two-sided Student t probability at the current point.  A paused run
// is held at the checkpoint between two points.
void evaluate_search_point()
{
    detail::pass_search_checkpoint();
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

// Climbing moves by repeated addition of the step, never by a multiple of
// it, so the points carry the rounding of every step before.
void step_up()
{
    wv.x = wv.x + search_step;
    evaluate_search_point();
}

// The probability at point i of the downward search.
void evaluate_point(const detail::search_path& path, std::int64_t i)
{
    wv.x = path.point(i);
    evaluate_search_point();
}

// A bound on the rounding error of a computed probability: the series adds
// m/2 terms whose own errors grow by a few units in the last place per term,
// and the closing arithmetic and the arctangent add a few more.  Generous on
// purpose; 2^-53 is the unit roundoff of a double.
double probability_error_bound()
{
    return (16.0 * static_cast<double>(wv.m) + 128.0) * std::ldexp(1.0, -53);
}

// The first point of the downward search whose probability no longer exceeds
// p; point 1 exceeds it.  The exact probability falls as the points fall, so
// doubling and then halving the bracket finds a point at or below p quickly.
// Near p, though, the computed probability can wobble by its rounding error,
// and the step-by-step search stops at the first wobble below p.  So the
// points before the one found are walked back one by one until one exceeds p
// by more than twice the error bound: every earlier point's computed
// probability then exceeds p too, and the lowest point at or below p seen on
// the walk is the one the step-by-step search stops at.
std::int64_t first_point_not_above(const detail::search_path& path)
{
    std::int64_t above = 1;
    std::int64_t not_above = 2;
    for (;;) {
        evaluate_point(path, not_above);
        if (!above_quantile())
            break;
        above = not_above;
        not_above *= 2;
    }
    while (not_above - above > 1) {
        const std::int64_t middle = above + (not_above - above) / 2;
        evaluate_point(path, middle);
        if (above_quantile())
            above = middle;
        else
            not_above = middle;
    }
    // A level within a few rounding errors of 1 leaves the computed
    // probabilities unable to order the points anywhere in the tail: no
    // point clears p, and the walk would retrace the whole search.  The
    // bracket found is then as good a grid point as any, and it is kept.
    const double clear_margin = 2.0 * probability_error_bound();
    if (1.0 - wv.p.value() <= 2.0 * clear_margin)
        return not_above;
    std::int64_t first = not_above;
    for (std::int64_t i = not_above - 1; i > 1; --i) {
        evaluate_point(path, i);
        const double excess = (wv.a - wv.p).value();
        if (excess > clear_margin)
            break;
        if (excess <= 0.0)
            first = i;
    }
    return first;
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

// For p near zero the cut can put the very first point at or below the
// quantile already.  The search then climbs, on the same grid, until the
// probability exceeds p, so that the quantile is bracketed by two evaluated
// points in that case too.  Returns the number of points.
std::int64_t climb_to_quantile()
{
    std::int64_t points = 1;
    do {
        wv.x_prev = wv.x;
        wv.a_prev = wv.a;
        step_up();
        ++points;
    } while (!above_quantile());
    wv.t = nearer_grid_point({wv.x_prev, wv.a_prev}, {wv.x, wv.a});
    return points;
}

// The quantile for three or more degrees of freedom.  The search starts at
// the two-degree quantile cut to two decimals, which lies above the wanted
// one because quantiles fall as the degrees of freedom rise, and steps down
// by the widened 0.001 until the probability no longer exceeds p.  Returns
// the number of points of that step-by-step search.
std::int64_t search_quantile()
{
    const checked_double start =
        detail::checked_trunc(checked_double(100.0) * two_degree_quantile()) / checked_double(100.0);
    wv.fm = checked_double(wv.m);
    wv.k = wv.m - 2;
    const detail::search_path path(start.value(), search_step);

    evaluate_point(path, 1);
    if (!above_quantile()) {
        return climb_to_quantile();
    }
    const std::int64_t last = first_point_not_above(path);
    evaluate_point(path, last - 1);
    const search_point upper{wv.x, wv.a};
    evaluate_point(path, last);
    wv.x_prev = upper.x;
    wv.a_prev = upper.a;
    wv.t = nearer_grid_point({wv.x, wv.a}, upper);
    return last;
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
