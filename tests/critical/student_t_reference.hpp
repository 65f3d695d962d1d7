#pragma once
// An independent view of the Student t distribution for the tests: the
// two-sided probability by numerical integration of the density, and its
// quantile by bisection.  Slow and plain, but it shares nothing with the
// series of the library, so a wrong series term or a wrong bracket shows.

#include <cmath>

namespace critical_test {

// Density of Student's t with m degrees of freedom, times the constant
// factor Gamma((m + 1) / 2) / (sqrt(m pi) Gamma(m / 2)) left out.
inline long double unscaled_density(long double u, int m)
{
    const long double fm = m;
    return std::exp(-(fm + 1) / 2 * std::log1p(u * u / fm));
}

inline long double density_factor(int m)
{
    const long double fm = m;
    return std::exp(std::lgamma((fm + 1) / 2) - std::lgamma(fm / 2) -
                    0.5L * std::log(fm * 3.14159265358979323846264338327950288L));
}

// P(|T| <= x) = 2 times the integral of the density from 0 to x, by
// composite Simpson's rule (the density is smooth, 4000 panels are ample
// for the quantiles below 20 that the tests use).
inline long double two_sided_probability(long double x, int m)
{
    constexpr int panels = 4000;
    const long double h = x / panels;
    long double sum = unscaled_density(0, m) + unscaled_density(x, m);
    for (int i = 1; i < panels; ++i) {
        sum += (i % 2 != 0 ? 4 : 2) * unscaled_density(i * h, m);
    }
    return 2 * density_factor(m) * sum * h / 3;
}

// The x with P(|T| <= x) = p, for 0 <= p and quantiles below 'upper'.
inline long double two_sided_quantile(long double p, int m, long double upper = 20)
{
    long double low = 0;
    long double high = upper;
    for (int i = 0; i < 60; ++i) {
        const long double middle = (low + high) / 2;
        if (two_sided_probability(middle, m) < p) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return (low + high) / 2;
}

}  // namespace critical_test
