#include "dialogue/terminal_window.hpp"

#include "records/cp1252.hpp"

#include <algorithm>

#include <cstdlib>

namespace dialogue {

namespace {

// Palette index 0, the console's background before the program sets its own.
constexpr std::uint32_t black = 0;

}  // namespace

terminal_window::terminal_window(std::FILE* in, std::FILE* out, std::FILE* err, bool echo_typed_lines)
    : in_(in), out_(out), err_(err), echo_typed_lines_(echo_typed_lines), background_rgb_(black)
{
}

void terminal_window::flush_carriage_return()
{
    if (pending_carriage_return_) {
        std::fputc('\r', out_);
        at_line_start_ = true;
        pending_carriage_return_ = false;
    }
}

// "\r\n" becomes the terminal's "\n"; a lone "\r" returns to column 1 as in
// the window; cp1252 letters go out as UTF-8.
void terminal_window::put_character(char c)
{
    if (c == '\n') {
        pending_carriage_return_ = false;
        std::fputc('\n', out_);
        at_line_start_ = true;
        return;
    }
    flush_carriage_return();
    if (c == '\r') {
        pending_carriage_return_ = true;
        return;
    }
    const std::string utf8 = records::cp1252_to_utf8(std::string_view(&c, 1));
    std::fputs(utf8.c_str(), out_);
    at_line_start_ = false;
}

int terminal_window::write_console_text(std::string_view text)
{
    if (line_end_already_shown_ && text.starts_with("\r\n")) {
        text.remove_prefix(2);
        line_end_already_shown_ = false;
        if (text.empty())
            return 2;
    }
    const int length = static_cast<int>(text.size());
    // The window draws one blank for an empty text.
    if (text.empty())
        text = " ";
    for (char c : text)
        put_character(c);
    std::fflush(out_);
    return length;
}

// One line of the input stream, without its line end; an end of input with
// nothing read stands for the window's Ctrl+Z and Enter.
std::string terminal_window::next_input_line()
{
    std::string raw;
    int c = 0;
    while ((c = std::fgetc(in_)) != EOF && c != '\n')
        raw.push_back(static_cast<char>(c));
    if (c == EOF && raw.empty())
        return std::string(1, records::end_of_file_character);
    if (!raw.empty() && raw.back() == '\r')
        raw.pop_back();
    return records::utf8_to_cp1252(raw);
}

std::optional<std::string> terminal_window::read_console_line(int max_length)
{
    flush_carriage_return();
    std::fflush(out_);
    const std::string raw = next_input_line();
    // Edited as the window edits typing: Tab gives blanks, at most 128
    // characters, the rest of a longer line dropped.
    line_.reset();
    for (char c : raw) {
        if (c == '\t')
            line_.append_tab();
        else
            line_.append(c);
    }
    std::string line(line_.text().substr(0, static_cast<std::size_t>(std::max(max_length, 0))));
    const bool end_of_input = line.size() == 1 && line[0] == records::end_of_file_character;
    if (echo_typed_lines_ && !end_of_input && !line.empty())
        write_console_text(line);
    else if (!echo_typed_lines_)
        line_end_already_shown_ = true;
    return line;
}

std::int32_t terminal_window::set_window_state(std::int32_t unit, const window_request& request)
{
    if (request.type < 1 || request.type > 4)
        return -1;
    return unit == frame_unit || names_console_window(unit) ? 0 : -1;
}

std::int32_t terminal_window::set_background_rgb(std::uint32_t rgb)
{
    const std::uint32_t previous = background_rgb_;
    background_rgb_ = rgb & 0xFFFFFF;
    return static_cast<std::int32_t>(previous);
}

// A terminal keeps what it has shown: clearing would erase the user's own lines.
void terminal_window::clear_console(int) {}

closing_answer terminal_window::ask_closing_question(std::string_view)
{
    return closing_answer::yes;
}

void terminal_window::show_run_time_error(std::string_view caption, std::string_view text)
{
    flush_carriage_return();
    if (!at_line_start_)
        put_character('\n');
    std::fflush(out_);
    std::string report(caption);
    for (char c : text)
        if (c != '\r')
            report.push_back(c);
    report.push_back('\n');
    std::fputs(records::cp1252_to_utf8(report).c_str(), err_);
    std::fflush(err_);
}

void terminal_window::set_exit_code_on_close(int exit_code)
{
    exit_code_on_close_ = exit_code;
}

void terminal_window::close_window(int)
{
    flush_carriage_return();
    std::fflush(out_);
}

void terminal_window::wait_until_closed()
{
    close_window(exit_code_on_close_);
    std::exit(exit_code_on_close_);
}

}  // namespace dialogue
