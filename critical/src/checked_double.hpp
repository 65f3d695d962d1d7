#pragma once
// Double arithmetic that stops at the first invalid operation, division by
// zero or overflow, as a trapping floating-point unit would.  Hardware traps
// end in a signal that cannot be unwound through C++ frames, so each
// operation instead tests the sticky exception flags right after it computes
// (they are cleared when the computation starts); the first operation that raises one of the three ends
// the run with its MATH report.
//
// Every operand is read from, and every result written to, volatile storage.
// The compiler therefore cannot move an operation across the flag test of
// its neighbours, so the flag is seen exactly after the operation that set
// it.  The library is also compiled with -frounding-math -ffp-contract=off:
// no constant folding under an assumed rounding mode, no fused multiply-add.

#include <cfenv>
#include <cstdint>

namespace critical::detail {

// The exceptions whose traps the worker thread enables.
inline constexpr int trapped_exceptions = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Raises the MATH error of the first trapped exception among the flags
// (invalid, then division by zero, then overflow) and clears them.
[[noreturn]] void raise_trapped_exception(int flags);

inline void check_floating_point_flags()
{
    const int flags = std::fetestexcept(trapped_exceptions);
    if (flags != 0) {
        raise_trapped_exception(flags);
    }
}

inline void clear_floating_point_flags()
{
    std::feclearexcept(trapped_exceptions);
}

class checked_double {
public:
    checked_double() = default;
    // Implicit, so that the constants of the computation read naturally.
    checked_double(double value) noexcept { store(value); }  // NOLINT(google-explicit-constructor)
    explicit checked_double(std::int32_t value) noexcept { store(static_cast<double>(value)); }

    checked_double(const checked_double& other) noexcept { store(other.value()); }
    checked_double& operator=(const checked_double& other) noexcept
    {
        store(other.value());
        return *this;
    }

    double value() const noexcept { return value_; }

private:
    void store(double value) noexcept { value_ = value; }

    volatile double value_ = 0.0;
};

// Stores the result of one operation, then tests the flags it may have set.
inline checked_double checked_result(double result)
{
    const checked_double stored(result);
    check_floating_point_flags();
    return stored;
}

inline checked_double operator+(const checked_double& a, const checked_double& b)
{
    return checked_result(a.value() + b.value());
}

inline checked_double operator-(const checked_double& a, const checked_double& b)
{
    return checked_result(a.value() - b.value());
}

inline checked_double operator*(const checked_double& a, const checked_double& b)
{
    return checked_result(a.value() * b.value());
}

inline checked_double operator/(const checked_double& a, const checked_double& b)
{
    return checked_result(a.value() / b.value());
}

// The mathematical functions check their argument before the call, as the
// functions of the run-time library report their own domain errors:
//   sqrt: a negative argument;
//   pow:  a negative base with an exponent that is not an integer (DOMAIN),
//         a zero base with a negative exponent (a pole: SING);
//   tan:  an infinite argument;
//   every function: a NaN argument (DOMAIN).
// An overflow inside a function is reported like the arithmetic's overflow.
checked_double checked_sqrt(const checked_double& x);
checked_double checked_pow(const checked_double& base, const checked_double& exponent);
checked_double checked_atan(const checked_double& x);
checked_double checked_tan(const checked_double& x);
// Truncation toward zero; it cannot fail.
checked_double checked_trunc(const checked_double& x);

}  // namespace critical::detail
