#include "records/console_connection.hpp"
#include "records/read.hpp"
#include "records/units.hpp"
#include "records/run_time_error.hpp"
#include "records/write.hpp"
#include "support/fake_console.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using testing_support::fake_console;

// One answer: the lines typed for it and either the value read or the
// failure number.  A start value shows that null values keep the target.
struct answer_case {
    std::vector<std::string> lines;
    double expected;
    int failure;  // 0: no failure
};

std::string describe(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += "[" + l + "]";
    return out;
}

void PrintTo(const answer_case& c, std::ostream* os) { *os << describe(c.lines); }

constexpr double start_value = -7.5;

class alpha_answer : public ::testing::TestWithParam<answer_case> {};

TEST_P(alpha_answer, reads_the_value_or_fails_with_its_number)
{
    const auto& c = GetParam();
    fake_console console;
    console.typed.assign(c.lines.begin(), c.lines.end());
    double alpha = start_value;
    try {
        records::read_double(alpha);
        EXPECT_EQ(c.failure, 0) << describe(c.lines) << " was accepted";
        EXPECT_EQ(alpha, c.expected) << describe(c.lines);
    } catch (const records::run_time_error& e) {
        EXPECT_EQ(e.number(), c.failure) << describe(c.lines) << ": " << e.report_text();
        EXPECT_EQ(e.report_text().rfind("F" + std::to_string(c.failure) + ": READ(CON) - ", 0), 0u);
        EXPECT_EQ(alpha, start_value);
    }
}

const std::string eof(1, '\x1a');

INSTANTIATE_TEST_SUITE_P(
    typed_lines, alpha_answer,
    ::testing::Values(
        answer_case{{"0.05"}, 0.05, 0}, answer_case{{"  0.05   outro texto"}, 0.05, 0},
        answer_case{{".05"}, 0.05, 0}, answer_case{{"5.e-2"}, 0.05, 0},
        answer_case{{"5e-2"}, 0.05, 0}, answer_case{{"5E-2"}, 0.05, 0},
        answer_case{{"5d-2"}, 0.05, 0}, answer_case{{"5D-2"}, 0.05, 0},
        answer_case{{"+0.05"}, 0.05, 0}, answer_case{{"5-2"}, 0.05, 0},
        answer_case{{"5+1"}, 50.0, 0}, answer_case{{"-0.05"}, -0.05, 0},
        answer_case{{"5q-2"}, 0, 6103}, answer_case{{"5e"}, 0, 6103},
        answer_case{{"0.05x"}, 0, 6103}, answer_case{{"abc"}, 0, 6103},
        answer_case{{"+"}, 0, 6103}, answer_case{{"."}, 0, 6103},
        answer_case{{"0.0.5"}, 0, 6103}, answer_case{{"0,05"}, 0.0, 0},
        answer_case{{"0,01"}, 0.0, 0}, answer_case{{"", "   ", "\t", "0.05"}, 0.05, 0},
        answer_case{{","}, start_value, 0}, answer_case{{",0.05"}, start_value, 0},
        answer_case{{"/"}, start_value, 0}, answer_case{{"  , 0.05"}, start_value, 0},
        answer_case{{"3*0.05"}, 0.05, 0}, answer_case{{"0*5"}, 0, 6502},
        answer_case{{"2*2*5"}, 0, 6503}, answer_case{{"x*5"}, 0, 6101},
        answer_case{{"0.05 10 3"}, 0.05, 0}, answer_case{{"'0.05'"}, 0, 6504},
        answer_case{{"\"0.05\""}, 0, 6504}, answer_case{{"(1,2)"}, 0, 6504},
        answer_case{{"1e400"}, 0, 6102}, answer_case{{"-1e400"}, 0, 6102},
        answer_case{{"1e-400"}, 0.0, 0}, answer_case{{"4.9e-324"}, 4.9e-324, 0},
        answer_case{{eof}, 0, 6501}, answer_case{{"0.05" + eof}, 0, 6501},
        answer_case{{}, 0, 6500}, answer_case{{"   "}, 0, 6500},
        answer_case{{std::string("0.0\0""5", 5)}, 0, 6103}));

class integer_answer : public ::testing::TestWithParam<answer_case> {};

TEST_P(integer_answer, reads_the_value_or_fails_with_its_number)
{
    const auto& c = GetParam();
    fake_console console;
    console.typed.assign(c.lines.begin(), c.lines.end());
    std::int32_t n = 77;
    try {
        records::read_integer(n);
        EXPECT_EQ(c.failure, 0) << describe(c.lines) << " was accepted";
        EXPECT_EQ(n, static_cast<std::int32_t>(c.expected)) << describe(c.lines);
    } catch (const records::run_time_error& e) {
        EXPECT_EQ(e.number(), c.failure) << describe(c.lines) << ": " << e.report_text();
        EXPECT_EQ(n, 77);
    }
}

INSTANTIATE_TEST_SUITE_P(
    typed_lines, integer_answer,
    ::testing::Values(
        answer_case{{"12"}, 12, 0}, answer_case{{"+12"}, 12, 0}, answer_case{{"-"}, 0, 0},
        answer_case{{"-5"}, -5, 0}, answer_case{{"12.0"}, 0, 6101}, answer_case{{"1e2"}, 0, 6101},
        answer_case{{"12a"}, 0, 6101}, answer_case{{"--1"}, 0, 6101},
        answer_case{{"2147483647"}, 2147483647, 0}, answer_case{{"2147483648"}, 0, 6100},
        answer_case{{"99999999999"}, 0, 6100}, answer_case{{"-2147483648"}, -2147483648.0, 0},
        answer_case{{"-2147483649"}, 0, 6100}, answer_case{{"16#FF"}, 255, 0},
        answer_case{{"#ff"}, 255, 0}, answer_case{{"2#101"}, 5, 0}, answer_case{{"0#10"}, 16, 0},
        answer_case{{"36#z"}, 35, 0}, answer_case{{"37#1"}, 0, 6303}, answer_case{{"1#1"}, 0, 6303},
        answer_case{{"16#1#0"}, 0, 6302}, answer_case{{"8#9"}, 0, 6101},
        answer_case{{"16#FFFFFFFF"}, -1, 0}, answer_case{{"16#100000000"}, 0, 6100},
        answer_case{{"10#2147483648"}, 0, 6100}, answer_case{{"-16#10"}, -16, 0},
        answer_case{{"99999999999*5"}, 0, 6100}, answer_case{{"", "  10  "}, 10, 0},
        answer_case{{"1" + std::string(1, '\x1a') + "2"}, 1, 0}, answer_case{{","}, 77, 0}));

TEST(read_statement, the_answer_continues_the_question_line_and_the_next_record_starts_below)
{
    fake_console console;
    console.typed = {"0.05", "10"};
    double alpha = 0;
    std::int32_t n = 0;
    records::write_formatted(records::console_unit, "(a\\)", {"    Entre com o valor de alfa  --> "});
    records::read_double(alpha);
    records::write_formatted(records::console_unit, "(a\\)", {"    Entre com o num de observacoes  --> "});
    records::read_integer(n);
    records::write_formatted(0, "(/,' x')");
    const std::vector<std::string> rows = {
        "   Entre com o valor de alfa  --> 0.05",
        "   Entre com o num de observacoes  --> 10",
        "",
        "x",
    };
    EXPECT_EQ(console.trimmed_rows(), rows);
    EXPECT_EQ(console.rows[0].find("0.05"), 34u);  // the answer starts in column 35
    EXPECT_EQ(console.requested_lengths, (std::vector<int>{130, 130}));
}

TEST(read_statement, an_open_line_without_backslash_is_ended_before_the_answer)
{
    fake_console console;
    console.typed = {"5"};
    std::int32_t r = 0;
    records::write_formatted(0, "(' pergunta')");
    records::read_integer(r);
    EXPECT_EQ(console.trimmed_rows(), (std::vector<std::string>{"pergunta", "5"}));
    EXPECT_FALSE(records::console().line_open);
}

TEST(read_statement, nothing_typed_for_one_answer_reaches_the_next)
{
    fake_console console;
    console.typed = {"0.05 10 3", "4", "6"};
    double alpha = 0;
    std::int32_t n = 0;
    std::int32_t r = 0;
    records::read_double(alpha);
    records::read_integer(n);
    records::read_integer(r);
    EXPECT_EQ(alpha, 0.05);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(r, 6);
}

TEST(read_statement, a_full_line_with_control_characters_and_high_bytes_is_scanned_safely)
{
    // 130 characters, the longest line the record holds: every byte value
    // except the ones that end a value or a record.
    std::string line;
    for (int i = 0; static_cast<int>(line.size()) < 130; ++i) {
        const char c = static_cast<char>((i * 37 + 1) % 256);
        if (c != ' ' && c != '\t' && c != ',' && c != '/' && c != '\r' && c != '\n' && c != '*' &&
            c != '\'' && c != '"' && c != '(' && c != 26)
            line.push_back(c);
    }
    fake_console console;
    console.typed = {line + "overflow beyond the record"};
    std::int32_t n = 0;
    try {
        records::read_integer(n);
        ADD_FAILURE() << "garbage accepted";
    } catch (const records::run_time_error& e) {
        EXPECT_EQ(e.number(), 6101);
    }
}

TEST(read_statement, a_repeat_factor_with_nothing_after_it_gives_a_null_value)
{
    fake_console console;
    console.typed = {"3*", "9"};
    std::int32_t n = 4;
    records::read_integer(n);
    EXPECT_EQ(n, 4);
    records::read_integer(n);
    EXPECT_EQ(n, 9);
}

}  // namespace
