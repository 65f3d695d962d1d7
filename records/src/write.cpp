// Write statements: records built from a format or a list of texts, shown in
// the console with the carriage-control convention.

#include "records/write.hpp"

#include "format_parser.hpp"
#include "records/console_connection.hpp"
#include "records/run_time_error.hpp"
#include "records/units.hpp"

#include <mutex>
#include <vector>

namespace records {

namespace {

// The console's record buffer; longer records are shown in pieces of this size.
constexpr std::size_t record_buffer_size = 132;
// Room of a list-directed record after its carriage-control blank.
constexpr std::size_t list_record_room = 79;

// The line movement a carriage-control character asks for.
std::string_view line_movement(char control, bool line_open)
{
    switch (control) {
    case '0':
        return line_open ? "\r\n\r\n" : "\r\n";
    case '+':
        return "\r";
    case '1':
        return "\r\n\f\r \r";  // line end, form feed, then back to column 1
    default:
        return line_open ? "\r\n" : "";
    }
}

// Shows the first piece of a record: its first character is carriage control
// unless a backslash left the line open, then the whole piece continues it.
void show_first_piece(console_connection& con, std::string_view piece)
{
    if (con.continue_line) {
        con.write_text(piece.empty() ? std::string_view(" ") : piece);
        con.continue_line = false;
    } else {
        const char control = piece.empty() ? ' ' : piece.front();
        const std::string_view movement = line_movement(control, con.line_is_open());
        if (!movement.empty())
            con.write_text(movement);
        // An empty rest still reaches the window, which draws one blank for it.
        con.write_text(piece.empty() ? piece : piece.substr(1));
    }
    con.line_open = true;
    con.line_end_written = false;
}

// Shows one whole record; a record beyond the 132-character buffer goes out
// in buffer-sized pieces on the same line, which the window then wraps.
void show_console_record(console_connection& con, std::string_view record)
{
    show_first_piece(con, record.substr(0, record_buffer_size));
    for (std::size_t at = record_buffer_size; at < record.size(); at += record_buffer_size) {
        con.write_text(record.substr(at, record_buffer_size));
        con.line_open = true;
        con.line_end_written = false;
    }
}

// Where the records of one statement go: a unit's explicit connection when it
// has one, otherwise the console connection, whose lock is then held for the
// whole statement so that its records never interleave with other output.
class record_destination {
public:
    explicit record_destination(std::int32_t unit) : file_(find_explicit_connection(unit))
    {
        if (!file_)
            hold_ = std::unique_lock(console().lock);
    }

    void show(std::string_view record)
    {
        if (file_)
            file_->write_record(record);
        else
            show_console_record(console(), record);
    }

    // A backslash took effect: the line stays open for what follows.
    void keep_line_open()
    {
        if (!file_)
            console().continue_line = true;
    }

private:
    explicit_connection* file_;
    std::unique_lock<std::recursive_mutex> hold_;
};

// The handler that turns the items of a format into records.
class record_writer {
public:
    record_writer(record_destination& destination, std::initializer_list<value> values)
        : destination_(destination), next_(values.begin()), end_(values.end())
    {
    }

    bool on_literal(std::string_view text)
    {
        put(text);
        return true;
    }

    bool on_skip(int count)
    {
        pending_blanks_ += static_cast<std::size_t>(count);
        return true;
    }

    bool on_record_end()
    {
        end_record();
        return true;
    }

    // 2.1012 in F6.2 -> "  2.10"; 0.05 in F4.3 -> ".050".
    bool on_real_field(int width, int decimals)
    {
        const value* v = take_value();
        if (!v)
            return false;
        if (std::holds_alternative<std::string_view>(*v))
            raise_statement_error(6205, "WRITE(CON)", "text value for a field other than A");
        if (!std::holds_alternative<double>(*v))
            raise_statement_error(6207, "WRITE(CON)", "integer value for a field other than I");
        put_field(real_field_text(std::get<double>(*v), width, decimals), width);
        return true;
    }

    // 10 in I4 -> "  10".
    bool on_integer_field(int width)
    {
        const value* v = take_value();
        if (!v)
            return false;
        if (std::holds_alternative<std::string_view>(*v))
            raise_statement_error(6205, "WRITE(CON)", "text value for a field other than A");
        if (!std::holds_alternative<std::int32_t>(*v))
            raise_statement_error(6206, "WRITE(CON)", "real value for a field other than F");
        put_field(integer_field_text(std::get<std::int32_t>(*v), width), width);
        return true;
    }

    // "abc" in A -> "abc"; in A5 -> "  abc"; in A2 -> "ab".
    bool on_text_field(int width)
    {
        const value* v = take_value();
        if (!v)
            return false;
        if (std::holds_alternative<double>(*v))
            raise_statement_error(6206, "WRITE(CON)", "real value for a field other than F");
        if (std::holds_alternative<std::int32_t>(*v))
            raise_statement_error(6207, "WRITE(CON)", "integer value for a field other than I");
        const auto text = std::get<std::string_view>(*v);
        if (width == 0 || static_cast<std::size_t>(width) == text.size())
            put(text);
        else if (static_cast<std::size_t>(width) < text.size())
            put(text.substr(0, static_cast<std::size_t>(width)));
        else
            put_field(text, width);
        return true;
    }

    // The backslash counts only once every value has been placed, as in "(a\)".
    bool on_keep_line()
    {
        keep_line_ = next_ == end_;
        return true;
    }

    // End of the format: pending blanks are dropped and the record is shown,
    // also when empty.
    void finish()
    {
        end_record();
        if (keep_line_)
            destination_.keep_line_open();
    }

private:
    record_destination& destination_;
    const value* next_;
    const value* end_;
    std::string record_;
    std::size_t pending_blanks_ = 0;
    bool keep_line_ = false;

    // The statement ends at the first field that finds no value left.
    const value* take_value() { return next_ == end_ ? nullptr : next_++; }

    // Blanks of nX only appear when something follows them in the record.
    void put(std::string_view text)
    {
        record_.append(pending_blanks_, ' ');
        pending_blanks_ = 0;
        record_.append(text);
    }

    // Right-aligns a field text: the missing width becomes pending blanks.
    void put_field(std::string_view text, int width)
    {
        if (text.size() < static_cast<std::size_t>(width))
            pending_blanks_ += static_cast<std::size_t>(width) - text.size();
        put(text);
    }

    void end_record()
    {
        pending_blanks_ = 0;
        destination_.show(record_);
        record_.clear();
    }
};

// The handler that checks a format and counts its fields.
class field_counter {
public:
    bool on_literal(std::string_view) { return true; }
    bool on_skip(int) { return true; }
    bool on_record_end() { return true; }
    bool on_real_field(int, int) { return count(); }
    bool on_integer_field(int) { return count(); }
    bool on_text_field(int) { return count(); }
    bool on_keep_line() { return true; }
    int fields = 0;

private:
    bool count()
    {
        ++fields;
        return true;
    }
};

}  // namespace

void write_formatted(std::int32_t unit, std::string_view format, std::initializer_list<value> values)
{
    record_destination destination(unit);
    record_writer writer(destination, values);
    // A statement whose values run out ends at that field; its record is
    // shown all the same.
    format::parse_format(format, writer);
    writer.finish();
}

int count_format_fields(std::string_view format)
{
    field_counter counter;
    format::parse_format(format, counter);
    return counter.fields;
}

// A list-directed record starts with its carriage-control blank and has room
// for 79 characters; texts join directly and a long one continues on a new
// record: 80 characters of text -> one full record, then " x".
void write_list_directed(std::int32_t unit, std::initializer_list<std::string_view> texts)
{
    record_destination destination(unit);
    std::string record = " ";
    std::size_t room = list_record_room;
    for (std::string_view text : texts) {
        while (text.size() >= room) {
            record.append(text.substr(0, room));
            text.remove_prefix(room);
            destination.show(record);
            record = " ";
            room = list_record_room;
        }
        record.append(text);
        room -= text.size();
    }
    destination.show(record);
}

}  // namespace records
