// Conversion of a value text of a list-directed read into an integer or a double.

#include "records/console_port.hpp"
#include "records/read.hpp"
#include "records/run_time_error.hpp"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

namespace records {

namespace {

constexpr std::string_view read_statement = "READ(CON)";

[[noreturn]] void fail(int number, std::string_view description)
{
    raise_statement_error(number, read_statement, description);
}

// The value of a digit of a based integer: '7' -> 7, 'f' or 'F' -> 15, -1 for none.
int digit_value(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (std::isdigit(u))
        return c - '0';
    if (std::isalpha(u))
        return std::tolower(u) - 'a' + 10;
    return -1;
}

// Digits of a based integer after its "#", accumulated as an unsigned 32-bit
// number whose bit pattern is the result: "16#FFFFFFFF" -> -1, "2#101" -> 5.
std::int32_t based_digits(std::string_view text, std::uint32_t base)
{
    const std::uint64_t limit = base == 10 ? std::numeric_limits<std::int32_t>::max()
                                           : std::numeric_limits<std::uint32_t>::max();
    std::uint64_t v = 0;
    for (char c : text) {
        if (c == end_of_file_character)
            break;
        if (c == '#')
            fail(6302, "a second # in a based integer");
        const int d = digit_value(c);
        if (d < 0 || static_cast<std::uint32_t>(d) >= base)
            fail(6101, "invalid character in integer value");
        v = v * base + static_cast<std::uint32_t>(d);
        if (v > limit)
            fail(6100, "integer value out of range");
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

// integer := "-2147483648" | [sign] digits [ "#" based_digits ] ;
// "12" -> 12, "+12" -> 12, "-" -> 0, "#ff" -> 255, "0#10" -> 16.
std::int32_t convert_integer(std::string_view text)
{
    if (text == "-2147483648")
        return std::numeric_limits<std::int32_t>::min();
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int32_t v = 0;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == end_of_file_character)
            return negative ? -v : v;
        if (c == '#') {
            // The digits so far are the base; none or 0 means hexadecimal.
            const std::int32_t base = v == 0 ? 16 : v;
            if (base < 2 || base > 36)
                fail(6303, "base of a based integer outside 2..36");
            const std::int32_t based = based_digits(text.substr(i + 1), static_cast<std::uint32_t>(base));
            return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(based)) : based;
        }
        if (!std::isdigit(static_cast<unsigned char>(c)))
            fail(6101, "invalid character in integer value");
        // 214748364 is the largest value that can take one more digit.
        if (v > 214748364 || (v == 214748364 && c - '0' > 7))
            fail(6100, "integer value out of range");
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

namespace {

// Length of the run of decimal digits at text[at].
std::size_t digit_run(std::string_view text, std::size_t at)
{
    std::size_t n = 0;
    while (at + n < text.size() && std::isdigit(static_cast<unsigned char>(text[at + n])))
        ++n;
    return n;
}

// The text in the form std::from_chars reads, or an empty string when the
// text is not a number:
// real := [sign] (digits ["." digits] | "." digits) [exponent]
// exponent := ("E"|"e"|"D"|"d") [sign] digits | sign digits
// "5d-2" -> "5e-2", "5-2" -> "5e-2", "+.05" -> ".05", "5e" -> "".
std::string normalised_real(std::string_view text)
{
    std::string out;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            out.push_back('-');
        ++i;
    }
    const std::size_t whole = digit_run(text, i);
    out.append(text.substr(i, whole));
    i += whole;
    std::size_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        fraction = digit_run(text, i + 1);
        out.append(text.substr(i, fraction + 1));
        i += fraction + 1;
    }
    if (whole + fraction == 0)
        return {};
    if (i == text.size())
        return out;
    const char marker = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    if (marker == 'e' || marker == 'd')
        ++i;
    else if (marker != '+' && marker != '-')
        return {};
    out.push_back('e');
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        out.push_back(text[i++]);
    const std::size_t exponent = digit_run(text, i);
    if (exponent == 0 || i + exponent != text.size())
        return {};
    out.append(text.substr(i, exponent));
    return out;
}

// Whether the digits of a normalised real that overflowed from_chars stand
// for a huge value rather than a tiny one: the decimal exponent of its first
// significant digit is positive.
bool is_huge(std::string_view real)
{
    const auto e = real.find('e');
    const std::string_view mantissa = real.substr(0, e);
    long long scale = 0;
    if (e != std::string_view::npos) {
        std::string_view exponent = real.substr(e + 1);
        const bool negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-'))
            exponent.remove_prefix(1);
        // Exponents beyond any double's reach only need their sign and size.
        for (char c : exponent.substr(0, 12))
            scale = scale * 10 + (c - '0');
        if (exponent.size() > 12)
            scale = 1'000'000'000'000;
        if (negative)
            scale = -scale;
    }
    const auto point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t first = mantissa.find_first_of("123456789");
    const long long position = first < whole.size() ? static_cast<long long>(whole.size() - first)
                                                    : -static_cast<long long>(first - whole.size() - 1);
    return scale + position > 0;
}

}  // namespace

double convert_double(std::string_view text)
{
    const std::string real = normalised_real(text);
    if (real.empty())
        fail(6103, "invalid real value");
    double v = 0;
    const char* begin = real.data();
    const char* end = begin + real.size();
    const auto result = std::from_chars(begin, end, v);
    if (result.ec == std::errc::result_out_of_range) {
        if (is_huge(real))
            fail(6102, "real value out of range");
        // Below the smallest subnormal: the value is zero, without failure.
        return real.front() == '-' ? -0.0 : 0.0;
    }
    if (result.ec != std::errc() || result.ptr != end)
        fail(6103, "invalid real value");
    return v;
}

}  // namespace records
