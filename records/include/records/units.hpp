#pragma once
// Unit numbers name where a record goes.  Unit 0 and the console unit share the
// console connection; any unit may be given an explicit connection to a file,
// which is looked up first (the report file uses unit 6).

#include <cstdint>
#include <memory>
#include <string_view>

namespace records {

// The list-directed console unit, written "*" in the program's statements.
inline constexpr std::int32_t console_unit = -1;
inline constexpr std::int32_t report_unit = 6;

class explicit_connection {
public:
    virtual ~explicit_connection() = default;
    // Writes the text of one record (carriage control already taken off).
    virtual void write_record(std::string_view text) = 0;
};

// Registers an explicit connection for the unit, replacing an older one.
void connect_unit(std::int32_t unit, std::unique_ptr<explicit_connection> connection);
// The explicit connection of the unit, nullptr when the unit has none.
explicit_connection* find_explicit_connection(std::int32_t unit);
// Closes every explicit connection (end of the run), keeping their files.
void close_all_units();

}  // namespace records
