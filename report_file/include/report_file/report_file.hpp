#pragma once
// The report file: its name derived from a 16-character base name, and the
// connection of the report unit to it.

#include <array>
#include <cstdint>
#include <string_view>

namespace report_file {

// A fixed-length name of 16 single-byte characters; code 0 is an ordinary character.
using fixed_name = std::array<char, 16>;

// The 1-based position of the last character with a code from 33 to 126, 0 when there is none.
std::int32_t last_significant_position(std::string_view text);

// base "dados" + 11 blanks -> "dados.txt" + 7 blanks; base of 16 codes 0 -> ".txt" + 12 codes 0.
void derive_report_file_name(const fixed_name& base, fixed_name& report);

// Connects the report unit to the file named by report (opened if it exists,
// created empty otherwise, never written).  A failure raises
// records::run_time_error "F<number>: OPEN(...".
void connect_report_unit(const fixed_name& report);

}  // namespace report_file
