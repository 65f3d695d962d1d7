#include "checked_double.hpp"

#include "records/run_time_error.hpp"

#include <cmath>
#include <string>
#include <string_view>

namespace critical::detail {

namespace {

// Error numbers of the MATH category.
constexpr int invalid_operation_error = 6101;
constexpr int division_by_zero_error = 6103;
constexpr int overflow_error = 6104;
constexpr int domain_error = 6201;
constexpr int singularity_error = 6202;

[[noreturn]] void raise_function_error(int number, std::string_view function, std::string_view kind)
{
    std::string description(function);
    description += ": ";
    description += kind;
    description += " error";
    records::raise_math_error(number, description);
}

[[noreturn]] void raise_domain_error(std::string_view function)
{
    raise_function_error(domain_error, function, "DOMAIN");
}

void reject_nan(const checked_double& x, std::string_view function)
{
    if (std::isnan(x.value())) {
        raise_domain_error(function);
    }
}

}  // namespace

void raise_trapped_exception(int flags)
{
    clear_floating_point_flags();
    if ((flags & FE_INVALID) != 0) {
        records::raise_math_error(invalid_operation_error, "floating-point error: invalid");
    }
    if ((flags & FE_DIVBYZERO) != 0) {
        records::raise_math_error(division_by_zero_error, "floating-point error: divide by zero");
    }
    records::raise_math_error(overflow_error, "floating-point error: overflow");
}

checked_double checked_sqrt(const checked_double& x)
{
    reject_nan(x, "sqrt");
    // isless: a quiet comparison, so the test itself raises no flag
    if (std::isless(x.value(), 0.0)) {
        raise_domain_error("sqrt");
    }
    return checked_result(std::sqrt(x.value()));
}

checked_double checked_pow(const checked_double& base, const checked_double& exponent)
{
    reject_nan(base, "pow");
    reject_nan(exponent, "pow");
    const double b = base.value();
    const double e = exponent.value();
    const bool integral_exponent = std::isfinite(e) && std::trunc(e) == e;
    if (std::isless(b, 0.0) && !integral_exponent) {
        raise_domain_error("pow");
    }
    if (b == 0.0 && std::isless(e, 0.0)) {
        raise_function_error(singularity_error, "pow", "SING");
    }
    return checked_result(std::pow(b, e));
}

checked_double checked_atan(const checked_double& x)
{
    reject_nan(x, "atan");
    return checked_result(std::atan(x.value()));
}

checked_double checked_tan(const checked_double& x)
{
    reject_nan(x, "tan");
    if (std::isinf(x.value())) {
        raise_domain_error("tan");
    }
    return checked_result(std::tan(x.value()));
}

checked_double checked_trunc(const checked_double& x)
{
    return checked_result(std::trunc(x.value()));
}

}  // namespace critical::detail
