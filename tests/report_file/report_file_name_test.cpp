// The report file name: significant positions, the ".txt" suffix, the name
// taken out of the fixed text, and the error numbers of a failed open.

#include "report_file/report_file.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using namespace std::literals;
using report_file::fixed_name;

// text followed by fill up to 16 characters.
fixed_name fixed(std::string_view text, char fill) {
    fixed_name name;
    name.fill(fill);
    text.copy(name.data(), name.size());
    return name;
}

std::string shown(const fixed_name& name) {
    std::string text;
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 33 && code <= 126) {
            text += c;
        } else {
            text += "<" + std::to_string(code) + ">";
        }
    }
    return text;
}

struct position_case {
    std::string_view text;
    std::int32_t expected;
};

// Test names show the bytes as escapes: the texts hold codes 0 and above 127.
std::string escaped(std::string_view text)
{
    std::ostringstream out;
    for (unsigned char c : text) {
        if (c >= 33 && c <= 126)
            out << c;
        else
            out << "\\x" << std::hex << static_cast<int>(c) << std::dec;
    }
    return out.str();
}

void PrintTo(const position_case& c, std::ostream* os) { *os << escaped(c.text); }

class last_significant_position_test : public ::testing::TestWithParam<position_case> {};

TEST_P(last_significant_position_test, finds_the_last_code_from_33_to_126) {
    const auto& [text, expected] = GetParam();
    EXPECT_EQ(report_file::last_significant_position(text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    texts, last_significant_position_test,
    ::testing::Values(position_case{""sv, 0}, position_case{"    "sv, 0},
                      position_case{"\0\0\0\0"sv, 0},
                      position_case{"\x01\x1f \x7f"sv, 0},                 // controls, blank, 127
                      position_case{"\x80\xe9\xff\xa0 "sv, 0},             // codes of 128 and more
                      position_case{"abc!"sv, 4}, position_case{"abc~"sv, 4},
                      position_case{"!"sv, 1}, position_case{"~"sv, 1},
                      position_case{"ab\x7f"sv, 2},                         // trailing 127 skipped
                      position_case{"ab \0\0"sv, 2}, position_case{"a\xe9"sv, 1},
                      position_case{" \0!\0 "sv, 3},
                      position_case{"dados           "sv, 5},
                      position_case{"abcdefghijklmnop"sv, 16}));

struct derivation_case {
    fixed_name base;
    std::int32_t last;         // last_significant_position of the base, before any cap
    fixed_name report;
    std::string_view file_name;
};

void PrintTo(const derivation_case& row, std::ostream* out) { *out << shown(row.base); }

class derive_report_file_name_test : public ::testing::TestWithParam<derivation_case> {};

TEST_P(derive_report_file_name_test, places_the_suffix) {
    const auto& row = GetParam();
    fixed_name report = fixed("garbage-garbage!", '?');  // every position must be written
    report_file::derive_report_file_name(row.base, report);
    EXPECT_EQ(report_file::last_significant_position({row.base.data(), row.base.size()}), row.last);
    EXPECT_EQ(shown(report), shown(row.report));
    EXPECT_EQ(report_file::report_file_path(report), row.file_name);
}

INSTANTIATE_TEST_SUITE_P(
    bases, derive_report_file_name_test,
    ::testing::Values(
        // the program's own base name
        derivation_case{fixed("", '\0'), 0, fixed(".txt", '\0'), ".txt"},
        derivation_case{fixed("", ' '), 0, fixed(".txt", ' '), ".txt"},
        derivation_case{fixed("dados", ' '), 5, fixed("dados.txt", ' '), "dados.txt"},
        derivation_case{fixed("abc", '\0'), 3, fixed("abc.txt", '\0'), "abc.txt"},
        derivation_case{fixed("dados.xyz", ' '), 9, fixed("dados.txt", ' '), "dados.txt"},
        derivation_case{fixed("a.b.c", ' '), 5, fixed("a.txt", ' '), "a.txt"},  // first dot wins
        derivation_case{fixed(".abc", ' '), 4, fixed(".txt", ' '), ".txt"},
        derivation_case{fixed("abcdefghijklmnop", ' '), 16, fixed("abcdefghijkl.txt", ' '),
                        "abcdefghijkl.txt"},
        derivation_case{fixed("abcdefghijklm", ' '), 13, fixed("abcdefghijkl.txt", ' '),
                        "abcdefghijkl.txt"},
        derivation_case{fixed("abcdefghijkl", ' '), 12, fixed("abcdefghijkl.txt", ' '),
                        "abcdefghijkl.txt"},
        derivation_case{fixed("abcdefghijklmn.x", ' '), 16, fixed("abcdefghijkl.txt", ' '),
                        "abcdefghijkl.txt"},
        derivation_case{fixed("abcdefghijkl.mn", ' '), 15, fixed("abcdefghijkl.txt", ' '),
                        "abcdefghijkl.txt"},
        derivation_case{fixed("abcdefghijklmno.", ' '), 16, fixed("abcdefghijkl.txt", ' '),
                        "abcdefghijkl.txt"},
        derivation_case{fixed("caf\xe9", ' '), 3, fixed("caf.txt", ' '), "caf.txt"},
        // without a dot the copy behind the suffix stays, whatever it holds
        derivation_case{fixed("ab", '\xff'), 2, fixed("ab.txt", '\xff'), "ab.txt\xff\xff\xff\xff"
                                                                         "\xff\xff\xff\xff\xff\xff"},
        derivation_case{fixed("ab\x7f", ' '), 2, fixed("ab.txt", ' '), "ab.txt"},
        derivation_case{fixed("ab!", ' '), 3, fixed("ab!.txt", ' '), "ab!.txt"},
        derivation_case{fixed("ab~", ' '), 3, fixed("ab~.txt", ' '), "ab~.txt"},
        derivation_case{fixed("  ab", ' '), 4, fixed("  ab.txt", ' '), "ab.txt"},
        // with a dot everything behind the suffix becomes blank, codes 0 too
        derivation_case{fixed("x.y", '\0'), 3, fixed("x.txt", ' '), "x.txt"},
        // a leading code 0 ends the name before anything significant
        derivation_case{fixed("\0abc"sv, '\0'), 4, fixed("\0abc.txt"sv, '\0'), ""},
        derivation_case{fixed("\0abc.d"sv, '\0'), 6, fixed("\0abc.txt"sv, ' '), ""}));

struct path_case {
    fixed_name report;
    std::string_view file_name;
};

void PrintTo(const path_case& c, std::ostream* os) { *os << escaped({c.report.data(), c.report.size()}); }

class report_file_path_test : public ::testing::TestWithParam<path_case> {};

TEST_P(report_file_path_test, stops_at_code_0_and_trims_blanks) {
    EXPECT_EQ(report_file::report_file_path(GetParam().report), GetParam().file_name);
}

INSTANTIATE_TEST_SUITE_P(
    names, report_file_path_test,
    ::testing::Values(path_case{fixed(".txt", '\0'), ".txt"}, path_case{fixed(" .txt ", ' '), ".txt"},
                      path_case{fixed("a b.txt", ' '), "a b.txt"},        // inner blank kept
                      path_case{fixed("a.txt\0zz"sv, ' '), "a.txt"},
                      path_case{fixed("\ta.txt", ' '), "\ta.txt"},        // only code 32 is trimmed
                      path_case{fixed("0123456789abcdef", ' '), "0123456789abcdef"},
                      path_case{fixed("", ' '), ""}, path_case{fixed("", '\0'), ""}));

struct error_case {
    int error;
    std::int32_t number;
};

void PrintTo(const error_case& c, std::ostream* os) { *os << "errno " << c.error; }

class open_error_number_test : public ::testing::TestWithParam<error_case> {};

TEST_P(open_error_number_test, tells_the_causes_apart) {
    EXPECT_EQ(report_file::open_error_number(GetParam().error), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    causes, open_error_number_test,
    ::testing::Values(error_case{ENAMETOOLONG, 6412}, error_case{EINVAL, 6412},
                      error_case{EACCES, 6414}, error_case{EPERM, 6414}, error_case{EISDIR, 6414},
                      error_case{EROFS, 6414}, error_case{ETXTBSY, 6414},
                      error_case{EWOULDBLOCK, 6414}, error_case{EEXIST, 6415},
                      error_case{ENOENT, 6416}, error_case{ENOTDIR, 6416},
                      error_case{EMFILE, 6417}, error_case{ENFILE, 6417},
                      error_case{ENOSPC, 6400}, error_case{EIO, 6400}, error_case{ELOOP, 6400}));

}  // namespace
