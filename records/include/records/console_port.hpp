#pragma once
// The records reach the user through this small interface: the Qt window and
// the terminal front end both implement it, the records know nothing of either.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace records {

// Ctrl+Z: a typed line whose last character is this ends the input.
inline constexpr char end_of_file_character = 26;

class console_port {
public:
    virtual ~console_port() = default;

    // Draws the cp1252 bytes at the cursor: "\r" returns to column 1, "\n"
    // moves to the next row, long runs wrap.  An empty text draws one blank.
    // Returns the length written, or -1 when there is no console.
    virtual int write_console_text(std::string_view text) = 0;

    // Waits for one typed line of at most max_length cp1252 bytes, without
    // its Enter; std::nullopt when no line can be supplied at all.
    virtual std::optional<std::string> read_console_line(int max_length) = 0;
};

}  // namespace records
