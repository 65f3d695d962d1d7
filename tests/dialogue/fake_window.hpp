#pragma once
// A window for the dialogue tests: lays out the text on rows, answers the
// reads from a script of typed lines and records every window operation.

#include "dialogue/console_window.hpp"
#include "support/screen_model.hpp"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Thrown where the real window would keep the worker waiting for ever.
struct kept_open {};

class fake_window : public dialogue::console_window {
public:
    int write_console_text(std::string_view text) override
    {
        screen.write(text);
        return static_cast<int>(text.size());
    }

    std::optional<std::string> read_console_line(int) override
    {
        if (typed.empty())
            return std::nullopt;
        std::string line = typed.front();
        typed.pop_front();
        screen.write(line);
        return line;
    }

    std::int32_t set_window_state(std::int32_t unit, const dialogue::window_request& request) override
    {
        operations.push_back("state " + std::to_string(unit) + " " + std::to_string(request.type));
        return 0;
    }

    std::int32_t set_background_rgb(std::uint32_t rgb) override
    {
        operations.push_back("background " + std::to_string(rgb));
        return 0;
    }

    void clear_console(int area) override
    {
        operations.push_back("clear " + std::to_string(area));
        screen.row = 0;
        screen.column = 0;
        screen.rows.clear();
    }

    dialogue::closing_answer ask_closing_question(std::string_view text) override
    {
        questions.emplace_back(text);
        return answer;
    }

    void show_run_time_error(std::string_view caption, std::string_view text) override
    {
        error_caption = caption;
        error_text = text;
        rows_when_error_shown = screen.trimmed_rows().size();
    }

    void set_exit_code_on_close(int exit_code) override { exit_code_on_close = exit_code; }
    void close_window(int exit_code) override { closed_with = exit_code; }
    [[noreturn]] void wait_until_closed() override { throw kept_open{}; }

    screen_model screen;
    std::deque<std::string> typed;
    std::vector<std::string> operations;
    std::vector<std::string> questions;
    dialogue::closing_answer answer = dialogue::closing_answer::yes;
    std::string error_caption;
    std::string error_text;
    std::size_t rows_when_error_shown = 0;
    int exit_code_on_close = 0;
    std::optional<int> closed_with;
};

}  // namespace testing_support
