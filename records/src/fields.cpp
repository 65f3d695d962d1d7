// Field texts of the formatted writes: Fw.d and Iw.

#include "records/write.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace records {

namespace {

// Significant digits kept of a double before the field's own rounding.
constexpr int significant_digits = 17;
// Digits the field's rounding may keep at most.
constexpr int field_digits = 16;

struct decimal_digits {
    std::string digits;  // significant digits, no leading zero ("0" for zero)
    int exponent = 0;    // value = 0.d1d2... x 10^exponent
    bool negative = false;
};

// Adds one unit in the last place of a digit string; returns true on a carry
// out of the first digit ("999" -> "000", true).
bool increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

// The exact decimal expansion of a finite double, rounded half up to 17
// significant digits: 0.05 -> "50000000000000000", exponent -1.
decimal_digits seventeen_digits(double v)
{
    decimal_digits out;
    out.negative = std::signbit(v);
    if (v == 0) {
        out.digits = "0";
        return out;
    }
    // 767 digits after the first hold the exact value of any double.
    char text[800];
    const auto result = std::to_chars(text, text + sizeof text, std::fabs(v),
                                      std::chars_format::scientific, 767);
    const std::string_view s(text, static_cast<std::size_t>(result.ptr - text));
    const auto e_pos = s.find('e');
    std::string all;
    all.push_back(s[0]);
    all.append(s.substr(2, e_pos - 2));
    out.exponent = std::atoi(std::string(s.substr(e_pos + 1)).c_str()) + 1;
    out.digits = all.substr(0, significant_digits);
    if (all[significant_digits] >= '5' && increment(out.digits)) {
        out.digits.insert(out.digits.begin(), '1');
        out.digits.pop_back();
        ++out.exponent;
    }
    return out;
}

// The texts shown for a value that is not a finite number.
std::string special_text(double v)
{
    if (std::isinf(v))
        return "1#INF";
    const auto bits = std::bit_cast<std::uint64_t>(v);
    constexpr std::uint64_t quiet_bit = 0x0008000000000000u;
    if (bits == 0xFFF8000000000000u)  // the negative quiet NaN with only its top fraction bit set
        return "1#IND";
    return (bits & quiet_bit) ? "1#QNAN" : "1#SNAN";
}

std::string fit(std::string text, int width)
{
    if (static_cast<int>(text.size()) > width)
        return std::string(static_cast<std::size_t>(width), '*');
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string fixed_text(double v, int decimals)
{
    decimal_digits value = seventeen_digits(v);
    int k = value.digits == "0" ? 0 : value.exponent;
    int n = k + decimals;
    // No digit reaches the field: 1e-9 in F6.2 -> ".00", without sign.
    if (k < -decimals)
        return "." + std::string(static_cast<std::size_t>(decimals), '0');

    // Keep min(n, 16) digits, rounding half up on the first dropped one:
    // 9.996 in F6.2 keeps "999", drops "6" -> "1000", k 2 -> "10.00".
    const int keep = std::min(n, field_digits);
    std::string digits = value.digits.substr(0, static_cast<std::size_t>(std::max(keep, 0)));
    const std::size_t dropped = static_cast<std::size_t>(keep);
    if (dropped < value.digits.size() && value.digits[dropped] >= '5') {
        if (digits.empty()) {
            // 0.0005 in F4.3: nothing kept, "5" dropped -> ".001".
            digits = "1";
            ++k;
            ++n;
        } else if (increment(digits)) {
            digits.insert(digits.begin(), '1');
            ++k;
            ++n;
        }
    }
    const bool all_zero = digits.find_first_not_of('0') == std::string::npos;
    const bool negative = value.negative && !all_zero;  // -0.004 in F6.2 -> ".00"

    auto digit = [&](int i) { return i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0'; };
    std::string text;
    if (negative)
        text.push_back('-');
    int next = 0;
    for (; next < k; ++next)
        text.push_back(digit(next));
    if (k == 0 && n == 0)
        text.push_back('0');
    text.push_back('.');
    if (k < 0)
        text.append(static_cast<std::size_t>(-k), '0');
    const int remaining = k > 0 ? n - k : n;
    for (int i = 0; i < remaining; ++i)
        text.push_back(digit(next + i));
    return text;
}

}  // namespace

std::string real_field_text(double v, int width, int decimals)
{
    if (!std::isfinite(v)) {
        // Infinity in F6.2 -> "1#INF.", cut or filled with "." to the width.
        std::string text = special_text(v);
        text.resize(static_cast<std::size_t>(width), '.');
        return text;
    }
    return fit(fixed_text(v, decimals), width);
}

std::string integer_field_text(std::int32_t v, int width)
{
    // -5 in I4 -> "  -5"; 12345 in I4 -> "****".
    return fit(std::to_string(v), width);
}

}  // namespace records
