#include "records/run_time_error.hpp"

#include <cstdio>

namespace records {

namespace {

// The report always shows four digits after the letter: 6101 -> "F6101".
std::string lettered_number(char letter, int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%c%04d", letter, number);
    return text;
}

}  // namespace

run_time_error::run_time_error(int number, std::string text)
    : std::runtime_error(text), number_(number), text_(std::move(text))
{
}

void raise_statement_error(int number, std::string_view statement, std::string_view description)
{
    std::string text = lettered_number('F', number);
    text.append(": ").append(statement).append(" - ").append(description);
    throw run_time_error(number, std::move(text));
}

void raise_math_error(int number, std::string_view description)
{
    std::string text = lettered_number('M', number);
    text.append(": MATH\r\n- ").append(description);
    throw run_time_error(number, std::move(text));
}

}  // namespace records
