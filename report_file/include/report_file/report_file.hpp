#pragma once
// The report file: its name derived from a 16-character base name, and the
// connection of the report unit to it.

#include <array>
#include <cstdint>
#include <string>
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

// The file name the report unit is connected to: report up to its first code 0,
// without leading and trailing blanks.  ".txt" + 12 codes 0 -> ".txt".
std::string report_file_path(const fixed_name& report);

// Connects the report unit to the file of that name, relative to the working
// directory; connect_report_unit after the name is taken from the fixed text.
// An empty name fails as an invalid name (6412).
void connect_report_file(std::string_view file_name);

// The error number of a failed open for the system error code (errno value):
// 6412 invalid name, 6414 access denied, 6415 already exists, 6416 not found,
// 6417 too many open files, 6400 any other cause.
std::int32_t open_error_number(int error);

// The program's start-up step: derives report_file_name from the program's
// base_name (never assigned, 16 codes 0) and connects the report unit to it.
void connect_program_report_file();

// The program's report_file_name as the last connect_program_report_file left it.
const fixed_name& program_report_file_name();

}  // namespace report_file
