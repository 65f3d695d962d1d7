#pragma once
// The critical value of the tau test.

#include <cstdint>

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
