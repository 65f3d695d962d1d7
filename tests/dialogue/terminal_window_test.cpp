#include "dialogue/terminal_window.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct file_closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using file = std::unique_ptr<std::FILE, file_closer>;

file temporary_file(const std::string& content = {})
{
    file f(std::tmpfile());
    std::fputs(content.c_str(), f.get());
    std::rewind(f.get());
    return f;
}

std::string content_of(std::FILE* f)
{
    std::fflush(f);
    std::rewind(f);
    std::string out;
    for (int c; (c = std::fgetc(f)) != EOF;)
        out.push_back(static_cast<char>(c));
    return out;
}

struct terminal_fixture : ::testing::Test {
    file in = temporary_file();
    file out = temporary_file();
    file err = temporary_file();
    void typed(const std::string& text) { in = temporary_file(text); }
};

TEST_F(terminal_fixture, shows_line_ends_and_cp1252_letters_as_the_terminal_expects)
{
    dialogue::terminal_window t(in.get(), out.get(), err.get(), true);
    t.write_console_text("abc\r\nendere\xE7o");
    t.write_console_text("");  // one blank, as the window draws
    t.write_console_text("\r\n");
    t.write_console_text("x\ry");
    EXPECT_EQ(content_of(out.get()), "abc\nendere\u00E7o \nx\ry");
}

TEST_F(terminal_fixture, reads_lines_edited_as_the_window_edits_them)
{
    typed("0.05\r\n\t5\n" + std::string(140, '9') + "\ncaf\u00E9 \u4E2D\nlast");
    dialogue::terminal_window t(in.get(), out.get(), err.get(), true);
    EXPECT_EQ(t.read_console_line(130), "0.05");
    EXPECT_EQ(t.read_console_line(130), "        5");
    EXPECT_EQ(t.read_console_line(130), std::string(128, '9'));
    EXPECT_EQ(t.read_console_line(130), "caf\xE9 ");
    EXPECT_EQ(t.read_console_line(130), "last");
    // The end of the input is the window's Ctrl+Z.
    EXPECT_EQ(t.read_console_line(130), "\x1a");
    EXPECT_EQ(t.read_console_line(130), "\x1a");
}

TEST_F(terminal_fixture, echoes_piped_answers_on_the_question_row)
{
    typed("10\n");
    dialogue::terminal_window t(in.get(), out.get(), err.get(), true);
    t.write_console_text("  --> ");
    t.read_console_line(130);
    t.write_console_text("\r\n");
    EXPECT_EQ(content_of(out.get()), "  --> 10\n");
}

TEST_F(terminal_fixture, does_not_repeat_the_line_end_a_terminal_echo_already_showed)
{
    typed("10\n");
    dialogue::terminal_window t(in.get(), out.get(), err.get(), false);
    t.write_console_text("  --> ");
    t.read_console_line(130);
    t.write_console_text("\r\n");
    t.write_console_text("\r\nnext");
    EXPECT_EQ(content_of(out.get()), "  --> \nnext");
}

TEST_F(terminal_fixture, reports_errors_on_the_error_stream_after_ending_the_open_row)
{
    dialogue::terminal_window t(in.get(), out.get(), err.get(), true);
    t.write_console_text("question");
    t.show_run_time_error("run-time error ", "M6103: MATH\r\n- floating-point error: divide by zero");
    EXPECT_EQ(content_of(out.get()), "question\n");
    EXPECT_EQ(content_of(err.get()), "run-time error M6103: MATH\n- floating-point error: divide by zero\n");
    EXPECT_EQ(t.ask_closing_question("Program Terminated with exit code 1\nExit Window?"),
              dialogue::closing_answer::yes);
}

TEST_F(terminal_fixture, window_operations_answer_as_the_window_does)
{
    dialogue::terminal_window t(in.get(), out.get(), err.get(), true);
    EXPECT_EQ(t.set_background_rgb(0x997654), 0);
    EXPECT_EQ(t.set_background_rgb(0x123456), 0x997654);
    EXPECT_EQ(t.set_window_state(dialogue::frame_unit, {2, 0, 0, 0, 0}), 0);
    EXPECT_EQ(t.set_window_state(0, {2, 0, 0, 0, 0}), 0);
    EXPECT_EQ(t.set_window_state(0, {5, 0, 0, 0, 0}), -1);
    EXPECT_EQ(t.set_window_state(7, {2, 0, 0, 0, 0}), -1);
}

}  // namespace
