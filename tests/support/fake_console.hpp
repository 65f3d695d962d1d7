#pragma once
// A console for the tests of the records: lays out what is written on rows
// and answers reads from a script of typed lines.

#include "records/console_connection.hpp"
#include "records/console_port.hpp"
#include "support/screen_model.hpp"

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
        screen.write(text);
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

    std::vector<std::string> trimmed_rows() const { return screen.trimmed_rows(); }

    screen_model screen;
    std::string& log = screen.log;                // every text written, in order
    std::vector<std::string>& rows = screen.rows;  // what the window shows
    std::deque<std::string> typed;  // the lines the user will type
    std::vector<int> requested_lengths;
};

}  // namespace testing_support
