// The report file name: a ".txt" suffix placed into a 16-character base name.

#include "report_file/report_file.hpp"

#include <algorithm>
#include <cstddef>

namespace report_file {
namespace {

constexpr std::string_view suffix = ".txt";
constexpr auto name_length = static_cast<std::int32_t>(std::tuple_size_v<fixed_name>);
// Without a dot the suffix follows the last significant character, so that
// character may sit at 16 - 4 = 12 at the latest.
constexpr std::int32_t last_position_cap = name_length - static_cast<std::int32_t>(suffix.size());
// With a dot the suffix starts on the dot itself, at 16 - 4 + 1 = 13 at the latest.
constexpr std::int32_t dot_position_cap = last_position_cap + 1;

// Printable ASCII without the blank: "!" (33) to "~" (126).
bool is_significant(unsigned char code) { return code >= 33 && code <= 126; }

// 1-based position of the first "." among all 16 characters, 0 when there is none.
// "a.b.c" -> 2; ".abc" -> 1; "dados" -> 0.
std::int32_t first_dot_position(const fixed_name& name) {
    const auto dot = std::find(name.begin(), name.end(), '.');
    return dot == name.end() ? 0 : static_cast<std::int32_t>(dot - name.begin()) + 1;
}

// Writes ".txt" into positions first to first + 3 (1-based); the caps keep
// first at 13 or below, so the suffix always fits.
void write_suffix(fixed_name& name, std::int32_t first) {
    std::copy(suffix.begin(), suffix.end(), name.begin() + (first - 1));
}

}  // namespace

// "abc  " -> 3; "ab!" -> 3; "ab~\x7f" -> 3 (127 is not significant);
// "caf\xe9" -> 3 (codes above 127 are not significant); "" and blanks only -> 0.
std::int32_t last_significant_position(std::string_view text) {
    for (std::size_t position = text.size(); position > 0; --position) {
        if (is_significant(static_cast<unsigned char>(text[position - 1]))) {
            return static_cast<std::int32_t>(position);
        }
    }
    return 0;
}

// Without a dot the suffix goes right after the last significant character and
// the rest of the copy stays as it was:
//   "dados" + 11 blanks    -> L 5          -> "dados.txt" + 7 blanks
//   "abc" + 13 codes 0     -> L 3          -> "abc.txt" + 9 codes 0
//   "abcdefghijklmnop"     -> L 16, cap 12 -> "abcdefghijkl.txt"
//   16 codes 0             -> L 0          -> ".txt" + 12 codes 0
// With a dot the suffix replaces the first dot and everything after it is blank:
//   "dados.xyz" + 7 blanks -> D 6          -> "dados.txt" + 7 blanks
//   "a.b.c" + 11 blanks    -> D 2          -> "a.txt" + 11 blanks
//   "abcdefghijklmn.x"     -> D 15, cap 13 -> "abcdefghijkl.txt"
void derive_report_file_name(const fixed_name& base, fixed_name& report) {
    report = base;
    const std::int32_t dot = first_dot_position(base);
    if (dot == 0) {
        const std::int32_t last =
            std::min(last_significant_position({base.data(), base.size()}), last_position_cap);
        write_suffix(report, last + 1);
        return;
    }
    const std::int32_t suffix_start = std::min(dot, dot_position_cap);
    std::fill(report.begin() + (suffix_start - 1), report.end(), ' ');
    write_suffix(report, suffix_start);
}

// ".txt" + 12 codes 0 -> ".txt"; "  a.txt" + 9 blanks -> "a.txt";
// "\0abc.txt" + 8 codes 0 -> "" (the name ends at the first code 0).
std::string report_file_path(const fixed_name& report) {
    const std::string_view whole{report.data(), report.size()};
    std::string_view name = whole.substr(0, whole.find('\0'));
    const auto first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    return std::string{name};
}

}  // namespace report_file
