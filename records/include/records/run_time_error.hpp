#pragma once
// A failed statement or operation ends the run.  The failing code throws a
// run_time_error; the dialogue catches it at the top of the run and shows it in
// the run-time error report before the end-of-run handling.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace records {

class run_time_error : public std::runtime_error {
public:
    // text is the whole report text, e.g. "F6101: READ(CON) - invalid integer".
    run_time_error(int number, std::string text);

    int number() const noexcept { return number_; }
    const std::string& report_text() const noexcept { return text_; }

private:
    int number_;
    std::string text_;
};

// "F<number>: <statement> - <description>", e.g. statement "READ(CON)".
[[noreturn]] void raise_statement_error(int number, std::string_view statement,
                                        std::string_view description);

// "M<number>: MATH\r\n- <description>", e.g. description "floating-point error: invalid".
[[noreturn]] void raise_math_error(int number, std::string_view description);

}  // namespace records
