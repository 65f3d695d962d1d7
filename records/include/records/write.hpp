#pragma once
// Write statements: formatted (a format description and its values) and
// list-directed (text values only).  Both hold the console lock for the whole
// statement and show each record as soon as it ends.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace records {

// One value of a write statement, in the order the fields take them.
using value = std::variant<double, std::int32_t, std::string_view>;

void write_formatted(std::int32_t unit, std::string_view format,
                     std::initializer_list<value> values = {});
void write_list_directed(std::int32_t unit, std::initializer_list<std::string_view> texts = {});

// The number of fields of a format; throws std::logic_error for a format that
// does not follow the format grammar.
int count_format_fields(std::string_view format);

// Field texts, exposed for the tests and the tools.
std::string real_field_text(double v, int width, int decimals);   // Fw.d
std::string integer_field_text(std::int32_t v, int width);        // Iw

}  // namespace records
