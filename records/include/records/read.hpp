#pragma once
// List-directed read statements of one item from the console unit.  A failure
// raises a run_time_error ("F<number>: READ(CON) - ...").

#include <cstdint>
#include <string_view>

namespace records {

void read_double(double& target);
void read_integer(std::int32_t& target);

// Conversions of a plain value text, exposed for the tests.
double convert_double(std::string_view text);
std::int32_t convert_integer(std::string_view text);

}  // namespace records
