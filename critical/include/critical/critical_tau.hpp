#pragma once
// The critical value of the tau test.

#include <cstdint>
#include <optional>
#include <string_view>

namespace critical {

// Computes tau from the overall level alpha (rewritten to 0.05 when it is
// exactly 0), the number of observations and the degrees of freedom.  For
// degrees of freedom of 1 or less it writes the two warning records to the
// console and leaves tau unchanged.  Arithmetic failures raise a
// records::run_time_error of category MATH.
void critical_tau(double& alpha, std::int32_t& n_observations, std::int32_t& degrees_of_freedom,
                  double& tau);

// The floating-point environment of the worker thread that runs the dialogue:
// 53-bit doubles, rounding to nearest, exception flags cleared.
void set_worker_floating_point_environment();

}  // namespace critical

namespace critical {

// The quantile search calls the checkpoint now and then, so that a paused run
// can hold the worker thread between two steps.  nullptr: no checkpoint.
using checkpoint_function = void (*)();
void set_search_checkpoint(checkpoint_function checkpoint) noexcept;

}  // namespace critical

namespace critical {

// The text of the second warning record, written when the degrees of freedom
// are 1 or less (it says "= 1" for all of them).
inline constexpr std::string_view degrees_of_freedom_warning =
    "  =====> GRAU DE LIBERDADE = 1, TAU NAO SERA CALCULADO";

// What the computation behind critical_tau finds.
struct critical_value {
    double t = 0;                   // the Student t quantile, with its offset of 0.0005
    double tau = 0;                 // the critical tau value
    std::int64_t search_steps = 0;  // points of the quantile search; 0 for the closed forms
};

// The computation of critical_tau with its details, for the companion tool and
// the tests: the same arithmetic and the same failures, alpha rewritten in the
// same way.  Degrees of freedom of 1 or less give std::nullopt and write
// nothing (critical_tau writes the warning records in that case).
std::optional<critical_value> compute_critical_value(double& alpha, std::int32_t n_observations,
                                                     std::int32_t degrees_of_freedom);

}  // namespace critical
