#include "records/console_connection.hpp"
#include "records/run_time_error.hpp"
#include "records/units.hpp"
#include "records/write.hpp"
#include "support/fake_console.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using records::console_unit;
using records::write_formatted;
using records::write_list_directed;
using testing_support::fake_console;

struct format_case {
    const char* name;
    const char* format;
    std::string expected_log;  // everything the statement sends to the window
};

void PrintTo(const format_case& c, std::ostream* os) { *os << c.format; }

class formatted_write : public ::testing::TestWithParam<format_case> {};

// Each case starts with no line open, as right after the window is cleared.
TEST_P(formatted_write, sends_carriage_control_and_text)
{
    fake_console console;
    write_formatted(0, GetParam().format);
    EXPECT_EQ(console.log, GetParam().expected_log);
}

INSTANTIATE_TEST_SUITE_P(
    items, formatted_write,
    ::testing::Values(
        format_case{"repeat_count", "(7X,'*',76('*'))", std::string(6, ' ') + std::string(77, '*')},
        format_case{"skip_then_literal", "(7X,'*',75X,'*')",
                    std::string(6, ' ') + "*" + std::string(75, ' ') + "*"},
        // The blanks of a trailing 1X are dropped: the record is empty, one blank is drawn.
        format_case{"records_and_empty_records", "(7X,'*',/,/,1X)", "      *\r\n \r\n "},
        format_case{"leading_slash", "(/,7X,'a',/)", " \r\n      a\r\n "},
        format_case{"doubled_apostrophe", "(' x''y')", "x'y"},
        format_case{"blanks_between_items", "( 2X , 'a' , / , 'bc' )", " a\r\nc"},
        format_case{"group_of_items", "(1X,2('ab',1X),'c')", "ab ab c"},
        format_case{"nested_groups", "(1X,2(2('x'),'-'))", "xx-xx-"},
        format_case{"lower_case_letters", "(1x,'a',2x,'b')", "a  b"},
        format_case{"control_zero", "('0abc')", "\r\nabc"},
        format_case{"control_plus", "('+abc')", "\rabc"},
        format_case{"control_one", "('1abc')", "\r\n\f\r \rabc"},
        format_case{"control_other", "('xabc')", "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(formatted_write, carriage_control_depends_on_the_open_line)
{
    struct step {
        const char* format;
        const char* expected;
    };
    // Each record opens a line; the next one ends it first.
    const std::vector<step> steps = {
        {"(' first')", "first"},
        {"(' second')", "\r\nsecond"},
        {"('0third')", "\r\n\r\nthird"},
        {"('+over')", "\rover"},
        {"('1page')", "\r\n\f\r \rpage"},
    };
    fake_console console;
    for (const auto& s : steps) {
        console.log.clear();
        write_formatted(0, s.format);
        EXPECT_EQ(console.log, s.expected) << s.format;
    }
}

TEST(formatted_write, fields_take_the_values_in_order)
{
    fake_console console;
    write_formatted(0,
                    "(/,/,20X,'valor de critico de tau',F6.2,' para',I4,' observacoes,',/,20X,I3,"
                    "' graus de liberdade e alfa igual a 0',F4.3,/,/)",
                    {2.1012, std::int32_t{10}, std::int32_t{5}, static_cast<double>(0.05f)});
    const std::vector<std::string> rows = {
        "",
        "",
        std::string(19, ' ') + "valor de critico de tau  2.10 para  10 observacoes,",
        std::string(19, ' ') + "  5 graus de liberdade e alfa igual a 0.050",
        "",
        "",
    };
    EXPECT_EQ(console.trimmed_rows(), rows);
}

TEST(formatted_write, text_fields_whole_cut_and_padded)
{
    fake_console console;
    write_formatted(0, "(1X,A,'|',A2,'|',A6,'|')", {"abc ", "abc", "abc"});
    EXPECT_EQ(console.log, "abc |ab|   abc|");
}

TEST(formatted_write, backslash_keeps_the_line_open_for_the_next_record)
{
    fake_console console;
    write_formatted(console_unit, "(a\\)", {"    Entre com o valor de alfa  --> "});
    EXPECT_TRUE(records::console().continue_line);
    EXPECT_EQ(console.log, "   Entre com o valor de alfa  --> ");
    // The next record continues the line, its first character included.
    write_formatted(0, "('xy')");
    EXPECT_EQ(console.log, "   Entre com o valor de alfa  --> xy");
    EXPECT_FALSE(records::console().continue_line);
}

TEST(formatted_write, backslash_before_the_last_value_is_ignored)
{
    fake_console console;
    write_formatted(0, "(\\,A)", {" text"});
    EXPECT_FALSE(records::console().continue_line);
}

TEST(formatted_write, statement_ends_at_a_field_without_value)
{
    fake_console console;
    write_formatted(0, "(' a',I3,'b',I3,'c')", {std::int32_t{7}});
    EXPECT_EQ(console.log, "a  7b");
}

TEST(formatted_write, a_record_longer_than_the_buffer_stays_on_one_line)
{
    fake_console console;
    const std::string text(200, 'x');
    write_formatted(0, "(1X,A)", {std::string_view(text)});
    // 132 characters in the first piece (one of them carriage control), the rest as a continuation.
    EXPECT_EQ(console.log, std::string(131, 'x') + std::string(69, 'x'));
    ASSERT_EQ(console.rows.size(), 1u);
    EXPECT_EQ(console.rows[0], text);
}

TEST(formatted_write, value_of_the_wrong_kind_fails_with_its_number)
{
    struct bad_case {
        const char* format;
        records::value v;
        int number;
    };
    const std::vector<bad_case> cases = {
        {"(F6.2)", std::string_view("x"), 6205}, {"(I4)", std::string_view("x"), 6205},
        {"(I4)", 1.5, 6206},                     {"(A)", 1.5, 6206},
        {"(F6.2)", std::int32_t{3}, 6207},       {"(A)", std::int32_t{3}, 6207},
    };
    fake_console console;
    for (const auto& c : cases) {
        try {
            write_formatted(0, c.format, {c.v});
            ADD_FAILURE() << c.format << " accepted a value of the wrong kind";
        } catch (const records::run_time_error& e) {
            EXPECT_EQ(e.number(), c.number) << c.format;
            EXPECT_EQ(e.report_text().substr(0, 13), "F" + std::to_string(c.number) + ": WRITE(");
        }
    }
}

TEST(format_grammar, counts_fields_and_rejects_malformed_formats)
{
    EXPECT_EQ(records::count_format_fields("(a\\)"), 1);
    EXPECT_EQ(records::count_format_fields("(2(F6.2,I4),'x(,)y')"), 4);
    for (const char* bad : {"7X,'a'", "(7X,'a'", "('a)", "(Q)", "(3'a')", "(F6)", "(I)", "('a'))x"})
        EXPECT_THROW(records::count_format_fields(bad), std::logic_error) << bad;
}

TEST(list_directed_write, texts_join_and_wrap_at_79_characters)
{
    struct list_case {
        std::vector<std::string> texts;
        std::vector<std::string> rows;
    };
    const std::string seventy_nine(79, 'a');
    const std::vector<list_case> cases = {
        {{}, {""}},
        {{" "}, {""}},
        {{"  =====> GRAU DE LIBERDADE = 1, TAU NAO SERA CALCULADO"},
         {"  =====> GRAU DE LIBERDADE = 1, TAU NAO SERA CALCULADO"}},
        {{"ab", "cd"}, {"abcd"}},
        {{seventy_nine}, {seventy_nine, ""}},
        {{seventy_nine + "bc"}, {seventy_nine, "bc"}},
    };
    for (const auto& c : cases) {
        fake_console console;
        std::vector<std::string_view> views(c.texts.begin(), c.texts.end());
        switch (views.size()) {
        case 0: write_list_directed(console_unit); break;
        case 1: write_list_directed(console_unit, {views[0]}); break;
        default: write_list_directed(console_unit, {views[0], views[1]}); break;
        }
        EXPECT_EQ(console.trimmed_rows(), c.rows);
    }
}

TEST(list_directed_write, empty_record_draws_one_blank)
{
    fake_console console;
    write_list_directed(console_unit);
    EXPECT_EQ(console.log, " ");
}

class capture_connection : public records::explicit_connection {
public:
    explicit capture_connection(std::vector<std::string>& sink) : sink_(sink) {}
    void write_record(std::string_view text) override { sink_.emplace_back(text); }

private:
    std::vector<std::string>& sink_;
};

TEST(unit_routing, an_explicit_connection_is_found_before_the_console)
{
    fake_console console;
    std::vector<std::string> file_records;
    records::connect_unit(records::report_unit, std::make_unique<capture_connection>(file_records));
    write_formatted(records::report_unit, "(' to the file')");
    write_formatted(0, "(' to the window')");
    write_list_directed(console_unit, {"also the window"});
    records::close_all_units();
    EXPECT_EQ(file_records, std::vector<std::string>{" to the file"});
    EXPECT_EQ(console.trimmed_rows(), (std::vector<std::string>{"to the window", "also the window"}));
    EXPECT_EQ(records::find_explicit_connection(records::report_unit), nullptr);
}

}  // namespace
