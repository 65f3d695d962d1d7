#pragma once
// A console for the tests: keeps every text written, lays it out on rows the
// way the window does (without wrapping), and answers reads from a script of
// typed lines.

#include "records/console_connection.hpp"
#include "records/console_port.hpp"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class fake_console : public records::console_port {
public:
    fake_console() { records::console().attach(this); }
    ~fake_console() override { records::console().attach(nullptr); }
    fake_console(const fake_console&) = delete;
    fake_console& operator=(const fake_console&) = delete;

    int write_console_text(std::string_view text) override
    {
        log.append(text.empty() ? std::string_view(" ") : text);
        if (text.empty())
            put(' ');
        for (char c : text) {
            if (c == '\r')
                column = 0;
            else if (c == '\n')
                ++row;
            else
                put(c);
        }
        return static_cast<int>(text.size());
    }

    std::optional<std::string> read_console_line(int max_length) override
    {
        requested_lengths.push_back(max_length);
        if (typed.empty())
            return std::nullopt;
        std::string line = typed.front();
        typed.pop_front();
        write_console_text(line);  // the window echoes what is typed
        return line;
    }

    // The rows with their trailing blanks dropped, as Copy would give them.
    std::vector<std::string> trimmed_rows() const
    {
        std::vector<std::string> out;
        for (const auto& r : rows) {
            const auto end = r.find_last_not_of(' ');
            out.push_back(end == std::string::npos ? std::string() : r.substr(0, end + 1));
        }
        return out;
    }

    std::string log;                 // every text written, in order
    std::vector<std::string> rows;   // what the window shows
    std::deque<std::string> typed;   // the lines the user will type
    std::vector<int> requested_lengths;
    std::size_t row = 0;
    std::size_t column = 0;

private:
    void put(char c)
    {
        if (rows.size() <= row)
            rows.resize(row + 1);
        std::string& r = rows[row];
        if (r.size() <= column)
            r.resize(column + 1, ' ');
        r[column++] = c;
    }
};

}  // namespace testing_support
