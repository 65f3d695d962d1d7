#include "dialogue/dialogue.hpp"
#include "fake_window.hpp"
#include "records/console_connection.hpp"
#include "records/cp1252.hpp"
#include "records/units.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::fake_window;

// Runs each test in a fresh working directory, where the report file lands.
class dialogue_run : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = fs::current_path();
        char pattern[] = "/tmp/testetau-dialogue-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        fs::current_path(directory_);
    }

    void TearDown() override
    {
        records::console().attach(nullptr);
        records::close_all_units();
        fs::current_path(previous_);
        fs::remove_all(directory_);
    }

    // Runs the dialogue with the typed lines; returns the exit code.
    int run(std::vector<std::string> lines)
    {
        window.typed.assign(lines.begin(), lines.end());
        return dialogue::run_dialogue(window);
    }

    // The rows in UTF-8, trailing blanks dropped.
    std::vector<std::string> rows() const
    {
        std::vector<std::string> out;
        for (const auto& r : window.screen.trimmed_rows())
            out.push_back(records::cp1252_to_utf8(r));
        return out;
    }

    fake_window window;
    fs::path directory_;
    fs::path previous_;
};

std::vector<std::string> golden_rows(const std::string& name)
{
    std::ifstream in(std::string(GOLDEN_DIR) + "/" + name);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        const auto end = line.find_last_not_of(' ');
        out.push_back(end == std::string::npos ? std::string() : line.substr(0, end + 1));
    }
    return out;
}

TEST_F(dialogue_run, answers_005_10_5_show_the_whole_window_and_stop)
{
    EXPECT_EQ(run({"0.05", "10", "5"}), 0);
    const auto expected = golden_rows("answers_0.05_10_5.txt");
    ASSERT_EQ(expected.size(), 31u);
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(window.operations,
              (std::vector<std::string>{"state -2147483648 2", "background 10057300", "clear 0", "state 0 2"}));
    EXPECT_EQ(window.questions, std::vector<std::string>{"Program Terminated with exit code 0\nExit Window?"});
    ASSERT_TRUE(window.closed_with.has_value());
    EXPECT_EQ(*window.closed_with, 0);
    EXPECT_TRUE(window.error_text.empty());
    // The report file is created empty and closed at the end of the run.
    EXPECT_TRUE(fs::is_regular_file(".txt"));
    EXPECT_EQ(fs::file_size(".txt"), 0u);
    EXPECT_EQ(records::find_explicit_connection(records::report_unit), nullptr);
}

struct answers_case {
    const char* name;
    std::vector<std::string> typed;
    std::vector<std::pair<std::size_t, std::string>> rows;  // 1-based row and its text
};

void PrintTo(const answers_case& c, std::ostream* os) { *os << c.name; }

class dialogue_answers : public dialogue_run, public ::testing::WithParamInterface<answers_case> {};

TEST_P(dialogue_answers, result_rows_show_the_values_in_their_fields)
{
    EXPECT_EQ(run(GetParam().typed), 0);
    const auto shown = rows();
    for (const auto& [row, text] : GetParam().rows) {
        ASSERT_LT(row - 1, shown.size()) << "row " << row;
        EXPECT_EQ(shown[row - 1], text) << "row " << row;
    }
    EXPECT_EQ(shown.back(), "Stop - Program terminated.");
}

const std::string result_indent(19, ' ');

INSTANTIATE_TEST_SUITE_P(
    answers, dialogue_answers,
    ::testing::Values(
        answers_case{"zero_alpha_is_the_five_percent_level",
                     {"0", "10", "5"},
                     {{17, "   Entre com o valor de alfa  --> 0"},
                      {22, result_indent + "valor de critico de tau  2.10 para  10 observacoes,"},
                      {23, result_indent + "  5 graus de liberdade e alfa igual a 0.050"}}},
        answers_case{"one_degree_of_freedom_warns_and_shows_zero",
                     {"0.05", "10", "1"},
                     {{19, "   Entre com o grau de liberdade  --> 1"},
                      {20, ""},
                      {21, "  =====> GRAU DE LIBERDADE = 1, TAU NAO SERA CALCULADO"},
                      {22, ""},
                      {23, ""},
                      {24, result_indent + "valor de critico de tau   .00 para  10 observacoes,"},
                      {25, result_indent + "  1 graus de liberdade e alfa igual a 0.050"},
                      {28, "      " + std::string(76, '-')},
                      {33, "Stop - Program terminated."}}},
        answers_case{"negative_degrees_of_freedom_warn_too",
                     {"0.05", "10", "-3"},
                     {{21, "  =====> GRAU DE LIBERDADE = 1, TAU NAO SERA CALCULADO"},
                      {25, result_indent + " -3 graus de liberdade e alfa igual a 0.050"}}},
        answers_case{"counts_too_wide_for_their_fields",
                     {"0.05", "12345", "1000"},
                     {{22, result_indent + "valor de critico de tau  4.58 para**** observacoes,"},
                      {23, result_indent + "*** graus de liberdade e alfa igual a 0.050"}}},
        answers_case{"level_rounded_to_three_decimals",
                     {"0.0005", "10", "5"},
                     {{23, result_indent + "  5 graus de liberdade e alfa igual a 0.001"}}},
        answers_case{"level_too_wide_for_its_field",
                     {"0.9995", "1", "2"},
                     {{23, result_indent + "  2 graus de liberdade e alfa igual a 0****"}}},
        answers_case{"blank_line_waits_for_the_answer_without_a_new_question",
                     {"", "0.05", "10", "5"},
                     {{17, "   Entre com o valor de alfa  -->"},
                      {18, "0.05"},
                      {19, "   Entre com o num de observacoes  --> 10"}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct failure_case {
    const char* name;
    std::vector<std::string> typed;
    std::string report_start;
};

void PrintTo(const failure_case& c, std::ostream* os) { *os << c.name; }

class dialogue_failures : public dialogue_run, public ::testing::WithParamInterface<failure_case> {};

TEST_P(dialogue_failures, end_the_run_with_the_error_report_and_exit_code_1)
{
    EXPECT_EQ(run(GetParam().typed), 1);
    EXPECT_EQ(window.error_caption, "run-time error ");
    EXPECT_EQ(window.error_text.substr(0, GetParam().report_start.size()), GetParam().report_start)
        << window.error_text;
    EXPECT_EQ(window.questions, std::vector<std::string>{"Program Terminated with exit code 1\nExit Window?"});
    EXPECT_EQ(window.exit_code_on_close, 1);
    ASSERT_TRUE(window.closed_with.has_value());
    EXPECT_EQ(*window.closed_with, 1);
    for (const auto& row : rows())
        EXPECT_EQ(row.find("valor de critico"), std::string::npos) << "a result was written";
    EXPECT_EQ(records::find_explicit_connection(records::report_unit), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    answers, dialogue_failures,
    ::testing::Values(
        failure_case{"letters_in_the_observations", {"0.05", "12a"}, "F6101: READ(CON) - "},
        failure_case{"not_a_number_for_alpha", {"abc"}, "F6103: READ(CON) - "},
        failure_case{"end_of_input", {"0.05", "\x1a"}, "F6501: READ(CON) - "},
        failure_case{"no_line_at_all", {"0.05", "10"}, "F6500: READ(CON) - "},
        failure_case{"no_observations", {"0.05", "0", "5"},
                     "M6103: MATH\r\n- floating-point error: divide by zero"},
        failure_case{"level_above_one", {"1.5", "10", "5"}, "M6201: MATH\r\n- pow: DOMAIN error"},
        failure_case{"negative_level", {"-0.05", "10", "5"}, "M6201: MATH\r\n- sqrt: DOMAIN error"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(dialogue_run, no_in_the_closing_question_keeps_the_window_with_its_exit_code)
{
    window.answer = dialogue::closing_answer::no;
    window.typed = {"0.05", "x"};
    EXPECT_THROW(dialogue::run_dialogue(window), testing_support::kept_open);
    EXPECT_EQ(window.exit_code_on_close, 1);
    EXPECT_FALSE(window.closed_with.has_value());
}

TEST_F(dialogue_run, the_stop_message_stands_alone_below_the_note)
{
    EXPECT_EQ(run({"0.05", "10", "5"}), 0);
    const auto shown = rows();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2], "      " + std::string(76, '-'));
    EXPECT_EQ(window.screen.rows.back(), "Stop - Program terminated.");
    EXPECT_EQ(window.screen.column, 0u);  // the cursor waits on the row after it
}

TEST_F(dialogue_run, an_existing_report_file_keeps_its_content)
{
    {
        std::ofstream out(".txt", std::ios::binary);
        out << "notas do aluno\r\n";
    }
    EXPECT_EQ(run({"0.05", "10", "5"}), 0);
    std::ifstream in(".txt", std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "notas do aluno\r\n");
}

TEST_F(dialogue_run, a_report_file_that_cannot_be_opened_ends_the_run_after_the_banner)
{
    fs::create_directory(".txt");
    EXPECT_EQ(run({"0.05", "10", "5"}), 1);
    EXPECT_EQ(window.error_text.substr(0, 13), "F6414: OPEN(6");
    EXPECT_EQ(window.rows_when_error_shown, 13u);  // the banner and its two empty rows
    EXPECT_EQ(window.typed.size(), 3u);            // no question was asked
}

}  // namespace
