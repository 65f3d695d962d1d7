#pragma once
// The dialogue on a terminal, for machines without a display: records on the
// output stream laid out as the window shows them, answers read line by line
// from the input stream, run-time errors on the error stream.  There is no
// closing question: nothing stays open after the run.

#include "dialogue/console_window.hpp"
#include "dialogue/input_line.hpp"

#include <cstdio>
#include <string>

namespace dialogue {

class terminal_window final : public console_window {
public:
    // echo_typed_lines: show each line read, as the window echoes typing;
    // off when a terminal already echoes what the user types.
    terminal_window(std::FILE* in, std::FILE* out, std::FILE* err, bool echo_typed_lines);
    terminal_window(const terminal_window&) = delete;
    terminal_window& operator=(const terminal_window&) = delete;

    int write_console_text(std::string_view text) override;
    std::optional<std::string> read_console_line(int max_length) override;

    std::int32_t set_window_state(std::int32_t unit, const window_request& request) override;
    std::int32_t set_background_rgb(std::uint32_t rgb) override;
    void clear_console(int area) override;

    closing_answer ask_closing_question(std::string_view text) override;
    void show_run_time_error(std::string_view caption, std::string_view text) override;
    void set_exit_code_on_close(int exit_code) override;
    void close_window(int exit_code) override;
    [[noreturn]] void wait_until_closed() override;

private:
    std::FILE* in_;
    std::FILE* out_;
    std::FILE* err_;
    bool echo_typed_lines_;
    bool pending_carriage_return_ = false;
    bool at_line_start_ = true;
    // The terminal's own echo already ended the typed line: the line end the
    // records write after an answer is not written again.
    bool line_end_already_shown_ = false;
    std::uint32_t background_rgb_ = 0;
    int exit_code_on_close_ = 0;
    input_line line_;

    void put_character(char c);
    void flush_carriage_return();
    std::string next_input_line();
};

}  // namespace dialogue
