// List-directed read statements of one item from the console unit: each
// typed line becomes an input record that is scanned for one value.

#include "records/read.hpp"

#include "records/console_connection.hpp"
#include "records/run_time_error.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <mutex>
#include <string>

namespace records {

namespace {

// The console's record buffer: a typed line of at most 130 characters and
// its carriage return and line feed.
constexpr int record_size = 132;
constexpr int longest_line = record_size - 2;

[[noreturn]] void fail(int number, std::string_view description)
{
    raise_statement_error(number, "READ(CON)", description);
}

// One read statement: its input record and its scan state.
class read_statement {
public:
    explicit read_statement(console_connection& con) : con_(con), hold_(con.lock)
    {
        // The question's line stays open for the echo when a backslash kept
        // it; any other open line is ended before the answer is typed.
        if (con_.line_is_open() && !con_.continue_line)
            con_.write_text("\r\n");
        con_.continue_line = false;
    }

    ~read_statement()
    {
        // The typed line and its line end are on the window: no line is open.
        con_.line_open = false;
        con_.line_end_written = false;
    }

    read_statement(const read_statement&) = delete;
    read_statement& operator=(const read_statement&) = delete;

    // The plain value text of the item; std::nullopt for a null value.
    std::optional<std::string> scan_value();

private:
    enum class scan_mode { plain, quoted, parenthesised };

    console_connection& con_;
    std::unique_lock<std::recursive_mutex> hold_;
    std::array<char, record_size> record_{};
    int position_ = 0;
    int last_ = -1;  // no input record yet: the first character asks for a line

    std::string value_;
    scan_mode mode_ = scan_mode::plain;
    char quote_ = '\'';
    char last_delimiter_ = ',';
    int repeat_count_ = 0;

    void new_record();
    char next_character();
    void discard_record()
    {
        last_ = -1;
        position_ = 0;
    }
    void factor();
    bool handle_quoted(char c);
    bool handle_plain(char c);
};

// A typed line becomes the record "line\r\n"; the line end goes to the
// window so that the next record starts on the row under the answer.
void read_statement::new_record()
{
    console_port* port = con_.port();
    std::optional<std::string> line = port ? port->read_console_line(longest_line) : std::nullopt;
    if (!line)
        fail(6500, "the console cannot supply a line");
    con_.write_text("\r\n");
    const int length = std::min<int>(static_cast<int>(line->size()), longest_line);
    std::copy_n(line->data(), length, record_.data());
    record_[static_cast<std::size_t>(length)] = '\r';
    record_[static_cast<std::size_t>(length) + 1] = '\n';
    position_ = 0;
    last_ = length + 1;
    // A line whose last typed character is Ctrl+Z ends the input.
    if (length >= 1 && record_[static_cast<std::size_t>(length) - 1] == end_of_file_character)
        fail(6501, "end of file encountered");
}

char read_statement::next_character()
{
    if (position_ > last_)
        new_record();
    return record_[static_cast<std::size_t>(position_++)];
}

// "3*0.05": the text before "*" repeats the value that follows.
void read_statement::factor()
{
    if (repeat_count_ != 0)
        fail(6503, "a second repeat factor for one value");
    const std::int32_t count = convert_integer(value_);
    if (count == 0)
        fail(6502, "repeat factor zero");
    repeat_count_ = count - 1;
    value_.clear();
}

// Inside apostrophes or quotes; returns true when the value has ended.
bool read_statement::handle_quoted(char c)
{
    if (c != quote_) {
        value_.push_back(c);
        return false;
    }
    // A doubled quote stands for one quote; the record always ends in
    // "\r\n", so the look-ahead stays inside it.
    if (position_ <= last_ && record_[static_cast<std::size_t>(position_)] == quote_) {
        value_.push_back(quote_);
        ++position_;
        return false;
    }
    last_delimiter_ = ' ';
    return true;
}

// Outside quotes; returns true when the value has ended.
bool read_statement::handle_plain(char c)
{
    const bool parenthesised = mode_ == scan_mode::parenthesised;
    switch (c) {
    case ' ':
    case '\t':
        if ((value_.empty() && repeat_count_ == 0) || parenthesised)
            return false;
        last_delimiter_ = ' ';
        return true;
    case '(':
        if (!value_.empty())
            break;
        mode_ = scan_mode::parenthesised;
        return false;
    case ')':
        if (!parenthesised)
            break;
        last_delimiter_ = ' ';
        return true;
    case '\'':
    case '"':
        if (!value_.empty())
            break;
        mode_ = scan_mode::quoted;
        quote_ = c;
        return false;
    case '*':
        factor();
        return false;
    case ',':
        if (value_.empty() && last_delimiter_ == ' ' && repeat_count_ == 0) {
            last_delimiter_ = ',';  // the comma belongs to the blanks before it
            return false;
        }
        if (parenthesised)
            break;
        last_delimiter_ = ',';
        return true;
    case '/':
        last_delimiter_ = '/';
        return true;
    default:
        break;
    }
    value_.push_back(c);
    return false;
}

// value := { blank } [ count "*" ] ( plain | "'" text "'" | "(" text ")" ) delimiter
std::optional<std::string> read_statement::scan_value()
{
    value_.clear();
    mode_ = scan_mode::plain;
    while (true) {
        char c = next_character();
        if (c == '\r' || c == '\n') {
            // The record has ended; the rest of it is discarded.
            discard_record();
            if (mode_ == scan_mode::quoted)
                continue;  // quoted text goes on with the next line
            c = ' ';
        }
        const bool ended = mode_ == scan_mode::quoted ? handle_quoted(c) : handle_plain(c);
        if (ended)
            break;
    }
    if (mode_ != scan_mode::plain)
        fail(6504, "a quoted or parenthesised value for a number");
    if (value_.empty())
        return std::nullopt;
    return value_;
}

}  // namespace

// Reads one double; a null value keeps the target.  Whatever follows the
// value on its line is discarded: the next read takes a new line.
void read_double(double& target)
{
    read_statement statement(console());
    if (auto text = statement.scan_value())
        target = convert_double(*text);
}

void read_integer(std::int32_t& target)
{
    read_statement statement(console());
    if (auto text = statement.scan_value())
        target = convert_integer(*text);
}

}  // namespace records
